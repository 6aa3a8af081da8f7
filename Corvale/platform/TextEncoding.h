#pragma once
// Text of the single-byte code pages that tables and interchange files carry,
// turned into UTF-8 for the formats that are UTF-8 (XML, JSON, the clipboard)
// and back.
//
// A dBase table says in byte 29 of its header which code page its text is in
// (the "language driver"): 3 and 87 are Windows Latin 1, 0 means it does not
// say. Windows Latin 1 is ISO 8859-1 with printable characters in 0x80-0x9F.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvale {

// The code-page bytes of a dBase header that mean Windows Latin 1.
constexpr std::uint8_t kDbfCodePageUnknown = 0;
constexpr std::uint8_t kDbfCodePageWindowsLatin1 = 87;
bool IsWindowsLatin1CodePage(std::uint8_t codePage);

bool IsValidUtf8(std::string_view text);
std::string Windows1252ToUtf8(std::string_view text);
// False when a character of text is not valid UTF-8 or has no Windows Latin 1
// byte; out is then incomplete.
bool Utf8ToWindows1252(std::string_view text, std::string& out);

// The code points of UTF-8 text, each invalid sequence as U+FFFD, and back.
std::u32string Utf8ToCodePoints(std::string_view text);
std::string CodePointsToUtf8(std::u32string_view text);

// Text of a table whose code-page byte is codePage, as UTF-8. Windows Latin 1
// is converted. A table that does not say (or names a code page this program
// does not convert) keeps text that is valid UTF-8 as it is, and any other
// text is read as Windows Latin 1, the code page such tables are most often in.
std::string TableTextToUtf8(std::string_view text, std::uint8_t codePage);

} // namespace corvale
