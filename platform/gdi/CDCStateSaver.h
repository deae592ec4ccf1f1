#pragma once
// Saves a context's whole state now and restores it on every path out of the scope.
#include "platform/gdi/CDC.h"

class CDCStateSaver {
public:
    explicit CDCStateSaver(CDC& dc) : m_dc(dc), m_saved(dc.SaveDC()) {}
    explicit CDCStateSaver(CDC* dc) : CDCStateSaver(*dc) {}
    ~CDCStateSaver() {
        if (m_saved > 0) m_dc.RestoreDC(m_saved);
    }
    CDCStateSaver(const CDCStateSaver&) = delete;
    CDCStateSaver& operator=(const CDCStateSaver&) = delete;

    // The depth SaveDC returned (0 when saving failed).
    int GetSavedDepth() const { return m_saved; }

private:
    CDC& m_dc;
    int m_saved;
};
