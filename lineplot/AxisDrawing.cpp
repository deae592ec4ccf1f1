#include "lineplot/AxisDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "lineplot/TickChoice.h"
#include "platform/base/Saturate.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"

namespace {

// A tick number never needs more than a screenful of ticks; more means the step underflowed.
constexpr int kMaxTicks = 1000;
// Estimated width of a character on the direct path, where nothing is measured.
constexpr int kDirectCharWidth = 7;

int TextWidth(CDC* dc, const std::string& text) { return dc->GetTextExtent(text).cx; }

// Both end numbers of an axis: the larger width decides the tick spacing and the culling.
struct CEndNumbers {
    std::string first;
    std::string second;
};
CEndNumbers FormatEnds(const std::string& format, double v1, double v2) {
    return {FormatTickNumber(format, v1), FormatTickNumber(format, v2)};
}

}  // namespace

void CreateAxisFont(CFont& font, int height, int weight, int escapement, int orientation) {
    font.CreateFont(height, 0, escapement, orientation, weight, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_LH_ANGLES,
                    DRAFT_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
}

std::string FormatTickNumber(const std::string& format, double value) {
    char text[20];  // 19 characters and the terminator
    std::snprintf(text, sizeof text, format.c_str(), value);
    return text;
}

int TickCount(double span, double step) {
    const int64_t m = std::llabs(static_cast<int64_t>(TruncateToInt(span / step))) + 2;
    return static_cast<int>(std::min<int64_t>(m, kMaxTicks));
}

void DrawHorzAxis(CDC* dc, float start, float span, double offset, double scale, int n, int P, int a, int b, int Q,
                  const std::string& title, int below) {
    CDCStateSaver saved(dc);
    CPen gridPen(PS_DOT, 0, kGridColour);
    POINT pts[3] = {{a, P}, {b, P}, {a, Q}};
    dc->LPtoDP(pts, 3);

    // From here on y grows upward in 0.01 inch, so the texts keep their physical size on any device.
    dc->SetMapMode(MM_LOENGLISH);
    dc->SetViewportOrg(0, 0);
    dc->SetWindowOrg(0, 0);
    dc->DPtoLP(pts, 3);
    const int x1 = pts[0].x, y1 = pts[0].y, x2 = pts[1].x, yq = pts[2].y;

    dc->SetTextAlign(TA_CENTER | TA_BOTTOM);
    CFont font;
    CreateAxisFont(font, kAxisFontHeight, FW_BOLD, 0, 0);
    CFont* oldFont = dc->SelectObject(&font);
    dc->SetBkMode(TRANSPARENT);
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    const int t = tm.tmHeight, c = tm.tmAveCharWidth;

    const double low = start * scale + offset;
    const double s = span * scale;

    // The label band spans the axis and one character beyond each end, on the label side.
    const int depth = TruncateToInt(2.5 * t);
    const int left = std::min(x1, x2) - c, width = std::abs(x2 - x1) + 2 * c;
    dc->PatBlt(left, y1, width, below ? -depth : depth, WHITENESS);

    const int titleY = below ? y1 - (9 * t) / 4 : y1 + (5 * t) / 4;
    dc->TextOut((x1 + x2) / 2, titleY, title);

    const double raw = s / n;
    double unit = 0;
    std::string format;
    int decimals = 0;
    ChooseTickFormat(raw, unit, format, decimals);
    const CEndNumbers ends = FormatEnds(format, low, low + s);
    const int w = std::max(TextWidth(dc, ends.first), TextWidth(dc, ends.second));
    const double minimumStep = (w / 2) * s / std::abs(x2 - x1);
    ChooseTickStep(s, n, minimumStep, decimals, unit);
    const double step = unit;

    double t0 = TruncateToInt(low / step) * step;
    if (t0 < low) t0 += step;

    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y1);

    CPen* oldPen = dc->SelectObject(&gridPen);
    const std::string tickFormat = MakeTickFormat(decimals);
    const int m = TickCount(s, step);
    const int quarter = (w / 2) / 2;
    const int lo = std::min(x1, x2), hi = std::max(x1, x2);
    const int markY = below ? y1 - (3 * t) / 8 : y1 + (3 * t) / 8;
    const int numberY = below ? y1 - (5 * t) / 4 : y1 + t / 4;
    for (int i = -1; i < m; ++i) {
        const double v = t0 + i * step;
        const int x = TruncateToInt((v - low) / s * (x2 - x1) + x1);
        // A number that would stick out past either end by more than a quarter of its width is left out.
        if (x - quarter < lo || x + quarter > hi) continue;
        const std::string text = FormatTickNumber(tickFormat, v);
        dc->MoveTo(x, yq);
        dc->LineTo(x, y1);
        dc->SelectObject(oldPen);
        dc->LineTo(x, markY);
        dc->TextOut(x, numberY, text);
        dc->SelectObject(&gridPen);
    }
    dc->SelectObject(oldPen);
    dc->SelectObject(oldFont);
}

