// The map view's mouse tools: navigation (pan, zoom, wheel, arrow keys),
// measuring, pointer feedback (cursor, status-bar coordinates, info tips,
// context menu) and selection by click, rectangle, circle and polygon. Every
// mouse and key message is dispatched here, by tool mode; the drawing and
// vertex tools do their work in GeoViewEditTools.cpp.
//
// Rubber figures are state of the view (m_dragRect, m_toolPoints, the pan
// offset) painted over the cached map in paintEvent; every change of them
// is followed by update(), so nothing is drawn on the widget outside painting.

#include "view/GeoView.h"

#include "core/ColorRef.h"
#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "geometry/DoubleRect.h"
#include "geometry/ShapeMeasures.h"
#include "geometry/ShapeOperations.h"
#include "geometry/SpatialHash.h"
#include "platform/ByteOrder.h"
#include "platform/NumberText.h"
#include "settings/AppSettings.h"
#include "view/GeoViewServices.h"
#include "view/MapDrawing.h"
#include "view/MapRenderer.h"
#include "view/RasterRegionTrace.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

namespace {

// One notch of a wheel, as Qt reports it.
constexpr int kWheelStep = 120;
// The status-bar pane that shows the measured length.
constexpr int kMeasurePaneId = 1133;
// Half the arms of the cross shown in the window's centre while panning.
constexpr int kPanCrossBefore = 9;
constexpr int kPanCrossAfter = 10;

std::uint32_t KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    std::uint32_t flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

CDevicePoint ToDevice(const QPointF& p) {
    return {static_cast<std::int32_t>(std::floor(p.x())), static_cast<std::int32_t>(std::floor(p.y()))};
}

bool InsideClient(const CDevicePoint& p, int width, int height) {
    return p.x >= 0 && p.x < width && p.y >= 0 && p.y < height;
}

// A magnifier with a plus (zoom in) or a minus (zoom out), hot spot on the
// lens' centre.
QCursor MakeZoomCursor(bool zoomIn) {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 4));
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.drawLine(QPointF(18, 18), QPointF(28, 28));
        p.setPen(QPen(Qt::black, 2));
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.drawLine(QPointF(18, 18), QPointF(28, 28));
        p.drawLine(QPointF(8, 12), QPointF(16, 12));
        if (zoomIn)
            p.drawLine(QPointF(12, 8), QPointF(12, 16));
    }
    return QCursor(picture, 12, 12);
}

bool IsPolylineRecord(const CShapeRecord* record) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    return type == SHT_Polyline || type == SHT_PolylineZ;
}

// The idle mode of a tool, for its drag or draw mode.
std::uint32_t IdleMode(std::uint32_t mode) {
    switch (mode) {
    case MT_SelectRectangleDrag:
        return MT_SelectRectangle;
    case MT_SelectCircleDrag:
        return MT_SelectCircle;
    case MT_PanDrag:
        return MT_Pan;
    case MT_ZoomInDrag:
        return MT_ZoomIn;
    case MT_AdjustVertexDrag:
        return MT_AdjustVertex;
    case MT_NewVertexDrag:
        return MT_NewVertex;
    case MT_SelectPolygonDraw:
        return MT_SelectPolygon;
    case MT_SplitPolylineDrag:
        return MT_SplitPolyline;
    default:
        return mode;
    }
}

struct MenuItem {
    const char* text;
    unsigned id;
};

} // namespace

CShapePoint CGeoView::ClientToMap(const CDevicePoint& point) const {
    return ScreenToMap(m_viewport, point.x, point.y);
}

void CGeoView::AddToolCommands() {
    OnCommand(ID_VIEW_COPY_COORDINATE, [this] { OnCopyCoordinate(); });
    OnCommand(
        ID_VIEW_ADD_BOOKMARK, [this] { OnAddBookmark(); },
        [this](CCmdUI& ui) {
            const CCorvaleDoc* doc = GetDocument();
            ui.Enable(doc != nullptr && !doc->m_themes.empty());
        });
    OnCommand(
        ID_VIEW_SPLIT_HERE, [this] { OnSplitHere(); },
        [this](CCmdUI& ui) { ui.Enable(CanSplitHere()); });
}

// ---------------------------------------------------------------------------
// Qt's events, turned into the tools' messages
// ---------------------------------------------------------------------------

void CGeoView::mousePressEvent(QMouseEvent* event) {
    const std::uint32_t flags = KeyFlags(event->buttons(), event->modifiers());
    const CDevicePoint point = ToDevice(event->position());
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(flags, point);
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(flags, point);
    event->accept();
}

void CGeoView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(KeyFlags(event->buttons(), event->modifiers()), ToDevice(event->position()));
    event->accept();
}

void CGeoView::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(KeyFlags(event->buttons(), event->modifiers()), ToDevice(event->position()));
    event->accept();
}

void CGeoView::wheelEvent(QWheelEvent* event) {
    if (OnMouseWheel(event->angleDelta().y(), ToDevice(event->position())) != 0)
        event->accept();
    else
        event->ignore();
}

