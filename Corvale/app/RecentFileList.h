#pragma once
// The recent workspaces of the File menu (commands 57616-57631): the last 16
// workspaces opened or saved, newest first, kept in the settings section
// "Recent File List" as "File1" to "File16".

#include "workspace/RecentPathList.h"

class CRecentFileList : public CRecentPathList {
public:
    static constexpr int kSize = 16;
    CRecentFileList() : CRecentPathList("Recent File List", kSize) {}
};
