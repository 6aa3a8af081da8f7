// Themes stored in and read from workspace files: every setting kept, older
// schemas read with defaults for what they lack, the shape-file, native and
// loader sources, the locate-file question for a missing shape file, images
// of older workspaces, damaged records refused, and the label font's stored
// form.

#include "core/Theme.h"

#include "TempDir.h"
#include "core/LogFont.h"
#include "core/NativeThemeFixture.h"
#include "framework/ScriptedUserInterface.h"
#include "platform/ByteOrder.h"
#include "settings/AppSettings.h"
#include "shapes/RecordFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
const std::string kData = std::string(CORVALE_TEST_DATA);

Bytes Store(CTheme& theme) {
    CArchive ar;
    theme.Serialize(ar);
    return ar.GetStored();
}

// Reads the bytes into the theme; the whole record must be taken.
void Load(CTheme& theme, const Bytes& bytes) {
    CArchive ar(bytes.data(), bytes.size());
    theme.Serialize(ar);
    EXPECT_EQ(ar.GetRemaining(), 0u);
}

// ---- a theme record of any schema, written field by field ----

struct Writer {
    Bytes bytes;
    void U8(std::uint8_t v) { bytes.push_back(v); }
    void U32(std::uint32_t v) {
        unsigned char b[4];
        corvale::WriteLE32(b, v);
        bytes.insert(bytes.end(), b, b + 4);
    }
    void F64(double v) {
        unsigned char b[8];
        corvale::WriteLEDouble(b, v);
        bytes.insert(bytes.end(), b, b + 8);
    }
    void Text(const std::string& s) {
        U8(static_cast<std::uint8_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    void Raw(const Bytes& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
};

// A native attribute table of text columns (version 3, no defaults or
// descriptions).
Bytes TableBytes(const std::vector<std::string>& columns, const std::vector<std::vector<std::string>>& rows) {
    Writer w;
    w.U32(3);
    w.U32(static_cast<std::uint32_t>(columns.size()));
    for (const std::string& name : columns) {
        w.Text(name);
        w.U32(20);
        w.U32(0);
        w.U32(FT_String);
        w.U32(0);
    }
    for (int list = 0; list < 2; ++list) {
        w.U32(static_cast<std::uint32_t>(columns.size()));
        for (std::size_t i = 0; i < columns.size(); ++i)
            w.U32(0);
    }
    w.U32(static_cast<std::uint32_t>(rows.size()));
    for (const auto& row : rows) {
        w.U32(1);
        w.U32(static_cast<std::uint32_t>(row.size()));
        for (const std::string& cell : row) {
            w.U32(1);
            w.U32(1);
            w.Text(cell);
        }
    }
    return w.bytes;
}

struct StoredRecord {
    std::uint32_t size; // the size word as stored
    Bytes bytes;
};

StoredRecord Exact(const Bytes& record) { return {static_cast<std::uint32_t>(record.size()), record}; }

Bytes NativeBlock(std::uint32_t version, std::uint32_t type, const std::vector<StoredRecord>& records,
                  const Bytes& table, std::uint32_t count = UINT32_MAX) {
    Writer w;
    w.U32(version);
    w.U32(type);
    w.U32(count == UINT32_MAX ? static_cast<std::uint32_t>(records.size()) : count);
    for (const StoredRecord& r : records) {
        w.U32(r.size);
        w.Raw(r.bytes);
    }
    w.Raw(table);
    return w.bytes;
}

// What an old record may carry besides its source.
struct OldFields {
    std::string name = "Old";
    double bounds[4] = {0, 0, 0, 0};
    std::string rasterPath;
    double rasterRotation = 0.0;
    bool visible = true;
};

// Fields in the order and from the schema the stored layout gives them.
Bytes ThemeRecord(std::uint32_t schema, std::uint32_t source, std::uint32_t type, const Bytes& sourceBlock,
                  const OldFields& f = OldFields()) {
    Writer w;
    w.U32(schema);
    w.U8(f.visible ? 1 : 0);
    w.U8(0);
    w.U32(0x0000FF);
    w.U32(type);
    w.U32(source);
    w.Raw(sourceBlock);
    w.Text(f.name);
    w.U32(2);         // point symbol
    w.U32(3);         // line width
    w.U8(1);          // info tip shown
    w.Text("<ID>");   // template
    w.U8(1);          // labels shown
    if (schema >= 2)
        w.Text("comment");
    if (schema >= 3)
        w.U32(6); // fill pattern
    if (schema >= 4)
        w.U32(5); // label alignment
    if (schema >= 5) {
        w.U32(1);
        for (double v : f.bounds)
            w.F64(v);
    }
    if (schema >= 6)
        w.U32(0);
    if (schema >= 7) {
        w.Text(f.rasterPath);
        w.F64(f.rasterRotation);
    }
    if (schema >= 8)
        w.U32(0x00FF00);
    if (schema >= 9)
        w.U32(2);
    if (schema >= 10) {
        w.U32(0x123456);
        for (std::size_t i = 0; i < LogFont::kSize; ++i)
            w.U8(static_cast<std::uint8_t>(i));
    }
    if (schema >= 11)
        w.U32(1);
    if (schema >= 12) {
        w.U32(1);
        w.U32(1);
    }
    if (schema >= 13)
        w.U32(1);
    if (schema >= 14) {
        w.U32(3);
        w.U32(7);
    }
    if (schema >= 15) {
        w.U32(1);
        w.U32(0);
    }
    if (schema >= 16) {
        w.U32(1);
        w.F64(100.0);
        w.F64(1.0);
    }
    if (schema >= 17) {
        for (std::uint32_t v : {0xAAAAAAu, 0xBBBBBBu, 0u, 0u, 4u, 0u, 0u})
            w.U32(v);
        w.F64(0.0);
        w.U32(0);
        w.F64(0.0);
        w.F64(0.0);
    }
    if (schema >= 18)
        w.U32(1);
    if (schema >= 20) {
        w.U32(12);
        w.U32(0x0000CC);
        w.U32(1);
        const float position = 0.25f;
        std::uint32_t bits;
        std::memcpy(&bits, &position, 4);
        w.U32(bits);
    }
    if (schema >= 21) {
        CRasterImageData raster;
        CArchive ar;
        raster.Serialize(ar);
        w.Raw(ar.GetStored());
        w.U8(1);
    }
    if (schema >= 19) {
        w.U32(0);
        w.U32(1);
        w.U32(0);
    }
    return w.bytes;
}

Bytes PointRecord(std::uint32_t number, double x, double y) { return MakePoint(x, y, number); }

// A native point theme with the given records and a one-column table.
Bytes NativePointRecord(std::uint32_t schema, const std::vector<StoredRecord>& records,
                        const std::vector<std::vector<std::string>>& rows, std::uint32_t dataVersion = 2,
                        std::uint32_t type = SHT_Point) {
    return ThemeRecord(schema, ST_Native, type, NativeBlock(dataVersion, type, records, TableBytes({"ID"}, rows)));
}

// ---- a theme with every setting away from its default ----

struct FullTheme {
    FullTheme() : native({{"NAME", FT_String}, {"POP", FT_Int}},
                         {{"Alpha", "10"}, {"Beta", "20"}, {"Gamma", "30"}},
                         {{1.0, 2.0}, {3.5, -4.0}, {10.0, 7.25}}) {
        CTheme& t = native.theme;
        t.m_Name = "Towns";
        t.m_Comment = "A comment";
        t.m_Visible = false;
        t.m_Color = 0x102030;
        t.m_OutlineColor = 0x405060;
        t.m_PointSymbol = 7;
        t.m_LineWidth = 3;
        t.m_PenStyle = 2;
        t.m_FillPattern = 5;
        t.m_InfoTipTemplate = "<NAME> (<POP>)";
        t.m_ShowInfoTip = true;
        t.m_ShowLabels = true;
        t.m_LabelAlignment = 3;
        t.m_LabelForce = true;
        t.m_LabelColor = 0x0000FF;
        t.m_LabelFillColor = 0x00FFFF;
        t.m_LabelFrameColor = 0xFF0000;
        t.m_LabelFrame = true;
        t.m_LabelSpacing = 4;
        t.m_LabelDuplicates = false;
        t.m_ConnectPoints = true;
        t.m_RasterSmoothing = true;
        QFont font("DejaVu Serif");
        font.setPixelSize(17);
        font.setItalic(true);
        t.m_LabelFont = LogFontFromQFont(font);
        t.m_LineOffsetMode = 2;
        t.m_LineOffset = 6;
        t.m_ShowArrows = true;
        t.m_ArrowPosition = 0.75f;
        t.m_ArrowImage.SetArrowType(CArrowImage::AT_Filled);
        t.m_ArrowImage.SetArrowSize(CArrowImage::AS_Large);
        t.m_ArrowImage.SetArrowColor(0x00AA00);
        t.m_ScaleDependent = true;
        t.m_MaxScale = 250.0;
        t.m_MinScale = 0.5;
        t.m_FormerSourceType = ST_ShapeFile;
        t.m_RasterLoaded = false;
        t.m_AdvancedProperties.m_Properties = {CAdvancedProperty("[POP] > 15", 0x0000FF, 0x00FF00, 2),
                                               CAdvancedProperty("[NAME] = 'Alpha'", 0xFF0000, 0x000000, -1)};
        t.m_AdvancedProperties.m_Properties[1].PenColorFromAttribute = 1;
        t.m_AdvancedProperties.m_Properties[1].PenColorAttribute = "NAME";
        t.SetGpiDataBlock({"{PLUGIN-A}", {1, 2, 3}});
        t.SetGpiDataBlock({"{PLUGIN-B}", {}});
        t.UpdateStyles();
        t.m_Modified = true;
    }
    NativePointTheme native;
};

void ExpectSameSettings(const CTheme& a, const CTheme& b) {
    EXPECT_EQ(a.m_Name, b.m_Name);
    EXPECT_EQ(a.m_Comment, b.m_Comment);
    EXPECT_EQ(a.m_Visible, b.m_Visible);
    EXPECT_EQ(a.m_Editable, b.m_Editable);
    EXPECT_EQ(a.m_ShapeType, b.m_ShapeType);
    EXPECT_EQ(a.m_SourceType, b.m_SourceType);
    EXPECT_EQ(a.m_FormerSourceType, b.m_FormerSourceType);
    EXPECT_EQ(a.m_Color, b.m_Color);
    EXPECT_EQ(a.m_OutlineColor, b.m_OutlineColor);
    EXPECT_EQ(a.m_PointSymbol, b.m_PointSymbol);
    EXPECT_EQ(a.m_LineWidth, b.m_LineWidth);
    EXPECT_EQ(a.m_PenStyle, b.m_PenStyle);
    EXPECT_EQ(a.m_FillPattern, b.m_FillPattern);
    EXPECT_EQ(a.m_InfoTipTemplate, b.m_InfoTipTemplate);
    EXPECT_EQ(a.m_ShowInfoTip, b.m_ShowInfoTip);
    EXPECT_EQ(a.m_ShowLabels, b.m_ShowLabels);
    EXPECT_EQ(a.m_LabelAlignment, b.m_LabelAlignment);
    EXPECT_EQ(a.m_LabelForce, b.m_LabelForce);
    EXPECT_EQ(a.m_LabelFont, b.m_LabelFont);
    EXPECT_EQ(a.m_LabelColor, b.m_LabelColor);
    EXPECT_EQ(a.m_LabelFillColor, b.m_LabelFillColor);
    EXPECT_EQ(a.m_LabelFrameColor, b.m_LabelFrameColor);
    EXPECT_EQ(a.m_LabelFrame, b.m_LabelFrame);
    EXPECT_EQ(a.m_LabelSpacing, b.m_LabelSpacing);
    EXPECT_EQ(a.m_LabelDuplicates, b.m_LabelDuplicates);
    EXPECT_EQ(a.m_ConnectPoints, b.m_ConnectPoints);
    EXPECT_EQ(a.m_RasterSmoothing, b.m_RasterSmoothing);
    EXPECT_EQ(a.m_LineOffsetMode, b.m_LineOffsetMode);
    EXPECT_EQ(a.m_LineOffset, b.m_LineOffset);
    EXPECT_EQ(a.m_ShowArrows, b.m_ShowArrows);
    EXPECT_EQ(a.m_ArrowPosition, b.m_ArrowPosition);
    EXPECT_EQ(a.m_ArrowImage.GetArrowType(), b.m_ArrowImage.GetArrowType());
    EXPECT_EQ(a.m_ArrowImage.GetArrowSize(), b.m_ArrowImage.GetArrowSize());
    EXPECT_EQ(a.m_ArrowImage.GetArrowColor(), b.m_ArrowImage.GetArrowColor());
    EXPECT_EQ(a.m_ScaleDependent, b.m_ScaleDependent);
    EXPECT_EQ(a.m_MaxScale, b.m_MaxScale);
    EXPECT_EQ(a.m_MinScale, b.m_MinScale);
    EXPECT_EQ(a.m_AdvancedProperties, b.m_AdvancedProperties);
    EXPECT_EQ(a.m_RasterLoaded, b.m_RasterLoaded);
    ASSERT_EQ(a.m_GpiData.size(), b.m_GpiData.size());
    for (std::size_t i = 0; i < a.m_GpiData.size(); ++i) {
        EXPECT_EQ(a.m_GpiData[i].m_PluginName, b.m_GpiData[i].m_PluginName);
        EXPECT_EQ(a.m_GpiData[i].m_Data, b.m_GpiData[i].m_Data);
    }
}

Bytes RecordBytes(const CShapeRecord* record) {
    const unsigned char* p = CShapeRecord::Bytes(record);
    return Bytes(p, p + CShapeRecord::GetSize(record));
}

} // namespace

TEST(ThemeSerialize, StoredAndReadAgainKeepsEverySettingRecordAndValue) {
    FullTheme full;
    CTheme& original = full.native.theme;
    const Bytes stored = Store(original);
    EXPECT_FALSE(original.m_Modified);

    CTheme read;
    Load(read, stored);
    ExpectSameSettings(original, read);
    EXPECT_FALSE(read.m_Modified);
    ASSERT_EQ(read.GetAllShapeCount(), 3);
    ASSERT_EQ(read.GetShapeCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(RecordBytes(read.GetAllShape(i)), RecordBytes(original.GetAllShape(i)));
        for (int field = 0; field < 2; ++field)
            EXPECT_EQ(read.GetAttributeText(i, field), original.GetAttributeText(i, field));
    }
    EXPECT_EQ(read.GetAttributeName(1), "POP");
    EXPECT_EQ(read.GetAttributeType(1), FT_Int);
    // The records are the theme's own, its bounds theirs, its styles built
    // with one style per rule.
    EXPECT_EQ(read.m_OwnedPoints.size(), 3u);
    EXPECT_TRUE(read.m_BoundsValid);
    EXPECT_EQ(read.m_Bounds[0], 1.0);
    EXPECT_EQ(read.m_Bounds[1], -4.0);
    EXPECT_EQ(read.m_Bounds[2], 10.0);
    EXPECT_EQ(read.m_Bounds[3], 7.25);
    EXPECT_EQ(read.m_Styles.size(), 3u);
    EXPECT_EQ(read.GetShapeStyle(1), read.m_Styles[1].get());

    // Stored again, nothing differs.
    EXPECT_EQ(Store(read), stored);
}

TEST(ThemeSerialize, ANativeThemeKeepsItsEditableFlagBothWays) {
    for (const bool editable : {false, true}) {
        SCOPED_TRACE(editable);
        NativePointTheme native({{"ID", FT_Int}}, {{"1"}, {"2"}});
        native.theme.m_Editable = editable;
        const Bytes stored = Store(native.theme);
        EXPECT_EQ(native.theme.m_Editable, editable);
        CTheme read;
        Load(read, stored);
        EXPECT_EQ(read.m_Editable, editable);
        EXPECT_EQ(read.m_SourceType, static_cast<std::uint32_t>(ST_Native));
        EXPECT_EQ(Store(read), stored);
    }
}

TEST(ThemeSerialize, OlderSchemasReadWithDefaultsForWhatTheyLack) {
    const CTheme fresh;
    const std::vector<StoredRecord> records = {Exact(PointRecord(1, 2, 3)), Exact(PointRecord(2, 4, 6))};
    for (std::uint32_t schema : {1u, 4u, 9u, 14u}) {
        SCOPED_TRACE(schema);
        OldFields fields;
        fields.bounds[0] = 100.0; // stored bounds do not outweigh the records'
        CTheme theme;
        Load(theme, ThemeRecord(schema, ST_Native, SHT_Point,
                                NativeBlock(2, SHT_Point, records, TableBytes({"ID"}, {{"a"}, {"b"}})), fields));
        EXPECT_EQ(theme.m_Name, "Old");
        EXPECT_EQ(theme.m_PointSymbol, 2);
        EXPECT_EQ(theme.m_InfoTipTemplate, "<ID>");
        EXPECT_TRUE(theme.m_ShowInfoTip);
        EXPECT_TRUE(theme.m_ShowLabels);
        EXPECT_EQ(theme.m_Comment, schema >= 2 ? "comment" : "");
        EXPECT_EQ(theme.m_FillPattern, schema >= 3 ? 6 : fresh.m_FillPattern);
        EXPECT_EQ(theme.m_LabelAlignment, schema >= 4 ? 5 : fresh.m_LabelAlignment);
        EXPECT_EQ(theme.m_LabelForce, schema >= 5);
        EXPECT_EQ(theme.m_OutlineColor, schema >= 8 ? 0x00FF00u : fresh.m_OutlineColor);
        EXPECT_EQ(theme.m_PenStyle, schema >= 9 ? 2 : fresh.m_PenStyle);
        EXPECT_EQ(theme.m_LabelColor, schema >= 10 ? 0x123456u : fresh.m_LabelColor);
        EXPECT_EQ(theme.m_LabelFont == fresh.m_LabelFont, schema < 10);
        EXPECT_EQ(theme.m_ShowArrows, schema >= 12);
        EXPECT_EQ(theme.m_ArrowImage.GetArrowType(), schema >= 12 ? 1 : fresh.m_ArrowImage.GetArrowType());
        EXPECT_EQ(theme.m_ConnectPoints, schema >= 13);
        EXPECT_EQ(theme.m_LineOffset, schema >= 14 ? 7 : 0);
        // Nothing of the later schemas.
        EXPECT_TRUE(theme.m_AdvancedProperties.m_Properties.empty());
        EXPECT_FALSE(theme.m_ScaleDependent);
        EXPECT_EQ(theme.m_MaxScale, fresh.m_MaxScale);
        EXPECT_EQ(theme.m_LabelFillColor, fresh.m_LabelFillColor);
        EXPECT_EQ(theme.m_LabelDuplicates, fresh.m_LabelDuplicates);
        EXPECT_EQ(theme.m_ArrowImage.GetArrowColor(), fresh.m_ArrowImage.GetArrowColor());
        EXPECT_EQ(theme.m_ArrowImage.GetArrowSize(), fresh.m_ArrowImage.GetArrowSize());
        EXPECT_EQ(theme.m_ArrowPosition, fresh.m_ArrowPosition);
        EXPECT_TRUE(theme.m_RasterLoaded);
        EXPECT_TRUE(theme.m_GpiData.empty());
        EXPECT_TRUE(theme.m_BoundsValid);
        EXPECT_EQ(theme.m_Bounds[0], 2.0);
        EXPECT_EQ(theme.m_Bounds[3], 6.0);
        EXPECT_FALSE(theme.m_Modified);
    }
}

TEST(ThemeSerialize, LaterSchemasReadTheirFields) {
    CTheme theme;
    Load(theme, ThemeRecord(20, ST_Native, SHT_Point,
                            NativeBlock(2, SHT_Point, {Exact(PointRecord(1, 0, 0))}, TableBytes({"ID"}, {{"a"}}))));
    EXPECT_TRUE(theme.m_ScaleDependent);
    EXPECT_EQ(theme.m_MaxScale, 100.0);
    EXPECT_EQ(theme.m_MinScale, 1.0);
    EXPECT_EQ(theme.m_LabelFillColor, 0xAAAAAAu);
    EXPECT_EQ(theme.m_LabelFrameColor, 0xBBBBBBu);
    EXPECT_EQ(theme.m_LabelSpacing, 4);
    EXPECT_FALSE(theme.m_LabelDuplicates);
    EXPECT_TRUE(theme.m_RasterSmoothing);
    EXPECT_EQ(theme.m_ArrowImage.GetArrowColor(), 0x0000CCu);
    EXPECT_EQ(theme.m_ArrowImage.GetArrowSize(), 1);
    EXPECT_EQ(theme.m_ArrowPosition, 0.25f);
    unsigned char font[LogFont::kSize];
    theme.m_LabelFont.ToBytes(font);
    for (std::size_t i = 0; i < LogFont::kSize; ++i)
        EXPECT_EQ(font[i], i);
}

TEST(ThemeSerialize, DamagedRecordsAreRefused) {
    const Bytes table = TableBytes({"ID"}, {{"a"}});
    Bytes point = PointRecord(1, 1, 1);
    Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    Bytes unnumbered = PointRecord(0, 1, 1);
    Bytes farNumber = PointRecord(0x80000000u, 1, 1);
    // A polyline whose point count asks for more bytes than it has.
    Bytes overCounted = line;
    corvale::WriteLE32(overCounted.data() + 48, 3);
    Bytes nullRecord(12, 0);

    struct Case {
        const char* what;
        Bytes record;
        CArchiveException::Cause cause;
    };
    const std::vector<Case> cases = {
        {"schema newer than 21", ThemeRecord(22, ST_Native, SHT_Point, NativeBlock(2, SHT_Point, {Exact(point)}, table)),
         CArchiveException::BadSchema},
        {"native data of version 3", NativePointRecord(21, {Exact(point)}, {{"a"}}, 3), CArchiveException::BadSchema},
        {"more records than bytes",
         ThemeRecord(21, ST_Native, SHT_Point, NativeBlock(2, SHT_Point, {Exact(point)}, table, 100000)),
         CArchiveException::BadData},
        {"a size beyond the data", NativePointRecord(21, {{1000000, point}}, {{"a"}}), CArchiveException::EndOfFile},
        {"a size larger than the record",
         NativePointRecord(21, {{29, [&] { Bytes b = point; b.push_back(0); return b; }()}}, {{"a"}}),
         CArchiveException::BadData},
        {"a size smaller than the record", NativePointRecord(21, {{20, Bytes(point.begin(), point.begin() + 20)}}, {{"a"}}),
         CArchiveException::BadData},
        {"counts beyond the record",
         ThemeRecord(21, ST_Native, SHT_Polyline, NativeBlock(2, SHT_Polyline, {Exact(overCounted)}, table)),
         CArchiveException::BadData},
        {"a polyline in a point theme", NativePointRecord(21, {Exact(line)}, {{"a"}}), CArchiveException::BadData},
        {"a null record", NativePointRecord(21, {Exact(nullRecord)}, {{"a"}}), CArchiveException::BadData},
        {"record number 0", NativePointRecord(21, {Exact(unnumbered)}, {{"a"}}), CArchiveException::BadData},
        {"a record number beyond shape indexes", NativePointRecord(21, {Exact(farNumber)}, {{"a"}}),
         CArchiveException::BadData},
        {"records in a theme of no type", NativePointRecord(21, {Exact(point)}, {{"a"}}, 2, SHT_Null),
         CArchiveException::BadData},
        {"a loader block beyond the data",
         [] {
             Writer w;
             w.Text("loader.ldr");
             w.U32(1);
             w.U32(500);
             w.U32(0);
             return ThemeRecord(21, ST_CustomLoader, SHT_Point, w.bytes);
         }(),
         CArchiveException::EndOfFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTheme theme;
        CArchive ar(c.record.data(), c.record.size());
        try {
            theme.Serialize(ar);
            ADD_FAILURE() << "read without complaint";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_Cause, c.cause) << e.what();
        }
    }
}

TEST(ThemeSerialize, EveryCutOfARecordIsRefused) {
    FullTheme full;
    const Bytes stored = Store(full.native.theme);
    for (std::size_t size = 0; size < stored.size(); ++size) {
        CTheme theme;
        CArchive ar(stored.data(), size);
        EXPECT_THROW(theme.Serialize(ar), CArchiveException) << size;
    }
}

TEST(ThemeSerialize, Version1NativeDataDropsTheRowsOfDeletedShapes) {
    // Shapes 1 and 3 are left; the table still has the row of shape 2.
    CTheme theme;
    Load(theme, NativePointRecord(21, {Exact(PointRecord(1, 1, 1)), Exact(PointRecord(3, 3, 3))},
                                  {{"first"}, {"deleted"}, {"third"}}, 1));
    ASSERT_EQ(theme.GetAllShapeCount(), 2);
    EXPECT_EQ(theme.m_NativeTable.GetRowCount(), 2);
    EXPECT_EQ(GetShapeRecordIndex(theme.GetAllShape(0)), 0);
    EXPECT_EQ(GetShapeRecordIndex(theme.GetAllShape(1)), 1);
    EXPECT_EQ(theme.GetAttributeText(0, 0), "first");
    EXPECT_EQ(theme.GetAttributeText(1, 0), "third");
    EXPECT_EQ(theme.GetShapeCount(), 2);
}

TEST(ThemeSerialize, ReservationIsCappedButEveryRecordReads) {
    // More records than the reservation takes; each is a 28-byte point.
    constexpr std::uint32_t kCount = 1000005;
    Writer w;
    w.U32(2);
    w.U32(SHT_Point);
    w.U32(kCount);
    const Bytes point = PointRecord(1, 0, 0);
    w.bytes.reserve(w.bytes.size() + kCount * 32u + 64);
    for (std::uint32_t i = 0; i < kCount; ++i) {
        w.U32(28);
        const std::size_t at = w.bytes.size();
        w.Raw(point);
        corvale::WriteBE32(w.bytes.data() + at, i + 1);
        corvale::WriteLEDouble(w.bytes.data() + at + 12, static_cast<double>(i));
    }
    w.Raw(TableBytes({"ID"}, {}));
    CTheme theme;
    CArchive ar(w.bytes.data(), w.bytes.size());
    theme.SerializeNativeData(ar);
    EXPECT_EQ(theme.GetAllShapeCount(), static_cast<int>(kCount));
    EXPECT_EQ(theme.m_Bounds[2], kCount - 1.0);
}

TEST(ThemeSerialize, AShapeFileThemeOpensItsTrioAgain) {
    TempDir dir;
    for (const char* ext : {".shp", ".shx"})
        WriteBytes(dir.file(std::string("towns") + ext), ReadBytes(kData + "/shapes/points" + ext));
    WriteBytes(dir.file("towns.dbf"), ReadBytes(kData + "/dbf/gdal.dbf"));
    CTheme original;
    ASSERT_TRUE(original.OpenShapeFile(dir.file("towns.shp")));
    original.m_Name = "Towns";
    const Bytes stored = Store(original);

    corvale::CScriptedUserInterface ui;
    CTheme read;
    Load(read, stored);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(read.m_SourceType, static_cast<std::uint32_t>(ST_ShapeFile));
    EXPECT_EQ(read.GetAllShapeCount(), 3);
    EXPECT_EQ(read.GetAttributeCount(), original.GetAttributeCount());
    EXPECT_EQ(read.m_ShpPath, dir.file("towns.shp"));
    EXPECT_FALSE(read.m_Modified);
    EXPECT_EQ(Store(read), stored);
}

TEST(ThemeSerialize, ADamagedTableIsToldOnceWhenTheWorkspaceOpens) {
    TempDir dir;
    for (const char* ext : {".shp", ".shx"})
        WriteBytes(dir.file(std::string("towns") + ext), ReadBytes(kData + "/shapes/points" + ext));
    // gdal.dbf with a header length past the end of the file.
    Bytes table = ReadBytes(kData + "/dbf/gdal.dbf");
    table[8] = 0xFF;
    table[9] = 0xFF;
    WriteBytes(dir.file("towns.dbf"), table);
    CTheme original;
    ASSERT_TRUE(original.OpenShapeFile(dir.file("towns.shp")));
    const Bytes stored = Store(original);

    corvale::CScriptedUserInterface ui;
    CTheme read;
    Load(read, stored);
    EXPECT_EQ(ui.Messages(),
              (std::vector<std::string>{"The header of the attribute file is damaged:\n\n" +
                                        dir.file("towns.dbf") +
                                        "\n\n\nIts records were read from where its field "
                                        "list ends."}));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Warning);
    EXPECT_EQ(read.GetAttributeTextAt(0, 0), "Harbour");
    EXPECT_EQ(read.GetAttributeTextAt(1, 2), "0.25");
}

TEST(ThemeSerialize, AMissingShapeFileIsLookedForAsLongAsTheUserWants) {
    TempDir dir;
    const std::string found = dir.file("found.shp");
    WriteBytes(found, ReadBytes(kData + "/shapes/lines.shp"));
    WriteBytes(dir.file("found.shx"), ReadBytes(kData + "/shapes/lines.shx"));
    const std::string gone = dir.file("gone.shp");
    const std::string wrong = dir.file("wrong.shp");
    // A workspace written on Windows names its files with backslashes.
    const std::string windows = "C:\\maps\\roads.shp";

    Writer paths;
    paths.Text(windows);
    paths.Text("C:\\maps\\roads.shx");
    paths.Text("C:\\maps\\roads.dbf");
    const Bytes record = ThemeRecord(21, ST_ShapeFile, SHT_Polyline, paths.bytes);
    auto question = [](const std::string& path) {
        return "Corvale was unable to open " + path + ".\nWould you like to browse for the file?";
    };

    struct Case {
        const char* what;
        std::vector<int> answers;
        std::vector<std::vector<std::string>> chosen;
        std::vector<std::string> asked;
        int records;
        std::string shpPath;
    };
    const std::vector<Case> cases = {
        {"no", {corvale::IDNO}, {}, {question(windows)}, 0, windows},
        {"yes, then cancel", {corvale::IDYES}, {{}}, {question(windows)}, 0, windows},
        {"a wrong file, then no", {corvale::IDYES, corvale::IDNO}, {{wrong}}, {question(windows), question(wrong)}, 0,
         wrong},
        {"a wrong file, then the right one",
         {corvale::IDYES, corvale::IDYES},
         {{gone}, {found}},
         {question(windows), question(gone)},
         2,
         found},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        corvale::CScriptedUserInterface ui;
        ui.messageAnswers.assign(c.answers.begin(), c.answers.end());
        ui.openAnswers.assign(c.chosen.begin(), c.chosen.end());
        CTheme theme;
        Load(theme, record);
        EXPECT_EQ(ui.Messages(), c.asked);
        for (const auto& shown : ui.shown)
            if (shown.kind == "message") {
                EXPECT_EQ(shown.icon, corvale::MessageIcon::Error);
                EXPECT_EQ(shown.buttons, corvale::MessageButtons::YesNo);
            }
        EXPECT_EQ(theme.GetAllShapeCount(), c.records);
        EXPECT_EQ(theme.m_SourceType, static_cast<std::uint32_t>(ST_ShapeFile));
        EXPECT_EQ(theme.m_ShapeType, static_cast<std::uint32_t>(SHT_Polyline));
        EXPECT_EQ(theme.m_ShpPath, c.shpPath);
        EXPECT_EQ(theme.m_Name, "Old");
        EXPECT_FALSE(theme.m_Modified);
        if (c.records == 0 && c.shpPath == windows) {
            // Never found: stored again exactly as it came, for a later open
            // to find.
            EXPECT_EQ(Store(theme), record);
            EXPECT_EQ(theme.m_ShxPath, "C:\\maps\\roads.shx");
            EXPECT_EQ(theme.m_DbfPath, "C:\\maps\\roads.dbf");
        }
    }
    // The dialog opens on the file's folder and name.
    corvale::CScriptedUserInterface ui;
    ui.messageAnswers = {corvale::IDYES};
    ui.openAnswers = {{}};
    CTheme theme;
    Load(theme, record);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].kind, "open");
}

