// The selections the map view's tools make in the active theme: the click
// toggle and the area selections by rectangle, circle and polygon; and the
// bookmark the view adds at a point.
//
// The area selections only add to the selection and fire no update event:
// the view clears first unless a modifier key is held, and announces the
// change once for the whole gesture.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "framework/Messages.h"
#include "geometry/DoubleRect.h"
#include "geometry/SelectionHitTests.h"
#include "geometry/SpatialHash.h"
#include "geometry/SpatialPredicates.h"
#include "settings/AppSettings.h"
#include "workspace/ViewMessages.h"

#include <cmath>
#include <functional>
#include <string>

namespace {

// Point themes draw their selection 3 pixels wide, the others at the
// theme's line width.
int SelectionWidth(const CTheme& theme) {
    return theme.IsPointTheme() ? 3 : theme.m_LineWidth;
}

void AddSelected(CTheme& theme, CShapeRecord* record, int position) {
    theme.AddToSelection(GetShapeRecordIndex(record), position, SelectionWidth(theme),
                         CAppSettings::GetInstance()->m_ColorSelection);
}

void PostThemeSelectionChanged(CCorvaleDoc& doc, CTheme* theme) {
    if (doc.m_mapView != nullptr)
        PostMessage(doc.m_mapView, WM_THEME_SELECTION_CHANGED, 0,
                    reinterpret_cast<std::intptr_t>(theme));
}


// Offers every visible shape of the theme that may meet the search box to
// hit, and adds those it accepts. Without a spatial hash, or while a filter
// hides shapes (the hash lists hidden ones too), the visible lists are walked
// with their positions; otherwise the hash's cells under the box give the
// candidates, whose positions are then looked up.
void SelectInArea(CTheme& theme, const CDoubleRect& box,
                  const std::function<bool(const CShapeRecord*)>& hit) {
    if (!theme.m_SpatialIndex || theme.GetFilteredShapeCount() > 0) {
        for (auto* list : {&theme.m_VisiblePoints, &theme.m_VisibleArcs, &theme.m_VisiblePolygons})
            for (std::size_t p = 0; p < list->size(); ++p)
                if (hit((*list)[p]))
                    AddSelected(theme, (*list)[p], static_cast<int>(p));
        return;
    }
    theme.m_SpatialIndex->ForEachCandidate(box, [&](CShapeRecord* record) {
        if (theme.m_Selection.count(GetShapeRecordIndex(record)) == 0 && hit(record)) {
            const int position = theme.GetShapePosition(GetShapeRecordIndex(record));
            if (position >= 0)
                AddSelected(theme, record, position);
        }
        return true;
    });
}

} // namespace

void CCorvaleDoc::PostSelectionChanged(CTheme* theme) { PostThemeSelectionChanged(*this, theme); }

void CCorvaleDoc::AddShapeToSelection(CShapeRecord* record, int position) {
    CTheme* theme = m_activeTheme;
    if (record == nullptr || theme == nullptr)
        return;
    AddSelected(*theme, record, position);
    PostSelectionChanged(theme);
    if (GetDocumentDialogServices().attributeListBuilderAddShape)
        GetDocumentDialogServices().attributeListBuilderAddShape(this, record, position);
}

void CCorvaleDoc::ToggleShapeSelection(CShapeRecord* record, int position) {
    CTheme* theme = m_activeTheme;
    if (record == nullptr || theme == nullptr)
        return;
    const int shapeIndex = GetShapeRecordIndex(record);
    if (theme->m_Selection.count(shapeIndex) != 0)
        theme->RemoveFromSelection(shapeIndex);
    else {
        AddSelected(*theme, record, position);
        if (GetDocumentDialogServices().attributeListBuilderAddShape)
            GetDocumentDialogServices().attributeListBuilderAddShape(this, record, position);
    }
    FireUpdateEvent(nullptr, DUE_SelectionChanged, shapeIndex);
    PostSelectionChanged(theme);
}

void CCorvaleDoc::SelectByRectangle(const CDoubleRect& rect) {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    CDoubleRect box = rect;
    NormalizeDoubleRect(box);
    SelectInArea(*theme, box, [&box](const CShapeRecord* record) {
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        if (CShapeRecord::IsPointType(type))
            return box.Contains(CShapeRecord::GetPoint(record, 0));
        if (type == SHT_Polyline || type == SHT_PolylineZ)
            return PolylineHitByRectangle(record, box);
        if (type == SHT_Polygon || type == SHT_PolygonZ)
            return PolygonHitByRectangle(record, box);
        return false;
    });
    PostSelectionChanged(theme);
}

void CCorvaleDoc::SelectByCircle(double x, double y, double radius) {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr)
        return;
    const CShapePoint centre{x, y};
    const CDoubleRect box(x - radius, y - radius, x + radius, y + radius);
    SelectInArea(*theme, box, [&centre, radius](const CShapeRecord* record) {
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        if (CShapeRecord::IsPointType(type)) {
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            return std::hypot(p.x - centre.x, p.y - centre.y) <= radius;
        }
        if (type == SHT_Polyline || type == SHT_PolylineZ)
            return PolylineHitByCircle(record, centre, radius);
        if (type == SHT_Polygon || type == SHT_PolygonZ)
            return PolygonHitByCircle(record, centre, radius);
        return false;
    });
    PostSelectionChanged(theme);
}

void CCorvaleDoc::SelectByPolygon(const CShapeRecord* polygon) {
    CTheme* theme = m_activeTheme;
    if (theme == nullptr || polygon == nullptr)
        return;
    const CDoubleRect box(CShapeRecord::GetMinX(polygon), CShapeRecord::GetMinY(polygon),
                          CShapeRecord::GetMaxX(polygon), CShapeRecord::GetMaxY(polygon));
    SelectInArea(*theme, box, [polygon](const CShapeRecord* record) {
        return ShapesIntersect(record, polygon);
    });
    PostSelectionChanged(theme);
}

void CCorvaleDoc::AddBookmark(double x, double y, double unitsPerPixel) {
    auto* bookmark = new CBookmarkRecord;
    bookmark->m_X = x;
    bookmark->m_Y = y;
    bookmark->m_Name = "BM " + std::to_string(m_nextBookmarkNumber++);
    bookmark->m_UnitsPerPixel = unitsPerPixel;
    m_bookmarks.push_back(bookmark);
    SetModifiedFlag(true);
    FireUpdateEvent(nullptr, DUE_BookmarksChanged, 0);
}
