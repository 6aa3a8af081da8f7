// The map extent: zooming to themes and selections, centring, the map scale
// and the View and Theme menus' extent commands.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "crs/RefSysConverter.h"
#include "crs/RefSysTable.h"
#include "framework/Messages.h"
#include "geometry/ShapeMeasures.h"
#include "workspace/CommandIds.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr unsigned WM_ZOOM_TO_MAKE_VISIBLE = 0x8009;
// How far an extent without width or height is opened up on every side, so
// that a single point or a straight line can be shown.
constexpr double kDegenerateMargin = 5.0;

// The union of rectangles (minX, minY, maxX, maxY): the first is copied, the
// others widen it.
class CExtentUnion {
public:
    explicit CExtentUnion(double* extent) : m_Extent(extent) {}

    void Add(double minX, double minY, double maxX, double maxY) {
        if (!m_Any) {
            m_Extent[0] = minX;
            m_Extent[1] = minY;
            m_Extent[2] = maxX;
            m_Extent[3] = maxY;
            m_Any = true;
            return;
        }
        m_Extent[0] = std::min(m_Extent[0], minX);
        m_Extent[1] = std::min(m_Extent[1], minY);
        m_Extent[2] = std::max(m_Extent[2], maxX);
        m_Extent[3] = std::max(m_Extent[3], maxY);
    }
    void Add(const CTheme* theme) { Add(theme->m_Bounds[0], theme->m_Bounds[1], theme->m_Bounds[2], theme->m_Bounds[3]); }

    // Opens up an extent of zero width or height, whether or not anything
    // was added.
    void Finish() {
        if (m_Extent[2] == m_Extent[0] || m_Extent[3] == m_Extent[1]) {
            m_Extent[0] -= kDegenerateMargin;
            m_Extent[1] -= kDegenerateMargin;
            m_Extent[2] += kDegenerateMargin;
            m_Extent[3] += kDegenerateMargin;
        }
    }

private:
    double* m_Extent;
    bool m_Any = false;
};

bool HasRecordsOrImage(const CTheme* theme) {
    return theme->m_ShapeType == SHT_Image || theme->GetAllShapeCount() > 0;
}

// The table row of WGS 84 longitude and latitude, in which the scale is
// measured; -1 when the table has none.
int Wgs84Row() {
    const auto& table = RefSysTable();
    for (int i = 0; i < kRefSysCount; ++i)
        if (table[static_cast<std::size_t>(i)].id == 2)
            return i;
    return -1;
}

CDocumentDialogServices& DialogServices() {
    static CDocumentDialogServices services;
    return services;
}

} // namespace

void SetDocumentDialogServices(const CDocumentDialogServices& services) { DialogServices() = services; }

const CDocumentDialogServices& GetDocumentDialogServices() { return DialogServices(); }

void CCorvaleDoc::ZoomToFullExtent(CTheme* theme) {
    CExtentUnion extent(m_viewExtent);
    if (theme != nullptr) {
        extent.Add(theme);
    } else {
        // A workspace whose only theme is hidden still zooms to that theme.
        const bool single = m_themes.size() == 1;
        for (const CTheme* each : m_themes)
            if (each->m_BoundsValid && (each->m_Visible || single))
                extent.Add(each);
    }
    extent.Finish();
}

void CCorvaleDoc::ZoomToSelectedThemes() {
    CExtentUnion extent(m_viewExtent);
    for (const CTheme* theme : m_selectedThemes)
        if (theme->m_BoundsValid && theme->m_Visible)
            extent.Add(theme);
    extent.Finish();
}

void CCorvaleDoc::GetSelectionExtent(CTheme* theme) {
    if (theme == nullptr)
        return;
    CExtentUnion extent(m_viewExtent);
    // The selection map is keyed by shape index; a shape that is filtered out
    // has no position and is not on the map.
    for (const auto& entry : theme->m_Selection) {
        const CShapeRecord* record = theme->GetShape(theme->GetShapePosition(entry.first));
        if (record == nullptr)
            continue;
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        if (type == SHT_Point || type == SHT_PointZ) {
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            extent.Add(p.x, p.y, p.x, p.y);
        } else {
            extent.Add(CShapeRecord::GetMinX(record), CShapeRecord::GetMinY(record), CShapeRecord::GetMaxX(record),
                       CShapeRecord::GetMaxY(record));
        }
    }
    extent.Finish();
}

void CCorvaleDoc::GetThemesExtent(double rect[4]) const {
    CExtentUnion extent(rect);
    for (const CTheme* theme : m_themes)
        if (theme->m_BoundsValid)
            extent.Add(theme);
    extent.Finish();
}

void CCorvaleDoc::SetViewExtent(const double rect[4]) {
    std::copy(rect, rect + 4, m_viewExtent);
    UpdateMapScale();
}

void CCorvaleDoc::CenterMap(double x, double y) {
    // The absolute values keep the size of an extent stored with its corners
    // swapped.
    const double halfWidth = std::fabs(m_viewExtent[2] - m_viewExtent[0]) / 2.0;
    const double halfHeight = std::fabs(m_viewExtent[3] - m_viewExtent[1]) / 2.0;
    m_viewExtent[0] = x - halfWidth;
    m_viewExtent[1] = y - halfHeight;
    m_viewExtent[2] = x + halfWidth;
    m_viewExtent[3] = y + halfHeight;
    FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
}

