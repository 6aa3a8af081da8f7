#pragma once
// The texts the database plug-in builds and checks: connection strings from
// the wizard's fields, the SELECT test of a query, and the recent-query list.

#include <cstddef>
#include <string>
#include <vector>

// A connection string value as the driver manager reads it back unchanged:
// a value holding ';', '{', '}' or '=' or white space at either end is put in
// braces with each '}' doubled, so that a user name or password can neither
// end its attribute early nor add one.
std::string QuoteConnectValue(const std::string& value);

// "DSN=...;UID=...;PWD=..." with each value quoted as above.
std::string DsnConnectString(const std::string& dsn, const std::string& user, const std::string& password);

// Whether a connection string names what to connect to: a DSN, DRIVER or
// FILEDSN attribute with a value. The driver manager takes a string without
// one as the default data source, which some drivers answer by creating a
// database file named after the whole string in the working folder.
bool NamesDataSource(const std::string& connect);

// The connection string without a leading "ODBC;" (any case).
std::string StripOdbcPrefix(const std::string& text);

// Whether the query, leading white space removed, begins with "SELECT" (any case).
bool LooksLikeSelect(const std::string& query);

// The most recent entries first, each once, at most capacity of them.
class CRecentStringList {
public:
    explicit CRecentStringList(std::size_t capacity = 12) : m_Capacity(capacity) {}
    // Makes the text entry 0; an equal entry (exact comparison) moves up
    // rather than appearing twice, and the oldest drops out when full.
    void Add(const std::string& text);
    const std::vector<std::string>& Entries() const { return m_Entries; }
    void SetEntries(std::vector<std::string> entries);
    std::size_t Capacity() const { return m_Capacity; }

private:
    std::size_t m_Capacity;
    std::vector<std::string> m_Entries;
};

// An entry as the history box shows it: each "\r\n" as one space.
std::string HistoryDisplayText(const std::string& entry);
