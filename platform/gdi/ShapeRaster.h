#pragma once
// Row-span geometry of wide pens and ellipses. Pixel centres are at integer coordinates; a
// shape is handed out one row at a time as merged spans, so every pixel is drawn once whatever
// the raster operation.
#include "platform/gdi/DeviceContext.h"

#include <optional>
#include <vector>

namespace gdi {

// Pixels x0..x1-1 of one row.
struct RowSpan {
    long long x0;
    long long x1;
};

// The pixels of an ellipse in a device box: the outline covers left..right-1, top..bottom-1.
// Boxes up to 10 pixels a side take the measured small shapes (the region within a quarter pixel
// beyond the centre line, outlined by its 4-neighbour border); larger boxes take the thin
// 8-connected curve nearest the ellipse through the outermost pixel centres.
class CEllipseRows {
public:
    explicit CEllipseRows(const CRect& box);
    // The inclusive x range of row y inside the ellipse, outline included; false when the row
    // misses it.
    bool Row(long long y, long long& xl, long long& xr) const;
    // The one-pixel outline of row y (up to two spans) and the interior left inside it.
    void OutlineAndInterior(long long y, std::vector<RowSpan>& outline, RowSpan& interior) const;
    double CentreX() const { return m_cx; }
    double CentreY() const { return m_cy; }
    double SemiX() const { return m_a; }
    double SemiY() const { return m_b; }

private:
    // Curve rule, in lattice steps from the axes: row k counts outward from the axis row, a run
    // in columns outward from the axis column.
    long long CurveEdge(long long k) const;
    long long CurveEnd(long long k) const;
    bool CurveRun(long long y, long long& inner, long long& outer) const;

    double m_cx, m_cy, m_a, m_b;  // centre and semi-axes of the outline's centre line
    double m_ra, m_rb;            // small rule: semi-axes of the covered region
    long long m_left, m_top, m_bottom;
    long long m_halfW, m_halfH;  // steps from the upper-left axis column/row to the box's edge
    long long m_rightAxis, m_lowerAxis;  // offsets of the right axis column and lower axis row
    double m_u0, m_v0;                   // the axis pixels' distance from the centre (0 or 1/2)
    bool m_small;
};

// The union of round-capped strokes of radius r along a path (round caps and joins). With a cap
// width the points are pen centres and each cap and join is the pixel shape of the ellipse of a
// cap-width square; without one (fractional paths such as flattened curves) it is the exact disc.
class CWidePath {
public:
    CWidePath(const std::vector<DPoint>& points, double radius, int capWidth = 0);
    // Rows the path may cover, clamped to [limitTop, limitBottom).
    void RowRange(int limitTop, int limitBottom, int& top, int& bottom) const;
    // The merged spans of row y, sorted.
    void RowSpans(int y, std::vector<RowSpan>& out) const;

private:
    std::vector<DPoint> m_points;
    double m_radius;
    double m_minY = 0, m_maxY = 0;
    int m_capWidth = 0;
    std::optional<CEllipseRows> m_cap;  // the cap's rows in a box at the origin
};

// Points along an ellipse arc (centre, semi-axes), counter-clockwise as seen on a y-down device
// from angle a0 through sweep (radians, > 0); the segment count follows the size, capped.
std::vector<DPoint> FlattenEllipseArc(double cx, double cy, double a, double b, double a0, double sweep);

// Merges spans in place (sorted, overlapping or touching ones joined).
void MergeSpans(std::vector<RowSpan>& spans);

}  // namespace gdi
