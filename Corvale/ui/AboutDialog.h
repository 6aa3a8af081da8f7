#pragma once
// "About Corvale": the program's name and version on a painted header, and
// four tabs over one read-only text box: the version history, the licence,
// the online check for a newer version, and the credits.
//
// The Online tab starts the check of ui/VersionCheck.h unless one runs and
// shows its text: "Connecting to ..." until the worker's result arrives,
// then the raw exchange. The result outlives the dialog: opening the tab
// again while no check runs starts a new one, and the last result stays for
// the life of the process. Closing the dialog leaves a running check alone;
// its result is then kept but shown nowhere.

#include <QDialog>

#include <string>

class CHyperEdit;
class QLabel;
class QPushButton;
class QTabBar;

class CAboutDlg : public QDialog {
public:
    enum {
        IDD = 1100,
        IDC_Tabs = 2119,
        IDC_OK = 1,
        IDC_Text = 2009,
        IDC_Version = 2172,
        IDC_Title = 2127,
        IDC_Icon = 2128,
        IDC_Notice = 2218,
    };
    // The tabs, in order.
    enum Tab { TabVersion = 0, TabLicense = 1, TabOnline = 2, TabCredits = 3 };
    // The texts shown on the tabs, by their resource ids.
    enum { IDR_VersionHistory = 1264, IDR_License = 1262, IDR_Credits = 1263 };

    // The program's version as the user and the version server see it.
    static const char* const kVersion;
    // The version server asked by the Online tab.
    static const char* const kDefaultVersionHost;

    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // Where the Online tab asks, for the whole process (the tests point it at
    // a server of their own).
    static void SetVersionServer(const std::string& host, unsigned short port);
    static std::string GetVersionHost();
    static unsigned short GetVersionPort();

    // The text of one of the IDR_ texts; empty for an unknown id.
    static std::string GetTextResource(int id);

    // Shows the text of a tab (and selects it).
    void ShowTab(int tab);
    // Starts a check when none runs; shows the shared text.
    void ShowOnlineTab();

    QTabBar* GetTabs() const { return m_Tabs; }
    CHyperEdit* GetTextBox() const { return m_Text; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnCheckFinished();
    void Arrange();

    QTabBar* m_Tabs;
    CHyperEdit* m_Text;
    QPushButton* m_Ok;
    QLabel* m_Version;
    QLabel* m_Title;
    QLabel* m_Icon;
    QLabel* m_Notice;
};