void DrawVertAxis(CDC* dc, float start, float span, double offset, double scale, int n, int P, int a, int b, int Q,
                  const std::string& title, int right) {
    CDCStateSaver saved(dc);
    CPen gridPen(PS_DOT, 0, kGridColour);
    POINT pts[3] = {{P, a}, {P, b}, {Q, a}};
    dc->LPtoDP(pts, 3);
    // The origins stay: converting to device units and back keeps the points where they are.
    dc->SetMapMode(MM_LOENGLISH);
    dc->DPtoLP(pts, 3);
    const int x0 = pts[0].x, ya = pts[0].y, yb = pts[1].y, xq = pts[2].x;

    dc->SetTextAlign(TA_CENTER | TA_BOTTOM);
    CFont font;
    // -900 under a y-up mapping reads bottom to top with the letter tops to the left; a right-hand
    // axis turns the other way so its tops also face away from the plot.
    const int turn = right ? 900 : -900;
    CreateAxisFont(font, kAxisFontHeight, FW_BOLD, turn, turn);
    CFont* oldFont = dc->SelectObject(&font);
    dc->SetBkMode(TRANSPARENT);
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    const int t = tm.tmHeight, c = tm.tmAveCharWidth;
    const int side = right ? 1 : -1;  // away from the plot

    const double high = (start * scale + span * scale) + offset;
    const double s = span * scale;

    const int depth = TruncateToInt(2.5 * t);
    const int bandLeft = right ? x0 : x0 - depth;
    dc->PatBlt(bandLeft, yb, depth, (ya + 3 * c) - yb, WHITENESS);

    const int titleX = n == 0 ? x0 + side * (t / 2) : x0 + side * ((9 * t) / 8);
    dc->TextOut(titleX, (ya + yb) / 2, title);

    const double raw = n == 0 ? 1e30 : s / n;
    double unit = 0;
    std::string format;
    int decimals = 0;
    ChooseTickFormat(raw, unit, format, decimals);
    const CEndNumbers ends = FormatEnds(format, high, high - s);
    const int w = std::max(TextWidth(dc, ends.first), TextWidth(dc, ends.second));
    const double minimumStep = (w / 2) * s / (ya - yb);

    dc->MoveTo(x0, ya);
    dc->LineTo(x0, yb);
    CPen* oldPen = dc->SelectObject(&gridPen);
    if (n != 0) {
        ChooseTickStep(s, n, minimumStep, decimals, unit);
        const double step = unit;
        const double tt = TruncateToInt(high / step) * step;
        const std::string tickFormat = MakeTickFormat(decimals);
        const int m = TickCount(s, step);
        for (int i = m; i >= 0; --i) {
            const double v = tt - i * step;
            const int y = TruncateToInt((high - v) / s * (yb - ya) + ya);
            if (y > ya || y < yb) continue;  // ticks exactly on the ends stay
            const std::string text = FormatTickNumber(tickFormat, v);
            dc->MoveTo(xq, y);
            dc->LineTo(x0, y);
            dc->SelectObject(oldPen);
            dc->LineTo(x0 + side * ((3 * t) / 8), y);
            dc->TextOut(x0 + side * (t / 4), y, text);
            dc->SelectObject(&gridPen);
        }
    }
    dc->SelectObject(oldPen);
    dc->SelectObject(oldFont);
}

