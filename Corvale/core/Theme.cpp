#include "core/Theme.h"

#include "core/LoaderPlugin.h"

#include "platform/ByteOrder.h"
#include "platform/FileNames.h"

#include <algorithm>

using corvale::FindSiblingFile;
using corvale::PathStem;
using corvale::ReadLE32;
using corvale::ReadLEDouble;

namespace {

const char* const kSourceTypeNames[] = {"ST_Unknown",      "ST_ShapeFile", "ST_CustomLoader",  "ST_ParentTheme",
                                        "ST_Native",       "ST_ImageFile", "ST_ExternalRaster"};

bool IsRecordType(std::uint32_t type) {
    return type == SHT_Point || type == SHT_Polyline || type == SHT_Polygon || type == SHT_PointZ ||
           type == SHT_PolylineZ || type == SHT_PolygonZ;
}

// The visible list when it holds anything, else the next kind's.
const std::vector<CShapeRecord*>& FirstNonEmpty(const std::vector<CShapeRecord*>& a,
                                                const std::vector<CShapeRecord*>& b,
                                                const std::vector<CShapeRecord*>& c) {
    if (!a.empty())
        return a;
    if (!b.empty())
        return b;
    return c;
}

} // namespace

const char* GetSourceTypeName(std::uint32_t sourceType) {
    return sourceType <= ST_ExternalRaster ? kSourceTypeNames[sourceType] : nullptr;
}

CTheme::CTheme() = default;

CTheme::~CTheme() {
    // The loader hears that its records go before the binding, and with it
    // the module, goes away.
    if (m_Loader != nullptr) {
        m_Loader->RemoveShapes(m_LoaderHandle);
        DeleteLoaderPlugin(m_Loader);
        m_Loader = nullptr;
    }
    if (m_ParentTheme != nullptr)
        m_ParentTheme->RemoveChildTheme(this);
    // The document never deletes a parent before its children; should it
    // happen, the children must not keep a dangling parent.
    for (CTheme* child : m_ChildThemes)
        child->m_ParentTheme = nullptr;
}

bool CTheme::IsPointTheme() const { return m_ShapeType == SHT_Point || m_ShapeType == SHT_PointZ; }
bool CTheme::IsArcTheme() const { return m_ShapeType == SHT_Polyline || m_ShapeType == SHT_PolylineZ; }
bool CTheme::IsPolygonTheme() const { return m_ShapeType == SHT_Polygon || m_ShapeType == SHT_PolygonZ; }
bool CTheme::HasZ() const {
    return m_ShapeType == SHT_PointZ || m_ShapeType == SHT_PolylineZ || m_ShapeType == SHT_PolygonZ;
}

int CTheme::GetShapeCount() const {
    return static_cast<int>(FirstNonEmpty(m_VisiblePoints, m_VisibleArcs, m_VisiblePolygons).size());
}

int CTheme::GetAllShapeCount() const { return static_cast<int>(FirstNonEmpty(m_Points, m_Arcs, m_Polygons).size()); }

CShapeRecord* CTheme::GetShape(int position) const {
    const auto& list = FirstNonEmpty(m_VisiblePoints, m_VisibleArcs, m_VisiblePolygons);
    if (position < 0 || static_cast<std::size_t>(position) >= list.size())
        return nullptr;
    return list[static_cast<std::size_t>(position)];
}

CShapeRecord* CTheme::GetAllShape(int position) const {
    const auto& list = FirstNonEmpty(m_Points, m_Arcs, m_Polygons);
    if (position < 0 || static_cast<std::size_t>(position) >= list.size())
        return nullptr;
    return list[static_cast<std::size_t>(position)];
}

void CTheme::ResetShapePositions() { m_PositionByIndex.clear(); }

void CTheme::ResetFilter() {
    m_VisiblePoints = m_Points;
    m_VisibleArcs = m_Arcs;
    m_VisiblePolygons = m_Polygons;
    ResetShapePositions();
    UpdateStyles();
}

void CTheme::ExtendBounds(double xmin, double ymin, double xmax, double ymax) {
    if (!m_BoundsValid) {
        m_Bounds[0] = xmin;
        m_Bounds[1] = ymin;
        m_Bounds[2] = xmax;
        m_Bounds[3] = ymax;
        m_BoundsValid = true;
        return;
    }
    m_Bounds[0] = std::min(m_Bounds[0], xmin);
    m_Bounds[1] = std::min(m_Bounds[1], ymin);
    m_Bounds[2] = std::max(m_Bounds[2], xmax);
    m_Bounds[3] = std::max(m_Bounds[3], ymax);
}

