#include "core/NativeAttributeTable.h"

#include "platform/Archive.h"

#include <gtest/gtest.h>

namespace {

CAttributeFieldInfo Field(const char* name, std::int32_t type = FT_String, std::int32_t length = 10) {
    CAttributeFieldInfo info;
    info.m_Name = name;
    info.m_Type = type;
    info.m_Length = length;
    return info;
}

std::vector<std::string> Column(const CNativeAttributeTable& table, int field) {
    std::vector<std::string> values;
    for (int row = 0; row < table.GetRowCount(); ++row)
        values.push_back(table.GetValue(field, row));
    return values;
}

// Rows A, B, C with their names in column 0.
CNativeAttributeTable Abc() {
    CNativeAttributeTable table;
    table.AddField(Field("NAME"), nullptr, nullptr);
    for (const char* name : {"A", "B", "C"})
        table.GetRow(table.AppendRow())->SetValue(0, name);
    return table;
}

} // namespace

TEST(NativeAttributeTable, MissingRowsCellsAndTextsReadEmpty) {
    CNativeAttributeTable table;
    table.AddField(Field("A"), nullptr, nullptr);
    const int row = table.AppendRow();
    table.AddField(Field("B"), "", nullptr);
    EXPECT_EQ(table.GetValue(1, row), "") << "a row made before the column";
    EXPECT_EQ(table.GetValue(5, row), "") << "beyond the row's cells";
    EXPECT_EQ(table.GetValue(0, 7), "") << "no such row";
    EXPECT_EQ(table.GetValue(0, -1), "");
    EXPECT_EQ(table.GetRow(row)->GetCellCount(), 0u) << "an empty default gives the old rows no cell";

    table.AddField(Field("C"), "x", "about C");
    EXPECT_EQ(table.GetValue(2, row), "x") << "a non-empty default reaches every row";
    const int second = table.AppendRow();
    EXPECT_EQ(table.GetValue(2, second), "x");
    EXPECT_EQ(table.GetRow(second)->GetCellCount(), 3u);
}

TEST(NativeAttributeTable, RowsMoveAndGo) {
    struct Case {
        int from, to;
        std::vector<std::string> expected;
        bool ok;
    };
    const Case cases[] = {
        {2, 0, {"C", "A", "B"}, true}, {0, 3, {"B", "C", "A"}, true}, {1, 1, {"A", "B", "C"}, true},
        {0, 2, {"B", "A", "C"}, true}, {3, 0, {"A", "B", "C"}, false}, {0, 4, {"A", "B", "C"}, false},
        {-1, 0, {"A", "B", "C"}, false},
    };
    for (const Case& c : cases) {
        CNativeAttributeTable table = Abc();
        EXPECT_EQ(table.MoveRow(c.from, c.to), c.ok) << c.from << "->" << c.to;
        EXPECT_EQ(Column(table, 0), c.expected) << c.from << "->" << c.to;
    }

    CNativeAttributeTable table = Abc();
    EXPECT_FALSE(table.DeleteRow(3));
    EXPECT_FALSE(table.DeleteRow(-1));
    EXPECT_TRUE(table.DeleteRow(0));
    EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"B", "C"}));
    table.ClearRow(0);
    EXPECT_EQ(table.GetValue(0, 0), "");
    table.CompactRows();
    EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"C"}));
    table.RemoveAllRows();
    EXPECT_EQ(table.GetRowCount(), 0);
}

TEST(NativeAttributeTable, ReorderRowsTakesOnlyAWholeOrder) {
    struct Case {
        std::vector<int> order;
        std::vector<std::string> expected;
        bool ok;
    };
    const Case cases[] = {
        {{2, 0, 1}, {"C", "A", "B"}, true},  {{0, 1, 2}, {"A", "B", "C"}, true},
        {{0, 1}, {"A", "B", "C"}, false},    {{0, 1, 2, 0}, {"A", "B", "C"}, false},
        {{0, 0, 1}, {"A", "B", "C"}, false}, {{0, 1, 3}, {"A", "B", "C"}, false},
        {{-1, 1, 2}, {"A", "B", "C"}, false},
    };
    for (const Case& c : cases) {
        CNativeAttributeTable table = Abc();
        EXPECT_EQ(table.ReorderRows(c.order), c.ok);
        EXPECT_EQ(Column(table, 0), c.expected);
    }
}

