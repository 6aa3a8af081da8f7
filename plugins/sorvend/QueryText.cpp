#include "QueryText.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool StartsWithNoCase(const std::string& text, std::size_t from, const char* word) {
    for (std::size_t k = 0; word[k] != '\0'; ++k) {
        if (from + k >= text.size() ||
            std::toupper(static_cast<unsigned char>(text[from + k])) != static_cast<unsigned char>(word[k]))
            return false;
    }
    return true;
}

} // namespace

std::string QuoteConnectValue(const std::string& value) {
    const bool special = value.find_first_of(";{}=") != std::string::npos ||
                         (!value.empty() && (IsSpace(value.front()) || IsSpace(value.back())));
    if (!special)
        return value;
    std::string quoted = "{";
    for (char c : value) {
        quoted += c;
        if (c == '}')
            quoted += '}';
    }
    quoted += '}';
    return quoted;
}

std::string DsnConnectString(const std::string& dsn, const std::string& user, const std::string& password) {
    return "DSN=" + QuoteConnectValue(dsn) + ";UID=" + QuoteConnectValue(user) + ";PWD=" + QuoteConnectValue(password);
}

bool NamesDataSource(const std::string& connect) {
    std::size_t at = 0;
    while (at < connect.size()) {
        const std::size_t equals = connect.find('=', at);
        const std::size_t semicolon = connect.find(';', at);
        if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
            // An attribute without a value: passed over.
            if (semicolon == std::string::npos)
                break;
            at = semicolon + 1;
            continue;
        }
        std::string key = connect.substr(at, equals - at);
        key.erase(0, std::min(key.size(), key.find_first_not_of(" \t")));
        key.erase(key.find_last_not_of(" \t") + 1);
        for (char& c : key)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::size_t v = equals + 1;
        while (v < connect.size() && IsSpace(connect[v]))
            ++v;
        std::string value;
        if (v < connect.size() && connect[v] == '{') {
            // A braced value runs to its closing brace, "}}" standing for one.
            ++v;
            while (v < connect.size()) {
                if (connect[v] == '}') {
                    if (v + 1 < connect.size() && connect[v + 1] == '}') {
                        value += '}';
                        v += 2;
                        continue;
                    }
                    ++v;
                    break;
                }
                value += connect[v++];
            }
            const std::size_t end = connect.find(';', v);
            at = end == std::string::npos ? connect.size() : end + 1;
        } else {
            const std::size_t end = connect.find(';', v);
            value = connect.substr(v, end == std::string::npos ? std::string::npos : end - v);
            at = end == std::string::npos ? connect.size() : end + 1;
        }
        const bool blank = std::all_of(value.begin(), value.end(), [](char c) { return IsSpace(c); });
        if ((key == "DSN" || key == "DRIVER" || key == "FILEDSN") && !blank)
            return true;
    }
    return false;
}

std::string StripOdbcPrefix(const std::string& text) {
    return StartsWithNoCase(text, 0, "ODBC;") ? text.substr(5) : text;
}

bool LooksLikeSelect(const std::string& query) {
    std::size_t first = 0;
    while (first < query.size() && IsSpace(query[first]))
        ++first;
    return StartsWithNoCase(query, first, "SELECT");
}

void CRecentStringList::Add(const std::string& text) {
    if (m_Capacity == 0)
        return;
    auto found = std::find(m_Entries.begin(), m_Entries.end(), text);
    if (found != m_Entries.end())
        m_Entries.erase(found);
    m_Entries.insert(m_Entries.begin(), text);
    if (m_Entries.size() > m_Capacity)
        m_Entries.resize(m_Capacity);
}

void CRecentStringList::SetEntries(std::vector<std::string> entries) {
    m_Entries.clear();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (!it->empty())
            Add(*it);
}

std::string HistoryDisplayText(const std::string& entry) {
    std::string shown;
    for (std::size_t k = 0; k < entry.size(); ++k) {
        if (entry[k] == '\r' && k + 1 < entry.size() && entry[k + 1] == '\n') {
            shown += ' ';
            ++k;
        } else {
            shown += entry[k];
        }
    }
    return shown;
}