void CGeoView::keyPressEvent(QKeyEvent* event) {
    if (!OnKeyDown(event->key()))
        QWidget::keyPressEvent(event);
}

void CGeoView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}

void CGeoView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard)
        OnContextMenu({-1, -1}, event->globalPos());
    else
        OnContextMenu({event->pos().x(), event->pos().y()}, event->globalPos());
    event->accept();
}

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------

void CGeoView::TraceMouse(const char* what, const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || (doc->m_debugFlags & 1) == 0)
        return;
    const CShapePoint p = ClientToMap(point);
    doc->PrintConsoleLine(std::string("CV: ") + what + " (x,y) (" + corvale::FormatFixed(p.x, 4) +
                          "," + corvale::FormatFixed(p.y, 4) + ")");
}

void CGeoView::SyncToolMode() {
    const CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    const std::uint32_t mode = doc->m_toolMode;
    if (IdleMode(mode) != IdleMode(m_toolModeSeen)) {
        // Points of the measure line must not become corners of a selection
        // polygon, nor the other way round.
        m_toolPoints.clear();
        m_dragRectShown = false;
        m_dragCircleShown = false;
        m_panning = false;
        ResetEditTools();
        update();
    }
    m_toolModeSeen = mode;
}

void CGeoView::ClearSelectionUnlessKept(std::uint32_t flags) {
    CCorvaleDoc* doc = GetDocument();
    if ((flags & (MK_CONTROL | MK_SHIFT)) == 0 && doc != nullptr && doc->m_activeTheme != nullptr)
        doc->m_activeTheme->ClearSelection();
}

void CGeoView::OnLButtonDown(std::uint32_t flags, const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    SyncToolMode();
    TraceMouse("LBtn dn", point);
    GpiNotifyLButtonDown(doc, flags, point.x, point.y);
    const bool inside = InsideClient(point, width(), height());
    switch (doc->m_toolMode) {
    case MT_Select:
    case MT_AdjustVertex:
        SelectByClick(flags, point);
        return;
    case MT_NewVertex:
    case MT_SplitPolyline:
        // These tools select by click until the active theme has a shape
        // selected to work on.
        if (!BeginEditLine(point, doc->m_toolMode == MT_NewVertex ? MT_NewVertexDrag
                                                                  : MT_SplitPolylineDrag)) {
            SelectByClick(flags, point);
            return;
        }
        break;
    case MT_DrawNew:
        AddSketchPoint(point, SnapMode(flags));
        break;
    case MT_Pan:
        doc->m_toolMode = MT_PanDrag;
        m_pressPoint = point;
        m_panPoint = point;
        m_panning = true;
        setCursor(Qt::ClosedHandCursor);
        break;
    case MT_ZoomIn:
        if (width() <= 0)
            return;
        m_zoomAspect = static_cast<float>(height()) / static_cast<float>(width());
        doc->m_toolMode = MT_ZoomInDrag;
        m_pressPoint = point;
        m_dragRect = {point.x, point.y, point.x, point.y};
        break;
    case MT_Measure:
        m_toolPoints.push_back(ClientToMap(point));
        m_lastMousePoint = point;
        if (!inside) {
            InvalidateMap(false);
            m_toolPoints.clear();
        }
        update();
        UpdateMeasureReadout();
        break;
    case MT_SelectRectangle:
        doc->m_toolMode = MT_SelectRectangleDrag;
        m_pressPoint = point;
        m_dragRect = {point.x, point.y, point.x, point.y};
        break;
    case MT_SelectCircle:
        doc->m_toolMode = MT_SelectCircleDrag;
        m_pressPoint = point;
        m_dragRect = {point.x, point.y, point.x, point.y};
        m_toolPoints.push_back(ClientToMap(point));
        m_lastMousePoint = point;
        UpdateMeasureReadout();
        break;
    case MT_SelectPolygon:
    case MT_SelectPolygonDraw:
        doc->m_toolMode = MT_SelectPolygonDraw;
        m_toolPoints.push_back(ClientToMap(point));
        m_lastMousePoint = point;
        if (!inside) {
            InvalidateMap(false);
            m_toolPoints.clear();
        }
        update();
        break;
    default:
        break;
    }
    UpdateHintTip();
}

