#pragma once
// The point-symbol catalogue: 22 symbols, values 0 to 21 (the value is what a
// point theme stores), in two forms that share the numbering:
// - coloured 32 x 32 icons for the screen, the legend and the symbol page,
//   made from the program's own pixel art by filling one marked area with the
//   symbol colour. The icon of value v has icon index v + 1; icon index 0 is
//   the marker of a theme without a catalogue symbol (value -1);
// - vector drawings scaled by a unit, for output at other resolutions
//   (printing).
//
// Icons are QImages (ARGB32, premultiplied, transparent outside the symbol),
// so that they can be made and drawn without a window system.

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

class QPainter;

// Values 0..21.
constexpr int kPointSymbolCount = 22;
// The value that draws nothing.
constexpr int kBlankPointSymbol = 21;
// Icon indexes 0..22.
constexpr int kSymbolIconCount = 23;
constexpr int kSymbolIconSize = 32;
// Icon indexes from this one on are drawn as they are, in black.
constexpr int kFirstUncolouredSymbolIcon = 16;

// One icon made for a user of the catalogue; owned icons are the ones
// CreateSymbolIcon made for it.
struct SymbolIconEntry {
    QImage icon;
    bool owned = false;
};
// Each user (the point style, the legend, the symbol page) keeps its own.
using SymbolIconList = std::vector<SymbolIconEntry>;

// The icon of an icon index (0..22) in a colour (a COLORREF). The coloured
// icons are made anew and recorded in the list as owned; the icons of indexes
// 16 to 22 are the same in every colour, come back as they are and are not
// recorded. A null image for an index outside 0..22.
QImage CreateSymbolIcon(SymbolIconList& icons, int iconIndex, std::uint32_t colour);

// Drops the list's entry of that icon; false when the list has none.
bool ReleaseSymbolIcon(SymbolIconList& icons, const QImage& icon);

// Drops every entry.
void DestroyIconList(SymbolIconList& icons);

// One unit of the vector drawings, in device pixels along x and y.
struct SymbolUnit {
    double ux = 1.0;
    double uy = 1.0;
};

// Draws symbol value on the painter centred on (x, y) in the colour (a
// COLORREF); the painter's state is kept. False, drawing nothing, for a value
// outside 0..21; "Blank" (21) draws nothing and answers true.
bool DrawPointSymbol(const SymbolUnit& unit, int y, QPainter& painter, int x, int value, std::uint32_t colour);

// "Dot 1" .. "Blank"; "Symbol #<value>" for any other value.
std::string GetPointSymbolName(int value);
