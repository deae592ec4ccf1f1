#pragma once
// Selects a pen, brush, font or bitmap now and selects the previous one back at scope end.
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"

class CSelectObject {
public:
    CSelectObject(CDC& dc, CPen& pen) : m_dc(dc), m_previous(dc.SelectObject(&pen)) {}
    CSelectObject(CDC& dc, CBrush& brush) : m_dc(dc), m_previous(dc.SelectObject(&brush)) {}
    CSelectObject(CDC& dc, CFont& font) : m_dc(dc), m_previous(dc.SelectObject(&font)) {}
    CSelectObject(CDC& dc, CBitmap& bitmap) : m_dc(dc), m_previous(dc.SelectObject(&bitmap)) {}
    ~CSelectObject() {
        if (m_previous != nullptr) m_dc.SelectObject(m_previous);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

    // The object that was selected before (null when the selection failed).
    CGdiObject* GetPrevious() const { return m_previous; }

private:
    CDC& m_dc;
    CGdiObject* m_previous;
};