void CGeoView::OnLButtonUp(std::uint32_t flags, const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    TraceMouse("LBtn up", point);
    GpiNotifyLButtonUp(doc, flags, point.x, point.y);
    double* e = doc->m_viewExtent;
    const double w = e[2] - e[0];
    const double h = e[3] - e[1];
    const int cw = width();
    const int ch = height();
    switch (doc->m_toolMode) {
    case MT_PanDrag: {
        doc->m_toolMode = MT_Pan;
        m_panning = false;
        if (cw > 0 && ch > 0) {
            e[0] += w / cw * (m_pressPoint.x - point.x);
            e[1] += h / ch * (point.y - m_pressPoint.y);
            e[2] = e[0] + w;
            e[3] = e[1] + h;
        }
        doc->UpdateMapScale();
        m_mapDirty = true;
        update();
        break;
    }
    case MT_ZoomInDrag: {
        doc->m_toolMode = MT_ZoomIn;
        m_dragRectShown = false;
        const int left = std::min(m_dragRect.left, m_dragRect.right);
        const int right = std::max(m_dragRect.left, m_dragRect.right);
        const int top = std::min(m_dragRect.top, m_dragRect.bottom);
        const int bottom = std::max(m_dragRect.top, m_dragRect.bottom);
        if (right - left <= 2 || bottom - top <= 2 || cw <= 0 || ch <= 0) {
            // A click, or a slip of the hand: nothing to zoom to.
            InvalidateMap(false);
            return;
        }
        // Every corner from the extent as it was: the new minimum must not
        // feed the new maximum.
        const double extent[4] = {e[0] + left * w / cw, e[1] + (ch - bottom) * h / ch,
                                  e[0] + right * w / cw, e[1] + (ch - top) * h / ch};
        doc->SetViewExtent(extent);
        InvalidateMap(true);
        break;
    }
    case MT_ZoomOut: {
        const CShapePoint c = ClientToMap(point);
        const double extent[4] = {c.x - 0.8 * w, c.y - 0.8 * h, c.x + 0.8 * w, c.y + 0.8 * h};
        doc->SetViewExtent(extent);
        InvalidateMap(true);
        break;
    }
    case MT_SelectRectangleDrag: {
        corvale::CWaitCursor wait;
        doc->m_toolMode = MT_SelectRectangle;
        m_dragRectShown = false;
        const int left = std::min(m_dragRect.left, m_dragRect.right);
        const int right = std::max(m_dragRect.left, m_dragRect.right);
        const int top = std::min(m_dragRect.top, m_dragRect.bottom);
        const int bottom = std::max(m_dragRect.top, m_dragRect.bottom);
        const CShapePoint topLeft = ClientToMap({left, top});
        const CShapePoint bottomRight = ClientToMap({right, bottom});
        ClearSelectionUnlessKept(flags);
        doc->SelectByRectangle(CDoubleRect(topLeft.x, bottomRight.y, bottomRight.x, topLeft.y));
        doc->FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_NEW);
        update();
        break;
    }
    case MT_AdjustVertexDrag:
        FinishVertexDrag(flags, point);
        break;
    case MT_NewVertexDrag:
        InsertVertexAlongLine(point);
        if (doc->m_activeTheme == nullptr)
            return;
        break;
    case MT_SplitPolylineDrag:
        SplitAlongLine(point);
        if (doc->m_activeTheme == nullptr)
            return;
        break;
    case MT_SelectCircleDrag: {
        corvale::CWaitCursor wait;
        doc->m_toolMode = MT_SelectCircle;
        m_dragCircleShown = false;
        const CShapePoint centre = ClientToMap(m_pressPoint);
        const CShapePoint edge = ClientToMap(point);
        const double radius = std::hypot(edge.x - centre.x, edge.y - centre.y);
        ClearSelectionUnlessKept(flags);
        doc->SelectByCircle(centre.x, centre.y, radius);
        doc->FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_NEW);
        m_toolPoints.clear();
        UpdateMeasureReadout();
        update();
        break;
    }
    default:
        break;
    }
    UpdateHintTip();
}

void CGeoView::OnRButtonDown(std::uint32_t flags, const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    SyncToolMode();
    if (doc->m_toolMode == MT_SelectPolygonDraw) {
        FinishSelectionPolygon(flags, point);
    } else if (doc->m_toolMode == MT_DrawNew && !m_sketchPoints.empty()) {
        // The right click sets the last vertex.
        CShapePoint last = ClientToMap(point);
        SnapPoint(last, SnapMode(flags), doc->m_activeTheme, nullptr);
        m_sketchPoints.push_back(last);
        // A refused shape keeps the vertices drawn so far, for another try.
        if (!FinishSketchShape() && !m_sketchPoints.empty())
            m_sketchPoints.pop_back();
    }
    UpdateHintTip();
}

void CGeoView::FinishSelectionPolygon(std::uint32_t flags, const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    corvale::CWaitCursor wait;
    doc->m_toolMode = MT_SelectPolygon;
    if (!m_toolPoints.empty()) {
        m_toolPoints.push_back(ClientToMap(point));
        // Closes the ring.
        m_toolPoints.push_back(m_toolPoints.front());
        // Fewer than 4 points (one click and the right click) make no
        // polygon, and then nothing is selected or cleared.
        if (const CShapeRecordPtr polygon{CreatePolygonShape(m_toolPoints)}) {
            ClearSelectionUnlessKept(flags);
            doc->SelectByPolygon(polygon.get());
        }
    }
    m_toolPoints.clear();
    doc->FireUpdateEvent(nullptr, DUE_SelectionChanged, DUE_SELECTION_NEW);
    // This right click was the polygon's last corner, not a request for the
    // context menu.
    m_suppressContextMenu = true;
    update();
}

