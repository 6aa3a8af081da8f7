// The main frame's side of the plug-ins' user interface: toolbars built from
// a plug-in's description, dockable tool panes, the enabled state of command
// items, and the commands of all of them. A button click and a command item
// reach only the plug-in that owns them.

#include "app/MainFrame.h"

#include "Gpi.h"
#include "app/CorvaleToolBar.h"
#include "app/CustomToolPane.h"
#include "core/StatisticsPlugin.h"
#include "settings/Registry.h"
#include "workspace/gpi/GpiHost.h"

#include <QAction>
#include <QDockWidget>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QSettings>

#include <algorithm>

namespace {

// Command ids handed out at run time.
constexpr unsigned kFirstPluginButtonId = 21000;
constexpr unsigned kLastPluginButtonId = 21999;
constexpr unsigned kLastPluginToolBarId = 20719;
constexpr unsigned kFirstPluginCommandItemId = 22010;
constexpr unsigned kLastPluginCommandItemId = 23009;
constexpr unsigned kFirstPluginWindowCommandId = 23010;
constexpr unsigned kLastPluginWindowCommandId = 23209;
// The tool pane's control id, kept as its object name.
constexpr int kToolPaneId = 1241;

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The part of a description before its first line feed, and the part after
// it (the whole text when there is none).
void SplitDescription(const std::string& description, std::string& prompt, std::string& tooltip) {
    const std::size_t newline = description.find('\n');
    if (newline == std::string::npos) {
        prompt.clear();
        tooltip = description;
        return;
    }
    prompt = description.substr(0, newline);
    tooltip = description.substr(newline + 1);
}

} // namespace

void CMainFrame::FillStatisticsPluginMenu(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        const unsigned id = action->data().toUInt();
        if (id >= ID_TABLE_STATISTICS_FIRST && id <= ID_TABLE_STATISTICS_LAST)
            menu->removeAction(action);
    }
    // The entries go between the seven statistics and the separator after them.
    const QList<QAction*> items = menu->actions();
    if (items.size() < 8 || items[0]->data().toUInt() != ID_COLUMN_STATISTICS_FIRST || !items[7]->isSeparator())
        return;
    QAction* separator = items[7];
    const std::vector<StatisticsPluginEntry> plugins = ListStatisticsPlugins(m_PluginFolder);
    const std::size_t count =
        std::min<std::size_t>(plugins.size(), ID_TABLE_STATISTICS_LAST - ID_TABLE_STATISTICS_FIRST + 1);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned id = static_cast<unsigned>(ID_TABLE_STATISTICS_FIRST + i);
        QAction* action = GetCommandAction(id);
        if (action == nullptr)
            action = AddCommand(id, QString());
        const StatisticsPluginEntry& plugin = plugins[i];
        // A name is shown as it is: an ampersand in it is no mnemonic.
        QString name = Text(plugin.m_Name.empty() ? plugin.m_Path.substr(plugin.m_Path.find_last_of('/') + 1)
                                                  : plugin.m_Name);
        action->setStatusTip(plugin.m_Description.empty() ? name : Text(plugin.m_Description));
        action->setText(name.replace(QLatin1Char('&'), QStringLiteral("&&")));
        menu->insertAction(separator, action);
        UpdateCommandUI(action);
    }
}

unsigned CMainFrame::NextPluginWindowCommand() {
    if (m_NextPluginWindowCommandId > kLastPluginWindowCommandId)
        return 0;
    return m_NextPluginWindowCommandId++;
}

void CMainFrame::RestorePluginWindow(QWidget* window, const std::string& ownerName, bool& restored) {
    // The state SaveAndClosePluginWindows wrote when the program last closed.
    auto settings = corvale::OpenRegistry();
    settings->beginGroup(
        corvale::EncodeRegistryValueName(GetPluginWindowSection(ownerName, window->windowTitle().toStdString())));
    const QByteArray geometry = settings->value(QStringLiteral("Geometry")).toByteArray();
    const bool visible = settings->value(QStringLiteral("Visible"), 1).toInt() != 0;
    settings->endGroup();
    restored = !geometry.isEmpty() && window->restoreGeometry(geometry);
    window->setVisible(visible);
}

