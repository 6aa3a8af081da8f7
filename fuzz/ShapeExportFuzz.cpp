// Arbitrary bytes as a .shp and a .dbf, opened as a theme and exported as a
// shape-file trio with the Export command. The input is split after a
// two-byte little-endian length: that many bytes of .shp, the rest .dbf.
//
// An export either fails with its message and leaves no file at the target,
// or writes a trio that opens again as the same theme: as many records, the
// same points, the same column types, and every value as it was (cut to the
// width its field was written in: dBase dates are 8 wide, logicals 1).

#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "framework/ScriptedUserInterface.h"
#include "shapes/ShapeRecord.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocExport.h"

#include <QtGlobal>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string g_Folder;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "export round trip: %s\n", what);
        std::abort();
    }
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "cannot write the input");
    if (size > 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

bool SameDouble(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void Setup() {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Every export syncs its files to the disk: a memory file system keeps
    // the runs fast where there is one.
    char shm[] = "/dev/shm/corvale-export-fuzz-XXXXXX";
    char tmp[] = "/tmp/corvale-export-fuzz-XXXXXX";
    char* folder = ::mkdtemp(shm);
    if (folder == nullptr)
        folder = ::mkdtemp(tmp);
    Check(folder != nullptr, "no scratch folder");
    g_Folder = folder;
    std::atexit([] {
        for (const char* name : {"in.shp", "in.dbf", "out.shp", "out.shx", "out.dbf", "Corvale/Corvale2.ini"})
            std::remove((g_Folder + "/" + name).c_str());
        ::rmdir((g_Folder + "/Corvale").c_str());
        ::rmdir(g_Folder.c_str());
    });
    // The recent shape files go to the settings: keep them in the scratch folder.
    ::setenv("XDG_CONFIG_HOME", g_Folder.c_str(), 1);
    CDocumentExportServices services;
    services.pluginFolder = [] { return g_Folder + "/no-plugins/"; };
    services.chooseFormat = [](const std::vector<std::string>&, const std::vector<std::string>&) { return 0; };
    services.confirmShapeExport = [](bool&, bool&) { return true; };
    SetDocumentExportServices(services);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (Setup(), true);
    (void)ready;
    if (size < 2)
        return 0;
    const std::size_t shpSize = std::min<std::size_t>(size - 2, data[0] | (std::size_t(data[1]) << 8));
    const std::string in = g_Folder + "/in";
    const std::string out = g_Folder + "/out";
    WriteFile(in + ".shp", data + 2, shpSize);
    WriteFile(in + ".dbf", data + 2 + shpSize, size - 2 - shpSize);
    for (const char* extension : {".shp", ".shx", ".dbf"})
        std::remove((out + extension).c_str());

    corvale::CScriptedUserInterface ui;
    CCorvaleDoc doc;
    CTheme* theme = doc.LoadShapeFile(in + ".shp", false);
    if (theme == nullptr)
        return 0;
    doc.SetThemeSelected(theme, true);
    // Yes to cutting long texts; nothing is filtered, so nothing else is asked.
    ui.messageAnswers = {corvale::IDYES};
    ui.saveAnswers = {out + ".shp"};
    doc.OnExportTheme();

    if (!Exists(out + ".shp")) {
        Check(!Exists(out + ".shx") && !Exists(out + ".dbf"), "a failed export left a file");
        return 0;
    }
    Check(Exists(out + ".shx") && Exists(out + ".dbf"), "the trio is not whole");

    CCorvaleDoc again;
    CTheme* back = again.LoadShapeFile(out + ".shp", false);
    Check(back != nullptr, "the written shape file does not open");
    Check(back->m_ShapeType == theme->m_ShapeType, "shape type changed");
    const int count = theme->GetAllShapeCount();
    Check(back->GetAllShapeCount() == count, "record count changed");
    for (int i = 0; i < count; ++i) {
        const CShapeRecord* a = theme->GetAllShape(i);
        const CShapeRecord* b = back->GetAllShape(i);
        const std::uint32_t points = CShapeRecord::GetPointCount(a);
        Check(CShapeRecord::GetPointCount(b) == points, "point count changed");
        Check(CShapeRecord::GetPartCount(b) == CShapeRecord::GetPartCount(a), "part count changed");
        for (std::uint32_t p = 0; p < points; ++p) {
            const CShapePoint pa = CShapeRecord::GetPoint(a, p);
            const CShapePoint pb = CShapeRecord::GetPoint(b, p);
            Check(SameDouble(pa.x, pb.x) && SameDouble(pa.y, pb.y), "a point moved");
        }
    }

    const int fields = static_cast<int>(theme->GetAttributeCount());
    Check(static_cast<int>(back->GetAttributeCount()) == fields, "column count changed");
    for (int f = 0; f < fields; ++f) {
        const CAttributeFieldInfo info = back->GetAttributeInfo(f);
        Check(info.m_Type == theme->GetAttributeType(f), "a column reads back as another type");
        for (int i = 0; i < count; ++i) {
            const int shapeIndex = GetShapeRecordIndex(theme->GetAllShape(i));
            std::string want = theme->GetAttributeText(shapeIndex, f);
            // A text that is no number and does not fit is written as missing.
            if ((info.m_Type == FT_Int || info.m_Type == FT_Double) &&
                want.size() > static_cast<std::size_t>(info.m_Length) &&
                !IsValidFieldValue(want.c_str(), info.m_Type))
                want.clear();
            if (want.size() > static_cast<std::size_t>(info.m_Length))
                want.resize(static_cast<std::size_t>(info.m_Length));
            while (!want.empty() && want.back() == ' ')
                want.pop_back();
            if (info.m_Type == FT_Int || info.m_Type == FT_Double) {
                const auto first = want.find_first_not_of(' ');
                want = first == std::string::npos ? std::string() : want.substr(first);
            }
            const std::string got = back->GetAttributeText(GetShapeRecordIndex(back->GetAllShape(i)), f);
            Check(got == want, "a value changed");
        }
    }
    return 0;
}