void CGeoView::SelectByClick(std::uint32_t flags, const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    CTheme* active = doc != nullptr ? doc->m_activeTheme : nullptr;
    if (active == nullptr || !IsThemeVisibleInView(active, this))
        return;
    if (active->m_ShapeType == SHT_Image && active->m_VectorizeOnSelect) {
        TraceImageRegion(active, ClientToMap(point));
        return;
    }
    if (m_vertexMarkers) {
        // A click on a marker belongs to the vertex tools.
        std::uint32_t vertex = 0;
        if (HitTestVertexMarker(*m_vertexMarkers, ResolveMarkerRecord(*doc, *m_vertexMarkers),
                                m_viewport, point, vertex)) {
            OnVertexClick(flags, vertex);
            return;
        }
    }

    CShapeRecord* hit = nullptr;
    int position = -1;
    bool pointHit = false;
    const auto& points = active->m_VisiblePoints;
    for (std::size_t i = points.size(); i-- > 0 && hit == nullptr;)
        if (HitTestPoint(m_viewport, points[i], point)) {
            hit = points[i];
            position = static_cast<int>(i);
            pointHit = true;
        }

    if (hit == nullptr && active->m_SpatialIndex && active->GetFilteredShapeCount() == 0) {
        // Only the lines listed in the clicked cell can pass through the
        // click; lines that did not fit the grid are always candidates.
        CShapeAreaHashTable& index = *active->m_SpatialIndex;
        index.AdvanceTag();
        const CShapePoint m = ClientToMap(point);
        int column = 0;
        int row = 0;
        std::vector<CShapeRecord*> candidates;
        if (index.GetCell(m.x, m.y, column, row))
            for (int n = index.GetCellAt(column, row).count(); n-- > 0;)
                if (CShapeRecord* record = index.GetCellEntry(column, row, n))
                    candidates.push_back(record);
        for (int n = index.GetOutsideCount(); n-- > 0;)
            candidates.push_back(index.GetOutsideEntry(n));
        for (CShapeRecord* record : candidates) {
            if (!IsPolylineRecord(record) || !HitTestPolyline(m_viewport, record, point))
                continue;
            position = active->GetShapePosition(GetShapeRecordIndex(record));
            if (position >= 0) {
                hit = record;
                break;
            }
        }
    } else if (hit == nullptr) {
        const auto& arcs = active->m_VisibleArcs;
        for (std::size_t i = arcs.size(); i-- > 0 && hit == nullptr;)
            if (HitTestPolyline(m_viewport, arcs[i], point)) {
                hit = arcs[i];
                position = static_cast<int>(i);
            }
    }

    if (hit == nullptr) {
        const auto& polygons = active->m_VisiblePolygons;
        for (std::size_t i = polygons.size(); i-- > 0 && hit == nullptr;)
            if (HitTestPolygon(m_viewport, polygons[i], point)) {
                hit = polygons[i];
                position = static_cast<int>(i);
            }
    }
    // A click on empty map keeps the selection.
    if (hit == nullptr)
        return;
    ClearSelectionUnlessKept(flags);
    doc->ToggleShapeSelection(hit, position);
    if (pointHit)
        RebuildVertexMarkers();
}

void CGeoView::TraceImageRegion(CTheme* theme, const CShapePoint& mapPoint) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || theme == nullptr)
        return;
    m_sketchPoints.clear();
    RebuildVertexMarkers();
    const QImage& image = theme->m_Raster.m_DisplayBitmap;
    const double minX = theme->m_Bounds[0];
    const double minY = theme->m_Bounds[1];
    const double width = theme->m_Bounds[2] - minX;
    const double height = theme->m_Bounds[3] - minY;
    if (!image.isNull() && width > 0.0 && height > 0.0 && mapPoint.x >= minX && mapPoint.x <= minX + width &&
        mapPoint.y >= minY && mapPoint.y <= minY + height) {
        // The click on the image's right or bottom edge belongs to its last
        // pixel, not to one past it.
        const auto column = std::min(static_cast<std::int32_t>((mapPoint.x - minX) / width * image.width()),
                                     image.width() - 1);
        const auto row = std::min(static_cast<std::int32_t>((minY + height - mapPoint.y) / height * image.height()),
                                  image.height() - 1);
        m_traceSeedColour = static_cast<std::uint32_t>(GetDibPixel(image, column, row));
        // The greyscale threshold is the chroma below which colours count as
        // grey; the colour threshold is the hue tolerance in degrees.
        const CSimilarColourRegion region(image, m_traceSeedColour, doc->m_vectorizationResolution,
                                          doc->m_vectorizationTolerance);
        PixelPath path;
        const ETraceResult result =
            TraceRegion(region, column, row, TraceStepLimit(image.width(), image.height()), path);
        if (result == ETraceResult::StepLimit)
            corvale::UI().SetStatusText("The region could not be traced: its boundary does not close.");
        // The last point lies next to the first, which closes the ring.
        for (std::size_t i = 0; i + 1 < path.size(); ++i)
            m_sketchPoints.push_back({path[i].column / static_cast<double>(image.width()) * width + minX,
                                      minY + height - path[i].row / static_cast<double>(image.height()) * height});
        if (!m_sketchPoints.empty()) {
            m_sketchPoints.push_back(m_sketchPoints.front());
            theme->SetSelectionArea(&m_sketchPoints);
        }
        RebuildVertexMarkers();
    }
    doc->FireUpdateEvent(nullptr, DUE_VertexSelectionCleared, 0);
}

