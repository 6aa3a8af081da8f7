#pragma once
// The pages of the options dialog (ui/OptionsDialog.h): General, Colors,
// Color Themes, Data, Console and Plugins. Each page keeps its values in
// members: Load fills them from a settings object and the controls from
// them; UpdateData(true) reads the controls back and checks them (a value out
// of its range gets the message and the focus, and the member keeps its
// previous value); Store writes the members into a settings object. The
// members outlive the page's controls' use, so the dialog stores them after
// it has closed.

#include "settings/AppSettings.h"
#include "ui/PropertiesBaseDialog.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CColorListBox;
class CColourPickerXP;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;

// What every page of the options dialog offers it. A page added from
// outside (a plug-in list) derives from it to take part in OK.
class COptionsPage : public CPropertiesBaseDialog {
public:
    explicit COptionsPage(QWidget* parent = nullptr);

    // Fills the members from the settings and the controls from the members.
    virtual void Load(const CAppSettings& settings);
    // Writes the members into the settings.
    virtual void Store(CAppSettings& settings) const;

    // Opens a folder in the desktop's file manager; replaced by the tests.
    static std::function<void(const std::string& folder)>& Explorer();
    // Opens a file in the desktop's text editor; replaced by the tests.
    static std::function<void(const std::string& file)>& Editor();

protected:
    // A read-only folder field with an "Explore" button beside it, as high
    // as the field.
    QWidget* MakeFolderRow(QLineEdit*& edit, int editId, QPushButton*& explore);
};

class COptionsPageGeneral : public COptionsPage {
public:
    enum {
        IDD = 1171,
        IDC_AddFirst = 2078,
        IDC_AddLast = 2079,
        IDC_MainDirectory = 2080,
        IDC_Performance = 2082,
        IDC_ThemesVisible = 2072,
        IDC_LoadLatest = 2106,
        IDC_UnloadRasters = 2271,
        IDC_Explore = 1024,
    };
    explicit COptionsPageGeneral(QWidget* parent = nullptr);

    void Load(const CAppSettings& settings) override;
    void Store(CAppSettings& settings) const override;
    bool UpdateData(bool saveAndValidate) override;

    // The program's folder, without a trailing separator.
    void SetMainDirectory(const std::string& folder);

    int m_LoadToBottom = 0;
    int m_Performance = 2;
    int m_ThemesVisible = 1;
    int m_LoadLatestWorkspace = 0;
    int m_UnloadHiddenRasters = 0;

private:
    QButtonGroup* m_Order;
    QLineEdit* m_Directory;
    QPushButton* m_Explore;
    QSlider* m_Slider;
    QCheckBox* m_Visible;
    QCheckBox* m_Latest;
    QCheckBox* m_Unload;
};

class COptionsPageColor : public COptionsPage {
public:
    enum {
        IDD = 1115,
        IDC_Background = 2032,
        IDC_Default = 2033,
        IDC_Selection = 2034,
        IDC_SelectionOutline = 2036,
        IDC_LoaderOverride = 2068,
        IDC_Reset = 2035,
        IDC_Preview = 2031,
    };
    // What each colour goes back to on Reset or on its "Automatic" choice.
    static constexpr std::uint32_t kDefaultBackground = 0xFFFFFF;
    static constexpr std::uint32_t kDefaultDefault = 0xFF0000;
    static constexpr std::uint32_t kDefaultSelection = 0x0000FF;
    static constexpr std::uint32_t kDefaultSelectionOutline = 0x000000;

    explicit COptionsPageColor(QWidget* parent = nullptr);

    void Load(const CAppSettings& settings) override;
    void Store(CAppSettings& settings) const override;
    bool UpdateData(bool saveAndValidate) override;
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Sets all four colours to their defaults.
    void OnReset();
    // Paints the preview into rect: a caption strip, then the map background
    // with a point, a line and a polygon, once plain and once selected.
    void DrawPreview(QPainter& painter, const QRect& rect) const;

    std::uint32_t m_ColorBkgnd = kDefaultBackground;
    std::uint32_t m_ColorDefault = kDefaultDefault;
    std::uint32_t m_ColorSelection = kDefaultSelection;
    std::uint32_t m_ColorSelectionOutline = kDefaultSelectionOutline;
    int m_LoaderOverride = 0;

private:
    // Reads all four pickers, putting an "Automatic" one back to its default.
    void OnColourChanged();

