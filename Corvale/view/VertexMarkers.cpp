#include "view/VertexMarkers.h"

#include "core/Theme.h"
#include "shapes/ShapeRecord.h"
#include "view/ShapeParts.h"
#include "workspace/CorvaleDoc.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMarkerIconSize = 32;
constexpr int kMarkerHalfHit = 2;

bool InGrownDeviceRect(const CMapViewport& viewport, const CDevicePoint& p) {
    return std::int64_t(viewport.left) - 3 <= p.x && p.x < std::int64_t(viewport.right) + 3 &&
           std::int64_t(viewport.top) - 3 <= p.y && p.y < std::int64_t(viewport.bottom) + 3;
}

QImage MakeMarkerIcon() {
    QImage icon(kMarkerIconSize, kMarkerIconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setPen(Qt::NoPen);
    p.fillRect(14, 14, 5, 5, QColor(0, 0, 0));
    p.fillRect(15, 15, 3, 3, QColor(255, 255, 255));
    return icon;
}

} // namespace

std::vector<std::uint32_t> BuildVertexMarkers(const CShapeRecord* record) {
    std::vector<std::uint32_t> vertices;
    if (record == nullptr)
        return vertices;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (type == SHT_Point || type == SHT_PointZ) {
        vertices.push_back(0);
        return vertices;
    }
    const bool polyline = type == SHT_Polyline || type == SHT_PolylineZ;
    const bool polygon = type == SHT_Polygon || type == SHT_PolygonZ;
    if (!polyline && !polygon)
        return vertices;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    for (std::uint32_t part = 0; part < parts; ++part) {
        std::uint32_t first = 0;
        std::uint32_t end = 0;
        GetPartRange(record, part, first, end);
        // A ring's last point closes it on its first and gets no marker.
        const std::uint32_t stop = polygon && end > first ? end - 1 : end;
        for (std::uint32_t i = first; i < stop; ++i)
            vertices.push_back(i);
    }
    return vertices;
}

CShapeRecord* ResolveShapeRecord(const CCorvaleDoc& document, CTheme* theme, int shapeIndex) {
    if (theme == nullptr || std::find(document.m_themes.begin(), document.m_themes.end(), theme) ==
                                document.m_themes.end())
        return nullptr;
    if (shapeIndex == kSelectionAreaShapeIndex)
        return theme->m_SelectionArea ? CShapeRecord::FromBytes(theme->m_SelectionArea.get())
                                      : nullptr;
    if (shapeIndex < 0)
        return nullptr;
    return theme->GetShape(theme->GetShapePosition(shapeIndex));
}

CShapeRecord* ResolveMarkerRecord(const CCorvaleDoc& document, const CVertexMarkerSet& markers) {
    return ResolveShapeRecord(document, markers.m_Theme, markers.m_ShapeIndex);
}

const QImage& GetVertexMarkerIcon() {
    static const QImage icon = MakeMarkerIcon();
    return icon;
}

void DrawVertexMarkers(const CVertexMarkerSet& markers, const CShapeRecord* record,
                       const CMapViewport& viewport, QPainter& dc) {
    if (record == nullptr)
        return;
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const bool point = type == SHT_Point || type == SHT_PointZ;
    const QImage& icon = GetVertexMarkerIcon();
    for (const std::uint32_t vertex : markers.m_Vertices) {
        if (!point && vertex >= points)
            continue;
        const CShapePoint m = CShapeRecord::GetPoint(record, vertex);
        const CDevicePoint p = MapToDevice(viewport, m.x, m.y);
        if (!InGrownDeviceRect(viewport, p))
            continue;
        dc.drawImage(QPoint(p.x - kMarkerIconSize / 2, p.y - kMarkerIconSize / 2), icon);
    }
}

bool HitTestVertexMarker(const CVertexMarkerSet& markers, const CShapeRecord* record,
                         const CMapViewport& viewport, const CDevicePoint& point,
                         std::uint32_t& vertex) {
    if (record == nullptr)
        return false;
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const bool isPoint = type == SHT_Point || type == SHT_PointZ;
    for (auto it = markers.m_Vertices.rbegin(); it != markers.m_Vertices.rend(); ++it) {
        if (!isPoint && *it >= points)
            continue;
        const CShapePoint m = CShapeRecord::GetPoint(record, *it);
        const CDevicePoint p = MapToDevice(viewport, m.x, m.y);
        const std::int64_t dx = std::int64_t(point.x) - p.x;
        const std::int64_t dy = std::int64_t(point.y) - p.y;
        if (-kMarkerHalfHit <= dx && dx < kMarkerHalfHit && -kMarkerHalfHit <= dy &&
            dy < kMarkerHalfHit) {
            vertex = *it;
            return true;
        }
    }
    return false;
}
