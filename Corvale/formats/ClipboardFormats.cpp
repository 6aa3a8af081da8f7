#include "formats/ClipboardFormats.h"

#include "core/Theme.h"
#include "formats/GeoJsonText.h"
#include "formats/ThemeExport.h"
#include "formats/WktText.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeOperations.h"
#include "platform/ByteOrder.h"
#include "settings/AppSettings.h"
#include "shapes/ShapeRecordBuilder.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <new>

const char* const kClipboardMemoryMessage =
    "The system could not allocate enough memory to\ncomplete this operation.";
const char* const kClipboardDamagedMessage =
    "The shapes on the clipboard are damaged or incomplete.\n\nNo objects were added to current theme.";
const char* const kPasteUnparsedMessage =
    "Corvale was unable to parse the pasted data.\n\nNo objects were added to current theme.";
const char* const kPastePartlyParsedMessage =
    "Corvale was unable to parse all pasted data.\n\n%d objects were successfully extracted and added to "
    "current theme.";
const char* const kPasteKeyViolationMessage =
    "Integrity check failed.\n\nThe added data violates the Primary Key.\n\nConsider editing the duplicate "
    "values or remove the Primary Key\nusing Edit|Attribute Manager.\n\nCorvale allows violation of the "
    "Primary Key under certain\ncircumstances, but some functionality will be unavailable.";

namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kEntrySize = 24;
constexpr std::size_t kNameSize = 12;
// The smallest record item, a point.
constexpr std::size_t kSmallestRecord = 28;
// Offsets in a multi-part record image.
constexpr std::size_t kPartCountOffset = 44;
constexpr std::size_t kPointCountOffset = 48;

bool IsBlockRecordType(std::uint32_t type) {
    switch (type) {
    case SHT_Point:
    case SHT_PointZ:
    case SHT_Polyline:
    case SHT_Polygon:
    case SHT_PolylineZ:
    case SHT_PolygonZ:
        return true;
    default:
        return false;
    }
}

const QMimeData* ClipboardData() {
    // Without a GUI application there is no clipboard to open.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard != nullptr ? clipboard->mimeData() : nullptr;
}

// The bytes of a format on the clipboard; false when it is not there.
bool ClipboardFormat(const char* mime, QByteArray& bytes) {
    const QMimeData* data = ClipboardData();
    const QString format = QString::fromLatin1(mime);
    if (data == nullptr || !data->hasFormat(format))
        return false;
    bytes = data->data(format);
    return true;
}

