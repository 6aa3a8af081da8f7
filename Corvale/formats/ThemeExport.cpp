#include "formats/ThemeExport.h"

#include "core/Theme.h"
#include "crs/RefSysConverter.h"
#include "crs/RefSysTable.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeParts.h"
#include "geometry/ShapePiece.h"
#include "platform/NumberText.h"
#include "platform/TextEncoding.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <set>

namespace {

int ExportPrecision() {
    const CAppSettings* settings = CAppSettings::GetInstance();
    return std::clamp(settings != nullptr ? settings->m_DataViewPrecision : 6, 0, 17);
}

// The shapes a selector covers.
struct CShapeRange {
    int first = 0;
    int last = -1;
    bool Empty() const { return last < first; }
};

CShapeRange GetRange(const CTheme& theme, int which) {
    if (which == kExportAllShapes)
        return {0, theme.GetAllShapeCount() - 1};
    if (which == kExportVisibleShapes)
        return {0, theme.GetShapeCount() - 1};
    if (which >= 0 && which < theme.GetShapeCount())
        return {which, which};
    return {};
}

const CShapeRecord* GetRecord(const CTheme& theme, int which, int p) {
    return which == kExportAllShapes ? theme.GetAllShape(p) : theme.GetShape(p);
}

// The status-bar progress of one writer; a range of one shape (first equal
// to last) goes straight to 100 percent.
class CExportProgress {
public:
    explicit CExportProgress(const CShapeRange& range) : m_Range(range) { corvale::UI().BeginProgress(); }
    ~CExportProgress() { corvale::UI().EndProgress(); }
    CExportProgress(const CExportProgress&) = delete;
    CExportProgress& operator=(const CExportProgress&) = delete;
    void Done(int p) {
        const long long span = static_cast<long long>(m_Range.last) - m_Range.first;
        const long long percent = span > 0 ? static_cast<long long>(p) * 100 / span : 100;
        corvale::UI().SetProgress(static_cast<int>(std::clamp<long long>(percent, 0, 100)));
    }

private:
    CShapeRange m_Range;
};

bool IsExportedType(std::uint32_t type) {
    return type == SHT_Point || type == SHT_Polyline || type == SHT_Polygon || type == SHT_PointZ ||
           type == SHT_PolylineZ || type == SHT_PolygonZ;
}

// XML 1.0 cannot carry most control characters at all; tab, CR and LF are
// written as references, since a parser would turn them into blanks inside
// an attribute value.
void AppendXmlEscaped(std::string& out, const std::string& text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20)
                out += c;
        }
    }
}

