// The routing plug-in's engine on small networks whose routes are worked out
// by hand, on random networks checked against a plain relaxation of every
// link, and on a chain long enough that a recursive walk would overflow.

#include "RouteEngine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using pathrill::FindRoute;
using pathrill::RouteBuildReport;
using pathrill::RouteLeg;
using pathrill::RouteLink;
using pathrill::RouteLinkText;
using pathrill::RouteNetwork;
using pathrill::RouteResult;
using pathrill::RouteSearch;
using Shapes = std::vector<std::uint32_t>;

RouteLink Link(std::uint32_t shape, std::int32_t from, std::int32_t to, double cost) {
    RouteLink link;
    link.shape = shape;
    link.from = from;
    link.to = to;
    link.cost = cost;
    return link;
}

// Shape handles 101.. in layer order. Node 6 is only ever an end; 109
// duplicates 103.
//
//        4          5        1
//   1 ------> 2 ------> 4 ------> 5
//   |  1     ^ | 1      ^         |
//   +--> 3 --+ +--> 6   |  8      | 1
//        | 2 (x2)       |         |
//        +--------------+    5 ---+--> 1
std::vector<RouteLink> SmallNetwork() {
    return {Link(101, 1, 2, 4), Link(102, 1, 3, 1), Link(103, 3, 2, 2), Link(104, 2, 4, 5), Link(105, 3, 4, 8),
            Link(106, 4, 5, 1), Link(107, 5, 1, 1), Link(108, 2, 6, 1), Link(109, 3, 2, 2)};
}

TEST(RouteEngineTest, RoutesOnSmallNetwork) {
    RouteNetwork network;
    ASSERT_TRUE(network.Build(SmallNetwork()).ok);

    struct Case {
        std::vector<std::int32_t> ids;
        bool found;
        Shapes shapes;
        double cost;
        std::size_t failedLeg;
    };
    const Case cases[] = {
        // One leg: the cheapest of several routes, and of two equal
        // duplicates the first in layer order.
        {{1, 2}, true, {102, 103}, 3, 0},
        {{1, 4}, true, {102, 103, 104}, 8, 0},
        {{1, 5}, true, {102, 103, 104, 106}, 9, 0},
        {{4, 2}, true, {106, 107, 102, 103}, 5, 0},
        // An end that no link leaves needs no entry of its own.
        {{1, 6}, true, {102, 103, 108}, 4, 0},
        {{6, 1}, false, {}, 0, 0},
        {{1, 1}, false, {}, 0, 0},
        {{1, 99}, false, {}, 0, 0},
        {{99, 1}, false, {}, 0, 0},
        // Several legs: links joined in order, a link of two legs counted
        // twice, costs summed.
        {{1, 4, 1}, true, {102, 103, 104, 106, 107}, 10, 0},
        {{1, 2, 4, 2}, true, {102, 103, 104, 106, 107, 102, 103}, 13, 0},
        // The first failing leg ends the run.
        {{1, 1, 2}, false, {}, 0, 0},
        {{1, 2, 2}, false, {}, 0, 1},
        {{1, 6, 1}, false, {}, 0, 1},
        {{1}, false, {}, 0, 0},
        {{}, false, {}, 0, 0},
    };
    for (const Case& c : cases) {
        std::string name;
        for (std::int32_t id : c.ids)
            name += std::to_string(id) + " ";
        SCOPED_TRACE(name);
        const RouteResult result = FindRoute(network, c.ids);
        EXPECT_EQ(result.found, c.found);
        EXPECT_EQ(result.shapes, c.shapes);
        EXPECT_DOUBLE_EQ(result.totalCost, c.cost);
        if (!c.found && c.ids.size() >= 2) {
            EXPECT_EQ(result.failedLeg, c.failedLeg);
        }
    }
}

TEST(RouteEngineTest, LinkCountsPerNode) {
    RouteNetwork network;
    ASSERT_TRUE(network.Build(SmallNetwork()).ok);
    EXPECT_EQ(network.GetLinkCount(1), 2u);
    EXPECT_EQ(network.GetLinkCount(3), 3u); // the duplicate is kept
    EXPECT_EQ(network.GetLinkCount(6), 0u); // only an end
    EXPECT_EQ(network.GetLinkCount(42), 0u);
    EXPECT_EQ(network.GetTotalLinkCount(), 9u);

    // A network never built has nothing to route on.
    const RouteNetwork empty;
    RouteSearch search(empty);
    RouteLeg leg;
    EXPECT_FALSE(search.Run(1, 2, leg));
    EXPECT_EQ(empty.GetLinkCount(1), 0u);
}

