#include "core/LogFont.h"

#include "platform/ByteOrder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint8_t kDefaultCharSet = 1;
constexpr std::uint8_t kFixedPitch = 1;
constexpr std::uint8_t kVariablePitch = 2;
constexpr std::int32_t kNormalWeight = 400;
// Pixels of the point sizes QFont reports, at the resolution the stored
// heights have always meant.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
// Larger heights are no label size: a damaged or foreign value must not ask
// the font engine for glyphs of any size.
constexpr std::int64_t kLargestPixelSize = 4096;

enum Family : std::uint8_t { FF_Roman = 1, FF_Swiss = 2, FF_Modern = 3, FF_Script = 4, FF_Decorative = 5 };

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(const char* text, std::size_t length) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    while (i < length) {
        const unsigned char c = p[i];
        std::size_t extra = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (length - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000))) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

} // namespace

void LogFont::ToBytes(unsigned char bytes[kSize]) const {
    corvale::WriteLE32(bytes + 0, static_cast<std::uint32_t>(lfHeight));
    corvale::WriteLE32(bytes + 4, static_cast<std::uint32_t>(lfWidth));
    corvale::WriteLE32(bytes + 8, static_cast<std::uint32_t>(lfEscapement));
    corvale::WriteLE32(bytes + 12, static_cast<std::uint32_t>(lfOrientation));
    corvale::WriteLE32(bytes + 16, static_cast<std::uint32_t>(lfWeight));
    bytes[20] = lfItalic;
    bytes[21] = lfUnderline;
    bytes[22] = lfStrikeOut;
    bytes[23] = lfCharSet;
    bytes[24] = lfOutPrecision;
    bytes[25] = lfClipPrecision;
    bytes[26] = lfQuality;
    bytes[27] = lfPitchAndFamily;
    std::memcpy(bytes + 28, lfFaceName, kFaceSize);
}

LogFont LogFont::FromBytes(const unsigned char bytes[kSize]) {
    LogFont font;
    font.lfHeight = static_cast<std::int32_t>(corvale::ReadLE32(bytes + 0));
    font.lfWidth = static_cast<std::int32_t>(corvale::ReadLE32(bytes + 4));
    font.lfEscapement = static_cast<std::int32_t>(corvale::ReadLE32(bytes + 8));
    font.lfOrientation = static_cast<std::int32_t>(corvale::ReadLE32(bytes + 12));
    font.lfWeight = static_cast<std::int32_t>(corvale::ReadLE32(bytes + 16));
    font.lfItalic = bytes[20];
    font.lfUnderline = bytes[21];
    font.lfStrikeOut = bytes[22];
    font.lfCharSet = bytes[23];
    font.lfOutPrecision = bytes[24];
    font.lfClipPrecision = bytes[25];
    font.lfQuality = bytes[26];
    font.lfPitchAndFamily = bytes[27];
    std::memcpy(font.lfFaceName, bytes + 28, kFaceSize);
    return font;
}

bool LogFont::operator==(const LogFont& other) const {
    unsigned char a[kSize];
    unsigned char b[kSize];
    ToBytes(a);
    other.ToBytes(b);
    return std::memcmp(a, b, kSize) == 0;
}

LogFont DefaultLabelFont() {
    // QGuiApplication::font() answers a font of its own making while no
    // application object exists; the fixed font keeps new themes the same
    // in programs without one.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        return LogFontFromQFont(QGuiApplication::font());
    LogFont font;
    font.lfHeight = -11;
    font.lfWeight = kNormalWeight;
    font.lfCharSet = kDefaultCharSet;
    font.lfPitchAndFamily = static_cast<std::uint8_t>(FF_Swiss << 4);
    std::memcpy(font.lfFaceName, "Sans Serif", sizeof "Sans Serif");
    return font;
}

QFont QFontFromLogFont(const LogFont& font) {
    QFont result;
    const std::size_t length = strnlen(font.lfFaceName, LogFont::kFaceSize);
    const QString face = IsUtf8(font.lfFaceName, length)
                             ? QString::fromUtf8(font.lfFaceName, static_cast<qsizetype>(length))
                             : QString::fromLatin1(font.lfFaceName, static_cast<qsizetype>(length));
    if (!face.isEmpty())
        result.setFamily(face);

    // 64 bits: the magnitude of the smallest 32-bit height does not fit 32.
    const std::int64_t height = std::llabs(static_cast<std::int64_t>(font.lfHeight));
    if (height > 0)
        result.setPixelSize(static_cast<int>(std::min(height, kLargestPixelSize)));

    if (font.lfWeight > 0)
        result.setWeight(static_cast<QFont::Weight>(std::min<std::int32_t>(font.lfWeight, 1000)));
    else
        result.setWeight(QFont::Normal);
    result.setItalic(font.lfItalic != 0);
    result.setUnderline(font.lfUnderline != 0);
    result.setStrikeOut(font.lfStrikeOut != 0);
    result.setFixedPitch((font.lfPitchAndFamily & 3) == kFixedPitch);
    switch (font.lfPitchAndFamily >> 4) {
    case FF_Roman:
        result.setStyleHint(QFont::Serif);
        break;
    case FF_Swiss:
        result.setStyleHint(QFont::SansSerif);
        break;
    case FF_Modern:
        result.setStyleHint(QFont::Monospace);
        break;
    case FF_Script:
        result.setStyleHint(QFont::Cursive);
        break;
    case FF_Decorative:
        result.setStyleHint(QFont::Decorative);
        break;
    default:
        break;
    }
    return result;
}

LogFont LogFontFromQFont(const QFont& font) {
    LogFont result;
    if (font.pixelSize() > 0) {
        result.lfHeight = -font.pixelSize();
    } else if (font.pointSizeF() > 0.0) {
        const double pixels = std::min(std::round(font.pointSizeF() * kPixelsPerPoint), double(kLargestPixelSize));
        result.lfHeight = -static_cast<std::int32_t>(pixels);
    }
    result.lfWeight = std::clamp(static_cast<std::int32_t>(font.weight()), 1, 1000);
    result.lfItalic = font.italic() ? 1 : 0;
    result.lfUnderline = font.underline() ? 1 : 0;
    result.lfStrikeOut = font.strikeOut() ? 1 : 0;
    result.lfCharSet = kDefaultCharSet;

    std::uint8_t family = 0;
    switch (font.styleHint()) {
    case QFont::Serif:
        family = FF_Roman;
        break;
    case QFont::SansSerif:
        family = FF_Swiss;
        break;
    case QFont::Monospace:
    case QFont::TypeWriter:
        family = FF_Modern;
        break;
    case QFont::Cursive:
        family = FF_Script;
        break;
    case QFont::Decorative:
    case QFont::Fantasy:
        family = FF_Decorative;
        break;
    default:
        break;
    }
    const std::uint8_t pitch = font.fixedPitch() ? kFixedPitch : kVariablePitch;
    result.lfPitchAndFamily = static_cast<std::uint8_t>((family << 4) | pitch);

    const QByteArray face = font.family().toUtf8();
    std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(face.size()), LogFont::kFaceSize - 1);
    // Not inside a character: back up over continuation bytes.
    while (length > 0 && length < static_cast<std::size_t>(face.size()) &&
           (static_cast<unsigned char>(face[static_cast<qsizetype>(length)]) & 0xC0) == 0x80)
        --length;
    std::memcpy(result.lfFaceName, face.constData(), length);
    return result;
}
