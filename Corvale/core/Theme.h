#pragma once
// One layer of a workspace: shape records of one kind, the visible (not
// filtered-out) subset of them, their attribute source, bounds and settings.
//
// Two ways of addressing a shape run through the program:
// - the shape index is the record number minus 1; it keys the selection and
//   the attribute rows;
// - the position counts the visible records in list order; drawing, hit tests,
//   panes and scripts work by position.
// "All" in a name means filtered-out shapes included.

#include "core/GpiDataBlock.h"
#include "core/NativeAttributeTable.h"
#include "core/SelectionEntry.h"
#include "core/dBaseFile.h"
#include "geometry/SpatialHash.h"
#include "shapes/FileReader.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecord.h"
// Styles
#include "core/styles/AdvancedProperties.h"
#include "core/styles/ArrowImage.h"
#include "core/styles/StyleInfo.h"
// Raster part
#include "geometry/DoubleRect.h"
#include "raster/RasterImageData.h"
// Storage
#include "core/LogFont.h"
#include "platform/Archive.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Where a theme's shapes and attributes come from. Stored in workspace files.
enum SourceType : std::uint32_t {
    ST_Unknown = 0,
    ST_ShapeFile = 1,
    ST_CustomLoader = 2,
    ST_ParentTheme = 3,
    ST_Native = 4,
    ST_ImageFile = 5,
    ST_ExternalRaster = 6,
};

// Codes of the placeholders an info-tip template holds; 0 and up are columns.
enum InfoTipPlaceholder : std::int32_t { TP_Longitude = -3, TP_Latitude = -2, TP_Index = -1 };
using InfoTipPlaceholderList = std::vector<std::int32_t>;

// "ST_Unknown" .. "ST_ExternalRaster"; null for a value outside the enumeration.
const char* GetSourceTypeName(std::uint32_t sourceType);

// A refused primary key; what() is the message to show.
class CPrimaryKeyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CLoaderPlugin;

class CTheme {
public:
    CTheme();
    virtual ~CTheme();

    CTheme(const CTheme&) = delete;
    CTheme& operator=(const CTheme&) = delete;

    // Kind of the theme, from m_ShapeType.
    bool IsPointTheme() const;
    bool IsArcTheme() const;
    bool IsPolygonTheme() const;
    bool HasZ() const;

    // Visible shapes, taken from the first non-empty visible list in the order
    // points, arcs, polygons.
    int GetShapeCount() const;
    // The same over all records.
    int GetAllShapeCount() const;
    // The visible record at a position; null outside 0..count-1.
    CShapeRecord* GetShape(int position) const;
    CShapeRecord* GetAllShape(int position) const;
    // Empties the shape-index-to-position cache; called whenever shapes are
    // added or the visible lists change.
    void ResetShapePositions();
    // Every visible list becomes a copy of its all-records list.
    void ResetFilter();

    void ExtendBounds(double xmin, double ymin, double xmax, double ymax);
    void ExtendZRange(double zmin, double zmax);
    // Recomputes the bounds and, for themes with Z, the Z range from all records.
    void RecalculateBounds();

    // Opens a .shp with the .shx and .dbf beside it (found in any letter case).
    // Records stay in the mapped .shp; nothing is copied. Fails, leaving the
    // theme empty, when the theme already has a source, the .shp cannot be
    // opened, its header type is not one the program handles, or its records do
    // not all read (truncated, an unsupported record type, an inverted box). A
    // missing, empty or inconsistent .shx is passed over and the .shp walked in
    // file order; a missing or unreadable .dbf leaves the theme without fields.
    bool OpenShapeFile(const std::string& path);
    bool OpenShpFile(const std::string& path);
    bool OpenShxFile(const std::string& path);
    bool OpenDbfFile(const std::string& path);
    // The dBase table of the first theme of the parent chain.
    CdBaseFile* GetRootDbaseFile();

    // Record delivery, for the shape-file walk and for loader plug-ins: the
    // record (not copied) joins the all-records list of its kind and widens the
    // bounds. Refused when the record is null, of a type the program does not
    // handle, or of another kind than the theme's.
    static bool ShapeCallback(void* theme, CShapeRecord* record, std::intptr_t handle);
    // The same for older loaders that pass one record per kind: the first
    // non-null of the three is taken.
    static bool ShapeCallbackByKind(void* theme, CShapeRecord* point, CShapeRecord* arc, CShapeRecord* polygon,
                                    std::intptr_t handle);

