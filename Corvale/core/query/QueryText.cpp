#include "core/query/QueryText.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <system_error>

#include "platform/NumberText.h"

namespace CorvaleSQL {
namespace detail {

namespace {

bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Rare path: the number is beyond the double range (or below its smallest
// value). The C library decides between infinity and zero; its "C" locale is
// named so that the user's decimal comma plays no part.
double ReadOutOfRange(std::string_view number) {
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::string copy(number);
    if (cLocale == static_cast<locale_t>(nullptr))
        return 0.0;
    return ::strtod_l(copy.c_str(), nullptr, cLocale);
}

} // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = FoldCase(a[i]);
        const unsigned char y = FoldCase(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

double ReadLeadingDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsScanSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars takes a '-' of its own; a second sign is no number.
    if (i >= text.size() || text[i] == '+' || text[i] == '-')
        return 0.0;
    double value = 0.0;
    const char* first = text.data() + i;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = ReadOutOfRange(std::string_view(first, static_cast<std::size_t>(result.ptr - first)));
    else if (result.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

std::int64_t ReadLeadingInt64(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsScanSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude unsigned so that -9223372036854775808 reads
    // exactly; anything larger sticks at the limit.
    constexpr std::uint64_t kLimitPositive = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const std::uint64_t limit = negative ? kLimitPositive + 1 : kLimitPositive;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10)
            magnitude = limit;
        else
            magnitude = magnitude * 10 + digit;
    }
    if (!negative)
        return static_cast<std::int64_t>(magnitude);
    if (magnitude == kLimitPositive + 1)
        return std::numeric_limits<std::int64_t>::min();
    return -static_cast<std::int64_t>(magnitude);
}

namespace {

using U128 = unsigned __int128;

void AppendDigits(std::uint64_t value, std::string& text, int minimumDigits) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    while (n < minimumDigits)
        digits[n++] = '0';
    while (n > 0)
        text += digits[--n];
}

} // namespace

void FormatFifteenDecimals(double value, std::string& text, double& readBack) {
    constexpr std::uint64_t kScale = 1000000000000000ull; // 10^15
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    // value = mantissa * 2^exponent exactly.
    const std::uint64_t mantissa = exponentField == 0 ? fraction : fraction | (std::uint64_t(1) << 52);
    const int exponent = (exponentField == 0 ? 1 : exponentField) - 1075;

    if (exponent > 10) {
        // Far beyond the magnitudes of attribute arithmetic: the general
        // formatter; such a value is an integer and reads back as itself.
        text = corvale::FormatFixed(value, 15);
        readBack = value;
        return;
    }
    // Whole part and the fifteen decimals, rounded half to even on the exact
    // binary value as printf rounds; shifts and products only, no division.
    std::uint64_t whole = 0;
    std::uint64_t decimals = 0;
    if (exponent >= 0) {
        whole = mantissa << exponent;
    } else {
        const int shift = -exponent;
        std::uint64_t rest = mantissa;
        if (shift < 64) {
            whole = mantissa >> shift;
            rest = mantissa - (whole << shift);
        }
        if (shift < 110) {
            const U128 product = U128(rest) * kScale; // below 2^103
            U128 scaled = product >> shift;
            const U128 remainder = product - (scaled << shift);
            const U128 half = U128(1) << (shift - 1);
            if (remainder > half || (remainder == half && (scaled & 1) != 0))
                ++scaled;
            decimals = static_cast<std::uint64_t>(scaled);
            if (decimals == kScale) {
                decimals = 0;
                ++whole;
            }
        } // else: below 2^-7 before rounding, so the decimals round to 0
    }
    text.clear();
    if (negative)
        text += '-';
    AppendDigits(whole, text, 1);
    text += '.';
    AppendDigits(decimals, text, 15);

    if (whole < 9) {
        // whole * 10^15 + decimals is below 2^53, and so is 10^15: one
        // correctly rounded division gives the double nearest to the text,
        // which is what reading the text gives.
        const double magnitude = static_cast<double>(whole * kScale + decimals) / 1e15;
        readBack = negative ? -magnitude : magnitude;
    } else {
        readBack = ReadLeadingDouble(text);
    }
}

std::string FormatShortDouble(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    if (result.ec != std::errc())
        return "0";
    return std::string(buffer, result.ptr);
}

} // namespace detail
} // namespace CorvaleSQL
