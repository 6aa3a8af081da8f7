#include "app/MainFrame.h"

#include "app/ChildFrame.h"
#include "app/CommandIcons.h"
#include "app/CorvaleStatusBar.h"
#include "app/CorvaleToolBar.h"
#include "app/CorvaleApp.h"
#include "core/ColorRef.h"
#include "core/LoaderPlugin.h"
#include "crs/RefSysTable.h"
#include "panes/AttributesGridPane.h"
#include "panes/LegendPane.h"
#include "panes/BookmarksGridPane.h"
#include "panes/CoordinatesGridPane.h"
#include "panes/StatisticsGridPane.h"
#include "panes/PaneDialogServices.h"
#include "settings/AppSettings.h"
#include "framework/UserInterface.h"
#include "settings/Registry.h"
#include "ui/OptionsDialog.h"
#include "ui/PluginOptionPages.h"
#include "ui/ThemePropertiesDialog.h"
#include "view/GeoView.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/RecentShapeFileList.h"
#include "workspace/WorkspaceFileLoader.h"
#include "workspace/gpi/GpiHost.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace {

// The scales offered in the scale box.
const char* const kScales[] = {"1:5000",    "1:10000",   "1:25000",   "1:50000",
                               "1:100000",  "1:250000",  "1:500000",  "1:1000000",
                               "1:2500000", "1:5000000", "1:10000000", "1:25000000"};

constexpr int kFreeScaleData = -1;
constexpr const char* kCustomize = "Customize...";
constexpr int kApplicationLookDefault = 216;
// The first size of the window, made smaller on a screen that has no room
// for it, with room left for a window manager's frame and title bar.
constexpr int kDefaultFrameWidth = 1200;
constexpr int kDefaultFrameHeight = 800;
constexpr int kDecorationAllowanceX = 16;
constexpr int kDecorationAllowanceY = 48;

std::uint32_t g_ProgressBarColor = 0x0080FF;

// The grid panes reach the main window's commands through the frame, and
// their dialogs through the dialog services.
class CFramePaneServices : public CDialogGridPaneServices {
public:
    QPointer<CMainFrame> m_Frame;
    void ForwardCommand(unsigned id) override {
        if (m_Frame != nullptr)
            m_Frame->ExecuteCommand(id);
    }
    void UpdateForwardedCommand(unsigned id, CCmdUI& ui) override {
        QAction* action = m_Frame != nullptr ? m_Frame->GetCommandAction(id) : nullptr;
        if (action != nullptr)
            m_Frame->UpdateCommandUI(action);
        ui.Enable(action != nullptr && action->isEnabled());
    }
};
CFramePaneServices g_PaneServices;

// The pane widget inside a docking pane; null when it is not of that class.
template <class Pane> Pane* PaneWidget(const CMainFrame& frame, int id) {
    QDockWidget* dock = frame.GetPane(id);
    return dock != nullptr ? dynamic_cast<Pane*>(dock->widget()) : nullptr;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string WithSlash(const QString& folder) {
    std::string path = QDir::cleanPath(folder).toStdString();
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

} // namespace

void CMainFrame::SetProgressBarColor(std::uint32_t color) { g_ProgressBarColor = color; }

CMainFrame::CMainFrame() {
    setObjectName(QStringLiteral("MainFrame"));
    m_ProgramFolder = WithSlash(QCoreApplication::applicationDirPath());
    m_PluginFolder = m_ProgramFolder + "Plugins/";
    m_ScriptFolder = m_ProgramFolder + "Scripts/";
    m_ScriptTemplateFolder = m_ProgramFolder + "Templates/JavaScript/";

    auto settings = corvale::OpenRegistry();
    m_ApplicationLook = corvale::ReadRegistryInt(*settings, QStringLiteral("ApplicationLook"), kApplicationLookDefault);

    // File-name changes in the plug-in folder mark the loader list for
    // reading again; a folder that cannot be watched is read at every poll.
    m_PluginWatcher = new QFileSystemWatcher(this);
    if (QFileInfo(Q(m_PluginFolder)).isDir())
        m_PluginWatcher->addPath(Q(m_PluginFolder));
    connect(m_PluginWatcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_LoaderListDirty = true; });
}

CMainFrame::~CMainFrame() {
    // The plug-ins stop while every window they may know of still exists.
    UnloadGpiPlugins();
    // The legend's menus route through this frame no longer.
    SetLegendPaneServices(CLegendPaneServices());
    m_Closing = true;
    m_LastActiveDocument = nullptr;
    // The child windows go after this object has stopped being a frame: the
    // area must not report their going to it.
    if (m_MdiArea != nullptr)
        QObject::disconnect(m_MdiArea, nullptr, this, nullptr);
    QObject::disconnect(m_PluginWatcher, nullptr, this, nullptr);
    for (const auto& [id, dock] : m_DockPanes)
        QObject::disconnect(dock, nullptr, this, nullptr);
}

bool CMainFrame::IsPluginFolderWatched() const { return !m_PluginWatcher->directories().isEmpty(); }

bool CMainFrame::PollPluginFolder() {
    if (!IsPluginFolderWatched()) {
        // The folder may have appeared since: watch it from now on.
        if (QFileInfo(Q(m_PluginFolder)).isDir())
            m_PluginWatcher->addPath(Q(m_PluginFolder));
        m_LoaderListDirty = true;
    }
    return m_LoaderListDirty;
}

void CMainFrame::SetPluginFolder(const std::string& folder) {
    if (!m_PluginWatcher->directories().isEmpty())
        m_PluginWatcher->removePaths(m_PluginWatcher->directories());
    m_PluginFolder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    if (QFileInfo(Q(m_PluginFolder)).isDir())
        m_PluginWatcher->addPath(Q(m_PluginFolder));
    m_LoaderListDirty = true;
}

std::vector<CMainFrame::LoaderEntry> CMainFrame::ReadLoaderList(const std::string& folder) {
    std::vector<LoaderEntry> entries;
    const QDir dir(Q(folder));
    const QStringList names = dir.entryList({QStringLiteral("*.ldr")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const std::string path = dir.filePath(name).toStdString();
        // Binding reads the name and tells a loader from a file that only
        // carries the extension; the module is let go again at once.
        CLoaderPlugin loader;
        loader.Load(path);
        if (loader.m_Valid)
            entries.push_back({path, loader.m_Name.empty() ? name.toStdString() : loader.m_Name});
    }
    return entries;
}

const std::vector<CMainFrame::LoaderEntry>& CMainFrame::GetLoaderList() {
    if (PollPluginFolder()) {
        m_Loaders = ReadLoaderList(m_PluginFolder);
        m_LoaderListDirty = false;
    }
    return m_Loaders;
}

std::string CMainFrame::GetLoaderPluginPath(unsigned index) const {
    return index < m_Loaders.size() ? m_Loaders[index].m_Path : std::string();
}

void CMainFrame::FillLoaderMenu(QMenu* menu) {
    menu->clear();
    const std::vector<LoaderEntry>& loaders = GetLoaderList();
    const std::size_t count =
        std::min<std::size_t>(loaders.size(), ID_ADD_FROM_DATA_SOURCE_LAST - ID_ADD_FROM_DATA_SOURCE_FIRST + 1);
    for (std::size_t i = 0; i < count; ++i) {
        QAction* action = m_Actions[static_cast<unsigned>(ID_ADD_FROM_DATA_SOURCE_FIRST + i)];
        action->setText(QString::fromStdString(loaders[i].m_Name));
        action->setToolTip(Q(loaders[i].m_Path));
        menu->addAction(action);
        UpdateCommandUI(action);
    }
    // The plug-ins' own items for adding themes follow the loaders.
    PlacePluginCommandItems(menu, kPlaceAddThemeFrom, nullptr);
    if (menu->isEmpty()) {
        QAction* none = menu->addAction(tr("<Empty>"));
        none->setEnabled(false);
    }
    // An empty list is shown grayed where it opens from.
    menu->menuAction()->setEnabled(menu->actions().size() != 1 || menu->actions().front()->isEnabled());
}

// ---------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------

bool CMainFrame::Create() {
    CAppSettings::GetInstance()->Load();

    setWindowTitle(QStringLiteral("Corvale"));
    setAcceptDrops(true);
    FitToScreen();

    m_MdiArea = new QMdiArea(this);
    m_MdiArea->setObjectName(QStringLiteral("MdiArea"));
    m_MdiArea->setViewMode(QMdiArea::TabbedView);
    m_MdiArea->setDocumentMode(true);
    m_MdiArea->setTabsClosable(true);
    m_MdiArea->setTabsMovable(true);
    m_MdiArea->setTabShape(QTabWidget::Rounded);
    m_MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_MdiArea);
    connect(m_MdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) { OnSubWindowActivated(w); });

    OnApplicationLook(m_ApplicationLook);
    CreateCommands();
    CreateMenuCommands();
    if (!CreateMenuBar() || !CreateToolBars() || !CreateStatusBar() || !CreateDockingWindows())
        return false;
    CreateDynamicMenus();
    ApplyCommandIcons();
    OnToolbarReset(IDR_MAINFRAME);
    OnToolbarReset(IDR_SCRIPT_TOOLBAR);
    UpdateFrameTitle();
    return true;
}

