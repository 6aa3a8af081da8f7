#include "scripting/ConsoleCmdVariable.h"

#include "core/ColourText.h"
#include "core/Theme.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/gpi/GpiHost.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

CConsoleCmdVariable::~CConsoleCmdVariable() = default;

bool CConsoleCmdVariable::CallMethod(const std::string& method, const std::string&,
                                     std::string& output, std::unique_ptr<CConsoleCmdVariable>&) {
    output += method + ": unsupported method\r\n";
    return false;
}

std::string CConsoleCmdVariable::Print() const {
    return "Undefined";
}

namespace {

bool IsQuoted(const std::string& text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

// "\"#RRGGBB\"" -> COLORREF.
bool ReadColourArgument(const std::string& text, std::uint32_t& colour, std::string& output) {
    if (text.size() != 9) {
        output += "Invalid color argument.\r\n";
        return false;
    }
    if (!IsQuoted(text)) {
        output += "Argument type mismatch.\r\n";
        return false;
    }
    if (!ParseColourHash(text.substr(1, 7).c_str(), colour)) {
        output += "Unknown color format.\r\n";
        return false;
    }
    return true;
}

bool ReadTextArgument(const std::string& text, std::string& value, std::string& output) {
    if (text.empty()) {
        output += "Missing string argument.\r\n";
        return false;
    }
    if (!IsQuoted(text)) {
        output += "Argument type mismatch.\r\n";
        return false;
    }
    value = text.substr(1, text.size() - 2);
    return true;
}

bool ReadBooleanArgument(const std::string& text, bool& value, std::string& output) {
    if (text.empty()) {
        output += "Missing boolean argument.\r\n";
        return false;
    }
    if (text == "true" || text == "false") {
        value = text == "true";
        return true;
    }
    // The misspelling is the message users and their scripts have always seen.
    output += "Invlaid boolean argument.\r\n";
    return false;
}

} // namespace

CConsoleCmdThemeVariable::CConsoleCmdThemeVariable(CTheme* theme, CCorvaleDoc* document)
    : m_Theme(theme), m_Document(document) {}

bool CConsoleCmdThemeVariable::CallMethod(const std::string& method, const std::string& arguments,
                                          std::string& output,
                                          std::unique_ptr<CConsoleCmdVariable>&) {
    if (m_Theme == nullptr || m_Document == nullptr) {
        output += "Theme: object is null.\r\n";
        return false;
    }
    const auto themeData = reinterpret_cast<std::intptr_t>(m_Theme);
    if (method == "set_color") {
        std::uint32_t colour = 0;
        if (!ReadColourArgument(arguments, colour, output))
            return false;
        m_Theme->m_Color = colour;
        m_Theme->UpdateDefaultStyle();
        m_Document->FireUpdateEvent(nullptr, DUE_ThemeStyleChanged, themeData);
        return true;
    }
    if (method == "set_name") {
        std::string name;
        if (!ReadTextArgument(arguments, name, output))
            return false;
        m_Theme->m_Name = name;
        m_Document->FireUpdateEvent(nullptr, DUE_ThemeRenamed, themeData);
        return true;
    }
    if (method == "show") {
        bool visible = false;
        if (!ReadBooleanArgument(arguments, visible, output))
            return false;
        m_Theme->m_Visible = visible;
        m_Document->FireUpdateEvent(nullptr, DUE_VisibilityChanged, themeData);
        return true;
    }
    output += method + ": unsupported method.\r\n";
    return false;
}

std::string CConsoleCmdThemeVariable::Print() const {
    // The handle is the theme's GPI handle, the number plug-ins and scripts
    // know it by (an address cut to 32 bits would name nothing); a variable
    // whose theme was removed shows 0.
    char handle[32];
    std::snprintf(handle, sizeof handle, "%08" PRIX32, m_Theme != nullptr ? GpiThemeHandle(m_Theme) : 0u);
    std::string text = "Theme Object\r\n";
    text += "\tHandle:\t" + std::string(handle) + "\r\n";
    // A variable whose theme was removed has nothing more to show.
    if (m_Theme == nullptr)
        return text;
    text += "\tname:\t" + m_Theme->m_Name + "\r\n";
    text += "\tcolor:\t" + FormatColourHash(m_Theme->m_Color) + "\r\n";
    text += "\tshown:\t" + std::string(m_Theme->m_Visible ? "true" : "false") + "\r\n";
    return text;
}
