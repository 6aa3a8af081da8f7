#include "geometry/ShapeCutting.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// Z of a vertex made at a crossing.
constexpr double kCrossingZ = 0.0;

// One part or ring of the source with a vertex added at each crossing, and
// the indexes (into its points) where the cut divides it.
struct CCutPart {
    CShapePiece seq;
    std::vector<std::uint32_t> cuts;
};

CCutPart CutPart(const CShapePiece& source, std::uint32_t part, bool withZ, const double cut[4]) {
    CCutPart result;
    result.seq.StartPart();
    const std::uint32_t begin = source.PartBegin(part);
    const std::uint32_t end = source.PartEnd(part);
    auto mark = [&result] {
        const std::uint32_t at = result.seq.PointCount() - 1;
        if (result.cuts.empty() || result.cuts.back() != at)
            result.cuts.push_back(at);
    };
    result.seq.Add(source.m_Points[begin], withZ, withZ ? source.m_Z[begin] : 0.0);
    for (std::uint32_t i = begin + 1; i < end; ++i) {
        const CShapePoint& a = source.m_Points[i - 1];
        const CShapePoint& b = source.m_Points[i];
        const double s[4] = {a.x, a.y, b.x, b.y};
        CShapePoint x;
        if (SegmentIntersectionPoint(s, cut, x)) {
            // A crossing at a vertex divides there once: no vertex is added
            // beside the one already there.
            if (x == a) {
                mark();
            } else if (x == b) {
                result.seq.Add(b, withZ, withZ ? source.m_Z[i] : 0.0);
                mark();
                continue;
            } else {
                result.seq.Add(x, withZ, kCrossingZ);
                mark();
            }
        }
        result.seq.Add(b, withZ, withZ ? source.m_Z[i] : 0.0);
    }
    return result;
}

// Whether the points first..last (inclusive) of the sequence are all one point.
bool AllOnePoint(const CShapePiece& seq, std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t i = first + 1; i <= last; ++i)
        if (!(seq.m_Points[i] == seq.m_Points[first]))
            return false;
    return true;
}

// Drops the cuts that would leave a stretch of no length behind: at the
// part's ends, and repeated cuts at one point.
void KeepLineCuts(CCutPart& part) {
    const std::uint32_t last = part.seq.PointCount() - 1;
    std::vector<std::uint32_t> kept;
    for (std::uint32_t c : part.cuts) {
        const std::uint32_t previous = kept.empty() ? 0 : kept.back();
        if (c == 0 || c >= last || AllOnePoint(part.seq, previous, c))
            continue;
        kept.push_back(c);
    }
    while (!kept.empty() && AllOnePoint(part.seq, kept.back(), last))
        kept.pop_back();
    part.cuts = std::move(kept);
}

// The same for a closed ring, whose last point is its first: a cut there is
// a cut at 0.
void KeepRingCuts(CCutPart& part) {
    const std::uint32_t last = part.seq.PointCount() - 1;
    std::vector<std::uint32_t> cuts;
    for (std::uint32_t c : part.cuts)
        cuts.push_back(c == last ? 0 : c);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<std::uint32_t> kept;
    for (std::uint32_t c : cuts) {
        if (!kept.empty() && AllOnePoint(part.seq, kept.back(), c))
            continue;
        kept.push_back(c);
    }
    // The stretch from the last cut round through the ring's start.
    while (kept.size() > 1 && AllOnePoint(part.seq, kept.back(), last) && AllOnePoint(part.seq, 0, kept.front()))
        kept.pop_back();
    part.cuts = std::move(kept);
}

bool SplitPolyline(const CShapePiece& source, std::uint32_t type, std::uint32_t number, const double cut[4],
                   CShapeRecordVector& out) {
    const bool withZ = IsShapeZType(type);
    std::vector<CShapePiece> pieces(1);
    std::size_t crossings = 0;
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        CCutPart part = CutPart(source, j, withZ, cut);
        KeepLineCuts(part);
        crossings += part.cuts.size();
        pieces.back().StartPart();
        pieces.back().AddFrom(part.seq, 0, withZ);
        std::size_t next = 0;
        for (std::uint32_t k = 1; k < part.seq.PointCount(); ++k) {
            pieces.back().AddFrom(part.seq, k, withZ);
            if (next < part.cuts.size() && part.cuts[next] == k) {
                ++next;
                pieces.emplace_back();
                pieces.back().StartPart();
                pieces.back().AddFrom(part.seq, k, withZ);
            }
        }
    }
    if (crossings == 0)
        return false;
    for (const CShapePiece& piece : pieces) {
        CShapeRecord* record = BuildShapeRecord(type, number, piece);
        if (record == nullptr) {
            DeleteShapeRecords(out);
            return false;
        }
        out.push_back(record);
    }
    return true;
}

