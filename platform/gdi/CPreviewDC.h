#pragma once
// The print-preview context: a printer context answers every query (device caps, mapping, text
// metrics, conversions: the page is laid out in printer units), while the drawing lands on a
// screen context, each printer dot scaled to screen pixels by a ratio and moved by a top-left
// offset. The technology is the printer's, so controls take their printer paths.
//
// The output context's mapping mirrors the printer's (MM_ANISOTROPIC with the printer's window and
// the viewport scaled), so lines, text and wide pens come out as the printed page would, reduced.
// Clip regions selected into a preview are in screen device units (a printer clip must be
// converted with PrinterDPtoScreenDP and moved by the output's viewport origin first).
#include "platform/gdi/CDC.h"
#include "platform/gdi/DeviceContext.h"

class CPreviewDC : public CDC {
public:
    CPreviewDC() = default;
    // Gives the output context back as it was before SetOutputDC.
    ~CPreviewDC() override;

    // The printer context the page is laid out for; not owned.
    void SetAttribDC(HDC printer);
    // The screen context the preview draws on; not owned. Takes the printer context's objects,
    // colours and modes, and the mirrored mapping.
    void SetOutputDC(HDC screen);
    // Lets go of the screen context, restoring its state.
    void ReleaseOutputDC();
    // Screen pixels per printer dot as numerator / denominator (both positive).
    void SetScaleRatio(int numerator, int denominator);
    // Where printer dot (0, 0) lands on the screen, in screen pixels.
    void SetTopLeftOffset(CSize offset);
    // Printer device units to screen device units: scaled by the ratio (halves rounded up),
    // without the top-left offset (that is part of the output context's viewport origin).
    void PrinterDPtoScreenDP(LPPOINT point) const;

    BOOL IsPrinting() const override { return TRUE; }
    int SetMapMode(int mapMode) override;
    CPoint SetViewportOrg(int x, int y) override;
    CSize SetViewportExt(int cx, int cy) override;
    CPoint SetWindowOrg(int x, int y) override;
    CSize SetWindowExt(int cx, int cy) override;
    BOOL RestoreDC(int savedDC) override;
    // The logical rectangle through the output's (screen) mapping.
    int IntersectClipRect(int left, int top, int right, int bottom) override;
    int GetClipBox(LPRECT rect) const override;
    // The opaque and clipping rectangle go through the output's mapping.
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCTSTR text, UINT count, const int* dx) override;

private:
    // Sets the output context's mapping from the printer's, the ratio and the offset.
    void MirrorMapping();

    int m_scaleNum = 1;
    int m_scaleDen = 1;
    CSize m_topLeft;
    bool m_hasSavedOutput = false;
    gdi::DcState m_savedOutputState;
    size_t m_savedOutputDepth = 0;
};
