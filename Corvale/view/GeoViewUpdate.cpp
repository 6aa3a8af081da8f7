// The map view's reaction to the document's update events and the small
// navigation operations the events ask for.

#include "view/GeoView.h"

#include "core/Theme.h"
#include "geometry/ShapeMeasures.h"
#include "settings/AppSettings.h"
#include "view/GeoViewServices.h"
#include "view/MapRenderer.h"
#include "workspace/CorvaleDoc.h"

#include <QByteArray>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kLocateFlashMilliseconds = 50;

// A theme the event names, when it is one of the document's themes; events
// carry plain pointers, and one that names nothing the view knows is not
// followed.
CTheme* DocumentTheme(const CCorvaleDoc& doc, std::intptr_t data) {
    auto* theme = reinterpret_cast<CTheme*>(data);
    return theme != nullptr &&
                   std::find(doc.m_themes.begin(), doc.m_themes.end(), theme) != doc.m_themes.end()
               ? theme
               : nullptr;
}

bool InsideClient(const CDevicePoint& p, int width, int height) {
    return p.x >= 0 && p.x < width && p.y >= 0 && p.y < height;
}

} // namespace

void CGeoView::RefreshOverview() {
    if (m_overviewDialog && m_overviewDialog->HasWindow() && m_overviewDialog->IsVisible())
        m_overviewDialog->Refresh();
}

void CGeoView::OnDocumentUpdate(const void*, int code, std::intptr_t data) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    auto redraw = [this] {
        m_mapDirty = true;
        update();
    };
    switch (code) {
    case DUE_ThemeAdded:
        RefreshOverview();
        m_sketchPoints.clear();
        RebuildVertexMarkers();
        redraw();
        break;
    case DUE_ExtentChanged:
    case DUE_ThemeStyleChanged:
    case DUE_OptionsChanged:
    case DUE_BookmarksChanged:
    case DUE_WorkspacePropertiesChanged:
    case DUE_VertexSelectionCleared:
    case DUE_BoundingBoxesToggled:
        redraw();
        break;
    case DUE_ActiveThemeChanged: {
        const CTheme* theme = DocumentTheme(*doc, data);
        if (m_selectionAreaShown || (theme != nullptr && !theme->m_Selection.empty()))
            InvalidateMap(true);
        m_sketchPoints.clear();
        RebuildVertexMarkers();
        break;
    }
    case DUE_FilterChanged:
    case DUE_EditModeChanged:
        RebuildVertexMarkers();
        redraw();
        break;
    case DUE_VisibilityChanged:
        m_sketchPoints.clear();
        RebuildVertexMarkers();
        redraw();
        break;
    case DUE_ThemeRemoved:
        RefreshOverview();
        m_sketchPoints.clear();
        m_vertexMarkers.reset();
        // A vertex held by a removed theme names nothing any more.
        m_dragVertex.Clear();
        m_twinVertex.Clear();
        InvalidateMap(true);
        break;
    case DUE_SelectionChanged:
        RebuildVertexMarkers();
        LocateSelectedPoint();
        InvalidateMap(doc->m_activeTheme != nullptr &&
                      IsThemeVisibleInView(doc->m_activeTheme, this));
        break;
    case DUE_ThemeOrderChanged:
    case DUE_Refresh:
    case DUE_CoordinatesReversed:
        RefreshOverview();
        InvalidateMap(true);
        break;
    case DUE_ThemeDataChanged:
        m_sketchPoints.clear();
        m_vertexMarkers.reset();
        RebuildVertexMarkers();
        if (data == 0 || IsThemeVisibleInView(DocumentTheme(*doc, data), this))
            InvalidateMap(true);
        RefreshOverview();
        break;
    case DUE_VertexSelected:
        if (data != 0) {
            double vertex[2];
            std::memcpy(vertex, reinterpret_cast<const void*>(data), sizeof vertex);
            LocateVertex(vertex[0], vertex[1]);
        }
        break;
    case DUE_SaveMapImage:
        OnSaveMapImage();
        break;
    case DUE_GoToBookmark:
        GoToBookmark(data);
        break;
    case DUE_ZOrderChanged: {
        m_sketchPoints.clear();
        const bool hiddenTheme =
            data != 0 && !IsThemeVisibleInView(DocumentTheme(*doc, data), this);
        if (!hiddenTheme)
            InvalidateMap(true);
        break;
    }
    case DUE_SaveMapImageToFile:
        if (data != 0) {
            auto* request = reinterpret_cast<CSaveMapImageRequest*>(data);
            request->m_Result =
                SaveMapImage(QByteArray(), request->m_Path, request->m_Color, request->m_Silent);
        }
        break;
    case DUE_ZoomToScale:
        if (data != 0) {
            double scale = 0.0;
            std::memcpy(&scale, reinterpret_cast<const void*>(data), sizeof scale);
            ZoomToScale(scale);
        }
        break;
    default:
        // Codes 2, 11, 12, 13, 16, 17, 18, 23, 28, 32, 33, 34 and every code
        // outside 1..36 leave the view alone.
        break;
    }
}

