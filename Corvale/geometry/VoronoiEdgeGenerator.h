#pragma once
// The Voronoi diagram of a set of sites, clipped to a box, as a list of
// segments: the Voronoi edges inside the box and the pieces of the box's
// border between the points where edges meet it.
//
// The sweep is S. Fortune's ("A sweepline algorithm for Voronoi diagrams",
// Algorithmica 2, 1987): the sites sorted by y, a priority queue of circle
// events, and the beach line as a doubly linked list of half-edges, all in
// double precision. The queue is a heap and the beach line is searched
// through a balanced tree, so the sweep takes n log n time for clustered
// sites as for evenly spread ones. Nodes come from free lists refilled in
// blocks, so the sweep itself never allocates one node at a time.
//
// Every Voronoi segment names the two sites it separates, so a caller can
// hand each segment to its cells without searching for them; border pieces
// name none.

#include <cstddef>
#include <memory>
#include <vector>

struct VoronoiSegment {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    // Site numbers (indices into the caller's arrays) of the two sites the
    // segment separates; both -1 for a piece of the box's border.
    int site1 = -1;
    int site2 = -1;
};

class VoronoiEdgeGenerator {
public:
    VoronoiEdgeGenerator();
    ~VoronoiEdgeGenerator();
    VoronoiEdgeGenerator(const VoronoiEdgeGenerator&) = delete;
    VoronoiEdgeGenerator& operator=(const VoronoiEdgeGenerator&) = delete;

    // Releases everything of a previous run and builds the diagram of the n
    // sites (xs[i], ys[i]) clipped to the box; minX/maxX and minY/maxY may
    // come in either order. The bisector of two sites closer than minDist
    // is left out. Sites at one location count once: the first of them by
    // site number keeps it, the others get no edge.
    //
    // False, with no segments, when memory runs out, when n is negative, or
    // when a site or a box value is not finite. One site (or none) gives
    // just the four sides of the box.
    bool GenerateVoronoiEdges(const double* xs, const double* ys, int n, double minX, double maxX,
                              double minY, double maxY, double minDist);

    // The segments of the last run, newest first: index 0 is the head of
    // the list, the border pieces (added last) come before the edges.
    std::size_t GetSegmentCount() const { return m_Segments.size(); }
    const VoronoiSegment& GetSegment(std::size_t index) const {
        return m_Segments[m_Segments.size() - 1 - index];
    }

    // The site numbers of the last run in the order the sweep met them: by
    // y, then x, then number, every site (repeated locations too). Empty
    // after a run that failed and after Release.
    const std::vector<int>& GetSiteOrder() const { return m_SiteOrder; }

    // Frees the tables and the segments of the last run; the destructor and
    // every run do it too.
    void Release();

private:
    struct Sweep;
    std::vector<VoronoiSegment> m_Segments;
    std::vector<int> m_SiteOrder;
};