    // Attributes, whatever holds them: the dBase table of a shape file (the
    // one of the first theme of the parent chain), the native table, the parent
    // theme, or a loader plug-in. Values are text in every source. Field
    // indexes outside the columns give the empty answer.
    unsigned GetAttributeCount() const;
    std::string GetAttributeName(int field) const;
    // The first column whose name equals the text exactly (case-sensitive); -1 when none.
    int FindAttribute(const std::string& name) const;
    // The column's descriptor; for a native table its length is first brought
    // up to the longest value + 1, so exports get widths that fit.
    CAttributeFieldInfo GetAttributeInfo(int field);
    int GetAttributeType(int field) const;
    bool IsKeyAttribute(int field) const;
    // The value of the shape at a visible position; "#Error#" for a dBase value
    // that cannot be read.
    std::string GetAttributeTextAt(int position, int field) const;
    // The same text as a view of the bytes where the value is kept (the
    // .dbf mapping or the native table's cell), for readers that parse it
    // or copy it into a string of their own. Valid until the theme's table
    // changes or its files close.
    std::string_view GetAttributeViewAt(int position, int field) const;
    // The cells of the shape at a visible position, for readers that take
    // several of them per shape (the query engine): where they are kept is
    // found once, and each Text then gives what GetAttributeViewAt gives.
    class CAttributeRow;
    CAttributeRow GetAttributeRowAt(int position) const;
    // The value of the shape with a shape index; "#ERROR#" for a dBase value
    // that cannot be read.
    std::string GetAttributeText(int shapeIndex, int field) const;
    // The code page the attribute text is in: the code-page byte of the
    // dBase table that answers (TextEncoding.h), 0 (not known) for every
    // other source.
    std::uint8_t GetAttributeCodePage() const;
    // Name and value as UTF-8, for the formats that are UTF-8.
    std::string GetAttributeNameUtf8(int field) const;
    std::string GetAttributeTextUtf8(int shapeIndex, int field) const;

    // Edits; only native themes have editable attributes, others refuse.
    bool SetAttributeText(int shapeIndex, int field, const std::string& text, bool restyle);
    bool SetAttributeTextAt(int position, int field, const std::string& text);
    int AddAttribute(const CAttributeFieldInfo& info, const char* defaultValue, const char* description);
    bool DeleteAttribute(int field);
    int AppendAttributeRow();
    // Copies every value of one shape of this theme to another; always true.
    bool CopyAttributes(const CShapeRecord* destination, const CShapeRecord* source);

    // Sets the primary key (an empty list clears it); throws CPrimaryKeyError
    // with the message to show when the theme is read-only, the columns hold
    // duplicates, or a column does not exist. Every shape is checked,
    // filtered-out ones included: they come back when the filter is removed.
    void SetPrimaryKey(const std::vector<int>& columns);
    // Counts the key built from the given columns for every visible shape
    // (the duplicate table shows what the user sees); true when a key occurs
    // more than once. Each value is trimmed on its own when trim is set.
    bool FindDuplicateKeys(bool trim, const char* separator, std::map<std::string, int>& counts,
                           const std::vector<int>& columns) const;

    // Info tips and labels: the template's placeholders "<$LONGITUDE>" and
    // "<$LATITUDE>" (point themes), "<$INDEX>" and "<" column name ">" expanded
    // for the shape at a visible position.
    void ParseInfoTipTemplate(std::vector<std::int32_t>& placeholders) const;
    std::string FormatInfoTip(int position, const std::vector<std::int32_t>& placeholders) const;
    std::string GetInfoTipText(int position) const;
    // valueFilter, when given, is applied to every value put in for a
    // placeholder (an HTML image map escapes them), never to the text around.
    std::string ExpandTemplate(const std::string& text, int position,
                               std::string (*valueFilter)(const std::string&) = nullptr) const;

    // Which attribute columns the attribute views show, one entry per column
    // in column order; a column beyond the end of the list counts as shown.
    // The export chooser leaves hidden columns out while asked to.
    struct CAttributeColumn {
        bool m_Shown = true;
    };
    std::vector<CAttributeColumn> m_AttributeColumns;
    // Whether column field is shown by m_AttributeColumns.
    bool IsAttributeColumnShown(int field) const {
        return field < 0 || static_cast<std::size_t>(field) >= m_AttributeColumns.size() ||
               m_AttributeColumns[static_cast<std::size_t>(field)].m_Shown;
    }

    void AddChildTheme(CTheme* theme);
    void RemoveChildTheme(CTheme* theme);

