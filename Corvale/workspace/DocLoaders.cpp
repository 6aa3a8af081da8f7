// Themes from loader plug-ins: the Add Theme From commands, and the slots
// through which a bound loader adds, removes and selects records, posts its
// own events and hears of selection changes.

#include "workspace/CorvaleDoc.h"

#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "framework/Messages.h"
#include "framework/UserInterface.h"
#include "settings/AppSettings.h"
#include "workspace/CommandIds.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/ViewMessages.h"
#include "workspace/gpi/GpiHost.h"

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

// More themes of one type than this is not an answer but garbage.
constexpr std::uint32_t kMaxThemesPerType = 1000;
// Room reserved for the records of a theme being loaded.
constexpr std::size_t kReservedRecords = 10000;
constexpr std::uint32_t kDefaultLoaderColor = 0xFF0000;

const char* const kIdleStatus = "For Help, press F1";

void ShowLoaderError(const std::string& text) {
    corvale::UI().ShowMessage(text, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

struct Family {
    std::uint32_t type;
    const char* plural;
};
const Family kFamilies[] = {{SHT_Point, "points"}, {SHT_Polyline, "arcs"}, {SHT_Polygon, "polygons"}};

std::vector<CShapeRecord*>* AllRecordsOf(CTheme& theme, std::uint32_t type) {
    if (type == SHT_Point)
        return &theme.m_Points;
    if (type == SHT_Polyline)
        return &theme.m_Arcs;
    return &theme.m_Polygons;
}

// Restores the document's target theme when a loader call ends.
class CTargetScope {
public:
    CTargetScope(CCorvaleDoc& doc, CTheme* target) : m_Doc(doc), m_Saved(doc.m_loaderTargetTheme) {
        doc.m_loaderTargetTheme = target;
    }
    ~CTargetScope() { m_Doc.m_loaderTargetTheme = m_Saved; }
    CTargetScope(const CTargetScope&) = delete;
    CTargetScope& operator=(const CTargetScope&) = delete;

private:
    CCorvaleDoc& m_Doc;
    CTheme* m_Saved;
};

bool IsBoundLoaderTheme(const CTheme* theme) {
    return theme != nullptr && theme->m_SourceType == ST_CustomLoader && theme->m_Loader != nullptr;
}

} // namespace

void CCorvaleDoc::SetLoaderCallbacks(CLoaderPlugin& loader, bool duringEvent) {
    loader.m_Callbacks.hostContext = this;
    loader.m_Callbacks.postCustomEvent = LoaderHostPostCustomEvent;
    loader.m_Callbacks.addShape = duringEvent ? LoaderHostAddEventShape : CCorvaleDoc::ShapeCallback;
    loader.m_Callbacks.removeShape = LoaderHostRemoveShape;
    loader.m_Callbacks.updateShape = LoaderHostUpdateShape;
    loader.m_Callbacks.getRecord = LoaderHostGetRecord;
}

void CCorvaleDoc::AttachLoaderCallbacks() {
    for (CTheme* theme : m_themes)
        if (IsBoundLoaderTheme(theme))
            SetLoaderCallbacks(*theme->m_Loader, true);
}

void CCorvaleDoc::OnAddFromDataSource(unsigned id) {
    const auto& services = GetDocumentDialogServices();
    if (!services.loaderPluginPath || id < ID_ADD_FROM_DATA_SOURCE_FIRST || id > ID_ADD_FROM_DATA_SOURCE_LAST)
        return;
    const std::string path = services.loaderPluginPath(id - ID_ADD_FROM_DATA_SOURCE_FIRST);
    if (!path.empty())
        AddFromDataSource(path);
}

int CCorvaleDoc::AddFromDataSource(const std::string& path) {
    corvale::CWaitCursor wait;
    corvale::UI().SetStatusText("Working...");
    const CAppSettings* settings = CAppSettings::GetInstance();
    const bool tracing = (m_debugFlags & 4) != 0;
    auto trace = [&](const std::string& text) {
        if (tracing)
            PrintConsoleLine("CV: " + text);
    };

    std::unique_ptr<CLoaderPlugin, void (*)(CLoaderPlugin*)> binding(new CLoaderPlugin(), DeleteLoaderPlugin);
    binding->Load(path);
    const bool versionOk = binding->m_Version >= 1 && binding->m_Version <= PIV_LoaderMax;
    if (!binding->m_Valid || !versionOk || !binding->PreLoadShapes()) {
        if (binding->m_Valid && !versionOk)
            ShowLoaderError("This loader plugin has an unsupported interface version.\nOperation aborted.");
        else if (!binding->m_ErrorText.empty())
            ShowLoaderError("The loader plugin encountered a problem:\n\n" + binding->m_ErrorText);
        corvale::UI().SetStatusText(kIdleStatus);
        return 0;
    }

    int added = 0;
    bool failed = false;
    // Into an empty workspace, every theme of the load joins the first
    // view: a loader's points are not left outside its polygons' extent.
    const bool hadThemes = !m_themes.empty();
    const double extent[4] = {0.0, 0.0, 0.0, 0.0};
    for (const Family& family : kFamilies) {
        if (failed)
            break;
        const std::uint32_t count = binding->CountThemes(family.type);
        if (count > kMaxThemesPerType) {
            ShowLoaderError("The loader plugin encountered a problem:\n\n" + path + ":\nIt announced " +
                            std::to_string(count) + " themes of one shape type.");
            break;
        }
        for (std::uint32_t i = 0; i < count && !failed; ++i) {
            CTheme* const previousTarget = m_loaderTargetTheme;
            auto theme = std::make_unique<CTheme>();
            m_loaderTargetTheme = theme.get();
            theme->m_Name = binding->m_Name;
            ApplyNewThemeSettings(theme.get());
            theme->m_ShapeType = family.type;
            theme->UpdateDefaultStyle();
            theme->m_SourceType = ST_CustomLoader;
            AllRecordsOf(*theme, family.type)->reserve(kReservedRecords);

            const auto start = std::chrono::steady_clock::now();
            trace(std::string("Starting to load ") + family.plural + " from plugin...");
            SetLoaderCallbacks(*binding, false);
            binding->m_RefusedRecords = 0;
            LoaderLoadResult result;
            bool loaded = binding->LoadShapes(family.type, extent, result, theme->m_LineWidth);
            if (loaded && binding->m_RefusedRecords != 0) {
                // A record the theme could not take would leave it showing
                // part of the source as if it were all of it.
                binding->m_ErrorText = path + ":\nThe loader handed over " +
                                       std::to_string(binding->m_RefusedRecords) +
                                       " damaged shape(s) or shape(s) of another type.";
                loaded = false;
            }
            theme->m_LoaderHandle = result.m_Handle;
            if (result.m_PenWidth != 0)
                theme->m_LineWidth = static_cast<int>(std::min<std::uint32_t>(result.m_PenWidth, 100));
            if (result.m_PointSymbol != 0)
                theme->m_PointSymbol = static_cast<int>(result.m_PointSymbol);
            theme->UpdateDefaultStyle();
            if (!result.m_InfoTipTemplate.empty())
                theme->m_InfoTipTemplate = result.m_InfoTipTemplate;
            if (result.m_ShowInfoTip)
                theme->m_ShowInfoTip = true;

            if (!loaded) {
                trace(std::string("Failed to load ") + family.plural + " from plugin.");
                ShowLoaderError(binding->m_ErrorText);
                // The loader is told its records go; then the theme, which
                // lists them and nothing else, is freed.
                binding->RemoveShapes(result.m_Handle);
                theme.reset();
                m_loaderTargetTheme = previousTarget;
                failed = true;
                break;
            }

            theme->m_Color = settings->m_LoaderOverride != 0 ? result.m_Color : kDefaultLoaderColor;
            theme->m_OutlineColor = settings->m_ColorOutline;
            trace(std::string("Done loading ") + family.plural + " from plugin.");
            const auto seconds =
                std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
            trace("Loading took " + std::to_string(seconds) + " seconds.");
            if (!result.m_Name.empty())
                theme->m_Name = result.m_Name;
            theme->m_LoaderPath = path;

            CTheme* inserted = theme.release();
            if (result.m_PlaceOnTop || settings->m_LoadToBottom == 0)
                m_themes.insert(m_themes.begin(), inserted);
            else
                m_themes.push_back(inserted);
            GpiNotifyThemeAdded(this, inserted);
            inserted->ResetFilter();
            inserted->ResetShapePositions();
            inserted->UpdateStyles();
            // The theme keeps this binding; the next theme gets a fresh one.
            inserted->m_Loader = binding.release();
            binding.reset(new CLoaderPlugin());
            binding->Load(path);
            SetLoaderCallbacks(*inserted->m_Loader, true);
            if (!hadThemes)
                ZoomToFullExtent(nullptr);
            inserted->BuildSpatialIndex();
            FireUpdateEvent(nullptr, DUE_ThemeAdded, reinterpret_cast<std::intptr_t>(inserted));
            if (result.m_ConvertToNative && inserted->ConvertToNative(true, true))
                FireUpdateEvent(nullptr, DUE_ThemeModifiedChanged, reinterpret_cast<std::intptr_t>(m_activeTheme));
            SetModifiedFlag(true);
            ++added;
        }
    }
    corvale::UI().SetStatusText(kIdleStatus);
    return added;
}

std::intptr_t CCorvaleDoc::SendLoaderCustomEvent(CTheme* theme, std::uint32_t code) {
    if (std::find(m_themes.begin(), m_themes.end(), theme) == m_themes.end() || !IsBoundLoaderTheme(theme))
        return 0;
    int result = 0;
    {
        CTargetScope target(*this, theme);
        SetLoaderCallbacks(*theme->m_Loader, true);
        result = theme->m_Loader->HandleCustomEvent(code, theme->m_LoaderHandle);
        theme->RecalculateBounds();
    }
    FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
    return result;
}

void CCorvaleDoc::NotifyLoaderSelectionChanged(CTheme* theme) {
    if (std::find(m_themes.begin(), m_themes.end(), theme) == m_themes.end() || !IsBoundLoaderTheme(theme) ||
        theme->m_Loader->fnHandleEvent == nullptr)
        return;
    std::uint32_t state = 0;
    if (m_commandWindow != nullptr)
        SendMessage(m_commandWindow, WM_GET_CONTEXT_MENU_STATE, 0, reinterpret_cast<std::intptr_t>(&state));
    int result = 0;
    {
        CTargetScope target(*this, theme);
        SetLoaderCallbacks(*theme->m_Loader, true);
        result = theme->m_Loader->HandleEvent(theme->m_LoaderHandle, state & 0xFF,
                                              static_cast<std::uint32_t>(theme->m_Selection.size()));
        theme->RecalculateBounds();
    }
    if ((result & LDR_EVENT_Redraw) != 0)
        FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(theme));
}

