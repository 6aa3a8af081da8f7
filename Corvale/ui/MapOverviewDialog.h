#pragma once
// "Map Overview": a small tool window of the map view showing every theme
// of the workspace in greys, with a red cross-hair at the centre of the
// view's extent; a click centres the map there.

#include "view/GeoViewServices.h"
#include "view/MapViewport.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class CCorvaleDoc;
class QDialog;

class CMapOverviewCtrl : public QWidget {
public:
    explicit CMapOverviewCtrl(QWidget* parent = nullptr);

    // Takes the document, drops the cached picture and repaints.
    void Refresh(CCorvaleDoc* document);
    // The main view's extent (minX, minY, maxX, maxY); repaints only.
    void SetViewRect(const double extent[4]);

    // The picture as it is painted: the workspace in greys and the cross-hair.
    QImage Render();
    const CMapViewport& GetViewport() const { return m_Viewport; }
    bool HasCachedPicture() const { return !m_Picture.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The themes' extent widened to the window's proportions, into the viewport.
    void UpdateExtent();
    void RenderPicture();
    void DrawCrossHair(QPainter& painter, const QRect& paintRect);

    CCorvaleDoc* m_Document = nullptr;
    QImage m_Picture;
    double m_ViewRect[4] = {0.0, 0.0, 0.0, 0.0};
    CMapViewport m_Viewport;
};

// The view's overview window; it exists only while shown.
class CMapOverviewDialog : public IMapOverviewDialog {
public:
    ~CMapOverviewDialog() override;
    bool HasWindow() const override;
    bool IsVisible() const override;
    void Create(CCorvaleDoc* document, QWidget* parent) override;
    void Refresh() override;
    void SetViewRect(const double extent[4]) override;
    void Show() override;
    void Destroy() override;

    CMapOverviewCtrl* GetControl() const { return m_Control; }

private:
    CCorvaleDoc* m_Document = nullptr;
    QPointer<QDialog> m_Window;
    CMapOverviewCtrl* m_Control = nullptr;
};
