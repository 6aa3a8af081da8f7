#include "geometry/VoronoiCells.h"

#include "geometry/VoronoiEdgeGenerator.h"
#include "platform/Prefetch.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

bool Near(double ax, double ay, double bx, double by, double tolerance2) {
    const double dx = ax - bx;
    const double dy = ay - by;
    return dx * dx + dy * dy <= tolerance2;
}

CVoronoiSegment Reversed(const CVoronoiSegment& s) {
    return {s.x2, s.y2, s.x1, s.y1};
}

// The chaining itself, with its working lists given by the caller so that a
// run over many cells allocates them once.
bool Chain(CVoronoiSegment* segments, std::size_t count, double tolerance,
           std::vector<CVoronoiSegment>& rest, std::vector<CVoronoiSegment>& chain) {
    if (count <= 1)
        return true;
    const double tolerance2 = tolerance * tolerance;
    rest.assign(segments, segments + count - 1);
    // The chain grows both ways from the middle of its buffer.
    chain.resize(2 * count + 1);
    std::size_t front = count;
    std::size_t back = count;
    chain[back++] = segments[count - 1];
    while (!rest.empty()) {
        // Exact meetings first: where two vertices of a degenerate diagram
        // lie a rounding error apart, a tiny edge joins them, and attaching
        // a longer segment over it within the tolerance would strand it.
        bool attached = false;
        for (const double limit : {0.0, tolerance2}) {
            for (std::size_t i = 0; i < rest.size() && !attached; ++i) {
                const CVoronoiSegment& s = rest[i];
                const CVoronoiSegment& first = chain[front];
                const CVoronoiSegment& last = chain[back - 1];
                if (Near(first.x1, first.y1, s.x1, s.y1, limit)) {
                    chain[--front] = Reversed(s);
                } else if (Near(first.x1, first.y1, s.x2, s.y2, limit)) {
                    chain[--front] = s;
                } else if (Near(last.x2, last.y2, s.x1, s.y1, limit)) {
                    chain[back++] = s;
                } else if (Near(last.x2, last.y2, s.x2, s.y2, limit)) {
                    chain[back++] = Reversed(s);
                } else {
                    continue;
                }
                rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));
                attached = true;
            }
            if (attached)
                break;
        }
        if (!attached)
            return false;
    }
    std::copy(chain.begin() + static_cast<std::ptrdiff_t>(front),
              chain.begin() + static_cast<std::ptrdiff_t>(back), segments);
    return true;
}

constexpr std::size_t kSegmentsAhead = 12;

// A cell index along one axis; a degenerate axis (all sites on one line)
// has a single cell, and values beyond the grid go to its edge cells.
int CellIndex(double offset, double size, int cells) {
    if (cells <= 1 || !(size > 0.0))
        return 0;
    const double c = offset / size;
    if (!(c >= 0.0))
        return 0;
    if (c >= static_cast<double>(cells - 1))
        return cells - 1;
    return static_cast<int>(c);
}

// The nearest site to a point, through a uniform grid over the sites.
class SiteGrid {
public:
    void Build(const double* xs, const double* ys, const std::vector<int>& sites) {
        if (sites.empty())
            return;
        m_X0 = m_X1 = xs[sites[0]];
        m_Y0 = m_Y1 = ys[sites[0]];
        for (int s : sites) {
            m_X0 = std::min(m_X0, xs[s]);
            m_X1 = std::max(m_X1, xs[s]);
            m_Y0 = std::min(m_Y0, ys[s]);
            m_Y1 = std::max(m_Y1, ys[s]);
        }
        const double w = m_X1 - m_X0;
        const double h = m_Y1 - m_Y0;
        const double count = static_cast<double>(sites.size());
        // About one site per cell, the cells as square as the extent allows.
        if (w > 0.0 && h > 0.0) {
            m_Nx = static_cast<int>(std::clamp(std::sqrt(count * w / h), 1.0, count));
            m_Ny = static_cast<int>(std::clamp(count / m_Nx, 1.0, count));
        } else {
            m_Nx = w > 0.0 ? static_cast<int>(count) : 1;
            m_Ny = h > 0.0 ? static_cast<int>(count) : 1;
        }
        m_Cw = w / m_Nx;
        m_Ch = h / m_Ny;
        m_Start.assign(static_cast<std::size_t>(m_Nx) * m_Ny + 1, 0);
        for (int s : sites)
            ++m_Start[Cell(xs[s], ys[s]) + 1];
        for (std::size_t i = 1; i < m_Start.size(); ++i)
            m_Start[i] += m_Start[i - 1];
        m_Items.resize(sites.size());
        std::vector<std::size_t> fill(m_Start.begin(), m_Start.end() - 1);
        for (int s : sites)
            m_Items[fill[Cell(xs[s], ys[s])]++] = s;
    }