void CTheme::ExtendZRange(double zmin, double zmax) {
    if (!m_ZRangeValid) {
        m_ZRange[0] = zmin;
        m_ZRange[1] = zmax;
        m_ZRangeValid = true;
        return;
    }
    m_ZRange[0] = std::min(m_ZRange[0], zmin);
    m_ZRange[1] = std::max(m_ZRange[1], zmax);
}

void CTheme::TakeRecordExtent(const CShapeRecord* record) {
    // Opening a shape file takes every record's extent, one after another:
    // the type is read once, and a multi-part record's box straight from
    // its bytes (after the 8-byte record header and the 4-byte type), as
    // GetMinX and its kin read it.
    const unsigned char* bytes = CShapeRecord::Bytes(record);
    const std::uint32_t type = ReadLE32(bytes + 8);
    if (CShapeRecord::IsMultiType(type)) {
        ExtendBounds(ReadLEDouble(bytes + 12), ReadLEDouble(bytes + 20), ReadLEDouble(bytes + 28),
                     ReadLEDouble(bytes + 36));
        if (HasZ())
            ExtendZRange(CShapeRecord::GetZMin(record), CShapeRecord::GetZMax(record));
        return;
    }
    if (type == SHT_Point || type == SHT_PointZ) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        ExtendBounds(p.x, p.y, p.x, p.y);
        // One rule for every kind of theme with Z: a record without Z counts as z 0.
        if (HasZ()) {
            const double z = CShapeRecord::GetZ(record, 0);
            ExtendZRange(z, z);
        }
        return;
    }
    ExtendBounds(CShapeRecord::GetMinX(record), CShapeRecord::GetMinY(record), CShapeRecord::GetMaxX(record),
                 CShapeRecord::GetMaxY(record));
    if (HasZ())
        ExtendZRange(CShapeRecord::GetZMin(record), CShapeRecord::GetZMax(record));
}

void CTheme::RecalculateBounds() {
    m_BoundsValid = false;
    m_ZRangeValid = false;
    std::fill(std::begin(m_Bounds), std::end(m_Bounds), 0.0);
    std::fill(std::begin(m_ZRange), std::end(m_ZRange), 0.0);
    for (const auto* list : {&m_Points, &m_Arcs, &m_Polygons})
        for (const CShapeRecord* record : *list)
            TakeRecordExtent(record);
}

bool CTheme::ShapeCallback(void* theme, CShapeRecord* record, std::intptr_t handle) {
    auto* self = static_cast<CTheme*>(theme);
    if (self == nullptr)
        return false;
    self->m_LastLoaderHandle = handle;
    if (record == nullptr)
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (!IsRecordType(type))
        return false;
    // A record of another kind would be drawn, counted and exported as if it
    // were of the theme's kind.
    if (self->m_ShapeType != SHT_Null && !AreShapeTypesCompatible(type, self->m_ShapeType))
        return false;
    if (type == SHT_Point || type == SHT_PointZ)
        self->m_Points.push_back(record);
    else if (type == SHT_Polyline || type == SHT_PolylineZ)
        self->m_Arcs.push_back(record);
    else
        self->m_Polygons.push_back(record);
    self->TakeRecordExtent(record);
    return true;
}

bool CTheme::ShapeCallbackByKind(void* theme, CShapeRecord* point, CShapeRecord* arc, CShapeRecord* polygon,
                                 std::intptr_t handle) {
    CShapeRecord* record = point != nullptr ? point : arc != nullptr ? arc : polygon;
    if (record == nullptr)
        return false;
    return ShapeCallback(theme, record, handle);
}

void CTheme::AddChildTheme(CTheme* theme) {
    if (std::find(m_ChildThemes.begin(), m_ChildThemes.end(), theme) == m_ChildThemes.end())
        m_ChildThemes.push_back(theme);
}

void CTheme::RemoveChildTheme(CTheme* theme) {
    auto it = std::find(m_ChildThemes.begin(), m_ChildThemes.end(), theme);
    if (it != m_ChildThemes.end())
        m_ChildThemes.erase(it);
}

CdBaseFile* CTheme::GetRootDbaseFile() {
    CTheme* root = this;
    // A parent chain is short; the bound only guards against a cycle.
    for (int depth = 0; root->m_ParentTheme != nullptr && depth < 1000; ++depth)
        root = root->m_ParentTheme;
    return &root->m_Dbf;
}

