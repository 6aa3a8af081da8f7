#include "core/FileEnumeration.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <unistd.h>

using namespace stdext;

namespace {

// Name -> directory flag; the file system's order is not ours to test.
std::map<std::string, bool> Entries(const basic_file_enumeration& list) {
    std::map<std::string, bool> entries;
    for (const basic_file_enumeration_data& entry : list)
        entries.emplace(entry.name, entry.directory);
    EXPECT_EQ(entries.size(), list.size()) << "an entry came twice";
    return entries;
}

class FileEnumeration : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"roads.gpi", "RIVERS.GPI", "notes.gpi.txt", "readme", "a?b"})
            WriteBytes(dir.file(name), {1});
        std::filesystem::create_directory(dir.file("sub.gpi"));
        std::filesystem::create_directory_symlink(dir.file("sub.gpi"), dir.file("link"));
    }
    TempDir dir;
};

} // namespace

TEST_F(FileEnumeration, ListsEveryEntryWithDotsWithoutAFilter) {
    const basic_file_enumeration list(dir.path().c_str());
    const std::map<std::string, bool> expected = {
        {".", true},      {"..", true},      {"roads.gpi", false}, {"RIVERS.GPI", false}, {"notes.gpi.txt", false},
        {"readme", false}, {"a?b", false},   {"sub.gpi", true},    {"link", true},
    };
    EXPECT_EQ(Entries(list), expected);
}

TEST_F(FileEnumeration, PatternMatchesNamesWithoutRegardToCase) {
    const basic_file_pattern_match_simple_pattern gpi("*.gpi");
    const basic_file_enumeration list(dir.path().c_str(), &gpi);
    const std::map<std::string, bool> expected = {{"roads.gpi", false}, {"RIVERS.GPI", false}, {"sub.gpi", true}};
    EXPECT_EQ(Entries(list), expected);

    const basic_file_pattern_match_simple_pattern one("r?ad?.*");
    EXPECT_EQ(Entries(basic_file_enumeration(dir.path().c_str(), &one)),
              (std::map<std::string, bool>{{"roads.gpi", false}}));

    // The default pattern keeps everything, "." and ".." included.
    const basic_file_pattern_match_simple_pattern all;
    EXPECT_EQ(all.pattern(), "*");
    EXPECT_EQ(basic_file_enumeration(dir.path().c_str(), &all).size(), 9u);
}

TEST_F(FileEnumeration, ListsTheCurrentFolderWithoutADirectory) {
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const basic_file_pattern_match_simple_pattern readme("README");
    const basic_file_enumeration list(nullptr, &readme);
    std::filesystem::current_path(saved);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "readme");
    EXPECT_FALSE(list[0].directory);
}

TEST_F(FileEnumeration, AFolderThatCannotBeReadGivesNothing) {
    EXPECT_TRUE(basic_file_enumeration(dir.file("missing").c_str()).empty());
    EXPECT_TRUE(basic_file_enumeration(dir.file("readme").c_str()).empty());
}

// A current folder deeper than the old 260-character buffer is still listed.
TEST_F(FileEnumeration, ListsACurrentFolderWithALongPath) {
    std::string deep = dir.path();
    while (deep.size() < 600)
        deep += "/" + std::string(50, 'd');
    std::filesystem::create_directories(deep);
    WriteBytes(deep + "/x.gpi", {1});
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(deep);
    const basic_file_pattern_match_simple_pattern gpi("*.gpi");
    const basic_file_enumeration list(nullptr, &gpi);
    std::filesystem::current_path(saved);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "x.gpi");
}
