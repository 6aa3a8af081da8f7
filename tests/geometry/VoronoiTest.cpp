// The sweep-line Voronoi generator and the cells built from its segments:
// the partition of the box, agreement with GEOS's cells, and the cases where
// the sweep's hash tables see sites on one line, repeated sites or a corner.

#include "geometry/VoronoiCells.h"
#include "geometry/VoronoiEdgeGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

struct Box {
    double minX, minY, maxX, maxY;
    double Area() const { return (maxX - minX) * (maxY - minY); }
};

struct CellShape {
    double area = 0.0;
    double cx = 0.0;
    double cy = 0.0;
};

// Area (positive for the clockwise rings the cells are) and centroid,
// summed relative to the first point so that projected coordinates keep
// their precision.
CellShape Measure(const CShapePoint* ring, std::size_t size) {
    double a = 0.0, cx = 0.0, cy = 0.0;
    const double ox = size > 0 ? ring[0].x : 0.0;
    const double oy = size > 0 ? ring[0].y : 0.0;
    for (std::size_t i = 0; i + 1 < size; ++i) {
        const double x0 = ring[i].x - ox, y0 = ring[i].y - oy;
        const double x1 = ring[i + 1].x - ox, y1 = ring[i + 1].y - oy;
        const double cross = x0 * y1 - x1 * y0;
        a += cross;
        cx += (x0 + x1) * cross;
        cy += (y0 + y1) * cross;
    }
    CellShape shape;
    shape.area = -a / 2.0;
    if (a != 0.0) {
        shape.cx = ox + cx / (3.0 * a);
        shape.cy = oy + cy / (3.0 * a);
    }
    return shape;
}

struct Diagram {
    VoronoiEdgeGenerator generator;
    CVoronoiCells cells;
    bool Run(const std::vector<double>& xs, const std::vector<double>& ys, const Box& box, double minDist = 0.0) {
        return generator.GenerateVoronoiEdges(xs.data(), ys.data(), static_cast<int>(xs.size()), box.minX,
                                              box.maxX, box.minY, box.maxY, minDist) &&
               cells.Build(generator, xs.data(), ys.data(), static_cast<int>(xs.size()), nullptr, 1e-8);
    }
    int RingCount() const {
        int rings = 0;
        for (int s = 0; s < cells.GetSiteCount(); ++s)
            rings += cells.GetStatus(s) == CVoronoiCells::CS_Ring;
        return rings;
    }
    double AreaSum() const {
        double sum = 0.0;
        for (int s = 0; s < cells.GetSiteCount(); ++s)
            if (cells.GetStatus(s) == CVoronoiCells::CS_Ring)
                sum += Measure(cells.GetRing(s), cells.GetRingSize(s)).area;
        return sum;
    }
    std::vector<VoronoiSegment> Segments() const {
        std::vector<VoronoiSegment> list;
        for (std::size_t i = 0; i < generator.GetSegmentCount(); ++i)
            list.push_back(generator.GetSegment(i));
        return list;
    }
};

bool InsideRing(const CShapePoint* ring, std::size_t size, double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = size - 1; i < size; j = i++) {
        if ((ring[i].y > y) != (ring[j].y > y) &&
            x < (ring[j].x - ring[i].x) * (y - ring[i].y) / (ring[j].y - ring[i].y) + ring[i].x)
            inside = !inside;
    }
    return inside;
}

