// The database classes over unixODBC with SQLite files: opening by driver
// and by DSN, column names and SQL types, rows as text with NULLs, running
// again from the first row, and the driver's diagnostics as exceptions.

#include "LayerBuilder.h"
#include "Odbc.h"
#include "QueryText.h"
#include "SorvendTestSupport.h"

#include "Gpi.h"

#include <string>
#include <vector>

namespace {

class Odbc : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SQLITE_ODBC();
        m_Path = m_Folder.file("data.db");
        MakeSqlite(m_Path, {"CREATE TABLE t (i INTEGER, b BIGINT, r REAL, d DOUBLE, n NUMERIC(10,2), "
                            "c FLOAT, s TEXT, v VARCHAR(20))",
                            "INSERT INTO t VALUES (1, 5000000000, 1.5, 2.25, 3.5, 4.125, 'one', 'v1')",
                            "INSERT INTO t VALUES (NULL, -9007199254740993, NULL, NULL, NULL, NULL, NULL, '')"});
    }
    TempDir m_Folder;
    std::string m_Path;
};

std::vector<std::string> Row(const CRecordset& rs) {
    std::vector<std::string> values(rs.GetODBCFieldCount());
    for (std::uint32_t c = 0; c < values.size(); ++c)
        rs.GetFieldValue(c, values[c]);
    return values;
}

} // namespace

TEST_F(Odbc, ColumnsTypesAndRows) {
    CDatabase db;
    db.OpenEx(SqliteConnect(m_Path), CDatabase::openReadOnly | CDatabase::noOdbcDialog);
    CRecordset rs(&db);
    rs.Open("SELECT * FROM t");
    ASSERT_EQ(rs.GetODBCFieldCount(), 8u);
    const std::vector<std::uint32_t> expected = {GPIFT_Int,    GPIFT_Int,    GPIFT_Double, GPIFT_Double,
                                                 GPIFT_Double, GPIFT_Double, GPIFT_String, GPIFT_String};
    const char* names[] = {"i", "b", "r", "d", "n", "c", "s", "v"};
    for (std::uint32_t c = 0; c < 8; ++c) {
        EXPECT_EQ(rs.GetODBCFieldInfo(c).m_strName, names[c]);
        EXPECT_EQ(FieldTypeOfSqlType(rs.GetODBCFieldInfo(c).m_nSQLType), expected[c])
            << names[c] << " SQL type " << rs.GetODBCFieldInfo(c).m_nSQLType;
    }
    EXPECT_EQ(rs.GetODBCFieldInfo(1).m_nSQLType, -5) << "BIGINT";
    EXPECT_FALSE(rs.IsBOF());
    ASSERT_FALSE(rs.IsEOF());
    const auto first = Row(rs);
    EXPECT_EQ(first[0], "1");
    EXPECT_EQ(first[1], "5000000000") << "a BIGINT beyond 32 bits is not cut";
    EXPECT_EQ(first[6], "one");
    rs.MoveNext();
    ASSERT_FALSE(rs.IsEOF());
    const auto second = Row(rs);
    EXPECT_TRUE(rs.IsFieldNull(0));
    EXPECT_EQ(second[0], "");
    EXPECT_EQ(second[1], "-9007199254740993");
    EXPECT_FALSE(rs.IsFieldNull(7)) << "an empty text is not NULL";
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    // Back to the first row, by running the statement again.
    rs.MoveFirst();
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(Row(rs)[6], "one");

    std::string value;
    EXPECT_THROW(rs.GetFieldValue(8, value), std::invalid_argument);
    EXPECT_THROW(rs.GetODBCFieldInfo(99), std::invalid_argument);
}

TEST_F(Odbc, EmptyResultsLongTextsAndFailures) {
    CDatabase db;
    db.OpenEx(SqliteConnect(m_Path), CDatabase::openReadOnly);
    CRecordset rs(&db);
    rs.Open("SELECT * FROM t WHERE 1=0");
    EXPECT_TRUE(rs.IsBOF() && rs.IsEOF());

    // A value longer than one read of the driver comes back whole.
    const std::string longText(5000, 'w');
    rs.Open("SELECT '" + longText + "' || 'end'");
    std::string value;
    rs.GetFieldValue(0, value);
    EXPECT_EQ(value, longText + "end");

    EXPECT_THROW(rs.Open("SELECT * FROM missing_table"), CDBException);
    EXPECT_FALSE(rs.IsOpen());
    CDatabase none;
    EXPECT_THROW(none.OpenEx("DRIVER={No Such Driver};Database=x"), CDBException);
    EXPECT_FALSE(none.IsOpen());
}

TEST_F(Odbc, QuotedUserNamesAndPasswordsKeepTheStringWhole) {
    CDatabase db;
    // User names and passwords holding the string's separators and braces
    // are quoted: the string still names the database and nothing else.
    // (The SQLite driver ignores both values; it is the string that counts.)
    // Data source names are not used here: the driver manager's reading of
    // odbc.ini keeps memory to the end of the process.
    const std::pair<const char*, const char*> logins[] = {
        {"guest", ""}, {"gu;est", "pa;ss"}, {"gu}est", "p}w{"}, {"{x}", " spaced "}};
    for (const auto& login : logins) {
        db.OpenEx(SqliteConnect(m_Path) + ";UID=" + QuoteConnectValue(login.first) +
                      ";PWD=" + QuoteConnectValue(login.second),
                  CDatabase::openReadOnly);
        CRecordset rs(&db);
        EXPECT_NO_THROW(rs.Open("SELECT * FROM t")) << login.first << " / " << login.second;
    }
}

TEST(SqlTypes, FieldTypesOfTheDriversColumnTypes) {
    struct Case {
        int sqlType;
        std::uint32_t field;
    };
    const Case cases[] = {
        {4, GPIFT_Int},     {5, GPIFT_Int},     {-6, GPIFT_Int},    {-5, GPIFT_Int} /* BIGINT */,
        {-15, GPIFT_Int},   {-28, GPIFT_Int},   {2, GPIFT_Double} /* NUMERIC */, {3, GPIFT_Double} /* DECIMAL */,
        {6, GPIFT_Double},  {7, GPIFT_Double},  {8, GPIFT_Double},  {-7, GPIFT_Boolean},
        {1, GPIFT_String},  {12, GPIFT_String}, {-1, GPIFT_String}, {91, GPIFT_String},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FieldTypeOfSqlType(c.sqlType), c.field) << c.sqlType;
}
