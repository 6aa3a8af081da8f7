// The texts of the database plug-in: connection strings from the wizard's
// fields, the SELECT test, the "ODBC;" prefix and the query history.

#include "QueryText.h"

#include <gtest/gtest.h>

#include <string>

TEST(QueryText, ConnectionValuesWithSeparatorsAreBraceQuoted) {
    struct Case {
        const char* value;
        const char* quoted;
    };
    const Case cases[] = {
        {"guest", "guest"},
        {"", ""},
        {"a;b", "{a;b}"},
        {"x;DSN=other", "{x;DSN=other}"},
        {"p}w", "{p}}w}"},
        {"{p", "{{p}"},
        {" lead", "{ lead}"},
        {"a=b", "{a=b}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QuoteConnectValue(c.value), c.quoted) << c.value;
    EXPECT_EQ(DsnConnectString("MYDB", "guest", "pa;ss"), "DSN=MYDB;UID=guest;PWD={pa;ss}");
}

TEST(QueryText, OdbcPrefixAndSelectTest) {
    EXPECT_EQ(StripOdbcPrefix("odbc;DSN=x"), "DSN=x");
    EXPECT_EQ(StripOdbcPrefix("ODBC;DSN=x"), "DSN=x");
    EXPECT_EQ(StripOdbcPrefix("DSN=x;ODBC;"), "DSN=x;ODBC;");
    EXPECT_EQ(StripOdbcPrefix("ODBC"), "ODBC");

    EXPECT_TRUE(LooksLikeSelect("  \r\n\tselect * from t"));
    EXPECT_TRUE(LooksLikeSelect("SELECT"));
    EXPECT_FALSE(LooksLikeSelect("DELETE FROM t"));
    EXPECT_FALSE(LooksLikeSelect("SELEC"));
    EXPECT_FALSE(LooksLikeSelect(""));
    EXPECT_FALSE(LooksLikeSelect("with q as (select 1) select * from q"));
}

TEST(QueryText, HistoryKeepsTwelveMostRecentEachOnce) {
    CRecentStringList history;
    for (int k = 1; k <= 13; ++k)
        history.Add("SELECT " + std::to_string(k));
    ASSERT_EQ(history.Entries().size(), 12u);
    EXPECT_EQ(history.Entries().front(), "SELECT 13");
    EXPECT_EQ(history.Entries().back(), "SELECT 2");

    // A query run again moves to the top instead of appearing twice.
    history.Add("SELECT 5");
    ASSERT_EQ(history.Entries().size(), 12u);
    EXPECT_EQ(history.Entries()[0], "SELECT 5");
    EXPECT_EQ(history.Entries()[1], "SELECT 13");
    EXPECT_EQ(std::count(history.Entries().begin(), history.Entries().end(), "SELECT 5"), 1);
    EXPECT_EQ(history.Entries().back(), "SELECT 2");

    // Comparison is exact: another case is another entry.
    history.Add("select 5");
    EXPECT_EQ(history.Entries()[1], "SELECT 5");

    // Stored entries read back in their order, empty ones dropped.
    CRecentStringList loaded;
    loaded.SetEntries({"b", "", "a", "b"});
    EXPECT_EQ(loaded.Entries(), (std::vector<std::string>{"b", "a"}));

    EXPECT_EQ(HistoryDisplayText("SELECT *\r\nFROM t\r\nWHERE 1=1"), "SELECT * FROM t WHERE 1=1");
}

// The driver manager takes a connection naming no source as the default
// data source: such a string is never handed to it.
TEST(QueryText, AConnectionMustNameItsDataSourceOrDriver) {
    struct Case {
        const char* text;
        bool names;
    } cases[] = {
        {"", false},
        {"DSN=;UID=;PWD=", false},
        {"UID=guest;PWD=x", false},
        {"DSN= ;UID=guest", false},
        {"DRIVER={};Database=a.db", false},
        {"Database=DSN=x", false},
        {"PWD={;DSN=x}", false},
        {"DSN=Sales", true},
        {" dsn = Sales ;", true},
        {"UID=a;Driver={SQLite3};Database=/tmp/a.db", true},
        {"FILEDSN=/etc/odbc/sales.dsn", true},
        {"UID={a;b};DSN={x}}y}", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NamesDataSource(c.text), c.names) << c.text;
    EXPECT_FALSE(NamesDataSource(DsnConnectString("", "", "")));
    EXPECT_TRUE(NamesDataSource(DsnConnectString("Sales", "", "")));
}
