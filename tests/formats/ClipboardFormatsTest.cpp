// The program's clipboard formats on the offscreen platform's clipboard: the
// theme's copies, paste into native themes, the queries, and blocks that are
// damaged the way data from another process can be.

#include "formats/ClipboardFormats.h"

#include "OffscreenApplication.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "platform/ByteOrder.h"
#include "settings/AppSettings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

::testing::Environment* const g_App =
    ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QGuiApplication>);

std::unique_ptr<CTheme> NativeTheme(std::uint32_t type) {
    auto theme = std::make_unique<CTheme>();
    theme->m_ShapeType = type;
    EXPECT_TRUE(theme->ConvertToNative(true, true));
    return theme;
}

int AddColumn(CTheme& theme, const std::string& name, std::int32_t type, std::int32_t length,
              std::int32_t decimals = 0) {
    CAttributeFieldInfo info;
    info.m_Name = name;
    info.m_Type = type;
    info.m_Length = length;
    info.m_Decimals = decimals;
    return theme.AddAttribute(info, nullptr, nullptr);
}

// A record of a multi type through the points, one part; z per point for Z types.
CShapeRecordPtr MakeLine(std::uint32_t type, const std::vector<CShapePoint>& points,
                         const std::vector<double>& z = {}) {
    CShapePiece piece;
    piece.StartPart();
    for (std::size_t i = 0; i < points.size(); ++i)
        piece.Add(points[i], !z.empty(), z.empty() ? 0.0 : z[i], 0.0);
    return CShapeRecordPtr(BuildShapeRecord(type, 1, piece));
}

CShapeRecord* AddRecord(CTheme& theme, const CShapeRecord* record) {
    return theme.AddShape(const_cast<CShapeRecord*>(record), true, true, false);
}

void SelectAll(CTheme& theme) {
    for (int position = 0; position < theme.GetShapeCount(); ++position)
        theme.AddToSelection(theme.GetShapeIndex(position), position, 1, 0);
}

// Puts a QMimeData on the clipboard: the block (when given) and the text
// (when given).
void PutOnClipboard(const std::string* block, const char* text, const char* mime = kShapeClipboardMime) {
    auto* data = new QMimeData;
    if (block != nullptr)
        data->setData(QString::fromLatin1(mime), QByteArray(block->data(), static_cast<qsizetype>(block->size())));
    if (text != nullptr)
        data->setText(QString::fromUtf8(text));
    QGuiApplication::clipboard()->setMimeData(data);
}

// Copies the theme's selection onto the clipboard as the Copy command does.
bool CopyToClipboard(CTheme& theme) {
    auto* data = new QMimeData;
    if (!CopySelection(theme, *data)) {
        delete data;
        return false;
    }
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

QByteArray ClipboardBlock() {
    return QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(kShapeClipboardMime));
}

std::string ClipboardText() { return QGuiApplication::clipboard()->text().toStdString(); }

// Three points with NAME (string 20) and POP (integer 9).
std::unique_ptr<CTheme> Towns() {
    auto theme = NativeTheme(SHT_Point);
    AddColumn(*theme, "NAME", FT_String, 20);
    AddColumn(*theme, "POP", FT_Int, 9);
    const struct {
        double x, y;
        const char* name;
        const char* pop;
    } towns[] = {{1.5, 2.5, "Alba", "1200"}, {-3, 4, "Brora", "77"}, {10, 20, "O'Dell", ""}};
    for (const auto& town : towns) {
        CShapeRecord* added = theme->AddPointAt(false, false, town.x, town.y);
        const int index = GetShapeRecordIndex(added);
        theme->SetAttributeText(index, 0, town.name, false);
        theme->SetAttributeText(index, 1, town.pop, false);
    }
    theme->BuildSpatialIndex();
    return theme;
}

std::vector<CShapePoint> PointsOf(const CShapeRecord* record) {
    std::vector<CShapePoint> points;
    for (std::uint32_t i = 0; i < CShapeRecord::GetPointCount(record); ++i)
        points.push_back(CShapeRecord::GetPoint(record, i));
    return points;
}

} // namespace