void CMainFrame::FitToScreen() {
    QSize size(kDefaultFrameWidth, kDefaultFrameHeight);
    QScreen* screen = this->screen();
    if (screen == nullptr) {
        resize(size);
        return;
    }
    // The window manager's frame and title bar come on top of the size asked
    // for; they must fit too.
    const QRect available = screen->availableGeometry();
    const QSize room(std::max(available.width() - kDecorationAllowanceX, 320),
                     std::max(available.height() - kDecorationAllowanceY, 240));
    size = size.boundedTo(room);
    resize(size);
    move(available.left() + std::max(0, (available.width() - size.width() - kDecorationAllowanceX) / 2),
         available.top() + std::max(0, (available.height() - size.height() - kDecorationAllowanceY) / 2));
}

QAction* CMainFrame::AddCommand(unsigned id, const QString& text, const QIcon& icon, const QKeySequence& shortcut,
                                bool checkable) {
    auto* action = new QAction(icon, text, this);
    action->setData(id);
    action->setObjectName(QStringLiteral("command_%1").arg(id));
    action->setCheckable(checkable);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    const char* prompt = GetCommandPrompt(id);
    if (prompt != nullptr) {
        const QString promptText = QString::fromUtf8(prompt);
        const int newline = promptText.indexOf(QLatin1Char('\n'));
        action->setStatusTip(newline < 0 ? promptText : promptText.left(newline));
        if (newline >= 0)
            action->setToolTip(promptText.mid(newline + 1));
    }
    connect(action, &QAction::triggered, this, [this, id, action] {
        ExecuteCommand(id);
        // A checkable action's look follows the command's state, not the click.
        UpdateCommandUI(action);
    });
    m_Actions[id] = action;
    return action;
}

void CMainFrame::CreateCommands() {
    // The toolbar pictures are given afterwards, all in one place
    // (ApplyCommandIcons).
    AddCommand(ID_FILE_NEW, tr("&New"), QIcon(), QKeySequence::New);
    AddCommand(ID_FILE_OPEN, tr("&Open..."), QIcon(), QKeySequence::Open);
    AddCommand(ID_FILE_CLOSE, tr("&Close"));
    AddCommand(ID_FILE_SAVE, tr("&Save"), QIcon(), QKeySequence::Save);
    AddCommand(ID_FILE_SAVE_AS, tr("Save &As..."));
    AddCommand(ID_MAP_VIEW_PRINT, tr("&Print..."), QIcon(), QKeySequence::Print);
    AddCommand(ID_MAP_VIEW_PRINT_PREVIEW, tr("Print Pre&view"));
    AddCommand(ID_FILE_SAVE_MAP_IMAGE, tr("Save &Map As Image(s)..."));
    AddCommand(ID_APP_EXIT, tr("E&xit"));
    AddCommand(ID_WORKSPACE_SHOW_PROPERTIES, tr("Workspace &Properties..."));

    AddCommand(ID_EDIT_CUT, tr("Cu&t"), QIcon(), QKeySequence::Cut);
    AddCommand(ID_EDIT_COPY, tr("&Copy"), QIcon(), QKeySequence::Copy);
    AddCommand(ID_EDIT_PASTE, tr("&Paste"), QIcon(), QKeySequence::Paste);
    AddCommand(ID_EDIT_DELETE, tr("&Delete"), QIcon(), QKeySequence::Delete);
    AddCommand(ID_EDIT_COPY_AS_GEOJSON, tr("Copy as GeoJSON"));
    AddCommand(ID_EDIT_COPY_AS_WKT, tr("Copy as WKT"));
    AddCommand(ID_EDIT_MULTI_EDIT, tr("Multi-&Edit Attributes..."));
    AddCommand(ID_TABLE_FIND, tr("&Find..."), QIcon(), QKeySequence::Find);
    AddCommand(ID_EDIT_FIND_NEXT, tr("Find &Next"));
    AddCommand(ID_EDIT_FIND_PREVIOUS, tr("Find Pre&vious"));
    AddCommand(ID_TABLE_GO_TO, tr("&Go To"), QIcon(), QKeySequence(Qt::CTRL | Qt::Key_G));
    AddCommand(ID_EDIT_SHAPE_DATA, tr("Shape Data..."), QIcon(), QKeySequence(Qt::Key_F9));
    AddCommand(ID_CONTEXT_HELP, tr("&What's This?"));

    AddCommand(ID_INSERT_ADD_THEME, tr("&Add Theme..."));
    AddCommand(ID_FILE_IMPORT_WORKSPACE, tr("Import From &Workspace File..."));
    AddCommand(ID_TOOL_SELECT, tr("&Select"), QIcon(), {}, true);
    AddCommand(ID_TOOL_SELECT_RECTANGLE, tr("Select (&rectangle)"), QIcon(), {},
               true);
    AddCommand(ID_TOOL_SELECT_CIRCLE, tr("Select (&circle)"), QIcon(), {}, true);
    AddCommand(ID_TOOL_SELECT_POLYGON, tr("Select (&polygon)"), QIcon(), {}, true);
    AddCommand(ID_TOOL_PAN, tr("&Pan"), QIcon(), {}, true);
    AddCommand(ID_TOOL_ZOOM_IN, tr("Zoom &In"), QIcon(), {}, true);
    AddCommand(ID_TOOL_ZOOM_OUT, tr("Zoom &Out"), QIcon(), {}, true);
    AddCommand(ID_TOOL_MEASURE, tr("&Measure"), QIcon(), {}, true);
    AddCommand(ID_TOOL_VERTEX_MODE, tr("&Vertex Mode"), QIcon(), {}, true);
    AddCommand(ID_TOOL_BOUNDING_BOXES, tr("&Bounding Boxes"), QIcon(), {}, true);
    AddCommand(ID_SELECTION_FILTER, tr("&Filter Selected"));
    AddCommand(ID_SELECTION_INVERT_FILTER, tr("&Invert Filter"));
    AddCommand(ID_SELECTION_REMOVE_FILTER, tr("&Remove Filter"), QIcon(), {}, true);
    AddCommand(ID_THEME_ZOOM_TO_THEME, tr("Zoom to &Theme"));
    AddCommand(ID_THEME_ZOOM_TO_SELECTION, tr("Zoom to &Selection"));
    AddCommand(ID_THEME_ZOOM_TO_MAKE_VISIBLE, tr("Zoom to &Make Visible"));
    AddCommand(ID_WORKSPACE_TRANSFORM, tr("T&ransform..."));
    AddCommand(ID_THEME_EXPORT, tr("E&xport..."));
    AddCommand(ID_VIEW_ZOOM_FULL_EXTENT, tr("&Full Extent"));
    AddCommand(ID_VIEW_CENTER_MAP, tr("&Center Map..."));
    AddCommand(ID_VIEW_EDIT_VIEW_RECTANGLE, tr("Edit View &Rectangle..."));
    AddCommand(ID_MAP_VIEW_OVERVIEW, tr("Map &Overview"));
    AddCommand(ID_MAP_VIEW_COPY_IMAGE, tr("Copy Map &Image"));
    AddCommand(ID_MAP_VIEW_SIGNATURE, tr("Map &Signature..."));
    AddCommand(ID_VIEW_FIND_THEME, tr("Find T&heme"));
    AddCommand(ID_VIEW_CONSOLE, tr("&Console..."));
    AddCommand(ID_VIEW_VECTORIZATION_PARAMETERS, tr("&Vectorization Parameters..."));
    AddCommand(ID_VIEW_STATUS_BAR, tr("&Status Bar"), {}, {}, true);
    AddCommand(ID_VIEW_FULLSCREEN, tr("F&ull Screen"), {}, QKeySequence::FullScreen, true);

    AddCommand(ID_SCRIPT_FROM_TEMPLATE, tr("JavaScript Creator..."));
    for (unsigned id = ID_USER_SCRIPT_FIRST; id <= ID_USER_SCRIPT_LAST; ++id)
        AddCommand(id, tr("User Script %1").arg(id - ID_USER_SCRIPT_FIRST + 1));

    AddCommand(ID_THEME_ENABLE_EDITING, tr("&Enable Editing"), QIcon(), {}, true);
    AddCommand(ID_GEOMETRY_SNAP_TO_GRID, tr("Snap to &Grid..."));
    // Freehand editing snapped to the grid: the Edit toolbar's grid button.
    AddCommand(ID_GEOMETRY_AUTO_SNAP, tr("&Autosnap to Grid"), QIcon(), {}, true);
    // The geometry commands of the Edit menu's Advanced Edit submenu.
    AddCommand(ID_GEOMETRY_MERGE_TO_COPY, tr("&Merge to Multipart Copy"));
    AddCommand(ID_GEOMETRY_SPLIT_TO_COPIES, tr("&Split to Single Part Copies"));
    AddCommand(ID_GEOMETRY_SIMPLIFY_PARTS, tr("Simplify Polyline &Parts"));
    AddCommand(ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES, tr("Simplify S&hapes"));
    AddCommand(ID_GEOMETRY_REVERSE_COORDINATES, tr("&Reverse Coordinates"));
    AddCommand(ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD, tr("Create Polyline on &Clipboard"));
    AddCommand(ID_TOOL_DRAW_NEW, tr("&Draw New"), QIcon(), {}, true);
    AddCommand(ID_TOOL_ADJUST_VERTEX, tr("&Adjust Vertex"), QIcon(), {}, true);
    AddCommand(ID_TOOL_NEW_VERTEX, tr("&New Vertex"), QIcon(), {}, true);
    AddCommand(ID_TOOL_SPLIT_POLYLINE, tr("&Split Polyline"), QIcon(), {}, true);
    AddCommand(ID_EDIT_TOP_Z_ORDER, tr("&Top Z-Order"));
    AddCommand(ID_EDIT_BOTTOM_Z_ORDER, tr("&Bottom Z-Order"));

    // The selection commands of the active theme and the theme management
    // commands, which the document carries.
    AddCommand(ID_SELECTION_SELECT_ALL, tr("Select &All"), {}, QKeySequence(Qt::CTRL | Qt::Key_A));
    AddCommand(ID_SELECTION_INVERT, tr("&Invert Selection"), {}, QKeySequence(Qt::CTRL | Qt::Key_I));
    AddCommand(ID_SELECTION_CLEAR, tr("Clear &Selection"));
    AddCommand(ID_SELECTION_MULTIPART, tr("&Multipart Shapes"));
    AddCommand(ID_SELECTION_CLIPBOARD_POLYGONS, tr("&Intersecting Clipboard Polygons"));
    AddCommand(ID_SELECTION_POINT_COUNT, tr("&Point Count..."));
    AddCommand(ID_SELECTION_BOUNDS, tr("Selection Bounds..."));
    AddCommand(ID_SELECTION_BUILD_ATTRIBUTE_LIST, tr("&Build Attribute List..."));
    AddCommand(ID_THEME_NEW_POINTS, tr("&Points"));
    AddCommand(ID_THEME_NEW_POLYLINES, tr("Poly&line"));
    AddCommand(ID_THEME_NEW_POLYGONS, tr("Poly&gons"));
    AddCommand(ID_THEME_NEW_FROM_SELECTION, tr("From &Selection"));
    AddCommand(ID_THEME_NEW_BOUNDING_BOXES, tr("&Bounding Boxes"));
    AddCommand(ID_THEME_END_POINTS, tr("Polyline &End Points"));
    AddCommand(ID_THEME_MID_POINTS, tr("Polyline &Mid Points..."));
    AddCommand(ID_THEME_POLYGON_OUTLINE, tr("Polygon &Outline"));
    AddCommand(ID_THEME_VORONOI_POLYGONS, tr("&Voronoi Polygons"));
    AddCommand(ID_THEME_REMOVE, tr("&Remove"));
    AddCommand(ID_THEME_SHOW, tr("&Show"));
    AddCommand(ID_THEME_PROPERTIES, tr("&Properties..."));
    AddCommand(ID_THEME_HIDE_ALL, tr("&Hide All"));
    AddCommand(ID_THEME_SHOW_ALL, tr("Show &All"));
    AddCommand(ID_THEME_ATTRIBUTE_MANAGER, tr("Attribute Mana&ger..."));
    AddCommand(ID_THEME_INFOTIPS, tr("InfoTips"), {}, {}, true);
    AddCommand(ID_THEME_COPY_STYLE_FROM, tr("&Copy Style From..."));

    const char* statistics[] = {"Min", "Max", "Sum", "Arithmetic Mean", "Geometric Mean", "Median",
                                "Standard Deviation"};
    for (unsigned id = ID_COLUMN_STATISTICS_FIRST; id <= ID_COLUMN_STATISTICS_LAST; ++id)
        AddCommand(id, tr(statistics[id - ID_COLUMN_STATISTICS_FIRST]));
    // The attribute pane's column commands and its query, reached through
    // the Table menu.
    AddCommand(ID_COLUMN_SORT_ASCENDING, tr("Sort &Ascending"));
    AddCommand(ID_COLUMN_SORT_DESCENDING, tr("Sort Descending"));
    AddCommand(ID_COLUMN_CHECK_DUPLICATES, tr("&Check for Duplicates..."));
    AddCommand(ID_COLUMN_SHOW_VALUE_LIST, tr("Show &Value List..."));
    AddCommand(ID_TABLE_QUERY, tr("&Query..."), QIcon(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    AddCommand(ID_TOOLS_OPTIONS, tr("&Options..."));
    AddCommand(ID_APP_ABOUT, tr("&About Corvale..."));

    AddCommand(ID_WINDOW_CASCADE, tr("&Cascade"));
    AddCommand(ID_WINDOW_TILE_HORZ, tr("&Tile"));
    AddCommand(ID_WINDOW_ARRANGE, tr("&Arrange Icons"));

    for (unsigned id = ID_RECENT_SHAPE_FILE_FIRST; id <= ID_RECENT_SHAPE_FILE_LAST; ++id)
        AddCommand(id, QString());
    for (unsigned id = ID_ADD_FROM_DATA_SOURCE_FIRST; id <= ID_ADD_FROM_DATA_SOURCE_LAST; ++id)
        AddCommand(id, QString());
    for (unsigned id = ID_FILE_MRU_FIRST; id <= ID_FILE_MRU_LAST; ++id)
        AddCommand(id, QString());
}

void CMainFrame::ConnectUpdateOnShow(QMenu* menu) {
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        for (QAction* action : menu->actions())
            if (action->data().isValid() && !action->isSeparator() && action->menu() == nullptr)
                UpdateCommandUI(action);
    });
}

