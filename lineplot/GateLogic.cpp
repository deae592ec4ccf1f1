#include "lineplot/GateLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "lineplot/NumberFormat.h"
#include "platform/win/Cursor.h"

namespace {

using Gate = CLinePlotWnd::CGate;
using W = CLinePlotWnd;

// Pixel differences of saturated coordinates can exceed int32; they are compared in 64 bits.
bool Near(int64_t a, int64_t b) { return std::llabs(a - b) < kGateNearPixels; }
bool Between(int64_t v, int64_t a, int64_t b) { return std::min(a, b) <= v && v <= std::max(a, b); }

// The Euclidean length of a pixel vector, as the square root of the integer sum (in double, so
// that saturated coordinates cannot overflow).
double PixelLength(int64_t dx, int64_t dy) {
    const double x = static_cast<double>(dx), y = static_cast<double>(dy);
    return std::sqrt(x * x + y * y);
}

// The segment test of the second-point segment: within the tolerance of the line through both points
// and not beyond its ends in x, or, for a near-vertical segment, within its y span and near an end's x.
bool OnSegment(CPoint mouse, CPoint p1, CPoint p2) {
    const int64_t px = mouse.x, py = mouse.y;
    const int64_t x1 = p1.x, y1 = p1.y, x2 = p2.x, y2 = p2.y;
    if (std::llabs(x1 - x2) >= kGateLineTolerance) {
        // Integer division truncates toward zero; the product is formed in double because pixel
        // coordinates may be saturated.
        const double q = static_cast<double>(y1 - y2) * static_cast<double>(px - x2) / static_cast<double>(x1 - x2);
        const double d = std::trunc(q) - static_cast<double>(py - y2);
        return std::fabs(d) < kGateLineTolerance && Between(px, x1, x2);
    }
    const bool inY = Between(py, y1, y2) || std::llabs(py - y2) < kGateLineTolerance;
    const bool nearX = std::llabs(px - x1) < kGateLineTolerance || std::llabs(px - x2) < kGateLineTolerance;
    return inY && nearX;
}

}  // namespace