    std::uint32_t m_ShapeType = SHT_Null;
    std::uint32_t m_SourceType = ST_Unknown;
    std::uint32_t m_FormerSourceType = ST_Unknown;

    std::vector<CShapeRecord*> m_Points;
    std::vector<CShapeRecord*> m_Arcs;
    std::vector<CShapeRecord*> m_Polygons;
    std::vector<CShapeRecord*> m_VisiblePoints;
    std::vector<CShapeRecord*> m_VisibleArcs;
    std::vector<CShapeRecord*> m_VisiblePolygons;
    // Record buffers the theme allocated itself (drawn and edited shapes).
    std::vector<std::unique_ptr<unsigned char[]>> m_OwnedPoints;
    std::vector<std::unique_ptr<unsigned char[]>> m_OwnedArcs;
    std::vector<std::unique_ptr<unsigned char[]>> m_OwnedPolygons;
    std::unordered_map<int, int> m_PositionByIndex;
    std::intptr_t m_LastLoaderHandle = 0;
    // The loader plug-in binding of an ST_CustomLoader theme, owned by the
    // theme (deleted with it, after fnRemoveShapes), and the handle word the
    // loader gave the theme.
    CLoaderPlugin* m_Loader = nullptr;
    std::uint32_t m_LoaderHandle = 0;

    std::string m_ShpPath;
    std::string m_DbfPath;
    std::string m_ShxPath;
    CShapeFileView m_ShpView;
    CShapeIndexView m_ShxView;
    std::int64_t m_ShxRecordCount = -1;
    CFileReader m_ShpReader;
    CFileReader m_ShxReader;
    CFileReader m_DbfReader;
    CdBaseFile m_Dbf;
    CNativeAttributeTable m_NativeTable;

    CTheme* m_ParentTheme = nullptr;
    std::vector<CTheme*> m_ChildThemes;

    std::string m_Name;
    std::string m_Comment;
    std::string m_ListTemplate;
    std::string m_InfoTipTemplate;

    // Base style; the colours are set by the document from the settings when
    // a theme is created.
    std::uint32_t m_Color = 0;
    std::uint32_t m_OutlineColor = 0;
    int m_LineWidth = 0;
    int m_PenStyle = 0;
    int m_FillPattern = 0;
    int m_PointSymbol = 0;

    // ---- Styles (ThemeStyles.cpp) ----
    //
    // Every visible shape is drawn with a style object. m_Styles holds the
    // default style (slot 0, built from the base style above) and one style
    // per conditional style rule (slot k + 1 for rule k of
    // m_AdvancedProperties); m_ShapeStyles holds the style of each visible
    // position, parallel to the visible list, and is empty when every shape
    // uses the default style; m_StyleCache holds the styles whose values come
    // from attribute columns, one per distinct set of values. The theme owns
    // the styles of m_Styles and m_StyleCache; m_ShapeStyles points at them.
    //
    // Rules are tried in the order the rule page lists them, and the first
    // whose condition holds for a shape draws it, in every operation below.

    // The two further words of the base style: where polylines are drawn
    // relative to their line (0 centre, 1 left, 2 right, 3 east, 4 west,
    // 5 north, 6 south) and how far off it.
    int m_LineOffsetMode = 0;
    int m_LineOffset = 0;

    std::vector<std::unique_ptr<CStyleInfo>> m_Styles;
    std::vector<CStyleInfo*> m_ShapeStyles;
    std::map<StyleCacheKey, std::unique_ptr<CStyleInfo>> m_StyleCache;
    CAdvancedProperties m_AdvancedProperties;

    // Direction arrows along polylines: shown or not, where along a line
    // (0.0 to 1.0), and the arrow head's icons.
    bool m_ShowArrows = false;
    float m_ArrowPosition = 1.0f;
    CArrowImage m_ArrowImage;