bool CMainFrame::CreateMenuBar() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));

    QMenu* file = bar->addMenu(tr("&File"));
    file->addAction(m_Actions[ID_FILE_NEW]);
    file->addAction(m_Actions[ID_FILE_OPEN]);
    file->addAction(m_Actions[ID_FILE_CLOSE]);
    file->addAction(m_Actions[ID_FILE_SAVE]);
    file->addAction(m_Actions[ID_FILE_SAVE_AS]);
    file->addSeparator();
    file->addAction(m_Actions[ID_WORKSPACE_SHOW_PROPERTIES]);
    file->addSeparator();
    file->addAction(m_Actions[ID_FILE_SAVE_MAP_IMAGE]);
    file->addSeparator();
    file->addAction(m_Actions[ID_MAP_VIEW_PRINT]);
    file->addAction(m_Actions[ID_MAP_VIEW_PRINT_PREVIEW]);
    file->addSeparator();
    m_RecentFileMenu = file->addMenu(tr("Recent &Workspaces"));
    m_RecentFileMenu->setObjectName(QStringLiteral("RecentWorkspaces"));
    file->addSeparator();
    file->addAction(m_Actions[ID_APP_EXIT]);
    ConnectUpdateOnShow(file);
    connect(file, &QMenu::aboutToShow, this, [this] { RefreshRecentFileMenu(); });

    QMenu* edit = bar->addMenu(tr("&Edit"));
    for (unsigned id : std::initializer_list<unsigned>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_DELETE})
        edit->addAction(m_Actions[id]);
    edit->addSeparator();
    for (unsigned id : std::initializer_list<unsigned>{ID_EDIT_COPY_AS_GEOJSON, ID_EDIT_COPY_AS_WKT})
        edit->addAction(m_Actions[id]);
    edit->addSeparator();
    edit->addAction(m_Actions[ID_EDIT_MULTI_EDIT]);
    QMenu* advanced = edit->addMenu(tr("Advanced &Edit"));
    advanced->setObjectName(QStringLiteral("AdvancedEdit"));
    for (unsigned id : {static_cast<unsigned>(ID_GEOMETRY_MERGE_TO_COPY), static_cast<unsigned>(ID_GEOMETRY_SPLIT_TO_COPIES),
                        static_cast<unsigned>(ID_GEOMETRY_SIMPLIFY_PARTS),
                        static_cast<unsigned>(ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES),
                        static_cast<unsigned>(ID_GEOMETRY_REVERSE_COORDINATES), static_cast<unsigned>(ID_GEOMETRY_SNAP_TO_GRID)})
        advanced->addAction(m_Actions[id]);
    advanced->addSeparator();
    advanced->addAction(m_Actions[ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD]);
    ConnectUpdateOnShow(advanced);
    for (unsigned id : std::initializer_list<unsigned>{ID_EDIT_TOP_Z_ORDER, ID_EDIT_BOTTOM_Z_ORDER})
        edit->addAction(m_Actions[id]);
    edit->addSeparator();
    for (unsigned id : std::initializer_list<unsigned>{ID_TABLE_FIND, ID_EDIT_FIND_NEXT, ID_EDIT_FIND_PREVIOUS,
                                                       ID_TABLE_GO_TO})
        edit->addAction(m_Actions[static_cast<unsigned>(id)]);
    ConnectUpdateOnShow(edit);

    QMenu* view = bar->addMenu(tr("&View"));
    QMenu* bars = view->addMenu(tr("&Toolbars and Docking Windows"));
    bars->setObjectName(QStringLiteral("ToolbarsMenu"));
    connect(bars, &QMenu::aboutToShow, this, [this, bars] {
        bars->clear();
        QMenu* standard = createPopupMenu();
        if (standard != nullptr) {
            for (QAction* action : standard->actions())
                bars->addAction(action);
            standard->deleteLater();
        }
    });
    view->addAction(m_Actions[ID_VIEW_STATUS_BAR]);
    view->addSeparator();
    for (unsigned id : std::initializer_list<unsigned>{static_cast<unsigned>(ID_VIEW_ZOOM_FULL_EXTENT), static_cast<unsigned>(ID_VIEW_CENTER_MAP),
                        static_cast<unsigned>(ID_VIEW_EDIT_VIEW_RECTANGLE), static_cast<unsigned>(ID_MAP_VIEW_OVERVIEW),
                        static_cast<unsigned>(ID_MAP_VIEW_COPY_IMAGE), static_cast<unsigned>(ID_MAP_VIEW_SIGNATURE),
                        static_cast<unsigned>(ID_VIEW_FIND_THEME)})
        view->addAction(m_Actions[id]);
    view->addSeparator();
    view->addAction(m_Actions[ID_VIEW_CONSOLE]);
    view->addAction(m_Actions[ID_VIEW_VECTORIZATION_PARAMETERS]);
    view->addAction(m_Actions[ID_EDIT_SHAPE_DATA]);
    view->addSeparator();
    view->addAction(m_Actions[ID_VIEW_FULLSCREEN]);
    ConnectUpdateOnShow(view);

    QMenu* insert = bar->addMenu(tr("&Insert"));
    insert->addAction(m_Actions[ID_INSERT_ADD_THEME]);
    QMenu* addFrom = insert->addMenu(tr("Add Theme &From"));
    addFrom->setObjectName(QStringLiteral("AddThemeFrom"));
    connect(addFrom, &QMenu::aboutToShow, this, [this, addFrom] { FillLoaderMenu(addFrom); });
    QMenu* recentShapes = insert->addMenu(tr("&Recent Shape Files"));
    recentShapes->setObjectName(QStringLiteral("RecentShapeFiles"));
    connect(recentShapes, &QMenu::aboutToShow, this, [this, recentShapes] { FillRecentShapeFileMenu(recentShapes); });
    insert->addSeparator();
    insert->addAction(m_Actions[ID_FILE_IMPORT_WORKSPACE]);
    ConnectUpdateOnShow(insert);

    QMenu* theme = bar->addMenu(tr("&Theme"));
    for (unsigned id : std::initializer_list<unsigned>{static_cast<unsigned>(ID_THEME_ZOOM_TO_THEME), static_cast<unsigned>(ID_THEME_ZOOM_TO_SELECTION),
                        static_cast<unsigned>(ID_THEME_ZOOM_TO_MAKE_VISIBLE)})
        theme->addAction(m_Actions[id]);
    theme->addSeparator();
    theme->addAction(m_Actions[ID_WORKSPACE_TRANSFORM]);
    theme->addAction(m_Actions[ID_THEME_EXPORT]);
    theme->addSeparator();
    QMenu* createNew = theme->addMenu(tr("Create &New"));
    createNew->setObjectName(QStringLiteral("CreateNewTheme"));
    for (unsigned id : {static_cast<unsigned>(ID_THEME_NEW_POINTS), static_cast<unsigned>(ID_THEME_NEW_POLYLINES),
                        static_cast<unsigned>(ID_THEME_NEW_POLYGONS)})
        createNew->addAction(m_Actions[id]);
    createNew->addSeparator();
    createNew->addAction(m_Actions[ID_THEME_NEW_FROM_SELECTION]);
    createNew->addAction(m_Actions[ID_THEME_NEW_BOUNDING_BOXES]);
    createNew->addAction(m_Actions[ID_THEME_VORONOI_POLYGONS]);
    createNew->addSeparator();
    for (unsigned id : {static_cast<unsigned>(ID_THEME_END_POINTS), static_cast<unsigned>(ID_THEME_MID_POINTS),
                        static_cast<unsigned>(ID_THEME_POLYGON_OUTLINE)})
        createNew->addAction(m_Actions[id]);
    ConnectUpdateOnShow(createNew);
    for (unsigned id : {static_cast<unsigned>(ID_THEME_REMOVE), static_cast<unsigned>(ID_THEME_SHOW),
                        static_cast<unsigned>(ID_THEME_PROPERTIES), static_cast<unsigned>(ID_THEME_HIDE_ALL),
                        static_cast<unsigned>(ID_THEME_SHOW_ALL), static_cast<unsigned>(ID_THEME_ATTRIBUTE_MANAGER),
                        static_cast<unsigned>(ID_THEME_ENABLE_EDITING), static_cast<unsigned>(ID_THEME_INFOTIPS),
                        static_cast<unsigned>(ID_THEME_COPY_STYLE_FROM)})
        theme->addAction(m_Actions[id]);

    QMenu* selection = bar->addMenu(tr("&Selection"));
    selection->setObjectName(QStringLiteral("SelectionMenu"));
    for (unsigned id : {static_cast<unsigned>(ID_SELECTION_SELECT_ALL), static_cast<unsigned>(ID_SELECTION_INVERT),
                        static_cast<unsigned>(ID_SELECTION_CLEAR)})
        selection->addAction(m_Actions[id]);
    selection->addSeparator();
    for (unsigned id : {static_cast<unsigned>(ID_SELECTION_MULTIPART),
                        static_cast<unsigned>(ID_SELECTION_CLIPBOARD_POLYGONS),
                        static_cast<unsigned>(ID_SELECTION_POINT_COUNT)})
        selection->addAction(m_Actions[id]);
    selection->addSeparator();
    for (unsigned id : {static_cast<unsigned>(ID_SELECTION_FILTER), static_cast<unsigned>(ID_SELECTION_REMOVE_FILTER),
                        static_cast<unsigned>(ID_SELECTION_INVERT_FILTER)})
        selection->addAction(m_Actions[id]);
    selection->addSeparator();
    for (unsigned id : {static_cast<unsigned>(ID_SELECTION_BOUNDS),
                        static_cast<unsigned>(ID_SELECTION_BUILD_ATTRIBUTE_LIST)})
        selection->addAction(m_Actions[id]);
    ConnectUpdateOnShow(selection);
    ConnectUpdateOnShow(theme);

    QMenu* table = bar->addMenu(tr("T&able"));
    table->setObjectName(QStringLiteral("TableMenu"));
    for (unsigned id = ID_COLUMN_STATISTICS_FIRST; id <= ID_COLUMN_STATISTICS_LAST; ++id)
        table->addAction(m_Actions[id]);
    // The statistics plug-ins' entries go in before this separator.
    table->addSeparator();
    table->addAction(m_Actions[ID_COLUMN_SORT_ASCENDING]);
    table->addAction(m_Actions[ID_COLUMN_SORT_DESCENDING]);
    table->addSeparator();
    table->addAction(m_Actions[ID_COLUMN_CHECK_DUPLICATES]);
    table->addAction(m_Actions[ID_COLUMN_SHOW_VALUE_LIST]);
    table->addSeparator();
    table->addAction(m_Actions[ID_TABLE_QUERY]);
    connect(table, &QMenu::aboutToShow, this, [this, table] { FillStatisticsPluginMenu(table); });
    ConnectUpdateOnShow(table);

    QMenu* tools = bar->addMenu(tr("&Map"));
    for (unsigned id : std::initializer_list<unsigned>{ID_TOOL_SELECT, ID_TOOL_SELECT_RECTANGLE, ID_TOOL_SELECT_CIRCLE, ID_TOOL_SELECT_POLYGON,
                        ID_TOOL_PAN, ID_TOOL_ZOOM_IN, ID_TOOL_ZOOM_OUT, ID_TOOL_MEASURE})
        tools->addAction(m_Actions[id]);
    tools->addSeparator();
    tools->addAction(m_Actions[ID_TOOL_VERTEX_MODE]);
    tools->addAction(m_Actions[ID_TOOL_BOUNDING_BOXES]);
    tools->addSeparator();
    tools->addAction(m_Actions[ID_GEOMETRY_AUTO_SNAP]);
    ConnectUpdateOnShow(tools);

    QMenu* window = bar->addMenu(tr("&Window"));
    for (unsigned id : std::initializer_list<unsigned>{ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE})
        window->addAction(m_Actions[id]);
    ConnectUpdateOnShow(window);

    return true;
}

