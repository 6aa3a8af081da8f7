#include "scripting/ConsoleCmd.h"

#include <map>
#include <utility>

CConsoleCmd::CConsoleCmd(std::string name, std::uintptr_t owner)
    : m_Name(ConsoleUpperCase(std::move(name))), m_Owner(owner) {}

CConsoleCmd::~CConsoleCmd() = default;

bool CConsoleCmd::Matches(const std::string& word) {
    return ConsoleUpperCase(word) == m_Name;
}

std::string CConsoleCmd::GetShortHelp() const {
    return std::string();
}

std::string CConsoleCmd::GetHelp() const {
    return "No help available.";
}

namespace {

// Only the user-interface thread runs consoles, so the map needs no lock.
std::map<std::uintptr_t, std::string>& CurrentDirectories() {
    static std::map<std::uintptr_t, std::string> directories;
    return directories;
}

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool IsRightTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::string& ConsoleCurrentDirectory(std::uintptr_t owner) {
    return CurrentDirectories()[owner];
}

void ForgetConsoleCurrentDirectory(std::uintptr_t owner) {
    CurrentDirectories().erase(owner);
}

std::string ConsoleUpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string ConsoleTrimLeft(const std::string& text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlankOrTab(text[first]))
        ++first;
    return text.substr(first);
}

std::string ConsoleTrimRight(const std::string& text) {
    std::size_t last = text.size();
    while (last > 0 && IsRightTrimmed(text[last - 1]))
        --last;
    return text.substr(0, last);
}

std::string ConsoleTrim(const std::string& text) {
    return ConsoleTrimRight(ConsoleTrimLeft(text));
}