    CColourPickerXP* m_Background;
    CColourPickerXP* m_Default;
    CColourPickerXP* m_Selection;
    CColourPickerXP* m_Outline;
    QCheckBox* m_Override;
    QWidget* m_Preview;
};

class COptionsPageColorTheme : public COptionsPage {
public:
    enum {
        IDD = 1226,
        IDC_Names = 2214,
        IDC_Colors = 2207,
        IDC_Add = 2247,
        IDC_Edit = 2246,
        IDC_Delete = 2249,
    };
    explicit COptionsPageColorTheme(QWidget* parent = nullptr);

    void Load(const CAppSettings& settings) override;
    void Store(CAppSettings& settings) const override;

    void OnAdd();
    void OnEdit();
    void OnDelete();

    std::vector<CColorTheme> m_ColorThemes;

private:
    // Refills the names; selects row (held to the list), the first by default.
    void Refill(int row = 0);
    void OnSelectionChanged();
    int SelectedTheme() const;

    QListWidget* m_Names;
    CColorListBox* m_Colors;
    QPushButton* m_Add;
    QPushButton* m_Edit;
    QPushButton* m_Delete;
};

class COptionsPageData : public COptionsPage {
public:
    enum {
        IDD = 1188,
        IDC_Precision = 2091,
        IDC_Template = 2092,
        IDC_InsertX = 2093,
        IDC_InsertY = 2094,
        IDC_InsertTab = 2095,
        IDC_AutoLocate = 2105,
    };
    static constexpr int kMinPrecision = 0;
    static constexpr int kMaxPrecision = 56;

    explicit COptionsPageData(QWidget* parent = nullptr);

    void Load(const CAppSettings& settings) override;
    void Store(CAppSettings& settings) const override;
    bool UpdateData(bool saveAndValidate) override;

    // Replaces the template's selection (or inserts at the caret), undoably.
    void InsertTag(const char* tag);

    int m_DataViewPrecision = 6;
    std::string m_CCTemplate;
    int m_AutoLocate = 0;

private:
    QLineEdit* m_Precision;
    QLineEdit* m_Template;
    QCheckBox* m_Locate;
};

class COptionsPageConsole : public COptionsPage {
public:
    enum {
        IDD = 1117,
        IDC_BlackOnWhite = 2038,
        IDC_WhiteOnBlack = 2039,
        IDC_AutoRun = 2054,
        IDC_Browse = 2055,
        IDC_EditAutoRun = 2056,
        IDC_MaxCallDepth = 2065,
        IDC_BufferSize = 2269,
    };
    static constexpr int kMinCallDepth = 1;
    static constexpr int kMaxCallDepth = 500;
    static constexpr int kMinBufferSize = 1;
    static constexpr int kMaxBufferSize = 32;

    explicit COptionsPageConsole(QWidget* parent = nullptr);

    void Load(const CAppSettings& settings) override;
    void Store(CAppSettings& settings) const override;
    bool UpdateData(bool saveAndValidate) override;

    // "...": a script file chosen with the file dialog goes into the field.
    void OnBrowse();
    // "Edit...": the AutoRun file in the text editor, offered for creation
    // when missing.
    void OnEditAutoRun();

    int m_ConsoleColorScheme = 0;
    std::string m_ConsoleAutoRun;
    int m_ConsoleMaxCallDepth = 50;
    int m_ConsoleBufferSize_kB = 16;

private:
    void UpdateEditButton();

    QButtonGroup* m_Scheme;
    QLineEdit* m_AutoRun;
    QPushButton* m_Browse;
    QPushButton* m_Edit;
    QLineEdit* m_CallDepth;
    QLineEdit* m_BufferSize;
};

class COptionsPagePlugins : public COptionsPage {
public:
    enum {
        IDD = 1124,
        IDC_Folder = 2079,
        IDC_LockPlugins = 2081,
        IDC_Explore = 1024,
    };
    explicit COptionsPagePlugins(QWidget* parent = nullptr);

    void Load(const CAppSettings& settings) override;
    void Store(CAppSettings& settings) const override;
    bool UpdateData(bool saveAndValidate) override;

    void SetPluginFolder(const std::string& folder);

    int m_LockPlugins = 0;

private:
    QLineEdit* m_Folder;
    QPushButton* m_Explore;
    QCheckBox* m_Lock;
};
