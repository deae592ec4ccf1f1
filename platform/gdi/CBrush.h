#pragma once
// A brush: solid colour or null (hollow), held inline.
#include "platform/gdi/GdiTypes.h"

class CBrush : public CGdiObject {
public:
    CBrush() : CGdiObject(OBJ_BRUSH) {}
    // Creates a solid brush at once.
    explicit CBrush(COLORREF colour);
    ~CBrush() override;

    operator HBRUSH() const { return reinterpret_cast<HBRUSH>(m_hObject); }

    BOOL CreateSolidBrush(COLORREF colour);
    // BS_SOLID and BS_NULL are supported; other styles fail.
    BOOL CreateBrushIndirect(const LOGBRUSH* logBrush);
    int GetLogBrush(LOGBRUSH* logBrush) const;

    static CBrush* FromHandle(HBRUSH h) { return static_cast<CBrush*>(CGdiObject::FromHandle(h)); }

    // The description of the brush this object refers to; null without one.
    const LOGBRUSH* GetData() const;

private:
    LOGBRUSH m_logBrush{};
};
