#pragma once
// The links of a link layer as the route engine reads them: each shape's
// handle and the texts of its from-node, to-node and length fields, read
// through the host in layer order. The texts are kept here, so the records
// handed to RouteNetwork::Build stay valid as long as this object.

#include "GpiClient.h"
#include "RouteEngine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pathrill {

class RouteLinkLayer {
public:
    // Reads every shape of the layer. The texts are taken as they stand;
    // RouteNetwork::Build decides which of them are numbers. The end
    // vertices are not read: the search tries a node's links in layer
    // order, which finds the same costs as any other order. Throws
    // CvException when the host refuses a call (a field index beyond the
    // layer's fields, a layer that is gone).
    void Read(const CvTheme& layer, std::uint32_t fromField, std::uint32_t toField, std::uint32_t lengthField);

    const std::vector<RouteLinkText>& Links() const { return m_Links; }

private:
    std::vector<std::string> m_Texts; // from, to and length of each link in turn
    std::vector<RouteLinkText> m_Links;
};

} // namespace pathrill
