// Reads arbitrary bytes as a theme's list of conditional style rules, as a
// workspace file holds it. The counts come from the bytes, so nothing may be
// sized by them unchecked; a list that does not read must leave the rules as
// they were, and one that reads must store and read back to the same rules
// and the same bytes.

#include "core/styles/AdvancedProperties.h"
#include "platform/Archive.h"

#include <cstdlib>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

CAdvancedProperties Sentinel() {
    CAdvancedProperties list;
    CAdvancedProperty rule("[KEEP] = 1", 0x123456, 0x654321, 3);
    rule.PenStyleFromAttribute = 1;
    rule.PenStyleAttribute = "STYLE";
    list.m_Properties.push_back(rule);
    return list;
}

std::vector<unsigned char> Store(CAdvancedProperties& list) {
    CArchive out;
    list.Serialize(out);
    return out.GetStored();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CAdvancedProperties list = Sentinel();
    CArchive in(data, size);
    try {
        list.Serialize(in);
    } catch (const CArchiveException&) {
        Require(list == Sentinel());
        return 0;
    }
    const std::vector<unsigned char> stored = Store(list);
    CAdvancedProperties again;
    CArchive back(stored.data(), stored.size());
    again.Serialize(back);
    Require(again == list);
    Require(Store(again) == stored);
    return 0;
}