TEST(ClipboardFormats, CopyOfThreePointsGivesTheBlockAndOneLineEach) {
    auto towns = Towns();
    SelectAll(*towns);
    ASSERT_TRUE(CopyToClipboard(*towns));
    const QByteArray block = ClipboardBlock();
    // 12 + 24 per column + per point its 28 bytes and its values with NULs:
    // "Alba" "1200", "Brora" "77", "O'Dell" "".
    EXPECT_EQ(block.size(), 12 + 48 + (28 + 5 + 5) + (28 + 6 + 3) + (28 + 7 + 1));
    EXPECT_EQ(corvale::ReadLE32(block.constData()), SHT_Point);
    EXPECT_EQ(corvale::ReadLE32(block.constData() + 4), 2u);
    EXPECT_EQ(corvale::ReadLE32(block.constData() + 8), 3u);
    EXPECT_EQ(std::string(block.constData() + 12), "NAME");
    EXPECT_EQ(corvale::ReadLE32(block.constData() + 12 + 24 + 20), static_cast<std::uint32_t>(FT_Int));
    EXPECT_EQ(ClipboardText(), "NAME='Alba' POP='1200'\r\nNAME='Brora' POP='77'\r\nNAME='O&apos;Dell' POP=''\r\n");
    EXPECT_EQ(GetClipboardShapeCount(), 3u);
    EXPECT_FALSE(ClipboardHasPolygonShapes());
    EXPECT_FALSE(ClipboardHasPolylineShapes());
}

TEST(ClipboardFormats, HiddenColumnsStayInTheBlockButNotInTheText) {
    auto towns = Towns();
    towns->m_AttributeColumns = {CTheme::CAttributeColumn{false}};
    towns->AddToSelection(1, 1, 1, 0);
    ASSERT_TRUE(CopyToClipboard(*towns));
    EXPECT_EQ(ClipboardText(), "POP='77'\r\n");
    EXPECT_EQ(corvale::ReadLE32(ClipboardBlock().constData() + 4), 2u);
}

TEST(ClipboardFormats, CopyWithoutASelectionPlacesNothing) {
    auto towns = Towns();
    QMimeData data;
    EXPECT_FALSE(CopySelection(*towns, data));
    EXPECT_TRUE(data.formats().isEmpty());
    // A selected shape that is filtered out is not copied either.
    towns->AddToSelection(0, 0, 1, 0);
    ASSERT_TRUE(towns->FilterSelected());
    towns->AddToSelection(0, -1, 1, 0);
    EXPECT_FALSE(CopySelection(*towns, data));
}