// For random point sets the cells partition the box: one ring per distinct
// site, each holding its site, their areas summing to the box's.
TEST(VoronoiCells, RandomSitesPartitionTheBox) {
    struct Case {
        const char* name;
        int count;
        Box box;
        // Sites rounded to this grid step (0: none), which repeats sites
        // and puts many on common lines and circles.
        double step;
    };
    const Case cases[] = {
        {"uniform small", 7, {0, 0, 10, 10}, 0.0},
        {"uniform", 2000, {-5, -5, 105, 105}, 0.0},
        {"wide box", 500, {-1000, -300, 1100, 400}, 0.0},
        {"rounded to a coarse grid", 800, {-1, -1, 101, 101}, 5.0},
        {"rounded to a fine grid", 3000, {0, 0, 100, 100}, 0.5},
        {"projected coordinates", 1500, {500000, 5200000, 500100, 5200100}, 0.0},
    };
    std::mt19937 rng(42);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uniform_real_distribution<double> ux(c.box.minX, c.box.maxX), uy(c.box.minY, c.box.maxY);
        std::vector<double> xs, ys;
        std::set<std::pair<double, double>> distinct;
        for (int i = 0; i < c.count; ++i) {
            double x = ux(rng), y = uy(rng);
            if (c.step > 0) {
                x = std::round(x / c.step) * c.step;
                y = std::round(y / c.step) * c.step;
            }
            xs.push_back(x);
            ys.push_back(y);
            distinct.insert({x, y});
        }
        Diagram d;
        ASSERT_TRUE(d.Run(xs, ys, c.box));
        EXPECT_EQ(d.RingCount(), static_cast<int>(distinct.size()));
        EXPECT_EQ(d.cells.GetUnchainedCount(), 0);
        EXPECT_NEAR(d.AreaSum(), c.box.Area(), c.box.Area() * 1e-9);
        for (int s = 0; s < d.cells.GetSiteCount(); ++s) {
            if (d.cells.GetStatus(s) != CVoronoiCells::CS_Ring)
                continue;
            const CellShape shape = Measure(d.cells.GetRing(s), d.cells.GetRingSize(s));
            EXPECT_GT(shape.area, 0.0) << "site " << s << " ring is clockwise";
            // A site on the box's border lies on its ring, not inside.
            if (xs[s] > c.box.minX && xs[s] < c.box.maxX && ys[s] > c.box.minY && ys[s] < c.box.maxY) {
                EXPECT_TRUE(InsideRing(d.cells.GetRing(s), d.cells.GetRingSize(s), xs[s], ys[s])) << "site " << s;
            }
        }
    }
}

struct PeerBox {
    const char* set;
    double minX, minY, maxX, maxY;
};
struct PeerCell {
    const char* set;
    double x, y, area, cx, cy;
};
const PeerBox kPeerBoxes[] = {
#define VORONOI_PEER_BOXES
#include "../data/geometry/peer_voronoi_cells.inc"
#undef VORONOI_PEER_BOXES
};
const PeerCell kPeerCells[] = {
#include "../data/geometry/peer_voronoi_cells.inc"
};

// Every cell matches GEOS's cell of the same site in area and centroid.
TEST(VoronoiCells, MatchPeerCells) {
    for (const PeerBox& box : kPeerBoxes) {
        SCOPED_TRACE(box.set);
        std::vector<double> xs, ys;
        std::vector<const PeerCell*> expected;
        for (const PeerCell& cell : kPeerCells)
            if (std::string(cell.set) == box.set) {
                xs.push_back(cell.x);
                ys.push_back(cell.y);
                expected.push_back(&cell);
            }
        ASSERT_FALSE(xs.empty());
        Diagram d;
        ASSERT_TRUE(d.Run(xs, ys, {box.minX, box.minY, box.maxX, box.maxY}));
        const double size = std::max(box.maxX - box.minX, box.maxY - box.minY);
        for (std::size_t s = 0; s < xs.size(); ++s) {
            ASSERT_EQ(d.cells.GetStatus(static_cast<int>(s)), CVoronoiCells::CS_Ring) << "site " << s;
            const CellShape shape = Measure(d.cells.GetRing(static_cast<int>(s)), d.cells.GetRingSize(static_cast<int>(s)));
            EXPECT_NEAR(shape.area, expected[s]->area, size * size * 1e-9) << "site " << s;
            EXPECT_NEAR(shape.cx, expected[s]->cx, size * 1e-9) << "site " << s;
            EXPECT_NEAR(shape.cy, expected[s]->cy, size * 1e-9) << "site " << s;
        }
    }
}