// p inside the rings by the crossing rule (holes and islands by how the
// rings nest, whatever their turning).
bool InsideRings(const CShapePiece& rings, const CShapePoint& p) {
    bool inside = false;
    for (std::uint32_t j = 0; j < rings.PartCount(); ++j) {
        const std::uint32_t begin = rings.PartBegin(j);
        const std::uint32_t end = rings.PartEnd(j);
        for (std::uint32_t i = begin + 1; i < end; ++i) {
            const CShapePoint& a = rings.m_Points[i - 1];
            const CShapePoint& b = rings.m_Points[i];
            if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
                inside = !inside;
        }
    }
    return inside;
}

struct CCrossing {
    std::uint32_t ring = 0;  // index into the cut rings
    std::uint32_t order = 0; // position among that ring's cuts
    double along = 0.0;      // position along the cut
    std::size_t partner = 0;
    bool paired = false;
};

bool SplitPolygon(const CShapePiece& source, std::uint32_t type, std::uint32_t number, const double cut[4],
                  CShapeRecordVector& out) {
    const bool withZ = IsShapeZType(type);
    std::vector<CCutPart> rings;           // the rings the cut crosses
    std::vector<std::uint32_t> whole;      // source rings it misses
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        CCutPart ring = CutPart(source, j, withZ, cut);
        const std::uint32_t n = ring.seq.PointCount();
        if (ring.cuts.empty()) {
            whole.push_back(j);
            continue;
        }
        if (n < 4 || !(ring.seq.m_Points[0] == ring.seq.m_Points[n - 1]))
            return false;
        KeepRingCuts(ring);
        rings.push_back(std::move(ring));
    }

    // Every crossing, and the first crossing of each ring among them.
    std::vector<CCrossing> crossings;
    std::vector<std::size_t> firstOfRing;
    const double dx = cut[2] - cut[0];
    const double dy = cut[3] - cut[1];
    for (std::uint32_t r = 0; r < rings.size(); ++r) {
        firstOfRing.push_back(crossings.size());
        for (std::uint32_t q = 0; q < rings[r].cuts.size(); ++q) {
            const CShapePoint& x = rings[r].seq.m_Points[rings[r].cuts[q]];
            CCrossing c;
            c.ring = r;
            c.order = q;
            c.along = (x.x - cut[0]) * dx + (x.y - cut[1]) * dy;
            crossings.push_back(c);
        }
    }
    if (crossings.empty() || crossings.size() % 2 != 0)
        return false;

    // Along the cut, two neighbouring crossings with the polygon between them
    // are joined by the cut; every crossing must be joined to exactly one.
    std::vector<std::size_t> byAlong(crossings.size());
    for (std::size_t i = 0; i < byAlong.size(); ++i)
        byAlong[i] = i;
    std::stable_sort(byAlong.begin(), byAlong.end(),
                     [&](std::size_t a, std::size_t b) { return crossings[a].along < crossings[b].along; });
    auto pointOf = [&](std::size_t c) -> const CShapePoint& {
        const CCutPart& ring = rings[crossings[c].ring];
        return ring.seq.m_Points[ring.cuts[crossings[c].order]];
    };
    for (std::size_t i = 0; i + 1 < byAlong.size(); ++i) {
        CCrossing& a = crossings[byAlong[i]];
        CCrossing& b = crossings[byAlong[i + 1]];
        if (a.paired || b.paired)
            continue;
        const CShapePoint& pa = pointOf(byAlong[i]);
        const CShapePoint& pb = pointOf(byAlong[i + 1]);
        if (!InsideRings(source, {(pa.x + pb.x) / 2, (pa.y + pb.y) / 2}))
            continue;
        a.paired = b.paired = true;
        a.partner = byAlong[i + 1];
        b.partner = byAlong[i];
    }
    for (const CCrossing& c : crossings)
        if (!c.paired)
            return false;

    // Each crossing starts the stretch of its ring up to the ring's next
    // crossing; a piece follows stretches, joined along the cut, until it is
    // back at the stretch it began with.
    auto nextOnRing = [&](std::size_t c) {
        const CCrossing& x = crossings[c];
        const std::size_t count = rings[x.ring].cuts.size();
        return firstOfRing[x.ring] + (x.order + 1) % count;
    };
    std::vector<bool> used(crossings.size(), false);
    std::vector<CShapePiece> pieces;
    std::vector<std::size_t> order;
    // The first ring's stretch through its start comes first.
    order.push_back(firstOfRing[0] + rings[0].cuts.size() - 1);
    for (std::size_t c = 0; c < crossings.size(); ++c)
        if (c != order[0])
            order.push_back(c);
    for (std::size_t start : order) {
        if (used[start])
            continue;
        CShapePiece piece;
        piece.StartPart();
        std::size_t ringStartAt = SIZE_MAX; // where the first ring's start went in
        std::size_t c = start;
        do {
            if (used[c])
                return false;
            used[c] = true;
            const CCutPart& ring = rings[crossings[c].ring];
            // The ring's distinct positions: its last point repeats the first.
            const std::uint32_t count = ring.seq.PointCount() - 1;
            const std::uint32_t from = ring.cuts[crossings[c].order];
            const std::uint32_t to = ring.cuts[crossings[nextOnRing(c)].order];
            // A ring crossed once is gone round whole.
            const std::uint32_t steps = ring.cuts.size() == 1 ? count : (to + count - from) % count;
            std::uint32_t i = from;
            for (std::uint32_t step = 0; step <= steps; ++step) {
                if (crossings[c].ring == 0 && i == 0 && ringStartAt == SIZE_MAX && pieces.empty())
                    ringStartAt = piece.PointCount();
                piece.AddFrom(ring.seq, i, withZ);
                i = (i + 1) % count;
            }
            c = crossings[nextOnRing(c)].partner;
        } while (c != start);
        // Begin the first piece at the start of the first ring.
        if (ringStartAt != SIZE_MAX && ringStartAt > 0) {
            std::rotate(piece.m_Points.begin(), piece.m_Points.begin() + ringStartAt, piece.m_Points.end());
            if (withZ) {
                std::rotate(piece.m_Z.begin(), piece.m_Z.begin() + ringStartAt, piece.m_Z.end());
                std::rotate(piece.m_M.begin(), piece.m_M.begin() + ringStartAt, piece.m_M.end());
            }
        }
        const CShapePoint opening = piece.m_Points[0];
        piece.Add(opening, withZ, withZ ? piece.m_Z[0] : 0.0);
        pieces.push_back(std::move(piece));
    }

    // The rings the cut missed go with the piece that holds them.
    std::vector<std::vector<std::uint32_t>> holds(pieces.size());
    for (std::uint32_t j : whole) {
        const CShapePoint& p = source.m_Points[source.PartBegin(j)];
        std::size_t owner = 0;
        for (std::size_t k = 0; k < pieces.size(); ++k)
            if (InsideRings(pieces[k], p)) {
                owner = k;
                break;
            }
        holds[owner].push_back(j);
    }
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        CShapePiece& piece = pieces[k];
        for (std::uint32_t j : holds[k]) {
            piece.StartPart();
            for (std::uint32_t i = source.PartBegin(j); i < source.PartEnd(j); ++i)
                piece.Add(source.m_Points[i], withZ, withZ ? source.m_Z[i] : 0.0, 0.0);
        }
        CShapeRecord* record = BuildShapeRecord(type, number, piece);
        if (record == nullptr) {
            DeleteShapeRecords(out);
            return false;
        }
        out.push_back(record);
    }
    return true;
}

} // namespace

