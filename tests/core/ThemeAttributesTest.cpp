#include "core/Theme.h"

#include "TempDir.h"
#include "core/query/QueryEngine.h"
#include "core/query/QueryText.h"
#include "shapes/FileWriter.h"
#include "shapes/RecordFixtures.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::string kData = CORVALE_TEST_DATA;

CAttributeFieldInfo Field(const char* name, std::int32_t type = FT_String) {
    CAttributeFieldInfo info;
    info.m_Name = name;
    info.m_Type = type;
    info.m_Length = 10;
    return info;
}

using Rows = std::vector<std::vector<std::string>>;

// A native point theme with one row per point; the records live in the
// fixture so that the theme can point at them.
struct NativePoints {
    std::vector<Bytes> records;
    CTheme theme;

    explicit NativePoints(const Rows& rows,
                          std::vector<const char*> columns = {"NAME", "CODE"}) {
        theme.m_SourceType = ST_Native;
        theme.m_ShapeType = SHT_Point;
        theme.m_Editable = true;
        for (const char* column : columns)
            theme.AddAttribute(Field(column), nullptr, nullptr);
        for (std::size_t i = 0; i < rows.size(); ++i)
            records.push_back(MakePoint(static_cast<double>(i), 0, static_cast<std::uint32_t>(i + 1)));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            CTheme::ShapeCallback(&theme, Rec(records[i]), 0);
            const int row = theme.AppendAttributeRow();
            for (std::size_t c = 0; c < rows[i].size(); ++c)
                theme.SetAttributeText(row, static_cast<int>(c), rows[i][c], false);
        }
        theme.ResetFilter();
        theme.m_Modified = false;
    }

    // Filters the shape at a visible position out, as a filter would.
    void Hide(int position) {
        theme.m_VisiblePoints.erase(theme.m_VisiblePoints.begin() + position);
        theme.ResetShapePositions();
    }
};

} // namespace

// The same questions asked of every kind of attribute source.
TEST(ThemeAttributes, EverySourceAnswersTheSameQuestions) {
    TempDir dir;
    std::filesystem::copy_file(kData + "/shapes/points.shp", dir.file("p.shp"));
    std::filesystem::copy_file(kData + "/shapes/points.shx", dir.file("p.shx"));
    std::filesystem::copy_file(kData + "/dbf/typed.dbf", dir.file("p.dbf"));
    CTheme shapeFile;
    ASSERT_TRUE(shapeFile.OpenShapeFile(dir.file("p.shp")));

    // A derived theme showing the last two shapes of the shape-file theme.
    CTheme child;
    child.m_SourceType = ST_ParentTheme;
    child.m_ShapeType = SHT_Point;
    child.m_ParentTheme = &shapeFile;
    child.m_Points = {shapeFile.m_Points[1], shapeFile.m_Points[2]};
    child.ResetFilter();

    NativePoints native(Rows{{"first", "a"}, {"second"}, {}});

    CTheme orphan;
    orphan.m_SourceType = ST_ParentTheme;
    CTheme loader; // no loader binding: a theme without columns
    loader.m_SourceType = ST_CustomLoader;
    CTheme unknown;

    struct Case {
        const char* name;
        CTheme* theme;
        unsigned count;
        std::string name3; // name of column 3, or of column 0 for two-column themes
        int field;
        int type;
        std::string atPosition0;
        std::string byIndex1;
    };
    const Case cases[] = {
        // typed.dbf per dbfdump: NOTE is column 3, "first " / "second" / "".
        {"shape file", &shapeFile, 4, "NOTE", 3, FT_String, "first", "second"},
        {"shape file, double column", &shapeFile, 4, "AMOUNT", 0, FT_Double, "7.50", "-12.25"},
        {"derived from a shape file", &child, 4, "NOTE", 3, FT_String, "second", "second"},
        {"native", &native.theme, 2, "NAME", 0, FT_String, "first", "second"},
        {"native, short row", &native.theme, 2, "CODE", 1, FT_String, "a", ""},
        {"derived without parent", &orphan, 0, "", 0, FT_String, "", ""},
        {"loader without binding", &loader, 0, "", 0, FT_String, "", ""},
        {"unknown source", &unknown, 0, "", 0, FT_String, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.theme->GetAttributeCount(), c.count);
        EXPECT_EQ(c.theme->GetAttributeName(c.field), c.name3);
        EXPECT_EQ(c.theme->GetAttributeType(c.field), c.type);
        EXPECT_FALSE(c.theme->IsKeyAttribute(c.field));
        EXPECT_EQ(c.theme->GetAttributeTextAt(0, c.field), c.atPosition0);
        EXPECT_EQ(c.theme->GetAttributeText(1, c.field), c.byIndex1);
        EXPECT_EQ(c.theme->GetAttributeText(-1, c.field), "");
        if (c.count > 0) {
            EXPECT_EQ(c.theme->FindAttribute(c.name3), c.field);
        }
    }
    EXPECT_EQ(shapeFile.FindAttribute("note"), -1) << "names are found case-sensitively";
    // A row the dBase table does not hold: the two operations spell the error differently.
    EXPECT_EQ(shapeFile.GetAttributeText(5, 0), "#ERROR#");
    EXPECT_EQ(shapeFile.GetAttributeInfo(0).m_Decimals, 2);
}