TEST(ClipboardFormats, CopyThenPasteIntoAnEmptyThemeRecreatesColumnsAndValues) {
    auto source = NativeTheme(SHT_Polygon);
    AddColumn(*source, "POPULATION2020", FT_Int, 12);
    AddColumn(*source, "RATIO", FT_Double, 10, 3);
    CShapeRecordPtr square = MakeLine(SHT_Polygon, {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}});
    CShapeRecordPtr other = MakeLine(SHT_Polygon, {{5, 5}, {5, 7}, {6, 7}, {5, 5}});
    for (const CShapeRecordPtr& record : {std::cref(square), std::cref(other)})
        AddRecord(*source, record.get());
    source->SetAttributeText(0, 0, "123456789", false);
    source->SetAttributeText(0, 1, "0.125", false);
    source->SetAttributeText(1, 0, "-4", false);
    SelectAll(*source);
    ASSERT_TRUE(CopyToClipboard(*source));

    auto target = NativeTheme(SHT_Polygon);
    ASSERT_TRUE(CanPaste(*target));
    corvale::CScriptedUserInterface ui;
    Paste(*target);
    EXPECT_TRUE(ui.shown.empty());
    ASSERT_EQ(target->GetAttributeCount(), 2u);
    // The name was cut to 11 characters in the block.
    EXPECT_EQ(target->GetAttributeName(0), "POPULATION2");
    EXPECT_EQ(target->GetAttributeName(1), "RATIO");
    const CAttributeFieldInfo ratio = target->GetAttributeInfo(1);
    EXPECT_EQ(ratio.m_Type, FT_Double);
    EXPECT_EQ(ratio.m_Decimals, 3);
    ASSERT_EQ(target->GetShapeCount(), 2);
    EXPECT_EQ(PointsOf(target->GetShape(0)), PointsOf(square.get()));
    EXPECT_EQ(PointsOf(target->GetShape(1)), PointsOf(other.get()));
    EXPECT_EQ(GetShapeRecordIndex(target->GetShape(1)), 1);
    EXPECT_EQ(target->GetAttributeText(0, 0), "123456789");
    EXPECT_EQ(target->GetAttributeText(0, 1), "0.125");
    EXPECT_EQ(target->GetAttributeText(1, 0), "-4");
    EXPECT_EQ(target->GetAttributeText(1, 1), "");
    EXPECT_TRUE(target->m_Modified);
    EXPECT_TRUE(target->m_BoundsValid);
    EXPECT_EQ(target->m_Bounds[2], 6.0);

    // A second paste appends after the last shape and fills the columns.
    Paste(*target);
    ASSERT_EQ(target->GetShapeCount(), 4);
    EXPECT_EQ(GetShapeRecordIndex(target->GetShape(3)), 3);
    EXPECT_EQ(target->GetAttributeText(2, 0), "123456789");
    EXPECT_EQ(target->GetAttributeCount(), 2u);
}

TEST(ClipboardFormats, PasteFillsTheThemesColumnsByPositionAndNoFurther) {
    struct Case {
        const char* what;
        int themeColumns;
        std::vector<std::string> expected; // the pasted shape's values
    };
    const Case cases[] = {
        {"fewer columns than the block", 1, {"a"}},
        {"as many columns", 3, {"a", "b", "c"}},
        {"more columns", 4, {"a", "b", "c", ""}},
    };
    auto source = NativeTheme(SHT_Point);
    for (const char* name : {"A", "B", "C"})
        AddColumn(*source, name, FT_String, 5);
    source->AddPointAt(true, true, 1, 1);
    source->SetAttributeText(0, 0, "a", false);
    source->SetAttributeText(0, 1, "b", false);
    source->SetAttributeText(0, 2, "c", false);
    SelectAll(*source);
    ASSERT_TRUE(CopyToClipboard(*source));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto target = NativeTheme(SHT_PointZ);
        for (int k = 0; k < c.themeColumns; ++k)
            AddColumn(*target, "T" + std::to_string(k), FT_String, 5);
        Paste(*target);
        ASSERT_EQ(target->GetShapeCount(), 1);
        EXPECT_EQ(target->GetAttributeCount(), static_cast<unsigned>(c.themeColumns));
        std::vector<std::string> values;
        for (int k = 0; k < c.themeColumns; ++k)
            values.push_back(target->GetAttributeText(0, k));
        EXPECT_EQ(values, c.expected);
        // A point pasted into a PointZ theme gains its Z.
        EXPECT_EQ(CShapeRecord::GetShapeType(target->GetShape(0)), SHT_PointZ);
    }
}

TEST(ClipboardFormats, PolylineZBlockPastedIntoAPolylineThemeDropsZ) {
    CShapeRecordPtr line = MakeLine(SHT_PolylineZ, {{0, 0}, {2, 1}, {4, 0}}, {7, 8, 9});
    std::string block;
    ASSERT_TRUE(AppendShapeClipboardBlock(block, SHT_PolylineZ, {}, {line.get()}, {}));
    EXPECT_EQ(block.size(), 12u + 52 + 4 + 3 * 16 + 16 * (3 + 2));
    PutOnClipboard(&block, "");
    EXPECT_TRUE(ClipboardHasPolylineShapes());
    auto target = NativeTheme(SHT_Polyline);
    ASSERT_TRUE(CanPaste(*target));
    Paste(*target);
    ASSERT_EQ(target->GetShapeCount(), 1);
    const CShapeRecord* pasted = target->GetShape(0);
    EXPECT_EQ(CShapeRecord::GetShapeType(pasted), SHT_Polyline);
    EXPECT_EQ(CShapeRecord::GetSize(pasted), 52u + 4 + 3 * 16);
    EXPECT_EQ(PointsOf(pasted), PointsOf(line.get()));
}

