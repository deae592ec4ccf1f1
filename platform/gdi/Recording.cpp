// The recording of drawing calls and its playback onto raster contexts.
#include "platform/gdi/Recording.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/StockObjects.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace gdi {

namespace {

// The part of a state that decides how a call draws (objects by value, no pen position).
DcState Stripped(const DcState& s) {
    DcState r = s;
    r.pen = nullptr;
    r.brush = nullptr;
    r.font = nullptr;
    r.bitmap = nullptr;
    r.bitmapStore.reset();
    r.penPos = CPoint();
    return r;
}

bool SameState(const DcState& a, const DcState& b) {
    return a.logPen.lopnStyle == b.logPen.lopnStyle && a.logPen.lopnWidth.x == b.logPen.lopnWidth.x &&
           a.logPen.lopnColor == b.logPen.lopnColor && a.logBrush.lbStyle == b.logBrush.lbStyle &&
           a.logBrush.lbColor == b.logBrush.lbColor &&
           std::memcmp(&a.logFont, &b.logFont, sizeof(LOGFONT)) == 0 && a.mapMode == b.mapMode &&
           a.windowOrg == b.windowOrg && a.viewportOrg == b.viewportOrg && a.windowExt == b.windowExt &&
           a.viewportExt == b.viewportExt && a.textColor == b.textColor && a.bkColor == b.bkColor &&
           a.bkMode == b.bkMode && a.rop2 == b.rop2 && a.textAlign == b.textAlign && a.hasClip == b.hasClip &&
           (!a.hasClip || a.clipRgn == b.clipRgn);
}

// Copies a recorded BitBlt source into the destination box through the operation; pixels the
// source did not have are left alone, as the direct copy left them.
void PlayBlock(const CDeviceContext& dc, const stRecord& r) {
    const RasterTarget& t = dc.m_target;
    if (t.IsEmpty()) return;
    const CPoint at = dc.ToDevice(r.points[0].x, r.points[0].y);
    const CPoint end = dc.ToDevice(r.points[0].x + r.points[1].x, r.points[0].y + r.points[1].y);
    const int left = std::min(at.x, end.x), top = std::min(at.y, end.y);
    const uint8_t rop = Rop3Index(r.rop);
    const uint32_t brush = dc.m_state.logBrush.lbColor & 0x00FFFFFFu;
    for (int y = 0; y < r.imageHeight; ++y) {
        for (int x = 0; x < r.imageWidth; ++x) {
            const uint32_t src = r.image[static_cast<size_t>(y) * r.imageWidth + x];
            const long long dx = static_cast<long long>(left) + x, dy = static_cast<long long>(top) + y;
            if (src == kNoSourcePixel || dx > INT32_MAX || dy > INT32_MAX) continue;
            if (!t.Contains(static_cast<int>(dx), static_cast<int>(dy))) continue;
            uint32_t* px = t.At(static_cast<int>(dx), static_cast<int>(dy));
            *px = rop == 0xCC ? src : ApplyRop3(rop, brush, src, *px);
        }
    }
}

}  // namespace

void CRecording::Add(stRecord record, const DcState& state) {
    DcState s = Stripped(state);
    if (m_states.empty() || !SameState(m_states.back(), s)) m_states.push_back(std::move(s));
    record.state = static_cast<uint32_t>(m_states.size() - 1);
    m_records.push_back(std::move(record));
}

void CRecording::Clear() {
    m_records.clear();
    m_states.clear();
}

void PlayRecording(const CRecording& recording, CDC& target) {
    CDeviceContext* dc = FromHdc(target.GetSafeHdc());
    if (dc == nullptr) return;
    const DcState original = dc->m_state;
    CPen* const stockPen = static_cast<CPen*>(StockObject(BLACK_PEN));
    CBrush* const stockBrush = static_cast<CBrush*>(StockObject(WHITE_BRUSH));
    CFont* const stockFont = static_cast<CFont*>(StockObject(SYSTEM_FONT));

    for (const stRecord& r : recording.Records()) {
        // The recorded state replaces the target's, apart from what the target draws into.
        DcState s = recording.States()[r.state];
        s.bitmap = original.bitmap;
        s.bitmapStore = original.bitmapStore;
        s.pen = stockPen;
        s.brush = stockBrush;
        s.font = stockFont;
        if (r.kind == ERecordKind::LineTo && !r.points.empty()) s.penPos = r.points[0];
        if (r.kind == ERecordKind::ExtTextOut && r.points.size() > 1) s.penPos = r.points[1];
        dc->m_state = std::move(s);
        dc->UpdateAll();

        const std::vector<POINT>& p = r.points;
        switch (r.kind) {
        case ERecordKind::LineTo:
            if (p.size() == 2) target.CDC::LineTo(p[1].x, p[1].y);
            break;
        case ERecordKind::Polyline:
            target.CDC::Polyline(p.data(), static_cast<int>(p.size()));
            break;
        case ERecordKind::Arc:
            if (p.size() == 4) target.CDC::Arc(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y);
            break;
        case ERecordKind::Ellipse:
            if (p.size() == 2) target.CDC::Ellipse(p[0].x, p[0].y, p[1].x, p[1].y);
            break;
        case ERecordKind::Rectangle:
            if (p.size() == 2) target.CDC::Rectangle(p[0].x, p[0].y, p[1].x, p[1].y);
            break;
        case ERecordKind::SetPixel:
            if (p.size() == 1) target.CDC::SetPixel(p[0].x, p[0].y, r.colour);
            break;
        case ERecordKind::FillRect: {
            // A solid fill of the recorded colour, exactly as FillRect with a brush of it.
            const CPoint a = dc->ToDevice(r.rect.left, r.rect.top), b = dc->ToDevice(r.rect.right, r.rect.bottom);
            CRect box(a.x, a.y, b.x, b.y);
            box.NormalizeRect();
            FillDeviceRect(dc->m_target, box, RopMasks{0, r.colour & 0x00FFFFFFu});
            break;
        }
        case ERecordKind::PatBlt:
            if (p.size() == 2) target.CDC::PatBlt(p[0].x, p[0].y, p[1].x, p[1].y, r.rop);
            break;
        case ERecordKind::BitBlt:
            if (p.size() == 2) PlayBlock(*dc, r);
            break;
        case ERecordKind::ExtTextOut:
            if (!p.empty())
                target.CDC::ExtTextOut(p[0].x, p[0].y, r.options, r.hasRect ? &r.rect : nullptr, r.text.data(),
                                       static_cast<UINT>(r.text.size()), r.dx.empty() ? nullptr : r.dx.data());
            break;
        }
    }
    dc->m_state = original;
    dc->UpdateAll();
}

}  // namespace gdi