TEST(ThemeAttributes, OnlyNativeThemesTakeEdits) {
    CTheme shapeFile;
    ASSERT_TRUE(shapeFile.OpenShapeFile(kData + "/shapes/points.shp"));
    shapeFile.m_Modified = false;
    EXPECT_FALSE(shapeFile.SetAttributeText(0, 0, "x", false));
    EXPECT_FALSE(shapeFile.SetAttributeTextAt(0, 0, "x"));
    EXPECT_EQ(shapeFile.AddAttribute(Field("X"), nullptr, nullptr), -1);
    EXPECT_FALSE(shapeFile.DeleteAttribute(0));
    EXPECT_EQ(shapeFile.AppendAttributeRow(), -1);
    EXPECT_FALSE(shapeFile.m_Modified);

    NativePoints native(Rows{{"a", "1"}, {"b", "2"}});
    EXPECT_TRUE(native.theme.SetAttributeTextAt(1, 0, "B"));
    EXPECT_TRUE(native.theme.m_Modified);
    EXPECT_EQ(native.theme.GetAttributeText(1, 0), "B");
    EXPECT_FALSE(native.theme.SetAttributeText(2, 0, "x", false)) << "no row for that shape";
    EXPECT_FALSE(native.theme.SetAttributeTextAt(5, 0, "x"));
    EXPECT_FALSE(native.theme.SetAttributeText(0, -1, "x", false));

    native.theme.SetAttributeText(0, 0, "a much longer name", false);
    EXPECT_EQ(native.theme.GetAttributeInfo(0).m_Length, 19) << "the length follows the values";
    EXPECT_TRUE(native.theme.DeleteAttribute(0));
    EXPECT_EQ(native.theme.GetAttributeCount(), 1u);
    EXPECT_EQ(native.theme.GetAttributeText(1, 0), "2");
}

TEST(ThemeAttributes, CopyAttributesGivesOneShapeAnothersValues) {
    NativePoints native(Rows{{"a", "1"}, {}});
    EXPECT_TRUE(native.theme.CopyAttributes(native.theme.GetShape(1), native.theme.GetShape(0)));
    EXPECT_EQ(native.theme.GetAttributeText(1, 0), "a");
    EXPECT_EQ(native.theme.GetAttributeText(1, 1), "1");
    EXPECT_TRUE(native.theme.m_Modified);
}

TEST(ThemeAttributes, DuplicateKeysCountTheVisibleShapes) {
    NativePoints native(Rows{{"a", "b"}, {"ab", ""}, {" x ", "1"}, {"x", "1"}});
    std::map<std::string, int> counts;
    EXPECT_FALSE(native.theme.FindDuplicateKeys(false, nullptr, counts, {})) << "no columns";
    EXPECT_TRUE(counts.empty());

    // Trimming each value alone keeps ('a','b') and ('ab','') apart even with
    // a blank separator; (' x ','1') and ('x','1') meet.
    EXPECT_TRUE(native.theme.FindDuplicateKeys(true, " ", counts, {0, 1}));
    EXPECT_EQ(counts["a b"], 1);
    EXPECT_EQ(counts["ab "], 1);
    EXPECT_EQ(counts["x 1"], 2);

    counts.clear();
    EXPECT_FALSE(native.theme.FindDuplicateKeys(false, "\t\t", counts, {0, 1}));
    EXPECT_EQ(counts.size(), 4u);

    // Only visible shapes are counted: the table check lists what the user
    // sees. SetPrimaryKey still checks the hidden ones (below).
    NativePoints hidden(Rows{{"a"}, {"a"}, {"b"}});
    hidden.Hide(1);
    counts.clear();
    EXPECT_FALSE(hidden.theme.FindDuplicateKeys(false, "\t\t", counts, {0}));
    EXPECT_EQ(counts["a"], 1);
    EXPECT_EQ(counts["b"], 1);
}