const unsigned char* Bytes(const QByteArray& bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

// The type word of the shape block on the clipboard; false without one.
bool ClipboardShapeType(std::uint32_t& type) {
    QByteArray bytes;
    if (!ClipboardFormat(kShapeClipboardMime, bytes) || bytes.size() < 4)
        return false;
    type = corvale::ReadLE32(bytes.constData());
    return true;
}

// The all-records list of the theme's kind; null for other kinds.
std::vector<CShapeRecord*>* AllRecordsOfKind(CTheme& theme) {
    if (theme.IsPointTheme())
        return &theme.m_Points;
    if (theme.IsArcTheme())
        return &theme.m_Arcs;
    if (theme.IsPolygonTheme())
        return &theme.m_Polygons;
    return nullptr;
}

// Places text, failing the way a failed allocation does.
bool PlaceText(QMimeData& data, const std::string& text) {
    try {
        data.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    } catch (const std::bad_alloc&) {
        corvale::UI().ShowMessage(kClipboardMemoryMessage, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        return false;
    }
    return true;
}

int Precision() { return CAppSettings::GetInstance()->m_DataViewPrecision; }

} // namespace

// ---- The blocks ----

std::uint64_t ShapeClipboardRecordSize(std::uint32_t type, std::uint64_t parts, std::uint64_t points) {
    switch (type) {
    case SHT_Point:
        return 28;
    case SHT_PointZ:
        return 44;
    case SHT_Polyline:
    case SHT_Polygon:
        return 52 + 4 * parts + 16 * points;
    case SHT_PolylineZ:
    case SHT_PolygonZ:
        return 52 + 4 * parts + 16 * points + 16 * (points + 2);
    default:
        return 0;
    }
}

bool AppendShapeClipboardBlock(std::string& out, std::uint32_t type, const std::vector<CAttributeFieldInfo>& columns,
                               const std::vector<const CShapeRecord*>& records,
                               const std::vector<std::vector<std::string>>& values) {
    std::string block(kHeaderSize + kEntrySize * columns.size(), '\0');
    corvale::WriteLE32(&block[0], type);
    corvale::WriteLE32(&block[4], static_cast<std::uint32_t>(columns.size()));
    corvale::WriteLE32(&block[8], static_cast<std::uint32_t>(records.size()));
    for (std::size_t c = 0; c < columns.size(); ++c) {
        char* entry = &block[kHeaderSize + kEntrySize * c];
        const std::string& name = columns[c].m_Name;
        std::memcpy(entry, name.data(), std::min<std::size_t>(name.size(), kNameSize - 1));
        corvale::WriteLE32(entry + 12, static_cast<std::uint32_t>(columns[c].m_Length));
        corvale::WriteLE32(entry + 16, static_cast<std::uint32_t>(columns[c].m_Decimals));
        corvale::WriteLE32(entry + 20, static_cast<std::uint32_t>(columns[c].m_Type));
    }
    for (std::size_t k = 0; k < records.size(); ++k) {
        const CShapeRecord* record = records[k];
        if (record == nullptr)
            return false;
        const std::uint32_t recordType = CShapeRecord::GetShapeType(record);
        if (!IsBlockRecordType(recordType) || GetShapeFamily(recordType) != GetShapeFamily(type))
            return false;
        const std::uint64_t size = ShapeClipboardRecordSize(recordType, CShapeRecord::GetPartCount(record),
                                                            CShapeRecord::GetPointCount(record));
        const std::size_t have = std::min<std::size_t>(CShapeRecord::GetSize(record), size);
        const std::size_t at = block.size();
        // What the record lacks of its item is its M values: they read 0.0.
        block.append(static_cast<std::size_t>(size), '\0');
        std::memcpy(&block[at], CShapeRecord::Bytes(record), have);
        // The content length (in 16-bit words) says that M is there.
        corvale::WriteBE32(&block[at + 4], static_cast<std::uint32_t>((size - 8) / 2));
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (k < values.size() && c < values[k].size()) {
                const std::string& text = values[k][c];
                // A NUL inside a value would end its text early and shift the
                // rest; the text ends there.
                block.append(text.c_str());
            }
            block.push_back('\0');
        }
    }
    out += block;
    return true;
}