TEST(ClipboardFormats, ZRecordsWithoutMGoIntoTheBlockWithM) {
    // A PolylineZ record that ends after its Z values, as GDAL writes them.
    CShapeRecordPtr line = MakeLine(SHT_PolylineZ, {{0, 0}, {1, 1}}, {3, 4});
    const std::size_t full = CShapeRecord::GetSize(line.get());
    const std::size_t withoutM = full - 16 - 2 * 8;
    corvale::WriteBE32(CShapeRecord::Bytes(line.get()) + 4, static_cast<std::uint32_t>((withoutM - 8) / 2));
    ASSERT_EQ(CShapeRecord::GetSize(line.get()), withoutM);
    std::string block;
    ASSERT_TRUE(AppendShapeClipboardBlock(block, SHT_PolylineZ, {}, {line.get()}, {}));
    ASSERT_EQ(block.size(), 12 + full);
    ShapeClipboardBlock read;
    ASSERT_TRUE(ReadShapeClipboardBlock(reinterpret_cast<const unsigned char*>(block.data()), block.size(), read,
                                        true));
    ASSERT_EQ(read.m_Records.size(), 1u);
    EXPECT_EQ(CShapeRecord::GetSize(read.m_Records[0].get()), full);
    EXPECT_EQ(CShapeRecord::GetZ(read.m_Records[0].get(), 1), 4.0);
    EXPECT_EQ(CShapeRecord::GetM(read.m_Records[0].get(), 1), 0.0);
}

TEST(ClipboardFormats, CanPasteTable) {
    const std::string points = [] {
        std::string block;
        auto theme = NativeTheme(SHT_Point);
        theme->AddPointAt(true, true, 1, 2);
        const CShapeRecord* record = theme->GetShape(0);
        AppendShapeClipboardBlock(block, SHT_Point, {}, {record}, {});
        return block;
    }();
    struct Case {
        const char* what;
        std::uint32_t themeType;
        bool editable;
        bool withBlock;
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"point block into a point theme", SHT_Point, true, true, "", true},
        {"point block into a PointZ theme", SHT_PointZ, true, true, "", true},
        {"a read-only theme", SHT_Point, false, true, "", false},
        {"a block without text", SHT_Point, true, true, nullptr, false},
        {"point block into a polygon theme falls back to WKT", SHT_Polygon, true, true,
         "POLYGON((0 0,0 1,1 1,0 0))", true},
        {"point block into a polygon theme, no WKT", SHT_Polygon, true, true, "NAME='x'", false},
        {"WKT text alone", SHT_Polyline, true, false, "  LINESTRING(0 0,1 1)", true},
        {"other text alone", SHT_Polyline, true, false, "hello", false},
        {"nothing", SHT_Polyline, true, false, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto theme = NativeTheme(c.themeType);
        theme->m_Editable = c.editable;
        PutOnClipboard(c.withBlock ? &points : nullptr, c.text);
        EXPECT_EQ(CanPaste(*theme), c.expected);
    }
}

