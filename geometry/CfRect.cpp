#include "geometry/CfRect.h"

#include <algorithm>

void CfRect::BiggestPart(const CfRect& r) {
    if (r.m_empty) return;
    if (m_empty) {
        *this = r;
        return;
    }
    // Works on normalised copies, so a rectangle stored right-to-left still merges by extent.
    const float l = std::min({left, right, r.left, r.right});
    const float rt = std::max({left, right, r.left, r.right});
    const float b = std::min({bottom, top, r.bottom, r.top});
    const float t = std::max({bottom, top, r.bottom, r.top});
    *this = CfRect(l, b, rt, t);
}

void CfRect::Include(float x, float y) {
    if (m_empty) {
        *this = CfRect(x, y, x, y);
        return;
    }
    BiggestPart(CfRect(x, y, x, y));
}

void CfRect::Expand(float f) {
    const float cx = left + (right - left) * 0.5f;
    const float cy = bottom + (top - bottom) * 0.5f;
    const float hw = (right - left) * 0.5f * f;
    const float hh = (top - bottom) * 0.5f * f;
    left = cx - hw;
    right = cx + hw;
    bottom = cy - hh;
    top = cy + hh;
}
