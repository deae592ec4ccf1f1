// The plot's gates as data: adding (mirrored to linked plots), styling, removing, finding, moving,
// placing their pixels, the hit test over all gates and a drag step; and the client operations
// through which a linked plot creates and moves them.
#include "lineplot/GateLogic.h"
#include "lineplot/LinePlotWnd.h"

int CLinePlotWnd::AddGate(int id, const GateData* data, const std::string& label, COLORREF colour, int penWidth,
                          int penStyle, int kind) {
    if (FindGate(id) >= 0) return static_cast<int>(m_gates.size());
    CGate gate;
    gate.pOwner = this;
    if (data) gate.data = *data;
    // Defined from the start: a new gate is shown, not being dragged, and its saved points are its
    // points, so a drag that begins without a press still starts from where the gate is.
    gate.saved = gate.data;
    gate.fXShift = 0.0f;
    gate.colour = colour;
    gate.nPenWidth = penWidth;
    gate.nPenStyle = penStyle;
    gate.nKind = kind;
    gate.nDragPart = 0;
    gate.bKeepXOrder = 1;
    gate.bKeepYOrder = 1;
    gate.bDragging = 0;
    gate.label = label;
    gate.nFontHeight = 14;
    gate.nId = id;
    gate.bVisible = 1;
    PlaceGate(gate);
    m_gates.push_back(gate);

    // The mirrors get their own copy of the points: a client may add gates of its own here. A plot
    // linked back creates its copy with an empty style and announces that style back to this plot;
    // meanwhile this plot keeps the style it was given.
    const GateData points = gate.data;
    const int32_t outerId = m_nAnnouncedGateId;
    const BYTE outerAnnouncing = m_bAnnouncingGate;
    m_nAnnouncedGateId = id;
    m_bAnnouncingGate = 1;
    for (CLinePlotClient* client : m_clients) {
        if (!client || !client->m_bWantsGateCreation) continue;
        client->AddGate(id, &points, label);
        client->SetGateStyle(id, colour, penWidth, penStyle, kind);
    }
    m_nAnnouncedGateId = outerId;
    m_bAnnouncingGate = outerAnnouncing;
    return static_cast<int>(m_gates.size());
}

void CLinePlotWnd::AddGate(int id, const GateData* data, const std::string& label) {
    AddGate(id, data, label, 0, 0, 0, 0);
    RenderToWindow(0);
}

BOOL CLinePlotWnd::SetGateStyle(int id, COLORREF colour, int penWidth, int penStyle, int kind) {
    const int index = FindGate(id);
    if (index < 0) return FALSE;
    if (m_bAnnouncingGate && id == m_nAnnouncedGateId) return TRUE;
    CGate& gate = m_gates[static_cast<size_t>(index)];
    gate.colour = colour;
    gate.nPenWidth = penWidth;
    gate.nPenStyle = penStyle;
    gate.nKind = kind;
    // The x shift depends on the kind.
    PlaceGate(gate);
    RenderToWindow(0);
    return TRUE;
}

void CLinePlotWnd::RemoveGate(int id) {
    const int index = FindGate(id);
    if (index < 0) return;
    m_gates.erase(m_gates.begin() + index);
    // The gate under the mouse is an index: it must not name the gate that moved into this place.
    if (m_nGateUnderMouse == index)
        m_nGateUnderMouse = -1;
    else if (m_nGateUnderMouse > index)
        --m_nGateUnderMouse;
    RenderToWindow(0);
}

int CLinePlotWnd::FindGate(int id) const {
    for (size_t i = 0; i < m_gates.size(); ++i)
        if (m_gates[i].nId == id) return static_cast<int>(i);
    return -1;
}

BOOL CLinePlotWnd::SetGateData(int id, const GateData* data) {
    const int index = FindGate(id);
    if (index < 0) return FALSE;
    CGate& gate = m_gates[static_cast<size_t>(index)];
    if (data && (gate.nKind & kGateMovable)) gate.data = *data;
    PlaceGate(gate);
    return TRUE;
}

BOOL CLinePlotWnd::GetGateData(int id, GateData* data) const {
    const int index = FindGate(id);
    if (index < 0) return FALSE;
    if (data) *data = m_gates[static_cast<size_t>(index)].data;
    return TRUE;
}

void CLinePlotWnd::PlaceGate(CGate& gate) const {
    if (!gate.pOwner) return;
    const float shift = (gate.nKind & kGateXShift) ? gate.fXShift : 0.0f;
    DataToPixel(gate.data.x1 + shift, gate.data.y1, &gate.ptFirst);
    DataToPixel(gate.data.x2 + shift, gate.data.y2, &gate.ptSecond);
}

void CLinePlotWnd::UpdateGatePositions() {
    for (CGate& gate : m_gates) PlaceGate(gate);
}

void CLinePlotWnd::HitTestGates(int px, int py) {
    m_nGateUnderMouse = -1;
    for (size_t i = 0; i < m_gates.size(); ++i) {
        CGate& gate = m_gates[i];
        // A gate that is not shown is not offered to the mouse either.
        if (!gate.bVisible) continue;
        LPCTSTR cursor = HitTestGate(gate, CPoint(px, py), m_bXAxisHorizontal != 0);
        if (cursor) {
            m_nGateUnderMouse = static_cast<int>(i);
            m_cursorUnderMouse = cursor;
            return;
        }
    }
}

void CLinePlotWnd::DragGateTo(CGate& gate, float x, float y) {
    if (gate.nKind & kGateMovable) {
        ApplyGateDrag(gate, x, y, m_fAnchorX, m_fAnchorY, m_nXDecimals, m_nYDecimals);
        PlaceGate(gate);
    }
    gate.bDragging = 1;
}

void CLinePlotWnd::GateChanging(int id, const GateData* data) {
    SetGateData(id, data);
    RenderToWindow(0);
}

void CLinePlotWnd::GateChanged(int id, const GateData* data) { GateChanging(id, data); }