    // -1 without sites. Of equally near sites the one of lower rank.
    int Nearest(double px, double py, const double* xs, const double* ys, const int* rank) const {
        if (m_Items.empty())
            return -1;
        const int cx = CellIndex(px - m_X0, m_Cw, m_Nx);
        const int cy = CellIndex(py - m_Y0, m_Ch, m_Ny);
        double step = 0.0;
        if (m_Nx > 1)
            step = m_Cw;
        if (m_Ny > 1)
            step = step > 0.0 ? std::min(step, m_Ch) : m_Ch;
        int best = -1;
        double bestD2 = 0.0;
        const int rings = std::max(m_Nx, m_Ny);
        for (int r = 0; r < rings; ++r) {
            for (int y = cy - r; y <= cy + r; ++y) {
                if (y < 0 || y >= m_Ny)
                    continue;
                const bool edgeRow = y == cy - r || y == cy + r;
                for (int x = cx - r; x <= cx + r; x += edgeRow ? 1 : 2 * r) {
                    if (x >= 0 && x < m_Nx)
                        Visit(static_cast<std::size_t>(y) * m_Nx + x, px, py, xs, ys, rank, best, bestD2);
                    if (r == 0)
                        break;
                }
            }
            // Every site of the rings further out lies at least r cell
            // widths away.
            const double bound = r * step;
            if (best >= 0 && bound * bound > bestD2)
                break;
        }
        return best;
    }

private:
    std::size_t Cell(double x, double y) const {
        return static_cast<std::size_t>(CellIndex(y - m_Y0, m_Ch, m_Ny)) * m_Nx +
               CellIndex(x - m_X0, m_Cw, m_Nx);
    }
    void Visit(std::size_t cell, double px, double py, const double* xs, const double* ys, const int* rank,
               int& best, double& bestD2) const {
        for (std::size_t i = m_Start[cell]; i < m_Start[cell + 1]; ++i) {
            const int s = m_Items[i];
            const double dx = xs[s] - px;
            const double dy = ys[s] - py;
            const double d2 = dx * dx + dy * dy;
            if (best < 0 || d2 < bestD2 ||
                (d2 == bestD2 && (rank != nullptr ? rank[s] < rank[best] : s < best))) {
                best = s;
                bestD2 = d2;
            }
        }
    }

    double m_X0 = 0.0, m_X1 = 0.0, m_Y0 = 0.0, m_Y1 = 0.0;
    double m_Cw = 0.0, m_Ch = 0.0;
    int m_Nx = 1, m_Ny = 1;
    std::vector<std::size_t> m_Start;
    std::vector<int> m_Items;
};

} // namespace

bool BuildVoronoiCell(CVoronoiSegment* segments, std::size_t count, double tolerance) {
    std::vector<CVoronoiSegment> rest, chain;
    return Chain(segments, count, tolerance, rest, chain);
}

bool BuildVoronoiCell(std::vector<CVoronoiSegment>& segments, double tolerance) {
    return BuildVoronoiCell(segments.data(), segments.size(), tolerance);
}