// Links of zero cost around a cycle must not keep the search going round.
TEST(RouteEngineTest, ZeroCostCycleEnds) {
    RouteNetwork network;
    ASSERT_TRUE(network.Build(std::vector<RouteLink>{Link(1, 1, 2, 0), Link(2, 2, 1, 0), Link(3, 2, 3, 1)}).ok);
    const RouteResult result = FindRoute(network, {1, 3});
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.shapes, (Shapes{1, 3}));
    EXPECT_DOUBLE_EQ(result.totalCost, 1);
}

// A link with a NaN cost can never be part of a route.
TEST(RouteEngineTest, NanCostLinkIsNeverTaken) {
    RouteNetwork network;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ASSERT_TRUE(network.Build(std::vector<RouteLink>{Link(1, 1, 2, nan), Link(2, 1, 3, 1), Link(3, 3, 2, 1)}).ok);
    const RouteResult result = FindRoute(network, {1, 2});
    EXPECT_EQ(result.shapes, (Shapes{2, 3}));
}

TEST(RouteEngineTest, NegativeCostRefusesNetwork) {
    RouteNetwork network;
    ASSERT_TRUE(network.Build(SmallNetwork()).ok);
    std::vector<RouteLink> links = SmallNetwork();
    links.push_back(Link(110, 5, 3, -2.5));
    const RouteBuildReport report = network.Build(links);
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.message, "The link with shape handle 110 has a negative cost (-2.5). "
                              "Routes can only be found when every cost is zero or more.");
    // Nothing of the earlier network is left to route on.
    EXPECT_EQ(network.GetNodeCount(), 0u);
    EXPECT_FALSE(FindRoute(network, {1, 2}).found);
}

// Links are read from their attribute texts. Ids that are not whole numbers
// are left out and counted, never taken as node 0, which would join links
// that have nothing to do with each other.
TEST(RouteEngineTest, TextLinksSkipUnreadableIds) {
    struct Row {
        const char* from;
        const char* to;
        const char* cost;
    };
    const Row rows[] = {
        {"1", "2", "1"},    // 1: kept
        {" 2 ", "3", "1.5"}, // 2: blanks around a number are fine
        {"", "2", "0"},     // 3: empty from-id, read as 0 it would join 0 to 2
        {"0", "3", "0"},    // 4: node 0 is a real node here
        {"1", "abc", "1"},  // 5
        {"1", "3x", "1"},   // 6
        {"2.5", "3", "1"},  // 7
        {"99999999999", "3", "1"}, // 8: beyond 32 bits
        {"1", "0", ""},     // 9: empty cost
        {"1", "0", "1,5"},  // 10: not a number with a decimal point
        {"+1", "0", "7"},   // 11: kept
    };
    std::vector<RouteLinkText> texts;
    std::uint32_t shape = 1;
    for (const Row& row : rows)
        texts.push_back(RouteLinkText{shape++, row.from, row.to, row.cost, 0.0, 0.0});

    RouteNetwork network;
    const RouteBuildReport report = network.Build(texts);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.links, 4u);
    EXPECT_EQ(report.skippedIds, 5u);
    EXPECT_EQ(report.skippedCosts, 2u);
    EXPECT_EQ(report.message, "5 links were left out: the from or to node id is not a whole number.\r\n"
                              "2 links were left out: the cost is not a number.");

    struct Case {
        std::vector<std::int32_t> ids;
        bool found;
        Shapes shapes;
        double cost;
    };
    const Case cases[] = {
        {{1, 3}, true, {1, 2}, 2.5},
        {{1, 0}, true, {11}, 7},
        {{0, 3}, true, {4}, 0},
        {{0, 2}, false, {}, 0}, // would pass through the empty from-id's link if read as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ids[0]) + " " + std::to_string(c.ids[1]));
        const RouteResult result = FindRoute(network, c.ids);
        EXPECT_EQ(result.found, c.found);
        EXPECT_EQ(result.shapes, c.shapes);
        EXPECT_DOUBLE_EQ(result.totalCost, c.cost);
    }

    // One skipped link reads as one.
    const RouteBuildReport one = network.Build(std::vector<RouteLinkText>{{1, "a", "2", "1", 0, 0}});
    EXPECT_EQ(one.message, "1 link was left out: the from or to node id is not a whole number.");
    // All well: no message.
    EXPECT_EQ(network.Build(std::vector<RouteLinkText>{{1, "1", "2", "1", 0, 0}}).message, "");
}

