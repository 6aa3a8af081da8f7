#pragma once
// The options pages that list the plug-ins, one per kind: exporters (.xpr),
// loaders (.ldr), drawing plug-ins (.ise) and statistics plug-ins (.stc) as
// found in the plug-in folder, and the GPI plug-ins the host has loaded.
// Each shows every plug-in with its validity, shows a plug-in's information
// (or, for a broken one, why it is broken) and opens its settings; the GPI
// page also edits the block list, which takes effect at the next start.
//
// The file pages bind a module only while they read it or call its settings,
// so they hold nothing open. The pages keep no values for the dialog's OK:
// every change they make (the block list) is written at once.

#include "workspace/CommandIds.h"
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class QMenu;
class QPushButton;
class QTreeWidget;

constexpr int IDD_OPTIONS_PAGE_LOADERS = 1125;
constexpr int IDD_OPTIONS_PAGE_EXPORTERS = 1126;
constexpr int IDD_OPTIONS_PAGE_STATISTICS = 1151;
constexpr int IDD_OPTIONS_PAGE_ISE = 1181;
constexpr int IDD_OPTIONS_PAGE_GPI = 1239;
constexpr int IDC_PLUGIN_SETTINGS = 2051;
constexpr int IDC_PLUGIN_INFO = 2052;
constexpr int IDC_PLUGIN_LIST_GPI = 2270;
// The GPI page's context menu and its commands.
constexpr int IDR_GPI_PLUGIN_MENU = 1238;

// The list and the two buttons every plug-in page has.
class COptionsPagePluginList : public QWidget {
public:
    QTreeWidget* GetList() const { return m_List; }
    QPushButton* GetSettingsButton() const { return m_Settings; }
    QPushButton* GetInfoButton() const { return m_Info; }
    // The selected row; -1 when none is.
    int SelectedRow() const;
    // Nothing to store: the pages write their changes at once.
    bool OnOK() { return true; }

    // The buttons' actions, for the selected row.
    virtual void OnSettings() = 0;
    virtual void OnInfo() = 0;

protected:
    COptionsPagePluginList(int dialogId, int listId, bool withGuid, QWidget* parent);
    // Enables the buttons for the selected row.
    virtual void UpdateButtons() = 0;
    // Widens every column that is narrower than its texts, so that names and
    // states are read whole (the list scrolls sideways when they outgrow it).
    void FitColumns();
    // Shows a text in the information dialog.
    void ShowInformation(const std::string& text);

    QTreeWidget* m_List;
    QPushButton* m_Settings;
    QPushButton* m_Info;
};

// A page over the files of one kind in the plug-in folder.
class COptionsPagePluginFiles : public COptionsPagePluginList {
public:
    // The list filled anew from the folder.
    void FillList();
    int RowCount() const { return static_cast<int>(m_Valid.size()); }
    bool IsRowValid(int row) const;
    // The row's information text, or its diagnostics when it is invalid.
    std::string InfoText(int row) const;
    const std::string& Folder() const { return m_Folder; }

    void OnSettings() override;
    void OnInfo() override;

protected:
    // What a page learns from binding one file.
    struct Binding {
        bool valid = false;
        std::string name;
        std::uint32_t version = 0;
        std::string info;
        std::string errorText;
    };
    COptionsPagePluginFiles(int dialogId, int listId, std::string pattern, std::string folder, QWidget* parent);
    // Binds the file with the page's wrapper, reads it and frees it again.
    virtual Binding Bind(const std::string& path) = 0;
    // Binds the file, calls its settings entry when it has one, frees it.
    virtual void Settings(const std::string& path) = 0;
    void UpdateButtons() override;

private:
    std::string m_Pattern;
    std::string m_Folder;
    std::vector<std::string> m_Paths;
    std::vector<bool> m_Valid;
    std::vector<std::string> m_InfoTexts;
};

class COptionsPageExporters : public COptionsPagePluginFiles {
public:
    explicit COptionsPageExporters(const std::string& folder, QWidget* parent = nullptr);

protected:
    Binding Bind(const std::string& path) override;
    void Settings(const std::string& path) override;
};

class COptionsPageLoaders : public COptionsPagePluginFiles {
public:
    explicit COptionsPageLoaders(const std::string& folder, QWidget* parent = nullptr);

protected:
    Binding Bind(const std::string& path) override;
    void Settings(const std::string& path) override;
};

class COptionsPageISE : public COptionsPagePluginFiles {
public:
    explicit COptionsPageISE(const std::string& folder, QWidget* parent = nullptr);

protected:
    Binding Bind(const std::string& path) override;
    void Settings(const std::string& path) override;
};

class COptionsPageStatistics : public COptionsPagePluginFiles {
public:
    explicit COptionsPageStatistics(const std::string& folder, QWidget* parent = nullptr);

protected:
    Binding Bind(const std::string& path) override;
    void Settings(const std::string& path) override;
};

// The GPI plug-ins of the host's list, in load order, blocked ones included.
class COptionsPageGPI : public COptionsPagePluginList {
public:
    explicit COptionsPageGPI(QWidget* parent = nullptr);

    // The list filled anew from the host's plug-in list and the block list.
    void FillList();
    int RowCount() const { return static_cast<int>(m_Rows.size()); }

    void OnSettings() override;
    void OnInfo() override;
    // The context menu's commands, for the selected row.
    void OnCopyGuid();
    void OnToggleEnabled();
    // The context menu for the selected row: "&Copy GUID", and "Enabled",
    // checked while the plug-in is not blocked. Null when no row is selected.
    // The caller owns the menu.
    QMenu* CreateContextMenu(QWidget* parent);

protected:
    void UpdateButtons() override;

private:
    struct Row {
        std::uint32_t identity = 0;
        std::string guidText;
        std::string about;
        bool hasSettings = false;
    };
    const Row* SelectedEntry() const;
    std::vector<Row> m_Rows;
};

// Whether the plug-in with that GUID text is on the block list.
bool IsGpiPluginBlocked(const std::string& guidText);

// The plug-in pages in the order of the options tree, below its "Plugins"
// item: "GPI", "Loaders", "Exporters", "ISE", "Statistical". The file pages
// list the given folder. The pages are children of parent, hidden.
struct PluginOptionPage {
    std::string m_Title;
    int m_DialogId = 0;
    COptionsPagePluginList* m_Page = nullptr;
    // The page's help context: 0x20000 plus its dialog id.
    int HelpContext() const { return 0x20000 + m_DialogId; }
};
std::vector<PluginOptionPage> CreatePluginOptionPages(const std::string& pluginFolder, QWidget* parent);
