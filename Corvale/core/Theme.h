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

#include "core/FileReader.h"
#include "core/ShapeFile.h"
#include "core/ShapeRecord.h"
#include "core/NativeAttributeTable.h"
#include "core/dBaseFile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
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
    // The value of the shape with a shape index; "#ERROR#" for a dBase value
    // that cannot be read.
    std::string GetAttributeText(int shapeIndex, int field) const;

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
    // duplicates, or a column does not exist.
    void SetPrimaryKey(const std::vector<int>& columns);
    // Counts the key built from the given columns for every shape; true when a
    // key occurs more than once. Filtered-out shapes take part: they come back
    // when the filter is removed.
    bool FindDuplicateKeys(bool trim, const char* separator, std::map<std::string, int>& counts,
                           const std::vector<int>& columns) const;

    // Info tips and labels: the template's placeholders "<$LONGITUDE>" and
    // "<$LATITUDE>" (point themes), "<$INDEX>" and "<" column name ">" expanded
    // for the shape at a visible position.
    void ParseInfoTipTemplate(std::vector<std::int32_t>& placeholders) const;
    std::string FormatInfoTip(int position, const std::vector<std::int32_t>& placeholders) const;
    std::string GetInfoTipText(int position) const;
    std::string ExpandTemplate(const std::string& text, int position) const;

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

private:
    // The theme that holds the attributes: this one, or the first theme up
    // the parent chain that is not derived; null for a derived theme without
    // a parent.
    const CTheme* AttributeSource() const;
    // The descriptor of a column of the dBase or native table; null otherwise.
    const CAttributeFieldInfo* FieldInfo(int field) const;
    // Shape index of the shape at a visible position; -1 outside the list.
    int ShapeIndexAt(int position) const;
    // Back to the state of a new theme as far as opening a shape file goes.
    void ForgetShapeFile();
    bool WalkShapeFile(bool throughIndex);
    // Widens the bounds and, for themes with Z, the Z range with one record.
    void TakeRecordExtent(const CShapeRecord* record);
};