bool CMainFrame::CreateToolBars() {
    auto makeBar = [this](int id, const QString& title) {
        auto* bar = new CCorvaleToolBar(title, 0, this);
        addToolBar(bar);
        bar->setObjectName(QStringLiteral("ToolBar%1").arg(id));
        bar->setIconSize(QSize(16, 16));
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        bar->setMovable(true);
        return bar;
    };

    m_StandardBar = makeBar(IDR_MAINFRAME, tr("Standard Toolbar"));
    const unsigned standard[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_WORKSPACE_SHOW_PROPERTIES, 0,
                                 ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_DELETE, 0,
                                 ID_TABLE_FIND, ID_EDIT_FIND_NEXT, ID_EDIT_FIND_PREVIOUS, 0,
                                 ID_MAP_VIEW_PRINT, ID_CONTEXT_HELP, 0,
                                 ID_INSERT_ADD_THEME, 0,
                                 ID_TOOL_SELECT, ID_TOOL_SELECT_RECTANGLE, ID_TOOL_SELECT_CIRCLE,
                                 ID_TOOL_SELECT_POLYGON, ID_TOOL_PAN, ID_TOOL_ZOOM_IN, ID_TOOL_ZOOM_OUT,
                                 ID_TOOL_MEASURE, 0,
                                 ID_TOOL_VERTEX_MODE, ID_TOOL_BOUNDING_BOXES, 0,
                                 ID_SELECTION_FILTER, ID_SELECTION_INVERT_FILTER, ID_SELECTION_REMOVE_FILTER, 0,
                                 ID_THEME_ZOOM_TO_THEME, ID_THEME_ZOOM_TO_SELECTION, ID_VIEW_ZOOM_FULL_EXTENT,
                                 ID_SCALE_CONTROL};
    for (unsigned id : standard) {
        if (id == 0) {
            m_StandardBar->addSeparator();
        } else if (id == ID_SCALE_CONTROL) {
            // A button until the reset turns it into the scale box.
            QAction* placeholder = AddCommand(ID_SCALE_CONTROL, tr("Scale"));
            m_StandardBar->addAction(placeholder);
        } else {
            m_StandardBar->addAction(m_Actions[id]);
        }
    }

    // The Standard toolbar fills a row of its own.
    addToolBarBreak(Qt::TopToolBarArea);
    m_ScriptBar = makeBar(IDR_SCRIPT_TOOLBAR, tr("Script Toolbar"));
    m_ScriptBar->addAction(m_Actions[ID_SCRIPT_FROM_TEMPLATE]);
    m_ScriptBar->addSeparator();
    for (unsigned id = ID_USER_SCRIPT_FIRST; id <= ID_USER_SCRIPT_LAST; ++id)
        m_ScriptBar->addAction(m_Actions[id]);

    m_EditBar = makeBar(IDR_EDIT_TOOLBAR, tr("Edit Toolbar"));
    for (unsigned id : std::initializer_list<unsigned>{ID_THEME_ENABLE_EDITING, ID_GEOMETRY_AUTO_SNAP})
        m_EditBar->addAction(m_Actions[id]);
    m_EditBar->addSeparator();
    for (unsigned id : std::initializer_list<unsigned>{ID_TOOL_DRAW_NEW, ID_TOOL_ADJUST_VERTEX, ID_TOOL_NEW_VERTEX, ID_TOOL_SPLIT_POLYLINE})
        m_EditBar->addAction(m_Actions[id]);
    m_EditBar->addSeparator();
    for (unsigned id : std::initializer_list<unsigned>{ID_EDIT_TOP_Z_ORDER, ID_EDIT_BOTTOM_Z_ORDER})
        m_EditBar->addAction(m_Actions[id]);

    m_StatisticsBar = makeBar(IDR_STATISTICS_TOOLBAR, tr("Statistics Toolbar"));
    for (unsigned id = ID_COLUMN_STATISTICS_FIRST; id <= ID_COLUMN_STATISTICS_LAST; ++id)
        m_StatisticsBar->addAction(m_Actions[id]);
    return true;
}

