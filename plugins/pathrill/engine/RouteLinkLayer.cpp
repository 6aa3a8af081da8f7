#include "RouteLinkLayer.h"

namespace pathrill {

void RouteLinkLayer::Read(const CvTheme& layer, std::uint32_t fromField, std::uint32_t toField,
                          std::uint32_t lengthField) {
    m_Texts.clear();
    m_Links.clear();
    const std::uint32_t count = layer.GetShapeCount();
    std::vector<std::uint32_t> shapes;
    shapes.reserve(count);
    m_Texts.reserve(3 * static_cast<std::size_t>(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        const CvShape shape = layer.GetShape(i);
        shapes.push_back(shape.handle);
        m_Texts.push_back(shape.GetAttribute(layer, fromField));
        m_Texts.push_back(shape.GetAttribute(layer, toField));
        m_Texts.push_back(shape.GetAttribute(layer, lengthField));
    }
    // The views are made once every text is in place: a string moved by a
    // growing vector would leave a view of a short text dangling.
    m_Links.reserve(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i)
        m_Links.push_back(RouteLinkText{shapes[i], m_Texts[3 * i], m_Texts[3 * i + 1], m_Texts[3 * i + 2], 0.0, 0.0});
}

} // namespace pathrill
