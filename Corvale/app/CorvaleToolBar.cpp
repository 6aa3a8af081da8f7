#include "app/CorvaleToolBar.h"

#include "app/AppIds.h"
#include "workspace/CommandIds.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTextStream>
#include <QToolButton>

namespace {

unsigned g_ClickedUserScriptId = 0;

constexpr int kScriptTipLines = 6;
constexpr int kScriptTipLineLength = 1024;
constexpr int kRecentDisplayLength = 30;

} // namespace

CCorvaleToolBar::CCorvaleToolBar(const QString& title, std::uint32_t owner, QWidget* parent)
    : QToolBar(title, parent), m_Owner(owner) {}

unsigned CCorvaleToolBar::GetClickedUserScriptId() { return g_ClickedUserScriptId; }
void CCorvaleToolBar::SetClickedUserScriptId(unsigned id) { g_ClickedUserScriptId = id; }

QAction* CCorvaleToolBar::FindCommand(unsigned id) const {
    for (QAction* action : actions())
        if (!action->isSeparator() && action->data().isValid() && action->data().toUInt() == id)
            return action;
    return nullptr;
}

QToolButton* CCorvaleToolBar::ButtonOf(unsigned id) const {
    QAction* action = FindCommand(id);
    return action != nullptr ? qobject_cast<QToolButton*>(widgetForAction(action)) : nullptr;
}

QComboBox* CCorvaleToolBar::ReplaceWithScaleCombo() {
    QAction* button = FindCommand(ID_SCALE_CONTROL);
    if (button == nullptr || qobject_cast<QComboBox*>(widgetForAction(button)) != nullptr)
        return nullptr;
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("ScaleControl"));
    combo->setEditable(false);
    // A scale cut to its first digits reads ten or a hundred times wrong, so
    // the box follows the widest text it holds, the free scale included.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setToolTip(button->toolTip());
    combo->setStatusTip(button->statusTip());
    QAction* widgetAction = insertWidget(button, combo);
    widgetAction->setData(ID_SCALE_CONTROL);
    widgetAction->setText(button->text());
    removeAction(button);
    FitScaleCombo(combo);
    return combo;
}

void CCorvaleToolBar::FitScaleCombo(QComboBox* combo) {
    if (combo == nullptr)
        return;
    // The size hint of a list that adjusts to its contents measures every
    // entry in the list's font, with room for the frame and the arrow.
    const int width = combo->sizeHint().width();
    if (combo->minimumWidth() != width || combo->maximumWidth() != width)
        combo->setFixedWidth(width);
}

QComboBox* CCorvaleToolBar::GetComboButton(int index) const {
    const QList<QAction*> list = actions();
    if (index < 0 || index >= list.size())
        return nullptr;
    return qobject_cast<QComboBox*>(widgetForAction(list[index]));
}

bool CCorvaleToolBar::ReplaceWithUserScriptMenu(unsigned id, const QList<QAction*>& menuActions) {
    QToolButton* button = ButtonOf(id);
    if (button == nullptr)
        return false;
    // Each button has a menu of its own, so that opening it tells which
    // button the Invoke, Bind and Edit commands are meant for. A reset
    // replaces the menu of an earlier one.
    if (QMenu* old = button->menu()) {
        button->setMenu(nullptr);
        old->deleteLater();
        disconnect(button, &QToolButton::pressed, this, nullptr);
    }
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("UserScriptMenu%1").arg(id));
    menu->addActions(menuActions);
    connect(menu, &QMenu::aboutToShow, this, [id] { SetClickedUserScriptId(id); });
    connect(button, &QToolButton::pressed, this, [id] { SetClickedUserScriptId(id); });
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->installEventFilter(this);
    return true;
}

bool CCorvaleToolBar::ReplaceWithRecentFilesMenu(QMenu* menu) {
    QToolButton* button = ButtonOf(ID_INSERT_ADD_THEME);
    if (button == nullptr || menu == nullptr)
        return false;
    menu->setParent(button, menu->windowFlags());
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    return true;
}

void CCorvaleToolBar::WatchToolTips() {
    for (QAction* action : actions())
        if (QWidget* widget = widgetForAction(action))
            widget->installEventFilter(this);
}

bool CCorvaleToolBar::GetToolTipTexts(unsigned id, QString& tip, QString& description) const {
    return m_TipProvider && m_TipProvider(id, tip, description);
}

bool CCorvaleToolBar::eventFilter(QObject* watched, QEvent* event) {
    // Entering a button shows its description in the status bar, resting
    // on it its tooltip: both are brought up to date first.
    if (event->type() == QEvent::ToolTip || event->type() == QEvent::Enter) {
        if (auto* button = qobject_cast<QToolButton*>(watched); button != nullptr && button->defaultAction() != nullptr) {
            QAction* action = button->defaultAction();
            QString tip, description;
            if (action->data().isValid() && GetToolTipTexts(action->data().toUInt(), tip, description)) {
                action->setToolTip(tip);
                action->setStatusTip(description);
            }
        }
    }
    return QToolBar::eventFilter(watched, event);
}

void GetUserScriptTip(bool enabled, const std::string& scriptPath, std::string& tooltip, std::string& description) {
    if (!enabled) {
        tooltip = "Invoke a script.";
        description = "This button needs an active workspace to be enabled.\n"
                      "Use File menu to load or create a new workspace.";
        return;
    }
    if (scriptPath.empty()) {
        tooltip = "Invoke a script.";
        description = "This button is currently not bound to any script.\n"
                      "Click to bind a script to this button.";
        return;
    }
    tooltip = scriptPath;
    QFile file(QString::fromStdString(scriptPath));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        description = "Error: Script file not found.";
        return;
    }
    QTextStream in(&file);
    QStringList lines;
    while (!in.atEnd() && lines.size() < kScriptTipLines)
        lines << in.readLine().left(kScriptTipLineLength);
    QString text = lines.join(QStringLiteral("\r\n"));
    if (!in.atEnd())
        text += QStringLiteral("\r\n...");
    description = text.toStdString();
}

QString FormatRecentFileMenuText(int index, const QString& displayName) {
    const int n = (index % 16) + 1;
    QString prefix;
    if (n < 10)
        prefix = QStringLiteral("&%1 ").arg(n);
    else if (n == 10)
        prefix = QStringLiteral("1&0 ");
    else
        prefix = QStringLiteral("%1 ").arg(n);
    QString name = displayName;
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return prefix + name;
}

QString RecentFileDisplayName(const QString& path, const QString& currentFolder) {
    const QFileInfo info(path);
    if (!currentFolder.isEmpty() && QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(currentFolder))
        return info.fileName();
    if (path.size() <= kRecentDisplayLength)
        return path;
    // The start of the path and as much of its end as fits.
    const int tail = kRecentDisplayLength - 10;
    return path.left(7) + QStringLiteral("...") + path.right(tail);
}
