// The map view's life, painting, printing, private messages and commands.

#include "view/GeoView.h"

#include "core/ColorRef.h"
#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "geometry/DoubleRect.h"
#include "platform/NumberText.h"
#include "platform/TextCase.h"
#include "settings/AppSettings.h"
#include "view/GeoViewServices.h"
#include "view/MapDrawing.h"
#include "view/MapRenderer.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/ViewMessages.h"
#include "workspace/gpi/GpiHost.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int kBookmarkIconSize = 32;
constexpr const char* kNoThemeFound = "No theme had data at selected location.";
constexpr const char* kSignatureTitle = "Map Signature";
constexpr const char* kSignatureIntro =
    "The following signature can be used in the Corvale Image Server to generate this map:\r\n\r\n";
// The workspace file extension, dropped from the signature's path.
constexpr const char* kWorkspaceExtension = ".cvw";

QImage MakeBookmarkIcon() {
    QImage icon(kBookmarkIconSize, kBookmarkIconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setPen(QPen(QColor(0, 0, 0), 2));
    p.drawLine(15, 5, 15, 27);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(QColor(0, 0, 255));
    p.drawPolygon(QPolygon({QPoint(16, 5), QPoint(27, 9), QPoint(16, 13)}));
    return icon;
}

const QImage& BookmarkIcon() {
    static const QImage icon = MakeBookmarkIcon();
    return icon;
}

bool IsDocumentTheme(const CCorvaleDoc& doc, const CTheme* theme) {
    return theme != nullptr &&
           std::find(doc.m_themes.begin(), doc.m_themes.end(), theme) != doc.m_themes.end();
}

} // namespace

CGeoView::CGeoView(CCorvaleDoc* document, QWidget* parent) : QWidget(parent) {
    if (document != nullptr)
        document->AddView(this);
    // The view paints every pixel itself, from the cache.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    AddViewCommands();
    AddToolCommands();
}

CGeoView::~CGeoView() {
    if (m_overviewDialog)
        m_overviewDialog->Destroy();
    m_overviewDialog.reset();
    CCorvaleDoc* doc = GetDocument();
    if (doc != nullptr) {
        doc->m_updateEvent.RemoveHandler(this);
        if (doc->m_mapView == static_cast<CMessageWindow*>(this)) {
            doc->m_mapView = nullptr;
            doc->m_mapViewMetrics = nullptr;
        }
    }
    if (m_initialised)
        GpiForgetMapView(this);
    m_infoTip.Destroy();
    m_hintTip.Destroy();
}

CCorvaleDoc* CGeoView::GetDocument() const {
    return static_cast<CCorvaleDoc*>(CView::GetDocument());
}

CDeviceRect CGeoView::ClientRect() const {
    return {0, 0, width(), height()};
}

// ---------------------------------------------------------------------------
// Lifecycle
// ---------------------------------------------------------------------------

void CGeoView::OnInitialUpdate() {
    CCorvaleDoc* doc = GetDocument();
    if (m_initialised || doc == nullptr)
        return;
    m_initialised = true;
    doc->m_updateEvent.AddHandler(this, &CGeoView::OnDocumentUpdate);
    doc->m_mapView = this;
    doc->m_mapViewMetrics = [this](double& dotsPerInch, int& clientWidth) {
        dotsPerInch = logicalDpiX();
        clientWidth = width();
        return dotsPerInch > 0.0;
    };
    m_gpiHandle = GpiRegisterMapView(this, static_cast<CMessageWindow*>(this));
    GeoViewServices().RegisterContextMenus();

    const int w = width();
    const int h = height();
    double* extent = doc->m_viewExtent;
    if (extent[3] - extent[1] == 0.0 && extent[2] - extent[0] == 0.0) {
        // A window that has no width yet has no proportions either: it
        // starts with a square.
        extent[0] = 0.0;
        extent[1] = w > 0 ? 10.0 * h / w : 0.0;
        extent[2] = 10.0;
        extent[3] = 10.0;
        doc->UpdateMapScale();
    }
    // A provisional mapping until the first rendering replaces it.
    SetMapViewport(m_viewport, ClientRect(), 1500000.0, 1700000.0, 6500000.0, 6690000.0);

    if (++doc->m_viewCount == 1)
        GeoViewServices().OnViewInitialUpdate(*doc);

    m_infoTip.Create(this, true, 600);
    m_hintTip.Create(this, false, 600, 0x0080FF);
}