    // Builds slot 0 from the base style when there are no styles, else
    // assigns the fresh values to the existing default style, so that shapes
    // pointing at it keep doing so. Point themes get a point style, polyline
    // themes a polyline style, polygon themes a polygon style, other kinds
    // (but the null kind) a plain colour. Z kinds count as their plain kinds.
    void UpdateDefaultStyle();
    // Rebuilds every style and the style of every visible shape. Image themes
    // are left alone. Called after opening and loading, after filtering and
    // after the rules changed.
    void UpdateStyles();
    // Decides the style of one shape again (after it was added or its
    // attributes were copied); nothing without styles or rules.
    void ApplyStyleRules(int position);
    // Makes the styles when there are none and the theme has shapes; without
    // rules every shape takes the default style, else each shape's style is
    // decided again.
    void ApplyStyleRulesToAll();
    // The style the shape at a position should have now; null when the theme
    // has no styles. The caller stores it in m_ShapeStyles.
    CStyleInfo* EvaluateStyleRules(int position);
    // Whether the rule takes any value the theme's kind uses from a column.
    bool RuleUsesAttributeStyle(const CAdvancedProperty& rule) const;
    // The shared style of a shape under an attribute-driven rule, given the
    // columns of fill colour, pen colour, pen width and pen style (-1 where
    // the rule takes none). Made on the first request for its values.
    CStyleInfo* GetAttributeDrivenStyle(int position, const CAdvancedProperty& rule,
                                        const std::array<int, 4>& columns);
    // The style that draws the shape at a position: its entry in
    // m_ShapeStyles, the default style when that list is empty, null beyond
    // the list or without styles.
    CStyleInfo* GetShapeStyle(int position) const;

    // ---- end of styles ----

    bool m_Visible = true;
    bool m_ScaleDependent = false;
    double m_MaxScale = 1.0;
    double m_MinScale = 0.0;

    // xmin, ymin, xmax, ymax.
    double m_Bounds[4] = {0.0, 0.0, 0.0, 0.0};
    bool m_BoundsValid = false;
    // zmin, zmax.
    double m_ZRange[2] = {0.0, 0.0};
    bool m_ZRangeValid = false;

    bool m_Editable = false;
    bool m_Modified = false;

    // ---- Selection, filter and spatial hash (ThemeSelection.cpp,
    // ThemeSpatialIndex.cpp) ----
    //
    // Selection operations take shape indexes; a selected shape's position is
    // always derived from its shape index when it is used (GetShapePosition),
    // so sorting, filtering and deleting can never leave it naming another
    // shape. The document fires the update events.

    // Clears the selection (selection area included) and selects every
    // visible shape in position order.
    void SelectAll(std::uint32_t color);
    // Empties the selection and frees the selection area.
    void ClearSelection();
    // Replaces the selection area by a one-part polygon through the given map
    // points, used as they are (the caller closes the ring). With no list, or
    // fewer than 4 points, the theme is left without a selection area.
    void SetSelectionArea(const std::vector<CShapePoint>* points);
    // The visible shapes that were not selected become the selection, in
    // position order; all earlier entries go, filtered-out ones included. The
    // selection area stays.
    void InvertSelection(std::uint32_t color);
    // InvertSelection with the settings' selection colour.
    void InvertSelectionWithDefaultColour();
    // Adds an entry with the next selection index unless the shape index has
    // one (an existing entry is left as it is). The position argument is the
    // caller's view of where the shape stands; it is not stored.
    void AddToSelection(int shapeIndex, int position, int width, std::uint32_t color);
    // Erases the entry and closes the gap in the selection order.
    void RemoveFromSelection(int shapeIndex);
    // The entry's selection index; -1 when the shape is not selected.
    int GetSelectionIndex(int shapeIndex) const;
    // The visible record of the entry whose selection index is n; null when
    // no entry has it or that shape is filtered out.
    CShapeRecord* GetSelectedShape(int n);
    void SetSelectionColour(std::uint32_t color);

    // Removes the selected shapes from the visible list and empties the
    // selection; true also when nothing is selected, false when the theme
    // has no visible shape.
    bool FilterSelected();
    // The filtered-out shapes become the visible ones, in all-shapes order,
    // and the visible ones are filtered out. The selection stays.
    void InvertFilter();
    // Record number minus 1 of the shape at a visible position; -1 outside
    // the visible list.
    int GetShapeIndex(int position) const;
    // Position of the shape in the visible list; -1 when it is filtered out
    // or does not exist. Answers from m_PositionByIndex, which it fills on
    // first use and refills when it finds it out of date.
    int GetShapePosition(int shapeIndex);
    // All-shapes count minus visible count of the theme's kind; 0 when empty.
    int GetFilteredShapeCount() const;

    // Builds the spatial hash of a large polyline or polygon theme when the
    // Performance setting is 2 and there is none yet.
    void BuildSpatialIndex();
    void DeleteSpatialIndex();
    // Lists the record again under its current box after its points moved
    // in place, so that searches through the hash still find it. The hash is
    // dropped (searches go linear) when it cannot take the record.
    void ReindexShape(CShapeRecord* record);
    // Positions of the visible shapes nearest to (x, y), every tie listed
    // once; containing polygons come first at distance 0. False when the
    // theme has no visible shape of its kind.
    bool FindClosestShapes(std::vector<int>& positions, double x, double y) const;
    // Appends the positions of the visible shapes, other than the record
    // itself, that intersect it (ShapesIntersect); true when the list is not
    // empty afterwards.
    bool GetIntersectingShapes(const CShapeRecord* record, std::vector<int>& positions) const;