bool ReadShapeClipboardBlock(const unsigned char* bytes, std::size_t size, ShapeClipboardBlock& block,
                             bool withValues) {
    block = ShapeClipboardBlock();
    if (bytes == nullptr || size < kHeaderSize)
        return false;
    const std::uint32_t type = corvale::ReadLE32(bytes);
    const std::uint64_t columns = corvale::ReadLE32(bytes + 4);
    const std::uint64_t count = corvale::ReadLE32(bytes + 8);
    if (!IsBlockRecordType(type))
        return false;
    std::uint64_t at = kHeaderSize + kEntrySize * columns;
    // Every record takes at least a point's bytes and one NUL per value, so
    // a count the bytes cannot hold is refused before anything is reserved.
    if (at > size || count * (kSmallestRecord + columns) > size - at)
        return false;
    ShapeClipboardBlock result;
    result.m_ShapeType = type;
    result.m_Columns.reserve(static_cast<std::size_t>(columns));
    for (std::uint64_t c = 0; c < columns; ++c) {
        const unsigned char* entry = bytes + kHeaderSize + kEntrySize * c;
        CAttributeFieldInfo info;
        // At most 11 characters, whatever the twelfth byte holds.
        const void* nul = std::memchr(entry, 0, kNameSize - 1);
        info.m_Name.assign(reinterpret_cast<const char*>(entry),
                           nul != nullptr ? static_cast<const unsigned char*>(nul) - entry : kNameSize - 1);
        info.m_Length = static_cast<std::int32_t>(corvale::ReadLE32(entry + 12));
        info.m_Decimals = static_cast<std::int32_t>(corvale::ReadLE32(entry + 16));
        info.m_Type = static_cast<std::int32_t>(corvale::ReadLE32(entry + 20));
        if (info.m_Type < FT_String || info.m_Type > FT_Boolean || info.m_Length < 0 || info.m_Decimals < 0)
            return false;
        result.m_Columns.push_back(std::move(info));
    }
    result.m_Records.reserve(static_cast<std::size_t>(count));
    result.m_Values.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t k = 0; k < count; ++k) {
        if (size - at < kSmallestRecord)
            return false;
        const unsigned char* item = bytes + at;
        const std::uint32_t recordType = corvale::ReadLE32(item + 8);
        if (!IsBlockRecordType(recordType) || GetShapeFamily(recordType) != GetShapeFamily(type))
            return false;
        std::uint64_t itemSize = ShapeClipboardRecordSize(recordType, 0, 0);
        if (!CShapeRecord::IsPointType(recordType)) {
            if (size - at < kPointCountOffset + 4)
                return false;
            itemSize = ShapeClipboardRecordSize(recordType, corvale::ReadLE32(item + kPartCountOffset),
                                                corvale::ReadLE32(item + kPointCountOffset));
        }
        if (itemSize > size - at)
            return false;
        // The copy says in its content length that it carries M, whatever the
        // item's header claims, so that its size is the item's.
        CShapeRecordPtr record(CShapeRecord::FromBytes(new unsigned char[static_cast<std::size_t>(itemSize)]));
        unsigned char* copy = CShapeRecord::Bytes(record.get());
        std::memcpy(copy, item, static_cast<std::size_t>(itemSize));
        corvale::WriteBE32(copy + 4, static_cast<std::uint32_t>((itemSize - 8) / 2));
        std::size_t checked = 0;
        if (!CheckShapeRecordBytes(copy, itemSize, checked) || checked != itemSize)
            return false;
        at += itemSize;
        std::vector<std::string> texts;
        for (std::uint64_t c = 0; c < columns; ++c) {
            const void* nul = std::memchr(bytes + at, 0, static_cast<std::size_t>(size - at));
            if (nul == nullptr)
                return false;
            const std::size_t length = static_cast<const unsigned char*>(nul) - (bytes + at);
            if (withValues)
                texts.emplace_back(reinterpret_cast<const char*>(bytes + at), length);
            at += length + 1;
        }
        result.m_Records.push_back(std::move(record));
        result.m_Values.push_back(std::move(texts));
    }
    block = std::move(result);
    return true;
}

std::string MakeCoordinateClipboardBlock(const std::vector<CShapePoint>& points) {
    std::string block(8 + 16 * points.size(), '\0');
    corvale::WriteLE32(&block[0], static_cast<std::uint32_t>(points.size()));
    corvale::WriteLE32(&block[4], 2);
    for (std::size_t i = 0; i < points.size(); ++i) {
        corvale::WriteLEDouble(&block[8 + 16 * i], points[i].x);
        corvale::WriteLEDouble(&block[16 + 16 * i], points[i].y);
    }
    return block;
}