void DrawHorzAxisDirect(CDC* dc, float start, float span, double offset, double scale, int n, int P, int a, int b,
                        int Q, const std::string& title, int below) {
    CPen gridPen(PS_DOT, 0, RGB(0, 0, 0));
    CFont font;
    CreateAxisFont(font, kDirectAxisFontHeight, FW_BOLD, 0, 0);
    CFont* oldFont = dc->SelectObject(&font);
    const int side = below ? 1 : -1;  // the label side in the target's units (y down on a printer)

    const double low = start * scale + offset;
    const double s = span * scale;
    const int lo = std::min(a, b), hi = std::max(a, b);

    dc->PatBlt(lo - kDirectCharWidth, P, (hi - lo) + 2 * kDirectCharWidth, side * 42, WHITENESS);
    const int titleWidth = kDirectCharWidth * static_cast<int>(title.size());
    dc->TextOut((a + b) / 2 - titleWidth / 2, below ? P + 21 : P - 21 - kDirectAxisFontHeight, title);

    double unit = 0;
    std::string format;
    int decimals = 0;
    ChooseTickFormat(s / n, unit, format, decimals);
    const CEndNumbers ends = FormatEnds(format, low, low + s);
    const int w = kDirectCharWidth * static_cast<int>(std::max(ends.first.size(), ends.second.size()));
    const double minimumStep = (w / 2) * s / std::abs(b - a);
    ChooseTickStep(s, n, minimumStep, decimals, unit);
    const double step = unit;
    double t0 = TruncateToInt(low / step) * step;
    if (t0 < low) t0 += step;

    dc->MoveTo(a, P);
    dc->LineTo(b, P);
    CPen* oldPen = dc->SelectObject(&gridPen);
    const std::string tickFormat = MakeTickFormat(decimals);
    const int m = TickCount(s, step);
    const int half = w / 2;  // half the larger estimated end-number width
    for (int i = -1; i < m; ++i) {
        const double v = t0 + i * step;
        const int x = TruncateToInt((v - low) / s * (b - a) + a);
        if (x - half / 2 < lo || x + half / 2 > hi) continue;
        const std::string text = FormatTickNumber(tickFormat, v);
        dc->MoveTo(x, Q);
        dc->LineTo(x, P);
        dc->SelectObject(oldPen);
        dc->LineTo(x, P + side * 6);
        dc->TextOut(x - (3 * half) / 4, below ? P + 4 : P - 4 - kDirectAxisFontHeight, text);
        dc->SelectObject(&gridPen);
    }
    dc->SelectObject(oldPen);
    dc->SelectObject(oldFont);
}

void DrawVertAxisDirect(CDC* dc, float start, float span, double offset, double scale, int n, int P, int a, int b,
                        int Q, const std::string& title, int right) {
    CPen gridPen(PS_DOT, 0, RGB(0, 0, 0));
    CFont font;
    CreateAxisFont(font, kDirectAxisFontHeight, FW_BOLD, 900, -900);
    CFont* oldFont = dc->SelectObject(&font);
    const int side = right ? 1 : -1;

    const double high = (start * scale + span * scale) + offset;
    const double s = span * scale;
    const int lo = std::min(a, b), hi = std::max(a, b);

    dc->PatBlt(right ? P : P - 42, lo + 21, 42, hi - (lo + 21), WHITENESS);
    // The title sits beyond the numbers (they would share the strip 20 units from the line otherwise).
    const int titleOffset = n == 0 ? 8 : 40;
    dc->TextOut(right ? P + titleOffset - kDirectAxisFontHeight : P - titleOffset, (a + b) / 2, title);

    double unit = 0;
    std::string format;
    int decimals = 0;
    ChooseTickFormat(n == 0 ? 1e30 : s / n, unit, format, decimals);
    const CEndNumbers ends = FormatEnds(format, high, high - s);
    const int w = kDirectCharWidth * static_cast<int>(std::max(ends.first.size(), ends.second.size()));
    const double minimumStep = (w / 2) * s / std::abs(b - a);

    dc->MoveTo(P, a);
    dc->LineTo(P, b);
    CPen* oldPen = dc->SelectObject(&gridPen);
    if (n != 0) {
        ChooseTickStep(s, n, minimumStep, decimals, unit);
        const double step = unit;
        const double tt = TruncateToInt(high / step) * step;
        const std::string tickFormat = MakeTickFormat(decimals);
        const int m = TickCount(s, step);
        const int half = w / 2;
        for (int i = m; i >= 0; --i) {
            const double v = tt - i * step;
            // Measured from the top end, whichever way the target's y runs.
            const int y = TruncateToInt((high - v) / s * (b - a) + a);
            if (y < lo || y > hi) continue;
            const std::string text = FormatTickNumber(tickFormat, v);
            dc->MoveTo(Q, y);
            dc->LineTo(P, y);
            dc->SelectObject(oldPen);
            dc->LineTo(P + side * 6, y);
            dc->TextOut(right ? P + 4 : P - 21, y + (3 * half) / 4, text);
            dc->SelectObject(&gridPen);
        }
    }
    dc->SelectObject(oldPen);
    dc->SelectObject(oldFont);
}