// ---------------------------------------------------------------------------
// Moves
// ---------------------------------------------------------------------------

void CGeoView::OnMouseMove(std::uint32_t flags, const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    SyncToolMode();
    switch (doc->m_toolMode) {
    case MT_PanDrag:
        m_panPoint = point;
        update();
        if (m_overviewDialog && m_overviewDialog->HasWindow() && m_overviewDialog->IsVisible() &&
            width() > 0 && height() > 0) {
            const double* e = doc->m_viewExtent;
            const double dx = (e[2] - e[0]) / width() * (m_pressPoint.x - point.x);
            const double dy = (e[3] - e[1]) / height() * (point.y - m_pressPoint.y);
            const double moved[4] = {e[0] + dx, e[1] + dy, e[2] + dx, e[3] + dy};
            m_overviewDialog->SetViewRect(moved);
        }
        break;
    case MT_ZoomInDrag: {
        // The rectangle keeps the window's proportions: its height follows
        // its width.
        const int height = static_cast<int>((point.x - m_pressPoint.x) * m_zoomAspect);
        m_dragRect.left = m_pressPoint.x;
        m_dragRect.right = point.x;
        const bool rightBelow = point.x > m_pressPoint.x && point.y > m_pressPoint.y;
        const bool leftAbove = point.x < m_pressPoint.x && point.y < m_pressPoint.y;
        if (rightBelow || leftAbove) {
            m_dragRect.top = m_pressPoint.y;
            m_dragRect.bottom = m_pressPoint.y + height;
        } else {
            m_dragRect.bottom = m_pressPoint.y;
            m_dragRect.top = m_pressPoint.y - height;
        }
        m_dragRectShown = true;
        update();
        break;
    }
    case MT_SelectRectangleDrag:
        m_dragRect = {m_pressPoint.x, m_pressPoint.y, point.x, point.y};
        m_dragRectShown = true;
        update();
        break;
    case MT_SelectCircleDrag: {
        const int r = static_cast<int>(
            std::hypot(double(point.x) - m_pressPoint.x, double(point.y) - m_pressPoint.y));
        m_dragRect = {m_pressPoint.x - r, m_pressPoint.y - r, m_pressPoint.x + r,
                      m_pressPoint.y + r};
        m_dragCircleShown = true;
        m_lastMousePoint = point;
        update();
        UpdateMeasureReadout();
        break;
    }
    case MT_Measure:
        if (!m_toolPoints.empty()) {
            m_lastMousePoint = point;
            update();
            UpdateMeasureReadout();
        }
        break;
    case MT_SelectPolygonDraw:
        if (!m_toolPoints.empty()) {
            m_lastMousePoint = point;
            update();
        }
        break;
    case MT_DrawNew:
        if (!m_sketchPoints.empty()) {
            m_lastSketchMousePoint = point;
            update();
        }
        break;
    case MT_AdjustVertexDrag:
        m_vertexDragPoint = point;
        m_vertexDragShown = true;
        update();
        break;
    case MT_NewVertexDrag:
    case MT_SplitPolylineDrag:
        m_lastMousePoint = point;
        update();
        break;
    default:
        break;
    }
    if (doc->m_toolMode != MT_PanDrag)
        GpiNotifyMouseMove(doc, flags, point.x, point.y);
    setCursor(GetToolCursor(point));
    UpdatePointerFeedback(point);
    UpdateHintTip();
}

void CGeoView::UpdatePointerFeedback(const CDevicePoint& point) {
    CCorvaleDoc* doc = GetDocument();
    const bool anyDrawn = std::any_of(doc->m_themes.begin(), doc->m_themes.end(),
                                      [this](CTheme* t) { return IsThemeVisibleInView(t, this); });
    CShapePoint at{0.0, 0.0};
    if (anyDrawn)
        // While panning the pointer shows the map point that was under the
        // press point: the picture moves with the pointer.
        at = ClientToMap(m_panning ? m_pressPoint : point);
    GeoViewServices().SetStatusCoordinates(at.x, at.y);

    const std::uint32_t mode = doc->m_toolMode;
    if (mode == MT_PanDrag || mode == MT_ZoomInDrag || !m_infoTip.Exists())
        return;
    const auto it = std::find_if(doc->m_themes.begin(), doc->m_themes.end(),
                                 [](const CTheme* t) { return t->m_ShowInfoTip; });
    if (it == doc->m_themes.end())
        return;
    CTheme* theme = *it;
    if (!IsThemeVisibleInView(theme, this))
        return;
    std::string text;
    if (theme->m_ShapeType == SHT_Image) {
        const CDoubleRect bounds(theme->m_Bounds[0], theme->m_Bounds[1], theme->m_Bounds[2],
                                 theme->m_Bounds[3]);
        if (bounds.Contains(ClientToMap(point)))
            text = theme->m_InfoTipTemplate;
    } else {
        for (int position = theme->GetShapeCount() - 1; position >= 0; --position) {
            const CShapeRecord* record = theme->GetShape(position);
            const std::uint32_t type = CShapeRecord::GetShapeType(record);
            bool hit = false;
            if (type == SHT_Point || type == SHT_PointZ)
                hit = HitTestPoint(m_viewport, record, point);
            else if (type == SHT_Polyline || type == SHT_PolylineZ)
                hit = HitTestPolyline(m_viewport, record, point);
            else if (type == SHT_Polygon || type == SHT_PolygonZ)
                hit = HitTestPolygon(m_viewport, record, point);
            if (hit) {
                text = theme->GetInfoTipText(position);
                break;
            }
        }
    }
    if (text != m_infoTip.GetText())
        m_infoTip.SetText(text);
}