    // Shape index to entry, iterated in shape-index order.
    std::map<int, CSelectionEntry> m_Selection;
    // Number of entries, and the selection index the next entry receives.
    int m_SelectionCounter = 0;
    // The polygon record of the last selection outline drawn in the view.
    std::unique_ptr<unsigned char[]> m_SelectionArea;
    std::unique_ptr<CShapeAreaHashTable> m_SpatialIndex;
    // Size of the visible list when m_PositionByIndex was filled; a list of
    // another size means the map is out of date.
    std::size_t m_PositionMapListSize = 0;

    // ---- end of selection, filter and spatial hash ----

    // ---- Record editing (ThemeEditing.cpp) ----
    //
    // Shapes may be added to any theme of the matching kind; records are
    // replaced and deleted only in editable native themes. An editable
    // native theme owns every record buffer (m_Owned*, in all-shapes order)
    // and keeps record number = shape index + 1 = all-shapes index + 1 =
    // native row + 1; deletions renumber the records so that shape indexes
    // stay dense. A theme becomes editable only through ConvertToNative.
    //
    // Refusals are null or false results with nothing changed. The callers
    // fire the update events; plug-ins hear of deleted and replaced records
    // through the hooks of core/ShapeEditHooks.h.

    // Native themes: all-shapes count - 1; other themes: the largest record
    // number - 1 among the records of the theme's kind. -1 when there is no
    // record, or for a theme of no point, polyline or polygon kind.
    int GetHighestShapeIndex() const;
    // Whether the record is in a visible list (not filtered out).
    bool IsShapeVisible(const CShapeRecord* record) const;
    // By the record's own type: 1 and 11 to AddPoint, 3 and 13 to AddArc,
    // 5 and 15 to AddPolygon; null for a null record or another type.
    CShapeRecord* AddShape(CShapeRecord* record, bool updateIndex, bool applyStyle, bool adopt);
    // Appends a shape with record number GetHighestShapeIndex() + 2 to the
    // all-shapes, visible and owned lists (and a row of column defaults to
    // a native table), widens the bounds and answers the theme's record.
    // The record is copied, or with adopt taken over: it must then have been
    // allocated with new unsigned char[], and stays the caller's when the
    // answer is null. Null when the theme is not of the record's kind: point
    // themes take 1 and 11, polygon themes 5 and 15, polyline themes 3 and
    // 13 and also polygons, which AddArc turns into polylines of the same
    // parts. A Z record in a plain theme and the other way round are kept
    // as they are; the shape-file writer puts each record into the file's
    // layout. updateIndex rebuilds the spatial hash; applyStyle decides the
    // style of every shape added since styles were last decided. Callers
    // adding many shapes reserve first and pass both false but for the last.
    CShapeRecord* AddPoint(CShapeRecord* record, bool updateIndex, bool applyStyle, bool adopt);
    CShapeRecord* AddArc(CShapeRecord* record, bool updateIndex, bool applyStyle, bool adopt);
    CShapeRecord* AddPolygon(CShapeRecord* record, bool updateIndex, bool applyStyle, bool adopt);
    // Adds a 28-byte point record at (x, y) to a point theme (a plain point
    // also in a PointZ theme); null for other themes.
    CShapeRecord* AddPointAt(bool updateIndex, bool applyStyle, double x, double y);
    // A record a loader plug-in delivers to a theme it is loading: listed
    // (not copied, not owned) when of the theme's kind. False for an
    // editable theme (nothing changed) and for a null record or another
    // kind; the spatial hash is rebuilt whatever the answer.
    bool AppendLoadedShape(CShapeRecord* record);
    // Takes a record its loader plug-in withdraws out of the theme: out of
    // the selection (by its shape index), the all-records list (by address),
    // the visible list and the per-shape styles at the same position; the
    // position map, the bounds and the spatial hash follow, and the plug-in
    // host hears that the shape is gone. The record stays the loader's. False
    // for an editable theme, a null record or one the theme does not list.
    bool RemoveLoadedShape(CShapeRecord* record);
    // Puts an owned copy of newRecord, with the old record's number, in
    // place of oldRecord and frees the old buffer; the spatial hash follows
    // in place, child themes made from a selection are pointed at the copy,
    // and a plug-in's handle of the old record moves to the copy. Only for
    // editable polyline and polygon themes whose type equals the new
    // record's, and only for a record of the theme; null otherwise. Bounds
    // and the modified flag are left to the caller.
    CShapeRecord* ReplaceShape(const CShapeRecord* newRecord, CShapeRecord* oldRecord);
    // Moves one shape to another place in the drawing order of a native theme
    // without filtered-out shapes or child themes: the record leaves its
    // index and is put in before the shape that stood at newIndex (the
    // shape count puts it last), so a shape moved towards the end lands at
    // newIndex - 1. Its attribute row, style and selection entry go with it,
    // the selection entries of the shapes it passes follow their shapes, and
    // every record is numbered by its place again. With checkVisible the
    // record must be visible. False, nothing changed, for a record that is
    // not the theme's or an index beyond the count; true at once when the
    // shape already stands there.
    bool MoveShape(CShapeRecord* record, int newIndex, bool checkVisible);
    // Sorts every shape of a native theme without filtered-out shapes or
    // child themes by one column (stable: equal values keep their order).
    // Integer columns compare as 64-bit numbers read from the front of the
    // text, double columns as doubles, the others byte by byte. Rows, styles
    // and records move with their shapes, the records are numbered by their
    // places again, and the selection follows its shapes (entries and
    // selection order kept). False, nothing changed, for other themes or a
    // field outside the columns.
    bool SortShapes(int field, bool descending);
    // Move the selected shapes, in their drawing order, after (top) or
    // before (bottom) the others in a native theme without filtered-out
    // shapes or child themes. The shapes stay selected; their selection
    // order becomes their drawing order. False, nothing changed, for other
    // themes.
    bool MoveSelectionToTop();
    bool MoveSelectionToBottom();
    // Makes room in the lists of an editable theme for count more shapes.
    void ReserveShapes(int count);
    // Deletes every selected shape (filtered-out selected shapes too) of an
    // editable native theme, renumbers the rest, recomputes the bounds and
    // empties the selection. False, with nothing changed, for other themes
    // and for a theme with child themes, which point at its records.
    bool DeleteSelectedShapes();
    // Deletes one shape of an editable native theme without child themes;
    // the selection, rows and styles of the others follow. False when the
    // record is not one of the theme's shapes.
    bool DeleteShape(CShapeRecord* record);
    // editable false: the theme becomes read-only, its data kept. editable
    // true: an empty theme of no source, or a native one, becomes editable
    // native; a theme of a shape file, a loader or a parent gets owned copies
    // of its records, numbered 1..n, a native table with its columns and
    // values, and the selection carried over, and lets go of its source.
    // False, with nothing changed, for image themes, themes with child
    // themes or filtered-out shapes, themes of no point, polyline or polygon
    // kind, and when the copies cannot be made. quiet keeps the progress bar
    // from moving.
    bool ConvertToNative(bool editable, bool quiet);