// XML 1.0 (fifth edition) name characters.
bool IsXmlNameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsXmlNameChar(char32_t c) {
    return IsXmlNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// The attribute name a column is written under: its name with every character
// an XML name cannot hold as '_' (and a '_' before a first character that
// cannot start one), numbered when it would repeat a name already taken.
// A column named "POP 2010" is written as POP_2010.
std::string XmlAttributeName(const std::string& column, std::set<std::string>& taken) {
    std::u32string name = corvale::Utf8ToCodePoints(column);
    for (char32_t& c : name)
        if (!IsXmlNameChar(c))
            c = U'_';
    if (name.empty() || !IsXmlNameStart(name.front()))
        name.insert(name.begin(), U'_');
    const std::string base = corvale::CodePointsToUtf8(name);
    std::string unique = base;
    for (int n = 2; !taken.insert(unique).second; ++n)
        unique = base + "_" + std::to_string(n);
    return unique;
}

// The columns of the names in their order; names without a column are left
// out.
std::vector<int> ResolveNames(const CTheme& theme, const std::vector<std::string>& names) {
    std::vector<int> fields;
    for (const std::string& name : names) {
        const int field = theme.FindAttribute(name);
        if (field >= 0)
            fields.push_back(field);
    }
    return fields;
}

void AppendTableCell(std::string& out, const std::string& value) {
    if (value.find_first_of("\t\r\n\"") == std::string::npos) {
        out += value;
        return;
    }
    out += '"';
    for (const char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

const char* XmlTypeWord(std::uint32_t type) {
    switch (type) {
    case SHT_Null:
        return "NullShape";
    case SHT_Point:
        return "PointShape";
    case SHT_Polyline:
        return "ArcShape";
    case SHT_Polygon:
        return "PolygonShape";
    case SHT_MultiPoint:
        return "MultipointShape";
    case SHT_PointZ:
        return "PointZShape";
    case SHT_PolylineZ:
        return "PolylineZShape";
    case SHT_PolygonZ:
        return "PolygonZShape";
    default:
        return "###Unknown###";
    }
}

void AppendXmlPoint(std::string& out, const char* indent, const CShapePoint& p, int precision) {
    out += indent;
    out += "<Point longitude='";
    out += corvale::FormatFixed(p.x, precision);
    out += "' latitude='";
    out += corvale::FormatFixed(p.y, precision);
    out += "'/>\r\n";
}

ExportAttributeChooser& Chooser() {
    static ExportAttributeChooser chooser;
    return chooser;
}

bool ChooseNames(CTheme& theme, std::vector<std::string>& names) {
    return Chooser() && Chooser()(theme, names);
}

} // namespace

void FormatXmlAttributes(const CTheme& theme, std::string& text, int shapeIndex,
                         const std::vector<std::string>& names) {
    text.clear();
    if (theme.GetAttributeCount() == 0)
        return;
    // The text is UTF-8, whatever code page the table keeps it in; the
    // shape elements carry an index attribute of their own.
    std::set<std::string> taken = {"index"};
    bool first = true;
    for (const std::string& name : names) {
        const int field = theme.FindAttribute(name);
        if (field < 0)
            continue;
        if (!first)
            text += ' ';
        first = false;
        text += XmlAttributeName(corvale::TableTextToUtf8(name, theme.GetAttributeCodePage()), taken);
        text += "='";
        AppendXmlEscaped(text, theme.GetAttributeTextUtf8(shapeIndex, field));
        text += '\'';
    }
}

void ExportTable(const CTheme& theme, const std::vector<std::string>& names, std::ostream& out, int which) {
    if (!IsExportedType(theme.m_ShapeType) || theme.GetAttributeCount() == 0)
        return;
    const std::vector<int> fields = ResolveNames(theme, names);
    if (fields.empty())
        return;
    const CShapeRange range = GetRange(theme, which);
    CExportProgress progress(range);
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k > 0)
            line += '\t';
        AppendTableCell(line, theme.GetAttributeName(fields[k]));
    }
    line += "\r\n";
    out << line;
    for (int p = range.first; p <= range.last; ++p) {
        line.clear();
        int shapeIndex = -1;
        if (which == kExportAllShapes) {
            const CShapeRecord* record = theme.GetAllShape(p);
            shapeIndex = record != nullptr ? GetShapeRecordIndex(record) : -1;
        }
        for (std::size_t k = 0; k < fields.size(); ++k) {
            if (k > 0)
                line += '\t';
            AppendTableCell(line, which == kExportAllShapes ? theme.GetAttributeText(shapeIndex, fields[k])
                                                            : theme.GetAttributeTextAt(p, fields[k]));
        }
        line += "\r\n";
        out << line;
        progress.Done(p);
    }
}