QLabel* CMainFrame::AddStatusPane(int id, int width, const QIcon& icon) {
    // A pane of the indicator list is there already; any other comes in as
    // a new pane.
    if (m_StatusBar->GetPaneLabel(id) == nullptr && !m_StatusBar->AddPane(id))
        return nullptr;
    m_StatusBar->SetPaneWidth(id, width);
    m_StatusBar->SetPaneIcon(id, icon);
    QLabel* text = m_StatusBar->GetPaneLabel(id);
    m_Panes[id] = text;
    return text;
}

bool CMainFrame::CreateStatusBar() {
    auto* bar = new CCorvaleStatusBar(this);
    setStatusBar(bar);
    m_StatusBar = bar;
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_ProgressBar = new QProgressBar(bar);
    m_ProgressBar->setObjectName(QStringLiteral("StatusProgress"));
    m_ProgressBar->setRange(0, 100);
    m_ProgressBar->setMaximumWidth(150);
    m_ProgressBar->setTextVisible(false);
    m_ProgressBar->setStyleSheet(
        QStringLiteral("QProgressBar::chunk { background-color: %1; }").arg(ColorFromColorRef(g_ProgressBarColor).name()));
    m_ProgressBar->hide();
    bar->SetLeadingWidget(m_ProgressBar);
    if (!bar->SetIndicators({CCorvaleStatusBar::kMessagePane, ID_INDICATOR_SCALE, ID_INDICATOR_X, ID_INDICATOR_Y,
                             ID_INDICATOR_REFSYS}))
        return false;

    AddStatusPane(ID_INDICATOR_SCALE, 100, MakePaneIcon(ID_INDICATOR_SCALE));
    AddStatusPane(ID_INDICATOR_X, 100, MakePaneIcon(ID_INDICATOR_X));
    AddStatusPane(ID_INDICATOR_Y, 100, MakePaneIcon(ID_INDICATOR_Y));
    AddStatusPane(ID_INDICATOR_REFSYS, 100);
    SetStatusCoordinates(0.0, 0.0);
    return true;
}

bool CMainFrame::CreateDockingWindows() {
    struct PaneSpec {
        int id;
        const char* caption;
        int width;
        int height;
        Qt::DockWidgetArea area;
    };
    const PaneSpec panes[] = {
        {ID_PANE_THEMES, "Themes", 200, 200, Qt::LeftDockWidgetArea},
        {ID_PANE_ATTRIBUTES, "Attributes", 250, 200, Qt::RightDockWidgetArea},
        {ID_PANE_COORDINATES, "Coordinates", 250, 200, Qt::RightDockWidgetArea},
        {ID_PANE_STATISTICS, "Statistics", 250, 200, Qt::RightDockWidgetArea},
        {ID_PANE_BOOKMARKS, "Bookmarks", 250, 200, Qt::RightDockWidgetArea},
    };
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks | QMainWindow::AllowNestedDocks);
    QList<QDockWidget*> docks;
    QList<int> widths;
    for (const PaneSpec& spec : panes) {
        auto* dock = new QDockWidget(tr(spec.caption), this);
        dock->setObjectName(QStringLiteral("Pane%1").arg(spec.id));
        dock->setAllowedAreas(Qt::AllDockWidgetAreas);
        dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                          QDockWidget::DockWidgetFloatable);
        dock->setWindowIcon(MakePaneIcon(spec.id));
        // The Themes pane holds the legend, the other panes their grids.
        QWidget* body = nullptr;
        if (spec.id == ID_PANE_THEMES)
            body = m_LegendPane = new CLegendPane(dock);
        else if (spec.id == ID_PANE_ATTRIBUTES)
            body = new CAttributesGridPane(dock);
        else if (spec.id == ID_PANE_STATISTICS)
            body = new CStatisticsGridPane(dock);
        else if (spec.id == ID_PANE_COORDINATES)
            body = new CCoordinatesGridPane(dock);
        else if (spec.id == ID_PANE_BOOKMARKS)
            body = new CBookmarksGridPane(dock);
        else
            body = new QWidget(dock);
        body->setObjectName(QStringLiteral("PaneBody%1").arg(spec.id));
        body->setMinimumSize(50, 50);
        dock->setWidget(body);
        m_DockPanes[spec.id] = dock;
        if (spec.id == ID_PANE_THEMES || spec.id == ID_PANE_ATTRIBUTES) {
            addDockWidget(spec.area, dock);
            docks << dock;
            widths << spec.width;
        } else {
            tabifyDockWidget(m_DockPanes[ID_PANE_ATTRIBUTES], dock);
        }
    }
    // The attributes stay the shown tab: the tabs added after it are not
    // activated.
    m_DockPanes[ID_PANE_ATTRIBUTES]->raise();
    // Find needs the attribute pane in sight. Its item (and Ctrl+F, which acts
    // exactly while the item is enabled) follows the pane's tab at once: the
    // pane heard the same signal first, having connected when it was made.
    connect(m_DockPanes[ID_PANE_ATTRIBUTES], &QDockWidget::visibilityChanged, this,
            [this] { UpdateCommandUI(GetCommandAction(ID_TABLE_FIND)); });
    g_PaneServices.m_Frame = this;
    SetGridPaneServices(&g_PaneServices);
    resizeDocks(docks, widths, Qt::Horizontal);
    // The legend's menus take the frame's command route.
    CLegendPaneServices legend = GetLegendPaneServices();
    legend.routeCommand = [this](unsigned id, CCmdUI* ui) {
        return RouteCommand(id, ui, {this, static_cast<CCmdTarget*>(GetActiveView()),
                                     static_cast<CCmdTarget*>(GetActiveDocument()), m_ApplicationTarget});
    };
    // Its "Add From" holds the very actions of Insert > Add Theme From.
    legend.fillLoaderMenu = [this](QMenu* menu) { FillLoaderMenu(menu); };
    legend.showThemeProperties = [](QWidget* parent, CTheme& theme, CCorvaleDoc& document,
                                    const std::vector<std::string>& hints) {
        return ShowThemePropertiesDialog(parent, theme, document, hints);
    };
    SetLegendPaneServices(legend);
    return true;
}