void CGeoView::OnActivateView(bool activate) {
    if (activate)
        GeoViewServices().SetActiveDocument(GetDocument());
}

bool CGeoView::event(QEvent* event) {
    if (DispatchPostedMessage(this, event))
        return true;
    if (event->type() == QEvent::Show && !m_initialised)
        OnInitialUpdate();
    return QWidget::event(event);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void CGeoView::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    OnDraw(dc);
}

void CGeoView::EnsureMapPicture() {
    const QSize client = size();
    if (m_mapBitmap.isNull() || m_mapBitmap.width() < client.width() ||
        m_mapBitmap.height() < client.height()) {
        // As large as the screen, so that growing the window seldom needs a
        // new picture; larger when the window is.
        QSize wanted = client;
        if (const QScreen* s = screen())
            wanted = wanted.expandedTo(s->virtualSize());
        wanted = wanted.expandedTo(QSize(1, 1));
        m_mapBitmap = QImage(wanted, QImage::Format_RGB32);
        m_mapDirty = true;
    }
    if (!m_mapDirty || m_mapBitmap.isNull())
        return;
    CCorvaleDoc* doc = GetDocument();
    double extent[4] = {0.0, 0.0, 0.0, 0.0};
    if (doc != nullptr)
        std::copy(doc->m_viewExtent, doc->m_viewExtent + 4, extent);
    m_selectionAreaShown = false;
    {
        QPainter dc(&m_mapBitmap);
        RenderMap(dc, extent, true, true, ClientRect());
    }
    ++m_renderCount;
    m_mapDirty = false;
}

QImage CGeoView::GetMapPicture() {
    EnsureMapPicture();
    if (width() <= 0 || height() <= 0)
        return QImage();
    return m_mapBitmap.copy(0, 0, width(), height());
}

void CGeoView::OnDraw(QPainter& dc) {
    CCorvaleDoc* doc = GetDocument();
    if (m_printing) {
        CDeviceRect rect{m_viewport.left, m_viewport.top, m_viewport.right, m_viewport.bottom};
        double extent[4] = {0.0, 0.0, 0.0, 0.0};
        if (doc != nullptr)
            std::copy(doc->m_viewExtent, doc->m_viewExtent + 4, extent);
        RenderMap(dc, extent, true, true, rect);
        FireMapDrawn();
        // A frame around the map, the legend block outside it.
        dc.setPen(QPen(QColor(0, 0, 0), 0));
        dc.setBrush(Qt::NoBrush);
        dc.drawRect(QRect(m_viewport.left, m_viewport.top,
                          std::max(0, m_viewport.right - m_viewport.left - 1),
                          std::max(0, m_viewport.bottom - m_viewport.top - 1)));
        return;
    }
    EnsureMapPicture();
    if (m_panning) {
        // The picture follows the pointer over the background, with a cross
        // marking the window's centre; the overlays wait for the new map.
        dc.fillRect(rect(), ColorFromColorRef(doc != nullptr ? doc->m_backgroundColor : 0xFFFFFF));
        dc.drawImage(QPoint(m_panPoint.x - m_pressPoint.x, m_panPoint.y - m_pressPoint.y),
                     m_mapBitmap, QRect(0, 0, width(), height()));
        const int cx = width() / 2;
        const int cy = height() / 2;
        for (const QPen& pen : {QPen(QColor(255, 255, 255), 3), QPen(QColor(0, 0, 0))}) {
            dc.setPen(pen);
            dc.drawLine(cx - 9, cy, cx + 10, cy);
            dc.drawLine(cx, cy - 9, cx, cy + 10);
        }
        return;
    }
    dc.drawImage(QPoint(0, 0), m_mapBitmap, QRect(0, 0, width(), height()));
    DrawOverlays(dc);
}

void CGeoView::DrawToolLine(QPainter& dc, const std::vector<CShapePoint>& points,
                            const CDevicePoint& lastMouse) {
    if (points.empty())
        return;
    QPolygon line;
    for (const CShapePoint& p : points) {
        const CDevicePoint d = MapToDevice(m_viewport, p.x, p.y);
        line << QPoint(d.x, d.y);
    }
    if (points.size() >= 2)
        dc.drawPolyline(line);
    // The rubber line from the last point to the pointer.
    dc.drawLine(line.constLast(), QPoint(lastMouse.x, lastMouse.y));
}