TEST(ThemeSerialize, ALoaderThemeWithoutItsPluginKeepsTheBlock) {
    Writer source;
    source.Text("/opt/plugins/Grindal.ldr");
    source.U32(1);
    source.U32(5);
    source.Raw({9, 8, 7, 6, 5});
    const Bytes record = ThemeRecord(21, ST_CustomLoader, SHT_Polygon, source.bytes);
    CTheme theme;
    Load(theme, record);
    EXPECT_EQ(theme.m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    EXPECT_EQ(theme.GetAllShapeCount(), 0);
    EXPECT_EQ(theme.m_LoaderPath, "/opt/plugins/Grindal.ldr");
    EXPECT_EQ(theme.m_LoaderData, (Bytes{9, 8, 7, 6, 5}));
    // Stored again, the block is there as it came.
    CTheme again;
    Load(again, Store(theme));
    EXPECT_EQ(again.m_LoaderData, theme.m_LoaderData);
    EXPECT_EQ(Store(again), Store(theme));
}

TEST(ThemeSerialize, ALoaderThemeThatCannotStoreItselfIsStoredNative) {
    // Records delivered by a loader: not the theme's own buffers.
    std::vector<Bytes> delivered = {MakePoint(1, 2, 1), MakePoint(3, 4, 2)};
    CTheme theme;
    theme.m_ShapeType = SHT_Point;
    theme.m_SourceType = ST_CustomLoader;
    theme.m_LoaderPath = "/opt/plugins/Scattern.ldr";
    for (Bytes& record : delivered)
        ASSERT_TRUE(CTheme::ShapeCallback(&theme, Rec(record), 0));
    theme.ResetFilter();

    const Bytes stored = Store(theme);
    // In memory: native and editable, with copies of the records.
    EXPECT_EQ(theme.m_SourceType, static_cast<std::uint32_t>(ST_Native));
    EXPECT_EQ(theme.m_FormerSourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    EXPECT_TRUE(theme.m_Editable);
    EXPECT_EQ(theme.m_OwnedPoints.size(), 2u);
    EXPECT_FALSE(theme.m_Modified);
    // In the file: the loader's source with its records.
    EXPECT_EQ(corvale::ReadLE32(stored.data() + 14), static_cast<std::uint32_t>(ST_CustomLoader));
    CTheme read;
    Load(read, stored);
    EXPECT_EQ(read.m_SourceType, static_cast<std::uint32_t>(ST_Native));
    EXPECT_EQ(read.m_FormerSourceType, static_cast<std::uint32_t>(ST_CustomLoader));
    EXPECT_EQ(read.m_LoaderPath, "/opt/plugins/Scattern.ldr");
    ASSERT_EQ(read.GetAllShapeCount(), 2);
    EXPECT_EQ(CShapeRecord::GetPoint(read.GetAllShape(1), 0).x, 3.0);
    // From now on both store the same native theme.
    EXPECT_EQ(Store(read), Store(theme));
}

TEST(ThemeSerialize, ARecordThatCannotBeStoredFailsTheStore) {
    CTheme theme;
    theme.m_ShapeType = SHT_Point;
    ASSERT_TRUE(theme.ConvertToNative(true, true));
    // A record of no known type cannot be read back.
    Bytes broken = MakePoint(1, 1, 1);
    corvale::WriteLE32(broken.data() + 8, 99);
    theme.m_Points.push_back(Rec(broken));
    CArchive ar;
    EXPECT_THROW(theme.Serialize(ar), std::exception);
    theme.m_Points.clear();
}

TEST(ThemeSerialize, AnImageThemeKeepsItsPlacement) {
    TempDir dir;
    const std::string image = dir.file("placed.png");
    WriteBytes(image, ReadBytes(kData + "/raster/placed.png"));
    WriteBytes(dir.file("placed.pgw"), ReadBytes(kData + "/raster/placed.pgw"));
    CTheme original;
    original.m_ShapeType = SHT_Image;
    original.m_SourceType = ST_ImageFile;
    ASSERT_TRUE(original.LoadRaster(image));
    ASSERT_TRUE(original.RotateRaster(0.25));
    original.m_RasterLoaded = false;
    // An image theme keeps its single-select vectorizing in the word points
    // use for drawing as a polyline.
    original.m_VectorizeOnSelect = true;
    original.m_ConnectPoints = false;
    const Bytes stored = Store(original);

    CTheme read;
    Load(read, stored);
    EXPECT_EQ(read.m_Raster.m_ImagePath, image);
    const CRasterTransformation& a = original.m_Raster.m_Transformation;
    const CRasterTransformation& b = read.m_Raster.m_Transformation;
    EXPECT_EQ(a.GetA(), b.GetA());
    EXPECT_EQ(a.GetB(), b.GetB());
    EXPECT_EQ(a.GetD(), b.GetD());
    EXPECT_EQ(a.GetF(), b.GetF());
    EXPECT_FALSE(read.m_RasterLoaded);
    EXPECT_TRUE(read.m_VectorizeOnSelect);
    // The image is loaded when it is drawn; meanwhile the stored bounds
    // stand for it.
    EXPECT_TRUE(read.m_BoundsValid);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(read.m_Bounds[i], original.m_Bounds[i]);
    EXPECT_EQ(Store(read), stored);
}

TEST(ThemeSerialize, AnImageOfAnOlderSchemaIsPlacedOnItsBoundsTurnedByItsDegrees) {
    TempDir dir;
    const std::string image = dir.file("old.png");
    WriteBytes(image, ReadBytes(kData + "/raster/placed.png"));
    OldFields fields;
    fields.rasterPath = image;
    fields.rasterRotation = 30.0;
    const double rect[4] = {10, 20, 18, 29};
    std::copy(rect, rect + 4, fields.bounds);
    CRasterTransformation expected;
    ASSERT_TRUE(expected.SetFromExtent(4, 3, RasterRect{10, 20, 18, 29}, 30.0 * kPi / 180.0));

    struct Case {
        const char* what;
        bool visible;
        int unloadHidden;
        bool bitmap;
    };
    for (const Case& c : {Case{"shown", true, 0, true}, Case{"hidden", false, 0, true},
                          Case{"hidden and unloaded", false, 1, false}}) {
        SCOPED_TRACE(c.what);
        const int saved = CAppSettings::GetInstance()->m_UnloadHiddenRasters;
        CAppSettings::GetInstance()->m_UnloadHiddenRasters = c.unloadHidden;
        fields.visible = c.visible;
        CTheme theme;
        Load(theme, ThemeRecord(20, ST_ImageFile, SHT_Image, {}, fields));
        CAppSettings::GetInstance()->m_UnloadHiddenRasters = saved;
        const CRasterTransformation& t = theme.m_Raster.m_Transformation;
        EXPECT_DOUBLE_EQ(t.GetA(), expected.GetA());
        EXPECT_DOUBLE_EQ(t.GetB(), expected.GetB());
        EXPECT_DOUBLE_EQ(t.GetD(), expected.GetD());
        EXPECT_DOUBLE_EQ(t.GetE(), expected.GetE());
        EXPECT_EQ(theme.m_Raster.m_ImagePath, image);
        EXPECT_EQ(theme.m_Raster.HasDisplayBitmap(), c.bitmap);
        EXPECT_TRUE(theme.m_BoundsValid);
        EXPECT_FALSE(theme.m_Modified);
    }

    // An image that is gone keeps its path for the next save.
    fields.visible = true;
    fields.rasterPath = dir.file("gone.png");
    CTheme gone;
    Load(gone, ThemeRecord(20, ST_ImageFile, SHT_Image, {}, fields));
    EXPECT_EQ(gone.m_Raster.m_ImagePath, dir.file("gone.png"));
    EXPECT_FALSE(gone.m_Raster.HasDisplayBitmap());

    // A pipe is not read (it would keep the reading waiting), but named.
    const std::string pipe = dir.file("pipe.png");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fields.rasterPath = pipe;
    CTheme piped;
    Load(piped, ThemeRecord(20, ST_ImageFile, SHT_Image, {}, fields));
    EXPECT_EQ(piped.m_Raster.m_ImagePath, pipe);
    EXPECT_FALSE(piped.m_Raster.HasDisplayBitmap());

    // Schema 21 stores the raster part; the old fields are ignored.
    fields.rasterPath = image;
    CTheme current;
    Load(current, ThemeRecord(21, ST_ImageFile, SHT_Image, {}, fields));
    EXPECT_TRUE(current.m_Raster.m_ImagePath.empty());
    EXPECT_FALSE(current.m_Raster.HasDisplayBitmap());
    EXPECT_EQ(current.m_Raster.m_Transformation.GetB(), 0.0);
    EXPECT_EQ(current.m_Bounds[2], 18.0);
}

TEST(ThemeSerialize, PluginDataBlocksAreReplacedWhenRead) {
    FullTheme full;
    const Bytes stored = Store(full.native.theme);
    CTheme theme;
    theme.SetGpiDataBlock({"{OLD}", {1}});
    Load(theme, stored);
    ASSERT_EQ(theme.m_GpiData.size(), 2u);
    EXPECT_EQ(theme.m_GpiData[0].m_PluginName, "{PLUGIN-A}");

    // The host's own handling takes the place of the theme's when given.
    int calls = 0;
    CTheme::SerializeContext context;
    context.serializeGpiData = [&calls](CArchive& ar, CTheme&) {
        ++calls;
        if (ar.IsStoring()) {
            ar.WriteU32(1);
            ar.WriteU32(0);
        } else {
            ar.ReadU32();
            ar.ReadU32();
        }
    };
    CArchive out;
    full.native.theme.Serialize(out, context);
    CArchive in(out.GetStored().data(), out.GetStored().size());
    CTheme other;
    other.Serialize(in, context);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(other.m_GpiData.empty());
}

// ---- the label font ----

TEST(LogFont, KeepsAllSixtyBytesAsTheyCame) {
    unsigned char bytes[LogFont::kSize];
    for (std::size_t i = 0; i < LogFont::kSize; ++i)
        bytes[i] = static_cast<unsigned char>(0xF0 - i * 3);
    // A face name with bytes after its terminator.
    std::memcpy(bytes + 28, "Arial\0junk", 10);
    const LogFont font = LogFont::FromBytes(bytes);
    unsigned char again[LogFont::kSize];
    font.ToBytes(again);
    EXPECT_EQ(std::memcmp(bytes, again, LogFont::kSize), 0);
    EXPECT_EQ(font.lfHeight, static_cast<std::int32_t>(corvale::ReadLE32(bytes)));
    EXPECT_EQ(font.lfItalic, bytes[20]);
}

TEST(LogFont, ConvertsToAndFromQFont) {
    QFont font("DejaVu Sans Mono");
    font.setPixelSize(15);
    font.setWeight(QFont::Bold);
    font.setItalic(true);
    font.setUnderline(true);
    font.setStrikeOut(true);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
    const LogFont stored = LogFontFromQFont(font);
    EXPECT_EQ(stored.lfHeight, -15);
    EXPECT_EQ(stored.lfWeight, 700);
    EXPECT_STREQ(stored.lfFaceName, "DejaVu Sans Mono");
    EXPECT_EQ(stored.lfPitchAndFamily, 0x31);
    const QFont back = QFontFromLogFont(stored);
    EXPECT_EQ(back.family(), font.family());
    EXPECT_EQ(back.pixelSize(), 15);
    EXPECT_EQ(back.weight(), QFont::Bold);
    EXPECT_TRUE(back.italic());
    EXPECT_TRUE(back.underline());
    EXPECT_TRUE(back.strikeOut());
    EXPECT_TRUE(back.fixedPitch());
    EXPECT_EQ(back.styleHint(), QFont::Monospace);

    // A point size becomes pixels at 96 dots per inch.
    QFont points("Serif", 9);
    EXPECT_EQ(LogFontFromQFont(points).lfHeight, -12);
}

TEST(LogFont, ForeignValuesBecomeUsableFonts) {
    LogFont font;
    font.lfHeight = INT32_MIN;
    font.lfWeight = 5000;
    const char latin1[] = "Caf\xe9";
    std::memcpy(font.lfFaceName, latin1, sizeof latin1);
    const QFont q = QFontFromLogFont(font);
    EXPECT_EQ(q.pixelSize(), 4096);
    EXPECT_EQ(static_cast<int>(q.weight()), 1000);
    EXPECT_EQ(q.family(), QString::fromUtf8("Caf\u00e9"));

    // A face name that fills all 32 bytes, and a long one cut at a character.
    std::memset(font.lfFaceName, 'A', LogFont::kFaceSize);
    EXPECT_EQ(QFontFromLogFont(font).family().size(), 32);
    // "Ab" and fifteen two-byte letters: 32 bytes.
    QFont longName(QString::fromUtf8("Ab") + QString(15, QChar(0xE9)));
    const LogFont cut = LogFontFromQFont(longName);
    EXPECT_EQ(std::strlen(cut.lfFaceName), 30u);
    EXPECT_EQ(QFontFromLogFont(cut).family(), longName.family().left(16));
}

TEST(LogFont, ANewThemeWithoutGuiLabelsInASmallSansSerif) {
    const LogFont font = DefaultLabelFont();
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_STREQ(font.lfFaceName, "Sans Serif");
    EXPECT_EQ(CTheme().m_LabelFont, font);
}