LPCTSTR HitTestGate(Gate& gate, CPoint mouse, bool xHorizontal) {
    const int kind = gate.nKind;
    if ((kind & W::kGateNoHit) || !gate.pOwner) return nullptr;
    gate.nDragPart = 0;
    gate.bKeepXOrder = 1;
    gate.bKeepYOrder = 1;

    // In the gate's axis terms: in a turned plot x runs along the screen's vertical.
    const int64_t mx = xHorizontal ? mouse.x : mouse.y;
    const int64_t my = xHorizontal ? mouse.y : mouse.x;
    const int64_t X1 = xHorizontal ? gate.ptFirst.x : gate.ptFirst.y;
    const int64_t X2 = xHorizontal ? gate.ptSecond.x : gate.ptSecond.y;
    const int64_t Y1 = xHorizontal ? gate.ptFirst.y : gate.ptFirst.x;
    const int64_t Y2 = xHorizontal ? gate.ptSecond.y : gate.ptSecond.x;
    const bool nearX1 = Near(mx, X1), nearX2 = Near(mx, X2);
    const bool nearY1 = Near(my, Y1), nearY2 = Near(my, Y2);
    const bool betweenX = Between(mx, X1, X2), betweenY = Between(my, Y1, Y2);
    const bool xGate = (kind & W::kGateX) != 0, yGate = (kind & W::kGateY) != 0;

    LPCTSTR const xCursor = xHorizontal ? IDC_SIZEWE : IDC_SIZENS;
    LPCTSTR const yCursor = xHorizontal ? IDC_SIZENS : IDC_SIZEWE;
    LPCTSTR const allCursor = IDC_SIZEALL;

    // Each outcome: the part, its cursor, and whether both order flags are cleared.
    auto hit = [&gate](int part, LPCTSTR cursor, bool clearOrder) {
        gate.nDragPart = part;
        if (clearOrder) gate.bKeepXOrder = gate.bKeepYOrder = 0;
        return cursor;
    };
    constexpr int x1 = W::kDragX1, x2 = W::kDragX2, y1 = W::kDragY1, y2 = W::kDragY2;

    // The rules in order; the first that matches decides.
    if ((kind & W::kGateLine) && xGate && nearX1) return hit(x1, xCursor, true);
    if ((kind & W::kGateLine) && yGate && nearY1) return hit(y1, yCursor, true);
    if ((kind & W::kGateBand) && xGate) {
        if (nearX2) return hit(x2, xCursor, false);
        if (nearX1) return hit(x1 | x2, xCursor, false);
    }
    if ((kind & W::kGateBand) && yGate) {
        if (nearY2) return hit(y2, yCursor, false);
        if (nearY1) return hit(y1 | y2, yCursor, false);
    }
    if ((kind & W::kGateWindow) && xGate) {
        if (nearX2 && !betweenY) return hit(x2, xCursor, false);
        if (nearX1 && !betweenY) return hit(x1 | x2, xCursor, false);
        if (nearY2 && betweenX) return hit(y2, yCursor, false);
        if (nearY1 && betweenX) return hit(y1, yCursor, false);
    }
    if ((kind & W::kGateWindow) && yGate) {
        if (nearY2 && !betweenX) return hit(y2, yCursor, false);
        if (nearY1 && !betweenX) return hit(y1 | y2, yCursor, false);
        if (nearX2 && betweenY) return hit(x2, xCursor, false);
        if (nearX1 && betweenY) return hit(x1, xCursor, false);
    }
    if ((kind & W::kGateBar) && xGate && nearY1) {
        if (nearX2) return hit(x2, xCursor, false);
        if (nearX1) return hit(x1 | x2, xCursor, false);
        if (betweenX) return hit(y1, yCursor, true);
    }
    if ((kind & W::kGateBar) && yGate && nearX1) {
        if (nearY2) return hit(y2, yCursor, false);
        if (nearY1) return hit(y1 | y2, yCursor, false);
        if (betweenY) return hit(x1, xCursor, true);
    }
    if (kind & W::kGateBox) {
        if (kind & W::kGateCornerMarks) {
            if (nearX2 && nearY2) return hit(x2 | y2, allCursor, false);
            if (nearX1 && nearY1) return hit(x1 | y1, allCursor, false);
        } else {
            if (nearY2 && betweenX) return hit(y2, yCursor, false);
            if (nearY1 && betweenX) return hit(y1 | y2, yCursor, false);
            if (nearX2 && betweenY) return hit(x2, xCursor, false);
            if (nearX1 && betweenY) return hit(x1 | x2, xCursor, false);
        }
    }
    if (kind & W::kGateSegment) {
        // An end of the segment moves freely across the other axis of the gate.
        const bool endHit = (nearX1 && nearY1) || (nearX2 && nearY2);
        if (endHit) {
            hit((nearX1 && nearY1) ? (x1 | y1) : (x2 | y2), allCursor, false);
            if (xGate)
                gate.bKeepYOrder = 0;
            else
                gate.bKeepXOrder = 0;
            return allCursor;
        }
        if (betweenY && betweenX) return hit(x1 | x2 | y1 | y2, allCursor, true);
    }
    if (kind & W::kGateCircle) {
        const double d = PixelLength(int64_t{mouse.x} - gate.ptFirst.x, int64_t{mouse.y} - gate.ptFirst.y);
        const double r = PixelLength(int64_t{gate.ptSecond.x} - gate.ptFirst.x,
                                     int64_t{gate.ptSecond.y} - gate.ptFirst.y);
        if (std::fabs(d - r) <= kGateNearPixels) return hit(W::kDragRadius, allCursor, true);
    }
    if (kind & W::kGateSegmentEndLabel) {
        if (nearX2 && nearY2) return hit(x2 | y2, allCursor, false);
        if (OnSegment(mouse, gate.ptFirst, gate.ptSecond)) return hit(W::kDragTurn, allCursor, true);
    }
    if (kind & W::kGateCrosshair) {
        if (nearX1) return nearY1 ? hit(x1 | y1, allCursor, true) : hit(x1, xCursor, true);
        if (nearY1) return hit(y1, yCursor, true);
    }
    if ((kind & W::kGateCrossStart) && xGate && nearX1) return hit(x1 | x2, xCursor, false);
    if ((kind & W::kGateCrossStart) && yGate && nearY1) return hit(y1 | y2, yCursor, false);
    if ((kind & W::kGateCrossEnd) && xGate && nearX2) return hit(x2, xCursor, false);
    if ((kind & W::kGateCrossEnd) && yGate && nearY2) return hit(y2, yCursor, false);
    return nullptr;
}

void OrderGatePoints(Gate& gate) {
    GateData& d = gate.data;
    if (gate.bKeepXOrder && d.x1 > d.x2) {
        if (gate.nDragPart & W::kDragX2)
            d.x2 = d.x1;
        else if (gate.nDragPart & W::kDragX1)
            d.x1 = d.x2;
    }
    if (gate.bKeepYOrder && d.y1 > d.y2) {
        if (gate.nDragPart & W::kDragY2)
            d.y2 = d.y1;
        else if (gate.nDragPart & W::kDragY1)
            d.y1 = d.y2;
    }
}

