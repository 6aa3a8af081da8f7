#include "RouteEngine.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <limits>

namespace pathrill {

namespace {

constexpr std::size_t kArity = 4;

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
      m_State(network.GetNodeCount() + 1) {
    // Each node's first link sits beside its label, and one more entry
    // closes the last node's links (a network never built has no links).
    for (std::size_t n = 0; n < m_State.size(); ++n) {
        const std::uint32_t first = n < network.m_First.size() ? network.m_First[n] : 0;
        m_State[n] = NodeState{std::numeric_limits<double>::infinity(), RouteNetwork::kNoNode, first};
    }
}

// A four-way heap of (cost, node) entries. A node that gets a cheaper label
// is pushed again rather than moved up, and its older entries are dropped
// when they come to the top: the heap then touches nothing but its own
// array while it reorders, where moving entries in place writes each moved
// node's place back into the node table, a scattered write per level.
void RouteSearch::Push(Entry entry) {
    std::size_t hole = m_Heap.size();
    m_Heap.push_back(entry);
    while (hole > 0) {
        const std::size_t parent = (hole - 1) / kArity;
        if (!(entry.cost < m_Heap[parent].cost))
            break;
        m_Heap[hole] = m_Heap[parent];
        hole = parent;
    }
    m_Heap[hole] = entry;
}

RouteSearch::Entry RouteSearch::Pop() {
    const Entry top = m_Heap.front();
    const Entry last = m_Heap.back();
    m_Heap.pop_back();
    const std::size_t size = m_Heap.size();
    if (size > 0) {
        std::size_t hole = 0;
        for (;;) {
            const std::size_t first = kArity * hole + 1;
            if (first >= size)
                break;
            std::size_t child = first;
            const std::size_t end = std::min(first + kArity, size);
            for (std::size_t c = first + 1; c < end; ++c) {
                if (m_Heap[c].cost < m_Heap[child].cost)
                    child = c;
            }
            if (!(m_Heap[child].cost < last.cost))
                break;
            m_Heap[hole] = m_Heap[child];
            hole = child;
        }
        m_Heap[hole] = last;
    }
    return top;
}

bool RouteSearch::Run(std::int32_t startId, std::int32_t endId, RouteLeg& leg) {
    leg.shapes.clear();
    leg.cost = 0.0;
    for (std::uint32_t node : m_Touched) {
        m_State[node].label = std::numeric_limits<double>::infinity();
        m_State[node].via = RouteNetwork::kNoNode;
    }
    m_Touched.clear();
    m_Heap.clear();

    const std::uint32_t start = m_Network.FindNode(startId);
    const std::uint32_t end = m_Network.FindNode(endId);
    if (start == RouteNetwork::kNoNode || end == RouteNetwork::kNoNode || start == end)
        return false;

    m_State[start].label = 0.0;
    m_Touched.push_back(start);
    Push(Entry{0.0, start, m_State[start].first});
    bool reached = false;
    const RouteNetwork::Arc* const arcs = m_Network.m_Arcs.data();
    while (!m_Heap.empty()) {
        const Entry top = Pop();
        // What the next node to leave the heap reads: fetched now, it
        // arrives while this node's links are looked at.
        if (!m_Heap.empty()) {
            __builtin_prefetch(&m_State[m_Heap.front().node]);
            __builtin_prefetch(arcs + m_Heap.front().first);
        }
        const std::uint32_t node = top.node;
        // An entry left behind by a cheaper label of its node.
        if (m_State[node].label < top.cost)
            continue;
        if (node == end) {
            reached = true;
            break;
        }
        const std::uint32_t last = m_State[node + 1].first;
        for (std::uint32_t l = top.first; l < last; ++l) {
            const RouteNetwork::Arc& arc = arcs[l];
            const double c = top.cost + arc.cost;
            NodeState& to = m_State[arc.target];
            // Strictly cheaper only: a NaN cost never passes, and of two
            // routes of equal cost the first found stays. A node already
            // taken off the heap never passes, since no cost is negative.
            if (!(c < to.label))
                continue;
            if (to.label == std::numeric_limits<double>::infinity())
                m_Touched.push_back(arc.target);
            to.label = c;
            to.via = l;
            Push(Entry{c, arc.target, to.first});
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
