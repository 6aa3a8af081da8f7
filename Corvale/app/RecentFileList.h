#pragma once
// The recent workspaces of the File menu (commands 57616-57631): the last 16
// workspaces opened or saved, newest first, kept in the settings section
// "Recent File List" as "File1" to "File16". The list is written back at
// every change, so a second window or a crash after the change sees it.

#include <string>
#include <vector>

class CRecentFileList {
public:
    static constexpr int kSize = 16;

    // Replaces the list by the stored one; gaps are skipped.
    void ReadList();
    bool WriteList() const;

    // The path (made absolute) becomes entry 0; an equal entry moves up
    // rather than appearing twice; the oldest falls off a full list. Paths
    // are compared exactly, as Linux file names keep their case.
    void Add(const std::string& path);
    void Remove(int index);
    // Entry index; empty when there is none.
    std::string Get(int index) const;
    const std::vector<std::string>& GetEntries() const { return m_Entries; }

private:
    std::vector<std::string> m_Entries;
};