bool CGeoView::RebuildVertexMarkers() {
    m_vertexMarkers.reset();
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || !doc->m_vertexMode)
        return false;
    CTheme* active = doc->m_activeTheme;
    if (active == nullptr || !IsThemeVisibleInView(active, this))
        return false;
    int shapeIndex = -1;
    if (active->m_Selection.size() == 1)
        shapeIndex = active->m_Selection.begin()->first;
    else if (active->m_ShapeType == SHT_Image && active->m_SelectionArea)
        shapeIndex = kSelectionAreaShapeIndex;
    else
        return false;
    const CShapeRecord* record = ResolveShapeRecord(*doc, active, shapeIndex);
    if (record == nullptr)
        return false;
    auto markers = std::make_unique<CVertexMarkerSet>();
    markers->m_Theme = active;
    markers->m_ShapeIndex = shapeIndex;
    markers->m_Vertices = BuildVertexMarkers(record);
    m_vertexMarkers = std::move(markers);
    return true;
}

void CGeoView::CenterExtentOn(double x, double y) {
    CCorvaleDoc* doc = GetDocument();
    const double* e = doc->m_viewExtent;
    const double halfWidth = std::fabs(e[2] - e[0]) / 2.0;
    const double halfHeight = std::fabs(e[3] - e[1]) / 2.0;
    const double extent[4] = {x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight};
    doc->SetViewExtent(extent);
}

void CGeoView::LocateVertex(double x, double y) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    CDevicePoint p = MapToScreen(m_viewport, x, y);
    if (!InsideClient(p, width(), height())) {
        if (CAppSettings::GetInstance()->m_AutoLocate == 0)
            return;
        CenterExtentOn(x, y);
        m_mapDirty = true;
        // Render now, so that the cross lands on the moved map.
        repaint();
        if (m_mapDirty)
            EnsureMapPicture();
        p = MapToScreen(m_viewport, x, y);
    }
    m_locatePoint = p;
    m_locateCrossShown = true;
    update();
    QTimer::singleShot(kLocateFlashMilliseconds, this, [this] {
        m_locateCrossShown = false;
        update();
    });
}

void CGeoView::LocateSelectedPoint() {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || CAppSettings::GetInstance()->m_AutoLocate == 0)
        return;
    CTheme* active = doc->m_activeTheme;
    if (active == nullptr || active->m_Selection.size() != 1 || !active->IsPointTheme())
        return;
    const CShapeRecord* record =
        active->GetShape(active->GetShapePosition(active->m_Selection.begin()->first));
    if (record == nullptr)
        return;
    const CShapePoint point = CShapeRecord::GetPoint(record, 0);
    if (InsideClient(MapToScreen(m_viewport, point.x, point.y), width(), height()))
        return;
    CenterExtentOn(point.x, point.y);
    InvalidateMap(true);
}

void CGeoView::ZoomToScale(double scale) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || scale == -1.0 || doc->m_refSystem == -1)
        return;
    // A scale 1:N needs a positive N.
    if (!(scale > 0.0) || !std::isfinite(scale))
        return;
    const double pixelsPerMetre = logicalDpiX() * 1000.0 / 25.4;
    double themes[4];
    std::copy(doc->m_viewExtent, doc->m_viewExtent + 4, themes);
    doc->GetThemesExtent(themes);
    const double w = std::fabs(themes[2] - themes[0]);
    const double h = std::fabs(themes[3] - themes[1]);
    const double d = GroundDistance(doc->m_refSystem, CShapePoint{themes[0], 0.0},
                                    CShapePoint{themes[0] + w / 2.0, 0.0}, doc->m_earthRadius);
    const double pixels = 2.0 * d * pixelsPerMetre / scale;
    // No distance (a point that cannot be converted, an empty workspace)
    // gives no scale to zoom to.
    if (!(pixels > 0.0) || !std::isfinite(pixels))
        return;
    const double newWidth = w * width() / pixels;
    const double newHeight = h * height() / pixels;
    double* e = doc->m_viewExtent;
    const double cx = e[0] + (e[2] - e[0]) / 2.0;
    const double cy = e[1] + (e[3] - e[1]) / 2.0;
    e[0] = cx - newWidth / 2.0;
    e[1] = cy - newHeight / 2.0;
    e[2] = cx + newWidth / 2.0;
    e[3] = cy + newHeight / 2.0;
    doc->UpdateMapScale();
    m_mapDirty = true;
    update();
}

void CGeoView::GoToBookmark(std::intptr_t data) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr || data == 0)
        return;
    const auto* bookmark = reinterpret_cast<const CBookmarkRecord*>(data);
    const double u = bookmark->m_UnitsPerPixel;
    const int w = width();
    const int h = height();
    // A side of less than one pixel takes one bookmark unit.
    const double sideX = w >= 1 ? w * u : u;
    const double sideY = h >= 1 ? h * u : u;
    const double* e = doc->m_viewExtent;
    const double extent[4] = {e[0], e[1], e[0] + sideX, e[1] + sideY};
    doc->SetViewExtent(extent);
    doc->CenterMap(bookmark->m_X, bookmark->m_Y);
}
