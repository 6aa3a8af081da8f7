#include "RouteEngine.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <limits>

namespace pathrill {

namespace {

bool ParseNodeId(std::string_view text, std::int32_t& id) {
    std::int64_t value = 0;
    if (!corvale::ParseInt64(text, value))
        return false;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return false;
    id = static_cast<std::int32_t>(value);
    return true;
}

std::string Plural(std::size_t n, const char* one, const char* many) {
    return corvale::FormatInt(static_cast<std::int64_t>(n)) + " " + (n == 1 ? one : many);
}

} // namespace

void RouteNetwork::Clear() {
    m_Ids.clear();
    m_Index.clear();
    m_First.assign(1, 0);
    m_Links.clear();
    m_Arcs.clear();
}

std::uint32_t RouteNetwork::FindNode(std::int32_t id) const {
    auto it = m_Index.find(id);
    return it == m_Index.end() ? kNoNode : it->second;
}

std::size_t RouteNetwork::GetLinkCount(std::int32_t nodeId) const {
    const std::uint32_t node = FindNode(nodeId);
    return node == kNoNode ? 0 : m_First[node + 1] - m_First[node];
}

RouteBuildReport RouteNetwork::Build(const std::vector<RouteLinkText>& texts) {
    std::vector<RouteLink> links;
    links.reserve(texts.size());
    std::size_t skippedIds = 0;
    std::size_t skippedCosts = 0;
    for (const RouteLinkText& text : texts) {
        RouteLink link;
        link.shape = text.shape;
        link.endX = text.endX;
        link.endY = text.endY;
        if (!ParseNodeId(text.fromText, link.from) || !ParseNodeId(text.toText, link.to)) {
            ++skippedIds;
            continue;
        }
        if (!corvale::ParseDouble(text.costText, link.cost)) {
            ++skippedCosts;
            continue;
        }
        links.push_back(link);
    }
    RouteBuildReport report = Build(links);
    report.skippedIds = skippedIds;
    report.skippedCosts = skippedCosts;
    if (report.ok && skippedIds + skippedCosts > 0) {
        std::string text;
        if (skippedIds > 0)
            text += Plural(skippedIds, "link was", "links were") +
                    " left out: the from or to node id is not a whole number.";
        if (skippedCosts > 0) {
            if (!text.empty())
                text += "\r\n";
            text += Plural(skippedCosts, "link was", "links were") + " left out: the cost is not a number.";
        }
        report.message = text;
    }
    return report;
}

RouteBuildReport RouteNetwork::Build(const std::vector<RouteLink>& links) {
    Clear();
    RouteBuildReport report;
    for (const RouteLink& link : links) {
        if (link.cost < 0.0) {
            report.message = "The link with shape handle " + corvale::FormatInt(link.shape) +
                             " has a negative cost (" + corvale::FormatDouble(link.cost) +
                             "). Routes can only be found when every cost is zero or more.";
            return report;
        }
    }

    // Number the nodes in order of first appearance, from-ids and to-ids
    // alike, so that an end node needs no outgoing link of its own.
    auto number = [this](std::int32_t id) {
        auto [it, added] = m_Index.emplace(id, static_cast<std::uint32_t>(m_Ids.size()));
        if (added)
            m_Ids.push_back(id);
        return it->second;
    };
    std::vector<std::uint32_t> fromNode(links.size());
    std::vector<std::uint32_t> toNode(links.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        fromNode[i] = number(links[i].from);
        toNode[i] = number(links[i].to);
    }

    // Group the links by from-node, each node's links in layer order.
    const std::size_t nodes = m_Ids.size();
    m_First.assign(nodes + 1, 0);
    for (std::uint32_t node : fromNode)
        ++m_First[node + 1];
    for (std::size_t n = 0; n < nodes; ++n)
        m_First[n + 1] += m_First[n];
    std::vector<std::uint32_t> next(m_First.begin(), m_First.end() - 1);
    m_Links.resize(links.size());
    m_Arcs.resize(links.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        const std::uint32_t slot = next[fromNode[i]]++;
        m_Links[slot] = links[i];
        m_Arcs[slot] = Arc{links[i].cost, toNode[i]};
    }

    report.ok = true;
    report.links = m_Links.size();
    return report;
}

RouteSearch::RouteSearch(const RouteNetwork& network)
    : m_Network(network),
      m_State(network.GetNodeCount(),
              NodeState{std::numeric_limits<double>::infinity(), RouteNetwork::kNoNode, RouteNetwork::kNoNode}) {}

// A binary heap that holds each node once: a cheaper label moves the node's
// entry up in place, so the heap never grows beyond the search front.
void RouteSearch::SiftUp(std::size_t hole, Entry entry) {
    while (hole > 0) {
        const std::size_t parent = (hole - 1) / 2;
        if (!(entry.cost < m_Heap[parent].cost))
            break;
        m_Heap[hole] = m_Heap[parent];
        m_State[m_Heap[hole].node].place = static_cast<std::uint32_t>(hole);
        hole = parent;
    }
    m_Heap[hole] = entry;
    m_State[entry.node].place = static_cast<std::uint32_t>(hole);
}

RouteSearch::Entry RouteSearch::Pop() {
    const Entry top = m_Heap.front();
    m_State[top.node].place = RouteNetwork::kNoNode;
    const Entry last = m_Heap.back();
    m_Heap.pop_back();
    const std::size_t size = m_Heap.size();
    if (size > 0) {
        std::size_t hole = 0;
        for (;;) {
            std::size_t child = 2 * hole + 1;
            if (child >= size)
                break;
            if (child + 1 < size && m_Heap[child + 1].cost < m_Heap[child].cost)
                ++child;
            if (!(m_Heap[child].cost < last.cost))
                break;
            m_Heap[hole] = m_Heap[child];
            m_State[m_Heap[hole].node].place = static_cast<std::uint32_t>(hole);
            hole = child;
        }
        m_Heap[hole] = last;
        m_State[last.node].place = static_cast<std::uint32_t>(hole);
    }
    return top;
}

bool RouteSearch::Run(std::int32_t startId, std::int32_t endId, RouteLeg& leg) {
    leg.shapes.clear();
    leg.cost = 0.0;
    for (std::uint32_t node : m_Touched) {
        m_State[node] = NodeState{std::numeric_limits<double>::infinity(), RouteNetwork::kNoNode,
                                  RouteNetwork::kNoNode};
    }
    m_Touched.clear();
    m_Heap.clear();

    const std::uint32_t start = m_Network.FindNode(startId);
    const std::uint32_t end = m_Network.FindNode(endId);
    if (start == RouteNetwork::kNoNode || end == RouteNetwork::kNoNode || start == end)
        return false;

    m_State[start].label = 0.0;
    m_Touched.push_back(start);
    m_Heap.push_back(Entry{0.0, start});
    m_State[start].place = 0;
    bool reached = false;
    while (!m_Heap.empty()) {
        const auto [cost, node] = Pop();
        if (node == end) {
            reached = true;
            break;
        }
        const std::uint32_t last = m_Network.m_First[node + 1];
        for (std::uint32_t l = m_Network.m_First[node]; l < last; ++l) {
            const RouteNetwork::Arc& arc = m_Network.m_Arcs[l];
            const double c = cost + arc.cost;
            const std::uint32_t to = arc.target;
            // Strictly cheaper only: a NaN cost never passes, and of two
            // routes of equal cost the first found stays.
            if (!(c < m_State[to].label))
                continue;
            if (m_State[to].label == std::numeric_limits<double>::infinity())
                m_Touched.push_back(to);
            m_State[to].label = c;
            m_State[to].via = l;
            // Out of the heap means never labelled: a node already taken
            // off it cannot get cheaper when no cost is negative.
            if (m_State[to].place == RouteNetwork::kNoNode) {
                m_Heap.push_back(Entry{c, to});
                SiftUp(m_Heap.size() - 1, Entry{c, to});
            } else {
                SiftUp(m_State[to].place, Entry{c, to});
            }
        }
    }
    if (!reached)
        return false;

    for (std::uint32_t node = end; node != start;) {
        const std::uint32_t l = m_State[node].via;
        leg.shapes.push_back(m_Network.m_Links[l].shape);
        node = m_Network.FindNode(m_Network.m_Links[l].from);
    }
    std::reverse(leg.shapes.begin(), leg.shapes.end());
    leg.cost = m_State[end].label;
    return true;
}

RouteResult FindRoute(const RouteNetwork& network, const std::vector<std::int32_t>& nodeIds) {
    RouteResult result;
    if (nodeIds.size() < 2)
        return result;
    RouteSearch search(network);
    RouteLeg leg;
    for (std::size_t i = 0; i + 1 < nodeIds.size(); ++i) {
        if (!search.Run(nodeIds[i], nodeIds[i + 1], leg)) {
            result.shapes.clear();
            result.totalCost = 0.0;
            result.failedLeg = i;
            return result;
        }
        result.shapes.insert(result.shapes.end(), leg.shapes.begin(), leg.shapes.end());
        result.totalCost += leg.cost;
    }
    result.found = true;
    return result;
}

} // namespace pathrill