void ExportXml(const CTheme& theme, const std::vector<std::string>& names, int which, std::ostream& out) {
    const int precision = ExportPrecision();
    const CShapeRange range = GetRange(theme, which);
    CExportProgress progress(range);
    std::string text;
    if (which < 0) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "%02x%02x%02x", theme.m_Color & 0xFFu, (theme.m_Color >> 8) & 0xFFu,
                      (theme.m_Color >> 16) & 0xFFu);
        text += "<xml>\r\n\t<Theme ThemeName='";
        AppendXmlEscaped(text, corvale::TableTextToUtf8(theme.m_Name, corvale::kDbfCodePageUnknown));
        text += "' ShapeType='";
        text += XmlTypeWord(theme.m_ShapeType);
        text += "' Color='#";
        text += colour;
        text += "'>\r\n";
        out << text;
    }
    const std::uint32_t family = GetShapeFamily(theme.m_ShapeType);
    if (family == SHT_Point || family == SHT_Polyline || family == SHT_Polygon) {
        const char* element = family == SHT_Point ? "PointShape" : family == SHT_Polyline ? "ArcShape" : "PolygonShape";
        std::string attributes;
        for (int p = range.first; p <= range.last; ++p) {
            const CShapeRecord* record = GetRecord(theme, which, p);
            if (record == nullptr)
                continue;
            const int shapeIndex = GetShapeRecordIndex(record);
            FormatXmlAttributes(theme, attributes, shapeIndex, names);
            text.clear();
            text += "\t\t<";
            text += element;
            text += " index='";
            text += corvale::FormatInt(static_cast<std::int64_t>(shapeIndex) + 1);
            text += "' ";
            text += attributes;
            text += ">\r\n";
            if (family == SHT_Point) {
                AppendXmlPoint(text, "\t\t\t", CShapeRecord::GetPoint(record, 0), precision);
            } else if (family == SHT_Polyline) {
                // The parts of a polyline follow each other unmarked.
                const std::uint32_t parts = GetMultiPartCount(record);
                for (std::uint32_t j = 0; j < parts; ++j) {
                    const CShapePartRange part = GetShapePartRange(record, j);
                    for (std::uint32_t i = part.first; i < part.end; ++i)
                        AppendXmlPoint(text, "\t\t\t", CShapeRecord::GetPoint(record, i), precision);
                }
            } else {
                // Rings cannot run together without losing the holes, so
                // each gets its own element.
                const std::uint32_t parts = GetMultiPartCount(record);
                for (std::uint32_t j = 0; j < parts; ++j) {
                    text += "\t\t\t<Ring>\r\n";
                    const CShapePartRange part = GetShapePartRange(record, j);
                    for (std::uint32_t i = part.first; i < part.end; ++i)
                        AppendXmlPoint(text, "\t\t\t\t", CShapeRecord::GetPoint(record, i), precision);
                    text += "\t\t\t</Ring>\r\n";
                }
            }
            text += "\t\t</";
            text += element;
            text += ">\r\n";
            out << text;
            progress.Done(p);
        }
    }
    if (which < 0)
        out << "\t</Theme>\r\n</xml>\r\n";
}

namespace {

// Turns theme coordinates into WGS 84 longitude and latitude, or says why
// it cannot.
class CGpxCoordinates {
public:
    explicit CGpxCoordinates(int refSystem) {
        const int wgs84 = FindRefSysByEpsg(4326);
        if (refSystem >= 0 && refSystem != wgs84)
            m_Converter.emplace(refSystem, wgs84);
    }

    bool Convert(const CShapePoint& p, CShapePoint& lonLat, std::string& error) const {
        if (m_Converter) {
            if (!m_Converter->Convert(p.x, p.y, lonLat.x, lonLat.y) || !InRange(lonLat)) {
                error = "A coordinate of the theme (" + corvale::FormatDouble(p.x) + ", " +
                        corvale::FormatDouble(p.y) +
                        ") cannot be converted into a WGS 84 longitude and latitude. The GPX file was not written.";
                return false;
            }
            return true;
        }
        lonLat = p;
        if (!InRange(lonLat)) {
            error = "GPX files hold longitudes and latitudes, but the theme has the coordinate (" +
                    corvale::FormatDouble(p.x) + ", " + corvale::FormatDouble(p.y) +
                    "), which is none, and the workspace has no reference system to convert it from. "
                    "The GPX file was not written.";
            return false;
        }
        return true;
    }

private:
    static bool InRange(const CShapePoint& p) {
        return std::isfinite(p.x) && std::isfinite(p.y) && p.x >= -180.0 && p.x <= 180.0 && p.y >= -90.0 &&
               p.y <= 90.0;
    }

