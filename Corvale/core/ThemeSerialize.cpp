// Storing a theme in a workspace file and reading it back.
//
// Theme record (little-endian; "text" is the archive's string form; a u32
// flag holds a one-byte member and is compared with 0 when read). Each field
// is present from the schema in the first column on; storing writes schema 21
// with every field.
//
//   all  u32 schema; u8 visible; u8 editable; u32 colour; u32 shape type;
//        u32 source type; the source block (below); text name;
//        u32 point symbol; u32 line width; u8 info tip shown;
//        text info-tip template; u8 labels shown
//    2   text comment
//    3   u32 fill pattern
//    4   u32 label alignment
//    5   u32 flag labels forced; f64 xmin, ymin, xmax, ymax (the bounds)
//    6   u32 former source type
//    7   text raster path, f64 raster rotation in degrees: how images were
//        placed before the raster part was stored; written empty and 0.0
//    8   u32 outline colour
//    9   u32 pen style
//   10   u32 label colour; the 60-byte label font (LogFont.h)
//   11   u32 flag label frame
//   12   u32 flag arrows shown; u32 arrow type
//   13   u32 flag points connected
//   14   u32 line offset mode; u32 line offset
//   15   the style rules (CAdvancedProperties::Serialize)
//   16   u32 flag scale-dependent; f64 largest, f64 smallest units per pixel
//   17   u32 label fill colour; u32 label frame colour; u32 0; u32 0;
//        u32 label spacing; u32 flag duplicate labels; u32 0; f64 0.0; u32 0;
//        f64 0.0; f64 0.0 (the zeros hold places and are dropped)
//   18   u32 flag raster smoothing
//   20   u32 12; u32 arrow colour; u32 arrow size; f32 arrow position
//   21   the raster part (CRasterImageData::Serialize); u8 raster loaded
//   19   blocks {u32 size, size bytes} ended by a size of 0 (written as the
//        single 0, skipped when read); the plug-in data blocks. These two
//        come last although schemas 20 and 21 came after them.
//
// Source block: ST_ShapeFile: text .shp, .shx and .dbf paths. ST_Native: the
// native data (SerializeNativeData). ST_CustomLoader: text plug-in path, u32 1
// with u32 size and the plug-in's block, or u32 0 with the native data. Other
// sources store nothing.

#include "core/Theme.h"

#include "core/LoaderPlugin.h"

#include "framework/UserInterface.h"
#include "platform/ByteOrder.h"
#include "platform/FileNames.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <unistd.h>
#include <climits>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

using corvale::MessageButtons;
using corvale::MessageIcon;

