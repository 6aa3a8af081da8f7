#pragma once
// What the grid panes need of dialogs and windows that live above them (or
// that do not exist yet), reached through one interface.
//
// The program installs the implementation that opens the real dialogs and
// forwards commands to the main window; tests install one that records the
// calls and answers as told. Until something is installed the defaults
// answer: no dialog exists (Has... false, so the commands that open one stay
// disabled), a dialog asked for anyway is cancelled, forwarded commands are
// disabled. A beep goes to the desktop, a result text to the message box of
// the user-interface seam.

#include <map>
#include <string>
#include <vector>

class CAttributesGridPane;
class CCmdUI;
class CGridPane;
class CTheme;
class QWidget;

// What the find dialog searches for (its fields as the pane reads them).
struct CFindRequest {
    std::string m_Text;
    bool m_MatchCase = false;
    bool m_EntireField = false;
    // Searches towards higher rows; false searches up.
    bool m_Down = true;
    // Only the checked columns are searched.
    bool m_ChosenColumnsOnly = false;
    // One flag per column, in field order.
    std::vector<bool> m_CheckedFields;
};

class IGridPaneServices {
public:
    virtual ~IGridPaneServices();

    virtual void Beep();
    // A result to read (the column statistics); the message box by default.
    virtual void ShowTextInformation(QWidget* parent, const std::string& title, const std::string& text);
    // Opens a link with the desktop's handler.
    virtual void OpenUrl(const std::string& url);

    // ---- commands that belong to the main window ----
    // Select All, Clear Selection, Copy, Cut, Paste of the grid's menu run
    // as the main window's commands.
    virtual void ForwardCommand(unsigned id);
    virtual void UpdateForwardedCommand(unsigned id, CCmdUI& ui);

    // ---- dialogs ----
    // The go-to dialog: modeless, it calls CGridPane::GoToRow for its "go".
    virtual bool HasGoToDialog() const;
    virtual void ShowGoToDialog(CGridPane& pane);
    // The find dialog: modeless, it calls CAttributesGridPane::FindNext with
    // its fields. The request gives its starting fields (the value chosen in
    // a value list with its column).
    virtual bool HasFindDialog() const;
    virtual void ShowFindDialog(CAttributesGridPane& pane, CTheme* theme, const CFindRequest* preset);
    // The theme's columns changed (or the theme went): the find dialog
    // refreshes its field list when it is open.
    virtual void RefreshFindDialog(CAttributesGridPane& pane, CTheme* theme);
    // The query dialog: modeless, it calls CAttributesGridPane::QueryCallback.
    virtual bool HasQueryDialog() const;
    virtual void ShowQueryDialog(CAttributesGridPane& pane, CTheme* theme);
    // Gives an open query dialog its theme (null: none).
    virtual void SetQueryDialogTheme(CAttributesGridPane& pane, CTheme* theme);
    // "Selection": which rows the statistics run over (0 all shapes, 1
    // selected shapes, 2 unselected shapes); false when cancelled.
    virtual bool HasStatisticsSelectionDialog() const;
    virtual bool ChooseStatisticsRows(QWidget* parent, int& choice);
    // "Table Check Options" (Ignore blank data); false when cancelled.
    virtual bool HasTableCheckDialogs() const;
    virtual bool ChooseTableCheckOptions(QWidget* parent, bool& ignoreBlank);
    // "Value List" (kind 1) or "Duplicate Data Items" (kind 2) over the
    // counted keys; true with the chosen value when it is confirmed.
    // A choice from a list under a prompt (the combo-box dialog); false when
    // cancelled, else choice is the index chosen.
    virtual bool ChooseFromList(QWidget* parent, const std::string& prompt, const std::vector<std::string>& choices,
                                int& choice);
    virtual bool ShowDuplicateData(QWidget* parent, const std::map<std::string, int>& counts,
                                   const std::string& label, bool singleColumn, int kind, std::string& chosen);
};

// The installed implementation (never null).
IGridPaneServices& GridPaneServices();
// Installs an implementation (not owned); null goes back to the defaults.
void SetGridPaneServices(IGridPaneServices* services);