void CGeoView::DrawSelectionAreaAndMarkers(QPainter& dc) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    const QPen xorPen(QColor(255, 255, 255), 0);
    CTheme* active = doc->m_activeTheme;
    if (active != nullptr && active->m_ShapeType == SHT_Image && active->m_SelectionArea) {
        const CShapeRecord* area = CShapeRecord::FromBytes(active->m_SelectionArea.get());
        dc.save();
        dc.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        dc.setPen(xorPen);
        QPolygon line;
        const std::uint32_t count = CShapeRecord::GetPointCount(area);
        for (std::uint32_t i = 0; i < count; ++i) {
            const CShapePoint p = CShapeRecord::GetPoint(area, i);
            const CDevicePoint d = MapToDevice(m_viewport, p.x, p.y);
            line << QPoint(d.x, d.y);
        }
        dc.drawPolyline(line);
        dc.restore();
        m_selectionAreaShown = true;
    }
    if (m_vertexMarkers)
        DrawVertexMarkers(*m_vertexMarkers, ResolveMarkerRecord(*doc, *m_vertexMarkers), m_viewport,
                          dc);
}

void CGeoView::DrawOverlays(QPainter& dc) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    // Lines of the tools are drawn inverted, so they show on any map.
    const QPen xorPen(QColor(255, 255, 255), 0);

    DrawSelectionAreaAndMarkers(dc);
    for (const CBookmarkRecord* bookmark : doc->m_bookmarks)
        if (bookmark != nullptr)
            DrawIconAt(BookmarkIcon(), QSize(kBookmarkIconSize, kBookmarkIconSize), m_viewport, dc,
                       bookmark->m_X, bookmark->m_Y);

    FireMapDrawn();

    dc.save();
    dc.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    dc.setPen(xorPen);
    dc.setBrush(Qt::NoBrush);
    if (doc->m_toolMode == MT_Measure || doc->m_toolMode == MT_SelectPolygonDraw)
        DrawToolLine(dc, m_toolPoints, m_lastMousePoint);
    else if (doc->m_toolMode == MT_DrawNew)
        DrawToolLine(dc, m_sketchPoints, m_lastSketchMousePoint);
    else if ((doc->m_toolMode == MT_NewVertexDrag || doc->m_toolMode == MT_SplitPolylineDrag) &&
             m_editLineShown)
        DrawToolLine(dc, {m_editPressPoint}, m_lastMousePoint);
    DrawToolOverlays(dc);
    if (m_locateCrossShown) {
        dc.drawLine(m_locatePoint.x, 0, m_locatePoint.x, height());
        dc.drawLine(0, m_locatePoint.y, width(), m_locatePoint.y);
    }
    dc.restore();
    DrawVertexDrag(dc);

    if (m_overviewDialog && m_overviewDialog->HasWindow() && m_overviewDialog->IsVisible())
        m_overviewDialog->SetViewRect(doc->m_viewExtent);
}

void CGeoView::FireMapDrawn() {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    // FireGpiHook holds the plug-in lock for the whole delivery.
    GpiHookArgs args = {0};
    FireGpiHook(GpiWorkspaceHandle(doc), GPIHOOK_MapDrawn, &args);
}

void CGeoView::InvalidateMap(bool dirty) {
    if (!m_mapDirty)
        m_mapDirty = dirty;
    update();
}

double CGeoView::GetUnitsPerPixel() const {
    return ::GetUnitsPerPixel(m_viewport);
}

void CGeoView::RenderMapToDC(int width, int height, double centerX, double centerY, double mapWidth,
                             double mapHeight, QPainter& dc) {
    if (mapWidth == 0.0 && mapHeight == 0.0) {
        const double upp = GetUnitsPerPixel();
        mapWidth = upp * width;
        mapHeight = upp * height;
    }
    double extent[4] = {centerX - mapWidth / 2.0, centerY - mapHeight / 2.0,
                        centerX + mapWidth / 2.0, centerY + mapHeight / 2.0};
    // The mouse tools go on reading the view's own mapping afterwards.
    const CMapViewport saved = m_viewport;
    const bool savedAreaShown = m_selectionAreaShown;
    RenderMap(dc, extent, false, false, CDeviceRect{0, 0, width, height});
    m_viewport = saved;
    m_selectionAreaShown = savedAreaShown;
}