namespace {

constexpr std::uint32_t kThemeSchema = 21;
constexpr std::uint32_t kNativeDataVersion = 2;
constexpr std::uint32_t kArrowWord = 12;
constexpr std::uint32_t kGpiSectionVersion = 1;
// The reservation for the records of a native theme is capped; a theme with
// more records still reads all of them, the lists growing as they go.
constexpr std::uint32_t kMaxReservedRecords = 1000000;
// Bytes of the smallest stored record: its size word and a point.
constexpr std::size_t kSmallestStoredRecord = 4 + 28;
constexpr double kPi = 3.14159265358979323846;

const char* const kShapeFileFilter = "Shape Files (*.shp)|*.shp|All Files (*.*)|*.*||";

void ThrowBadData(const std::string& message) { throw CArchiveException(CArchiveException::BadData, message); }

void WriteFlag8(CArchive& ar, bool value) { ar.WriteU8(value ? 1 : 0); }
void WriteFlag32(CArchive& ar, bool value) { ar.WriteU32(value ? 1 : 0); }
bool ReadFlag8(CArchive& ar) { return ar.ReadU8() != 0; }
bool ReadFlag32(CArchive& ar) { return ar.ReadU32() != 0; }

void WriteF32(CArchive& ar, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    ar.WriteU32(bits);
}

float ReadF32(CArchive& ar) {
    const std::uint32_t bits = ar.ReadU32();
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t CheckedSize(std::size_t size, const char* what) {
    if (size > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error(std::string(what) + " is too large to store.");
    return static_cast<std::uint32_t>(size);
}

// The three lists of the kind of a shape type; all null for a type of no
// point, polyline or polygon kind.
struct KindLists {
    std::vector<CShapeRecord*>* all = nullptr;
    std::vector<CShapeRecord*>* visible = nullptr;
    std::vector<std::unique_ptr<unsigned char[]>>* owned = nullptr;
};

KindLists ListsOfType(CTheme& theme, std::uint32_t type) {
    switch (type) {
    case SHT_Point:
    case SHT_PointZ:
        return {&theme.m_Points, &theme.m_VisiblePoints, &theme.m_OwnedPoints};
    case SHT_Polyline:
    case SHT_PolylineZ:
        return {&theme.m_Arcs, &theme.m_VisibleArcs, &theme.m_OwnedArcs};
    case SHT_Polygon:
    case SHT_PolygonZ:
        return {&theme.m_Polygons, &theme.m_VisiblePolygons, &theme.m_OwnedPolygons};
    default:
        return {};
    }
}

// ---- plug-in data kept by the theme itself ----
//
// The section of the plug-in host (workspace/gpi/GpiHost.h): u32 version 1, u32
// block count, per block u32 1, text plug-in name, u32 size, size bytes.
// Programs without the host (tests, tools) store and read it here.

void StoreOwnGpiData(CArchive& ar, const std::vector<GpiDataBlock>& blocks) {
    ar.WriteU32(kGpiSectionVersion);
    ar.WriteU32(CheckedSize(blocks.size(), "The list of plug-in data blocks"));
    for (const GpiDataBlock& block : blocks) {
        ar.WriteU32(1);
        ar.WriteString(block.m_PluginName);
        ar.WriteU32(CheckedSize(block.m_Data.size(), "A plug-in data block"));
        ar.WriteBytes(block.m_Data.data(), block.m_Data.size());
    }
}

std::vector<GpiDataBlock> LoadOwnGpiData(CArchive& ar) {
    if (ar.ReadU32() != kGpiSectionVersion)
        throw CArchiveException(CArchiveException::BadSchema,
                                "The file holds plug-in data of a version this program does not know.");
    const std::uint32_t count = ar.ReadU32();
    ar.CheckCount(count, 9);
    std::vector<GpiDataBlock> blocks;
    blocks.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        ar.ReadU32();
        GpiDataBlock block;
        block.m_PluginName = ar.ReadString();
        block.m_Data = ar.ReadByteVector(ar.ReadU32());
        blocks.push_back(std::move(block));
    }
    return blocks;
}

// ---- the shape-file source ----

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Opens the stored trio; while it cannot be opened, asks the user whether to
// look for the file and tries the file chosen. A trio never found leaves the
// theme a shape-file theme without records that keeps the paths, so that the
// next save stores them again and a later open can still find the file.
void ReadShapeFileSource(CTheme& theme, CArchive& ar, const std::string& baseFolder) {
    const std::string shp = ar.ReadString();
    const std::string shx = ar.ReadString();
    const std::string dbf = ar.ReadString();
    const std::uint32_t storedType = theme.m_ShapeType;

    // A relative path is found beside the workspace rather than in the
    // folder the program happens to run in. Windows paths ("C:\...") are
    // left to the locate-file question.
    const bool relative = !shp.empty() && shp[0] != '/' && shp[0] != '\\' && !(shp.size() > 1 && shp[1] == ':');
    const std::string resolved = relative && !baseFolder.empty() ? baseFolder + "/" + shp : shp;
    std::string path = resolved;
    for (;;) {
        // The open refuses a theme that has a source already.
        theme.m_SourceType = ST_Unknown;
        if (theme.OpenShapeFile(path)) {
            // A table read in spite of damage is said so, as when the file
            // is added by hand.
            const std::string damage = theme.m_DbfReader.IsOpen()
                                           ? DamagedTableMessage(theme.m_Dbf, theme.m_DbfPath)
                                           : std::string();
            if (!damage.empty())
                corvale::UI().ShowMessage(damage, MessageIcon::Warning, MessageButtons::Ok);
            return;
        }
        const int answer = corvale::UI().ShowMessage(
            "Corvale was unable to open " + path + ".\nWould you like to browse for the file?", MessageIcon::Error,
            MessageButtons::YesNo);
        if (answer != corvale::IDYES)
            break;
        corvale::FileDialogRequest request;
        request.filter = kShapeFileFilter;
        request.initialFolder = FolderOf(path);
        request.initialName = NameOf(path);
        std::vector<std::string> chosen;
        if (!corvale::UI().ChooseOpenFiles(request, chosen) || chosen.empty() || chosen.front().empty())
            break;
        path = chosen.front();
    }

    theme.m_SourceType = ST_ShapeFile;
    theme.m_ShapeType = storedType;
    // Never found: the stored paths are kept as they were written.
    theme.m_ShpPath = path == resolved ? shp : path;
    if (path == resolved) {
        theme.m_ShxPath = shx;
        theme.m_DbfPath = dbf;
    } else {
        const std::string stem = corvale::PathStem(path);
        theme.m_ShxPath = stem + ".shx";
        theme.m_DbfPath = stem + ".dbf";
    }
}

// ---- native data ----

void StoreNativeData(CTheme& theme, CArchive& ar) {
    // A native theme is stored as it is (read-only stays read-only); any
    // other theme first gets owned copies of its records and its attributes.
    if (theme.m_SourceType != ST_Native && !theme.ConvertToNative(true, true))
        throw std::runtime_error("The theme \"" + theme.m_Name +
                                 "\" cannot be stored: its records could not be copied into the workspace.");
    const KindLists lists = ListsOfType(theme, theme.m_ShapeType);
    static const std::vector<CShapeRecord*> kNone;
    const std::vector<CShapeRecord*>& records = lists.all != nullptr ? *lists.all : kNone;

    ar.WriteU32(kNativeDataVersion);
    ar.WriteU32(theme.m_ShapeType);
    ar.WriteU32(CheckedSize(records.size(), "The theme"));
    for (const CShapeRecord* record : records) {
        const std::size_t size = CShapeRecord::GetSize(record);
        // Such a record could not be read back: better no file than a
        // workspace that no longer opens.
        if (size == 0)
            throw std::runtime_error("The theme \"" + theme.m_Name + "\" holds a shape that cannot be stored.");
        ar.WriteU32(CheckedSize(size, "A shape"));
        ar.WriteBytes(CShapeRecord::Bytes(record), size);
    }
    theme.m_NativeTable.Serialize(ar);
}

// A theme of another theme's selected shapes holds records that belong to
// its parent and shows the parent's attributes; nothing of that can be found
// again when the workspace is read. It is stored as a native theme would be,
// with copies of its records numbered by their position and a table of the
// values it shows, so that the file reopens with the same shapes and values
// in any reader. The theme in memory stays as it is.
void StoreSelectionThemeAsNative(CTheme& theme, CArchive& ar) {
    const KindLists lists = ListsOfType(theme, theme.m_ShapeType);
    static const std::vector<CShapeRecord*> kNone;
    const std::vector<CShapeRecord*>& records = lists.all != nullptr ? *lists.all : kNone;

    CNativeAttributeTable table;
    const int fields = static_cast<int>(theme.GetAttributeCount());
    for (int field = 0; field < fields; ++field)
        table.AddField(theme.GetAttributeInfo(field), nullptr, nullptr);
    table.ReserveRows(records.size());

    ar.WriteU32(kNativeDataVersion);
    ar.WriteU32(theme.m_ShapeType);
    ar.WriteU32(CheckedSize(records.size(), "The theme"));
    std::vector<unsigned char> copy;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CShapeRecord* record = records[i];
        const std::size_t size = CShapeRecord::GetSize(record);
        if (size == 0)
            throw std::runtime_error("The theme \"" + theme.m_Name + "\" holds a shape that cannot be stored.");
        copy.assign(CShapeRecord::Bytes(record), CShapeRecord::Bytes(record) + size);
        SetShapeRecordIndex(CShapeRecord::FromBytes(copy.data()), static_cast<int>(i));
        ar.WriteU32(CheckedSize(size, "A shape"));
        ar.WriteBytes(copy.data(), size);

        const int shapeIndex = GetShapeRecordIndex(record);
        CNativeAttributeRow* row = table.GetRow(table.AppendRow());
        for (int field = 0; field < fields; ++field)
            if (!row->SetValue(field, theme.GetAttributeText(shapeIndex, field)))
                throw std::runtime_error("The theme \"" + theme.m_Name +
                                         "\" holds a value that cannot be stored.");
    }
    table.Serialize(ar);
}

// Version 1 tables kept the rows of deleted shapes: the rows whose shape
// index no record carries any more are removed, and the records numbered by
// their position again.
void RepairVersion1Rows(CTheme& theme, std::vector<CShapeRecord*>& records) {
    CNativeAttributeTable& table = theme.m_NativeTable;
    const int rows = table.GetRowCount();
    if (static_cast<std::size_t>(rows) == records.size())
        return;
    std::vector<bool> present(static_cast<std::size_t>(rows), false);
    std::uint32_t highest = 0;
    for (const CShapeRecord* record : records) {
        const std::uint32_t number = corvale::ReadBE32(CShapeRecord::Bytes(record));
        highest = std::max(highest, number);
        if (number >= 1 && number <= static_cast<std::uint32_t>(rows))
            present[number - 1] = true;
    }
    // Only indexes below the highest record number are missing from the
    // sequence; rows beyond it are left alone.
    const int limit = static_cast<int>(std::min<std::uint32_t>(highest, static_cast<std::uint32_t>(rows)));
    for (int row = limit - 1; row >= 0; --row)
        if (!present[static_cast<std::size_t>(row)])
            table.DeleteRow(row);
    for (std::size_t i = 0; i < records.size(); ++i)
        SetShapeRecordIndex(records[i], static_cast<int>(i));
}

void LoadNativeData(CTheme& theme, CArchive& ar) {
    // The theme is empty: making it native is all that converting it does.
    if (theme.m_SourceType != ST_Native) {
        theme.m_FormerSourceType = theme.m_SourceType;
        theme.m_SourceType = ST_Native;
        theme.m_Editable = true;
    }
    const std::uint32_t version = ar.ReadU32();
    if (version < 1 || version > kNativeDataVersion)
        throw CArchiveException(CArchiveException::BadSchema,
                                "The records of a theme were stored by a newer version of Corvale.");
    theme.m_ShapeType = ar.ReadU32();
    const std::uint32_t count = ar.ReadU32();
    const KindLists lists = ListsOfType(theme, theme.m_ShapeType);
    if (lists.all == nullptr) {
        if (count != 0)
            ThrowBadData("A theme of the workspace holds records but is of no shape type.");
    } else {
        ar.CheckCount(count, kSmallestStoredRecord);
        const std::size_t reserve = std::min(count, kMaxReservedRecords);
        lists.all->reserve(lists.all->size() + reserve);
        lists.visible->reserve(lists.visible->size() + reserve);
        lists.owned->reserve(lists.owned->size() + reserve);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t size = ar.ReadU32();
            // Checked against the bytes there before anything is allocated.
            if (size > ar.GetRemaining())
                throw CArchiveException(CArchiveException::EndOfFile, "The file ends before its data is complete.");
            std::unique_ptr<unsigned char[]> buffer(new unsigned char[size == 0 ? 1 : size]);
            ar.ReadBytes(buffer.get(), size);
            // The record must be exactly what its type and counts say, of the
            // theme's kind, and carry a number that makes a shape index.
            std::size_t recordSize = 0;
            if (size < 12 || !CheckShapeRecordBytes(buffer.get(), size, recordSize) || recordSize != size)
                ThrowBadData("A shape of a theme in the workspace is damaged.");
            CShapeRecord* record = CShapeRecord::FromBytes(buffer.get());
            if (!AreShapeTypesCompatible(CShapeRecord::GetShapeType(record), theme.m_ShapeType))
                ThrowBadData("A theme of the workspace holds a shape of another kind.");
            const std::uint32_t number = corvale::ReadBE32(buffer.get());
            if (number == 0 || number > static_cast<std::uint32_t>(INT_MAX))
                ThrowBadData("A shape of a theme in the workspace carries no valid record number.");
            lists.owned->push_back(std::move(buffer));
            lists.all->push_back(record);
            lists.visible->push_back(record);
        }
    }
    theme.m_NativeTable.Serialize(ar);
    if (version == 1 && lists.all != nullptr) {
        RepairVersion1Rows(theme, *lists.all);
        *lists.visible = *lists.all;
    }
    theme.ResetShapePositions();
    theme.RecalculateBounds();
}