CCorvaleToolBar* CMainFrame::CreatePluginToolbar(std::uint32_t plugin, const std::string& ownerName,
                                                 const GpiToolBarDesc* module, std::uint32_t resourceId,
                                                 const std::string& title) {
    // The description stands for the toolbar resource of the plug-in's
    // module: one that is not there, or not whole, makes no toolbar.
    if (module == nullptr || module->resourceId != resourceId ||
        (module->buttonCount != 0 && module->buttons == nullptr))
        return nullptr;
    std::uint32_t buttons = 0;
    for (std::uint32_t i = 0; i < module->buttonCount; ++i)
        if (module->buttons[i].id != 0)
            ++buttons;
    if (m_NextPluginToolBarId > kLastPluginToolBarId ||
        m_NextPluginButtonId + buttons > kLastPluginButtonId + 1)
        return nullptr;

    auto* toolbar = new CCorvaleToolBar(Text(title), plugin, this);
    toolbar->setObjectName(QStringLiteral("toolbar_%1").arg(m_NextPluginToolBarId++));
    // Separators keep their place but get no command id.
    for (std::uint32_t i = 0; i < module->buttonCount; ++i) {
        const GpiToolBarButtonDesc& desc = module->buttons[i];
        if (desc.id == 0) {
            toolbar->addSeparator();
            continue;
        }
        const unsigned id = m_NextPluginButtonId++;
        PluginButton button;
        button.plugin = plugin;
        button.description = desc.description != nullptr ? desc.description : "";
        button.oldId = desc.id;
        button.toolbar = toolbar;
        std::string prompt, tooltip;
        SplitDescription(button.description, prompt, tooltip);
        QImage image;
        QIcon icon;
        if (GpiCopyBitmap(desc.image, image))
            icon = QIcon(QPixmap::fromImage(image));
        QAction* action = AddCommand(id, Text(tooltip), icon, QKeySequence(), true);
        action->setStatusTip(Text(prompt));
        action->setToolTip(Text(tooltip));
        toolbar->addAction(action);
        m_PluginButtons[id] = button;
    }
    addToolBar(Qt::TopToolBarArea, toolbar);
    bool restored = false;
    RestorePluginWindow(toolbar, ownerName, restored);
    PluginWindow window;
    window.commandId = NextPluginWindowCommand();
    window.ownerName = ownerName;
    window.window = toolbar;
    m_PluginWindows.push_back(window);
    if (window.commandId != 0)
        AddCommand(window.commandId, Text(title), QIcon(), QKeySequence(), true);
    m_PluginToolBars.push_back(toolbar);
    // The tooltip and prompt of each button come from its description, as
    // the frame keeps it.
    toolbar->SetTipProvider(
        [this](unsigned id, QString& tip, QString& description) { return GetButtonTip(id, tip, description); });
    toolbar->WatchToolTips();
    for (QAction* action : static_cast<QToolBar*>(toolbar)->actions())
        UpdateCommandUI(action);
    return toolbar;
}

const CMainFrame::PluginButton* CMainFrame::FindPluginButton(unsigned id) const {
    const auto it = m_PluginButtons.find(id);
    return it == m_PluginButtons.end() ? nullptr : &it->second;
}

bool CMainFrame::GetPluginButtonTexts(unsigned id, std::string& prompt, std::string& tooltip) const {
    const PluginButton* button = FindPluginButton(id);
    if (button == nullptr)
        return false;
    SplitDescription(button->description, prompt, tooltip);
    return true;
}

void CMainFrame::EnablePluginToolButton(std::uint32_t buttonId, std::uint32_t plugin, CCorvaleToolBar* toolbar,
                                        bool enable) {
    for (auto& [id, button] : m_PluginButtons) {
        if (button.toolbar != toolbar || button.plugin != plugin || button.oldId != buttonId)
            continue;
        button.enabled = enable;
        UpdateCommandUI(GetCommandAction(id));
        return;
    }
}

void CMainFrame::CheckPluginToolButton(std::uint32_t buttonId, std::uint32_t plugin, CCorvaleToolBar* toolbar,
                                       bool check) {
    for (auto& [id, button] : m_PluginButtons) {
        if (button.toolbar != toolbar || button.plugin != plugin || button.oldId != buttonId)
            continue;
        button.checked = check;
        UpdateCommandUI(GetCommandAction(id));
        return;
    }
}

CCustomToolPane* CMainFrame::CreateCustomToolPane(const std::string& ownerName, const std::string& caption,
                                                  const GpiBitmap* icon) {
    auto* pane = new CCustomToolPane(Text(caption), this);
    pane->setObjectName(QStringLiteral("toolpane_%1_%2").arg(kToolPaneId).arg(m_PluginWindows.size()));
    pane->resize(200, 200);
    QImage image;
    if (icon != nullptr && GpiCopyBitmap(icon, image))
        pane->setWindowIcon(QIcon(QPixmap::fromImage(image)));
    addDockWidget(Qt::LeftDockWidgetArea, pane);
    bool restored = false;
    RestorePluginWindow(pane, ownerName, restored);
    if (!restored) {
        pane->setFloating(true);
        pane->setGeometry(200, 200, 400, 200);
    }
    PluginWindow window;
    window.commandId = NextPluginWindowCommand();
    window.ownerName = ownerName;
    window.window = pane;
    m_PluginWindows.push_back(window);
    if (window.commandId != 0)
        AddCommand(window.commandId, Text(caption), QIcon(), QKeySequence(), true);
    return pane;
}

void CMainFrame::EnablePluginCommandItem(unsigned commandId, bool enabled) {
    for (PluginCommandItem& item : m_PluginCommandItems)
        if (item.commandId == commandId)
            item.enabled = enabled;
}

