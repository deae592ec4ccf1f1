#include "desktop/PageView.h"

#include <QBitmap>
#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtEndian>
#include <cmath>

#include "platform/base/Saturate.h"
#include "platform/gdi/CBitmap.h"
#include "platform/win/Cursor.h"

namespace {

constexpr int kMinZoom = 50;
constexpr int kMaxZoom = 200;

struct SCursorShape {
    LPCTSTR id;
    Qt::CursorShape shape;
};

}  // namespace

CPageView::CPageView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);  // moves without a button reach the controls too (readouts, cursors)
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void CPageView::SetSurface(CBitmap* pSurface) {
    m_pSurface = pSurface;
    if (pSurface == nullptr || pSurface->GetPixels() == nullptr) {
        m_pSurface = nullptr;
        m_image = QImage();
    } else {
        const int w = pSurface->GetWidth(), h = pSurface->GetHeight();
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        // 0x00BBGGRR in memory is R, G, B, 0: the image reads the surface where it lies.
        m_image = QImage(reinterpret_cast<const uchar*>(pSurface->GetPixels()), w, h, w * 4, QImage::Format_RGBX8888);
#else
        m_image = QImage(w, h, QImage::Format_RGBX8888);
#endif
    }
    UpdateGeometry();
    update();
}

void CPageView::PresentRect(const RECT& rcDirty) {
    if (m_pSurface == nullptr) return;
#if Q_BYTE_ORDER != Q_LITTLE_ENDIAN
    // Without the little-endian layout the dirty part is copied into the image's byte order.
    const int w = m_pSurface->GetWidth();
    for (int y = std::max<LONG>(rcDirty.top, 0); y < std::min<LONG>(rcDirty.bottom, m_image.height()); ++y) {
        const uint32_t* src = m_pSurface->GetPixels() + static_cast<size_t>(y) * w;
        uchar* dst = m_image.scanLine(y);
        for (int x = std::max<LONG>(rcDirty.left, 0); x < std::min<LONG>(rcDirty.right, w); ++x) {
            dst[4 * x] = src[x] & 0xFF;
            dst[4 * x + 1] = (src[x] >> 8) & 0xFF;
            dst[4 * x + 2] = (src[x] >> 16) & 0xFF;
            dst[4 * x + 3] = 0xFF;
        }
    }
#endif
    const QPoint topLeft = ToWidget(CPoint(rcDirty.left, rcDirty.top));
    const QPoint bottomRight = ToWidget(CPoint(rcDirty.right, rcDirty.bottom));
    // Scaled edges fall between widget pixels: one more on each side covers them.
    const int pad = m_zoomPercent == 100 ? 0 : 1;
    const QRect r(topLeft - QPoint(pad, pad), bottomRight - QPoint(1 - pad, 1 - pad));
    ++m_nPresents;
    m_lastPresent = r;
    update(r);
}

void CPageView::SetZoomPercent(int percent) {
    m_zoomPercent = std::clamp(percent, kMinZoom, kMaxZoom);
    UpdateGeometry();
    update();
}

CPoint CPageView::ToSurface(const QPointF& ptWidget) const {
    // Floor, not truncation: a point just left of the page is -1, not 0.
    const double scale = 100.0 / m_zoomPercent;
    return CPoint(TruncateToInt(std::floor(ptWidget.x() * scale)),
                  TruncateToInt(std::floor(ptWidget.y() * scale)));
}

QPoint CPageView::ToWidget(CPoint ptSurface) const {
    return QPoint(static_cast<int>(std::lround(ptSurface.x * m_zoomPercent / 100.0)),
                  static_cast<int>(std::lround(ptSurface.y * m_zoomPercent / 100.0)));
}

QSize CPageView::sizeHint() const {
    if (m_image.isNull()) return QSize(320, 200);
    const QPoint p = ToWidget(CPoint(m_image.width(), m_image.height()));
    return QSize(p.x(), p.y());
}

void CPageView::UpdateGeometry() {
    setFixedSize(sizeHint());
    updateGeometry();
}

void CPageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (m_image.isNull()) {
        painter.fillRect(event->rect(), palette().window());
        return;
    }
    if (m_zoomPercent == 100) {
        painter.drawImage(event->rect().topLeft(), m_image, event->rect());
        return;
    }
    const double scale = m_zoomPercent / 100.0;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_zoomPercent < 100);
    painter.scale(scale, scale);
    const QRectF source = QRectF(event->rect()).adjusted(-1, -1, 1, 1);
    const QRectF page(source.left() / scale, source.top() / scale, source.width() / scale, source.height() / scale);
    painter.drawImage(page, m_image, page);
}

