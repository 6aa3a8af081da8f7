#pragma once
// A block of bytes that a GPI plug-in keeps in a workspace or a theme, named
// by the plug-in that owns it.

#include <string>
#include <vector>

struct GpiDataBlock {
    std::string m_PluginName;
    std::vector<unsigned char> m_Data;
};