bool CMainFrame::OnPluginCmdMsg(unsigned id, CCmdUI* ui) {
    // The statistics plug-ins of the Table menu: the program runs none of
    // their calculations and the attribute pane it would forward them to has
    // nothing to do with them, so they stay disabled and a stray command ends
    // here.
    if (id >= ID_TABLE_STATISTICS_FIRST && id <= ID_TABLE_STATISTICS_LAST) {
        if (ui != nullptr) {
            ui->Enable(false);
            ui->m_Handled = true;
        }
        return true;
    }
    if (id >= kFirstPluginButtonId && id <= kLastPluginButtonId) {
        const PluginButton* button = FindPluginButton(id);
        if (button == nullptr)
            return false;
        if (ui != nullptr) {
            ui->Enable(button->enabled);
            ui->SetCheck(button->checked ? 1 : 0);
            ui->m_Handled = true;
        } else {
            // Only the plug-in whose button it is hears of the click, by
            // the id it gave the button: the frame's id means nothing to it.
            GpiNotifyToolBarButton(button->plugin, button->oldId);
        }
        return true;
    }
    if (id >= kFirstPluginCommandItemId && id <= kLastPluginCommandItemId) {
        const auto item = std::find_if(m_PluginCommandItems.begin(), m_PluginCommandItems.end(),
                                       [id](const PluginCommandItem& each) { return each.commandId == id; });
        if (item == m_PluginCommandItems.end())
            return false;
        if (ui != nullptr) {
            ui->Enable(item->enabled);
            ui->SetCheck(item->checked ? 1 : 0);
            ui->m_Handled = true;
        } else {
            GpiNotifyCommandItem(item->plugin, id, item->pluginData);
        }
        return true;
    }
    if (id >= kFirstPluginWindowCommandId && id <= kLastPluginWindowCommandId) {
        const auto entry = std::find_if(m_PluginWindows.begin(), m_PluginWindows.end(),
                                        [id](const PluginWindow& each) { return each.commandId == id; });
        if (entry == m_PluginWindows.end() || entry->window.isNull())
            return false;
        QWidget* window = entry->window.data();
        if (ui != nullptr) {
            ui->Enable(true);
            ui->SetCheck(window->isVisible() ? 1 : 0);
            ui->m_Handled = true;
        } else {
            window->setVisible(!window->isVisible());
        }
        return true;
    }
    return false;
}

void AddPluginWindowServices(GpiFrameServices& services, std::function<CMainFrame*()> frame) {
    // A toolbar the frame no longer has (its windows were closed) is not
    // looked into.
    auto known = [frame](CCorvaleToolBar* toolbar) -> QToolBar* {
        CMainFrame* main = frame();
        if (main == nullptr)
            return nullptr;
        const auto& bars = main->GetPluginToolBars();
        return std::find(bars.begin(), bars.end(), toolbar) != bars.end() ? toolbar : nullptr;
    };
    services.createPluginToolbar = [frame](std::uint32_t identity, const std::string& guidText,
                                           const GpiToolBarDesc* module, std::uint32_t resourceId,
                                           const std::string& name) -> CCorvaleToolBar* {
        CMainFrame* main = frame();
        return main != nullptr ? main->CreatePluginToolbar(identity, guidText, module, resourceId, name) : nullptr;
    };
    services.toolbarButtonCount = [known](CCorvaleToolBar* toolbar) -> std::uint32_t {
        QToolBar* bar = known(toolbar);
        return bar != nullptr ? static_cast<std::uint32_t>(bar->actions().size()) : 0;
    };
    services.enablePluginToolButton = [frame](std::uint32_t buttonId, std::uint32_t identity,
                                              CCorvaleToolBar* toolbar, bool enable) {
        if (CMainFrame* main = frame())
            main->EnablePluginToolButton(buttonId, identity, toolbar, enable);
    };
    services.checkPluginToolButton = [frame](std::uint32_t buttonId, std::uint32_t identity,
                                             CCorvaleToolBar* toolbar, bool check) {
        if (CMainFrame* main = frame())
            main->CheckPluginToolButton(buttonId, identity, toolbar, check);
    };
    // The toolbar's own showing, not its window's: stable while the frame
    // is hidden or minimised.
    services.toolbarState = [known](CCorvaleToolBar* toolbar) -> std::uint32_t {
        QToolBar* bar = known(toolbar);
        return bar != nullptr && !bar->isHidden() ? 1 : 0;
    };
    services.enableCommandItem = [frame](std::uint32_t commandId, bool enabled) {
        if (CMainFrame* main = frame())
            main->EnablePluginCommandItem(commandId, enabled);
    };
    services.createToolPane = [frame](const std::string& guidText, const std::string& caption,
                                      const GpiBitmap* icon) -> CCustomToolPane* {
        CMainFrame* main = frame();
        return main != nullptr ? main->CreateCustomToolPane(guidText, caption, icon) : nullptr;
    };
    services.toolPaneWindow = [frame](CCustomToolPane* pane) -> void* {
        // A pane the frame has closed has no window left.
        CMainFrame* main = frame();
        if (main == nullptr)
            return nullptr;
        for (const auto& entry : main->GetPluginWindows())
            if (entry.window.data() == pane)
                return pane->GetClientWidget();
        return nullptr;
    };
}
