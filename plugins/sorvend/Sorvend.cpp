// The database plug-in: loads the rows of an SQL query from an ODBC data
// source into the active workspace, as points from two coordinate columns
// or as points, polylines and polygons from a column of well-known text. It
// offers a wizard on the "Add Theme From" menu and the script method
// loadLayer(connectionString, queryString, eastcol, northcol).

#include "GpiClient.h"
#include "LayerBuilder.h"
#include "Odbc.h"
#include "QueryText.h"
#include "QueryWizard.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstring>
#include <new>
#include <string>

namespace {

const GpiGuid g_Guid = {0x14A37D7E, 0xAD27, 0x45E2, {0x8D, 0xF1, 0xA8, 0xC6, 0xFD, 0x33, 0x63, 0x70}};

const char kName[] = "Sorvend";
const char kDescription[] = "This plug-in reads point data from a database table.\nODBC point loader.";
const char kAbout[] =
    "This plug-in reads point data from a database table.\n\nIt is also JavaScript enabled, and the following "
    "methods are available:\n  loadLayer(connectionString, queryString, eastcol, northcol) loads point data into "
    "the current workspace. The method returns the layer if successful.\n    connectionString, an ODBC connection "
    "string.\n    queryString, an SQL select statement.\n    eastcol and northcol are zero-based indecies indicating "
    "which columns should be used as coordinates.\n  usage:\n    var dbGUID = "
    "'{14A37D7E-AD27-45E2-8DF1-A8C6FD336370}';\n    var dbloader = new Plugin(dbGUID);\n    var layer = "
    "dbloader.loadLayer('DSN=MYDB;UID=guest;', 'Select lat, long, others From wgsdata', 1, 0);\n\n"
    "Copyright (c) the Corvale developers.";
const char kVersion[] = "2.00";
const char kLoadLayer[] = "loadLayer";

// Message boxes over the active window, with the plug-in's title.
class CBoxReport : public CLayerBuildReport {
public:
    void HostError(const std::string& text) override { ShowErrorBox(QApplication::activeWindow(), QString::fromStdString(text)); }
    void DatabaseError(const std::string& text) override { ShowDatabaseError(QApplication::activeWindow(), text); }
    void RowsSkipped(std::uint64_t skipped, std::uint64_t rows) override {
        QMessageBox box(QMessageBox::Information, QString::fromLatin1(kName),
                        QString::fromStdString(SkippedRowsText(skipped, rows)), QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }
};

void SetStatusText(const char* text) {
    const GpiInitInfo& info = CvClientInitInfo();
    GpiSetStatusTextArgs args = {info.identity, text};
    info.dispatch(GPIOP_SetStatusText, &args);
}

// The "ODBC Query..." item loads into the active workspace, so it is offered
// only while there is one.
std::uint32_t g_CommandItem = 0;

void EnableCommandItem(bool enabled) {
    if (g_CommandItem == 0)
        return;
    GpiCommandItemEnableArgs args = {g_CommandItem, enabled ? 1u : 0u};
    CvClientInitInfo().dispatch(GPIOP_CommandItemEnable, &args);
}

void RunWizard(std::uint32_t workspace) {
    if (workspace == 0)
        return;
    CQueryWizard wizard(QApplication::activeWindow());
    if (wizard.exec() != QDialog::Accepted)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    SetStatusText("Loading objects...");
    CBoxReport report;
    try {
        BuildLayer(workspace, wizard.m_Recordset.get(), wizard.m_East, wizard.m_North, wizard.m_Wkt, nullptr, report);
    } catch (const std::invalid_argument& e) {
        report.HostError(e.what());
    }
    SetStatusText(nullptr);
    QGuiApplication::restoreOverrideCursor();
}

int LoadLayer(std::uint32_t workspace, GpiHookScriptCallArgs* call) {
    if (call->name == nullptr || std::strcmp(call->name, kLoadLayer) != 0)
        return GPIERR_NoError;
    const GpiScriptValue* a = call->arguments;
    if (call->argumentCount < 4 || a == nullptr || a[0].type != GPISV_String || a[1].type != GPISV_String ||
        a[2].type != GPISV_Int || a[3].type != GPISV_Int || a[0].value.text == nullptr || a[1].value.text == nullptr)
        return GPIERR_IllegalParameter;

    void* memory = nullptr;
    GpiHostAllocArgs alloc = {sizeof(GpiScriptValue), &memory};
    if (CvClientInitInfo().dispatch(GPIOP_HostAlloc, &alloc) != GPIERR_NoError || memory == nullptr)
        return GPIERR_OutOfResources;
    auto* result = static_cast<GpiScriptValue*>(memory);
    std::memset(result, 0, sizeof *result);
    result->type = GPISV_Handle;
    call->inOut = 1;
    call->resultCount = 1;
    call->results = result;

    const std::string query = a[1].value.text;
    if (!LooksLikeSelect(query))
        return GPIERR_IllegalParameter;
    if (a[2].value.integer < 0 || a[3].value.integer < 0)
        return GPIERR_IllegalParameter;
    // A connection that names no data source is never handed to the driver
    // manager, which would take the default one in its place.
    const std::string connect = StripOdbcPrefix(a[0].value.text);
    if (!NamesDataSource(connect))
        return GPIERR_IllegalParameter;

    // A load that fails tells the script so: it stops with the plug-in's
    // failure rather than going on with no layer.
    CBoxReport report;
    try {
        CDatabase database;
        database.OpenEx(connect, CDatabase::openReadOnly | CDatabase::noOdbcDialog);
        CRecordset recordset(&database);
        recordset.Open(query);
        if (recordset.IsBOF() && recordset.IsEOF())
            return GPIERR_NoError;
        std::uint32_t points = 0;
        if (!BuildLayer(workspace, &recordset, static_cast<std::uint32_t>(a[2].value.integer),
                        static_cast<std::uint32_t>(a[3].value.integer), false, &points, report))
            return GPIERR_ScriptError;
        result->value.handle = points;
        return GPIERR_NoError;
    } catch (const CDBException& e) {
        report.DatabaseError(e.what());
        return GPIERR_ScriptError;
    } catch (const std::invalid_argument&) {
        return GPIERR_IllegalParameter;
    } catch (const std::bad_alloc&) {
        report.HostError("Out of memory.");
        return GPIERR_ScriptError;
    }
}

int SorvendGpiCallback(std::uint32_t workspace, std::uint32_t hookType, void* args) {
    try {
        if (hookType == GPIHOOK_CommandItem) {
            RunWizard(workspace);
            return GPIERR_NoError;
        }
        if (hookType == GPIHOOK_ActiveWorkspaceChanged) {
            EnableCommandItem(workspace != 0);
            return GPIERR_NoError;
        }
        if (hookType == GPIHOOK_ScriptCall && args != nullptr)
            return LoadLayer(workspace, static_cast<GpiHookScriptCallArgs*>(args));
    } catch (...) {
        // Nothing may unwind into the host.
        return hookType == GPIHOOK_ScriptCall ? GPIERR_ScriptError : GPIERR_NoError;
    }
    return GPIERR_NoError;
}

} // namespace

extern "C" {

GPI_EXPORT int fnVersion(void) {
    return PIV_Gpi200;
}

GPI_EXPORT const GpiGuid* fnGUID(void) {
    return &g_Guid;
}

GPI_EXPORT int fnInit(GpiInitInfo* info) {
    if (info == nullptr)
        return 1;
    try {
        CvClientInit(*info);
        info->name = kName;
        info->description = kDescription;
        info->about = kAbout;
        info->version = kVersion;
        info->callback = &SorvendGpiCallback;

        static const GpiCommandItemInfo item = {GPIPLACE_AddThemeFrom, "ODBC Query...", "Load data from an SQL query",
                                                0, &g_CommandItem};
        GpiRegisterHookArgs command = {info->identity, GPIHOOK_CommandItem, 0, &item};
        info->dispatch(GPIOP_RegisterHook, &command);
        GpiRegisterHookArgs workspaces = {info->identity, GPIHOOK_ActiveWorkspaceChanged, 0, nullptr};
        info->dispatch(GPIOP_RegisterHook, &workspaces);
        // Loaded while a workspace is open (the plug-in folder changed), the
        // item starts enabled; at start-up, before any, it waits for one.
        std::uint32_t active = 0;
        EnableCommandItem(info->dispatch(GPIOP_GetActiveWorkspace, &active) == GPIERR_NoError && active != 0);

        static const char* const properties[] = {nullptr};
        static const char* const methods[] = {kLoadLayer, nullptr};
        static const GpiScriptNamesInfo names = {0, properties, methods};
        GpiRegisterHookArgs script = {info->identity, GPIHOOK_ScriptCall, 0, &names};
        info->dispatch(GPIOP_RegisterHook, &script);
        return 0;
    } catch (...) {
        return 1;
    }
}

GPI_EXPORT void fnTerminate(void) {}

} // extern "C"