bool CTheme::OpenShpFile(const std::string& path) {
    m_ShpPath = path;
    m_ShpReader.Close();
    m_ShpView = CShapeFileView();
    if (!m_ShpReader.Open(path.c_str()))
        return false;
    m_ShpView.m_Reader = &m_ShpReader;
    m_ShpReader.SetPosition(0);
    return ReadShapeFileHeader(m_ShpReader, m_ShpView.m_Header);
}

bool CTheme::OpenShxFile(const std::string& path) {
    m_ShxPath = path;
    m_ShxReader.Close();
    m_ShxView = CShapeIndexView();
    m_ShxRecordCount = -1;
    if (!m_ShxReader.Open(path.c_str()))
        return false;
    if (!m_ShxView.Attach(&m_ShxReader))
        return false;
    m_ShxRecordCount = m_ShxView.m_RecordCount;
    return true;
}

bool CTheme::OpenDbfFile(const std::string& path) {
    m_DbfPath = path;
    m_DbfReader.Close();
    m_Dbf = CdBaseFile();
    if (!m_DbfReader.Open(path.c_str()))
        return false;
    return m_Dbf.ReadHeader(&m_DbfReader);
}

void CTheme::ForgetShapeFile() {
    for (auto* list : {&m_Points, &m_Arcs, &m_Polygons, &m_VisiblePoints, &m_VisibleArcs, &m_VisiblePolygons})
        list->clear();
    ResetShapePositions();
    m_ShpReader.Close();
    m_ShxReader.Close();
    m_DbfReader.Close();
    m_ShpView = CShapeFileView();
    m_ShxView = CShapeIndexView();
    m_ShxRecordCount = -1;
    m_Dbf = CdBaseFile();
    m_ShpPath.clear();
    m_ShxPath.clear();
    m_DbfPath.clear();
    m_ShapeType = SHT_Null;
    m_SourceType = ST_Unknown;
    m_BoundsValid = false;
    m_ZRangeValid = false;
    std::fill(std::begin(m_Bounds), std::end(m_Bounds), 0.0);
    std::fill(std::begin(m_ZRange), std::end(m_ZRange), 0.0);
}

bool CTheme::WalkShapeFile(bool throughIndex) {
    m_Points.clear();
    m_Arcs.clear();
    m_Polygons.clear();
    m_BoundsValid = false;
    m_ZRangeValid = false;
    auto& all = IsPointTheme() ? m_Points : IsArcTheme() ? m_Arcs : m_Polygons;
    if (throughIndex && m_ShxRecordCount > 0)
        all.reserve(static_cast<std::size_t>(m_ShxRecordCount));
    return ForEachShapeFileRecord(m_ShpView, throughIndex ? &m_ShxView : nullptr, ShapeCallback, this);
}

bool CTheme::OpenShapeFile(const std::string& path) {
    if (m_SourceType != ST_Unknown || !m_Points.empty() || !m_Arcs.empty() || !m_Polygons.empty())
        return false;

    const std::string stem = PathStem(path);
    std::string shp = FindSiblingFile(stem, ".shp");
    if (shp.empty())
        return false;
    std::string shx = FindSiblingFile(stem, ".shx");
    std::string dbf = FindSiblingFile(stem, ".dbf");

    if (!OpenShpFile(shp) || !IsRecordType(m_ShpView.m_Header.m_ShapeType)) {
        ForgetShapeFile();
        return false;
    }
    // An index whose header does not describe the file it sits in would send
    // the walk to the wrong records; the .shp alone is then the better guide.
    const bool indexUsable = !shx.empty() && OpenShxFile(shx) &&
                             m_ShxView.m_Header.m_FileLength == m_ShxReader.GetSize();
    if (shx.empty())
        m_ShxPath = stem + ".shx";
    if (dbf.empty())
        m_DbfPath = stem + ".dbf";
    else
        OpenDbfFile(dbf);

    m_ShapeType = m_ShpView.m_Header.m_ShapeType;
    m_SourceType = ST_ShapeFile;
    UpdateDefaultStyle();

    bool walked = indexUsable && WalkShapeFile(true);
    if (!walked)
        walked = WalkShapeFile(false);
    if (!walked) {
        ForgetShapeFile();
        return false;
    }
    ResetFilter();
    m_Modified = true;
    return true;
}
