// Grindal: the loader plug-in that reads a native table's geometry file (.map)
// with its object index and attribute table, and hands the program up to
// three themes: points, polylines and polygons. Every entry catches its
// exceptions; none may reach the host.

#include "MapReader.h"
#include "common/FileDialog.h"
#include "common/LoaderText.h"

#include "Loader.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

using grindal::CMAPLoader;
using loadertext::Wide;

namespace {

const char16_t kName[] = u"MAP/TAB file...";
const char16_t kInfo[] =
    u"<html><head><CorvaleStyleSheet></head><body><h1>MAP/TAB Loader plugin version 1.00.</h1>"
    u"<p>This plugin loads data from Ostrela native MAP/TAB format.</p>"
    u"<p>The format is not documented so strange things might happen. This is just a qualified guess.</p>"
    u"<p>Part of the Corvale workbench, made by the Corvale developers. "
    u"See <a href=\"https://corvale.org/\">corvale.org</a>.</p></body></html>";
const char16_t kEmpty[] = u"";

const QString kAppTitle = QStringLiteral("MAP/TAB Loader Plugin");

// The loaders by handle word: the host's 32-bit word cannot hold a pointer.
std::map<std::uint32_t, std::unique_ptr<CMAPLoader>> g_Loaders;
std::uint32_t g_NextHandle = 1;
std::uint32_t g_Current = 0;

CMAPLoader* Loader(std::uint32_t handle) {
    auto it = g_Loaders.find(handle);
    return it != g_Loaders.end() ? it->second.get() : nullptr;
}

void DropLoader(std::uint32_t handle) {
    g_Loaders.erase(handle);
    if (g_Current == handle)
        g_Current = 0;
}

void ShowMessage(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, kAppTitle, text, QMessageBox::Ok);
    box.exec();
}

QString ChooseFile() {
    return ChoosePluginFile(QStringLiteral("Open MAP File"), QStringLiteral("MAP files (*.map);;All Files (*)"),
                            QStringLiteral("GrindalOpenDialog"));
}

// The wait cursor while a file is read.
class CWaitCursorScope {
public:
    CWaitCursorScope() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursorScope() { QApplication::restoreOverrideCursor(); }
    CWaitCursorScope(const CWaitCursorScope&) = delete;
    CWaitCursorScope& operator=(const CWaitCursorScope&) = delete;
};

} // namespace

extern "C" {

LDR_EXPORT std::uint32_t fnVersion(void) { return PIV_LoaderPerRecord; }

LDR_EXPORT const LoaderChar* fnGetName(void) { return Wide(kName); }

LDR_EXPORT const LoaderChar* fnGetInfo(void) { return Wide(kInfo); }

LDR_EXPORT const LoaderChar* fnGetLastErrMsg(void) { return Wide(kEmpty); }

LDR_EXPORT std::uint8_t fnPreLoadShapes(void) {
    try {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return 0;
        QString path = ChooseFile();
        if (path.isEmpty())
            return 0;
        // The table definition (.tab) is what a user picks as "the table";
        // its geometry is the .map beside it.
        if (path.endsWith(QStringLiteral(".tab"), Qt::CaseInsensitive)) {
            const std::string map = grindal::FindCompanion(path.toLocal8Bit().toStdString(), ".map");
            // None there: reading fails and names the file that is missing.
            path = map.empty() ? path.left(path.size() - 3) + QStringLiteral("map") : QString::fromLocal8Bit(map.c_str());
        }
        // A loader that gave no theme has nobody left to close it.
        if (const CMAPLoader* previous = Loader(g_Current); previous != nullptr && previous->m_UseCount <= 0)
            DropLoader(g_Current);
        const std::uint32_t handle = g_NextHandle++;
        g_Loaders[handle] = std::make_unique<CMAPLoader>();
        g_Current = handle;
        CMAPLoader* loader = Loader(handle);
        bool read = false;
        {
            CWaitCursorScope wait;
            read = loader->Load(path.toLocal8Bit().toStdString());
        }
        if (!read) {
            DropLoader(handle);
            ShowMessage(QMessageBox::Critical, QStringLiteral("Error reading file:\n") + path);
            return 0;
        }
        if (loader->m_Unindexed > 0) {
            // Part of the file is missing from what loaded: say how much.
            const std::size_t unread = static_cast<std::size_t>(loader->m_Unindexed) + loader->m_Undecoded;
            ShowMessage(QMessageBox::Warning,
                        QStringLiteral("%1 of %2 objects could not be read.\n"
                                       "The object index (.id) lists fewer objects than the table holds.")
                            .arg(static_cast<qulonglong>(std::min(unread, loader->TableRows())))
                            .arg(static_cast<qulonglong>(loader->TableRows())));
        } else if (loader->m_Undecoded > 0)
            ShowMessage(QMessageBox::Warning,
                        QStringLiteral("One or more features could not be interpreted.\n"
                                       "These could be special Ostrela objects not supported by Corvale\n"
                                       "or the MAP file could be corrupt."));
        return 1;
    } catch (...) {
        return 0;
    }
}

LDR_EXPORT std::uint32_t fnThemeCount(void) {
    const CMAPLoader* loader = Loader(g_Current);
    return loader != nullptr && loader->NonEmptyKinds() > 0 ? 1 : 0;
}

LDR_EXPORT std::uint8_t fnSupportsType(std::uint32_t shapeType) {
    const CMAPLoader* loader = Loader(g_Current);
    return loader != nullptr && loader->HasRecords(shapeType) ? 1 : 0;
}

LDR_EXPORT std::uint8_t fnLoadShapes(LoaderLoadRequest* request) {
    try {
        CMAPLoader* loader = Loader(g_Current);
        if (request == nullptr || request->callback.addShape == nullptr || loader == nullptr)
            return 1;
        loadertext::SetThemeName(request, QString::fromLocal8Bit(loader->m_Path.c_str()));
        for (const unsigned char* record : loader->Records(request->shapeType))
            request->callback.addShape(request->context, record, grindal::kTailSize);
        request->handle = g_Current;
        return 1;
    } catch (...) {
        return 0;
    }
}

LDR_EXPORT void fnRemoveShapes(std::uint32_t handle) {
    CMAPLoader* loader = Loader(handle);
    // The loader, its records and its open table live until the last theme
    // made from it is gone.
    if (loader != nullptr && --loader->m_UseCount <= 0)
        DropLoader(handle);
}

LDR_EXPORT std::uint32_t fnGetAttributeCount(std::uint32_t handle) {
    const CMAPLoader* loader = Loader(handle);
    return loader != nullptr ? static_cast<std::uint32_t>(loader->m_Fields.size()) : 0;
}

LDR_EXPORT const char* fnGetAttributeName(std::uint32_t handle, std::uint32_t field) {
    const CMAPLoader* loader = Loader(handle);
    if (loader == nullptr || field >= loader->m_Fields.size())
        return "";
    return loader->m_Fields[field].m_Name.c_str();
}

LDR_EXPORT const char* fnGetAttribute(std::uint32_t handle, const void* record, std::uint32_t field) {
    CMAPLoader* loader = Loader(handle);
    if (loader == nullptr)
        return "### ERROR ###";
    return loader->Attribute(record, field);
}

} // extern "C"