QImage CGeoView::RenderMapImage(int width, int height, double centerX, double centerY,
                                double mapWidth, double mapHeight) {
    if (width <= 0 || height <= 0)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    QPainter dc(&image);
    RenderMapToDC(width, height, centerX, centerY, mapWidth, mapHeight, dc);
    dc.end();
    return image;
}

// ---------------------------------------------------------------------------
// Printing
// ---------------------------------------------------------------------------

void CGeoView::OnPrint(QPrinter& printer) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    m_printing = true;
    m_printInfo = &printer;
    const CMapViewport saved = m_viewport;
    SetMapViewport(m_viewport, CDeviceRect{0, 0, printer.width(), printer.height()},
                   doc->m_viewExtent[0], doc->m_viewExtent[2], doc->m_viewExtent[1],
                   doc->m_viewExtent[3]);
    QPainter dc;
    if (dc.begin(&printer)) {
        OnDraw(dc);
        dc.end();
    }
    m_viewport = saved;
    m_printInfo = nullptr;
    m_printing = false;
    update();
}

void CGeoView::OnFilePrint() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    // The map is one page.
    dialog.setMinMax(1, 1);
    if (dialog.exec() == QDialog::Accepted)
        OnPrint(printer);
}

void CGeoView::OnFilePrintDirect() {
    QPrinter printer;
    OnPrint(printer);
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

std::intptr_t CGeoView::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    CCorvaleDoc* doc = GetDocument();
    switch (message) {
    case WM_LOADER_CUSTOM_EVENT:
        if (doc == nullptr)
            return 0;
        return GeoViewServices().SendLoaderCustomEvent(*doc, reinterpret_cast<CTheme*>(lParam),
                                                       static_cast<std::uint32_t>(wParam));
    case WM_THEME_SELECTION_CHANGED:
        // One notification for a whole burst of selection changes.
        RemovePostedMessages(this, WM_THEME_SELECTION_CHANGED);
        if (doc != nullptr)
            GeoViewServices().NotifyLoaderSelectionChanged(*doc, doc->m_activeTheme);
        return 0;
    case WM_SHOW_WORKSPACE_PROPERTIES:
        if (lParam == 1 && doc != nullptr)
            GeoViewServices().ShowWorkspaceProperties(*doc, 3);
        return 0;
    case WM_GET_UNITS_PER_PIXEL:
        if (lParam != 0) {
            const double upp = GetUnitsPerPixel();
            std::memcpy(reinterpret_cast<void*>(lParam), &upp, sizeof upp);
        }
        return 0;
    case WM_RENDER_MAP_IMAGE:
        if (lParam != 0) {
            auto* request = reinterpret_cast<MapImageRequest*>(lParam);
            const auto limit = static_cast<std::uint32_t>(std::numeric_limits<int>::max());
            request->result =
                request->width <= limit && request->height <= limit
                    ? RenderMapImage(static_cast<int>(request->width),
                                     static_cast<int>(request->height), request->centerX,
                                     request->centerY, request->mapWidth, request->mapHeight)
                    : QImage();
        }
        return 0;
    case WM_GET_VIEW_EXTENT:
        if (lParam != 0) {
            const double extent[4] = {m_viewport.minX, m_viewport.maxY, m_viewport.maxX,
                                      m_viewport.minY};
            std::memcpy(reinterpret_cast<void*>(lParam), extent, sizeof extent);
        }
        return 0;
    case WM_ZOOM_TO_MAKE_VISIBLE:
        ZoomToMakeVisible(reinterpret_cast<CTheme*>(lParam));
        return 0;
    default:
        return CMessageWindow::OnMessage(message, wParam, lParam);
    }
}

void CGeoView::ZoomToMakeVisible(CTheme* theme) {
    CCorvaleDoc* doc = GetDocument();
    // Only a theme of this workspace: the pointer may come from anywhere.
    if (doc == nullptr || !IsDocumentTheme(*doc, theme) || !theme->m_Visible ||
        !theme->m_ScaleDependent)
        return;
    const double upp = GetUnitsPerPixel();
    double target = 0.0;
    if (upp < theme->m_MinScale)
        target = theme->m_MinScale;
    else if (upp > theme->m_MaxScale)
        target = theme->m_MinScale + (theme->m_MaxScale - theme->m_MinScale) * 0.9999999;
    else
        return;
    const double* e = doc->m_viewExtent;
    const double cx = e[0] + (e[2] - e[0]) / 2.0;
    const double cy = e[1] + (e[3] - e[1]) / 2.0;
    const double halfWidth =
        (static_cast<double>(m_viewport.right) - m_viewport.left) * target / 2.0;
    const double halfHeight =
        (static_cast<double>(m_viewport.bottom) - m_viewport.top) * target / 2.0;
    const double extent[4] = {cx - halfWidth, cy - halfHeight, cx + halfWidth, cy + halfHeight};
    doc->SetViewExtent(extent);
    doc->FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
}

