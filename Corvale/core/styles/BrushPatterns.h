#pragma once
// The fill patterns of polygons: fourteen monochrome 8 x 8 bitmaps, shared by
// the polygon styles, the legend and the pattern combo box, which must all
// show the same pattern for the same number.
//
// A pattern row is one byte, the leftmost pixel in the high bit. A clear bit
// is drawn in the foreground (the polygon's fill colour), a set bit in the
// background, which a polygon fill leaves transparent so that the map below
// shows through. Pattern 0 has no set bits and so fills solidly; pattern 11
// is the hollow brush (no fill at all). The patterns are anchored at the
// device origin, so neighbouring polygons continue one another's pattern.

#include <QBrush>
#include <QColor>

// Pattern numbers 0 to 13 have a bitmap; the combo box lists these.
constexpr int kFillPatternCount = 14;
constexpr int kHollowFillPattern = 11;

// The eight rows of a pattern, top row first; null for a number without a
// bitmap (the hollow pattern and every number outside 0..13).
const unsigned char* GetFillPatternRows(int index);

// The shared brush of a pattern, made on first use and kept for the program's
// run: clear bits black, set bits white. The hollow pattern, and every number
// without a bitmap, give Qt::NoBrush: a pattern the program does not have
// fills nothing rather than something made up.
const QBrush& GetPatternBrush(int index);

// The same pattern with its clear bits in the foreground colour and its set
// bits in the background colour (Qt::transparent for a see-through fill);
// what the shared brush draws once the colours of the drawing are chosen.
QBrush GetPatternBrush(int index, const QColor& foreground, const QColor& background);
