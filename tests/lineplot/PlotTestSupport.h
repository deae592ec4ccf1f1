#pragma once
// Helpers shared by the plot tests: a plot with a known frame and traces.
#include <cmath>
#include <vector>

#include "lineplot/LinePlotWnd.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

// Frame 465 x 175: with the default margins the plot rectangle is (55, 20)-(455, 120), 400 x 100.
inline void SetStandardFrame(CLinePlotWnd& plot) { plot.SetFrameRect(CRect(0, 0, 465, 175)); }

// A damped sine of n samples between -1 and 1.
inline std::vector<float> DampedSine(int n, float cycles = 12.0f, float decay = 4.0f) {
    std::vector<float> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(n);
        s[static_cast<size_t>(i)] = std::exp(-decay * t) * std::sin(6.2831853f * cycles * t);
    }
    return s;
}

// A white memory context of the given size.
struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    Canvas(int w, int h) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(w, h, 1, 32, nullptr);
        old = dc.SelectObject(&bitmap);
        dc.PatBlt(0, 0, w, h, WHITENESS);
    }
    ~Canvas() {
        dc.SelectObject(old);
        dc.DeleteDC();
    }
    // The bitmap's own pixel, whatever mapping the context holds.
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= bitmap.GetWidth() || y >= bitmap.GetHeight()) return CLR_INVALID;
        return bitmap.GetPixels()[y * bitmap.GetWidth() + x];
    }
    // Pixels of colour c in a rectangle.
    int Count(const CRect& r, COLORREF c) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
        return n;
    }
};

// The trace colour of LoadPlot.
constexpr COLORREF kTrace = RGB(0, 128, 0);

// A plot of the standard frame holding samples, y band -1..1, x 0.1 per sample.
inline void LoadPlot(CLinePlotWnd& plot, std::vector<float>& samples, int flags = 1) {
    SetStandardFrame(plot);
    plot.AddLine(0, static_cast<int>(samples.size()), kTrace, 0, 0, flags, samples.data());
    plot.SetYAxis(0.0f, 1.0f, -1.0f, 2.0f, "");
    plot.SetXAxis(0.0f, 0.1f, "Time (us)");
    plot.SetYRange(-1.0f, 1.0f);
    plot.SetXRange(0.0f, static_cast<float>(samples.size()) * 0.1f);
}