TEST(ThemeAttributes, PrimaryKeyRefusalsCarryTheirMessages) {
    auto message = [](CTheme& theme, const std::vector<int>& columns) -> std::string {
        try {
            theme.SetPrimaryKey(columns);
        } catch (const CPrimaryKeyError& e) {
            return e.what();
        }
        return "";
    };
    NativePoints native(Rows{{"a", "1"}, {"a", "2"}});
    EXPECT_EQ(message(native.theme, {0}),
              "Integrity check failed.\n\nThe given columns contain duplicate items.\n\nCorvale failed to set the "
              "requested Primary Key.");
    NativePoints single(Rows{{"a"}});
    EXPECT_EQ(message(single.theme, {2}), "Internal error.\n\nCorvale failed to set the requested Primary Key.");
    EXPECT_FALSE(native.theme.m_Modified) << "a refused key changes nothing";

    EXPECT_EQ(message(native.theme, {1}), "");
    EXPECT_TRUE(native.theme.IsKeyAttribute(1));
    EXPECT_TRUE(native.theme.m_Modified);
    native.theme.m_Modified = false;
    EXPECT_EQ(message(native.theme, {1}), "");
    EXPECT_FALSE(native.theme.m_Modified) << "the key it already has";
    EXPECT_EQ(message(native.theme, {0, 1}), "");
    EXPECT_EQ(message(native.theme, {}), "");
    EXPECT_FALSE(native.theme.IsKeyAttribute(1)) << "an empty list clears the key";

    native.theme.m_Editable = false;
    EXPECT_EQ(message(native.theme, {1}), "Theme is read-only.\n\nCorvale failed to set the requested Primary Key.");

    NativePoints hidden(Rows{{"a"}, {"a"}}, {"NAME"});
    hidden.Hide(0);
    EXPECT_NE(message(hidden.theme, {0}), "") << "duplicates among filtered-out shapes are refused too";
}

