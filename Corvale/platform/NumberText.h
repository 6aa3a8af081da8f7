#pragma once
// Numbers as text, independent of the user's locale.
//
// dBase cells, queries, WKT, GeoJSON, XML, GPX and world files all carry
// numbers with a decimal point. printf and iostreams follow the process locale,
// so a German desktop would write "1,5"; these functions never do.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvale {

// Shortest text that reads back as exactly the same double ("1.5", "0.1",
// "1e+300"). NaN and the infinities give "nan", "inf" and "-inf".
std::string FormatDouble(double value);

// Fixed-point text with the given number of decimals (0 to 17), rounded from
// the exact binary value as printf's "%.*f" rounds it.
std::string FormatFixed(double value, int decimals);

std::string FormatInt(std::int64_t value);

// Parses the whole text as a number; leading and trailing blanks are allowed,
// anything else makes the parse fail and leaves value unchanged. A leading
// '+' is accepted. Text such as "1,5" is refused rather than read as 1.
bool ParseDouble(std::string_view text, double& value);
bool ParseInt64(std::string_view text, std::int64_t& value);

} // namespace corvale