QCursor CGeoView::GetToolCursor(const CDevicePoint& point) const {
    const CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return QCursor(Qt::ArrowCursor);
    auto overMarker = [&] {
        std::uint32_t vertex = 0;
        return m_vertexMarkers &&
               HitTestVertexMarker(*m_vertexMarkers, ResolveMarkerRecord(*doc, *m_vertexMarkers),
                                   m_viewport, point, vertex);
    };
    switch (doc->m_toolMode) {
    case MT_Select:
        return QCursor(overMarker() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    case MT_Pan:
        return QCursor(Qt::OpenHandCursor);
    case MT_PanDrag:
        return QCursor(Qt::ClosedHandCursor);
    case MT_ZoomIn:
    case MT_ZoomInDrag: {
        static const QCursor zoomIn = MakeZoomCursor(true);
        return zoomIn;
    }
    case MT_ZoomOut: {
        static const QCursor zoomOut = MakeZoomCursor(false);
        return zoomOut;
    }
    case MT_Measure:
        return QCursor(Qt::CrossCursor);
    case MT_DrawNew:
        return QCursor(Qt::PointingHandCursor);
    case MT_AdjustVertex:
        return QCursor(overMarker() ? Qt::SizeAllCursor : Qt::ArrowCursor);
    case MT_AdjustVertexDrag:
        return QCursor(Qt::SizeAllCursor);
    case MT_SplitPolyline:
    case MT_SplitPolylineDrag:
        return QCursor(Qt::SplitHCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

// ---------------------------------------------------------------------------
// Wheel, keys and size
// ---------------------------------------------------------------------------

int CGeoView::OnMouseWheel(int delta, const CDevicePoint& point) {
    const int setting = CAppSettings::GetInstance()->m_MouseWheelZoom;
    CCorvaleDoc* doc = GetDocument();
    if (setting == 0 || doc == nullptr || !InsideClient(point, width(), height()))
        return setting;
    // Fine-grained wheels report parts of a notch; they add up to a step.
    // A turn the other way starts afresh.
    if ((delta > 0 && m_wheelDelta < 0) || (delta < 0 && m_wheelDelta > 0))
        m_wheelDelta = 0;
    m_wheelDelta += delta;
    if (std::abs(m_wheelDelta) < kWheelStep)
        return setting;
    const bool forward = m_wheelDelta > 0;
    // One step per message, however far the wheel went.
    m_wheelDelta %= kWheelStep;

    const double pw = static_cast<double>(m_viewport.right) - m_viewport.left;
    const double ph = static_cast<double>(m_viewport.bottom) - m_viewport.top;
    if (pw <= 0.0 || ph <= 0.0)
        return setting;
    const double dx = point.x - (m_viewport.left + pw / 2.0);
    const double dy = point.y - (m_viewport.top + ph / 2.0);
    double* e = doc->m_viewExtent;
    const double w = e[2] - e[0];
    const double h = e[3] - e[1];
    // Forward turns zoom in to 3/4 of the extent, backward out to 5/4.
    const double s = forward ? -w / 8.0 : w / 8.0;
    const double t = forward ? -h / 8.0 : h / 8.0;
    // The point under the pointer becomes the centre, the extent grows or
    // shrinks about it, and the point goes back under the pointer.
    const double minX = e[0] + w * dx / pw - s;
    const double maxX = e[2] + w * dx / pw + s;
    const double minY = e[1] - h * dy / ph - t;
    const double maxY = e[3] - h * dy / ph + t;
    const double w2 = maxX - minX;
    const double h2 = maxY - minY;
    e[0] = minX - w2 * dx / pw;
    e[2] = maxX - w2 * dx / pw;
    e[1] = minY + h2 * dy / ph;
    e[3] = maxY + h2 * dy / ph;
    doc->UpdateMapScale();
    doc->FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
    return setting;
}

bool CGeoView::OnKeyDown(int key) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return false;
    double* e = doc->m_viewExtent;
    const double thirdW = (e[2] - e[0]) / 3.0;
    const double thirdH = (e[3] - e[1]) / 3.0;
    switch (key) {
    case Qt::Key_Up:
        e[1] += thirdH;
        e[3] += thirdH;
        break;
    case Qt::Key_Down:
        e[1] -= thirdH;
        e[3] -= thirdH;
        break;
    case Qt::Key_Left:
        e[0] -= thirdW;
        e[2] -= thirdW;
        break;
    case Qt::Key_Right:
        e[0] += thirdW;
        e[2] += thirdW;
        break;
    case Qt::Key_Escape:
        SyncToolMode();
        TraceMouse("Escape", ToDevice(mapFromGlobal(QCursor::pos())));
        switch (doc->m_toolMode) {
        case MT_ZoomInDrag:
            doc->m_toolMode = MT_ZoomIn;
            m_dragRectShown = false;
            m_toolPoints.clear();
            UpdateMeasureReadout();
            update();
            break;
        case MT_SelectRectangleDrag:
            doc->m_toolMode = MT_SelectRectangle;
            m_dragRectShown = false;
            m_toolPoints.clear();
            UpdateMeasureReadout();
            update();
            break;
        case MT_SelectCircleDrag:
            doc->m_toolMode = MT_SelectCircle;
            m_dragCircleShown = false;
            m_toolPoints.clear();
            UpdateMeasureReadout();
            update();
            break;
        case MT_SelectPolygonDraw:
            doc->m_toolMode = MT_SelectPolygon;
            m_toolPoints.clear();
            InvalidateMap(false);
            UpdateMeasureReadout();
            break;
        case MT_Measure:
            m_toolPoints.clear();
            InvalidateMap(false);
            UpdateMeasureReadout();
            break;
        case MT_DrawNew:
            if (m_sketchPoints.size() == 1) {
                m_sketchPoints.clear();
                update();
            } else {
                RemoveLastSketchPoint();
            }
            break;
        case MT_AdjustVertexDrag:
            CancelVertexDrag();
            break;
        case MT_SplitPolylineDrag:
            doc->m_toolMode = MT_SplitPolyline;
            m_editLineShown = false;
            InvalidateMap(false);
            break;
        case MT_Select:
        case MT_SelectRectangle:
        case MT_SelectCircle:
        case MT_SelectPolygon:
        case MT_Pan:
        case MT_PanDrag:
        case MT_ZoomIn:
        case MT_ZoomOut:
        case MT_AdjustVertex:
        case MT_NewVertex:
        case MT_NewVertexDrag:
        case MT_SplitPolyline:
            GpiNotifyEscapeKey(doc);
            break;
        default:
            // A plug-in's tool (numbers 256-511, kept one lower): the view
            // has no action of its own to end, Escape is the plug-in's.
            if (doc->m_toolMode >= 255 && doc->m_toolMode <= 510)
                GpiNotifyEscapeKey(doc);
            break;
        }
        UpdateHintTip();
        return true;
    default:
        return false;
    }
    doc->UpdateMapScale();
    m_mapDirty = true;
    update();
    return true;
}

void CGeoView::OnSize(int cx, int cy) {
    CCorvaleDoc* doc = GetDocument();
    const QSize previous = m_lastClientSize;
    if (doc != nullptr && !doc->m_themes.empty() && cx > 0 && cy > 0 && previous.width() > 0 &&
        previous.height() > 0) {
        // The map keeps its units per pixel: the window shows more or less
        // of it, anchored at the top-left corner.
        const double* e = doc->m_viewExtent;
        const double w = e[2] - e[0];
        const double h = e[3] - e[1];
        const double extent[4] = {e[0], e[3] - h * cy / previous.height(),
                                  e[0] + w * cx / previous.width(), e[3]};
        doc->SetViewExtent(extent);
    }
    // A larger window shows parts of the map that the picture does not hold
    // yet. Before the first size the picture, if any, was made at the size
    // the window has.
    if (previous.width() >= 0 && previous.height() >= 0 &&
        (cx > previous.width() || cy > previous.height()))
        m_mapDirty = true;
    m_lastClientSize = QSize(cx, cy);
}

// ---------------------------------------------------------------------------
// Measuring
// ---------------------------------------------------------------------------

std::string CGeoView::GetMeasureText() const {
    const CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || m_toolPoints.empty() ||
        (doc->m_toolMode != MT_Measure && doc->m_toolMode != MT_SelectCircleDrag))
        return std::string();
    // One measure kept while the workspace's reference system stays: the
    // readout follows every mouse move.
    if (m_groundMeasure == nullptr || m_groundMeasure->GetRefSystem() != doc->m_refSystem)
        m_groundMeasure = std::make_unique<CGroundMeasure>(doc->m_refSystem);
    double total = 0.0;
    for (std::size_t i = 1; i < m_toolPoints.size(); ++i)
        total += m_groundMeasure->Distance(m_toolPoints[i - 1], m_toolPoints[i], doc->m_earthRadius);
    total += m_groundMeasure->Distance(m_toolPoints.back(), ClientToMap(m_lastMousePoint), doc->m_earthRadius);
    if (!std::isfinite(total))
        return corvale::FormatFixed(total, 6);
    // Without a reference system the length is one of the map's own units,
    // which are taken for degrees; with one it is metres on the ground.
    if (doc->m_refSystem == -1)
        return corvale::FormatFixed(total, 6) + "\u00B0";
    if (total < 1000.0)
        return corvale::FormatFixed(total, 2) + " m";
    return corvale::FormatFixed(total / 1000.0, 3) + " km";
}

void CGeoView::UpdateMeasureReadout() {
    corvale::UI().SetStatusPaneText(kMeasurePaneId, GetMeasureText());
}

// ---------------------------------------------------------------------------
// The rubber figures
// ---------------------------------------------------------------------------

void CGeoView::DrawToolOverlays(QPainter& dc) {
    // The painter draws inverted lines here, so they show on any map.
    if (m_dragRectShown) {
        const int left = std::min(m_dragRect.left, m_dragRect.right);
        const int top = std::min(m_dragRect.top, m_dragRect.bottom);
        dc.drawRect(left, top, std::abs(m_dragRect.right - m_dragRect.left),
                    std::abs(m_dragRect.bottom - m_dragRect.top));
    }
    if (m_dragCircleShown)
        dc.drawEllipse(QRect(QPoint(m_dragRect.left, m_dragRect.top),
                             QPoint(m_dragRect.right, m_dragRect.bottom)));
}

// ---------------------------------------------------------------------------
// Context menu and its commands
// ---------------------------------------------------------------------------

void CGeoView::OnContextMenu(const CDevicePoint& point, const QPoint& screenPoint) {
    if (m_suppressContextMenu) {
        m_suppressContextMenu = false;
        return;
    }
    if (point.x == -1 && point.y == -1)
        return;
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    m_contextPoint = point;
    switch (doc->m_toolMode) {
    case MT_Select:
    case MT_SelectRectangle:
    case MT_SelectCircle:
    case MT_SelectPolygon:
    case MT_Pan:
    case MT_ZoomIn:
    case MT_ZoomOut:
    case MT_AdjustVertex:
    case MT_SplitPolyline:
        break;
    default:
        return;
    }
    unsigned menu = IDR_GEOVIEW_MENU;
    std::uint32_t vertex = 0;
    if (doc->m_activeTheme != nullptr && doc->m_vertexMode && m_vertexMarkers &&
        HitTestVertexMarker(*m_vertexMarkers, ResolveMarkerRecord(*doc, *m_vertexMarkers),
                            m_viewport, point, vertex))
        menu = IDR_GEOVIEW_GRABBER_MENU;
    GeoViewServices().ShowContextMenu(*this, menu, screenPoint);
}

QMenu* CGeoView::CreateContextMenu(unsigned menuId) {
    static const std::initializer_list<MenuItem> grabber = {{"&Split here", ID_VIEW_SPLIT_HERE}};
    // A zero id is a separator.
    static const std::initializer_list<MenuItem> general = {
        {"Clear &Selection", ID_SELECTION_CLEAR},
        {"Cut", ID_EDIT_CUT},
        {"Copy", ID_EDIT_COPY},
        {"&Copy Coordinate", ID_VIEW_COPY_COORDINATE},
        {"Paste", ID_EDIT_PASTE},
        {"", 0},
        {"Add &Bookmark", ID_VIEW_ADD_BOOKMARK},
        {"&Find Theme", ID_VIEW_FIND_THEME}};
    const auto& items = menuId == IDR_GEOVIEW_GRABBER_MENU ? grabber : general;
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::number(menuId));
    QPointer<CGeoView> self(this);
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
        // Commands go to the view, then to its document; one that neither
        // handles stays disabled.
        CCmdUI ui(item.id);
        RouteCommand(item.id, &ui, {this, GetDocument()});
        action->setEnabled(ui.m_Enabled);
        const unsigned id = item.id;
        QObject::connect(action, &QAction::triggered, menu, [self, id] {
            if (self)
                RouteCommand(id, nullptr, {self.data(), self->GetDocument()});
        });
    }
    return menu;
}

void CGeoView::OnCopyCoordinate() {
    const CShapePoint p = ClientToMap(m_contextPoint);
    const std::string text = CAppSettings::GetInstance()->FormatCopyCoordinate(p.x, p.y);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return;
    // One point of two values.
    QByteArray block(24, '\0');
    corvale::WriteLE32(block.data(), 1);
    corvale::WriteLE32(block.data() + 4, 2);
    corvale::WriteLEDouble(block.data() + 8, p.x);
    corvale::WriteLEDouble(block.data() + 16, p.y);
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    data->setData(QString::fromLatin1(kCoordinateClipboardMime), block);
    clipboard->setMimeData(data);
}

void CGeoView::OnAddBookmark() {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || height() <= 0)
        return;
    const CShapePoint p = ClientToMap(m_contextPoint);
    const double unitsPerPixel = std::fabs(doc->m_viewExtent[3] - doc->m_viewExtent[1]) / height();
    doc->AddBookmark(p.x, p.y, unitsPerPixel);
}
