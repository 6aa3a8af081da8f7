#pragma once
// The label font of a theme as workspace files hold it: the 60 bytes of a
// Windows LOGFONT with a narrow face name, little-endian.
//
//   0 i32 height      4 i32 width       8 i32 escapement   12 i32 orientation
//  16 i32 weight     20 u8 italic      21 u8 underline     22 u8 strike-out
//  23 u8 character set  24 u8 output precision  25 u8 clip precision
//  26 u8 quality     27 u8 pitch and family    28 32 bytes face name
//
// Every byte has a field here, and the face name keeps all 32 bytes (what
// follows its terminator too), so a font read from a workspace is written
// back exactly as it came, whichever program wrote it. Drawing and the font
// dialog work with QFont; the two converters below translate.

#include <QFont>

#include <cstddef>
#include <cstdint>

struct LogFont {
    static constexpr std::size_t kSize = 60;
    static constexpr std::size_t kFaceSize = 32;

    // Negative: the character height in pixels; positive: the cell height;
    // 0: any size.
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    // 0: any weight; else 1 to 1000 (400 normal, 700 bold).
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    // Low two bits the pitch (1 fixed, 2 variable), high four the family
    // (1 roman, 2 swiss, 3 modern, 4 script, 5 decorative).
    std::uint8_t lfPitchAndFamily = 0;
    // Zero-terminated unless all 32 bytes are used; bytes as stored.
    char lfFaceName[kFaceSize] = {};

    void ToBytes(unsigned char bytes[kSize]) const;
    static LogFont FromBytes(const unsigned char bytes[kSize]);

    bool operator==(const LogFont& other) const;
    bool operator!=(const LogFont& other) const { return !(*this == other); }
};

// The font a new theme labels with: the application's font once a
// QGuiApplication exists, else an 8-point sans-serif font of normal weight.
LogFont DefaultLabelFont();

// The QFont that draws a stored font: face, size (a height in pixels),
// weight, italic, underline, strike-out, fixed pitch and the family as a style
// hint. A face name that is not UTF-8 is read as Latin-1. Width, escapement
// and orientation have no QFont counterpart and are not used.
QFont QFontFromLogFont(const LogFont& font);
// The stored form of a QFont: the fields QFontFromLogFont reads, a point size
// turned into pixels at 96 dots per inch, the default character set, and the
// family name cut to 31 bytes at a character boundary.
LogFont LogFontFromQFont(const QFont& font);