void CMainFrame::OnToolbarReset(int toolbarId) {
    if (toolbarId < IDR_MAINFRAME)
        return;
    if (toolbarId == IDR_MAINFRAME || toolbarId == IDR_MAINFRAME + 1) {
        if (m_ScaleControl == nullptr) {
            m_ScaleControl = m_StandardBar->ReplaceWithScaleCombo();
            if (m_ScaleControl != nullptr) {
                m_ScaleControl->setMinimumContentsLength(11);
                m_ScaleControl->setToolTip(tr("Map scale"));
                for (const char* scale : kScales)
                    m_ScaleControl->addItem(QString::fromLatin1(scale));
                m_ScaleControl->setCurrentIndex(-1);
                CCorvaleToolBar::FitScaleCombo(m_ScaleControl);
                m_Actions[ID_SCALE_CONTROL] = m_StandardBar->FindCommand(ID_SCALE_CONTROL);
                connect(m_ScaleControl, qOverload<int>(&QComboBox::activated), this,
                        [this](int i) { OnScaleChosen(i); });
            }
        }
        // Add Theme gets its list of recent shape files beside it.
        if (m_AddThemeButton == nullptr) {
            auto* menu = new QMenu(this);
            menu->setObjectName(QStringLiteral("AddThemeRecent"));
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillRecentShapeFileMenu(menu); });
            if (m_StandardBar->ReplaceWithRecentFilesMenu(menu))
                m_AddThemeButton =
                    qobject_cast<QToolButton*>(m_StandardBar->widgetForAction(m_Actions[ID_INSERT_ADD_THEME]));
            else
                delete menu;
        }
    }
    if (toolbarId == IDR_SCRIPT_TOOLBAR)
        ResetScriptToolBar();
}

void CMainFrame::FillRecentShapeFileMenu(QMenu* menu) {
    menu->clear();
    const auto& entries = GetRecentShapeFiles().GetEntries();
    for (std::size_t i = 0; i < entries.size() && i < CRecentShapeFileList::kSize; ++i) {
        QAction* action = m_Actions[static_cast<unsigned>(ID_RECENT_SHAPE_FILE_FIRST + i)];
        // Long paths are shortened in the middle, as the list always showed
        // them; an "&" in a name shows as it is.
        action->setText(FormatRecentFileMenuText(static_cast<int>(i),
                                                 RecentFileDisplayName(Q(entries[i]), QDir::currentPath())));
        action->setToolTip(Q(entries[i]));
        menu->addAction(action);
        UpdateCommandUI(action);
    }
    if (menu->isEmpty()) {
        QAction* none = menu->addAction(tr("Recent Shape File"));
        none->setEnabled(false);
    }
}

void CMainFrame::RefreshRecentFileMenu() {
    if (m_RecentFileMenu == nullptr)
        return;
    m_RecentFileMenu->clear();
    CCorvaleApp* app = CCorvaleApp::GetInstance();
    if (app != nullptr) {
        const auto& entries = app->GetRecentFileList().GetEntries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            QAction* action = m_Actions[static_cast<unsigned>(ID_FILE_MRU_FIRST + i)];
            action->setText(FormatRecentFileMenuText(static_cast<int>(i), Q(entries[i])));
            m_RecentFileMenu->addAction(action);
            UpdateCommandUI(action);
        }
    }
    m_RecentFileMenu->setEnabled(!m_RecentFileMenu->isEmpty());
}

std::string CMainFrame::GetRecentShapeFile(unsigned id) const {
    if (id < ID_RECENT_SHAPE_FILE_FIRST || id > ID_RECENT_SHAPE_FILE_LAST)
        return std::string();
    return GetRecentShapeFiles().Get(static_cast<int>(id - ID_RECENT_SHAPE_FILE_FIRST));
}

QDockWidget* CMainFrame::GetPane(int id) const {
    const auto it = m_DockPanes.find(id);
    return it == m_DockPanes.end() ? nullptr : it->second;
}

void CMainFrame::OnApplicationLook(int look) {
    // The look is kept so that it survives in the profile; the program draws
    // with the desktop's own style whatever the number.
    m_ApplicationLook = look;
    auto settings = corvale::OpenRegistry();
    corvale::WriteRegistryInt(*settings, QStringLiteral("ApplicationLook"), look);
    settings->sync();
}

// ---------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------

QAction* CMainFrame::GetCommandAction(unsigned id) const {
    const auto it = m_Actions.find(id);
    return it == m_Actions.end() ? nullptr : it->second;
}

bool CMainFrame::OnCmdMsg(unsigned id, CCmdUI* ui) {
    if (OnPluginCmdMsg(id, ui))
        return true;
    if (OnMenuCmdMsg(id, ui))
        return true;
    switch (id) {
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_ARRANGE:
        if (ui != nullptr) {
            ui->Enable(!m_MdiArea->subWindowList().isEmpty());
            ui->m_Handled = true;
        } else if (id == ID_WINDOW_CASCADE) {
            m_MdiArea->setViewMode(QMdiArea::SubWindowView);
            m_MdiArea->cascadeSubWindows();
        } else {
            m_MdiArea->setViewMode(QMdiArea::SubWindowView);
            m_MdiArea->tileSubWindows();
        }
        return true;
    case ID_VIEW_STATUS_BAR:
        if (ui != nullptr) {
            ui->Enable(true);
            ui->SetCheck(statusBar()->isVisible() ? 1 : 0);
            ui->m_Handled = true;
        } else {
            statusBar()->setVisible(!statusBar()->isVisible());
        }
        return true;
    case ID_VIEW_FULLSCREEN:
        if (ui != nullptr) {
            ui->Enable(true);
            ui->SetCheck(isFullScreen() ? 1 : 0);
            ui->m_Handled = true;
        } else if (isFullScreen()) {
            showNormal();
        } else {
            showFullScreen();
        }
        return true;
    case ID_SCALE_CONTROL:
        if (ui != nullptr) {
            const CCorvaleDoc* document = GetActiveDocument();
            ui->Enable(document != nullptr && document->m_mapView != nullptr && document->m_mapScale > 0.0);
            ui->m_Handled = true;
            return true;
        }
        return false;
    case ID_TOOLS_OPTIONS:
        if (ui != nullptr) {
            ui->Enable(true);
            ui->m_Handled = true;
        } else {
            OnOptions();
        }
        return true;
    case ID_FILE_CLOSE:
        if (ui != nullptr) {
            ui->Enable(GetActiveChild() != nullptr);
            ui->m_Handled = true;
        } else if (CChildFrame* child = GetActiveChild()) {
            child->close();
        }
        return true;
    default:
        break;
    }
    // The table's column commands (statistics, sort, duplicates, value list)
    // belong to the attributes pane.
    if (id >= ID_COLUMN_STATISTICS_FIRST && id <= ID_COLUMN_SHOW_VALUE_LIST) {
        auto* attributes = PaneWidget<CAttributesGridPane>(*this, ID_PANE_ATTRIBUTES);
        if (attributes == nullptr)
            return false;
        if (ui != nullptr)
            ui->m_Handled = true;
        return attributes->OnCmdMsg(id, ui);
    }
    if (id >= static_cast<unsigned>(ID_INDICATOR_PLUGIN_FIRST) && id <= static_cast<unsigned>(ID_INDICATOR_PLUGIN_LAST)) {
        if (ui == nullptr)
            return false;
        ui->Enable(true);
        ui->m_Handled = true;
        return true;
    }
    return CMessageWindow::OnCmdMsg(id, ui);
}

void CMainFrame::OnOptions() {
    CAppSettings* settings = CAppSettings::GetInstance();
    CAppSettings copy = *settings;
    COptionsDialog dialog(this);
    dialog.SetSettings(&copy);
    dialog.SetPluginFolder(m_PluginFolder);
    for (const PluginOptionPage& page : CreatePluginOptionPages(m_PluginFolder, &dialog))
        dialog.AddPage(page.m_Page, QString::fromStdString(page.m_Title), page.m_DialogId, dialog.GetPluginsItem());
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.StoreSettings();
    *settings = copy;
    if (!settings->Save())
        corvale::UI().ShowMessage("The options could not be saved.", corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::Ok);
    if (CCorvaleApp* app = CCorvaleApp::GetInstance())
        app->ApplyOptions();
}

