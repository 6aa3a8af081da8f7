// The plug-in data blocks of a theme (and the list logic the workspace shares).

#include "core/GpiDataBlockList.h"
#include "core/Theme.h"

#include <string>

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// GUID texts are written in either case by different tools; a plug-in must
// find its block whichever case it was stored in.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

} // namespace

void SetGpiDataBlockInList(std::vector<GpiDataBlock>& blocks, const GpiDataBlock& block) {
    for (GpiDataBlock& entry : blocks) {
        // A block of the list handed back in stays as it is.
        if (&entry == &block)
            return;
        if (SameName(entry.m_PluginName, block.m_PluginName)) {
            entry = block;
            return;
        }
    }
    blocks.push_back(block);
}

void CTheme::SetGpiDataBlock(const GpiDataBlock& block) {
    SetGpiDataBlockInList(m_GpiData, block);
}