bool CVoronoiCells::Build(const VoronoiEdgeGenerator& generator, const double* xs, const double* ys, int n,
                          const int* rank, double tolerance) {
    m_Status.clear();
    m_RingStart.clear();
    m_RingEnd.clear();
    m_Points.clear();
    m_Unchained = 0;
    if (n < 0)
        return false;
    try {
        const auto sites = static_cast<std::size_t>(n);
        const std::size_t total = generator.GetSegmentCount();
        // Which site takes each segment: the generator's two for an edge,
        // the nearest for a piece of the border.
        std::vector<std::size_t> start(sites + 1, 0);
        std::vector<char> hasEdge(sites, 0);
        const auto valid = [n](int s) { return s >= 0 && s < n; };
        for (std::size_t i = 0; i < total; ++i) {
            const VoronoiSegment& s = generator.GetSegment(i);
            if (valid(s.site1) && valid(s.site2)) {
                hasEdge[s.site1] = hasEdge[s.site2] = 1;
            }
        }
        std::vector<int> candidates;
        for (int s = 0; s < n; ++s)
            if (hasEdge[s])
                candidates.push_back(s);
        // Without any edge there is one location; its first site takes the
        // whole border.
        if (candidates.empty())
            for (int s = 0; s < n; ++s)
                candidates.push_back(s);
        SiteGrid grid;
        grid.Build(xs, ys, candidates);
        // The segments of a cell are gathered in the order the sweep met the
        // sites (by y): the edges it puts out together then land close
        // together, not scattered over the whole table as the caller's
        // numbers would scatter them. The generator kept that order; sorting
        // again is for a run it does not match.
        std::vector<int> order;
        if (generator.GetSiteOrder().size() == sites) {
            order = generator.GetSiteOrder();
        } else {
            order.resize(sites);
            for (int s = 0; s < n; ++s)
                order[s] = s;
            std::sort(order.begin(), order.end(), [xs, ys](int a, int b) {
                if (ys[a] != ys[b])
                    return ys[a] < ys[b];
                if (xs[a] != xs[b])
                    return xs[a] < xs[b];
                return a < b;
            });
        }
        std::vector<int> slot(sites);
        for (int k = 0; k < n; ++k)
            slot[order[k]] = k;
        std::vector<int> owner(total, -1);
        const VoronoiSegment* previous = nullptr;
        std::vector<char> skip(total, 0);
        for (std::size_t i = 0; i < total; ++i) {
            const VoronoiSegment& s = generator.GetSegment(i);
            if (previous != nullptr && previous->x1 == s.x1 && previous->y1 == s.y1 && previous->x2 == s.x2 &&
                previous->y2 == s.y2 && previous->site1 == s.site1 && previous->site2 == s.site2) {
                skip[i] = 1;
                continue;
            }
            previous = &s;
            if (s.site1 < 0 && s.site2 < 0) {
                owner[i] = grid.Nearest((s.x1 + s.x2) * 0.5, (s.y1 + s.y2) * 0.5, xs, ys, rank);
                if (owner[i] >= 0)
                    ++start[slot[owner[i]] + 1];
                continue;
            }
            if (valid(s.site1))
                ++start[slot[s.site1] + 1];
            if (valid(s.site2) && s.site2 != s.site1)
                ++start[slot[s.site2] + 1];
        }
        for (std::size_t i = 1; i <= sites; ++i)
            start[i] += start[i - 1];
        // Only the segments' numbers are gathered per cell: a copy of every
        // segment for each of its two cells would be the largest table of
        // the whole run.
        std::vector<std::size_t> cells(start[sites]);
        std::vector<std::size_t> fill(start.begin(), start.end() - 1);
        for (std::size_t i = 0; i < total; ++i) {
            if (skip[i])
                continue;
            if (owner[i] >= 0) {
                cells[fill[slot[owner[i]]]++] = i;
                continue;
            }
            const VoronoiSegment& s = generator.GetSegment(i);
            if (valid(s.site1))
                cells[fill[slot[s.site1]]++] = i;
            if (valid(s.site2) && s.site2 != s.site1)
                cells[fill[slot[s.site2]]++] = i;
        }
        std::vector<std::size_t>().swap(fill);

        m_Status.assign(sites, CS_NoSegments);
        m_RingStart.assign(sites, 0);
        m_RingEnd.assign(sites, 0);
        m_Points.reserve(cells.size() + 2 * sites);
        std::vector<CVoronoiSegment> cell, rest, chain;
        const double tolerance2 = tolerance * tolerance;
        for (std::size_t k = 0; k < sites; ++k) {
            const auto site = static_cast<std::size_t>(order[k]);
            m_RingStart[site] = m_RingEnd[site] = m_Points.size();
            if (start[k + 1] == start[k])
                continue;
            // Where more than three edges meet (sites on a common circle) the
            // sweep finds the vertex once per circle event, a rounding error
            // apart, and joins the copies with slivers shorter than the
            // tolerance: they are left out, and the ring bridges the gap.
            cell.clear();
            for (std::size_t j = start[k]; j < start[k + 1]; ++j) {
                // The segments of the next cells lie near, not next to,
                // these: ask for them ahead.
                if (j + kSegmentsAhead < cells.size())
                    corvale::PrefetchRead(&generator.GetSegment(cells[j + kSegmentsAhead]));
                const VoronoiSegment& s = generator.GetSegment(cells[j]);
                if (!Near(s.x1, s.y1, s.x2, s.y2, tolerance2))
                    cell.push_back({s.x1, s.y1, s.x2, s.y2});
            }
            CVoronoiSegment* first = cell.data();
            const std::size_t count = cell.size();
            // A ring needs three sides at least; one that does not come back
            // to its start has lost an edge and is not closed over the gap.
            if (count < 3 || !Chain(first, count, tolerance, rest, chain) ||
                !Near(first[count - 1].x2, first[count - 1].y2, first[0].x1, first[0].y1, tolerance2)) {
                m_Status[site] = CS_Unchained;
                ++m_Unchained;
                continue;
            }
            const std::size_t ringStart = m_Points.size();
            m_Points.push_back({first[0].x1, first[0].y1});
            for (std::size_t i = 0; i + 1 < count; ++i)
                m_Points.push_back({first[i].x2, first[i].y2});
            m_Points.push_back(m_Points[ringStart]);
            // Summed relative to the first point, so that projected
            // coordinates keep the sign of a small cell's area.
            const CShapePoint o = m_Points[ringStart];
            double twiceArea = 0.0;
            for (std::size_t i = ringStart; i + 1 < m_Points.size(); ++i)
                twiceArea += (m_Points[i].x - o.x) * (m_Points[i + 1].y - o.y) -
                             (m_Points[i + 1].x - o.x) * (m_Points[i].y - o.y);
            if (twiceArea > 0.0)
                std::reverse(m_Points.begin() + static_cast<std::ptrdiff_t>(ringStart), m_Points.end());
            m_Status[site] = CS_Ring;
            m_RingEnd[site] = m_Points.size();
        }
        return true;
    } catch (const std::bad_alloc&) {
        m_Status.clear();
        m_RingStart.clear();
        m_RingEnd.clear();
        m_Points.clear();
        return false;
    }
}
