#include "scripting/ScriptFormatter.h"

#include <algorithm>

namespace {

bool IsSpaceNotLineFeed(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool IsSpace(char c) {
    return IsSpaceNotLineFeed(c) || c == '\n';
}

} // namespace

void ScriptFormatter::StartLine() {
    m_Lines.emplace_back(static_cast<std::size_t>(std::max(m_Depth, 0)), '\t');
}

std::string ScriptFormatter::Format(const std::string& text) {
    m_Input.clear();
    std::copy_if(text.begin(), text.end(), std::back_inserter(m_Input), [](char c) { return c != '\r'; });
    m_Lines.assign(1, std::string());
    m_Depth = 0;
    const std::size_t size = m_Input.size();
    // Drops the source's own indentation after a line feed.
    auto skipIndentation = [&] {
        while (m_Position + 1 < size && IsSpaceNotLineFeed(m_Input[m_Position + 1]))
            ++m_Position;
    };

    for (m_Position = 0; m_Position < size; ++m_Position) {
        const char c = m_Input[m_Position];
        const char next = m_Position + 1 < size ? m_Input[m_Position + 1] : '\0';
        if (c == '\n') {
            StartLine();
            skipIndentation();
        } else if (c == '{') {
            Current() += c;
            ++m_Depth;
        } else if (c == '}') {
            // An unbalanced brace stays at the left margin instead of
            // indenting what follows by a negative amount.
            m_Depth = std::max(m_Depth - 1, 0);
            if (!Current().empty() && Current().back() == '\t')
                Current().pop_back();
            Current() += c;
            std::size_t ahead = m_Position + 1;
            while (ahead < size && IsSpace(m_Input[ahead]))
                ++ahead;
            const char following = ahead < size ? m_Input[ahead] : ' ';
            if (following != '}')
                m_Lines.emplace_back();
        } else if (c == '"' || c == '\'') {
            Current() += c;
            bool escaped = false;
            while (++m_Position < size) {
                const char d = m_Input[m_Position];
                Current() += d;
                if (d == c && !escaped)
                    break;
                escaped = d == '\\' ? !escaped : false;
            }
        } else if (c == '/' && next == '/') {
            Current() += "//";
            ++m_Position;
            while (m_Position + 1 < size && m_Input[m_Position + 1] != '\n')
                Current() += m_Input[++m_Position];
        } else if (c == '/' && next == '*') {
            Current() += "/*";
            ++m_Position;
            // The star of the opening "/*" does not close it: "/*/" is open.
            bool star = false;
            while (++m_Position < size) {
                const char d = m_Input[m_Position];
                if (d == '\n') {
                    StartLine();
                    skipIndentation();
                    star = false;
                    continue;
                }
                Current() += d;
                if (d == '/' && star)
                    break;
                star = d == '*';
            }
            StartLine();
        } else {
            Current() += c;
        }
    }

    std::string result;
    for (const std::string& line : m_Lines) {
        result += line;
        result += '\n';
    }
    return result;
}

void FormatScriptText(std::string& text) {
    ScriptFormatter formatter;
    text = formatter.Format(text);
}
