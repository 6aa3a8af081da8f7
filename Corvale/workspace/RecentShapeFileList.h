#pragma once
// The recent shape files of the Insert menu and the Add Theme button
// (commands 20310-20319): the last ten files opened as themes, newest first,
// in the registry section "Recent ShapeFile List" as "File1" to "File10".

#include "workspace/RecentPathList.h"

class CRecentShapeFileList : public CRecentPathList {
public:
    static constexpr int kSize = 10;
    CRecentShapeFileList() : CRecentPathList("Recent ShapeFile List", kSize) {}
};

// The list of the process, read from the registry on first use.
CRecentShapeFileList& GetRecentShapeFiles();
