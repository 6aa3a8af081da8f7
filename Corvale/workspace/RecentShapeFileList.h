#pragma once
// The recent shape files of the Insert menu and the Add Theme button
// (commands 20310-20319): the last ten files opened as themes, newest first.
// The list lives in the registry section "Recent ShapeFile List" as the
// values "File1" to "File10" and is written back at every change, so that
// every window and a crash after the change see it.

#include <string>
#include <vector>

class CRecentShapeFileList {
public:
    static constexpr int kSize = 10;

    // Replaces the list by the one in the registry; missing values are empty.
    void ReadList();
    // Writes the non-empty entries and removes the others from the section.
    // False when the store could not be written.
    bool WriteList() const;

    // The path (made absolute) becomes entry 0; an equal entry further down
    // moves up instead of appearing twice, and the oldest falls off a full
    // list. Paths are compared exactly: Linux file names have case.
    void Add(const std::string& path);
    // Entry index, empty when there is none.
    std::string Get(int index) const;
    const std::vector<std::string>& GetEntries() const { return m_Entries; }

private:
    std::vector<std::string> m_Entries;
};

// The list of the process, read from the registry on first use.
CRecentShapeFileList& GetRecentShapeFiles();
