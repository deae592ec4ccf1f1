#pragma once
// A rectangle of the view plane in view units: four floats left, bottom, right, top (y up).
// Nothing requires right > left or top > bottom.
//
// An empty rectangle (the default) is flagged as such and holds left 0, bottom 0, right 1, top 1,
// so a view fitted to nothing is a usable unit square rather than a division by zero.
// BiggestPart ignores empty rectangles, and the first non-empty one replaces an empty one.
class CfRect {
public:
    CfRect() = default;
    CfRect(float l, float b, float r, float t) : left(l), bottom(b), right(r), top(t), m_empty(false) {}

    // Grows this rectangle to hold r.
    void BiggestPart(const CfRect& r);
    // Scales width and height by f about the centre, as a zoom is expected to.
    void Expand(float f);
    // Extends the rectangle to hold a point (an empty rectangle becomes that point).
    void Include(float x, float y);

    bool IsEmpty() const { return m_empty; }
    void SetEmpty() { *this = CfRect(); }
    float Width() const { return right - left; }
    float Height() const { return top - bottom; }
    bool operator==(const CfRect& o) const {
        return left == o.left && bottom == o.bottom && right == o.right && top == o.top && m_empty == o.m_empty;
    }

    float left = 0.0f;
    float bottom = 0.0f;
    float right = 1.0f;
    float top = 1.0f;

private:
    bool m_empty = true;
};
