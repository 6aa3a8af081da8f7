#pragma once
// The route engine of the routing plug-in: a network of one-way links read
// from a link layer, and the cheapest route through it between picked nodes.
//
// The engine knows nothing of the host: the plug-in reads each link's shape
// handle, attribute texts and end vertex and hands them over as plain
// records, so the engine can be tested and measured on its own.
//
// The search is Dijkstra's with a four-way heap and no recursion: road
// networks of a million links give paths of many thousand links, far too
// deep for a recursive walk. The links are held in one array grouped by
// from-node, built once per network; a search allocates nothing once its
// arrays have grown, and resets only the nodes the previous leg touched. Costs must not be negative; a network that has
// one is refused when it is built, since no cheapest route is defined once a
// cycle of negative total exists.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pathrill {

// One directed link.
struct RouteLink {
    std::uint32_t shape = 0; // shape handle of the link's polyline
    std::int32_t from = 0;   // from-node id
    std::int32_t to = 0;     // to-node id
    double cost = 0.0;       // value of the length attribute
    double endX = 0.0;       // last vertex of the polyline's first part
    double endY = 0.0;
};

// One link as the plug-in reads it from the layer: the attribute texts as
// they stand, not yet checked.
struct RouteLinkText {
    std::uint32_t shape = 0;
    std::string_view fromText;
    std::string_view toText;
    std::string_view costText;
    double endX = 0.0;
    double endY = 0.0;
};

// What one build read: how many links went into the network and how many
// were left out, with the text to show the user ("" when all is well).
struct RouteBuildReport {
    bool ok = false;              // false: the network was refused and is empty
    std::size_t links = 0;        // links in the network
    std::size_t skippedIds = 0;   // from or to text is not a whole number
    std::size_t skippedCosts = 0; // cost text is not a number
    std::string message;
};

// The network of one run. Nodes are kept in a dense numbering of their own;
// the ids of the layer map onto it.
class RouteNetwork {
public:
    // Reads the links in layer order. A link whose from or to text is not a
    // whole number (an empty text included) is left out and counted rather
    // than tied to node 0, which would join unrelated links; so is a link
    // whose cost text is not a number. A negative cost refuses the whole
    // network. Duplicate links (same from and to) are all kept.
    RouteBuildReport Build(const std::vector<RouteLinkText>& links);
    RouteBuildReport Build(const std::vector<RouteLink>& links);

    // Number of outgoing links of the node; 0 for an id that no link leaves.
    std::size_t GetLinkCount(std::int32_t nodeId) const;
    std::size_t GetNodeCount() const { return m_Ids.size(); }
    std::size_t GetTotalLinkCount() const { return m_Links.size(); }

private:
    friend class RouteSearch;
    static constexpr std::uint32_t kNoNode = 0xFFFFFFFFu;
    std::uint32_t FindNode(std::int32_t id) const;
    void Clear();

    std::vector<std::int32_t> m_Ids;               // node index -> id
    std::unordered_map<std::int32_t, std::uint32_t> m_Index; // id -> node index
    std::vector<std::uint32_t> m_First;            // node index -> first link; size nodes + 1
    std::vector<RouteLink> m_Links;                // grouped by from-node, layer order kept
    // What the search reads of each link, side by side in m_Links' order:
    // its cost and the node index of its to-node.
    struct Arc {
        double cost;
        std::uint32_t target;
    };
    std::vector<Arc> m_Arcs;
};

// One leg's outcome.
struct RouteLeg {
    std::vector<std::uint32_t> shapes; // link shape handles, start to end
    double cost = 0.0;
};

// The search state of one run; legs reuse it and reset only the nodes the
// previous leg touched.
class RouteSearch {
public:
    explicit RouteSearch(const RouteNetwork& network);

    // Cheapest route from start to end. False when there is none: the end is
    // unreachable, either id is not in the network, or start equals end (a
    // leg must contain at least one link).
    bool Run(std::int32_t start, std::int32_t end, RouteLeg& leg);

private:
    const RouteNetwork& m_Network;
    // What the search keeps of each node, together so that looking at a
    // link's to-node touches one cache line.
    struct NodeState {
        double label;        // best cost so far
        std::uint32_t via;   // link that gave the label
        std::uint32_t first; // the node's first link (of the network's)
    };
    std::vector<NodeState> m_State;
    std::vector<std::uint32_t> m_Touched; // nodes whose label is set
    struct Entry {
        double cost;
        std::uint32_t node;
        std::uint32_t first; // the node's first link, to fetch it early
    };
    void Push(Entry entry);
    Entry Pop();
    std::vector<Entry> m_Heap; // four-way min-heap on cost
};

// A whole run over the picked node ids: one leg between each two consecutive
// ids, the legs' links joined in order and their costs summed. Fewer than two
// ids find nothing; the first failing leg ends the run.
struct RouteResult {
    bool found = false;
    std::vector<std::uint32_t> shapes;
    double totalCost = 0.0;
    std::size_t failedLeg = 0; // index of the leg that failed when not found
};

RouteResult FindRoute(const RouteNetwork& network, const std::vector<std::int32_t>& nodeIds);

} // namespace pathrill