std::multiset<std::vector<double>> SegmentSet(const std::vector<VoronoiSegment>& segments) {
    std::multiset<std::vector<double>> set;
    for (const VoronoiSegment& s : segments) {
        std::vector<double> key{s.x1, s.y1, s.x2, s.y2};
        if (std::make_pair(s.x2, s.y2) < std::make_pair(s.x1, s.y1))
            key = {s.x2, s.y2, s.x1, s.y1};
        set.insert(key);
    }
    return set;
}

TEST(VoronoiEdgeGenerator, OneSiteGivesTheFourSides) {
    Diagram d;
    ASSERT_TRUE(d.Run({3.0}, {4.0}, {0, 0, 10, 8}));
    const std::multiset<std::vector<double>> expected{
        {0, 0, 10, 0}, {10, 0, 10, 8}, {0, 8, 10, 8}, {0, 0, 0, 8}};
    EXPECT_EQ(SegmentSet(d.Segments()), expected);
    ASSERT_EQ(d.cells.GetStatus(0), CVoronoiCells::CS_Ring);
    EXPECT_EQ(d.cells.GetRingSize(0), 5u);
    EXPECT_DOUBLE_EQ(Measure(d.cells.GetRing(0), 5).area, 80.0);
}

TEST(VoronoiEdgeGenerator, TwoSitesGiveTheBisectorAndSixBorderPieces) {
    Diagram d;
    // The bisector of (2, 2) and (6, 4) is y = -2x + 11: it meets the box
    // (0..10, 0..10) at (0.5, 10) and (5.5, 0).
    ASSERT_TRUE(d.Run({2.0, 6.0}, {2.0, 4.0}, {0, 0, 10, 10}));
    const std::vector<VoronoiSegment> segments = d.Segments();
    ASSERT_EQ(segments.size(), 7u);
    int edges = 0;
    for (const VoronoiSegment& s : segments) {
        if (s.site1 < 0)
            continue;
        ++edges;
        EXPECT_EQ(std::min(s.site1, s.site2), 0);
        EXPECT_EQ(std::max(s.site1, s.site2), 1);
        const std::vector<double> key = *SegmentSet({s}).begin();
        EXPECT_NEAR(key[0], 0.5, 1e-12);
        EXPECT_NEAR(key[1], 10.0, 1e-12);
        EXPECT_NEAR(key[2], 5.5, 1e-12);
        EXPECT_NEAR(key[3], 0.0, 1e-12);
    }
    EXPECT_EQ(edges, 1);
    // The border pieces come first in the list (they are added last).
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(segments[i].site1, -1) << i;
    EXPECT_NEAR(d.AreaSum(), 100.0, 1e-9);
    EXPECT_EQ(d.RingCount(), 2);
}

