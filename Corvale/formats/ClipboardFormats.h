#pragma once
// Shapes and coordinates on the system clipboard.
//
// The program has two clipboard formats of its own, each a MIME type in the
// clipboard's one QMimeData; every copy also puts plain text (UTF-8) beside
// them, since Qt replaces the whole clipboard on each set:
//
// CF_CORVALE_SHAPE (kShapeClipboardMime), little-endian, no padding:
//   u32 shape type of every record, u32 attribute count n, u32 record count m;
//   n attribute entries of 24 bytes: name (12 bytes, at most 11 characters,
//   NUL-filled), i32 length, i32 decimals, i32 field type (FT_*);
//   m record items: the record image (8-byte big-endian header, type, body),
//   sized by its type: 28 for a point, 44 for a PointZ, 52 + 4 parts + 16
//   points for polylines and polygons, plus 16 (points + 2) for their Z
//   forms (M always present); then n NUL-terminated value texts.
//
// CF_CORVALE_COORDINATE (kCoordinateClipboardMime):
//   u32 point count c, u32 values per point s (writers store 2), then s
//   doubles per point: x at value i s, y at value i s + 1.
//
// The clipboard is input from other processes: every count and size of a
// block is checked against the bytes there before anything is read, and a
// block that does not add up is refused whole.

#include "core/AttributeField.h"
#include "geometry/ShapePiece.h"
#include "shapes/ShapeRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CTheme;
class QMimeData;

// The registered names of the two formats and the MIME types that carry them.
constexpr const char* kShapeClipboardFormat = "CF_CORVALE_SHAPE";
constexpr const char* kCoordinateClipboardFormat = "CF_CORVALE_COORDINATE";
constexpr const char* kShapeClipboardMime = "application/x-corvale-shape";
constexpr const char* kCoordinateClipboardMime = "application/x-corvale-coordinate";

// Message 61467, shown when the clipboard data cannot be allocated.
extern const char* const kClipboardMemoryMessage;
// Shown when a pasted shape block is damaged; nothing is added then.
extern const char* const kClipboardDamagedMessage;
// The two messages of a WKT paste that could not be read whole; the second
// takes the number of shapes added.
extern const char* const kPasteUnparsedMessage;
extern const char* const kPastePartlyParsedMessage;
// Shown after a paste when the pasted values repeat a primary key.
extern const char* const kPasteKeyViolationMessage;

// ---- The blocks, without a clipboard ----

// The content of a shape block.
struct ShapeClipboardBlock {
    std::uint32_t m_ShapeType = 0;
    // Names at most 11 characters; the primary-key flag is not carried.
    std::vector<CAttributeFieldInfo> m_Columns;
    // New buffers, one per record item, each carrying its M values and a
    // content length that says so.
    std::vector<CShapeRecordPtr> m_Records;
    // Per record its n value texts; empty lists when the values were skipped.
    std::vector<std::vector<std::string>> m_Values;
};

// The size of a record item of that type and those counts; 0 for a type
// that may not stand in a block (only 1, 3, 5, 11, 13 and 15 may).
std::uint64_t ShapeClipboardRecordSize(std::uint32_t type, std::uint64_t parts, std::uint64_t points);

// Appends a block: the header, the columns (names cut to 11 characters), and
// each record followed by its values (values[k] holds the texts of record
// k; missing texts are written empty, texts beyond the columns are not
// written). A Z record without M values gets M 0.0. False, out unchanged,
// for a record of a type that may not stand in a block or of another family
// than type.
bool AppendShapeClipboardBlock(std::string& out, std::uint32_t type, const std::vector<CAttributeFieldInfo>& columns,
                               const std::vector<const CShapeRecord*>& records,
                               const std::vector<std::vector<std::string>>& values);

// Reads a whole block. False, block emptied, when the header, an entry, a
// record or a value text does not fit the bytes, a count cannot be right
// for them, a field type is unknown, a record's type is not one of the six
// or not of the block's family, or its parts are out of order. withValues
// false skips (but still checks) the value texts.
bool ReadShapeClipboardBlock(const unsigned char* bytes, std::size_t size, ShapeClipboardBlock& block,
                             bool withValues);

// The coordinate block of the points, 2 values per point.
std::string MakeCoordinateClipboardBlock(const std::vector<CShapePoint>& points);
// The points of a coordinate block; false, points emptied, when the block is
// shorter than its header, holds fewer than 2 values per point, or its count
// does not fit the bytes.
bool ReadCoordinateClipboardBlock(const unsigned char* bytes, std::size_t size, std::vector<CShapePoint>& points);

// ---- The theme's copies ----
//
// Each places its data in the QMimeData the caller hands to the clipboard;
// false when there is nothing to place or the memory cannot be had (then
// message 61467 is shown with an error icon), the data untouched.

// The shape block of the theme's selected, visible shapes in ascending
// shape-index order with every column's value, and the text: one line per
// shape of its shown columns as name='value' pairs, each ended by CR LF. An
// image theme places its selection outline as the one record, without
// values, and an empty text.
bool CopySelection(CTheme& theme, QMimeData& data);
// One WKT line per selected shape (DataViewPrecision decimals), CR LF after
// each; shapes without a WKT form are left out.
bool CopySelectionAsWkt(CTheme& theme, QMimeData& data);
// The GeoJSON feature collection of the selected shapes.
bool CopySelectionAsGeoJson(CTheme& theme, QMimeData& data);

// ---- Paste ----

// Whether Paste has something for the editable theme: text must be on the
// clipboard, and either a shape block of the theme's family (point, polyline
// or polygon with or without Z, any other type only itself) or WKT text.
bool CanPaste(CTheme& theme);
// Adds the clipboard's shapes to the theme when CanPaste: a shape block of
// the theme's family, converted to the theme's type, its values written into
// the theme's columns by position (an empty theme without columns takes the
// block's columns first); else the geometries of WKT text. A damaged block is
// refused with a message and changes nothing; WKT that reads only in part
// adds what it read and says so. Pasted values that repeat the primary key
// are reported; the shapes stay.
void Paste(CTheme& theme);

// ---- Clipboard queries ----
//
// They read the application's clipboard; without one (no GUI application)
// the tests answer false, the count 0, and the readers deliver nothing.

// A shape block of type 5 or 15, or 3 or 13, is on the clipboard.
bool ClipboardHasPolygonShapes();
bool ClipboardHasPolylineShapes();
// The record count the shape block states; 0 without one.
std::uint32_t GetClipboardShapeCount();
// Appends a new copy of every record of the shape block (the caller frees
// them); nothing for a damaged block.
void ReadClipboardShapes(CShapeRecordVector& records);
bool ClipboardHasCoordinates();
// The text on the clipboard starts, after blanks, with a WKT keyword.
bool ClipboardHasWktText();
// A one-part SHT_Polyline record through every point of the coordinate
// block in order (a count of 0 gives a part without points); null when there
// is no coordinate block or it is damaged. The caller frees it.
CShapeRecord* ReadClipboardCoordinates();
// The points of the coordinate block; empty when there is none or it is damaged.
std::vector<CShapePoint> ReadClipboardCoordinatePoints();
