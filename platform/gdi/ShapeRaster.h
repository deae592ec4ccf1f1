#pragma once
// Row-span geometry of wide pens and ellipses. Pixel centres are at integer coordinates; a
// shape is handed out one row at a time as merged spans, so every pixel is drawn once whatever
// the raster operation.
#include "platform/gdi/DeviceContext.h"

#include <vector>

namespace gdi {

// Pixels x0..x1-1 of one row.
struct RowSpan {
    long long x0;
    long long x1;
};

// The union of round-capped strokes of radius r along a path (round caps and joins).
class CWidePath {
public:
    CWidePath(const std::vector<DPoint>& points, double radius);
    // Rows the path may cover, clamped to [limitTop, limitBottom).
    void RowRange(int limitTop, int limitBottom, int& top, int& bottom) const;
    // The merged spans of row y, sorted.
    void RowSpans(int y, std::vector<RowSpan>& out) const;

private:
    std::vector<DPoint> m_points;
    double m_radius;
    double m_minY = 0, m_maxY = 0;
};

// The pixels of an ellipse in a device box: the outline covers left..right-1, top..bottom-1.
class CEllipseRows {
public:
    explicit CEllipseRows(const CRect& box);
    // The inclusive x range of row y inside the ellipse; false when the row misses it.
    bool Row(long long y, long long& xl, long long& xr) const;
    // The one-pixel outline of row y (up to two spans) and the interior left inside it.
    void OutlineAndInterior(long long y, std::vector<RowSpan>& outline, RowSpan& interior) const;
    double CentreX() const { return m_cx; }
    double CentreY() const { return m_cy; }
    double SemiX() const { return m_a; }
    double SemiY() const { return m_b; }

private:
    double m_cx, m_cy, m_a, m_b;  // centre and semi-axes of the outline's centre line
    double m_ra, m_rb;            // semi-axes of the covered region
    long long m_top, m_bottom;
};

// Points along an ellipse arc (centre, semi-axes), counter-clockwise as seen on a y-down device
// from angle a0 through sweep (radians, > 0); the segment count follows the size, capped.
std::vector<DPoint> FlattenEllipseArc(double cx, double cy, double a, double b, double a0, double sweep);

// Merges spans in place (sorted, overlapping or touching ones joined).
void MergeSpans(std::vector<RowSpan>& spans);

}  // namespace gdi
