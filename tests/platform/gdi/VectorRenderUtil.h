#pragma once
// Renders PDF and SVG files to bitmaps with the system's own renderers (pdftoppm, rsvg-convert),
// so tests check what a reader of the file sees. The tools are required: a missing one fails.
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A fresh folder for a test's files.
inline std::string VectorTestFolder(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(ORVEX_BINARY_DIR) / "test-output" / name;
    std::filesystem::create_directories(dir);
    return dir.string();
}

// The first page of a PDF at dpi pixels per inch; false when pdftoppm fails.
inline bool RenderPdf(const std::string& pdf, int dpi, CBitmap& out) {
    const std::string stem = pdf + "-render";
    const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -png -singlefile '" + pdf + "' '" + stem + "'";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "pdftoppm failed (it is required: make deps installs poppler-utils): " << command;
        return false;
    }
    return LoadBitmapPng(stem + ".png", out);
}

// An SVG at dpi pixels per inch on white; false when rsvg-convert fails.
inline bool RenderSvg(const std::string& svg, int dpi, CBitmap& out) {
    const std::string png = svg + "-render.png";
    const std::string command = "rsvg-convert -b white -d " + std::to_string(dpi) + " -p " + std::to_string(dpi) +
                                " -o '" + png + "' '" + svg + "'";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "rsvg-convert failed (it is required: make deps installs librsvg2-bin): " << command;
        return false;
    }
    return LoadBitmapPng(png, out);
}

// Pixel access for rendered pictures (0x00BBGGRR; CLR_INVALID outside).
inline COLORREF PixelAt(const CBitmap& b, int x, int y) {
    if (x < 0 || y < 0 || x >= b.GetWidth() || y >= b.GetHeight()) return CLR_INVALID;
    return b.GetPixels()[static_cast<size_t>(y) * b.GetWidth() + x] & 0x00FFFFFFu;
}

// Whether two colours are within tol in every channel (renderers antialias edges differently).
inline bool Near(COLORREF a, COLORREF b, int tol = 24) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tol || d < -tol) return false;
    }
    return true;
}

// Sum of the three channels: how dark a pixel is (0 black, 765 white).
inline int Lightness(COLORREF c) { return static_cast<int>((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)); }

// Bounding box of pixels darker than a threshold within an area (empty when none).
inline CRect DarkBox(const CBitmap& b, const CRect& area, int threshold = 384) {
    CRect box;
    bool any = false;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF c = PixelAt(b, x, y);
            if (c == CLR_INVALID || Lightness(c) >= threshold) continue;
            if (!any) box = CRect(x, y, x + 1, y + 1);
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
            any = true;
        }
    return any ? box : CRect();
}