bool LoaderHostRemoveShape(void* host, CLoaderPlugin* loader, CShapeRecord* record) {
    auto* doc = static_cast<CCorvaleDoc*>(host);
    if (doc == nullptr || loader == nullptr || record == nullptr)
        return false;
    for (CTheme* theme : doc->m_themes) {
        if (theme->m_SourceType != ST_CustomLoader || theme->m_Loader != loader)
            continue;
        return theme->RemoveLoadedShape(record);
    }
    return false;
}

bool LoaderHostUpdateShape(void* host, CLoaderPlugin* loader, std::uint32_t handle, CShapeRecord* record,
                           bool select) {
    auto* doc = static_cast<CCorvaleDoc*>(host);
    if (doc == nullptr || loader == nullptr)
        return false;
    CTheme* found = nullptr;
    for (CTheme* theme : doc->m_themes)
        if (IsBoundLoaderTheme(theme) && theme->m_Loader->m_Path == loader->m_Path &&
            theme->m_LoaderHandle == handle) {
            found = theme;
            break;
        }
    if (found == nullptr)
        return false;
    const std::uint32_t color = CAppSettings::GetInstance()->m_ColorSelection;
    if (record == nullptr) {
        if (select)
            found->SelectAll(color);
        else
            found->ClearSelection();
    } else {
        const int shapeIndex = GetShapeRecordIndex(record);
        if (select)
            found->AddToSelection(shapeIndex, found->GetShapePosition(shapeIndex),
                                  found->IsPointTheme() ? 3 : found->m_LineWidth, color);
        else
            found->RemoveFromSelection(shapeIndex);
    }
    doc->FireUpdateEvent(nullptr, DUE_SelectionChanged, -3);
    return true;
}