TEST(ClipboardFormats, WktPaste) {
    struct Case {
        const char* what;
        std::uint32_t themeType;
        const char* text;
        int added;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"two points", SHT_Point, "POINT(1 2)\r\nPOINT (3 4)\r\n", 2, {}},
        {"a point into a polygon theme", SHT_Polygon, "POINT(1 2)", 0, {}},
        {"nothing readable", SHT_Point, "POINT(1 x)", 0, {kPasteUnparsedMessage}},
        {"read in part", SHT_Point, "POINT(1 2) POINT(3 4) POINT(5", 2,
         {"Corvale was unable to parse all pasted data.\n\n2 objects were successfully extracted and added to "
          "current theme."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto theme = NativeTheme(c.themeType);
        PutOnClipboard(nullptr, c.text);
        corvale::CScriptedUserInterface ui;
        Paste(*theme);
        EXPECT_EQ(theme->GetShapeCount(), c.added);
        EXPECT_EQ(ui.Messages(), c.messages);
        for (const auto& shown : ui.shown)
            EXPECT_EQ(shown.icon, corvale::MessageIcon::Warning);
    }
}

TEST(ClipboardFormats, PastedDuplicatesOfThePrimaryKeyAreReported) {
    auto towns = Towns();
    towns->SetPrimaryKey({0});
    towns->AddToSelection(1, 1, 1, 0);
    ASSERT_TRUE(CopyToClipboard(*towns));
    corvale::CScriptedUserInterface ui;
    Paste(*towns);
    EXPECT_EQ(towns->GetShapeCount(), 4);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{kPasteKeyViolationMessage});
}

namespace {

// A sound block of two polylines with columns A and B, for damaging.
std::string TwoLineBlock() {
    CShapeRecordPtr a = MakeLine(SHT_Polyline, {{0, 0}, {1, 1}});
    CShapeRecordPtr b = MakeLine(SHT_Polyline, {{2, 2}, {3, 3}, {4, 2}});
    CAttributeFieldInfo columnA;
    columnA.m_Name = "A";
    CAttributeFieldInfo columnB = columnA;
    columnB.m_Name = "B";
    std::string block;
    AppendShapeClipboardBlock(block, SHT_Polyline, {columnA, columnB}, {a.get(), b.get()},
                              {{"x", "y"}, {"zz", ""}});
    return block;
}

// Offsets in TwoLineBlock.
constexpr std::size_t kFirstRecord = 12 + 2 * 24;
constexpr std::size_t kFirstValues = kFirstRecord + 52 + 4 + 2 * 16;
constexpr std::size_t kSecondRecord = kFirstValues + 4;

} // namespace

