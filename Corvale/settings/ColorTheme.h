#pragma once
// Colour themes: named, ordered colour lists from which features pick colour
// number i by cycling through the list, and their place in the settings store.
//
// Storage (under the application's key, section "Settings", subkey
// "ColorThemes"; see settings/Registry.h for how that maps onto the INI file):
// one binary value per theme, the value name being the theme name and the
// data its colours as consecutive 4-byte little-endian COLORREFs (0x00BBGGRR)
// in list order. Nothing else is stored: no count, no version. The set comes
// back in the order the store lists its values, which for QSettings is sorted
// by name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <QByteArray>

class QSettings;

class CColorTheme {
public:
    CColorTheme() = default;
    CColorTheme(std::string name, std::vector<std::uint32_t> colors);
    virtual ~CColorTheme() = default;

    CColorTheme(const CColorTheme&) = default;
    CColorTheme& operator=(const CColorTheme&) = default;
    CColorTheme(CColorTheme&&) = default;
    CColorTheme& operator=(CColorTheme&&) = default;

    // Replaces name and colours by those of another theme.
    void Assign(const CColorTheme& other);

    // Colour at index i modulo the colour count (any i, negative included);
    // 0 (black) for a theme without colours.
    std::uint32_t GetColor(int i) const;

    bool operator==(const CColorTheme& other) const;
    bool operator!=(const CColorTheme& other) const { return !(*this == other); }

    std::string m_Name;
    std::vector<std::uint32_t> m_Colors;
};

// A stored value is read back only within the limits of the Windows
// program's buffers: names of at most 1024 characters (UTF-16 code units) and
// at most 1024 colours (4096 bytes).
constexpr int kMaxColorThemeNameLength = 1024;
constexpr std::size_t kMaxColorThemeDataSize = 4096;

// The colours of a theme as stored: 4 bytes each, little-endian.
QByteArray EncodeColorThemeData(const std::vector<std::uint32_t>& colors);
// The colours of stored data; false, with colors untouched, when the data is
// empty, larger than kMaxColorThemeDataSize or not a multiple of 4 bytes long.
bool DecodeColorThemeData(const QByteArray& data, std::vector<std::uint32_t>& colors);

// Reads the stored colour themes. False, leaving the set unchanged, when the
// store cannot be read. A "ColorThemes" key without values also leaves the set
// unchanged (so the caller's built-in themes stay); otherwise the set is
// emptied and every readable stored theme appended: a value counts when it is
// binary, its name not longer than kMaxColorThemeNameLength, and its data
// decodes (see DecodeColorThemeData). Other values are skipped silently.
bool LoadColorThemes(std::vector<CColorTheme>& themes);
// The same on an open store (its current group must be the top level).
bool LoadColorThemes(QSettings& settings, std::vector<CColorTheme>& themes);

// Deletes every value of the "ColorThemes" key, then writes one value per
// theme in order (a theme without colours gets empty data, which is never
// read back; a later theme of the same name replaces the earlier one). False
// when the store cannot be written. The one-argument form writes the file
// before returning; the other leaves that to the caller's sync().
bool SaveColorThemes(const std::vector<CColorTheme>& themes);
bool SaveColorThemes(QSettings& settings, const std::vector<CColorTheme>& themes);