bool SegmentIntersectionPoint(const double s[4], const double t[4], CShapePoint& point) {
    const double d = (t[3] - t[1]) * (s[2] - s[0]) - (s[3] - s[1]) * (t[2] - t[0]);
    if (d == 0.0)
        return false;
    const double ua = ((s[1] - t[1]) * (t[2] - t[0]) - (t[3] - t[1]) * (s[0] - t[0])) / d;
    const double ub = ((s[1] - t[1]) * (s[2] - s[0]) - (s[3] - s[1]) * (s[0] - t[0])) / d;
    if (!(ua >= 0.0 && ua <= 1.0 && ub >= 0.0 && ub <= 1.0))
        return false;
    point = {s[0] + ua * (s[2] - s[0]), s[1] + ua * (s[3] - s[1])};
    return true;
}

CShapeRecord* InsertCrossingVertices(const CShapeRecord* record, const double cut[4]) {
    CShapePiece source;
    if (!ReadShapePiece(record, source))
        return nullptr;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const bool withZ = IsShapeZType(type);
    CShapePiece out;
    std::size_t inserted = 0;
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        const std::uint32_t begin = source.PartBegin(j);
        out.StartPart();
        out.Add(source.m_Points[begin], withZ, withZ ? source.m_Z[begin] : 0.0);
        for (std::uint32_t i = begin + 1; i < source.PartEnd(j); ++i) {
            const CShapePoint& a = source.m_Points[i - 1];
            const CShapePoint& b = source.m_Points[i];
            const double s[4] = {a.x, a.y, b.x, b.y};
            CShapePoint x;
            if (SegmentIntersectionPoint(s, cut, x)) {
                out.Add(x, withZ, kCrossingZ);
                ++inserted;
            }
            out.Add(b, withZ, withZ ? source.m_Z[i] : 0.0);
        }
    }
    if (inserted == 0)
        return nullptr;
    return BuildShapeRecord(type, static_cast<std::uint32_t>(GetShapeRecordIndex(record)) + 1u, out);
}