// ---- the loader source ----

void StoreLoaderSource(CTheme& theme, CArchive& ar) {
    if (theme.m_Loader != nullptr) {
        ar.WriteString(theme.m_Loader->m_Path);
        // The loader's own block when it can write one; otherwise (no
        // fnSerialize, or it failed) the theme stores its records itself and
        // becomes native, so that nothing is lost.
        const int size = theme.m_Loader->GetSerializedSize(theme.m_LoaderHandle);
        if (size >= 0) {
            std::vector<unsigned char> block(static_cast<std::size_t>(size));
            if (theme.m_Loader->SaveSerializedData(theme.m_LoaderHandle, block.data(),
                                                   static_cast<std::uint32_t>(size))) {
                ar.WriteU32(1);
                ar.WriteU32(static_cast<std::uint32_t>(size));
                ar.WriteBytes(block.data(), block.size());
                return;
            }
        }
        ar.WriteU32(0);
        StoreNativeData(theme, ar);
        return;
    }
    ar.WriteString(theme.m_LoaderPath);
    if (theme.m_HasLoaderData) {
        ar.WriteU32(1);
        ar.WriteU32(CheckedSize(theme.m_LoaderData.size(), "The loader plug-in's data"));
        ar.WriteBytes(theme.m_LoaderData.data(), theme.m_LoaderData.size());
        return;
    }
    ar.WriteU32(0);
    StoreNativeData(theme, ar);
}

