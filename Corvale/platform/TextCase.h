#pragma once
// ASCII letter-case comparisons and plain replacement in byte strings: file
// extensions, column names and templates. The C locale's rules, whatever the
// user's locale, so "I" and "i" always match.

#include <string>
#include <string_view>

namespace corvale {

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view tail);
std::string ToUpperAscii(std::string text);
// Every occurrence of what, left to right; the replacements are not searched
// again.
void ReplaceAll(std::string& text, std::string_view what, std::string_view with);

} // namespace corvale