    // ---- end of record editing ----

    // ---- Plug-in data (ThemeGpiData.cpp) ----
    //
    // Data blocks that GPI plug-ins keep with the theme, one per plug-in,
    // named by its GUID text, in the order they were first set. The plug-in
    // host writes them as the last item of the theme's record in a workspace
    // and empties and refills the list when the record is read.
    std::vector<GpiDataBlock> m_GpiData;
    // Replaces the block with the same name (ASCII case ignored) by a copy of
    // the block, or appends a copy; a block of the list set on itself is left
    // alone.
    void SetGpiDataBlock(const GpiDataBlock& block);

    // ---- end of plug-in data ----

    // ---- Raster part (ThemeRaster.cpp) ----
    //
    // An image theme (m_ShapeType SHT_Image) has no records: its picture, the
    // image file and the placement on the map live in m_Raster, whose display
    // bitmap the map view draws over m_Raster.m_Bounds. After every operation
    // below that places or moves the picture, m_Bounds equals the image
    // extent (ordered, valid) and the theme is modified. Operations meant for
    // image files refuse, changing nothing, on themes of another source type.
    CRasterImageData m_Raster;
    // Whether the image is meant to be loaded (shown); stored with the theme.
    bool m_RasterLoaded = true;

    // Loads the image placed by the given transformation, or by the world
    // file beside it when null, dropping any display bitmap first. True when
    // the image loaded; the bounds are then the image extent. placedByWorld
    // receives false when no transformation was given and no usable world
    // file was found (the image then sits where the transformation put it).
    // Works on any theme: the document loads before it sets the source type.
    bool LoadRaster(const std::string& path, const CRasterTransformation* transformation = nullptr,
                    bool* placedByWorld = nullptr);
    // Loads the image again by the theme's own transformation, after setting
    // new coefficients when given (the bitmap is then rebuilt). A bitmap that
    // still exists is kept. The bounds follow the extent and the theme is
    // modified; false for other source types and when the image would not load.
    bool ReloadRaster(const CRasterTransformation* coefficients = nullptr);
    // Unloads (false) or loads again (true) the image, and notes the choice
    // in m_RasterLoaded. A loaded image is left as it is. A failed load shows
    // an error box and leaves the image unloaded; false then, when the last
    // load of the raster part failed (it is not tried again), and for other
    // source types.
    bool SetRasterLoaded(bool loaded);
    // The calibration page's adjustments. Scaling the width keeps the bitmap
    // of an unrotated image (the drawing stretches it); every other change
    // rebuilds the bitmap so that it follows the new placement. False, with
    // nothing changed, for other source types and for values the raster part
    // refuses (a factor of 0, a number that is not finite).
    bool MoveRasterHorizontally(double distance);
    bool MoveRasterVertically(double distance);
    bool ScaleRasterWidth(double factor);
    bool ScaleRasterHeight(double factor);
    bool RotateRaster(double angle);
    // Places an image file on a world rectangle, turned by an angle in
    // radians: how workspaces saved before the raster part was stored keep
    // their images. False when the image does not load.
    bool PlaceRaster(const CDoubleRect& rect, const std::string& path, double angle);
    // Takes over a bitmap a plug-in made, placed on the rectangle; the theme
    // becomes ST_ExternalRaster. Only for image themes; false when the bitmap
    // cannot be taken.
    bool SetExternalRaster(const CDoubleRect& rect, const std::string& fileName, const QImage& bitmap);
    // The bounds become the image extent, ordered and valid.
    void TakeRasterBounds();