TEST(NativeAttributeTable, ColumnsChange) {
    CNativeAttributeTable table = Abc();
    table.AddField(Field("X"), "xx", "about X");
    EXPECT_FALSE(table.SetField(Field("Y"), 2, nullptr, nullptr));
    EXPECT_TRUE(table.SetField(Field("Y", FT_Int, 4), 1, "7", nullptr));
    EXPECT_EQ(table.GetField(1)->m_Name, "Y");
    EXPECT_EQ(table.GetValue(1, 0), "xx") << "cells keep their values";
    EXPECT_EQ(*table.GetDefault(1), "7");
    EXPECT_FALSE(table.GetDescription(1).has_value());
    EXPECT_TRUE(table.SetFieldDescription(1, "why"));
    EXPECT_FALSE(table.SetFieldDescription(-1, "why"));

    EXPECT_TRUE(table.DeleteField(0));
    EXPECT_EQ(table.GetFieldCount(), 1);
    EXPECT_EQ(table.GetValue(0, 2), "xx") << "later cells moved down";
    EXPECT_FALSE(table.DeleteField(1));
}

TEST(NativeAttributeTable, FieldLengthFitsTheLongestValue) {
    CNativeAttributeTable table;
    table.AddField(Field("A", FT_String, 99), nullptr, nullptr);
    table.UpdateFieldLength(0);
    EXPECT_EQ(table.GetField(0)->m_Length, 1) << "no rows";
    table.AppendRow();
    table.AppendRow();
    table.UpdateFieldLength(0);
    EXPECT_EQ(table.GetField(0)->m_Length, 1) << "only empty cells";
    table.GetRow(1)->SetValue(0, "7 chars");
    table.UpdateFieldLength(0);
    EXPECT_EQ(table.GetField(0)->m_Length, 8);
    EXPECT_FALSE(table.UpdateFieldLength(1));
}

TEST(NativeAttributeTable, PrimaryKey) {
    CNativeAttributeTable table;
    for (const char* name : {"A", "B", "C"})
        table.AddField(Field(name), nullptr, nullptr);
    EXPECT_TRUE(table.SetPrimaryKey({2, 0}));
    std::vector<int> key;
    table.GetPrimaryKey(key);
    EXPECT_EQ(key, (std::vector<int>{0, 2}));
    EXPECT_FALSE(table.SetPrimaryKey({1, 3}));
    key.clear();
    table.GetPrimaryKey(key);
    EXPECT_EQ(key, (std::vector<int>{0, 2})) << "a refused key changes nothing";
}

TEST(NativeAttributeTable, ArchiveRoundTrip) {
    CNativeAttributeTable table;
    CAttributeFieldInfo key = Field("ID", FT_Int, 5);
    key.m_Decimals = 0;
    table.AddField(key, nullptr, "the id");
    CAttributeFieldInfo value = Field("VALUE", FT_Double, 12);
    value.m_Decimals = 3;
    table.AddField(value, "0.5", nullptr);
    table.SetPrimaryKey({0});
    table.GetRow(table.AppendRow())->SetValue(0, "1");
    const int second = table.AppendRow();
    table.GetRow(second)->SetValue(0, "");
    // Cells 1 and 2 come into being never set, which differs from an empty text.
    table.GetRow(second)->SetValue(3, std::string(300, 'z'));

    CArchive out;
    table.Serialize(out);
    CArchive in(out.GetStored().data(), out.GetStored().size());
    CNativeAttributeTable back;
    back.Serialize(in);
    EXPECT_EQ(in.GetRemaining(), 0u);

    ASSERT_EQ(back.GetFieldCount(), 2);
    EXPECT_EQ(back.GetField(1)->m_Name, "VALUE");
    EXPECT_EQ(back.GetField(1)->m_Decimals, 3);
    EXPECT_EQ(back.GetField(1)->m_Type, FT_Double);
    EXPECT_TRUE(back.GetField(0)->m_PrimaryKey);
    EXPECT_FALSE(back.GetDefault(0).has_value()) << "a null default stays null";
    EXPECT_EQ(*back.GetDefault(1), "0.5");
    EXPECT_EQ(*back.GetDescription(0), "the id");
    ASSERT_EQ(back.GetRowCount(), 2);
    EXPECT_EQ(back.GetValue(1, 0), "0.5");
    EXPECT_EQ(back.GetValue(3, 1), std::string(300, 'z'));
    EXPECT_TRUE(back.GetRow(1)->HasText(0)) << "an empty text stays set";
    EXPECT_EQ(back.GetRow(1)->GetCellCount(), table.GetRow(1)->GetCellCount());
    for (int cell = 0; cell < 4; ++cell)
        EXPECT_EQ(back.GetRow(1)->HasText(cell), table.GetRow(1)->HasText(cell)) << cell;

    // Storing it again gives the same bytes.
    CArchive again;
    back.Serialize(again);
    EXPECT_EQ(again.GetStored(), out.GetStored());
}