// Binds the loader the theme was stored with and has it deliver the theme's
// records again from its block. False, with the theme left without records
// and without a binding, when the plug-in is missing, not a loader of a
// version the program drives, or refuses the block.
bool RestoreFromLoader(CTheme& theme) {
    if (theme.m_LoaderPath.empty() || ::access(theme.m_LoaderPath.c_str(), R_OK) != 0)
        return false;
    auto* loader = new CLoaderPlugin();
    loader->Load(theme.m_LoaderPath);
    std::uint32_t handle = 0;
    const bool restored = loader->m_Valid && loader->m_Version >= 1 && loader->m_Version <= PIV_LoaderMax &&
                          theme.m_LoaderData.size() <= 0xFFFFFFFFu &&
                          loader->RestoreSerializedData(&theme, CTheme::ShapeCallback, theme.m_LoaderData.data(),
                                                        static_cast<std::uint32_t>(theme.m_LoaderData.size()),
                                                        handle);
    if (!restored) {
        // Records delivered before the refusal may be freed with the module.
        theme.m_Points.clear();
        theme.m_Arcs.clear();
        theme.m_Polygons.clear();
        DeleteLoaderPlugin(loader);
        return false;
    }
    theme.m_Loader = loader;
    theme.m_LoaderHandle = handle;
    return true;
}

