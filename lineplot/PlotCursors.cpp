#include "lineplot/PlotCursors.h"

#include <cstdlib>
#include <functional>

namespace {

constexpr int kSize = 32;
constexpr int kRowBytes = 4;  // 32 pixels, a multiple of 16 bits

// A double arrow along one axis: shaft one pixel wide, heads from reach - head to the tips at
// reach. A split shaft has a gap at the centre closed by two short bars: "<-| |->".
bool DoubleArrow(int along, int across, int reach, int head, bool split) {
    const int a = std::abs(along), c = std::abs(across);
    if (a > reach) return false;
    if (a >= reach - head) return c <= reach - a;
    if (split) {
        if (a <= 1) return false;
        if (a == 2) return c <= head - 1;
    }
    return c == 0;
}

// Black where the shape is, white on its rim (8-neighbours), transparent elsewhere.
CCursorResource MakeCursor(UINT id, POINT hotSpot, const std::function<bool(int, int)>& shape) {
    CCursorResource r;
    r.nId = id;
    r.nWidth = kSize;
    r.nHeight = kSize;
    r.ptHotSpot = hotSpot;
    r.andMask.assign(kSize * kRowBytes, 0xFF);
    r.xorMask.assign(kSize * kRowBytes, 0x00);
    auto inShape = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < kSize && y < kSize && shape(x - hotSpot.x, y - hotSpot.y);
    };
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            bool black = inShape(x, y), white = false;
            for (int dy = -1; dy <= 1 && !black && !white; ++dy)
                for (int dx = -1; dx <= 1 && !white; ++dx) white = inShape(x + dx, y + dy);
            if (!black && !white) continue;
            const size_t byte = static_cast<size_t>(y * kRowBytes + x / 8);
            const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
            r.andMask[byte] = static_cast<BYTE>(r.andMask[byte] & ~bit);
            if (white) r.xorMask[byte] = static_cast<BYTE>(r.xorMask[byte] | bit);
        }
    }
    return r;
}

constexpr int kReach = 11;
constexpr int kHead = 4;

}  // namespace

std::vector<CCursorResource> MakeLinePlotCursors() {
    auto horz = [](bool split) {
        return [split](int dx, int dy) { return DoubleArrow(dx, dy, kReach, kHead, split); };
    };
    auto vert = [](bool split) {
        return [split](int dx, int dy) { return DoubleArrow(dy, dx, kReach, kHead, split); };
    };
    // The four-way arrow sits low in its square, around its hot spot, with short arms.
    auto four = [](int dx, int dy) { return DoubleArrow(dx, dy, 6, 2, false) || DoubleArrow(dy, dx, 6, 2, false); };
    return {
        MakeCursor(kCursorPanVert, {16, 15}, vert(false)),
        MakeCursor(kCursorZoomHorz, {16, 15}, horz(true)),
        MakeCursor(kCursorPanHorz, {16, 16}, horz(false)),
        MakeCursor(kCursorZoomVert, {16, 15}, vert(true)),
        MakeCursor(kCursorMoveAll, {16, 25}, four),
    };
}

void RegisterLinePlotCursors() {
    // Every plot window registers them when it is made; the shapes are drawn once per process.
    static const std::vector<CCursorResource> cursors = MakeLinePlotCursors();
    for (const CCursorResource& cursor : cursors)
        if (!LoadCursor(cursor.nId)) RegisterCursorResource(cursor);
}