bool ReadCoordinateClipboardBlock(const unsigned char* bytes, std::size_t size, std::vector<CShapePoint>& points) {
    points.clear();
    if (bytes == nullptr || size < 8)
        return false;
    const std::uint64_t count = corvale::ReadLE32(bytes);
    const std::uint64_t perPoint = corvale::ReadLE32(bytes + 4);
    // Fewer than two values per point would read y from the next point.
    if (perPoint < 2 || count * perPoint > (size - 8) / 8)
        return false;
    points.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* p = bytes + 8 + 8 * perPoint * i;
        points.push_back({corvale::ReadLEDouble(p), corvale::ReadLEDouble(p + 8)});
    }
    return true;
}

// ---- The theme's copies ----

bool CopySelection(CTheme& theme, QMimeData& data) {
    std::string block;
    std::string text;
    try {
        if (theme.m_ShapeType == SHT_Image) {
            const CShapeRecord* outline = CShapeRecord::FromBytes(theme.m_SelectionArea.get());
            if (outline == nullptr ||
                !AppendShapeClipboardBlock(block, CShapeRecord::GetShapeType(outline), {}, {outline}, {}))
                return false;
        } else {
            const int columns = static_cast<int>(theme.GetAttributeCount());
            std::vector<CAttributeFieldInfo> entries;
            std::vector<std::string> shown;
            for (int field = 0; field < columns; ++field) {
                entries.push_back(theme.GetAttributeInfo(field));
                if (theme.IsAttributeColumnShown(field))
                    shown.push_back(theme.GetAttributeName(field));
            }
            std::vector<const CShapeRecord*> records;
            std::vector<std::vector<std::string>> values;
            for (const auto& entry : theme.m_Selection) {
                // The position comes from the shape index: a filtered-out
                // shape has none and is not copied.
                const int position = theme.GetShapePosition(entry.first);
                const CShapeRecord* record = theme.GetShape(position);
                if (record == nullptr)
                    continue;
                records.push_back(record);
                values.emplace_back();
                for (int field = 0; field < columns; ++field)
                    values.back().push_back(theme.GetAttributeTextAt(position, field));
                std::string line;
                FormatXmlAttributes(theme, line, entry.first, shown);
                text += line;
                text += "\r\n";
            }
            if (records.empty())
                return false;
            // The block carries the theme's type; records of the other member
            // of the family go in as they are, each sized by its own type.
            if (!AppendShapeClipboardBlock(block, theme.m_ShapeType, entries, records, values))
                return false;
        }
        QByteArray bytes(block.data(), static_cast<qsizetype>(block.size()));
        if (!PlaceText(data, text))
            return false;
        data.setData(QString::fromLatin1(kShapeClipboardMime), bytes);
    } catch (const std::bad_alloc&) {
        corvale::UI().ShowMessage(kClipboardMemoryMessage, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        return false;
    }
    return true;
}

bool CopySelectionAsWkt(CTheme& theme, QMimeData& data) {
    std::string text;
    const int precision = Precision();
    for (const auto& entry : theme.m_Selection) {
        const CShapeRecord* record = theme.GetShape(theme.GetShapePosition(entry.first));
        std::string wkt;
        if (record == nullptr || !FormatShapeAsWkt(record, wkt, precision))
            continue;
        text += wkt;
        text += "\r\n";
    }
    return PlaceText(data, text);
}

bool CopySelectionAsGeoJson(CTheme& theme, QMimeData& data) {
    return PlaceText(data, FormatGeoJsonFeatureCollection(theme, Precision()));
}

// ---- Paste ----

bool CanPaste(CTheme& theme) {
    if (!theme.m_Editable)
        return false;
    const QMimeData* data = ClipboardData();
    if (data == nullptr || !data->hasText())
        return false;
    std::uint32_t type = 0;
    if (ClipboardShapeType(type) && AreShapeTypesCompatible(type, theme.m_ShapeType))
        return true;
    return ClipboardHasWktText();
}

namespace {

// Runs the primary-key check over the theme's key columns.
void CheckPastedKeys(CTheme& theme) {
    std::vector<int> key;
    theme.m_NativeTable.GetPrimaryKey(key);
    if (key.empty())
        return;
    std::map<std::string, int> counts;
    if (theme.FindDuplicateKeys(false, "\t\t", counts, key))
        corvale::UI().ShowMessage(kPasteKeyViolationMessage, corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::Ok);
}

// The shape block's paste; false when the block was left alone without a word.
bool PasteShapeBlock(CTheme& theme, const QByteArray& bytes) {
    // A block of another family, or one without records, is passed over
    // without a word; one too short to say even that is damaged.
    const bool header = bytes.size() >= static_cast<qsizetype>(kHeaderSize);
    if (bytes.size() >= 4 && !AreShapeTypesCompatible(corvale::ReadLE32(bytes.constData()), theme.m_ShapeType))
        return false;
    if (header && corvale::ReadLE32(bytes.constData() + 8) == 0)
        return false;
    std::vector<CShapeRecord*>* kind = AllRecordsOfKind(theme);
    ShapeClipboardBlock block;
    // Everything is read and converted before the theme changes, so a block
    // that turns out damaged half-way adds nothing.
    CShapeRecordVector converted;
    bool sound = header && kind != nullptr &&
                 ReadShapeClipboardBlock(Bytes(bytes), static_cast<std::size_t>(bytes.size()), block, true);
    if (sound) {
        converted.reserve(block.m_Records.size());
        for (const CShapeRecordPtr& record : block.m_Records) {
            CShapeRecord* copy = ConvertShapeToType(record.get(), theme.m_ShapeType);
            if (copy == nullptr) {
                sound = false;
                break;
            }
            converted.push_back(copy);
        }
    }
    if (!sound) {
        DeleteShapeRecords(converted);
        corvale::UI().ShowMessage(kClipboardDamagedMessage, corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::Ok);
        return false;
    }

    theme.DeleteSpatialIndex();
    if (kind->empty() && theme.GetAttributeCount() == 0) {
        for (const CAttributeFieldInfo& column : block.m_Columns)
            theme.AddAttribute(column, nullptr, nullptr);
    }
    // Values go into the theme's columns by position, never past its last.
    const std::size_t columns = std::min<std::size_t>(block.m_Columns.size(), theme.GetAttributeCount());
    theme.ReserveShapes(static_cast<int>(converted.size()));
    const int firstPosition = theme.GetShapeCount();
    for (std::size_t k = 0; k < converted.size(); ++k) {
        CShapeRecord* added = theme.AddShape(converted[k], false, false, true);
        if (added == nullptr) {
            FreeShapeRecord(converted[k]);
            continue;
        }
        const int shapeIndex = GetShapeRecordIndex(added);
        for (std::size_t c = 0; c < columns; ++c)
            theme.SetAttributeText(shapeIndex, static_cast<int>(c), block.m_Values[k][c], false);
    }
    converted.clear();
    if (theme.m_Styles.empty()) {
        theme.ApplyStyleRulesToAll();
    } else {
        for (int position = firstPosition; position < theme.GetShapeCount(); ++position)
            theme.ApplyStyleRules(position);
    }
    theme.m_Modified = true;
    theme.ResetShapePositions();
    theme.BuildSpatialIndex();
    return true;
}

// The WKT paste; false when the text is no WKT.
bool PasteWktText(CTheme& theme, const std::string& text) {
    if (!IsWktText(text.c_str()))
        return false;
    theme.DeleteSpatialIndex();
    CShapeRecordVector records;
    const bool parsed = ParseWkt(text, records, theme.m_ShapeType, 0);
    for (CShapeRecord* record : records) {
        if (record != nullptr)
            theme.AddShape(record, false, false, false);
    }
    const int entries = static_cast<int>(records.size());
    DeleteShapeRecords(records);
    theme.BuildSpatialIndex();
    theme.ApplyStyleRulesToAll();
    if (!parsed) {
        if (entries == 0) {
            corvale::UI().ShowMessage(kPasteUnparsedMessage, corvale::MessageIcon::Warning,
                                      corvale::MessageButtons::Ok);
        } else {
            char message[256];
            std::snprintf(message, sizeof message, kPastePartlyParsedMessage, entries);
            corvale::UI().ShowMessage(message, corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
        }
    }
    return true;
}

} // namespace

void Paste(CTheme& theme) {
    if (!CanPaste(theme))
        return;
    const QMimeData* data = ClipboardData();
    if (data == nullptr)
        return;
    bool ran = false;
    const QString shapeFormat = QString::fromLatin1(kShapeClipboardMime);
    if (data->hasFormat(shapeFormat)) {
        const QByteArray bytes = data->data(shapeFormat);
        ran = PasteShapeBlock(theme, bytes);
    } else if (data->hasText()) {
        ran = PasteWktText(theme, data->text().toStdString());
    }
    if (ran)
        CheckPastedKeys(theme);
}

// ---- Clipboard queries ----

bool ClipboardHasPolygonShapes() {
    std::uint32_t type = 0;
    return ClipboardShapeType(type) && (type == SHT_Polygon || type == SHT_PolygonZ);
}

bool ClipboardHasPolylineShapes() {
    std::uint32_t type = 0;
    return ClipboardShapeType(type) && (type == SHT_Polyline || type == SHT_PolylineZ);
}

std::uint32_t GetClipboardShapeCount() {
    QByteArray bytes;
    if (!ClipboardFormat(kShapeClipboardMime, bytes) || bytes.size() < static_cast<qsizetype>(kHeaderSize))
        return 0;
    return corvale::ReadLE32(bytes.constData() + 8);
}

void ReadClipboardShapes(CShapeRecordVector& records) {
    QByteArray bytes;
    if (!ClipboardFormat(kShapeClipboardMime, bytes))
        return;
    ShapeClipboardBlock block;
    if (!ReadShapeClipboardBlock(Bytes(bytes), static_cast<std::size_t>(bytes.size()), block, false))
        return;
    records.reserve(records.size() + block.m_Records.size());
    for (CShapeRecordPtr& record : block.m_Records)
        records.push_back(record.release());
}

bool ClipboardHasCoordinates() {
    const QMimeData* data = ClipboardData();
    return data != nullptr && data->hasFormat(QString::fromLatin1(kCoordinateClipboardMime));
}

bool ClipboardHasWktText() {
    const QMimeData* data = ClipboardData();
    if (data == nullptr || !data->hasText())
        return false;
    return IsWktText(data->text().toStdString().c_str());
}

std::vector<CShapePoint> ReadClipboardCoordinatePoints() {
    std::vector<CShapePoint> points;
    QByteArray bytes;
    if (ClipboardFormat(kCoordinateClipboardMime, bytes))
        ReadCoordinateClipboardBlock(Bytes(bytes), static_cast<std::size_t>(bytes.size()), points);
    return points;
}

CShapeRecord* ReadClipboardCoordinates() {
    QByteArray bytes;
    std::vector<CShapePoint> points;
    if (!ClipboardFormat(kCoordinateClipboardMime, bytes) ||
        !ReadCoordinateClipboardBlock(Bytes(bytes), static_cast<std::size_t>(bytes.size()), points))
        return nullptr;
    if (points.size() > (std::numeric_limits<std::uint32_t>::max() - 64) / 16)
        return nullptr;
    const auto count = static_cast<std::uint32_t>(points.size());
    const std::size_t size = CShapeRecordBuilder::RecordSize(1, count);
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[size]());
    CShapeRecordBuilder builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = count;
    builder.m_Record = buffer.get();
    if (!builder.BeginPolyline())
        return nullptr;
    for (const CShapePoint& p : points)
        builder.AddPoint(p.x, p.y);
    return CShapeRecord::FromBytes(buffer.release());
}
