#pragma once
// SQLite databases made in the test and reached through unixODBC with the
// SQLite ODBC driver. The driver is named in an odbcinst.ini of a test
// folder (ODBCSYSINI), so nothing depends on the machine's ODBC set-up.

#include "TempDir.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The ODBC set-up of the test program, made once: the folder of its
// odbcinst.ini and odbc.ini. Empty when the driver is not installed.
inline const std::string& OdbcTestFolder() {
    static TempDir folder;
    static const std::string path = [] {
        const std::string driver = CORVALE_SQLITE_ODBC_DRIVER;
        if (driver.empty() || !std::filesystem::exists(driver))
            return std::string();
        std::ofstream(folder.file("odbcinst.ini")) << "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver="
                                                   << driver << "\n";
        std::ofstream(folder.file("odbc.ini")) << "";
        // No data source of the machine or the user is seen.
        ::setenv("ODBCSYSINI", folder.path().c_str(), 1);
        ::setenv("ODBCINI", folder.file("odbc.ini").c_str(), 1);
        return folder.path();
    }();
    return path;
}

#define SKIP_WITHOUT_SQLITE_ODBC()                                                     \
    do {                                                                               \
        if (OdbcTestFolder().empty())                                                  \
            GTEST_SKIP() << "the SQLite ODBC driver (libsqliteodbc) is not installed"; \
    } while (false)

// A SQLite file built with the statements.
inline void MakeSqlite(const std::string& path, const std::vector<std::string>& statements) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    for (const std::string& sql : statements) {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
            << sql << ": " << (error != nullptr ? error : "");
        sqlite3_free(error);
    }
    sqlite3_close(db);
}

inline std::string SqliteConnect(const std::string& path) {
    return "DRIVER={SQLite3};Database=" + path;
}
