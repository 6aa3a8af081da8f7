#pragma once
// A most-recently-used list of paths, newest first, kept in one section of
// the settings store as the values "File1" to "FileN". It is written back at
// every change, so a second window or a crash after the change sees it.

#include <string>
#include <vector>

class CRecentPathList {
public:
    CRecentPathList(const char* section, int size) : m_Section(section), m_Size(size) {}

    // Replaces the list by the stored one; gaps are skipped.
    void ReadList();
    // Writes the entries and removes the values past them. False when the
    // store could not be written.
    bool WriteList() const;

    // The path (made absolute) becomes entry 0; an equal entry further down
    // moves up instead of appearing twice, and the oldest falls off a full
    // list. Paths are compared exactly: Linux file names have case.
    void Add(const std::string& path);
    void Remove(int index);
    // Entry index; empty when there is none.
    std::string Get(int index) const;
    const std::vector<std::string>& GetEntries() const { return m_Entries; }

private:
    const char* m_Section;
    int m_Size;
    std::vector<std::string> m_Entries;
};