bool SplitShapeAlongSegment(const CShapeRecord* record, const double cut[4], CShapeRecordVector& out) {
    out.clear();
    CShapePiece source;
    if (!ReadShapePiece(record, source))
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const std::uint32_t number = static_cast<std::uint32_t>(GetShapeRecordIndex(record)) + 1u;
    if (GetShapeFamily(type) == SHT_Polyline)
        return SplitPolyline(source, type, number, cut, out);
    return SplitPolygon(source, type, number, cut, out);
}

bool SplitPolylineAtVertex(const CShapeRecord* record, const CShapePoint& vertex, CShapeRecordVector& out) {
    out.clear();
    CShapePiece source;
    if (!ReadShapePiece(record, source) || GetShapeFamily(CShapeRecord::GetShapeType(record)) != SHT_Polyline)
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const bool withZ = IsShapeZType(type);
    const auto found = std::find(source.m_Points.begin(), source.m_Points.end(), vertex);
    if (found == source.m_Points.end())
        return false;
    const auto g = static_cast<std::uint32_t>(found - source.m_Points.begin());
    if (g == 0 || g + 1 == source.PointCount())
        return false;

    // The part holding the vertex.
    std::uint32_t part = 0;
    while (part + 1 < source.PartCount() && source.PartBegin(part + 1) <= g)
        ++part;
    const bool startsPart = g == source.PartBegin(part);
    const bool endsPart = g + 1 == source.PartEnd(part);
    const std::uint32_t firstEnd = startsPart ? g : g + 1;   // one past the first record's points
    const std::uint32_t secondBegin = endsPart && !startsPart ? g + 1 : g;

    CShapePiece first, second;
    for (std::uint32_t j = 0; j < source.PartCount(); ++j) {
        const std::uint32_t begin = source.PartBegin(j);
        const std::uint32_t end = source.PartEnd(j);
        for (std::uint32_t i = begin; i < end; ++i) {
            if (i < firstEnd) {
                if (i == begin)
                    first.StartPart();
                first.AddFrom(source, i, withZ);
            }
            if (i >= secondBegin) {
                if (i == begin || i == secondBegin)
                    second.StartPart();
                second.AddFrom(source, i, withZ);
            }
        }
    }
    CShapeRecord* a = BuildShapeRecord(type, 1, first);
    CShapeRecord* b = a != nullptr ? BuildShapeRecord(type, 1, second) : nullptr;
    if (b == nullptr) {
        if (a != nullptr)
            FreeShapeRecord(a);
        return false;
    }
    out.push_back(a);
    out.push_back(b);
    return true;
}
