// Voronoi Polygons: a polygon theme of one cell per distinct location of the
// active point theme, bounded by a box that covers both the map view and the
// theme, each cell carrying the attributes of its point.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "framework/Messages.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeOperations.h"
#include "geometry/VoronoiCells.h"
#include "geometry/VoronoiEdgeGenerator.h"
#include "workspace/CommandIds.h"
#include "workspace/ViewMessages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Segments of one cell meet within this distance (map units).
constexpr double kChainTolerance = 1e-8;
// What an extent of no width or height is widened by on each side, as for
// the extents the document takes from themes.
constexpr double kEmptyExtentMargin = 5.0;

struct SitePoint {
    double x;
    double y;
    // Visible position and shape index of the point.
    int position;
    int shapeIndex;
};

} // namespace

CTheme* CCorvaleDoc::CreateVoronoiPolygons(CTheme* source) {
    if (source == nullptr || source->m_VisiblePoints.empty())
        return nullptr;
    std::unique_ptr<CTheme> theme;
    CTheme* result = nullptr;
    int leftOut = 0;
    {
        corvale::CBusyScope busy;

        // One site per location, in ascending x then y; a location shared
        // by several points keeps the last of them in visible order.
        std::vector<SitePoint> points;
        points.reserve(source->m_VisiblePoints.size());
        for (std::size_t i = 0; i < source->m_VisiblePoints.size(); ++i) {
            const CShapeRecord* record = source->m_VisiblePoints[i];
            if (record == nullptr)
                continue;
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            // A point without a place cannot have a cell; it is reported
            // with the cells that could not be built.
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
                ++leftOut;
                continue;
            }
            points.push_back({p.x, p.y, static_cast<int>(i), GetShapeRecordIndex(record)});
        }
        std::sort(points.begin(), points.end(), [](const SitePoint& a, const SitePoint& b) {
            if (a.x != b.x)
                return a.x < b.x;
            if (a.y != b.y)
                return a.y < b.y;
            return a.position < b.position;
        });
        std::vector<SitePoint> sites;
        sites.reserve(points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            if (i + 1 == points.size() || points[i + 1].x != points[i].x || points[i + 1].y != points[i].y)
                sites.push_back(points[i]);
        std::vector<SitePoint>().swap(points);
        std::vector<double> xs(sites.size()), ys(sites.size());
        std::vector<int> ranks(sites.size());
        for (std::size_t i = 0; i < sites.size(); ++i) {
            xs[i] = sites[i].x;
            ys[i] = sites[i].y;
            ranks[i] = sites[i].shapeIndex;
        }

        // The box: the map view's extent widened to the theme's bounds.
        double box[4] = {0.0, 0.0, 0.0, 0.0};
        bool haveBox = false;
        if (m_mapView != nullptr) {
            double view[4] = {0.0, 0.0, 0.0, 0.0};
            SendMessage(m_mapView, WM_GET_VIEW_EXTENT, 0, reinterpret_cast<std::intptr_t>(view));
            if (std::isfinite(view[0]) && std::isfinite(view[1]) && std::isfinite(view[2]) &&
                std::isfinite(view[3])) {
                box[0] = std::min(view[0], view[2]);
                box[2] = std::max(view[0], view[2]);
                box[1] = std::min(view[1], view[3]);
                box[3] = std::max(view[1], view[3]);
                haveBox = true;
            }
        }
        for (const SitePoint& s : sites) {
            if (!haveBox) {
                box[0] = box[2] = s.x;
                box[1] = box[3] = s.y;
                haveBox = true;
            }
            box[0] = std::min(box[0], s.x);
            box[1] = std::min(box[1], s.y);
            box[2] = std::max(box[2], s.x);
            box[3] = std::max(box[3], s.y);
        }
        // Without a view, one point or points on one line leave a box of no
        // area, in which no cell can be drawn.
        if (box[0] == box[2]) {
            box[0] -= kEmptyExtentMargin;
            box[2] += kEmptyExtentMargin;
        }
        if (box[1] == box[3]) {
            box[1] -= kEmptyExtentMargin;
            box[3] += kEmptyExtentMargin;
        }

        const int count = static_cast<int>(sites.size());
        VoronoiEdgeGenerator generator;
        CVoronoiCells cells;
        if (!generator.GenerateVoronoiEdges(xs.data(), ys.data(), count, box[0], box[2], box[1], box[3], 0.0) ||
            !cells.Build(generator, xs.data(), ys.data(), count, ranks.data(), kChainTolerance)) {
            corvale::UI().ShowMessage("Error calculating Voronoi polygons.", corvale::MessageIcon::Error,
                                      corvale::MessageButtons::Ok);
            return nullptr;
        }
        generator.Release();

        theme.reset(CreateTheme("Voronoi Polygons", SHT_Polygon));
        if (!theme->ConvertToNative(true, true))
            return nullptr;
        const int fields = static_cast<int>(source->GetAttributeCount());
        for (int field = 0; field < fields; ++field)
            theme->AddAttribute(source->GetAttributeInfo(field), nullptr, nullptr);
        theme->ReserveShapes(count);
        CShapePointList ring;
        for (int site = 0; site < count; ++site) {
            if (cells.GetStatus(site) != CVoronoiCells::CS_Ring) {
                leftOut += cells.GetStatus(site) == CVoronoiCells::CS_Unchained;
                continue;
            }
            const CShapePoint* points = cells.GetRing(site);
            ring.assign(points, points + cells.GetRingSize(site));
            CShapeRecordPtr record(CreatePolygonShape(ring));
            CShapeRecord* added = record ? theme->AddPolygon(record.get(), false, false, false) : nullptr;
            if (added == nullptr) {
                ++leftOut;
                continue;
            }
            const int shapeIndex = GetShapeRecordIndex(added);
            for (int field = 0; field < fields; ++field)
                theme->SetAttributeText(shapeIndex, field, source->GetAttributeTextAt(sites[site].position, field),
                                        false);
        }
        result = theme.release();
        FinishDerivedTheme(result);
    }
    if (leftOut > 0) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "No Voronoi polygon could be built for %d point location(s); they were left out.",
                      leftOut);
        corvale::UI().ShowMessage(text, corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
    }
    return result;
}

void CCorvaleDoc::OnVoronoiPolygons() {
    CreateVoronoiPolygons(m_activeTheme);
}

void CCorvaleDoc::OnUpdateVoronoiPolygons(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && !m_activeTheme->m_VisiblePoints.empty());
}

void CCorvaleDoc::AddVoronoiCommands() {
    OnCommand(ID_THEME_VORONOI_POLYGONS, &CCorvaleDoc::OnVoronoiPolygons,
              &CCorvaleDoc::OnUpdateVoronoiPolygons);
}
