#pragma once
// A folder's entries, optionally filtered by a file-name pattern: plug-in
// discovery, option pages, folder scans, exports and the console list folders
// this way.

#include <string>
#include <vector>

namespace stdext {

// One entry of a folder.
struct basic_file_enumeration_data {
    std::string name;
    // A folder, or a link to one.
    bool directory = false;
};

// Decides which entries a listing keeps.
class basic_file_enumeration_filter {
public:
    virtual ~basic_file_enumeration_filter() = default;
    virtual bool accept(const basic_file_enumeration_data& entry) const = 0;
};

// Keeps the entries whose name matches one pattern ('*' any run, '?' one
// character, letters without regard to case; see platform/Wildcard.h).
class basic_file_pattern_match_simple_pattern : public basic_file_enumeration_filter {
public:
    explicit basic_file_pattern_match_simple_pattern(std::string pattern = "*") : m_Pattern(std::move(pattern)) {}
    bool accept(const basic_file_enumeration_data& entry) const override;
    const std::string& pattern() const { return m_Pattern; }

private:
    std::string m_Pattern;
};

// The entries of a folder in the order the file system delivers them, "." and
// ".." included (callers that list sub-folders skip them by name).
class basic_file_enumeration : public std::vector<basic_file_enumeration_data> {
public:
    // Lists the folder, or the current folder when directory is null; every
    // entry when filter is null, else those it accepts. A folder that cannot be
    // read gives an empty list.
    explicit basic_file_enumeration(const char* directory = nullptr,
                                    const basic_file_enumeration_filter* filter = nullptr);
};

} // namespace stdext