// ---------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------

void CGeoView::AddViewCommands() {
    OnCommand(ID_MAP_VIEW_OVERVIEW, [this] { OnMapOverview(); });
    OnCommand(ID_MAP_VIEW_SIGNATURE, [this] { OnMapSignature(); });
    OnCommand(
        ID_VIEW_FIND_THEME, [this] { OnFindTheme(); },
        [this](CCmdUI& ui) {
            const CCorvaleDoc* doc = GetDocument();
            ui.Enable(doc != nullptr && !doc->m_themes.empty());
        });
    OnCommand(ID_MAP_VIEW_COPY_IMAGE, [this] { OnCopyMapImage(); });
    OnCommand(ID_MAP_VIEW_PRINT, [this] { OnFilePrint(); });
    OnCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrintDirect(); });
    OnCommand(ID_MAP_VIEW_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

void CGeoView::OnMapOverview() {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    corvale::CWaitCursor wait;
    if (!m_overviewDialog)
        m_overviewDialog = GeoViewServices().CreateMapOverviewDialog();
    if (!m_overviewDialog)
        return;
    if (!m_overviewDialog->HasWindow())
        m_overviewDialog->Create(doc, this);
    else
        m_overviewDialog->Refresh();
    m_overviewDialog->SetViewRect(doc->m_viewExtent);
    m_overviewDialog->Show();
}

std::string CGeoView::GetMapSignature() const {
    const CCorvaleDoc* doc = GetDocument();
    std::string path = doc != nullptr ? doc->GetPathName() : std::string();
    if (corvale::EndsWithNoCase(path, kWorkspaceExtension))
        path.resize(path.size() - std::strlen(kWorkspaceExtension));
    const double* e = doc != nullptr ? doc->m_viewExtent : nullptr;
    const double minX = e ? e[0] : 0.0, minY = e ? e[1] : 0.0;
    const double maxX = e ? e[2] : 0.0, maxY = e ? e[3] : 0.0;
    using corvale::FormatFixed;
    using corvale::FormatInt;
    return "/" + path + "/iw" + FormatInt(width()) + "ih" + FormatInt(height()) + "x" +
           FormatFixed(minX + (maxX - minX) / 2.0, 6) + "y" +
           FormatFixed(minY + (maxY - minY) / 2.0, 6) + "w" +
           FormatFixed(std::fabs(maxX - minX), 6) + "h" + FormatFixed(std::fabs(maxY - minY), 6) +
           ".bmp";
}

void CGeoView::OnMapSignature() {
    GeoViewServices().ShowTextInformation(this, kSignatureTitle,
                                          std::string(kSignatureIntro) + GetMapSignature());
}

void CGeoView::OnFindTheme() {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    CTheme* found = nullptr;
    const CDevicePoint at = m_contextPoint;
    for (CTheme* theme : doc->m_themes) {
        if (found != nullptr)
            break;
        // A theme not drawn here has no data under the point; the search
        // goes on below it.
        if (!IsThemeVisibleInView(theme, this))
            continue;
        if (theme->m_ShapeType == SHT_Image) {
            const CShapePoint p = ScreenToMap(m_viewport, at.x, at.y);
            const CDoubleRect bounds(theme->m_Bounds[0], theme->m_Bounds[1], theme->m_Bounds[2],
                                     theme->m_Bounds[3]);
            if (bounds.Contains(p))
                found = theme;
            continue;
        }
        for (int position = theme->GetShapeCount() - 1; position >= 0 && found == nullptr;
             --position) {
            const CShapeRecord* record = theme->GetShape(position);
            const std::uint32_t type = CShapeRecord::GetShapeType(record);
            bool hit = false;
            if (type == SHT_Point || type == SHT_PointZ)
                hit = HitTestPoint(m_viewport, record, at);
            else if (type == SHT_Polyline || type == SHT_PolylineZ)
                hit = HitTestPolyline(m_viewport, record, at);
            else if (type == SHT_Polygon || type == SHT_PolygonZ)
                hit = HitTestPolygon(m_viewport, record, at);
            if (hit)
                found = theme;
        }
    }
    if (found == nullptr) {
        corvale::UI().ShowMessage(kNoThemeFound, corvale::MessageIcon::Information,
                                  corvale::MessageButtons::Ok);
        return;
    }
    GeoViewServices().ClearThemeSelection(*doc);
    GeoViewServices().SetThemeSelected(*doc, found, true);
    doc->FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, reinterpret_cast<std::intptr_t>(found));
    doc->FireUpdateEvent(this, DUE_ThemeFound, reinterpret_cast<std::intptr_t>(found));
}

