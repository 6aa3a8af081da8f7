#pragma once
// A small database and recordset pair over the unixODBC C API: a connection
// opened from a connection string, and the rows of one SELECT walked
// forwards with each value read as text. It is all the database plug-in asks
// of a data source: open, the column count, the columns' names and SQL types,
// moving through the rows, and the values as text.
//
// Failures of the driver manager or the driver throw CDBException with the
// diagnostic the driver gave.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A failed call of the driver manager or the driver; what() is the driver's
// diagnostic ("[unixODBC][Driver]..." with its SQL state).
class CDBException : public std::runtime_error {
public:
    explicit CDBException(const std::string& text) : std::runtime_error(text) {}
};

class CDatabase {
public:
    // Options of OpenEx.
    enum OpenOptions : unsigned {
        openReadOnly = 0x0004,
        // There is no driver dialog on this platform: a connection string the
        // driver cannot complete fails either way. The flags are kept so that
        // callers say what they want.
        noOdbcDialog = 0x0008,
        forceOdbcDialog = 0x0010
    };

    CDatabase();
    ~CDatabase();
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Connects with the connection string (closing any earlier connection
    // first). Throws CDBException when the driver manager refuses.
    void OpenEx(const std::string& connect, unsigned options = 0);
    void Close();
    bool IsOpen() const { return m_Connection != nullptr; }
    // The complete connection string the driver answered with.
    const std::string& GetConnect() const { return m_Connect; }

    // The ODBC connection handle (SQLHDBC), for CRecordset.
    void* Handle() const { return m_Connection; }

private:
    void* m_Environment = nullptr;
    void* m_Connection = nullptr;
    std::string m_Connect;
};

// One column of a result: its name and ODBC SQL type (SQL_INTEGER, ...).
struct CODBCFieldInfo {
    std::string m_strName;
    int m_nSQLType = 0;
};

class CRecordset {
public:
    explicit CRecordset(CDatabase* database);
    ~CRecordset();
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    // Runs the statement and moves to its first row. Throws CDBException.
    void Open(const std::string& sql);
    void Close();
    bool IsOpen() const { return m_Statement != nullptr; }

    // Before the first row: true only for an empty result.
    bool IsBOF() const { return m_Bof; }
    bool IsEOF() const { return m_Eof; }
    void MoveNext();
    // Back to the first row; the statement is run again when the cursor has
    // moved past it, since a driver need not scroll backwards.
    void MoveFirst();

    std::uint32_t GetODBCFieldCount() const { return static_cast<std::uint32_t>(m_Fields.size()); }
    // Throws std::invalid_argument for an index outside the columns.
    const CODBCFieldInfo& GetODBCFieldInfo(std::uint32_t index) const;
    // The current row's value as text; empty for NULL. Throws
    // std::invalid_argument for an index outside the columns.
    void GetFieldValue(std::uint32_t index, std::string& value) const;
    // Whether the current row's value is NULL.
    bool IsFieldNull(std::uint32_t index) const;

private:
    void Fetch();
    void Execute();
    void CheckIndex(std::uint32_t index) const;

    CDatabase* m_Database;
    void* m_Statement = nullptr;
    std::string m_Sql;
    std::vector<CODBCFieldInfo> m_Fields;
    std::vector<std::optional<std::string>> m_Row;
    bool m_Bof = true;
    bool m_Eof = true;
    std::uint64_t m_RowsFetched = 0;
};
