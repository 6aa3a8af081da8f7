// The GPI plug-in manager: binding and checking ".gpi" modules, starting and
// stopping them, the block list, and the plug-ins' data sections in workspace
// files.

#include "workspace/gpi/GpiHost.h"

#include "core/GpiDataBlockList.h"
#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/Archive.h"
#include "settings/Registry.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiState.h"

#include <QSettings>
#include <QString>

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace {

// ---------------------------------------------------------------------------
// Binding
// ---------------------------------------------------------------------------

// An exported entry of the module itself. dlsym also searches the libraries
// the module depends on; an entry found there is not the plug-in's.
void* FindOwnEntry(void* module, const char* name) {
    void* symbol = dlsym(module, name);
    if (symbol == nullptr)
        return nullptr;
    link_map* moduleMap = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &moduleMap) != 0 || moduleMap == nullptr)
        return nullptr;
    Dl_info info;
    link_map* symbolMap = nullptr;
    if (dladdr1(symbol, &info, reinterpret_cast<void**>(&symbolMap), RTLD_DL_LINKMAP) == 0 ||
        symbolMap != moduleMap)
        return nullptr;
    return symbol;
}

template <class Function> Function FindEntry(void* module, const char* name) {
    return reinterpret_cast<Function>(FindOwnEntry(module, name));
}

// "{" + the GUID in 8-4-4-4-12 lower-case hexadecimal + "}".
std::string FormatGuidText(const GpiGuid& guid) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                  static_cast<unsigned>(guid.Data1), static_cast<unsigned>(guid.Data2),
                  static_cast<unsigned>(guid.Data3), guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