void CGeoView::OnCopyMapImage() {
    QImage picture = GetMapPicture();
    if (picture.isNull())
        return;
    // The copy shows the map as drawn, with the traced outline and the vertex
    // markers, but without bookmarks, plug-in drawing and tool lines.
    {
        QPainter dc(&picture);
        DrawSelectionAreaAndMarkers(dc);
    }
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setImage(picture);
}

// ---------------------------------------------------------------------------
// The help hint
// ---------------------------------------------------------------------------

std::string CGeoView::GetHintText() const {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return std::string();
    if (doc->m_themes.empty())
        return "Open a workspace or insert themes from the Insert menu.";
    const std::uint32_t mode = doc->m_toolMode;
    const CTheme* active = doc->m_activeTheme;
    const int shapes = active != nullptr ? active->GetShapeCount() : 0;
    if (mode != MT_DrawNew && active != nullptr && active->m_Editable && shapes == 0)
        return "Select Draw New from edit toolbar to add new shapes\nor copy shapes from another "
               "theme and paste here.";

    std::string text;
    auto append = [&text](const char* separator, const char* more) {
        if (!text.empty())
            text += separator;
        text += more;
    };
    const bool imageTheme = active != nullptr && active->m_ShapeType == SHT_Image;
    if (mode == MT_Measure) {
        text = "Left click to set measure points.";
        if (!m_toolPoints.empty())
            text += "\n<ESC> to cancel.";
    } else if (mode == MT_DrawNew && active != nullptr) {
        if (active->IsPointTheme()) {
            text = "Left click to add point objects.";
            if (shapes > 0)
                text += "\nHold down <CTRL> to snap vertices to other\npoints in this theme.";
        } else if (active->IsArcTheme() || active->IsPolygonTheme()) {
            text = "Left click to add vertices.";
            if (!m_sketchPoints.empty())
                text += active->IsArcTheme()
                            ? "\nRight click to set last vertex.\n<ESC> to undo last vertex."
                            : "\nRight click to set last vertex and close polygon.\n<ESC> to undo "
                              "last vertex.";
            if (shapes > 0)
                text += "\nHold down <CTRL> to snap vertices to other\nshapes in this theme.";
        }
        if (active->m_Editable && shapes > 0 && active->GetAttributeCount() == 0)
            append("\n\n", "Use Attribute Manager from Edit menu\nto add a set of attributes for "
                           "this theme.");
    } else if (mode == MT_SelectPolygon && active != nullptr && !imageTheme) {
        text = "Left click to add selection vertices.";
    } else if (mode == MT_SelectPolygonDraw && active != nullptr && !imageTheme) {
        text = "Left click to add selection vertices.\nRight click to set last vertex and close "
               "polygon.";
    }
    if (hasFocus()) {
        if (mode == MT_SelectRectangleDrag || mode == MT_SelectCircleDrag ||
            mode == MT_ZoomInDrag || mode == MT_AdjustVertexDrag || mode == MT_SelectPolygonDraw)
            append("\n", "<ESC> to cancel.");
        else if (mode == MT_Measure || mode == MT_DrawNew)
            append("\n\n", "Use arrow keys to pan.");
    }
    if (GeoViewServices().IsAttributeListBuilderVisible(*doc) && mode == MT_Select &&
        active != nullptr && !imageTheme)
        text = "Click on objects to add to Attribute List Builder output.";
    return text;
}

void CGeoView::UpdateHintTip() {
    if (CAppSettings::GetInstance()->m_DynamicHelpLevel == 0)
        return;
    if (!m_infoTip.GetText().empty()) {
        m_hintTip.Activate(false);
        m_hintTip.Pop();
        return;
    }
    m_hintTip.Activate(true);
    m_hintTip.SetText(GetHintText());
}
