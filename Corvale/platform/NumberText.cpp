#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace corvale {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view StripPlus(std::string_view text) {
    // from_chars refuses a leading '+', but users and other programs write it.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

} // namespace

std::string FormatDouble(double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatFixed(double value, int decimals) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (decimals < 0)
        decimals = 0;
    if (decimals > 17)
        decimals = 17;
    // Fixed notation of 1e308 needs 309 digits before the point.
    char buffer[400];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return FormatDouble(value);
    return std::string(buffer, result.ptr);
}

std::string FormatInt(std::int64_t value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool ParseDouble(std::string_view text, double& value) {
    text = StripPlus(TrimBlanks(text));
    if (text.empty())
        return false;
    double parsed = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

bool ParseInt64(std::string_view text, std::int64_t& value) {
    text = StripPlus(TrimBlanks(text));
    if (text.empty())
        return false;
    std::int64_t parsed = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

} // namespace corvale