void ReadLoaderSource(CTheme& theme, CArchive& ar) {
    theme.m_LoaderPath = ar.ReadString();
    if (ar.ReadU32() == 0) {
        LoadNativeData(theme, ar);
        return;
    }
    theme.m_LoaderData = ar.ReadByteVector(ar.ReadU32());
    theme.m_HasLoaderData = true;
    // Without its plug-in the theme stays without records and keeps the
    // block for the next save.
    if (RestoreFromLoader(theme)) {
        theme.m_LoaderData.clear();
        theme.m_HasLoaderData = false;
    }
    theme.ResetFilter();
    theme.ResetShapePositions();
    theme.RecalculateBounds();
}

void SkipBlockList(CArchive& ar) {
    for (;;) {
        const std::uint32_t size = ar.ReadU32();
        if (size == 0)
            return;
        ar.Skip(size);
    }
}

} // namespace

void CTheme::SerializeNativeData(CArchive& archive) {
    if (archive.IsStoring())
        StoreNativeData(*this, archive);
    else
        LoadNativeData(*this, archive);
}

void CTheme::Serialize(CArchive& ar, const SerializeContext& context) {
    if (ar.IsStoring()) {
        ar.WriteU32(kThemeSchema);
        WriteFlag8(ar, m_Visible);
        WriteFlag8(ar, m_Editable);
        ar.WriteU32(m_Color);
        ar.WriteU32(m_ShapeType);
        // A selection theme is written as a native one (see
        // StoreSelectionThemeAsNative).
        const bool selectionTheme = m_SourceType == ST_ParentTheme;
        ar.WriteU32(selectionTheme ? static_cast<std::uint32_t>(ST_Native) : m_SourceType);
        switch (m_SourceType) {
        case ST_ParentTheme:
            StoreSelectionThemeAsNative(*this, ar);
            break;
        case ST_ShapeFile:
            ar.WriteString(m_ShpPath);
            ar.WriteString(m_ShxPath);
            ar.WriteString(m_DbfPath);
            break;
        case ST_CustomLoader:
            StoreLoaderSource(*this, ar);
            break;
        case ST_Native:
            StoreNativeData(*this, ar);
            break;
        default:
            break;
        }
        ar.WriteString(m_Name);
        ar.WriteI32(m_PointSymbol);
        ar.WriteI32(m_LineWidth);
        WriteFlag8(ar, m_ShowInfoTip);
        ar.WriteString(m_InfoTipTemplate);
        WriteFlag8(ar, m_ShowLabels);
        ar.WriteString(m_Comment);
        ar.WriteI32(m_FillPattern);
        ar.WriteI32(m_LabelAlignment);
        WriteFlag32(ar, m_LabelForce);
        for (double value : m_Bounds)
            ar.WriteF64(value);
        ar.WriteU32(selectionTheme ? static_cast<std::uint32_t>(ST_ParentTheme) : m_FormerSourceType);
        ar.WriteString(std::string());
        ar.WriteF64(0.0);
        ar.WriteU32(m_OutlineColor);
        ar.WriteI32(m_PenStyle);
        ar.WriteU32(m_LabelColor);
        unsigned char font[LogFont::kSize];
        m_LabelFont.ToBytes(font);
        ar.WriteBytes(font, sizeof font);
        WriteFlag32(ar, m_LabelFrame);
        WriteFlag32(ar, m_ShowArrows);
        ar.WriteI32(m_ArrowImage.GetArrowType());
        WriteFlag32(ar, m_ShapeType == SHT_Image ? m_VectorizeOnSelect : m_ConnectPoints);
        ar.WriteI32(m_LineOffsetMode);
        ar.WriteI32(m_LineOffset);
        m_AdvancedProperties.Serialize(ar);
        WriteFlag32(ar, m_ScaleDependent);
        ar.WriteF64(m_MaxScale);
        ar.WriteF64(m_MinScale);
        ar.WriteU32(m_LabelFillColor);
        ar.WriteU32(m_LabelFrameColor);
        ar.WriteU32(0);
        ar.WriteU32(0);
        ar.WriteI32(m_LabelSpacing);
        WriteFlag32(ar, m_LabelDuplicates);
        ar.WriteU32(0);
        ar.WriteF64(0.0);
        ar.WriteU32(0);
        ar.WriteF64(0.0);
        ar.WriteF64(0.0);
        WriteFlag32(ar, m_RasterSmoothing);
        ar.WriteU32(kArrowWord);
        ar.WriteU32(m_ArrowImage.GetArrowColor());
        ar.WriteI32(m_ArrowImage.GetArrowSize());
        WriteF32(ar, m_ArrowPosition);
        m_Raster.Serialize(ar);
        WriteFlag8(ar, m_RasterLoaded);
        ar.WriteU32(0);
        if (context.serializeGpiData)
            context.serializeGpiData(ar, *this);
        else
            StoreOwnGpiData(ar, m_GpiData);
        m_Modified = false;
        return;
    }

    m_BoundsValid = false;
    const std::uint32_t version = ar.ReadU32();
    if (version > kThemeSchema)
        throw CArchiveException(CArchiveException::BadSchema,
                                "A theme of the workspace was saved by a newer version of Corvale.");
    m_Visible = ReadFlag8(ar);
    m_Editable = ReadFlag8(ar);
    m_Color = ar.ReadU32();
    m_ShapeType = ar.ReadU32();
    m_SourceType = ar.ReadU32();
    switch (m_SourceType) {
    case ST_ShapeFile:
        ReadShapeFileSource(*this, ar, context.baseFolder);
        break;
    case ST_CustomLoader:
        ReadLoaderSource(*this, ar);
        break;
    case ST_Native:
        LoadNativeData(*this, ar);
        break;
    default:
        break;
    }
    m_Name = ar.ReadString();
    m_PointSymbol = ar.ReadI32();
    m_LineWidth = ar.ReadI32();
    m_ShowInfoTip = ReadFlag8(ar);
    m_InfoTipTemplate = ar.ReadString();
    m_ShowLabels = ReadFlag8(ar);
    if (version >= 2)
        m_Comment = ar.ReadString();
    if (version >= 3)
        m_FillPattern = ar.ReadI32();
    if (version >= 4)
        m_LabelAlignment = ar.ReadI32();
    double storedBounds[4] = {m_Bounds[0], m_Bounds[1], m_Bounds[2], m_Bounds[3]};
    if (version >= 5) {
        m_LabelForce = ReadFlag32(ar);
        for (double& value : storedBounds)
            value = ar.ReadF64();
    }
    if (version >= 6)
        m_FormerSourceType = ar.ReadU32();
    std::string rasterPath;
    double rasterRotation = 0.0;
    if (version >= 7) {
        rasterPath = ar.ReadString();
        rasterRotation = ar.ReadF64();
    }
    if (version >= 8)
        m_OutlineColor = ar.ReadU32();
    if (version >= 9)
        m_PenStyle = ar.ReadI32();
    if (version >= 10) {
        m_LabelColor = ar.ReadU32();
        unsigned char font[LogFont::kSize];
        ar.ReadBytes(font, sizeof font);
        m_LabelFont = LogFont::FromBytes(font);
    }
    if (version >= 11)
        m_LabelFrame = ReadFlag32(ar);
    if (version >= 12) {
        m_ShowArrows = ReadFlag32(ar);
        // Each setter draws the arrow icons again only when the value changed.
        m_ArrowImage.SetArrowType(ar.ReadI32());
    }
    if (version >= 13) {
        // One word for both: which one it is depends on the kind of theme.
        m_ConnectPoints = ReadFlag32(ar);
        m_VectorizeOnSelect = m_ConnectPoints;
    }
    if (version >= 14) {
        m_LineOffsetMode = ar.ReadI32();
        m_LineOffset = ar.ReadI32();
    }
    if (version >= 15)
        m_AdvancedProperties.Serialize(ar);
    if (version >= 16) {
        m_ScaleDependent = ReadFlag32(ar);
        m_MaxScale = ar.ReadF64();
        m_MinScale = ar.ReadF64();
    }
    if (version >= 17) {
        m_LabelFillColor = ar.ReadU32();
        m_LabelFrameColor = ar.ReadU32();
        ar.ReadU32();
        ar.ReadU32();
        m_LabelSpacing = ar.ReadI32();
        m_LabelDuplicates = ReadFlag32(ar);
        ar.ReadU32();
        ar.ReadF64();
        ar.ReadU32();
        ar.ReadF64();
        ar.ReadF64();
    }
    if (version >= 18)
        m_RasterSmoothing = ReadFlag32(ar);
    if (version >= 20) {
        ar.ReadU32(); // always 12
        m_ArrowImage.SetArrowColor(ar.ReadU32());
        m_ArrowImage.SetArrowSize(ar.ReadI32());
        m_ArrowPosition = ReadF32(ar);
    }
    if (version >= 21) {
        m_Raster.Serialize(ar);
        m_RasterLoaded = ReadFlag8(ar);
    }
    std::copy(std::begin(storedBounds), std::end(storedBounds), std::begin(m_Bounds));

    if (version < kThemeSchema && m_SourceType == ST_ImageFile) {
        // Before the raster part was stored an image was placed on the stored
        // bounds, turned by the stored angle. A hidden image is placed too,
        // so that its placement is kept, and dropped again at once when the
        // settings unload hidden images. An image that cannot be loaded keeps
        // at least its path. Only a plain file is read: a workspace naming a
        // pipe or a device must not keep the program waiting on it.
        const CDoubleRect rect(m_Bounds[0], m_Bounds[1], m_Bounds[2], m_Bounds[3]);
        std::error_code error;
        const bool isFile = std::filesystem::is_regular_file(rasterPath, error);
        if ((!isFile || !PlaceRaster(rect, rasterPath, rasterRotation * kPi / 180.0)) && m_Raster.m_ImagePath.empty())
            m_Raster.m_ImagePath = rasterPath;
        if (!m_Visible && CAppSettings::GetInstance()->m_UnloadHiddenRasters != 0)
            m_Raster.DeleteDisplayBitmap();
    }

    if (version >= 19) {
        SkipBlockList(ar);
        if (context.serializeGpiData) {
            context.serializeGpiData(ar, *this);
        } else {
            std::vector<GpiDataBlock> blocks = LoadOwnGpiData(ar);
            m_GpiData.clear();
            for (const GpiDataBlock& block : blocks)
                SetGpiDataBlock(block);
        }
    }

    // The bounds of a theme with records are those of its records, also when
    // its shape file changed since the workspace was saved. An image keeps
    // the stored bounds until it is drawn, so that zooming finds it.
    if (GetAllShapeCount() > 0)
        RecalculateBounds();
    else if (m_ShapeType == SHT_Image && version >= kThemeSchema)
        m_BoundsValid = true;
    ResetShapePositions();
    UpdateStyles();
    BuildSpatialIndex();
    m_Modified = false;
}
