#pragma once
// The pixels of a bitmap, shared by the CBitmap and every context it is selected into.
#include <cstdint>
#include <vector>

namespace gdi {

struct PixelStore {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00BBGGRR, rows top to bottom, no padding
    bool stock = false;            // the 1x1 bitmap of a fresh memory context: never drawn into
};

}  // namespace gdi