bool LoaderHostPostCustomEvent(void* host, CLoaderPlugin* loader, std::uint32_t code) {
    auto* doc = static_cast<CCorvaleDoc*>(host);
    if (doc == nullptr || loader == nullptr)
        return false;
    for (CTheme* theme : doc->m_themes)
        if (theme->m_SourceType == ST_CustomLoader && theme->m_Loader == loader)
            PostMessage(doc->m_mapView, WM_LOADER_CUSTOM_EVENT, code, reinterpret_cast<std::intptr_t>(theme));
    return true;
}

bool LoaderHostAddEventShape(void* host, CShapeRecord* record, std::intptr_t userData) {
    auto* doc = static_cast<CCorvaleDoc*>(host);
    if (doc == nullptr || doc->m_loaderTargetTheme == nullptr)
        return false;
    CTheme* theme = doc->m_loaderTargetTheme;
    // Records of another of the loader's themes do not belong here.
    if (theme->GetShapeCount() > 0 && theme->m_LastLoaderHandle != userData)
        return false;
    theme->m_LastLoaderHandle = userData;
    return theme->AppendLoadedShape(record);
}

bool LoaderHostGetRecord(void* host, std::uint32_t n, CShapeRecord** record) {
    auto* doc = static_cast<CCorvaleDoc*>(host);
    if (record != nullptr)
        *record = nullptr;
    if (doc == nullptr || record == nullptr || doc->m_loaderTargetTheme == nullptr)
        return false;
    CTheme* theme = doc->m_loaderTargetTheme;
    if (n >= theme->m_Selection.size())
        return false;
    auto it = theme->m_Selection.begin();
    std::advance(it, n);
    *record = theme->GetShape(theme->GetShapePosition(it->first));
    return *record != nullptr;
}