bool CMainFrame::ExecuteCommand(unsigned id) {
    CGeoView* view = GetActiveView();
    CCorvaleDoc* document = GetActiveDocument();
    return RouteCommand(id, nullptr,
                        {this, static_cast<CCmdTarget*>(view), static_cast<CCmdTarget*>(document), m_ApplicationTarget});
}

void CMainFrame::UpdateCommandUI(QAction* action) {
    if (action == nullptr || !action->data().isValid())
        return;
    const unsigned id = action->data().toUInt();
    CCmdUI ui(id);
    CGeoView* view = GetActiveView();
    CCorvaleDoc* document = GetActiveDocument();
    RouteCommand(id, &ui,
                 {this, static_cast<CCmdTarget*>(view), static_cast<CCmdTarget*>(document), m_ApplicationTarget});
    if (action->isEnabled() != ui.m_Enabled)
        action->setEnabled(ui.m_Enabled);
    if (action->isCheckable() && action->isChecked() != ui.m_Checked)
        action->setChecked(ui.m_Checked);
    if (ui.m_TextSet && action->text() != Q(ui.m_Text))
        action->setText(Q(ui.m_Text));
}

void CMainFrame::UpdateToolbarCommands() {
    for (QToolBar* bar : {m_StandardBar, m_ScriptBar, m_EditBar, m_StatisticsBar}) {
        if (bar == nullptr)
            continue;
        for (QAction* action : bar->actions())
            UpdateCommandUI(action);
    }
    for (CCorvaleToolBar* bar : m_PluginToolBars)
        for (QAction* action : static_cast<QToolBar*>(bar)->actions())
            UpdateCommandUI(action);
    if (m_ScaleControl != nullptr) {
        const bool enabled = GetCommandAction(ID_SCALE_CONTROL)->isEnabled();
        if (m_ScaleControl->isEnabled() != enabled)
            m_ScaleControl->setEnabled(enabled);
    }
}

void CMainFrame::UpdateShortcutCommands() {
    for (const auto& [id, action] : m_Actions)
        if (action != nullptr && !action->shortcut().isEmpty())
            UpdateCommandUI(action);
}

void CMainFrame::OnScaleChosen(int index) {
    CGeoView* view = GetActiveView();
    if (view == nullptr || index < 0)
        return;
    const QString text = m_ScaleControl->itemText(index);
    bool ok = false;
    const double scale = text.mid(text.indexOf(QLatin1Char(':')) + 1).toDouble(&ok);
    if (ok && scale > 0.0)
        view->ZoomToScale(scale);
}

// ---------------------------------------------------------------------------
// Child windows and the active workspace
// ---------------------------------------------------------------------------

CChildFrame* CMainFrame::CreateChildFrame(CCorvaleDoc* document) {
    auto* child = new CChildFrame(document);
    m_MdiArea->addSubWindow(child);
    child->showMaximized();
    m_MdiArea->setActiveSubWindow(child);
    return child;
}

CChildFrame* CMainFrame::GetActiveChild() const {
    if (m_MdiArea == nullptr)
        return nullptr;
    // A child that has closed waits for its deletion without a document.
    auto* active = dynamic_cast<CChildFrame*>(m_ActiveChild.data());
    if (active != nullptr && active->GetDocument() != nullptr)
        return active;
    return FindChildToActivate();
}

CChildFrame* CMainFrame::FindChildToActivate() const {
    // Before the area has reported any activation, or after the active
    // child closed: the area's own choice, else the child used last.
    auto usable = [](QMdiSubWindow* window) -> CChildFrame* {
        auto* child = dynamic_cast<CChildFrame*>(window);
        return child != nullptr && child->GetDocument() != nullptr ? child : nullptr;
    };
    if (CChildFrame* child = usable(m_MdiArea->activeSubWindow()))
        return child;
    if (CChildFrame* child = usable(m_MdiArea->currentSubWindow()))
        return child;
    const QList<QMdiSubWindow*> windows = m_MdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (CChildFrame* child = usable(*it))
            return child;
    return nullptr;
}

CCorvaleDoc* CMainFrame::GetActiveDocument() const {
    CChildFrame* child = GetActiveChild();
    return child == nullptr ? nullptr : child->GetDocument();
}

CGeoView* CMainFrame::GetActiveView() const {
    CChildFrame* child = GetActiveChild();
    return child == nullptr ? nullptr : child->GetView();
}

std::vector<CChildFrame*> CMainFrame::GetChildFrames() const {
    std::vector<CChildFrame*> children;
    if (m_MdiArea == nullptr)
        return children;
    // A child that has closed waits for its deletion without a document.
    for (QMdiSubWindow* window : m_MdiArea->subWindowList())
        if (auto* child = dynamic_cast<CChildFrame*>(window); child != nullptr && child->GetDocument() != nullptr)
            children.push_back(child);
    return children;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    if (m_Closing)
        return;
    auto* child = dynamic_cast<CChildFrame*>(window);
    if (child != nullptr && child->GetDocument() != nullptr) {
        m_ActiveChild = child;
        if (child->GetView() != nullptr)
            child->GetView()->OnActivateView(true);
        else
            SetActiveDocument(child->GetDocument());
    } else {
        // The area reports no active window whenever the focus or the
        // window's activation leaves it (a click on a toolbar, a pane or a
        // menu, another program): the workspace stays active. Only when the
        // active child itself has gone does another one take its place, or
        // none when it was the last.
        SyncActiveChild();
    }
    UpdateFrameTitle();
}

void CMainFrame::SyncActiveChild() {
    if (m_Closing || m_MdiArea == nullptr)
        return;
    CChildFrame* child = GetActiveChild();
    m_ActiveChild = child;
    SetActiveDocument(child != nullptr ? child->GetDocument() : nullptr);
}

void CMainFrame::SetActiveDocument(CCorvaleDoc* document) {
    if (document == m_LastActiveDocument)
        return;
    if (document != nullptr) {
        document->UpdateMapScale();
        // The reference-system pane names the system of the workspace shown,
        // not that of the workspace opened last.
        ShowRefSys(document->m_refSystem);
    }
    GpiNotifyActiveWorkspaceChanged(document);
    m_LastActiveDocument = document;
    // The panes follow the active workspace.
    SetPanesDocument(document);
    UpdateFrameTitle();
}

void CMainFrame::ForgetDocument(CCorvaleDoc* document) {
    if (m_LastActiveDocument == document)
        m_LastActiveDocument = nullptr;
    if (auto* child = dynamic_cast<CChildFrame*>(m_ActiveChild.data());
        child != nullptr && (child->GetDocument() == document || child->GetDocument() == nullptr))
        m_ActiveChild = nullptr;
    // The panes let go of the workspace before its themes are deleted.
    if (m_LegendPane != nullptr && m_LegendPane->GetDocument() == document)
        m_LegendPane->SetDocument(nullptr);
    auto* attributes = PaneWidget<CAttributesGridPane>(*this, ID_PANE_ATTRIBUTES);
    if (attributes != nullptr && attributes->GetDocument() == document)
        attributes->SetDocument(nullptr);
    auto* statistics = PaneWidget<CStatisticsGridPane>(*this, ID_PANE_STATISTICS);
    if (statistics != nullptr && statistics->GetDocument() == document)
        statistics->SetDocument(nullptr);
    auto* coordinates = PaneWidget<CCoordinatesGridPane>(*this, ID_PANE_COORDINATES);
    if (coordinates != nullptr && coordinates->GetDocument() == document)
        coordinates->SetDocument(nullptr);
    auto* bookmarks = PaneWidget<CBookmarksGridPane>(*this, ID_PANE_BOOKMARKS);
    if (bookmarks != nullptr && bookmarks->GetDocument() == document)
        bookmarks->SetDocument(nullptr);
}

void CMainFrame::SetPanesDocument(CCorvaleDoc* document) {
    if (m_LegendPane != nullptr)
        m_LegendPane->SetDocument(document);
    if (auto* attributes = PaneWidget<CAttributesGridPane>(*this, ID_PANE_ATTRIBUTES))
        attributes->SetDocument(document);
    if (auto* statistics = PaneWidget<CStatisticsGridPane>(*this, ID_PANE_STATISTICS))
        statistics->SetDocument(document);
    if (auto* coordinates = PaneWidget<CCoordinatesGridPane>(*this, ID_PANE_COORDINATES))
        coordinates->SetDocument(document);
    if (auto* bookmarks = PaneWidget<CBookmarksGridPane>(*this, ID_PANE_BOOKMARKS))
        bookmarks->SetDocument(document);
}

