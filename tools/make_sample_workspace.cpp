// Writes the sample workspace: opens a shape file of longitudes and
// latitudes as the theme of a new workspace in WGS 84 and saves it with the
// program's own workspace save.
//
//   make_sample_workspace SHAPEFILE WORKSPACE
//
// The theme's path is stored as given, so tools/make_sample_workspace.sh
// runs this from samples/ with a relative name: the workspace then opens
// wherever the checkout lies.

#include "crs/RefSysTable.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sample_workspace SHAPEFILE WORKSPACE\n");
        return 2;
    }
    CAppSettings::GetInstance()->SetDefaults();
    CCorvaleDoc document;
    document.OnNewDocument();
    if (!document.OpenDataFile(argv[1], true)) {
        std::fprintf(stderr, "make_sample_workspace: %s does not open as a theme\n", argv[1]);
        return 1;
    }
    // The sample's coordinates are longitudes and latitudes: with its
    // reference system named, the status bar shows it and the scale box
    // measures degrees on the ground instead of as metres.
    document.m_refSystem = FindRefSysByEpsg(4326);
    document.ZoomToFullExtent(nullptr);
    if (!document.SaveWorkspace(argv[2])) {
        std::fprintf(stderr, "make_sample_workspace: %s could not be written\n", argv[2]);
        return 1;
    }
    std::printf("make_sample_workspace: wrote %s\n", argv[2]);
    return 0;
}
