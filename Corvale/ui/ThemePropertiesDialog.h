#pragma once
// The theme properties: one modal dialog with a tab per page (general,
// style, info tip, font, label, conditional styles, comment) where a user
// edits everything about how a theme is presented. The style page depends on
// the kind of theme; image themes have no font, label or rule pages. The
// dialog writes the theme only on OK, page by page, and rebuilds the theme's
// styles when a style value or the rules changed.

#include "framework/Messages.h"
#include "ui/ThemePropertyPages.h"

#include <QDialog>

#include <string>
#include <vector>

class CAdvancedPropertiesDialog;
class CArcPropertiesDialog;
class CCorvaleDoc;
class CFontPropertiesDialog;
class CLabelStyleDialog;
class CSymbolDialog;
class CTheme;
class QTabWidget;

// The tab shown when the dialog last closed, by OK or Cancel; the next
// dialog opens on it (on the first tab when the theme has no such tab).
extern int g_LastThemePropertiesTab;

class CThemePropertiesDialog : public QDialog, public CMessageWindow {
public:
    enum { IDD = 1153, IDC_Tabs = 2069 };
    enum {
        TAB_General = 0,
        TAB_Style = 1,
        TAB_InfoTip = 2,
        TAB_Font = 3,
        TAB_Label = 4,
        TAB_Advanced = 5,
    };

    explicit CThemePropertiesDialog(QWidget* parent = nullptr);
    ~CThemePropertiesDialog() override;

    // Set by the caller before DoModal.
    CTheme* m_Theme = nullptr;
    CCorvaleDoc* m_Document = nullptr;
    std::vector<CNamedScale> m_Scales;

    // IDOK (1) once the theme took the pages' values, IDCANCEL (2) otherwise.
    int DoModal();

    // Sets the dialog up (run by DoModal; tests call it to look at the pages
    // without running the dialog).
    void InitDialog();
    // OK: stores every page into the theme, or keeps the dialog open when a
    // page refuses its values (false).
    bool ApplyToTheme();

    QTabWidget* GetTabControl() const { return m_Tabs; }
    int GetCommentTab() const { return m_CommentTab; }
    // The help context of the page shown now (0x20000 + its resource id).
    int GetHelpContext() const { return m_HelpContext; }

    CGeneralThemePropertiesDialog* GetGeneralPage() const { return m_General; }
    CSymbolDialog* GetSymbolPage() const { return m_Symbol; }
    CArcPropertiesDialog* GetArcPage() const { return m_Arc; }
    CPolygonPropertiesDialog* GetPolygonPage() const { return m_Polygon; }
    CRasterLayerPropertiesDialog* GetRasterPage() const { return m_Raster; }
    CInfoTipDefinitionDialog* GetInfoTipPage() const { return m_InfoTip; }
    CFontPropertiesDialog* GetFontPage() const { return m_Font; }
    CLabelStyleDialog* GetLabelPage() const { return m_Label; }
    CAdvancedPropertiesDialog* GetAdvancedPage() const { return m_Advanced; }
    CThemeCommentDialog* GetCommentPage() const { return m_Comment; }

    // WM_THEME_COLUMNS_CHANGED goes on to the info-tip page.
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    QObject* GetMessageObject() override { return this; }

    void accept() override;
    void reject() override;

private:
    void OnTabChanged(int index);
    void AddPage(QWidget* page, const QString& title);

    QTabWidget* m_Tabs;
    bool m_Initialised = false;
    int m_CommentTab = 6;
    int m_HelpContext = 0;
    CGeneralThemePropertiesDialog* m_General = nullptr;
    CSymbolDialog* m_Symbol = nullptr;
    CArcPropertiesDialog* m_Arc = nullptr;
    CPolygonPropertiesDialog* m_Polygon = nullptr;
    CRasterLayerPropertiesDialog* m_Raster = nullptr;
    CInfoTipDefinitionDialog* m_InfoTip = nullptr;
    CFontPropertiesDialog* m_Font = nullptr;
    CLabelStyleDialog* m_Label = nullptr;
    CAdvancedPropertiesDialog* m_Advanced = nullptr;
    CThemeCommentDialog* m_Comment = nullptr;
};

// Runs the dialog for the theme: the hint lines are "text\tvalue" lines
// whose value the general page's scale menus offer. True on OK.
bool ShowThemePropertiesDialog(QWidget* parent, CTheme& theme, CCorvaleDoc& document,
                               const std::vector<std::string>& hints);