void ApplyGateDrag(Gate& gate, float x, float y, float ax, float ay, int xDecimals, int yDecimals) {
    gate.data = gate.saved;
    GateData& d = gate.data;
    const int part = gate.nDragPart;
    if (part == W::kDragTurn || part == W::kDragRadius) {
        const float vx = x - d.x1, vy = y - d.y1;
        const float v2 = vx * vx + vy * vy;
        const float L2 = (d.x1 - d.x2) * (d.x1 - d.x2) + (d.y1 - d.y2) * (d.y1 - d.y2);
        // A zero vector, or a circle without radius, gives no direction or scale: the points stay.
        if (v2 != 0.0f && L2 != 0.0f) {
            if (part == W::kDragTurn) {
                const float k = std::sqrt(L2 / v2);
                d.x2 = d.x1 + k * vx;
                d.y2 = d.y1 + k * vy;
            } else {
                const float k = std::sqrt(v2 / L2);
                d.x2 = d.x1 + k * (d.x2 - d.x1);
                d.y2 = d.y1 + k * (d.y2 - d.y1);
            }
        }
    } else {
        const float dx = x - ax, dy = y - ay;
        if (part & W::kDragX1) d.x1 += dx;
        if (part & W::kDragY1) d.y1 += dy;
        if (part & W::kDragX2) d.x2 += dx;
        if (part & W::kDragY2) d.y2 += dy;
    }
    d.x1 = static_cast<float>(RoundToDecimals(d.x1, xDecimals));
    d.x2 = static_cast<float>(RoundToDecimals(d.x2, xDecimals));
    d.y1 = static_cast<float>(RoundToDecimals(d.y1, yDecimals));
    d.y2 = static_cast<float>(RoundToDecimals(d.y2, yDecimals));
    OrderGatePoints(gate);
}

int GateLabelFigure(int kind) {
    // Figures with a label place, in drawing order; then the ones without, in drawing order.
    static constexpr int kPlaced[] = {W::kGateBand, W::kGateWindow, W::kGateBar,     W::kGateLine,
                                      W::kGateBox,  W::kGateCrosshair, W::kGateSegment, W::kGateSegmentEndLabel};
    static constexpr int kUnplaced[] = {W::kGateCrossStart, W::kGateCrossEnd, W::kGateCircle};
    for (int figure : kPlaced)
        if (kind & figure) return figure;
    for (int figure : kUnplaced)
        if (kind & figure) return figure;
    return 0;
}

std::string GateLabelText(const Gate& gate, int figure, int xDecimals, int yDecimals) {
    std::string text = gate.label;
    if (!gate.bDragging) return text;

    const bool xGate = (gate.nKind & W::kGateX) != 0;
    bool x1 = false, y1 = false, x2 = false, y2 = false;
    switch (figure) {
        case W::kGateBand:
        case W::kGateWindow:
            (xGate ? x1 : y1) = true;
            (xGate ? x2 : y2) = true;
            break;
        case W::kGateBar:
            x1 = y1 = true;
            (xGate ? x2 : y2) = true;
            break;
        case W::kGateLine:
        case W::kGateCrossStart: (xGate ? x1 : y1) = true; break;
        case W::kGateCrossEnd: (xGate ? x2 : y2) = true; break;
        case W::kGateCrosshair: x1 = y1 = true; break;
        case W::kGateBox:
        case W::kGateSegment:
        case W::kGateSegmentEndLabel:
        case W::kGateCircle: x1 = y1 = x2 = y2 = true; break;
        default: break;
    }
    const GateData& d = gate.data;
    // Appended piecewise: chains of string additions draw a false -Wrestrict from GCC 12 at -O3.
    if (x1)
        text.append("( ").append(FormatNumber(d.x1, xDecimals)).append(",");
    else
        text.append("(--, ");
    if (y1)
        text.append(FormatNumber(d.y1, yDecimals)).append(")");
    else
        text.append("--)");
    if (x2) {
        text.append(" ( ").append(FormatNumber(d.x2, xDecimals)).append(",");
        if (y2)
            text.append(FormatNumber(d.y2, yDecimals)).append(")");
        else
            text.append("--)");
    } else if (y2) {
        text.append(" (--,").append(FormatNumber(d.y2, yDecimals)).append(")");
    }
    return text;
}
