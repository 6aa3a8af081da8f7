#pragma once
// "Corvale Options": a tree of pages over the application settings. The
// dialog works on a copy the caller owns; only OK changes that copy, and the
// caller then takes it over, saves it and applies it:
//
//   CAppSettings copy = *CAppSettings::GetInstance();
//   COptionsDialog dialog(parent);
//   dialog.SetSettings(&copy);
//   if (dialog.exec() == QDialog::Accepted) {
//       dialog.StoreSettings();
//       *CAppSettings::GetInstance() = copy;   // then Save and ApplyOptions
//   }
//
// Cancel leaves the copy as it was. OK first reads every page back; a page
// with a value out of its range is brought to the front with the message and
// the dialog stays open.
//
// More pages (the plug-in lists) are added with AddPage before exec(); a page
// derived from COptionsPage takes part in OK (UpdateData) and StoreSettings
// (Store) like the built-in ones.

#include "ui/OptionsPages.h"

#include <QDialog>

#include <string>
#include <vector>

class QFrame;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class COptionsDialog : public QDialog {
public:
    enum {
        IDD = 1114,
        IDC_Tree = 2029,
        IDC_Placeholder = 2315,
        IDC_OK = 1,
        IDC_Cancel = 2,
    };
    // The help context: 0x20000 plus the shown page's dialog id, or the
    // dialog's own while no page is shown.
    static constexpr int kHelpContextBase = 0x20000;
    static constexpr int kOwnHelpContext = kHelpContextBase + 0x45A;
    static constexpr int kMinWidth = 490;
    static constexpr int kMinHeight = 365;

    explicit COptionsDialog(QWidget* parent = nullptr);
    ~COptionsDialog() override;

    // The settings copy the pages show and OK fills (not owned). Set it
    // before the dialog is shown.
    void SetSettings(CAppSettings* settings) { m_Settings = settings; }
    CAppSettings* GetSettings() const { return m_Settings; }
    // The folders the General and Plugins pages show.
    void SetMainDirectory(const std::string& folder);
    void SetPluginFolder(const std::string& folder);

    // Adds a page under parent (null: at the top level, after the others;
    // GetPluginsItem() for a plug-in list). The dialog takes the page over.
    // dialogId gives its help context. Returns the page's tree item.
    QTreeWidgetItem* AddPage(QWidget* page, const QString& title, int dialogId, QTreeWidgetItem* parent = nullptr);
    // The "Plugins" item, below which the plug-in list pages go.
    QTreeWidgetItem* GetPluginsItem() const { return m_PluginsItem; }

    // Fills the pages from the settings and selects "General"; runs once, on
    // the first show (or when called).
    void OnInitDialog();
    // Copies the pages' values into the settings; after OK.
    void StoreSettings();

    // Shows the page of a tree item, hiding the others.
    void ShowPage(QTreeWidgetItem* item);
    QWidget* GetCurrentPage() const { return m_CurrentPage; }
    int GetHelpContext() const { return m_HelpContext; }

    QTreeWidget* GetTree() const { return m_Tree; }
    COptionsPageGeneral* GetGeneralPage() const { return m_General; }
    COptionsPageColor* GetColorPage() const { return m_Color; }
    COptionsPageColorTheme* GetColorThemePage() const { return m_ColorTheme; }
    COptionsPageData* GetDataPage() const { return m_Data; }
    COptionsPageConsole* GetConsolePage() const { return m_Console; }
    COptionsPagePlugins* GetPluginsPage() const { return m_Plugins; }

    // Reads every page back; a refused value keeps the dialog open on its page.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Page {
        QTreeWidgetItem* item;
        QWidget* widget;
        int dialogId;
    };
    void Arrange();
    const Page* FindPage(const QTreeWidgetItem* item) const;

    CAppSettings* m_Settings = nullptr;
    QTreeWidget* m_Tree;
    QFrame* m_Placeholder;
    QPushButton* m_Ok;
    QPushButton* m_Cancel;
    COptionsPageGeneral* m_General;
    COptionsPageColor* m_Color;
    COptionsPageColorTheme* m_ColorTheme;
    COptionsPageData* m_Data;
    COptionsPageConsole* m_Console;
    COptionsPagePlugins* m_Plugins;
    QTreeWidgetItem* m_PluginsItem = nullptr;
    std::vector<Page> m_Pages;
    QWidget* m_CurrentPage = nullptr;
    int m_HelpContext = kOwnHelpContext;
    bool m_Initialised = false;
};
