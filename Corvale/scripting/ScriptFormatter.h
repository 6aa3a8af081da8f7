#pragma once
// Re-indents JavaScript text with tabs, one per level of braces. It knows
// braces, string literals and comments only; it does not parse the language.
// The script templates pass the script they assemble through it.

#include <string>
#include <vector>

class ScriptFormatter {
public:
    // The text re-indented: carriage returns dropped, each line's own leading
    // blanks and tabs replaced by its depth in tabs, a line break after each
    // closing brace not followed by another, every line ending in "\n".
    std::string Format(const std::string& text);

private:
    void StartLine();
    // The line being written is always the last one.
    std::string& Current() { return m_Lines.back(); }

    std::string m_Input;
    std::size_t m_Position = 0;
    std::vector<std::string> m_Lines;
    int m_Depth = 0;
};

// Replaces the text with its re-indented form.
void FormatScriptText(std::string& text);
