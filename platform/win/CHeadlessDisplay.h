#pragma once
// The display of headless runs: nothing is shown; the surfaces are read by whoever needs them
// (PNG output, pixel probes). It only counts what reached it, so a host can tell whether a pass
// changed anything.
#include "platform/win/CDisplay.h"

class CHeadlessDisplay : public CDisplay {
public:
    void OnSurfaceChanged(HWND hTopLevel, CBitmap* pSurface) override;
    void OnTopLevelDestroyed(HWND hTopLevel) override;
    void Present(HWND hTopLevel, const CBitmap& surface, const RECT& rcDirty) override;
    void OnCursorChanged(HCURSOR hCursor) override;

    // How many times painted pixels were handed over.
    int GetPresentCount() const { return m_nPresents; }
    // How many cursor changes reached the display.
    int GetCursorChangeCount() const { return m_nCursorChanges; }

private:
    int m_nPresents = 0;
    int m_nCursorChanges = 0;
};
