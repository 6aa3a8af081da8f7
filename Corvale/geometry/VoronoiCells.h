#pragma once
// Voronoi cells as rings, from the segments of a VoronoiEdgeGenerator run.
//
// Each Voronoi edge belongs to the two sites the generator names for it;
// each piece of the box's border belongs to the site nearest to its middle
// (found through a grid over the sites; of equally near sites the one of
// lower rank wins, so the result never depends on the order of a sort).
// A site's segments, less the slivers shorter than the tolerance, are then
// chained into one ring. A chain that cannot be
// completed, or that does not come back to its start, gives no ring: such a
// cell is counted, never closed with a straight shortcut.

#include "shapes/ShapeRecord.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class VoronoiEdgeGenerator;

struct CVoronoiSegment {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
};

// Reorders a site's segments in place into one chain, each segment's end
// meeting the next one's start within tolerance (Euclidean distance);
// segments are turned round where needed. The last segment starts the
// chain; the others are tried in list order against its front (start, then
// end) and its back (start, then end), and every segment attached starts
// the scan again. A scan looks for exact meetings before it accepts one
// within the tolerance. True when every segment was attached, and for a list of
// at most one segment (left as it is); false, with the list in no defined
// order, when a scan attaches nothing.
bool BuildVoronoiCell(std::vector<CVoronoiSegment>& segments, double tolerance);
bool BuildVoronoiCell(CVoronoiSegment* segments, std::size_t count, double tolerance);

class CVoronoiCells {
public:
    enum Status : std::uint8_t {
        // A closed clockwise ring.
        CS_Ring = 0,
        // The site received no segment (a location repeated, or left out).
        CS_NoSegments = 1,
        // The site's segments did not form a closed ring.
        CS_Unchained = 2,
    };

    // Builds the rings of the n sites (the arrays given to the generator)
    // from its last run. rank breaks ties of the nearest-site search for
    // border pieces (lower wins); null ranks sites by their number. False
    // when memory runs out.
    bool Build(const VoronoiEdgeGenerator& generator, const double* xs, const double* ys, int n,
               const int* rank, double tolerance);

    int GetSiteCount() const { return static_cast<int>(m_Status.size()); }
    Status GetStatus(int site) const { return static_cast<Status>(m_Status[site]); }
    // The ring of a site with CS_Ring: closed (last point equal to the first)
    // and clockwise, as shape files keep outer rings; empty otherwise.
    const CShapePoint* GetRing(int site) const { return m_Points.data() + m_RingStart[site]; }
    std::size_t GetRingSize(int site) const { return m_RingEnd[site] - m_RingStart[site]; }
    // Sites with CS_Unchained.
    int GetUnchainedCount() const { return m_Unchained; }

private:
    std::vector<std::uint8_t> m_Status;
    std::vector<std::size_t> m_RingStart;
    std::vector<std::size_t> m_RingEnd;
    std::vector<CShapePoint> m_Points;
    int m_Unchained = 0;
};
