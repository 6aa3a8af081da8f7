#include "Odbc.h"

#include <sql.h>
#include <sqlext.h>

#include <cstring>

namespace {

// The driver's diagnostic records of a failed call, one line each.
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::string text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[8] = {};
        SQLINTEGER native = 0;
        SQLCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(type, handle, record, state, &native, message,
                                           static_cast<SQLSMALLINT>(sizeof message), &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        if (!text.empty())
            text += "\n";
        text += reinterpret_cast<const char*>(message);
        text += " (";
        text += reinterpret_cast<const char*>(state);
        text += ")";
    }
    return text.empty() ? std::string("The ODBC call failed without a diagnostic.") : text;
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) {
    if (!SQL_SUCCEEDED(rc))
        throw CDBException(Diagnostics(type, handle));
}

} // namespace

CDatabase::CDatabase() = default;

CDatabase::~CDatabase() {
    Close();
}

void CDatabase::OpenEx(const std::string& connect, unsigned options) {
    Close();
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        throw CDBException("The ODBC driver manager could not be started.");
    m_Environment = environment;
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC connection = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection))) {
        const std::string text = Diagnostics(SQL_HANDLE_ENV, environment);
        Close();
        throw CDBException(text);
    }
    if ((options & openReadOnly) != 0)
        SQLSetConnectAttr(connection, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    std::vector<SQLCHAR> in(connect.begin(), connect.end());
    in.push_back(0);
    SQLCHAR out[2048] = {};
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(connection, nullptr, in.data(), SQL_NTS, out,
                                          static_cast<SQLSMALLINT>(sizeof out), &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const std::string text = Diagnostics(SQL_HANDLE_DBC, connection);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        Close();
        throw CDBException(text);
    }
    m_Connection = connection;
    m_Connect = reinterpret_cast<const char*>(out);
}

void CDatabase::Close() {
    if (m_Connection != nullptr) {
        SQLDisconnect(static_cast<SQLHDBC>(m_Connection));
        SQLFreeHandle(SQL_HANDLE_DBC, static_cast<SQLHDBC>(m_Connection));
        m_Connection = nullptr;
    }
    if (m_Environment != nullptr) {
        SQLFreeHandle(SQL_HANDLE_ENV, static_cast<SQLHENV>(m_Environment));
        m_Environment = nullptr;
    }
    m_Connect.clear();
}

CRecordset::CRecordset(CDatabase* database) : m_Database(database) {}

CRecordset::~CRecordset() {
    Close();
}

void CRecordset::Open(const std::string& sql) {
    Close();
    if (m_Database == nullptr || !m_Database->IsOpen())
        throw CDBException("The database is not open.");
    SQLHSTMT statement = SQL_NULL_HSTMT;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, static_cast<SQLHDBC>(m_Database->Handle()), &statement), SQL_HANDLE_DBC,
          m_Database->Handle());
    m_Statement = statement;
    m_Sql = sql;
    try {
        Execute();
        SQLSMALLINT columns = 0;
        Check(SQLNumResultCols(statement, &columns), SQL_HANDLE_STMT, statement);
        m_Fields.clear();
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
            SQLCHAR name[512] = {};
            SQLSMALLINT nameLength = 0, type = 0, decimals = 0, nullable = 0;
            SQLULEN size = 0;
            Check(SQLDescribeCol(statement, c, name, static_cast<SQLSMALLINT>(sizeof name), &nameLength, &type, &size,
                                 &decimals, &nullable),
                  SQL_HANDLE_STMT, statement);
            m_Fields.push_back({reinterpret_cast<const char*>(name), type});
        }
        Fetch();
        m_Bof = m_Eof;
    } catch (...) {
        Close();
        throw;
    }
}

void CRecordset::Execute() {
    std::vector<SQLCHAR> text(m_Sql.begin(), m_Sql.end());
    text.push_back(0);
    const SQLRETURN rc = SQLExecDirect(static_cast<SQLHSTMT>(m_Statement), text.data(), SQL_NTS);
    // A statement that yields no rows answers SQL_NO_DATA; it is an empty result.
    if (rc != SQL_NO_DATA)
        Check(rc, SQL_HANDLE_STMT, m_Statement);
    m_RowsFetched = 0;
}

void CRecordset::Close() {
    if (m_Statement != nullptr) {
        SQLFreeHandle(SQL_HANDLE_STMT, static_cast<SQLHSTMT>(m_Statement));
        m_Statement = nullptr;
    }
    m_Fields.clear();
    m_Row.clear();
    m_Bof = m_Eof = true;
}

void CRecordset::Fetch() {
    auto* statement = static_cast<SQLHSTMT>(m_Statement);
    m_Row.assign(m_Fields.size(), std::nullopt);
    if (m_Fields.empty()) {
        m_Eof = true;
        return;
    }
    const SQLRETURN rc = SQLFetch(statement);
    if (rc == SQL_NO_DATA) {
        m_Eof = true;
        return;
    }
    Check(rc, SQL_HANDLE_STMT, statement);
    m_Eof = false;
    ++m_RowsFetched;
    for (std::size_t c = 0; c < m_Fields.size(); ++c) {
        std::string value;
        char buffer[256];
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN got = SQLGetData(statement, static_cast<SQLUSMALLINT>(c + 1), SQL_C_CHAR, buffer,
                                             sizeof buffer, &indicator);
            if (got == SQL_NO_DATA)
                break;
            Check(got, SQL_HANDLE_STMT, statement);
            if (indicator == SQL_NULL_DATA)
                break;
            // Truncated: the buffer holds sizeof - 1 characters and more follow.
            const bool more = got == SQL_SUCCESS_WITH_INFO &&
                              (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer));
            value.append(buffer, more ? sizeof buffer - 1 : std::strlen(buffer));
            if (!more) {
                m_Row[c] = std::move(value);
                break;
            }
        }
    }
}

void CRecordset::MoveNext() {
    if (m_Statement == nullptr || m_Eof)
        return;
    Fetch();
}

void CRecordset::MoveFirst() {
    if (m_Statement == nullptr || m_RowsFetched == 1)
        return;
    SQLFreeStmt(static_cast<SQLHSTMT>(m_Statement), SQL_CLOSE);
    Execute();
    Fetch();
}

void CRecordset::CheckIndex(std::uint32_t index) const {
    if (index >= m_Fields.size())
        throw std::invalid_argument("column " + std::to_string(index) + " is outside the " +
                                    std::to_string(m_Fields.size()) + " columns of the result");
}

const CODBCFieldInfo& CRecordset::GetODBCFieldInfo(std::uint32_t index) const {
    CheckIndex(index);
    return m_Fields[index];
}

void CRecordset::GetFieldValue(std::uint32_t index, std::string& value) const {
    CheckIndex(index);
    if (index < m_Row.size() && m_Row[index])
        value = *m_Row[index];
    else
        value.clear();
}

bool CRecordset::IsFieldNull(std::uint32_t index) const {
    CheckIndex(index);
    return index >= m_Row.size() || !m_Row[index];
}