void CCorvaleDoc::CenterMapOnShape(int position) {
    if (position < 0 || m_activeTheme == nullptr)
        return;
    const CShapeRecord* record = m_activeTheme->GetShape(position);
    CShapePoint centre;
    if (record != nullptr && GetShapeCentre(record, centre))
        CenterMap(centre.x, centre.y);
}

void CCorvaleDoc::UpdateMapScale() {
    if (m_mapView == nullptr || !m_mapViewMetrics)
        return;
    double dotsPerInch = 0.0;
    int clientWidth = 0;
    if (!m_mapViewMetrics(dotsPerInch, clientWidth) || !(dotsPerInch > 0.0) || clientWidth <= 0)
        return;
    const double pixelsPerMetre = dotsPerInch * 1000.0 / 25.4;
    const double screenWidth = clientWidth / pixelsPerMetre;

    double groundWidth = 0.0;
    if (m_refSystem == -1) {
        groundWidth = std::fabs(m_viewExtent[2] - m_viewExtent[0]);
    } else {
        const CRefSysConverter converter(m_refSystem, Wgs84Row());
        double lon1 = 0.0, lat1 = 0.0, lon2 = 0.0, lat2 = 0.0;
        if (!converter.Convert(m_viewExtent[0], 0.0, lon1, lat1) || !converter.Convert(m_viewExtent[2], 0.0, lon2, lat2))
            return;
        groundWidth = GroundDistanceAlongEquator(lon1, lon2, m_earthRadius);
    }
    const double scale = groundWidth / screenWidth;
    // An extent that cannot be measured shows no made-up scale.
    if (!std::isfinite(scale))
        return;
    m_mapScale = scale;
    if (DialogServices().showMapScale)
        DialogServices().showMapScale(this, scale);
}

void CCorvaleDoc::OnZoomToFullExtent() {
    ZoomToFullExtent(nullptr);
    FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
}

void CCorvaleDoc::OnUpdateZoomToFullExtent(CCmdUI& ui) {
    ui.Enable(std::any_of(m_themes.begin(), m_themes.end(), HasRecordsOrImage));
}

void CCorvaleDoc::OnZoomToTheme() {
    ZoomToSelectedThemes();
    FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
}

void CCorvaleDoc::OnUpdateZoomToTheme(CCmdUI& ui) {
    ui.Enable(std::any_of(m_selectedThemes.begin(), m_selectedThemes.end(), HasRecordsOrImage));
}

void CCorvaleDoc::OnZoomToSelection() {
    GetSelectionExtent(m_activeTheme);
    FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
}

void CCorvaleDoc::OnUpdateZoomToSelection(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && !m_themes.empty() &&
              (!m_activeTheme->m_Selection.empty() || m_activeTheme->m_SelectionArea != nullptr));
}

void CCorvaleDoc::OnZoomToMakeVisible() {
    if (m_mapView != nullptr)
        SendMessage(m_mapView, WM_ZOOM_TO_MAKE_VISIBLE, 0,
                    reinterpret_cast<std::intptr_t>(m_activeTheme));
}

void CCorvaleDoc::OnUpdateZoomToMakeVisible(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && m_activeTheme->m_Visible &&
              m_activeTheme->m_ScaleDependent);
}

void CCorvaleDoc::OnCenterMap() {
    if (!DialogServices().centerMap)
        return;
    double x = m_viewExtent[0] + std::fabs(m_viewExtent[2] - m_viewExtent[0]) / 2.0;
    double y = m_viewExtent[1] + std::fabs(m_viewExtent[3] - m_viewExtent[1]) / 2.0;
    if (DialogServices().centerMap(x, y))
        CenterMap(x, y);
}

void CCorvaleDoc::OnUpdateCenterMap(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && static_cast<bool>(DialogServices().centerMap));
}

void CCorvaleDoc::OnEditViewRectangle() {
    if (!DialogServices().viewRectangle)
        return;
    double extent[4] = {m_viewExtent[0], m_viewExtent[1], m_viewExtent[2], m_viewExtent[3]};
    if (!DialogServices().viewRectangle(extent))
        return;
    std::copy(extent, extent + 4, m_viewExtent);
    FireUpdateEvent(nullptr, DUE_ExtentChanged, 0);
}

void CCorvaleDoc::OnUpdateEditViewRectangle(CCmdUI& ui) {
    ui.Enable(!m_themes.empty() && static_cast<bool>(DialogServices().viewRectangle));
}

void CCorvaleDoc::AddExtentCommands() {
    OnCommand(ID_VIEW_ZOOM_FULL_EXTENT, &CCorvaleDoc::OnZoomToFullExtent,
              &CCorvaleDoc::OnUpdateZoomToFullExtent);
    OnCommand(ID_THEME_ZOOM_TO_THEME, &CCorvaleDoc::OnZoomToTheme,
              &CCorvaleDoc::OnUpdateZoomToTheme);
    OnCommand(ID_THEME_ZOOM_TO_SELECTION, &CCorvaleDoc::OnZoomToSelection,
              &CCorvaleDoc::OnUpdateZoomToSelection);
    OnCommand(ID_THEME_ZOOM_TO_MAKE_VISIBLE, &CCorvaleDoc::OnZoomToMakeVisible,
              &CCorvaleDoc::OnUpdateZoomToMakeVisible);
    OnCommand(ID_VIEW_CENTER_MAP, &CCorvaleDoc::OnCenterMap, &CCorvaleDoc::OnUpdateCenterMap);
    OnCommand(ID_VIEW_EDIT_VIEW_RECTANGLE, &CCorvaleDoc::OnEditViewRectangle,
              &CCorvaleDoc::OnUpdateEditViewRectangle);
}
