// A theme's spatial hash and the two spatial questions a theme answers
// itself: the shapes nearest to a point and the shapes meeting a given one.

#include "core/Theme.h"

#include "geometry/ShapeMeasures.h"
#include "geometry/ShapeParts.h"
#include "geometry/SpatialPredicates.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <cmath>

namespace {

// Below these many visible shapes a linear walk is fast enough and the hash
// would only cost memory.
constexpr int kHashMinPolylines = 15000;
constexpr int kHashMinPolygons = 3000;

// The positions at the smallest distance met so far, each once, in the order
// found.
class CClosest {
public:
    explicit CClosest(std::vector<int>& positions) : m_Positions(positions) {}

    void Offer(int position, double d) {
        // A NaN distance (a record with NaN coordinates) is nearer than
        // nothing and must not displace real answers.
        if (std::isnan(d))
            return;
        if (m_HasBest && d > m_Best)
            return;
        if (m_HasBest && d == m_Best) {
            if (std::find(m_Positions.begin(), m_Positions.end(), position) == m_Positions.end())
                m_Positions.push_back(position);
            return;
        }
        m_Positions.clear();
        m_Positions.push_back(position);
        m_Best = d;
        m_HasBest = true;
    }

    // A containing polygon: listed at distance 0.
    void Contains(int position) {
        m_Positions.push_back(position);
        m_Best = 0.0;
        m_HasBest = true;
    }

private:
    std::vector<int>& m_Positions;
    double m_Best = 0.0;
    bool m_HasBest = false;
};

// Offers the distance of every segment of the record; with stopAtZero the
// remaining segments are skipped once one passes through the point.
void OfferSegments(CClosest& closest, int position, const CShapeRecord* record,
                   const CShapePoint& p, bool stopAtZero) {
    ForEachShapeSegment(record, [&](const CShapePoint& a, const CShapePoint& b) {
        const double d = PointToSegmentDistance(p, a, b);
        closest.Offer(position, d);
        return stopAtZero && d == 0.0;
    });
}

} // namespace

void CTheme::DeleteSpatialIndex() {
    m_SpatialIndex.reset();
}

void CTheme::ReindexShape(CShapeRecord* record) {
    if (!m_SpatialIndex || record == nullptr)
        return;
    try {
        m_SpatialIndex->Remove(record);
        m_SpatialIndex->InsertRecord(record);
    } catch (...) {
        m_SpatialIndex.reset();
    }
}

void CTheme::BuildSpatialIndex() {
    if (m_SpatialIndex)
        return;
    if (CAppSettings::GetInstance()->m_Performance != 2)
        return;
    if (IsArcTheme()) {
        if (GetShapeCount() < kHashMinPolylines)
            return;
    } else if (IsPolygonTheme()) {
        if (GetShapeCount() < kHashMinPolygons)
            return;
    } else {
        return;
    }
    try {
        auto index = std::make_unique<CShapeAreaHashTable>(m_Bounds[0], m_Bounds[1], m_Bounds[2],
                                                           m_Bounds[3]);
        // Filtered-out shapes too: the hash outlives filters.
        const std::vector<CShapeRecord*>& all = !m_Arcs.empty() ? m_Arcs : m_Polygons;
        index->Reserve(all.size());
        index->InsertRecords(all.data(), all.size());
        index->Pack();
        m_SpatialIndex = std::move(index);
    } catch (...) {
        // Without the hash everything still works, only slower; a half-built
        // one would miss records.
        m_SpatialIndex.reset();
    }
}

bool CTheme::FindClosestShapes(std::vector<int>& positions, double x, double y) const {
    const CShapePoint p{x, y};
    CClosest closest(positions);
    if (IsPointTheme()) {
        for (std::size_t i = 0; i < m_VisiblePoints.size(); ++i) {
            const CShapePoint q = CShapeRecord::GetPoint(m_VisiblePoints[i], 0);
            closest.Offer(static_cast<int>(i), std::hypot(q.x - x, q.y - y));
        }
        return !m_VisiblePoints.empty();
    }
    if (IsArcTheme()) {
        for (std::size_t i = 0; i < m_VisibleArcs.size(); ++i)
            OfferSegments(closest, static_cast<int>(i), m_VisibleArcs[i], p, false);
        return !m_VisibleArcs.empty();
    }
    if (!IsPolygonTheme())
        return false;
    // Containing polygons first; a point in a hole counts as contained, as
    // the inside test of the whole program has it.
    for (std::size_t i = 0; i < m_VisiblePolygons.size(); ++i) {
        const CShapeRecord* record = m_VisiblePolygons[i];
        if (GetShapeBox(record).Contains(p) && PointInAnyRing(record, p))
            closest.Contains(static_cast<int>(i));
    }
    // Then the outlines: those that pass through the point join the
    // containing ones, and without either the nearest outline wins.
    for (std::size_t i = 0; i < m_VisiblePolygons.size(); ++i)
        OfferSegments(closest, static_cast<int>(i), m_VisiblePolygons[i], p, true);
    return !m_VisiblePolygons.empty();
}

bool CTheme::GetIntersectingShapes(const CShapeRecord* record, std::vector<int>& positions) const {
    const int count = GetShapeCount();
    for (int position = 0; position < count; ++position) {
        const CShapeRecord* candidate = GetShape(position);
        if (candidate != record && ShapesIntersect(candidate, record))
            positions.push_back(position);
    }
    return !positions.empty();
}
