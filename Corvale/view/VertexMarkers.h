#pragma once
// Vertex markers: the small squares on the vertices of the one shape under
// edit, by which the editing tools find the vertex under the mouse.
//
// A marker names its vertex by numbers, never by address: the theme, the
// shape index of the record (or the theme's selection-area polygon) and the
// vertex index within the record. Editing replaces records by new copies
// (inserting a vertex, splitting, undoing), and an address into the old
// record would then point into freed memory; numbers are resolved against
// the theme each time they are used, and a record that is gone or has fewer
// vertices now simply shows and hits nothing.

#include "view/MapViewport.h"

#include <QImage>

#include <cstdint>
#include <vector>

class CCorvaleDoc;
class CShapeRecord;
class CTheme;
class QPainter;

// The shape index that stands for an image theme's selection-area polygon.
constexpr int kSelectionAreaShapeIndex = -2;

// One vertex of a record of a theme, held by numbers.
struct CVertexRef {
    CTheme* m_Theme = nullptr;
    // Record number minus 1, or kSelectionAreaShapeIndex.
    int m_ShapeIndex = -1;
    // Index into the record's points; -1 for none.
    std::int64_t m_Vertex = -1;

    bool IsSet() const { return m_Theme != nullptr && m_Vertex >= 0; }
    void Clear() { *this = CVertexRef(); }
};

// The markers of one record.
struct CVertexMarkerSet {
    CTheme* m_Theme = nullptr;
    int m_ShapeIndex = -1;
    // The record's vertices that carry a marker, in record order.
    std::vector<std::uint32_t> m_Vertices;
};

// The vertices of a record that get a marker: the point of a point record;
// every point of every part of a polyline; every point of every ring of a
// polygon but the ring's last, which closes it on its first; none for other
// types and for a null record.
std::vector<std::uint32_t> BuildVertexMarkers(const CShapeRecord* record);

// The record a theme's shape index names now: the visible record with that
// index, or the theme's selection-area polygon for kSelectionAreaShapeIndex.
// Null when the theme is no longer one of the document's themes, the shape
// is gone or filtered out, or the theme has no selection area.
CShapeRecord* ResolveShapeRecord(const CCorvaleDoc& document, CTheme* theme, int shapeIndex);
// The same for a marker set's record.
CShapeRecord* ResolveMarkerRecord(const CCorvaleDoc& document, const CVertexMarkerSet& markers);

// The marker picture: 32 x 32, transparent but for a 5 x 5 square on its
// centre pixel (16, 16). Made once and kept for the process.
const QImage& GetVertexMarkerIcon();

// Draws the marker of each vertex whose pixel lies in the viewport's device
// rectangle grown by 3 (right and bottom exclusive), centred on the vertex.
// Vertices the record no longer has are passed over.
void DrawVertexMarkers(const CVertexMarkerSet& markers, const CShapeRecord* record,
                       const CMapViewport& viewport, QPainter& dc);

// The vertex of the marker under a device point: markers are tried from the
// last to the first and a marker at pixel (x, y) is hit from x - 2 up to but
// not including x + 2, likewise y, so where markers overlap the later vertex
// of the record wins. False for no hit, an empty set or a null record.
bool HitTestVertexMarker(const CVertexMarkerSet& markers, const CShapeRecord* record,
                         const CMapViewport& viewport, const CDevicePoint& point,
                         std::uint32_t& vertex);
