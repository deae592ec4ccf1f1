#pragma once
// A context that records what is drawn into it instead of setting pixels: the base of metafile
// and printer contexts. State, queries and conversions behave as on any context of its size and
// resolution (GetDeviceCaps, mapping, text metrics, clip box); each drawing call is kept with
// the state it ran under, for playback onto a raster context or into a PDF or SVG file.
#include "platform/gdi/CDC.h"
#include "platform/gdi/Recording.h"

class CRecordingDC : public CDC {
public:
    CRecordingDC() = default;

    // Makes the context: technology DT_METAFILE or DT_RASPRINTER, device size in pixels (dots) and
    // resolution. FALSE when this object already has a context or a size is not positive.
    BOOL CreateRecordingDC(int technology, CSize size, int dpiX, int dpiY);
    // The calls recorded so far.
    const gdi::CRecording& GetRecording() const { return m_recording; }
    // Forgets the calls recorded so far (the state stays).
    void ClearRecording() { m_recording.Clear(); }

    BOOL IsPrinting() const override;
    // Only recorded: a recording has no pixels to read back.
    BOOL LineTo(int x, int y) override;
    BOOL Polyline(const POINT* points, int count) override;
    BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    BOOL Ellipse(int x1, int y1, int x2, int y2) override;
    BOOL Rectangle(int x1, int y1, int x2, int y2) override;
    COLORREF SetPixel(int x, int y, COLORREF colour) override;
    void FillRect(LPCRECT rect, CBrush* brush) override;
    void FillSolidRect(LPCRECT rect, COLORREF colour) override;
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop) override;
    // The source's pixels are copied into the recording now, so the source may change afterwards.
    BOOL BitBlt(int x, int y, int width, int height, CDC* srcDC, int xSrc, int ySrc, DWORD rop) override;
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCTSTR text, UINT count, const int* dx) override;
    // Clip changes answer for the page (the base answers for pixels, which a recording has none of).
    int SelectClipRgn(CRgn* region) override;
    int IntersectClipRect(int left, int top, int right, int bottom) override;
    using CDC::IntersectClipRect;
    // The page within the clip region, in logical coordinates.
    int GetClipBox(LPRECT rect) const override;

private:
    void Record(gdi::stRecord record);
    // The device pixels that may be drawn: the page within the clip region.
    CRect VisibleDeviceRect() const;

    gdi::CRecording m_recording;
};
