#include "platform/Wildcard.h"

namespace corvale {

namespace {

inline unsigned char Fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

bool MatchWildcard(std::string_view text, std::string_view pattern) {
    // Greedy scan that remembers the last '*' and, on a mismatch, lets that
    // star swallow one more byte. No recursion, and at most text x pattern
    // steps, so a pattern of many stars typed into a query cannot hang the
    // program.
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starText = t;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(text[t]))) {
            ++p;
            ++t;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool MatchWildcardList(std::string_view text, std::string_view patterns) {
    for (;;) {
        const std::size_t separator = patterns.find(';');
        if (MatchWildcard(text, patterns.substr(0, separator)))
            return true;
        if (separator == std::string_view::npos)
            return false;
        patterns.remove_prefix(separator + 1);
    }
}

} // namespace corvale