// A row read once per shape (as the query engine reads) gives every cell what
// a single read of that cell gives, and its numbers are what reading that
// text gives, whatever the bytes of the cell: the common right-aligned forms
// are read straight from the bytes, everything else through the text.
TEST(ThemeAttributes, RowReadsAnswerAsSingleCellReads) {
    // Raw cells: an N(11) integer column, an N(20,3) double column and C(6).
    const std::vector<std::array<std::string, 3>> cells = {
        {"         42", "             750.125", "Sydney"},
        {"        -42", "                -0.5", "ab    "},
        {"        +42", "               007.5", std::string("a\0b   ", 6)},
        {"42         ", "12.5                ", "      "},
        {"     4 2   ", "               -0.5 ", "x"},
        {"***********", "********************", "y"},
        {"    -     4", "                 12.", "z"},
        {std::string("       12\0\0", 11), "                  .5", "w"},
        {std::string("\0        12", 11), "               1.2.3", "v"},
        {"12345678901", "                1e10", "u"},
        {"     1e5   ", "                 inf", "t"},
        {"   -0000001", "              -.0001", "s"},
        {"         --1", "    0.30000000000001", "r"},
        {"    \t    17", "999999999999999.9999", "q"},
        {"           ", "     12345678901.234", "p"},
        {"          0", "                  -0", "o"},
        {"         -0", std::string("\0              12.5", 20), "n"},
    };
    TempDir dir;
    const std::string stem = dir.file("cells");
    // One shape more than the table holds rows: its cells cannot be read.
    std::vector<Bytes> points;
    std::vector<const CShapeRecord*> records;
    for (std::size_t i = 0; i <= cells.size(); ++i)
        points.push_back(MakePoint(static_cast<double>(i), 0, static_cast<std::uint32_t>(i + 1)));
    for (const Bytes& p : points)
        records.push_back(Rec(p));
    CFileWriter shp, shx, dbf;
    ASSERT_TRUE(shp.Open((stem + ".shp").c_str()) && shx.Open((stem + ".shx").c_str()));
    ASSERT_TRUE(WriteShapeFile(shp, &shx, SHT_Point, records.size(), records.data()) && shp.Close() && shx.Close());
    std::vector<CAttributeFieldInfo> fields = {Field("I", FT_Int), Field("D", FT_Double), Field("S")};
    fields[0].m_Length = 11;
    fields[1].m_Length = 20;
    fields[1].m_Decimals = 3;
    fields[2].m_Length = 6;
    ASSERT_TRUE(dbf.Open((stem + ".dbf").c_str()) &&
                CdBaseFile::WriteHeader(fields, &dbf, static_cast<std::uint32_t>(records.size())));
    for (const auto& row : cells) {
        std::string bytes = " ";
        for (std::size_t k = 0; k < row.size(); ++k)
            bytes += row[k].substr(0, static_cast<std::size_t>(fields[k].m_Length)) +
                     std::string(static_cast<std::size_t>(fields[k].m_Length) - std::min<std::size_t>(row[k].size(), fields[k].m_Length), ' ');
        ASSERT_EQ(dbf.Write(bytes.data(), bytes.size()), bytes.size());
    }
    ASSERT_TRUE(dbf.Close());

    CTheme shapeFile;
    ASSERT_TRUE(shapeFile.OpenShapeFile(stem + ".shp"));
    ASSERT_EQ(shapeFile.GetAttributeType(0), FT_Int);
    ASSERT_EQ(shapeFile.GetAttributeType(1), FT_Double);
    CTheme child;
    child.m_SourceType = ST_ParentTheme;
    child.m_ShapeType = SHT_Point;
    child.m_ParentTheme = &shapeFile;
    child.m_Points = {shapeFile.m_Points.rbegin(), shapeFile.m_Points.rend()};
    child.ResetFilter();
    Rows nativeRows;
    for (const auto& row : cells)
        nativeRows.push_back({row[0], row[1]});
    NativePoints native(nativeRows);

    const auto sameNumber = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    for (CTheme* theme : {&shapeFile, &child, &native.theme}) {
        const int count = theme->GetShapeCount();
        for (int position = -1; position <= count; ++position) {
            CTheme::CAttributeRow row = theme->GetAttributeRowAt(position);
            for (int field = -1; field <= 3; ++field) {
                SCOPED_TRACE(testing::Message() << "position " << position << ", field " << field);
                const std::string text(theme->GetAttributeViewAt(position, field));
                EXPECT_EQ(row.Text(field), text);
                EXPECT_EQ(row.Integer(field), CorvaleSQL::detail::ReadLeadingInt64(text));
                EXPECT_TRUE(sameNumber(row.Number(field), CorvaleSQL::detail::ReadLeadingDouble(text)));
            }
        }
    }
    // The shape without a row reads as an error, as a single read gives it.
    EXPECT_EQ(shapeFile.GetAttributeRowAt(static_cast<int>(cells.size())).Text(0), "#Error#");

    // Queries read these cells as numbers; joined to a function call they
    // read the text instead. Both answer alike, shape after shape.
    for (const char* condition : {"I > 10", "D < 1", "I * 2 + 1 > 0 AND D >= 0", "I = D", "D * 2 = 1.0", "S LIKE 'a*'"}) {
        CorvaleSQL::CQueryEngine numbers;
        CorvaleSQL::CQueryEngine texts;
        std::string error;
        ASSERT_TRUE(numbers.Prepare(&shapeFile, condition, error));
        ASSERT_TRUE(texts.Prepare(&shapeFile, std::string("(") + condition + ") AND strlen('x') = 1", error));
        for (int position = 0; position < shapeFile.GetShapeCount(); ++position) {
            std::string answers[2];
            CorvaleSQL::CQueryEngine* engines[2] = {&numbers, &texts};
            for (int k = 0; k < 2; ++k) {
                bool result = false;
                answers[k] = engines[k]->Evaluate(&shapeFile, result, position, error) ? (result ? "TRUE" : "FALSE")
                                                                                        : error;
            }
            EXPECT_EQ(answers[0], answers[1]) << condition << " at " << position;
        }
    }
}
