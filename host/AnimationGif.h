#pragma once
// An animated GIF written frame by frame (giflib): each frame with a palette of its own made from
// its colours, exact when a frame has at most 256 (the viewer draws with a few), and a fixed
// 3-3-2 colour cube otherwise; the animation loops.
#include <cstdint>
#include <string>
#include <vector>

struct GifFileType;
class CBitmap;

class CAnimationGif {
public:
    CAnimationGif() = default;
    ~CAnimationGif();
    CAnimationGif(const CAnimationGif&) = delete;
    CAnimationGif& operator=(const CAnimationGif&) = delete;

    // Starts the file; every frame must have this size. Delay in hundredths of a second.
    bool Open(const std::string& path, int width, int height, int delayCentiseconds, std::string& error);
    // Appends a frame (0x00BBGGRR pixels, rows top to bottom). Returns whether its palette is exact.
    bool AddFrame(const CBitmap& frame, bool& exact, std::string& error);
    // Finishes the file; false when anything failed on the way.
    bool Close(std::string& error);

private:
    GifFileType* m_gif = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_delay = 0;
};

// The palette and the indices of a frame: its own colours when they are at most 256, else the
// 3-3-2 cube. Colours are 0x00BBGGRR; the palette length is a power of two from 2 to 256.
struct SGifPalette {
    std::vector<uint32_t> colours;
    std::vector<uint8_t> indices;
    bool exact = true;
};
SGifPalette MakeGifPalette(const uint32_t* pixels, size_t count);