void CPageView::Send(CWindowManager::MouseAction action, const QPointF& ptWidget) {
    if (m_mouseSink && m_pSurface) m_mouseSink(action, ToSurface(ptWidget));
}

void CPageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Send(CWindowManager::MouseAction::LeftDown, event->position());
    else if (event->button() == Qt::RightButton) Send(CWindowManager::MouseAction::RightDown, event->position());
}

void CPageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Send(CWindowManager::MouseAction::LeftUp, event->position());
    else if (event->button() == Qt::RightButton) Send(CWindowManager::MouseAction::RightUp, event->position());
}

void CPageView::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends press, release, double-click, release, as the platform does; the second press of a
    // right double click is a plain press there.
    if (event->button() == Qt::LeftButton) Send(CWindowManager::MouseAction::LeftDoubleClick, event->position());
    else if (event->button() == Qt::RightButton) Send(CWindowManager::MouseAction::RightDown, event->position());
}

void CPageView::mouseMoveEvent(QMouseEvent* event) { Send(CWindowManager::MouseAction::Move, event->position()); }

void CPageView::ShowPlatformCursor(HCURSOR hCursor) {
    if (hCursor == nullptr) {
        setCursor(Qt::BlankCursor);
        return;
    }
    setCursor(CursorFromPlatform(hCursor));
}

QCursor CursorFromPlatform(HCURSOR hCursor) {
    static const SCursorShape kShapes[] = {
        {IDC_ARROW, Qt::ArrowCursor},       {IDC_IBEAM, Qt::IBeamCursor},       {IDC_WAIT, Qt::WaitCursor},
        {IDC_CROSS, Qt::CrossCursor},       {IDC_UPARROW, Qt::UpArrowCursor},   {IDC_SIZENWSE, Qt::SizeFDiagCursor},
        {IDC_SIZENESW, Qt::SizeBDiagCursor}, {IDC_SIZEWE, Qt::SizeHorCursor},   {IDC_SIZENS, Qt::SizeVerCursor},
        {IDC_SIZEALL, Qt::SizeAllCursor},   {IDC_NO, Qt::ForbiddenCursor},      {IDC_HAND, Qt::PointingHandCursor},
    };
    if (hCursor == nullptr) return QCursor(Qt::BlankCursor);
    const UINT id = GetCursorId(hCursor);
    if (IsStandardCursor(hCursor)) {
        for (const SCursorShape& s : kShapes)
            if (reinterpret_cast<uintptr_t>(s.id) == id) return QCursor(s.shape);
        return QCursor(Qt::ArrowCursor);
    }
    const CCursorResource* res = GetCursorResource(hCursor);
    if (res == nullptr || res->nWidth <= 0 || res->nHeight <= 0) return QCursor(Qt::ArrowCursor);
    const size_t rowBytes = static_cast<size_t>((res->nWidth + 15) / 16) * 2;
    const size_t need = rowBytes * static_cast<size_t>(res->nHeight);
    if (res->andMask.size() < need || res->xorMask.size() < need) return QCursor(Qt::ArrowCursor);
    // The platform's masks: AND 0 / XOR 0 black, 0 / 1 white, 1 / 0 transparent, 1 / 1 inverted.
    // Qt's: mask 1 draws (bitmap 1 black, 0 white), mask 0 leaves the screen (bitmap 1 inverts).
    QImage bits(res->nWidth, res->nHeight, QImage::Format_MonoLSB);
    QImage mask(res->nWidth, res->nHeight, QImage::Format_MonoLSB);
    // Index 1 is black, which a bitmap takes as a set bit.
    for (QImage* im : {&bits, &mask}) {
        im->setColorCount(2);
        im->setColor(0, qRgb(255, 255, 255));
        im->setColor(1, qRgb(0, 0, 0));
    }
    for (int y = 0; y < res->nHeight; ++y) {
        for (int x = 0; x < res->nWidth; ++x) {
            const size_t byte = static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x / 8);
            const int bit = 7 - x % 8;
            const bool a = (res->andMask[byte] >> bit) & 1;
            const bool o = (res->xorMask[byte] >> bit) & 1;
            bits.setPixel(x, y, a == o ? 1 : 0);
            mask.setPixel(x, y, a ? 0 : 1);
        }
    }
    return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), res->ptHotSpot.x, res->ptHotSpot.y);
}