// Every route of random networks against the cheapest costs that relaxing
// all links until nothing changes gives; integer costs keep sums exact. The
// route found must also be a connected chain of links from start to end
// whose costs add up to its total. Small networks with few costs give many
// ties; larger ones give a search front deep enough to fill several levels
// of the heap, with nodes relabelled while in it.
TEST(RouteEngineTest, RandomNetworksMatchRelaxation) {
    struct Shape {
        int rounds;
        int nodes;
        std::uint32_t links;
        int maxCost;
        int starts;
    };
    const Shape shapes[] = {{20, 25, 70, 9, 25}, {2, 400, 1600, 99, 6}};
    std::mt19937 random(29);
    for (const Shape& shape : shapes) {
        for (int round = 0; round < shape.rounds; ++round) {
            const int nodes = shape.nodes;
            std::vector<RouteLink> links;
            std::uniform_int_distribution<int> node(0, nodes - 1);
            std::uniform_int_distribution<int> cost(0, shape.maxCost);
            for (std::uint32_t s = 0; s < shape.links; ++s)
                links.push_back(Link(s, node(random), node(random), cost(random)));
            RouteNetwork network;
            ASSERT_TRUE(network.Build(links).ok);
            RouteSearch search(network);

            const double inf = std::numeric_limits<double>::infinity();
            for (std::int32_t start = 0; start < shape.starts; ++start) {
                std::vector<double> best(nodes, inf);
                best[start] = 0;
                for (bool changed = true; changed;) {
                    changed = false;
                    for (const RouteLink& l : links)
                        if (best[l.from] + l.cost < best[l.to]) {
                            best[l.to] = best[l.from] + l.cost;
                            changed = true;
                        }
                }
                for (std::int32_t end = 0; end < nodes; ++end) {
                    SCOPED_TRACE(std::to_string(nodes) + "/" + std::to_string(round) + ": " + std::to_string(start) +
                                 " " + std::to_string(end));
                    RouteLeg leg;
                    const bool found = search.Run(start, end, leg);
                    // A leg needs at least one link, so start equal to end fails
                    // even though it costs nothing.
                    ASSERT_EQ(found, start != end && best[end] < inf);
                    if (!found)
                        continue;
                    ASSERT_EQ(leg.cost, best[end]);
                    std::int32_t at = start;
                    double sum = 0;
                    for (std::uint32_t s : leg.shapes) {
                        ASSERT_EQ(links[s].from, at);
                        at = links[s].to;
                        sum += links[s].cost;
                    }
                    EXPECT_EQ(at, end);
                    EXPECT_EQ(sum, leg.cost);
                }
            }
        }
    }
}

// A route of 200,000 links, far deeper than a recursive walk's stack allows.
TEST(RouteEngineTest, LongChain) {
    const std::int32_t length = 200000;
    std::vector<RouteLink> links;
    for (std::int32_t i = 0; i < length; ++i)
        links.push_back(Link(static_cast<std::uint32_t>(i), i, i + 1, 1));
    RouteNetwork network;
    ASSERT_TRUE(network.Build(links).ok);
    const RouteResult result = FindRoute(network, {0, length, 0});
    EXPECT_FALSE(result.found);
    EXPECT_EQ(result.failedLeg, 1u);
    const RouteResult forward = FindRoute(network, {0, length});
    ASSERT_TRUE(forward.found);
    EXPECT_EQ(forward.shapes.size(), static_cast<std::size_t>(length));
    EXPECT_EQ(forward.shapes.back(), static_cast<std::uint32_t>(length - 1));
    EXPECT_DOUBLE_EQ(forward.totalCost, length);
}

} // namespace