namespace {

// Hand-built archive of an older version: one column "A" (FT_Int, 4, 0),
// default "d", one row with one cell "v".
std::vector<unsigned char> OldArchive(std::uint32_t version) {
    CArchive ar;
    ar.WriteU32(version);
    ar.WriteU32(1);
    ar.WriteString("A");
    ar.WriteU32(4);
    ar.WriteU32(0);
    ar.WriteU32(FT_Int);
    if (version >= 2)
        ar.WriteU32(1);
    ar.WriteU32(1);
    ar.WriteU32(1);
    ar.WriteString("d");
    ar.WriteU32(1); // rows
    ar.WriteU32(1);
    ar.WriteU32(1); // cells
    ar.WriteU32(1);
    ar.WriteU32(1);
    ar.WriteString("v");
    return ar.GetStored();
}

} // namespace

TEST(NativeAttributeTable, OlderArchivesLoad) {
    for (std::uint32_t version : {1u, 2u}) {
        const auto bytes = OldArchive(version);
        CArchive in(bytes.data(), bytes.size());
        CNativeAttributeTable table;
        table.Serialize(in);
        ASSERT_EQ(table.GetFieldCount(), 1) << version;
        EXPECT_EQ(table.GetField(0)->m_PrimaryKey, version >= 2) << "no key flags before version 2";
        EXPECT_FALSE(table.GetDescription(0).has_value()) << "no descriptions before version 3";
        EXPECT_EQ(*table.GetDefault(0), "d");
        EXPECT_EQ(table.GetValue(0, 0), "v");
        EXPECT_EQ(in.GetRemaining(), 0u);
    }
}

TEST(NativeAttributeTable, DamagedOrNewerArchivesAreRefusedWithoutChange) {
    auto truncated = OldArchive(2);
    truncated.resize(truncated.size() - 1); // the last cell's text is cut off
    auto newer = OldArchive(2);
    newer[0] = 4;
    CArchive lying;
    lying.WriteU32(3);
    lying.WriteU32(0x7FFFFFFF); // a column count no file could hold
    // One column but two defaults: the per-column lists would disagree.
    CArchive mismatch;
    mismatch.WriteU32(3);
    mismatch.WriteU32(1);
    mismatch.WriteString("A");
    for (int i = 0; i < 4; ++i)
        mismatch.WriteU32(0);
    mismatch.WriteU32(2);
    mismatch.WriteU32(0);
    mismatch.WriteU32(0);
    mismatch.WriteU32(1);
    mismatch.WriteU32(0);
    mismatch.WriteU32(0);
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"newer version", newer, CArchiveException::BadSchema},
        {"version 0", [] { auto b = OldArchive(2); b[0] = 0; return b; }(), CArchiveException::BadSchema},
        {"truncated", truncated, CArchiveException::EndOfFile},
        {"impossible column count", lying.GetStored(), CArchiveException::BadData},
        {"defaults and columns disagree", mismatch.GetStored(), CArchiveException::BadData},
    };
    for (const Case& c : cases) {
        CNativeAttributeTable table = Abc();
        CArchive in(c.bytes.data(), c.bytes.size());
        try {
            table.Serialize(in);
            ADD_FAILURE() << c.name << ": no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_Cause, c.cause) << c.name;
        }
        EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"A", "B", "C"})) << c.name;
        EXPECT_EQ(table.GetFieldCount(), 1) << c.name;
    }
}
