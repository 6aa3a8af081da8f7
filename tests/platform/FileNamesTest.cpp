#include "platform/FileNames.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace corvale;

TEST(FileNames, StemDropsOnlyARealExtension) {
    struct Case {
        const char* path;
        const char* stem;
    };
    const Case cases[] = {
        {"/data/roads.shp", "/data/roads"},  {"/data/ROADS.SHP", "/data/ROADS"},
        {"/data/roads.geo.shp", "/data/roads.geo"}, {"/data/roads", "/data/roads"},
        {"/data.v2/roads", "/data.v2/roads"}, {"roads.shp", "roads"},
        {"/data/.hidden", "/data/.hidden"}, {"a.b", "a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathStem(c.path), c.stem) << c.path;
}

TEST(FileNames, FindsSiblingsInAnyLetterCase) {
    TempDir dir;
    WriteBytes(dir.file("ROADS.SHX"), {1});
    WriteBytes(dir.file("roads.Dbf"), {1});
    WriteBytes(dir.file("rivers.dbf"), {1});
    WriteBytes(dir.file("rivers.DBF"), {1});
    const std::string stem = dir.file("ROADS");

    EXPECT_EQ(FindSiblingFile(stem, ".shx"), dir.file("ROADS.SHX"));
    EXPECT_EQ(FindSiblingFile(stem, ".dbf"), dir.file("roads.Dbf"));
    EXPECT_EQ(FindSiblingFile(stem, ".prj"), "");
    EXPECT_EQ(FindSiblingFile(dir.file("rivers"), ".DBF"), dir.file("rivers.DBF")) << "exact spelling first";
    EXPECT_EQ(FindSiblingFile(dir.file("nowhere/roads"), ".shx"), "");
}