TEST(ClipboardFormats, DamagedBlocksAreRefusedWhole) {
    const std::string sound = TwoLineBlock();
    {
        ShapeClipboardBlock block;
        ASSERT_TRUE(ReadShapeClipboardBlock(reinterpret_cast<const unsigned char*>(sound.data()), sound.size(),
                                            block, true));
        ASSERT_EQ(block.m_Records.size(), 2u);
        EXPECT_EQ(block.m_Values[1], (std::vector<std::string>{"zz", ""}));
        EXPECT_EQ(PointsOf(block.m_Records[1].get()), (std::vector<CShapePoint>{{2, 2}, {3, 3}, {4, 2}}));
    }
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
    };
    const Case cases[] = {
        {"a record count beyond the bytes", [](std::string& b) { corvale::WriteLE32(&b[8], 3); }},
        {"a huge record count", [](std::string& b) { corvale::WriteLE32(&b[8], 0xFFFFFFFF); }},
        {"a huge column count", [](std::string& b) { corvale::WriteLE32(&b[4], 0x20000000); }},
        {"cut inside the header", [](std::string& b) { b.resize(10); }},
        {"cut inside the columns", [](std::string& b) { b.resize(40); }},
        {"cut inside a record", [](std::string& b) { b.resize(kSecondRecord + 30); }},
        {"the last value without its NUL", [](std::string& b) { b.resize(b.size() - 1); }},
        {"a point count beyond the bytes",
         [](std::string& b) { corvale::WriteLE32(&b[kSecondRecord + 48], 4000000000u); }},
        {"a part count beyond the bytes", [](std::string& b) { corvale::WriteLE32(&b[kFirstRecord + 44], 9); }},
        {"a part start beyond the points", [](std::string& b) { corvale::WriteLE32(&b[kFirstRecord + 52], 7); }},
        {"a record of another family", [](std::string& b) { corvale::WriteLE32(&b[kSecondRecord + 8], SHT_Polygon); }},
        {"a record type a block may not hold", [](std::string& b) { corvale::WriteLE32(&b[kFirstRecord + 8], 8); }},
        {"an unknown field type", [](std::string& b) { corvale::WriteLE32(&b[12 + 20], 9); }},
        {"a negative length", [](std::string& b) { corvale::WriteLE32(&b[12 + 12], 0xFFFFFFFF); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string damaged = sound;
        c.damage(damaged);
        ShapeClipboardBlock block;
        EXPECT_FALSE(ReadShapeClipboardBlock(reinterpret_cast<const unsigned char*>(damaged.data()), damaged.size(),
                                             block, true));
        EXPECT_TRUE(block.m_Records.empty());

        PutOnClipboard(&damaged, "");
        CShapeRecordVector records;
        ReadClipboardShapes(records);
        EXPECT_TRUE(records.empty());
        DeleteShapeRecords(records);

        // An empty theme, and one with a shape and a column: neither changes.
        auto empty = NativeTheme(SHT_Polyline);
        auto used = NativeTheme(SHT_Polyline);
        AddColumn(*used, "K", FT_String, 4);
        CShapeRecordPtr line = MakeLine(SHT_Polyline, {{9, 9}, {8, 8}});
        AddRecord(*used, line.get());
        for (CTheme* theme : {empty.get(), used.get()}) {
            const int shapes = theme->GetShapeCount();
            const unsigned columns = theme->GetAttributeCount();
            theme->m_Modified = false;
            if (!CanPaste(*theme))
                continue; // a damaged type word: not offered at all
            corvale::CScriptedUserInterface ui;
            Paste(*theme);
            EXPECT_EQ(theme->GetShapeCount(), shapes);
            EXPECT_EQ(theme->GetAttributeCount(), columns);
            EXPECT_FALSE(theme->m_Modified);
            EXPECT_EQ(ui.Messages(), std::vector<std::string>{kClipboardDamagedMessage});
        }
    }
}

TEST(ClipboardFormats, MismatchedOrEmptyBlocksChangeNothingAndSayNothing) {
    std::string empty;
    ASSERT_TRUE(AppendShapeClipboardBlock(empty, SHT_Polygon, {}, {}, {}));
    const std::string lines = TwoLineBlock();
    for (const std::string* block : {static_cast<const std::string*>(&empty), &lines}) {
        // With WKT text beside it, the block still decides.
        PutOnClipboard(block, "POLYGON((0 0,0 1,1 1,0 0))");
        auto theme = NativeTheme(SHT_Polygon);
        ASSERT_TRUE(CanPaste(*theme));
        corvale::CScriptedUserInterface ui;
        Paste(*theme);
        EXPECT_EQ(theme->GetShapeCount(), 0);
        EXPECT_TRUE(ui.shown.empty());
    }
}

TEST(ClipboardFormats, ClipboardQueries) {
    const std::string lines = TwoLineBlock();
    PutOnClipboard(&lines, "");
    EXPECT_TRUE(ClipboardHasPolylineShapes());
    EXPECT_FALSE(ClipboardHasPolygonShapes());
    EXPECT_EQ(GetClipboardShapeCount(), 2u);
    EXPECT_FALSE(ClipboardHasCoordinates());
    EXPECT_FALSE(ClipboardHasWktText());
    CShapeRecordVector records;
    ReadClipboardShapes(records);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(PointsOf(records[0]), (std::vector<CShapePoint>{{0, 0}, {1, 1}}));
    DeleteShapeRecords(records);

    PutOnClipboard(nullptr, "\t MultiPolygon (((0 0,0 1,1 1,0 0)))");
    EXPECT_TRUE(ClipboardHasWktText());
    EXPECT_EQ(GetClipboardShapeCount(), 0u);
    EXPECT_EQ(ReadClipboardCoordinates(), nullptr);
}

TEST(ClipboardFormats, CoordinateBlocks) {
    struct Case {
        const char* what;
        std::string block;
        bool sound;
        std::vector<CShapePoint> points;
    };
    std::string threeValues(8 + 2 * 24, '\0');
    corvale::WriteLE32(&threeValues[0], 2);
    corvale::WriteLE32(&threeValues[4], 3);
    for (int i = 0; i < 6; ++i)
        corvale::WriteLEDouble(&threeValues[8 + 8 * i], i + 0.5);
    std::string oneValue = MakeCoordinateClipboardBlock({{1, 2}});
    corvale::WriteLE32(&oneValue[4], 1);
    std::string tooMany = MakeCoordinateClipboardBlock({{1, 2}});
    corvale::WriteLE32(&tooMany[0], 0x80000000u);
    const Case cases[] = {
        {"no points", MakeCoordinateClipboardBlock({}), true, {}},
        {"two points", MakeCoordinateClipboardBlock({{1, 2}, {-3.25, 4}}), true, {{1, 2}, {-3.25, 4}}},
        {"three values per point", threeValues, true, {{0.5, 1.5}, {3.5, 4.5}}},
        {"one value per point", oneValue, false, {}},
        {"a count beyond the bytes", tooMany, false, {}},
        {"shorter than the header", std::string(7, '\0'), false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<CShapePoint> points;
        EXPECT_EQ(ReadCoordinateClipboardBlock(reinterpret_cast<const unsigned char*>(c.block.data()),
                                               c.block.size(), points),
                  c.sound);
        EXPECT_EQ(points, c.points);
        PutOnClipboard(&c.block, "1;2", kCoordinateClipboardMime);
        EXPECT_TRUE(ClipboardHasCoordinates());
        EXPECT_EQ(ReadClipboardCoordinatePoints(), c.points);
        CShapeRecordPtr record(ReadClipboardCoordinates());
        if (!c.sound) {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(CShapeRecord::GetShapeType(record.get()), SHT_Polyline);
        EXPECT_EQ(CShapeRecord::GetPartCount(record.get()), 1u);
        EXPECT_EQ(PointsOf(record.get()), c.points);
    }
}

TEST(ClipboardFormats, ImageThemesCopyTheirSelectionOutline) {
    CTheme image;
    image.m_ShapeType = SHT_Image;
    QMimeData without;
    EXPECT_FALSE(CopySelection(image, without));
    EXPECT_TRUE(without.formats().isEmpty());
    std::vector<CShapePoint> outline = {{0, 0}, {0, 2}, {3, 2}, {3, 0}, {0, 0}};
    image.SetSelectionArea(&outline);
    ASSERT_TRUE(CopyToClipboard(image));
    EXPECT_EQ(ClipboardText(), "");
    EXPECT_TRUE(ClipboardHasPolygonShapes());
    CShapeRecordVector records;
    ReadClipboardShapes(records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(PointsOf(records[0]), outline);
    DeleteShapeRecords(records);
}

TEST(ClipboardFormats, CopyAsWktAndGeoJson) {
    CAppSettings* settings = CAppSettings::GetInstance();
    const int precision = settings->m_DataViewPrecision;
    settings->m_DataViewPrecision = 1;
    auto towns = Towns();
    towns->AddToSelection(2, 2, 1, 0);
    towns->AddToSelection(0, 0, 1, 0);
    QMimeData wkt;
    ASSERT_TRUE(CopySelectionAsWkt(*towns, wkt));
    EXPECT_EQ(wkt.text().toStdString(), "POINT(1.5 2.5)\r\nPOINT(10.0 20.0)\r\n");
    EXPECT_FALSE(wkt.hasFormat(QString::fromLatin1(kShapeClipboardMime)));
    QMimeData json;
    ASSERT_TRUE(CopySelectionAsGeoJson(*towns, json));
    EXPECT_NE(json.text().toStdString().find("\"coordinates\": [1.5, 2.5]"), std::string::npos)
        << json.text().toStdString();
    settings->m_DataViewPrecision = precision;
}
