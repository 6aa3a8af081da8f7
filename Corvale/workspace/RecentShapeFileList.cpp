#include "workspace/RecentShapeFileList.h"

CRecentShapeFileList& GetRecentShapeFiles() {
    static CRecentShapeFileList list = [] {
        CRecentShapeFileList read;
        read.ReadList();
        return read;
    }();
    return list;
}
