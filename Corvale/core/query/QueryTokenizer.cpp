// The tokenizer of the query language: the text as the user typed it becomes a
// list of token texts.

#include "core/query/QueryEngine.h"
#include "core/query/QueryText.h"

namespace CorvaleSQL {

const char* const QueryReservedWords[kQueryReservedWordCount] = {"AND", "OR", "LIKE", "NOT", "SELECT"};

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool CQueryEngine::IsReservedWord(std::string_view token) {
    for (const char* word : QueryReservedWords)
        if (detail::EqualsNoCase(token, word))
            return true;
    return false;
}

void CQueryEngine::Tokenize(const std::string& text) {
    m_Tokens.clear();
    m_NameTokens.clear();
    // The text ends at its first NUL, as it always has for callers that hand
    // over C strings.
    const std::string_view source(text.c_str());
    const std::size_t n = source.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = source[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        if (c == '[') {
            const std::size_t close = source.find(']', i + 1);
            if (close == std::string_view::npos)
                throw CQueryError("Missing closing bracket, ']', in WHERE statement.");
            i = close + 1;
            m_Tokens.emplace_back(source.substr(start, i - start));
            m_NameTokens.push_back(m_Tokens.back());
        } else if (IsAsciiLetter(c) || c == '_') {
            ++i;
            while (i < n && (IsAsciiLetter(source[i]) || IsDigit(source[i]) || source[i] == '_'))
                ++i;
            m_Tokens.emplace_back(source.substr(start, i - start));
            m_NameTokens.push_back(m_Tokens.back());
        } else if (IsDigit(c)) {
            bool point = false;
            ++i;
            while (i < n && (IsDigit(source[i]) || (source[i] == '.' && !point))) {
                point = point || source[i] == '.';
                ++i;
            }
            m_Tokens.emplace_back(source.substr(start, i - start));
        } else if (c == '\'') {
            ++i;
            for (;;) {
                if (i >= n)
                    throw CQueryError("Unmatched quote in WHERE statement.");
                if (source[i] == '\r' || source[i] == '\n')
                    throw CQueryError("Newline in constant.");
                if (source[i++] == '\'')
                    break;
            }
            m_Tokens.emplace_back(source.substr(start, i - start));
        } else if (c == '<') {
            ++i;
            if (i < n && (source[i] == '=' || source[i] == '>'))
                ++i;
            m_Tokens.emplace_back(source.substr(start, i - start));
        } else if (c == '>') {
            ++i;
            if (i < n && source[i] == '=')
                ++i;
            m_Tokens.emplace_back(source.substr(start, i - start));
        } else if (c == '=' || c == '(' || c == ')' || c == ',' || c == '+' || c == '-' || c == '*' || c == '/' ||
                   c == '%') {
            ++i;
            m_Tokens.emplace_back(1, c);
        } else if (c == ']') {
            throw CQueryError("Unexpected closing bracket, ']', in WHERE statement.");
        } else {
            throw CQueryError("Illegal character in WHERE statement.");
        }
    }
}

} // namespace CorvaleSQL