    // ---- end of raster part ----

    // ---- Storage (ThemeSerialize.cpp) ----
    //
    // A theme is stored in a workspace file as one record of schema 21 (older
    // schemas are still read): its flags and base style, its source (a
    // shape-file theme by its three paths, a native theme with all its
    // records and its attribute table, a loader theme by the plug-in's data
    // block), then its settings in the order they were added to the format,
    // the raster part and the plug-in data blocks. The record layout is
    // written down in ThemeSerialize.cpp.
    //
    // Reading expects a new theme. A record that cannot be read throws
    // CArchiveException: BadSchema for a schema above 21 or a part of a
    // newer version, EndOfFile for data that ends early, BadData for a size,
    // count or record that does not fit the bytes there or its own type. The
    // theme is then half-filled and the caller frees it. A shape file that
    // cannot be opened is asked for through the user-interface seam
    // ("Corvale was unable to open ..."); a theme whose file is never found
    // keeps its paths and settings, without records, so that storing it
    // again loses nothing.

    // Label, info-tip and drawing settings kept with the theme (the map
    // view draws by them).
    // Shows the info tip of the shape under the mouse; one theme at a time.
    bool m_ShowInfoTip = false;
    // Draws the info-tip text of every shape on the map as its label.
    bool m_ShowLabels = false;
    // Where a point's label lies around it: a LabelPosition code of the map
    // view (8: below right).
    std::int32_t m_LabelAlignment = 8;
    // Labels are drawn even where they would block later ones.
    bool m_LabelForce = false;
    LogFont m_LabelFont = DefaultLabelFont();
    // COLORREFs of the text, of the box behind it and of the box's frame.
    std::uint32_t m_LabelColor = 0x000000;
    std::uint32_t m_LabelFillColor = 0xFFFFFF;
    std::uint32_t m_LabelFrameColor = 0x000000;
    // Labels stand in a framed box.
    bool m_LabelFrame = false;
    // Pixels kept free around a placed label.
    std::int32_t m_LabelSpacing = 0;
    // A text repeated on several shapes is drawn at every one of them.
    bool m_LabelDuplicates = true;
    // A line joins the visible points in list order.
    bool m_ConnectPoints = false;
    // The image of a raster theme is smoothed when stretched.
    bool m_RasterSmoothing = false;
    // A select click on an image theme traces the region of similar colour
    // under it. Image themes keep it in the stored word of m_ConnectPoints,
    // which has no meaning for them.
    bool m_VectorizeOnSelect = false;

