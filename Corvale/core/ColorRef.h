#pragma once
// Colours are kept as COLORREFs throughout the program (red in the low byte,
// then green, then blue; workspaces and plug-ins store them that way); Qt
// draws with QColor. The top byte is no part of the colour: the colour picker
// stores its "automatic" choice there, and drawing ignores it.

#include <QColor>
#include <QRgb>

#include <cstdint>

inline QColor ColorFromColorRef(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

// The opaque pixel value of a COLORREF.
inline QRgb RgbFromColorRef(std::uint32_t colour) {
    return qRgb(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                static_cast<int>((colour >> 16) & 0xFFu));
}

inline std::uint32_t ColorRefFromRgb(QRgb rgb) {
    return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8) |
           (static_cast<std::uint32_t>(qBlue(rgb)) << 16);
}