// ---------------------------------------------------------------------------
// The scan
// ---------------------------------------------------------------------------

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// "*.gpi" as the Windows shell matched it: the extension in any case.
bool HasPluginExtension(const std::string& name) {
    static const char extension[] = ".gpi";
    const std::size_t length = sizeof extension - 1;
    if (name.size() <= length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (LowerAscii(name[name.size() - length + i]) != extension[i])
            return false;
    return true;
}

// Plug-ins load, and so receive events, in this order. The directory order of
// Linux file systems is arbitrary; the folder listing the plug-ins were
// written for came sorted by name without regard to case.
bool NameOrder(const std::string& a, const std::string& b) {
    std::string lowerA = a;
    std::string lowerB = b;
    std::transform(lowerA.begin(), lowerA.end(), lowerA.begin(), LowerAscii);
    std::transform(lowerB.begin(), lowerB.end(), lowerB.begin(), LowerAscii);
    return lowerA != lowerB ? lowerA < lowerB : a < b;
}

// The names of the plug-in files in the folder; none when it cannot be read.
std::vector<std::string> ListPluginFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error)
        return names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (HasPluginExtension(name) && !it->is_directory(typeError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NameOrder);
    return names;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

void ShowStop(const std::string& text) {
    corvale::UI().ShowMessage(text, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

// Takes a plug-in that was just listed out of the list again: its
// subscriptions are cleared (fnInit may have made some), it is unbound and
// deleted. Command items and file types it registered stay with the frame.
void RemoveNewPlugin(std::uint32_t identity) {
    CGpiLockGuard guard;
    if (GpiHookRecord* record = GpiFindHookRecord(identity)) {
        GpiClearSubscriptions(*record);
        record->callback = nullptr;
    }
    CGpiHostState& state = GpiState();
    if (state.m_Plugins.empty() || state.m_Plugins.back()->m_Identity != identity)
        return;
    std::unique_ptr<CGpiPlugin> plugin = GpiRemoveLastPlugin();
    if (plugin != nullptr)
        plugin->Unload();
}

// The first listed plug-in before the one with that identity whose GUID text
// is the same; null when there is none.
const CGpiPlugin* FindEarlierPluginWithGuid(const CGpiPlugin& plugin) {
    for (const auto& earlier : GpiState().m_Plugins) {
        if (earlier.get() == &plugin)
            break;
        if (GpiSameGuidText(earlier->m_GuidText, plugin.m_GuidText))
            return earlier.get();
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Data sections
// ---------------------------------------------------------------------------

// The only layout of the sections there is. A file that names another was
// written by a program that knows more than this one and is refused, as the
// workspace refuses a schema it does not know: reading it as this layout
// would hand plug-ins bytes they never wrote.
constexpr std::uint32_t kGpiDataSectionVersion = 1;
// The least one block takes in a file: marker, an empty name's length byte,
// size word.
constexpr std::size_t kSmallestDataBlock = 4 + 1 + 4;

void StoreSection(CArchive& archive, const std::vector<GpiDataBlock>& blocks) {
    if (blocks.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("Too many plug-in data blocks to store.");
    for (const GpiDataBlock& block : blocks)
        if (block.m_Data.size() > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("A plug-in data block is too large to store.");
    archive.WriteU32(kGpiDataSectionVersion);
    archive.WriteU32(static_cast<std::uint32_t>(blocks.size()));
    for (const GpiDataBlock& block : blocks) {
        archive.WriteU32(1);
        archive.WriteString(block.m_PluginName);
        archive.WriteU32(static_cast<std::uint32_t>(block.m_Data.size()));
        archive.WriteBytes(block.m_Data.data(), block.m_Data.size());
    }
}

// Reads a whole section; throws CArchiveException, having changed nothing,
// when it is damaged or of another version.
std::vector<GpiDataBlock> LoadSection(CArchive& archive) {
    const std::uint32_t version = archive.ReadU32();
    if (version != kGpiDataSectionVersion)
        throw CArchiveException(
            CArchiveException::BadSchema,
            "The file holds plug-in data of a version this program does not know.");
    const std::uint32_t count = archive.ReadU32();
    archive.CheckCount(count, kSmallestDataBlock);
    std::vector<GpiDataBlock> blocks;
    blocks.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        archive.ReadU32(); // marker, always 1
        GpiDataBlock block;
        block.m_PluginName = archive.ReadString();
        const std::uint32_t size = archive.ReadU32();
        // Checked against the bytes there before anything is allocated.
        block.m_Data = archive.ReadByteVector(size);
        blocks.push_back(std::move(block));
    }
    return blocks;
}

// Whether a started plug-in with the block's GUID text listens for its data.
bool IsReceiver(const GpiHookRecord& record, const GpiDataBlock& block) {
    if (!GpiReceives(record, GPIHOOK_DataLoaded))
        return false;
    const CGpiPlugin* plugin = GpiFindPlugin(record.identity);
    return plugin != nullptr && GpiSameGuidText(plugin->m_GuidText, block.m_PluginName);
}

bool AnyReceiver(const std::vector<GpiDataBlock>& blocks) {
    for (const GpiDataBlock& block : blocks)
        if (!block.m_Data.empty())
            for (const GpiHookRecord& record : GpiState().m_HookRecords)
                if (IsReceiver(record, block))
                    return true;
    return false;
}

// Hands a block read from a file to the plug-ins it belongs to. Like every
// other call into a plug-in it is guarded: a plug-in that throws is reported
// and the workspace goes on loading.
void DeliverBlock(const GpiDataBlock& block, CCorvaleDoc* document, CTheme* theme) {
    if (block.m_Data.empty())
        return;
    auto& records = GpiState().m_HookRecords;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const GpiHookRecord record = records[i];
        if (!IsReceiver(record, block))
            continue;
        GpiHookDataLoadedArgs args = {
            record.userData[GPIHOOK_DataLoaded], theme != nullptr ? GpiThemeHandle(theme) : 0,
            static_cast<std::uint32_t>(block.m_Data.size()), block.m_Data.data()};
        if (!GpiCallPlugin(record.callback, GpiWorkspaceHandle(document), GPIHOOK_DataLoaded,
                           &args))
            GpiReportPluginFault(record.identity, GPIHOOK_DataLoaded, kGpiUnhandledException);
    }
}

// Makes a theme that is being read count as one of its workspace's themes
// while its data is delivered, so that a plug-in asking for the theme's
// workspace finds it; the theme leaves the list again afterwards.
class CTemporaryThemeMembership {
public:
    CTemporaryThemeMembership(CCorvaleDoc* document, CTheme* theme)
        : m_Document(document), m_Theme(theme) {
        if (m_Document == nullptr ||
            std::find(m_Document->m_themes.begin(), m_Document->m_themes.end(), theme) !=
                m_Document->m_themes.end())
            return;
        m_Document->m_themes.push_back(theme);
        m_Added = true;
    }
    ~CTemporaryThemeMembership() {
        if (!m_Added)
            return;
        // By value from the end: a plug-in may have reordered the list.
        auto& themes = m_Document->m_themes;
        const auto it = std::find(themes.rbegin(), themes.rend(), m_Theme);
        if (it != themes.rend())
            themes.erase(std::next(it).base());
    }
    CTemporaryThemeMembership(const CTemporaryThemeMembership&) = delete;
    CTemporaryThemeMembership& operator=(const CTemporaryThemeMembership&) = delete;

private:
    CCorvaleDoc* m_Document;
    CTheme* m_Theme;
    bool m_Added = false;
};

} // namespace

// ---------------------------------------------------------------------------
// CGpiPlugin
// ---------------------------------------------------------------------------

CGpiPlugin::~CGpiPlugin() {
    // A record dropped without Unload still gives its module back.
    if (m_Module != nullptr)
        dlclose(m_Module);
}

std::unique_ptr<CGpiPlugin> CGpiPlugin::Load(const std::string& path) {
    auto plugin = std::make_unique<CGpiPlugin>();
    plugin->m_Path = path;
    std::string reasons = path + ":\n";
    // Every symbol is resolved now: a plug-in that needs a library it cannot
    // find is refused here rather than failing at its first call.
    plugin->m_Module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (plugin->m_Module == nullptr) {
        plugin->m_ErrorText =
            reasons + "Not a valid plug-in, or missing a required component (dll).";
        return plugin;
    }
    void* module = plugin->m_Module;
    bool valid = true;

    plugin->fnInit = FindEntry<GpiInitFn>(module, GPI_ENTRY_INIT);
    if (plugin->fnInit == nullptr) {
        reasons += "Missing entry fnInit.\n";
        valid = false;
    }
    plugin->fnTerminate = FindEntry<GpiTerminateFn>(module, GPI_ENTRY_TERMINATE);

    // fnVersion and fnGUID are the plug-in's code too: an exception from them
    // makes the plug-in invalid instead of ending the program.
    const GpiVersionFn version = FindEntry<GpiVersionFn>(module, GPI_ENTRY_VERSION);
    if (version == nullptr) {
        reasons += "Missing entry fnVersion.\n";
        valid = false;
    } else {
        int answer = 0;
        bool answered = true;
        try {
            answer = version();
        } catch (...) {
            answered = false;
        }
        if (!answered) {
            reasons += "Unknown exception caught from plug-in fnVersion().\n";
            valid = false;
        } else {
            plugin->m_InterfaceVersion = static_cast<std::uint32_t>(answer);
            if (answer != PIV_Gpi100 && answer != PIV_Gpi200) {
                reasons += "Unsupported interface version.\n";
                valid = false;
            }
        }
    }

    const GpiGuidFn guidEntry = FindEntry<GpiGuidFn>(module, GPI_ENTRY_GUID);
    if (guidEntry == nullptr) {
        reasons += "Missing entry fnGUID.\n";
        valid = false;
    } else {
        const GpiGuid* guid = nullptr;
        bool answered = true;
        try {
            guid = guidEntry();
        } catch (...) {
            answered = false;
        }
        if (!answered) {
            reasons += "Unknown exception caught from plug-in fnGUID().\n";
            valid = false;
        } else if (guid == nullptr) {
            reasons += "Missing plug-in GUID.\n";
            valid = false;
        } else {
            GpiGuid copy;
            std::memcpy(&copy, guid, sizeof copy);
            plugin->m_GuidText = FormatGuidText(copy);
        }
    }

    plugin->m_Valid = valid ? 1 : 0;
    plugin->m_ErrorText = valid ? std::string() : reasons;
    return plugin;
}

void CGpiPlugin::Unload() {
    if (m_Initialised != 0)
        Terminate();
    m_Initialised = 0;
    {
        // No event may reach code that is about to go.
        CGpiLockGuard guard;
        if (GpiHookRecord* record = GpiFindHookRecord(m_Identity))
            record->callback = nullptr;
    }
    if (m_Module != nullptr)
        dlclose(m_Module);
    m_Module = nullptr;
    m_PropertyNames.clear();
    m_MethodNames.clear();
    // The entries and the texts the plug-in gave lived in the module.
    fnInit = nullptr;
    fnTerminate = nullptr;
    m_InitInfo.name = nullptr;
    m_InitInfo.description = nullptr;
    m_InitInfo.about = nullptr;
    m_InitInfo.version = nullptr;
    m_InitInfo.callback = nullptr;
    m_InitInfo.pfnSettings = nullptr;
}

bool CGpiPlugin::Initialize(const GpiInitInfo& initTemplate) {
    m_InitInfo = initTemplate;
    m_InitInfo.identity = m_Identity;
    m_Initialised = 0;
    if (fnInit == nullptr)
        return false;
    int answer = -1;
    try {
        answer = fnInit(&m_InitInfo);
    } catch (...) {
        m_ErrorText = "Unknown exception caught from plug-in fnInit().";
        return false;
    }
    m_Initialised = answer == 0 ? 1 : 0;
    return m_Initialised != 0;
}

void CGpiPlugin::Terminate() {
    if (fnTerminate == nullptr)
        return;
    try {
        fnTerminate();
    } catch (...) {
        m_ErrorText = "Unknown exception caught from plug-in fnTerminate().";
    }
}

void CGpiPlugin::ShowSettings() {
    if (m_InitInfo.pfnSettings == nullptr)
        return;
    try {
        m_InitInfo.pfnSettings();
    } catch (...) {
        m_ErrorText = "Unknown exception caught from plug-in pfnSettings().";
    }
}

// ---------------------------------------------------------------------------
// Start-up and shut-down
// ---------------------------------------------------------------------------

void LoadGpiPlugins(const std::string& folder) {
    const std::vector<std::string> names = ListPluginFiles(folder);
    if (names.empty())
        return;
    std::unique_ptr<QSettings> registry = corvale::OpenRegistry();
    registry->beginGroup(QStringLiteral("GPIBlockList"));

    for (const std::string& name : names) {
        const std::string path = JoinPath(folder, name);
        std::unique_ptr<CGpiPlugin> plugin = CGpiPlugin::Load(path);
        if (plugin->m_Valid == 0) {
            const std::string reasons = plugin->m_ErrorText;
            plugin->Unload();
            plugin.reset();
            ShowStop(path +
                     "\n\ndoes not appear to be a valid plug-in and it will not be "
                     "loaded.\n\nReason:\n\n" +
                     reasons);
            continue;
        }

        CGpiPlugin* listed = plugin.get();
        const std::uint32_t identity = GpiAddPlugin(std::move(plugin));
        if (identity == 0)
            continue;

        // Blocked by the user: listed (the options page shows it) but never
        // started, so it has no callback and receives no events.
        if (corvale::ReadRegistryInt(*registry, QString::fromStdString(listed->m_GuidText), 0) != 0)
            continue;

        const CGpiPlugin* earlier = nullptr;
        {
            CGpiLockGuard guard;
            earlier = FindEarlierPluginWithGuid(*listed);
        }
        if (earlier != nullptr) {
            ShowStop(path + "\nand\n" + earlier->m_Path + "\n\nhas conflicting GUIDs.\n\n" + path +
                     "\n\nwill not be loaded.");
            RemoveNewPlugin(identity);
            continue;
        }

        GpiInitInfo initTemplate = {};
        initTemplate.dispatch = &GpiHostDispatch;
        if (!listed->Initialize(initTemplate)) {
            RemoveNewPlugin(identity);
            continue;
        }
        CGpiLockGuard guard;
        if (GpiHookRecord* record = GpiFindHookRecord(identity))
            record->callback = listed->m_InitInfo.callback;
    }
}

void UnloadGpiPlugins() {
    std::size_t openRecordsets = 0;
    {
        CGpiLockGuard guard;
        CGpiHostState& state = GpiState();
        // First nobody is subscribed to anything, so that no event reaches a
        // plug-in that is being stopped.
        for (GpiHookRecord& record : state.m_HookRecords)
            GpiClearSubscriptions(record);
        // Then each plug-in stops and goes, in load order; the later ones are
        // still listed while an earlier one's fnTerminate runs.
        for (std::size_t i = 0; i < state.m_Plugins.size(); ++i)
            state.m_Plugins[i]->Unload();
        state.m_Plugins.clear();
        state.m_HookRecords.clear();
        openRecordsets = state.m_Recordsets.Size();
    }
    if (openRecordsets > 0) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "There are %d unclosed recordsets opened by a gpi plug-in.\n\nThis is a "
                      "programming error. All "
                      "plug-ins must close all recordsets they have opened.",
                      static_cast<int>(
                          std::min<std::size_t>(openRecordsets, std::numeric_limits<int>::max())));
        ShowStop(text);
    }
}

CGpiPlugin* FindGpiPluginByGuid(const std::string& guidText) {
    if (guidText.empty())
        return nullptr;
    CGpiLockGuard guard;
    for (const auto& plugin : GpiState().m_Plugins)
        if (GpiSameGuidText(plugin->m_GuidText, guidText))
            return plugin.get();
    return nullptr;
}

std::vector<GpiPluginListing> GpiListPlugins() {
    std::vector<GpiPluginListing> listings;
    CGpiLockGuard guard;
    for (const auto& plugin : GpiState().m_Plugins) {
        GpiPluginListing listing;
        listing.m_Identity = plugin->m_Identity;
        listing.m_Path = plugin->m_Path;
        listing.m_GuidText = plugin->m_GuidText;
        listing.m_InterfaceVersion = plugin->m_InterfaceVersion;
        if (plugin->m_InitInfo.name != nullptr)
            listing.m_Name = plugin->m_InitInfo.name;
        if (plugin->m_InitInfo.about != nullptr)
            listing.m_About = plugin->m_InitInfo.about;
        listing.m_HasSettings = plugin->m_InitInfo.pfnSettings != nullptr;
        listings.push_back(std::move(listing));
    }
    return listings;
}

bool GpiShowPluginSettings(std::uint32_t identity) {
    CGpiPlugin* plugin = nullptr;
    {
        CGpiLockGuard guard;
        plugin = GpiFindPlugin(identity);
    }
    if (plugin == nullptr || plugin->m_InitInfo.pfnSettings == nullptr)
        return false;
    // Records stay listed until shutdown; the dialog runs without the lock,
    // so the plug-in may call the host from it.
    plugin->ShowSettings();
    return true;
}

// ---------------------------------------------------------------------------
// Data sections
// ---------------------------------------------------------------------------

void SetGpiWorkspaceDataBlock(CCorvaleDoc* document, const GpiDataBlock& block) {
    if (document != nullptr)
        SetGpiDataBlockInList(document->m_gpiDataBlocks, block);
}

void SerializeGpiWorkspaceData(CCorvaleDoc* document, CArchive& archive) {
    if (document == nullptr)
        throw std::invalid_argument("SerializeGpiWorkspaceData needs a document.");
    CGpiLockGuard guard;
    if (archive.IsStoring()) {
        StoreSection(archive, document->m_gpiDataBlocks);
        return;
    }
    // The whole section is read before anything changes, so a damaged one
    // leaves the list as it was and reaches no plug-in.
    const std::vector<GpiDataBlock> blocks = LoadSection(archive);
    document->m_gpiDataBlocks.clear();
    for (const GpiDataBlock& block : blocks)
        SetGpiWorkspaceDataBlock(document, block);
    for (const GpiDataBlock& block : blocks)
        DeliverBlock(block, document, nullptr);
}

void SerializeGpiThemeData(CArchive& archive, CTheme* theme, CCorvaleDoc* document) {
    if (theme == nullptr)
        throw std::invalid_argument("SerializeGpiThemeData needs a theme.");
    CGpiLockGuard guard;
    if (archive.IsStoring()) {
        StoreSection(archive, theme->m_GpiData);
        return;
    }
    const std::vector<GpiDataBlock> blocks = LoadSection(archive);
    theme->m_GpiData.clear();
    for (const GpiDataBlock& block : blocks)
        theme->SetGpiDataBlock(block);
    if (!AnyReceiver(blocks))
        return;
    // The blocks belong to the workspace being read: never to whichever
    // workspace happens to be active while a file loads.
    CCorvaleDoc* owner = document != nullptr ? document : GpiDocumentOfTheme(theme);
    CTemporaryThemeMembership membership(owner, theme);
    for (const GpiDataBlock& block : blocks)
        DeliverBlock(block, owner, theme);
}