// Sites on one horizontal or vertical line leave one extent 0: the bucket
// computations divide by zero and must still land inside the tables (the
// sanitizers catch a cast of infinity or NaN to an integer).
TEST(VoronoiEdgeGenerator, SitesOnOneLine) {
    struct Case {
        const char* name;
        std::vector<double> xs, ys;
    };
    const Case cases[] = {
        {"horizontal", {1, 2, 3, 5, 8, 9}, {4, 4, 4, 4, 4, 4}},
        {"vertical", {4, 4, 4, 4, 4}, {9, 1, 3, 2, 7}},
        {"diagonal", {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
        {"two horizontal", {2, 7}, {5, 5}},
        {"two vertical", {5, 5}, {2, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Diagram d;
        ASSERT_TRUE(d.Run(c.xs, c.ys, {0, 0, 10, 10}));
        EXPECT_EQ(d.RingCount(), static_cast<int>(c.xs.size()));
        EXPECT_NEAR(d.AreaSum(), 100.0, 1e-9);
        for (std::size_t s = 0; s < c.xs.size(); ++s)
            EXPECT_TRUE(InsideRing(d.cells.GetRing(static_cast<int>(s)), d.cells.GetRingSize(static_cast<int>(s)),
                                   c.xs[s], c.ys[s]))
                << "site " << s;
    }
}

// Repeated sites are kept once, by the first of them; the repeats get no
// cell and no NaN from a bisector of two equal points reaches the tables.
TEST(VoronoiEdgeGenerator, RepeatedSitesCountOnce) {
    struct Case {
        const char* name;
        std::vector<double> xs, ys;
        std::vector<int> withCell;
    };
    const Case cases[] = {
        {"all at one location", {5, 5, 5}, {5, 5, 5}, {0}},
        {"a pair repeated", {2, 8, 2, 8}, {3, 7, 3, 7}, {0, 1}},
        {"repeats on a line", {1, 1, 4, 4, 9}, {5, 5, 5, 5, 5}, {0, 2, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Diagram d;
        ASSERT_TRUE(d.Run(c.xs, c.ys, {0, 0, 10, 10}));
        std::vector<int> withCell;
        for (int s = 0; s < d.cells.GetSiteCount(); ++s) {
            if (d.cells.GetStatus(s) == CVoronoiCells::CS_Ring)
                withCell.push_back(s);
            else
                EXPECT_EQ(d.cells.GetStatus(s), CVoronoiCells::CS_NoSegments) << "site " << s;
        }
        EXPECT_EQ(withCell, c.withCell);
        EXPECT_NEAR(d.AreaSum(), 100.0, 1e-9);
    }
}

TEST(VoronoiEdgeGenerator, EdgeThroughACornerLeavesNoEmptyPiece) {
    // The bisector of (1, 3) and (3, 1) is y = x, through two corners.
    Diagram d;
    ASSERT_TRUE(d.Run({1.0, 3.0}, {3.0, 1.0}, {0, 0, 4, 4}));
    for (const VoronoiSegment& s : d.Segments())
        EXPECT_FALSE(s.x1 == s.x2 && s.y1 == s.y2);
    EXPECT_EQ(d.Segments().size(), 5u);
    EXPECT_EQ(d.RingCount(), 2);
    EXPECT_NEAR(d.AreaSum(), 16.0, 1e-12);
}

TEST(VoronoiEdgeGenerator, MinimumDistanceDropsCloseBisectors) {
    VoronoiEdgeGenerator generator;
    const double xs[] = {4.0, 6.0};
    const double ys[] = {5.0, 5.0};
    ASSERT_TRUE(generator.GenerateVoronoiEdges(xs, ys, 2, 0, 10, 0, 10, 3.0));
    for (std::size_t i = 0; i < generator.GetSegmentCount(); ++i)
        EXPECT_EQ(generator.GetSegment(i).site1, -1);
    EXPECT_EQ(generator.GetSegmentCount(), 4u);
    ASSERT_TRUE(generator.GenerateVoronoiEdges(xs, ys, 2, 0, 10, 0, 10, 1.0));
    EXPECT_EQ(generator.GetSegmentCount(), 7u);
}

TEST(VoronoiEdgeGenerator, RefusesWhatItCannotSweep) {
    VoronoiEdgeGenerator generator;
    const double xs[] = {1.0, NAN};
    const double ys[] = {1.0, 2.0};
    EXPECT_FALSE(generator.GenerateVoronoiEdges(xs, ys, 2, 0, 10, 0, 10, 0));
    EXPECT_EQ(generator.GetSegmentCount(), 0u);
    EXPECT_FALSE(generator.GenerateVoronoiEdges(xs, ys, 1, 0, INFINITY, 0, 10, 0));
    EXPECT_FALSE(generator.GenerateVoronoiEdges(xs, ys, -1, 0, 10, 0, 10, 0));
    // The box may come with its limits swapped.
    EXPECT_TRUE(generator.GenerateVoronoiEdges(xs, ys, 1, 10, 0, 10, 0, 0));
    EXPECT_EQ(generator.GetSegmentCount(), 4u);
}

TEST(BuildVoronoiCell, ChainsTurningSegmentsRound) {
    struct Case {
        const char* name;
        std::vector<CVoronoiSegment> segments;
        bool chained;
    };
    const Case cases[] = {
        {"empty", {}, true},
        {"one segment", {{0, 0, 1, 0}}, true},
        {"square, mixed directions", {{1, 0, 0, 0}, {1, 1, 1, 0}, {0, 1, 1, 1}, {0, 0, 0, 1}}, true},
        {"within tolerance", {{0, 0, 1, 0}, {1, 5e-9, 1, 1}, {1, 1, 0, 0}}, true},
        {"a gap", {{0, 0, 1, 0}, {1, 1e-6, 1, 1}, {1, 1, 0, 0}}, true},
        {"a stray segment", {{0, 0, 1, 0}, {5, 5, 6, 6}, {1, 0, 0, 1}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CVoronoiSegment> segments = c.segments;
        ASSERT_EQ(BuildVoronoiCell(segments, 1e-8), c.chained);
        if (!c.chained || segments.size() < 2)
            continue;
        for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
            EXPECT_NEAR(segments[i].x2, segments[i + 1].x1, 1e-8) << i;
            EXPECT_NEAR(segments[i].y2, segments[i + 1].y1, 1e-8) << i;
        }
    }
}

// A cell whose segments chain but do not come back to the start has lost an
// edge: it is counted, never closed with a straight shortcut.
TEST(VoronoiCells, OpenChainGivesNoRing) {
    // minDist drops the only bisector: each site is left with two sides of
    // the box, an open corner that a shortcut would make a triangle of.
    VoronoiEdgeGenerator generator;
    const double xs[] = {4.0, 6.0};
    const double ys[] = {5.0, 1.0};
    ASSERT_TRUE(generator.GenerateVoronoiEdges(xs, ys, 2, 0, 10, 0, 10, 100.0));
    CVoronoiCells cells;
    ASSERT_TRUE(cells.Build(generator, xs, ys, 2, nullptr, 1e-8));
    EXPECT_EQ(cells.GetStatus(0), CVoronoiCells::CS_Unchained);
    EXPECT_EQ(cells.GetStatus(1), CVoronoiCells::CS_Unchained);
    EXPECT_EQ(cells.GetUnchainedCount(), 2);
    EXPECT_EQ(cells.GetRingSize(0), 0u);
}

// Border pieces equally near to two sites go to the site of lower rank,
// whatever their numbers: two sites at one location tie on every piece.
TEST(VoronoiCells, TiesGoToTheLowerRank) {
    const double xs[] = {5.0, 5.0};
    const double ys[] = {5.0, 5.0};
    VoronoiEdgeGenerator generator;
    ASSERT_TRUE(generator.GenerateVoronoiEdges(xs, ys, 2, 0, 10, 0, 10, 0.0));
    for (const auto& ranks : {std::vector<int>{0, 1}, std::vector<int>{7, 3}}) {
        CVoronoiCells cells;
        ASSERT_TRUE(cells.Build(generator, xs, ys, 2, ranks.data(), 1e-8));
        const int winner = ranks[0] < ranks[1] ? 0 : 1;
        EXPECT_EQ(cells.GetStatus(winner), CVoronoiCells::CS_Ring);
        EXPECT_EQ(cells.GetStatus(1 - winner), CVoronoiCells::CS_NoSegments);
    }
}

} // namespace

// The exact output, segment by segment and ring by ring, recorded from the
// sweep on point sets where its lookups are stressed: sites spread evenly,
// sites crowded in one tight cluster (where a table sized for even spreads
// puts almost everything in one bucket), and an integer grid, where many
// sites share a line or a circle and ties decide the order. A faster sweep
// must give the same segments in the same order. The sets are drawn with
// integer arithmetic only, so they are the same on every platform.
namespace {

struct Fingerprint {
    std::size_t segments = 0;
    std::uint64_t segmentHash = 0;
    int rings = 0;
    std::uint64_t ringHash = 0;
    bool operator==(const Fingerprint& o) const {
        return segments == o.segments && segmentHash == o.segmentHash && rings == o.rings &&
               ringHash == o.ringHash;
    }
};

std::ostream& operator<<(std::ostream& out, const Fingerprint& f) {
    return out << "{" << f.segments << "u, 0x" << std::hex << f.segmentHash << std::dec << "ull, " << f.rings
               << ", 0x" << std::hex << f.ringHash << std::dec << "ull}";
}

// FNV-1a over the bytes of each value in turn.
void Mix(std::uint64_t& hash, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ull;
    }
}

Fingerprint Take(const Diagram& d) {
    Fingerprint f;
    f.segmentHash = f.ringHash = 0xcbf29ce484222325ull;
    f.segments = d.generator.GetSegmentCount();
    for (std::size_t i = 0; i < f.segments; ++i) {
        const VoronoiSegment& s = d.generator.GetSegment(i);
        const double xy[4] = {s.x1, s.y1, s.x2, s.y2};
        const int sites[2] = {s.site1, s.site2};
        Mix(f.segmentHash, xy, sizeof xy);
        Mix(f.segmentHash, sites, sizeof sites);
    }
    for (int s = 0; s < d.cells.GetSiteCount(); ++s) {
        const int status = d.cells.GetStatus(s);
        Mix(f.ringHash, &status, sizeof status);
        if (status != CVoronoiCells::CS_Ring)
            continue;
        ++f.rings;
        const CShapePoint* ring = d.cells.GetRing(s);
        for (std::size_t i = 0; i < d.cells.GetRingSize(s); ++i) {
            const double xy[2] = {ring[i].x, ring[i].y};
            Mix(f.ringHash, xy, sizeof xy);
        }
    }
    return f;
}

} // namespace

TEST(VoronoiEdgeGenerator, OutputOrderIsKeptOnEvenClusteredAndGridSites) {
    std::mt19937 random(1234567u);
    // A whole number from 0 to below limit, from the generator's raw output.
    const auto draw = [&random](std::uint32_t limit) { return static_cast<double>(random() % limit); };
    // Near-normal: the sum of twelve draws, centred.
    const auto bell = [&](std::uint32_t half) {
        double sum = 0.0;
        for (int k = 0; k < 12; ++k)
            sum += draw(2 * half + 1);
        return sum - 12.0 * half;
    };
    struct Case {
        const char* name;
        std::vector<double> xs, ys;
        Box box;
        Fingerprint expected;
    };
    std::vector<Case> cases;
    {
        Case c{"even", {}, {}, {-10, -10, 10010, 10010}, {}};
        for (int i = 0; i < 3000; ++i) {
            const double x = draw(1000000);
            c.xs.push_back(x / 100.0);
            c.ys.push_back(draw(1000000) / 100.0);
        }
        c.expected = {9001u, 0xd0b7b4f161ac173dull, 3000, 0xd1274542bd0093d9ull};
        cases.push_back(c);
    }
    // Nine sites in ten in a cluster of sigma extent / 2000 (fractional
    // coordinates), the rest spread over the extent.
    {
        Case c{"clustered", {}, {}, {-10, -10, 1000010, 1000010}, {}};
        for (int i = 0; i < 3000; ++i) {
            if (i % 10 == 0) {
                const double x = draw(1000000);
                c.xs.push_back(x);
                c.ys.push_back(draw(1000000));
            } else {
                const double x = bell(350);
                const double xFraction = draw(1000);
                const double y = bell(350);
                const double yFraction = draw(1000);
                c.xs.push_back(400000.0 + x + xFraction / 1000.0);
                c.ys.push_back(600000.0 + y + yFraction / 1000.0);
            }
        }
        c.expected = {9001u, 0x6caeb1c8e8d4975full, 3000, 0x106038ae59baf561ull};
        cases.push_back(c);
    }
    // The same on whole numbers: sites repeat and many share a line.
    {
        Case c{"clustered on whole numbers", {}, {}, {-10, -10, 100010, 100010}, {}};
        for (int i = 0; i < 2000; ++i) {
            if (i % 10 == 0) {
                const double x = draw(100000);
                c.xs.push_back(x);
                c.ys.push_back(draw(100000));
            } else {
                const double x = bell(10);
                c.xs.push_back(30000.0 + x);
                c.ys.push_back(70000.0 + bell(10));
            }
        }
        c.expected = {4870u, 0xf70c904d5ade0dceull, 1716, 0x2b014ff9a67ee3f8ull};
        cases.push_back(c);
    }
    // A shuffled 40 x 40 grid: every four neighbours share a circle.
    {
        Case c{"grid", {}, {}, {-1, -1, 40, 40}, {}};
        std::vector<int> order(1600);
        for (int i = 0; i < 1600; ++i)
            order[i] = i;
        for (int i = 1599; i > 0; --i)
            std::swap(order[i], order[random() % static_cast<std::uint32_t>(i + 1)]);
        for (int i : order) {
            c.xs.push_back(i % 40);
            c.ys.push_back(i / 40);
        }
        c.expected = {3280u, 0x640b6593a304ac4ull, 1600, 0x201ca0d46e706426ull};
        cases.push_back(c);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Diagram d;
        ASSERT_TRUE(d.Run(c.xs, c.ys, c.box));
        EXPECT_EQ(Take(d), c.expected);
    }
}

// The generator keeps the order its sweep met the sites in (by y, then x,
// then number), and the cells take it rather than sorting again; cells
// built where it does not fit the run (one site more, which gets no cell)
// sort for themselves and come out the same. Whole numbers, so that sites
// repeat and share rows.
TEST(VoronoiCells, SiteOrderOfTheSweepOrSortedGivesTheSameCells) {
    std::mt19937 random(4242u);
    std::vector<double> xs, ys;
    for (int i = 0; i < 2000; ++i) {
        xs.push_back(static_cast<double>(random() % 60));
        ys.push_back(static_cast<double>(random() % 60));
    }
    Diagram d;
    ASSERT_TRUE(d.Run(xs, ys, {-1, -1, 61, 61}));
    const std::vector<int>& order = d.generator.GetSiteOrder();
    ASSERT_EQ(order.size(), xs.size());
    for (std::size_t k = 1; k < order.size(); ++k) {
        const int a = order[k - 1];
        const int b = order[k];
        ASSERT_TRUE(std::make_tuple(ys[a], xs[a], a) < std::make_tuple(ys[b], xs[b], b)) << k;
    }

    std::vector<double> moreXs = xs, moreYs = ys;
    moreXs.push_back(30.5);
    moreYs.push_back(30.5);
    CVoronoiCells sorted;
    ASSERT_TRUE(sorted.Build(d.generator, moreXs.data(), moreYs.data(), static_cast<int>(moreXs.size()), nullptr,
                             1e-8));
    int rings = 0;
    for (int s = 0; s < static_cast<int>(xs.size()); ++s) {
        ASSERT_EQ(sorted.GetStatus(s), d.cells.GetStatus(s)) << "site " << s;
        ASSERT_EQ(sorted.GetRingSize(s), d.cells.GetRingSize(s)) << "site " << s;
        for (std::size_t i = 0; i < d.cells.GetRingSize(s); ++i) {
            ASSERT_EQ(sorted.GetRing(s)[i].x, d.cells.GetRing(s)[i].x) << "site " << s;
            ASSERT_EQ(sorted.GetRing(s)[i].y, d.cells.GetRing(s)[i].y) << "site " << s;
        }
        rings += d.cells.GetStatus(s) == CVoronoiCells::CS_Ring;
    }
    EXPECT_GT(rings, 1000);
    EXPECT_LT(rings, 2000);
    EXPECT_EQ(sorted.GetStatus(static_cast<int>(xs.size())), CVoronoiCells::CS_NoSegments);

    d.generator.Release();
    EXPECT_TRUE(d.generator.GetSiteOrder().empty());
}