    // A loader theme whose plug-in is not bound keeps the plug-in's path and
    // the data block the workspace held for it, and stores them again as
    // they were, so that a workspace saved without the plug-in keeps its data.
    std::string m_LoaderPath;
    bool m_HasLoaderData = false;
    std::vector<unsigned char> m_LoaderData;

    // What storing and reading a theme needs from above the data model.
    struct SerializeContext {
        // Stores or reads the plug-in data blocks, the last item of the
        // record, through the plug-in host, which hands blocks read to their
        // plug-ins. Empty: the theme stores and reads m_GpiData itself and no
        // plug-in hears of it.
        std::function<void(CArchive& archive, CTheme& theme)> serializeGpiData;
        // The folder of the workspace file being read: a relative path stored
        // in it names a file beside the workspace, wherever it was opened from.
        std::string baseFolder;
    };

    // Stores the theme, or reads it from a workspace, by the archive's
    // direction. Storing clears m_Modified; a loader theme without a stored
    // data block is stored with its records (ConvertToNative) and is native
    // from then on. Reading opens the shape file, places an image of an
    // older schema, builds styles and spatial hash and clears m_Modified.
    void Serialize(CArchive& archive, const SerializeContext& context = SerializeContext());
    // The records and attribute table of a native theme: u32 version (2),
    // u32 shape type, u32 count, per record u32 size and its bytes, then the
    // table. Storing converts a theme that is not native yet; reading makes
    // the theme native and checks every record against its bytes and the
    // theme's kind.
    void SerializeNativeData(CArchive& archive);

    // ---- end of storage ----

private:
    // The theme that holds the attributes: this one, or the first theme up
    // the parent chain that is not derived; null for a derived theme without
    // a parent.
    const CTheme* AttributeSource() const;
    // The descriptor of a column of the dBase or native table; null otherwise.
    const CAttributeFieldInfo* FieldInfo(int field) const;
    // The attribute source when it is a bound loader theme; null otherwise.
    const CTheme* LoaderAttributeSource() const;
    // What a loader's count and name entries take first: the handle word
    // from interface version 3, the shape type below.
    std::uint32_t LoaderFirstArgument() const;
    // fnGetAttributeType of the source's loader, key bit included; 0 for a
    // field outside the columns.
    std::uint32_t LoaderFieldType(int field) const;
    // Takes the style of the shape at a position anew after its values changed.
    void Restyle(int position);
    // Shape index of the shape at a visible position; -1 outside the list.
    int ShapeIndexAt(int position) const;
    // Back to the state of a new theme as far as opening a shape file goes.
    void ForgetShapeFile();
    bool WalkShapeFile(bool throughIndex);
    // Widens the bounds and, for themes with Z, the Z range with one record.
    void TakeRecordExtent(const CShapeRecord* record);
};

class CTheme::CAttributeRow {
public:
    // The text of a cell, as GetAttributeViewAt gives it: "#Error#" for a
    // dBase value that cannot be read, empty for a field below 0 and for a
    // position outside the visible list. Valid until the next Text of this
    // row (a loader makes its values on request) and while the theme's
    // table and files stay as they are.
    std::string_view Text(int field);
    // A number cell read as a number: what a C scan of Text(field) reads
    // as a decimal integer or as a double (0 when no number starts it). A
    // dBase cell is read straight from its bytes, with no text in between.
    std::int64_t Integer(int field);
    double Number(int field);
    // Whether a text given by Text stays valid through later reads of the
    // row (a cell read in place), not only until the next one.
    bool TextsStay() const { return m_Kind != Kind::OwnLoader && m_Kind != Kind::Loader; }
    // For a row of a dBase table read in place: the table and the record's
    // bytes, so that a reader of many cells per row can take a cell's bytes
    // itself (CdBaseFile::GetFieldBytes, for a field below the field count).
    // Null for every other row.
    const CdBaseFile* DBaseTable() const { return m_Kind == Kind::DBase ? m_Dbf : nullptr; }
    const char* RecordBytes() const { return m_Kind == Kind::DBase ? m_RecordBytes : nullptr; }

private:
    friend class CTheme;
    enum class Kind { Empty, OwnLoader, Loader, DBase, DBaseError, Native };
    Kind m_Kind = Kind::Empty;
    const CTheme* m_Source = nullptr;
    const CShapeRecord* m_Record = nullptr;
    int m_ShapeIndex = -1;
    const CdBaseFile* m_Dbf = nullptr;
    const char* m_RecordBytes = nullptr;
    const CNativeAttributeRow* m_NativeRow = nullptr;
    std::string m_LoaderValue;
};