    std::optional<CRefSysConverter> m_Converter;
};

void AppendGpxPoint(std::string& out, const char* element, const CShapePoint& p, int precision) {
    out += element;
    out += " lat=\"";
    out += corvale::FormatFixed(p.y, precision);
    out += "\" lon=\"";
    out += corvale::FormatFixed(p.x, precision);
    out += "\" />\r\n";
}

} // namespace

bool ExportGpx(const CTheme& theme, std::ostream& out, int which, int refSystem, std::string& error) {
    const std::uint32_t type = theme.m_ShapeType;
    if (type == SHT_Null || type == SHT_MultiPoint || type == SHT_PolygonZ)
        return true;
    const int precision = ExportPrecision();
    const CShapeRange range = GetRange(theme, which);
    CExportProgress progress(range);
    const CGpxCoordinates coordinates(refSystem);
    // The document is made in memory first, so a refused coordinate leaves
    // the stream without a partial file.
    std::string text;
    if (which < 0) {
        text += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                "<gpx version=\"1.1\" creator=\"Corvale - https://corvale.org\" "
                "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\r\n"
                " xmlns=\"http://www.topografix.com/GPX/1/1\"\r\n"
                " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
                "http://www.topografix.com/GPX/1/1/gpx.xsd\">\r\n"
                "\t<metadata>\r\n\t\t<name>";
        AppendXmlEscaped(text, corvale::TableTextToUtf8(theme.m_Name, corvale::kDbfCodePageUnknown));
        text += "</name>\r\n\t</metadata>\r\n";
    }
    const std::uint32_t family = GetShapeFamily(type);
    CShapePoint lonLat;
    if (family == SHT_Point) {
        for (int p = range.first; p <= range.last; ++p) {
            const CShapeRecord* record = GetRecord(theme, which, p);
            if (record == nullptr)
                continue;
            if (!coordinates.Convert(CShapeRecord::GetPoint(record, 0), lonLat, error))
                return false;
            AppendGpxPoint(text, "\t<wpt", lonLat, precision);
            progress.Done(p);
        }
    } else if (family == SHT_Polyline) {
        text += "\t<trk>\r\n";
        for (int p = range.first; p <= range.last; ++p) {
            const CShapeRecord* record = GetRecord(theme, which, p);
            if (record == nullptr)
                continue;
            const std::uint32_t parts = GetMultiPartCount(record);
            for (std::uint32_t j = 0; j < parts; ++j) {
                text += "\t\t<trkseg>\r\n";
                const CShapePartRange part = GetShapePartRange(record, j);
                for (std::uint32_t i = part.first; i < part.end; ++i) {
                    if (!coordinates.Convert(CShapeRecord::GetPoint(record, i), lonLat, error))
                        return false;
                    AppendGpxPoint(text, "\t\t\t<trkpt", lonLat, precision);
                }
                text += "\t\t</trkseg>\r\n";
            }
            progress.Done(p);
        }
        text += "\t</trk>\r\n";
    }
    if (which < 0)
        text += "</gpx>\r\n";
    out << text;
    return true;
}

CThemeExport::~CThemeExport() = default;

void CThemeGPXExport::Export(std::ostream& out, CTheme* theme, bool all) {
    if (theme == nullptr)
        return;
    std::string error;
    if (!ExportGpx(*theme, out, all ? kExportAllShapes : kExportVisibleShapes, m_RefSystem, error))
        corvale::UI().ShowMessage(error, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

void CThemeTableExport::Export(std::ostream& out, CTheme* theme, bool all) {
    if (theme == nullptr)
        return;
    std::vector<std::string> names;
    if (!ChooseNames(*theme, names))
        return;
    ExportTable(*theme, names, out, all ? kExportAllShapes : kExportVisibleShapes);
}

void CThemeXMLExport::Export(std::ostream& out, CTheme* theme, bool all) {
    if (theme == nullptr)
        return;
    std::vector<std::string> names;
    if (!ChooseNames(*theme, names))
        return;
    ExportXml(*theme, names, all ? kExportAllShapes : kExportVisibleShapes, out);
}

void SetExportAttributeChooser(ExportAttributeChooser chooser) { Chooser() = std::move(chooser); }
