#pragma once
// An outline: straight segments and circular arcs in 3D, each with its own colour and pen width.
#include <cstdint>
#include <utility>
#include <vector>

#include "geometry/CCoordinates3D.h"
#include "geometry/CPoint3D.h"
#include "geometry/CVector3D.h"
#include "geometry/CfRect.h"
#include "platform/base/WinDef.h"

class CDC;
// Markers the library could place along outlines; this library defines none, callers pass null.
class CTarget;

class CArrayOfArcs {
public:
    enum EArcKind : int32_t { kStraight = 0, kCircular = 1 };

    // One element. A circular arc runs counter-clockwise about m_normal (right-hand rule) from
    // m_start to m_end around m_centre; start equal to end is a full circle. A straight segment
    // leaves m_centre and m_normal at zero.
    struct stArc {
        CPoint3D m_start;
        CPoint3D m_end;
        CPoint3D m_centre;
        CVector3D m_normal;
        int32_t m_kind = kStraight;
        COLORREF m_colour = 0;
        int32_t m_penWidth = 1;
    };

    CArrayOfArcs() = default;
    CArrayOfArcs(const CArrayOfArcs&) = default;
    CArrayOfArcs& operator=(const CArrayOfArcs&) = default;
    CArrayOfArcs(CArrayOfArcs&&) noexcept = default;
    CArrayOfArcs& operator=(CArrayOfArcs&&) noexcept = default;
    virtual ~CArrayOfArcs() = default;

    void AddLine(const CPoint3D& start, const CPoint3D& end, COLORREF colour = 0, int32_t penWidth = 1);
    void AddArc(const CPoint3D& start, const CPoint3D& end, const CPoint3D& centre, const CVector3D& normal,
                COLORREF colour = 0, int32_t penWidth = 1);
    void Add(const stArc& arc) { m_arcs.push_back(arc); }
    void RemoveAll() { m_arcs.clear(); }
    void Reserve(size_t n) { m_arcs.reserve(n); }
    // Replaces the arcs by the given ones, taking their storage.
    void Assign(std::vector<stArc>&& arcs) { m_arcs = std::move(arcs); }
    int GetSize() const { return static_cast<int>(m_arcs.size()); }
    const stArc& GetAt(int i) const { return m_arcs.at(static_cast<size_t>(i)); }
    const std::vector<stArc>& GetArcs() const { return m_arcs; }

    // The corners of the arcs' bounding box in world coordinates (exact for circular arcs). Without
    // arcs both are invalid points at (0, 0, 0).
    void GetBoundary(CPoint3D& lo, CPoint3D& hi) const;

    // Draws the arcs as seen in frame: each point's view coordinates (x right, y up) are mapped
    // onto *pBounds with the viewer's uniform scale (the smaller of the two axis scales of view),
    // view's left and bottom edges anchored at the bounds' left and bottom, y flipped; each arc in
    // its colour and pen width (times penScale). Leaves in extent the arcs' bounds in view
    // coordinates (empty without arcs). With a null pDC it only measures. xOffset and yOffset move
    // every pixel; pTarget must be null.
    void DrawYFlipped(CDC* pDC, const CRect* pBounds, const CfRect& view, CfRect& extent,
                      const CCoordinates3D& frame, int xOffset = 0, int yOffset = 0, CTarget* pTarget = nullptr,
                      int penScale = 1) const;

    bool operator==(const CArrayOfArcs& o) const;

private:
    std::vector<stArc> m_arcs;
};

bool operator==(const CArrayOfArcs::stArc& a, const CArrayOfArcs::stArc& b);