void CMainFrame::UpdateFrameTitle() {
    QString title = QStringLiteral("Corvale");
    CChildFrame* child = GetActiveChild();
    if (child != nullptr && child->GetDocument() != nullptr) {
        child->UpdateTitle();
        std::string name = child->GetDocument()->GetTitle();
        if (name.empty())
            name = "Untitled";
        title = Q(name) + QStringLiteral(" - Corvale");
    }
    if (windowTitle() != title)
        setWindowTitle(title);
}

// ---------------------------------------------------------------------------
// Status bar
// ---------------------------------------------------------------------------

void CMainFrame::ShowMapScale(CCorvaleDoc* document, double scale) {
    if (m_ScaleControl == nullptr || document == nullptr || document != GetActiveDocument())
        return;
    if (!std::isfinite(scale))
        return;
    char text[64];
    std::snprintf(text, sizeof text, "1:%.0lf", std::floor(scale + 0.5));
    const QString scaleText = QString::fromLatin1(text);
    const int found = m_ScaleControl->findText(scaleText, Qt::MatchExactly);
    if (found >= 0) {
        m_ScaleControl->setCurrentIndex(found);
        return;
    }
    // One free scale at a time stands at the top of the list.
    if (m_ScaleControl->count() > 0 && m_ScaleControl->itemData(0).toInt() == kFreeScaleData &&
        m_ScaleControl->itemData(0).isValid())
        m_ScaleControl->removeItem(0);
    m_ScaleControl->insertItem(0, scaleText, kFreeScaleData);
    m_ScaleControl->setCurrentIndex(0);
    CCorvaleToolBar::FitScaleCombo(m_ScaleControl);
}

void CMainFrame::SetStatusCoordinates(double x, double y) {
    char text[512];
    std::snprintf(text, sizeof text, "%f", x);
    SetPaneText(ID_INDICATOR_X, text);
    std::snprintf(text, sizeof text, "%f", y);
    SetPaneText(ID_INDICATOR_Y, text);
}

void CMainFrame::ShowRefSys(int index) {
    const RefSysEntry* entry = GetRefSysEntry(index);
    SetPaneText(ID_INDICATOR_REFSYS, entry != nullptr ? entry->name : std::string("Unknown"));
    FitRefSysPane();
}

void CMainFrame::FitRefSysPane() {
    const auto it = m_Panes.find(ID_INDICATOR_REFSYS);
    if (it == m_Panes.end())
        return;
    QString text = it->second->text();
    if (text.isEmpty())
        text = QStringLiteral("   ");
    const QFontMetrics metrics(statusBar()->font());
    it->second->setFixedWidth(metrics.horizontalAdvance(text) + 3);
}

bool CMainFrame::HasPane(int id) const { return m_Panes.count(id) != 0; }

int CMainFrame::AddPluginStatusPane(int width) {
    int id = 0;
    for (int candidate = ID_INDICATOR_PLUGIN_FIRST; candidate <= ID_INDICATOR_PLUGIN_LAST; ++candidate) {
        if (!HasPane(candidate)) {
            id = candidate;
            break;
        }
    }
    if (id == 0 || id > ID_INDICATOR_PLUGIN_HANDED_OUT_LAST)
        return 0;
    m_StatusBar->setUpdatesEnabled(false);
    QLabel* pane = AddStatusPane(id, width > 0 ? width : 0);
    if (pane != nullptr)
        pane->clear();
    m_StatusBar->setUpdatesEnabled(true);
    return pane != nullptr ? id : 0;
}

void CMainFrame::RemovePluginStatusPane(int id) {
    if (id < ID_INDICATOR_PLUGIN_FIRST || id > ID_INDICATOR_PLUGIN_HANDED_OUT_LAST)
        return;
    const auto it = m_Panes.find(id);
    if (it == m_Panes.end())
        return;
    m_Panes.erase(it);
    m_StatusBar->RemovePane(id);
}

void CMainFrame::SetPaneText(int id, const std::string& text) {
    const auto it = m_Panes.find(id);
    if (it == m_Panes.end())
        return;
    QLabel* pane = it->second;
    pane->setText(Q(text));
    // A pane grows to show its whole text (a measured length, a coordinate
    // far from the origin) and keeps that width, so that it does not jump
    // at every mouse move. The reference-system pane is fitted on its own.
    if (id == ID_INDICATOR_REFSYS)
        return;
    const int needed = QFontMetrics(pane->font()).horizontalAdvance(pane->text()) + 3 +
                       2 * pane->margin() + pane->contentsMargins().left() +
                       pane->contentsMargins().right();
    if (pane->minimumWidth() < needed)
        pane->setFixedWidth(needed);
}

std::string CMainFrame::GetPaneText(int id) const {
    const auto it = m_Panes.find(id);
    return it == m_Panes.end() ? std::string() : it->second->text().toStdString();
}

int CMainFrame::GetPaneWidth(int id) const {
    const auto it = m_Panes.find(id);
    return it == m_Panes.end() ? -1 : it->second->width();
}

void CMainFrame::ShowProgress(int percent) {
    if (m_ProgressBar == nullptr)
        return;
    m_ProgressBar->setValue(std::clamp(percent, 0, 100));
    m_ProgressBar->show();
}

void CMainFrame::HideProgress() {
    if (m_ProgressBar != nullptr)
        m_ProgressBar->hide();
}

// ---------------------------------------------------------------------------
// Plug-in lists
// ---------------------------------------------------------------------------

unsigned CMainFrame::AddPluginTool(const std::string& name, std::uint32_t plugin, int placement,
                                   const std::string& description, std::uint32_t pluginData) {
    if (m_NextPluginToolId > 23009)
        return 0;
    PluginCommandItem item;
    item.placement = placement;
    item.name = name;
    item.description = description;
    item.commandId = m_NextPluginToolId++;
    item.plugin = plugin;
    item.pluginData = pluginData;
    m_PluginCommandItems.push_back(item);
    // The item's action, which its menu places and updates.
    QAction* action = AddCommand(item.commandId, Q(name));
    action->setStatusTip(Q(description));
    return item.commandId;
}

std::vector<CExportTool> CMainFrame::GetPluginExportTools() const {
    // The items placed in the export chooser's list.
    std::vector<CExportTool> tools;
    for (const PluginCommandItem& item : m_PluginCommandItems)
        if (item.placement == kPlaceExport && item.enabled)
            tools.push_back({item.name, item.description, item.commandId});
    return tools;
}

void CMainFrame::OnPluginTool(unsigned commandId) {
    for (const PluginCommandItem& item : m_PluginCommandItems) {
        if (item.commandId == commandId) {
            GpiNotifyCommandItem(item.plugin, item.commandId, item.pluginData);
            return;
        }
    }
}

void CMainFrame::AddPluginFileType(const std::string& pluginName, const std::string& description,
                                   const std::string& pattern, std::uint32_t userData) {
    m_PluginFileTypes.push_back({pluginName, description, pattern, userData});
}

std::string CMainFrame::GetPluginWindowSection(const std::string& ownerName, const std::string& title) {
    return ownerName + "\\" + title;
}

void CMainFrame::SaveAndClosePluginWindows() {
    auto settings = corvale::OpenRegistry();
    for (PluginWindow& entry : m_PluginWindows) {
        if (entry.window) {
            const std::string section = GetPluginWindowSection(entry.ownerName, entry.window->windowTitle().toStdString());
            settings->beginGroup(corvale::EncodeRegistryValueName(section));
            settings->setValue(QStringLiteral("Geometry"), entry.window->saveGeometry());
            settings->setValue(QStringLiteral("Visible"), entry.window->isVisible() ? 1 : 0);
            settings->endGroup();
            delete entry.window.data();
        }
        entry.window = nullptr;
    }
    // The toolbars went with the windows.
    m_PluginToolBars.clear();
    settings->sync();
}

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

bool CMainFrame::event(QEvent* event) {
    if (DispatchPostedMessage(this, event))
        return true;
    // The tabs of docked panes show their whole captions ("Coordinates",
    // not "Coor..."), with scroll arrows where the pane is too narrow for
    // all of them. The main window makes such tab bars as panes are
    // tabbed together, and has set them up by the time they are polished.
    if (event->type() == QEvent::ChildPolished) {
        auto* child = static_cast<QChildEvent*>(event)->child();
        if (auto* tabs = qobject_cast<QTabBar*>(child)) {
            tabs->setElideMode(Qt::ElideNone);
            tabs->setUsesScrollButtons(true);
        }
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    CCorvaleApp* app = CCorvaleApp::GetInstance();
    if (app != nullptr && !app->SaveAllModified()) {
        event->ignore();
        return;
    }
    SaveAndClosePluginWindows();
    if (app != nullptr)
        app->CloseAllDocuments();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data != nullptr && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
    event->ignore();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    CCorvaleApp* app = CCorvaleApp::GetInstance();
    if (data == nullptr || !data->hasUrls() || app == nullptr) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    activateWindow();
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    for (const std::string& path : paths)
        app->OpenDocumentFile(path);
}
