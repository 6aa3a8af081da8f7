#pragma once
// Text helpers shared by the query engine's files: case-insensitive compares
// and numbers read and written the way the query language has always read and
// written them, independent of the user's locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace CorvaleSQL {
namespace detail {

// ASCII case folding; bytes 128-255 compare as they are.
inline unsigned char FoldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

// <0, 0, >0 as the case-folded bytes order the texts.
int CompareNoCase(std::string_view a, std::string_view b);

// The number at the start of the text, read as a C library scan of a double
// reads it: leading white space and a sign are taken, then the longest number
// (exponent, "inf" and "nan" included); whatever follows is ignored. 0 when
// no number starts the text; a value beyond the double range is infinite, one
// below it 0.
double ReadLeadingDouble(std::string_view text);

// The same for a decimal integer: white space, sign, digits; stops at the first
// other character ("7.9" is 7). 0 when there are no digits; a value beyond the
// 64-bit range is the nearest 64-bit value.
std::int64_t ReadLeadingInt64(std::string_view text);

// The two readings above for the common form of a dBase number field, the
// number right-aligned behind blanks ("   -42", "  750.125"): the field's
// bytes are read once, from the end. False, with value untouched, for any
// other form (a zero byte, asterisks, an exponent, more digits than are read
// exactly this way); the caller then reads the field's text.
bool ReadRightAlignedInt64(std::string_view field, std::int64_t& value);
bool ReadRightAlignedDouble(std::string_view field, double& value);

// Six significant digits in the shortest form, as a stream writes a double by
// default: 1.5, 1.66667, 1e+06.
std::string FormatShortDouble(double value);

// A finite value with fifteen decimals, exactly as "%.15f" writes it, and the
// value that text reads back as. Double arithmetic runs through this once per
// operation and shape, so the common magnitudes are done in integers rather
// than through a general formatter.
void FormatFifteenDecimals(double value, std::string& text, double& readBack);

} // namespace detail
} // namespace CorvaleSQL
