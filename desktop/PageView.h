#pragma once
// The page of a document on the desktop: the top-level surface the controls paint on, shown at
// its own pixels (or zoomed), repainted where the window manager says pixels changed. Qt mouse
// input over it comes out as the platform's mouse actions at surface coordinates, and the cursor
// the controls set is the cursor shown.
#include <QImage>
#include <QWidget>
#include <functional>

#include "platform/win/CWindowManager.h"

class CBitmap;

class CPageView : public QWidget {
    Q_OBJECT

public:
    using MouseSink = std::function<void(CWindowManager::MouseAction action, CPoint ptSurface)>;

    explicit CPageView(QWidget* parent = nullptr);

    // The surface to show (null: none). Its pixels are read in place; the surface must stay alive
    // until it is replaced or cleared.
    void SetSurface(CBitmap* pSurface);
    // Pixels changed inside rcDirty (surface coordinates).
    void PresentRect(const RECT& rcDirty);
    // Shows the cursor a control set (null hides it).
    void ShowPlatformCursor(HCURSOR hCursor);
    // Where mouse input goes.
    void SetMouseSink(MouseSink sink) { m_mouseSink = std::move(sink); }

    // Zoom of the page in percent (50 to 200); the surface keeps its size, the view scales it.
    void SetZoomPercent(int percent);
    int GetZoomPercent() const { return m_zoomPercent; }
    // Widget coordinates to surface coordinates and back.
    CPoint ToSurface(const QPointF& ptWidget) const;
    QPoint ToWidget(CPoint ptSurface) const;

    // The image the view paints from (wrapping the surface's pixels where the byte order allows).
    const QImage& GetImage() const { return m_image; }
    // How many repaints were asked for, and the union of the last one's rectangles (widget
    // coordinates), for the tests of partial repaints.
    int GetPresentCount() const { return m_nPresents; }
    QRect GetLastPresentRect() const { return m_lastPresent; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void UpdateGeometry();
    void Send(CWindowManager::MouseAction action, const QPointF& ptWidget);

    CBitmap* m_pSurface = nullptr;
    QImage m_image;
    int m_zoomPercent = 100;
    MouseSink m_mouseSink;
    int m_nPresents = 0;
    QRect m_lastPresent;
};

// The Qt cursor for a platform cursor: the standard shapes by id, the module's own cursors from
// their AND and XOR masks.
QCursor CursorFromPlatform(HCURSOR hCursor);
