#pragma once
// Small memory contexts for pixel checks.
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A memory context with its own bitmap, filled with one colour.
struct TestCanvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;

    TestCanvas(int w, int h, COLORREF fill = RGB(255, 255, 255)) {
        EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(&dc, w, h));
        previous = dc.SelectObject(&bitmap);
        Fill(fill);
    }
    ~TestCanvas() { dc.SelectObject(previous); }

    void Fill(COLORREF c) {
        uint32_t* p = bitmap.GetPixels();
        std::fill(p, p + static_cast<size_t>(bitmap.GetWidth()) * bitmap.GetHeight(), c);
    }
    COLORREF At(int x, int y) const { return bitmap.GetPixels()[static_cast<size_t>(y) * bitmap.GetWidth() + x]; }
    std::vector<uint32_t> Pixels() const {
        const uint32_t* p = bitmap.GetPixels();
        return std::vector<uint32_t>(p, p + static_cast<size_t>(bitmap.GetWidth()) * bitmap.GetHeight());
    }
    // The pixels that differ from colour c, as "x,y" strings in row order.
    std::vector<std::pair<int, int>> Differing(COLORREF c) const {
        std::vector<std::pair<int, int>> out;
        for (int y = 0; y < bitmap.GetHeight(); ++y)
            for (int x = 0; x < bitmap.GetWidth(); ++x)
                if (At(x, y) != c) out.emplace_back(x, y);
        return out;
    }
    // Bounding box of pixels differing from c (empty rectangle when none).
    CRect InkBox(COLORREF c) const {
        CRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        bool any = false;
        for (auto [x, y] : Differing(c)) {
            any = true;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
        return any ? box : CRect();
    }
};
