#pragma once
// Text helpers shared by the query engine's files: case-insensitive compares
// and numbers read and written the way the query language has always read and
// written them, independent of the user's locale.

#include <cstddef>
#include <cstdint>
#include <cstring>
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
// exactly this way); the caller then reads the field's text. Inline: the
// query engine reads a number cell per shape and column through them.
// Where the blanks at the start of a field end: eight bytes at a time, the
// first other byte found from the lowest set bit where bytes sit in memory
// order in a word.
inline std::size_t SkipBlanks(const char* p, std::size_t n) {
    std::size_t i = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ && defined(__GNUC__)
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    while (i + 8 <= n) {
        std::uint64_t word = 0;
        std::memcpy(&word, p + i, sizeof word);
        const std::uint64_t other = word ^ kBlanks;
        if (other != 0)
            return i + static_cast<std::size_t>(__builtin_ctzll(other) >> 3);
        i += 8;
    }
#endif
    while (i < n && p[i] == ' ')
        ++i;
    return i;
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ && defined(__GNUC__)
#define CORVALE_QUERY_WORD_DIGITS 1
// Eight bytes in memory order, the first in the lowest byte of the word.
// The lowest byte that is no digit ('0'-'9') always sets its top bit in the
// mask below (carries and borrows come only from lower bytes, all digits);
// bytes above it may be wrong, so only the lowest set bit is to be trusted.
inline std::uint64_t NonDigitBytes(std::uint64_t word) {
    return ((word + 0x4646464646464646ull) | (word - 0x3030303030303030ull)) & 0x8080808080808080ull;
}

// The value of eight digit bytes, the first the most significant: pairs,
// then fours, then all eight combined by multiplication.
inline std::uint64_t EightDigitsValue(std::uint64_t word) {
    word -= 0x3030303030303030ull;
    word = word * 10 + (word >> 8);
    return (((word & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
            (((word >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
           32;
}

inline std::uint64_t LoadWord(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}
#endif

// The value of the digits p[begin, end), at most nineteen of them, where p is
// the start of the field (so p[0, end) may be read); false when a byte among
// them is no digit. Eight at a time where the field is wide enough.
inline bool ReadDigitRun(const char* p, std::size_t begin, std::size_t end, std::uint64_t& value) {
    std::uint64_t v = 0;
    std::size_t i = begin;
#ifdef CORVALE_QUERY_WORD_DIGITS
    static constexpr std::uint64_t kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    for (; end - i >= 8; i += 8) {
        const std::uint64_t word = LoadWord(p + i);
        if (NonDigitBytes(word) != 0)
            return false;
        v = v * 100000000 + EightDigitsValue(word);
    }
    const std::size_t rest = end - i;
    if (rest != 0 && end >= 8) {
        // The eight bytes that end the run, with those before the run's
        // last digits taken as '0'.
        const std::uint64_t before = (std::uint64_t(1) << (8 * (8 - rest))) - 1;
        const std::uint64_t word = (LoadWord(p + end - 8) & ~before) | (0x3030303030303030ull & before);
        if (NonDigitBytes(word) != 0)
            return false;
        value = v * kScale[rest] + EightDigitsValue(word);
        return true;
    }
#endif
    for (; i < end; ++i) {
        const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(p[i])) - '0';
        if (digit > 9)
            return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

// Where the run of digits that starts at p[begin] ends, at most at end.
inline std::size_t DigitRunEnd(const char* p, std::size_t begin, std::size_t end) {
    std::size_t i = begin;
#ifdef CORVALE_QUERY_WORD_DIGITS
    for (; end - i >= 8; i += 8) {
        const std::uint64_t other = NonDigitBytes(LoadWord(p + i));
        if (other != 0)
            return i + static_cast<std::size_t>(__builtin_ctzll(other) >> 3);
    }
#endif
    while (i < end && static_cast<unsigned>(static_cast<unsigned char>(p[i])) - '0' <= 9)
        ++i;
    return i;
}

// Steps over a leading '-' or '+' at p[i]; true for '-'.
inline bool SkipSign(const char* p, std::size_t& i, std::size_t n) {
    if (i < n && (p[i] == '-' || p[i] == '+'))
        return p[i++] == '-';
    return false;
}

inline bool ReadRightAlignedInt64(std::string_view field, std::int64_t& value) {
    const char* p = field.data();
    const std::size_t n = field.size();
    std::size_t i = SkipBlanks(p, n);
    const bool negative = SkipSign(p, i, n);
    // One to eighteen digits, which always fit a 64-bit integer.
    if (i == n || n - i > 18)
        return false;
    std::uint64_t digits = 0;
    if (!ReadDigitRun(p, i, n, digits))
        return false;
    const auto magnitude = static_cast<std::int64_t>(digits);
    value = negative ? -magnitude : magnitude;
    return true;
}

inline bool ReadRightAlignedDouble(std::string_view field, double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15};
    static constexpr std::uint64_t kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
                                               1000000000, 10000000000, 100000000000, 1000000000000,
                                               10000000000000, 100000000000000, 1000000000000000};
    const char* p = field.data();
    const std::size_t n = field.size();
    std::size_t i = SkipBlanks(p, n);
    const bool negative = SkipSign(p, i, n);
    // The plain forms only: digits, or digits, a point and digits. Up to 15
    // digits the whole digit string is exact as a double, and so is the
    // power of ten: one division then gives the correctly rounded value, the
    // one a full decimal reading gives.
    const std::size_t whole = i;
    i = DigitRunEnd(p, whole, n);
    const std::size_t wholeDigits = i - whole;
    if (wholeDigits == 0 || wholeDigits > 15)
        return false;
    std::uint64_t mantissa = 0;
    if (!ReadDigitRun(p, whole, i, mantissa))
        return false;
    std::size_t decimals = 0;
    if (i < n) {
        if (p[i] != '.')
            return false;
        decimals = n - (i + 1);
        if (decimals == 0 || wholeDigits + decimals > 15)
            return false;
        std::uint64_t fraction = 0;
        if (!ReadDigitRun(p, i + 1, n, fraction))
            return false;
        mantissa = mantissa * kScale[decimals] + fraction;
    }
    const double magnitude =
        decimals > 0 ? static_cast<double>(mantissa) / kPowers[decimals] : static_cast<double>(mantissa);
    value = negative ? -magnitude : magnitude;
    return true;
}

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
