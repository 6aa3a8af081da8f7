#include "ui/MapOverviewDialog.h"

#include "core/Theme.h"
#include "view/MapDrawing.h"
#include "workspace/CorvaleDoc.h"

#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

CMapOverviewCtrl::CMapOverviewCtrl(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("mapOverview"));
}

void CMapOverviewCtrl::Refresh(CCorvaleDoc* document) {
    m_Document = document;
    m_Picture = QImage();
    update();
}

void CMapOverviewCtrl::SetViewRect(const double extent[4]) {
    std::copy(extent, extent + 4, m_ViewRect);
    update();
}

void CMapOverviewCtrl::resizeEvent(QResizeEvent* event) {
    m_Picture = QImage();
    QWidget::resizeEvent(event);
}

void CMapOverviewCtrl::UpdateExtent() {
    double e[4] = {0.0, 0.0, 0.0, 0.0};
    m_Document->GetThemesExtent(e);
    double minX = e[0], minY = e[1], maxX = e[2], maxY = e[3];
    if (height() != 0) {
        const double aspect = static_cast<double>(width()) / height();
        const double w = maxX - minX;
        const double h = maxY - minY;
        if (w / h <= aspect)
            maxX = minX + h * aspect;
        else
            minY = maxY - w / aspect;
    }
    SetMapViewport(m_Viewport, CDeviceRect{0, 0, width(), height()}, minX, maxX, minY, maxY);
}

void CMapOverviewCtrl::RenderPicture() {
    m_Picture = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    m_Picture.fill(Qt::white);
    if (m_Document == nullptr)
        return;
    UpdateExtent();
    const std::vector<CTheme*>& themes = m_Document->m_themes;
    const int withPolygons = static_cast<int>(std::count_if(
        themes.begin(), themes.end(), [](const CTheme* t) { return !t->m_VisiblePolygons.empty(); }));
    const int step = withPolygons > 0 ? 40 / withPolygons : 0;
    int grey = 190;
    QPainter dc(&m_Picture);
    // Hidden themes too, in the main map's drawing order: no styles, only
    // greys.
    for (auto it = themes.rbegin(); it != themes.rend(); ++it) {
        const CTheme* theme = *it;
        if (!theme->m_VisiblePolygons.empty()) {
            const QColor fill(grey, grey, grey);
            dc.setPen(QPen(fill, 0));
            dc.setBrush(fill);
            for (const CShapeRecord* record : theme->m_VisiblePolygons)
                DrawPolygonShape(m_Viewport, dc, record);
            grey -= step;
        }
        dc.setBrush(Qt::NoBrush);
        dc.setPen(QPen(QColor(130, 130, 130), 0));
        for (const CShapeRecord* record : theme->m_VisibleArcs)
            DrawPolylineShape(record, m_Viewport, dc);
        dc.setPen(QPen(QColor(80, 80, 80), 0));
        for (const CShapeRecord* record : theme->m_VisiblePoints) {
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            const CDevicePoint px = MapToDevice(m_Viewport, p.x, p.y);
            dc.drawPoint(px.x, px.y);
        }
    }
}

void CMapOverviewCtrl::DrawCrossHair(QPainter& painter, const QRect& paintRect) {
    const double cx = m_ViewRect[0] + (m_ViewRect[2] - m_ViewRect[0]) / 2.0;
    const double cy = m_ViewRect[1] + (m_ViewRect[3] - m_ViewRect[1]) / 2.0;
    const CDevicePoint centre = MapToDevice(m_Viewport, cx, cy);
    // A centre outside the overview shows at the nearest border.
    const int x = std::clamp(centre.x, paintRect.left(), paintRect.right());
    const int y = std::clamp(centre.y, paintRect.top(), paintRect.bottom());
    painter.setPen(QPen(QColor(255, 0, 0), 0));
    painter.drawLine(0, y, width(), y);
    painter.drawLine(x, 0, x, height());
}

QImage CMapOverviewCtrl::Render() {
    if (m_Picture.isNull() || m_Picture.size() != size())
        RenderPicture();
    QImage image = m_Picture.copy();
    QPainter painter(&image);
    DrawCrossHair(painter, image.rect());
    return image;
}

void CMapOverviewCtrl::paintEvent(QPaintEvent* event) {
    if (m_Picture.isNull() || m_Picture.size() != size())
        RenderPicture();
    QPainter painter(this);
    painter.drawImage(0, 0, m_Picture);
    DrawCrossHair(painter, event->rect());
}

void CMapOverviewCtrl::mousePressEvent(QMouseEvent* event) {
    if (m_Document != nullptr && event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        const CShapePoint at = ScreenToMap(m_Viewport, p.x(), p.y());
        m_Document->CenterMap(at.x, at.y);
    }
    QWidget::mousePressEvent(event);
}

// ---------------------------------------------------------------------------

CMapOverviewDialog::~CMapOverviewDialog() { Destroy(); }

bool CMapOverviewDialog::HasWindow() const { return !m_Window.isNull(); }

bool CMapOverviewDialog::IsVisible() const { return m_Window && m_Window->isVisible(); }

void CMapOverviewDialog::Create(CCorvaleDoc* document, QWidget* parent) {
    Destroy();
    m_Document = document;
    auto* window = new QDialog(parent, Qt::Tool);
    window->setWindowTitle(QStringLiteral("Map Overview"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(4, 4, 4, 4);
    m_Control = new CMapOverviewCtrl(window);
    layout->addWidget(m_Control);
    window->resize(240, 180);
    m_Window = window;
    QObject::connect(window, &QObject::destroyed, [this] { m_Control = nullptr; });
    if (m_Document != nullptr)
        m_Control->Refresh(m_Document);
}

void CMapOverviewDialog::Refresh() {
    if (m_Control != nullptr)
        m_Control->Refresh(m_Document);
}

void CMapOverviewDialog::SetViewRect(const double extent[4]) {
    if (m_Control != nullptr)
        m_Control->SetViewRect(extent);
}

void CMapOverviewDialog::Show() {
    if (m_Window) {
        m_Window->show();
        m_Window->raise();
    }
}

void CMapOverviewDialog::Destroy() {
    if (m_Window) {
        QDialog* window = m_Window;
        m_Window.clear();
        m_Control = nullptr;
        delete window;
    }
}
