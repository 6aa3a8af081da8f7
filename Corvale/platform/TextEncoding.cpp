#include "platform/TextEncoding.h"

namespace corvale {

namespace {

// Windows Latin 1 at 0x80-0x9F; the five bytes the code page leaves unused
// stand for the control characters of the same number, as Windows maps them.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point of the UTF-8 sequence at text[at], moving at past it;
// false for a sequence that is not valid (overlong, a surrogate, cut short,
// beyond U+10FFFF).
bool NextCodePoint(std::string_view text, std::size_t& at, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    std::size_t length = 0;
    char32_t min = 0;
    if (first < 0x80) {
        c = first;
        ++at;
        return true;
    } else if ((first & 0xE0) == 0xC0) {
        length = 2;
        c = first & 0x1F;
        min = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3;
        c = first & 0x0F;
        min = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4;
        c = first & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    if (at + length > text.size())
        return false;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    at += length;
    return true;
}

} // namespace

bool IsWindowsLatin1CodePage(std::uint8_t codePage) { return codePage == 3 || codePage == kDbfCodePageWindowsLatin1; }

bool IsValidUtf8(std::string_view text) {
    char32_t c = 0;
    for (std::size_t at = 0; at < text.size();)
        if (!NextCodePoint(text, at, c))
            return false;
    return true;
}

std::string Windows1252ToUtf8(std::string_view text) {
    if (IsAscii(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : static_cast<char32_t>(b));
    }
    return out;
}

bool Utf8ToWindows1252(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    char32_t c = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (!NextCodePoint(text, at, c))
            return false;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        bool found = false;
        for (int i = 0; i < 32 && !found; ++i) {
            if (kHighControls[i] == c) {
                out += static_cast<char>(0x80 + i);
                found = true;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

std::u32string Utf8ToCodePoints(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    char32_t c = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (NextCodePoint(text, at, c)) {
            out += c;
        } else {
            out += U'\uFFFD';
            ++at;
        }
    }
    return out;
}

std::string CodePointsToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text)
        AppendUtf8(out, c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? U'\uFFFD' : c);
    return out;
}

std::string TableTextToUtf8(std::string_view text, std::uint8_t codePage) {
    if (IsAscii(text))
        return std::string(text);
    if (!IsWindowsLatin1CodePage(codePage) && IsValidUtf8(text))
        return std::string(text);
    return Windows1252ToUtf8(text);
}

} // namespace corvale
