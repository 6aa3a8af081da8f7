#pragma once
// A scratch folder for one test, removed with everything in it afterwards.

#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_Path; }
    // Path of a file inside the folder.
    std::string file(const std::string& name) const { return m_Path + "/" + name; }

private:
    std::string m_Path;
};

// Whole-file helpers for fixtures and for checking what was written.
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
