#pragma once
// A toolbar of the main frame. Plug-ins get theirs from the frame
// (CMainFrame::CreatePluginToolbar); the frame remembers, per button, which
// plug-in it belongs to and the plug-in's own id of it.
//
// The frame's own toolbars turn some buttons into richer controls: the Scale
// Control button into the list of map scales, Add Theme into a button with
// the recent shape files beside it, and the user-script buttons into buttons
// with their Invoke, Bind and Edit menu. Tooltips that depend on the moment
// (the script a button is bound to, a plug-in's button description) are
// asked for just before they show.

#include <QString>
#include <QToolBar>

#include <cstdint>
#include <functional>
#include <string>

class QComboBox;
class QMenu;
class QToolButton;

class CCorvaleToolBar : public QToolBar {
public:
    // Tooltip and status-bar description of a command; false when the
    // provider has none for it (the action's own texts show then).
    using TipProvider = std::function<bool(unsigned id, QString& tip, QString& description)>;

    // owner: the identity of the plug-in the toolbar was made for; 0 for the
    // program's own toolbars.
    CCorvaleToolBar(const QString& title, std::uint32_t owner, QWidget* parent = nullptr);

    std::uint32_t GetOwner() const { return m_Owner; }

    // The action of a command on this bar; null when there is none.
    QAction* FindCommand(unsigned id) const;

    // The Scale Control button becomes a drop-down list that keeps the
    // command, as wide as its longest entry (a free scale of a map of the
    // whole earth has nine digits); null when the bar has no such button.
    QComboBox* ReplaceWithScaleCombo();
    // Sizes the scale list to the widest text it now holds; called whenever
    // its entries change.
    static void FitScaleCombo(QComboBox* combo);
    // The list at that position of the bar; null when the position holds
    // something else.
    QComboBox* GetComboButton(int index) const;

    // The user-script button of command id gets a menu of the given actions
    // (Invoke, Bind, Edit); pressing the button or opening its menu makes it
    // the user-script button last used. False when the bar has no such
    // button.
    bool ReplaceWithUserScriptMenu(unsigned id, const QList<QAction*>& menuActions);
    // Add Theme gets the menu beside it, which its owner fills each time it
    // opens. False when the bar has no Add Theme button.
    bool ReplaceWithRecentFilesMenu(QMenu* menu);

    // The command id of the user-script button last used, in the whole
    // program; 0 before any.
    static unsigned GetClickedUserScriptId();
    static void SetClickedUserScriptId(unsigned id);

    void SetTipProvider(TipProvider provider) { m_TipProvider = std::move(provider); }
    // Asks the provider before the tooltip of every button of the bar shows.
    void WatchToolTips();
    // The texts the provider gives for a command; false without them.
    bool GetToolTipTexts(unsigned id, QString& tip, QString& description) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* ButtonOf(unsigned id) const;

    std::uint32_t m_Owner = 0;
    TipProvider m_TipProvider;
};

// The tooltip and description of a user-script button: what the button
// needs, or the bound script's path and its first lines.
void GetUserScriptTip(bool enabled, const std::string& scriptPath, std::string& tooltip,
                      std::string& description);

// The text of entry `index` (from 0) of a recent-file menu: a number prefix
// ("&1 " to "&9 ", "1&0 ", then "11 " ...; counted again after 16) and the
// name with every "&" doubled, so it shows as it is.
QString FormatRecentFileMenuText(int index, const QString& displayName);
// A recent file as its menu shows it: the bare name for a file of the
// current folder, else the path shortened in the middle to about 30
// characters.
QString RecentFileDisplayName(const QString& path, const QString& currentFolder);
