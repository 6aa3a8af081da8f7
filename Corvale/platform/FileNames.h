#pragma once
// File names of sibling files (.shx and .dbf beside a .shp, world files beside
// an image). Files made on Windows come in any letter case, so siblings are
// found without regard to case.

#include <string>

namespace corvale {

// The path without the extension of its last component: "/d/roads.shp" gives
// "/d/roads"; "/d.v2/roads" and "roads" have no extension and stay as they are.
std::string PathStem(const std::string& path);

// The folder part of a path ("/d/roads.shp" gives "/d"); "." for a bare name.
std::string FolderOf(const std::string& path);

// The existing file stem + extension, its extension (or whole name) in any
// letter case; extension includes the dot (".shx"). The exact spelling wins
// when it exists. Empty when there is none.
std::string FindSiblingFile(const std::string& stem, const std::string& extension);

} // namespace corvale
