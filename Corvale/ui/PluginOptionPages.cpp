#include "ui/PluginOptionPages.h"

#include "core/DrawingPlugin.h"
#include "core/ExporterPlugin.h"
#include "core/LoaderPlugin.h"
#include "core/StatisticsPlugin.h"
#include "framework/UserInterface.h"
#include "settings/Registry.h"
#include "ui/SmallDialogs.h"
#include "workspace/gpi/GpiHost.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>
#include <utility>

namespace {

constexpr int kListExporters = 2050;
constexpr int kListLoaders = 2049;
constexpr int kListIse = 2049;
constexpr int kListStatistics = 2067;

enum StatusIcon { kIconValid = 0, kIconInvalid = 1, kIconBlocked = 2 };

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The 16 x 16 status pictures of the lists: a green tick, a red cross, a
// grey bar for a plug-in that is not loaded.
QIcon StatusPicture(int which) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(0, 150, 0), QColor(200, 0, 0), QColor(128, 128, 128)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours[which]);
    painter.drawEllipse(1, 1, 14, 14);
    painter.setPen(QPen(Qt::white, 2));
    if (which == kIconValid) {
        painter.drawLine(4, 8, 7, 11);
        painter.drawLine(7, 11, 12, 5);
    } else if (which == kIconInvalid) {
        painter.drawLine(5, 5, 11, 11);
        painter.drawLine(11, 5, 5, 11);
    } else {
        painter.drawLine(4, 8, 12, 8);
    }
    return QIcon(pixmap);
}

// Line feeds as the information dialog shows them: carriage return + line feed.
std::string WithCrLf(const std::string& text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            result += '\r';
        result += text[i];
    }
    return result;
}

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::unique_ptr<QSettings> OpenBlockList() {
    std::unique_ptr<QSettings> registry = corvale::OpenRegistry();
    registry->beginGroup(QStringLiteral("GPIBlockList"));
    return registry;
}

} // namespace

// ---------------------------------------------------------------------------
// The list and its buttons
// ---------------------------------------------------------------------------

COptionsPagePluginList::COptionsPagePluginList(int dialogId, int listId, bool withGuid, QWidget* parent)
    : QWidget(parent), m_List(new QTreeWidget(this)),
      m_Settings(new QPushButton(QStringLiteral("Settings..."), this)),
      m_Info(new QPushButton(QStringLiteral("Info..."), this)) {
    setObjectName(QString::number(dialogId));
    m_List->setObjectName(QString::number(listId));
    m_Settings->setObjectName(QString::number(IDC_PLUGIN_SETTINGS));
    m_Info->setObjectName(QString::number(IDC_PLUGIN_INFO));

    // A report list: full-row selection, one row per plug-in, no tree.
    m_List->setRootIsDecorated(false);
    m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_List->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List->setIconSize(QSize(16, 16));
    QStringList headers = {QStringLiteral("File"), QStringLiteral("Name"), QStringLiteral("Version"),
                           QStringLiteral("Status")};
    if (withGuid)
        headers << QStringLiteral("GUID");
    m_List->setHeaderLabels(headers);
    const int widths[] = {120, 100, 50, 45, 250};
    for (int column = 0; column < headers.size(); ++column)
        m_List->header()->resizeSection(column, widths[column]);
    m_List->header()->setStretchLastSection(false);

    // The list takes the room; the buttons stay at the right edge.
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_Settings);
    buttons->addWidget(m_Info);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_List, 1);
    layout->addLayout(buttons);

    m_Settings->setEnabled(false);
    m_Info->setEnabled(false);
    connect(m_List, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_Settings, &QPushButton::clicked, this, [this] { OnSettings(); });
    connect(m_Info, &QPushButton::clicked, this, [this] { OnInfo(); });
}

int COptionsPagePluginList::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_List->selectedItems();
    return selected.isEmpty() ? -1 : m_List->indexOfTopLevelItem(selected.front());
}

void COptionsPagePluginList::FitColumns() {
    QHeaderView* header = m_List->header();
    for (int column = 0; column < m_List->columnCount(); ++column) {
        const int width = header->sectionSize(column);
        m_List->resizeColumnToContents(column);
        if (header->sectionSize(column) < width)
            header->resizeSection(column, width);
    }
}

void COptionsPagePluginList::ShowInformation(const std::string& text) {
    CTextInformationDialog dialog("Information", this);
    dialog.m_Text = text;
    dialog.DoModal();
}

// ---------------------------------------------------------------------------
// File pages
// ---------------------------------------------------------------------------

COptionsPagePluginFiles::COptionsPagePluginFiles(int dialogId, int listId, std::string pattern,
                                                 std::string folder, QWidget* parent)
    : COptionsPagePluginList(dialogId, listId, false, parent), m_Pattern(std::move(pattern)),
      m_Folder(std::move(folder)) {}

void COptionsPagePluginFiles::FillList() {
    m_List->clear();
    m_Paths.clear();
    m_Valid.clear();
    m_InfoTexts.clear();
    for (const std::string& path : ListPluginFolder(m_Folder, m_Pattern)) {
        // A file that cannot be bound is listed all the same, with the reason.
        const Binding binding = Bind(path);
        auto* item = new QTreeWidgetItem(m_List);
        item->setText(0, Q(FileName(path)));
        if (binding.valid) {
            item->setText(1, Q(binding.name));
            item->setText(2, QString::number(binding.version));
            item->setText(3, QStringLiteral("Valid"));
            item->setIcon(3, StatusPicture(kIconValid));
            m_InfoTexts.push_back(binding.info);
        } else {
            item->setText(3, QStringLiteral("Invalid"));
            item->setIcon(3, StatusPicture(kIconInvalid));
            m_InfoTexts.push_back("This plug-in is invalid.\r\n\r\nDiagnostics:\r\n\r\n" +
                                  WithCrLf(binding.errorText));
        }
        m_Paths.push_back(path);
        m_Valid.push_back(binding.valid);
    }
    FitColumns();
    UpdateButtons();
}

bool COptionsPagePluginFiles::IsRowValid(int row) const {
    return row >= 0 && row < RowCount() && m_Valid[static_cast<std::size_t>(row)];
}

std::string COptionsPagePluginFiles::InfoText(int row) const {
    return row >= 0 && row < RowCount() ? m_InfoTexts[static_cast<std::size_t>(row)] : std::string();
}

void COptionsPagePluginFiles::UpdateButtons() {
    const bool selected = SelectedRow() >= 0;
    m_Settings->setEnabled(selected);
    m_Info->setEnabled(selected);
}

void COptionsPagePluginFiles::OnSettings() {
    const int row = SelectedRow();
    if (row < 0 || row >= RowCount())
        return;
    Settings(m_Paths[static_cast<std::size_t>(row)]);
}

void COptionsPagePluginFiles::OnInfo() {
    const int row = SelectedRow();
    if (row < 0 || row >= RowCount())
        return;
    ShowInformation(InfoText(row));
}

COptionsPageExporters::COptionsPageExporters(const std::string& folder, QWidget* parent)
    : COptionsPagePluginFiles(IDD_OPTIONS_PAGE_EXPORTERS, kListExporters, "*.xpr", folder, parent) {
    FillList();
}

COptionsPagePluginFiles::Binding COptionsPageExporters::Bind(const std::string& path) {
    CExporterPlugin plugin;
    plugin.Load(path);
    return {plugin.m_Valid, plugin.m_Name, plugin.m_Version, plugin.m_InfoText, plugin.m_ErrorText};
}

void COptionsPageExporters::Settings(const std::string& path) {
    CExporterPlugin plugin;
    plugin.Load(path);
    plugin.ShowSettings();
}

COptionsPageLoaders::COptionsPageLoaders(const std::string& folder, QWidget* parent)
    : COptionsPagePluginFiles(IDD_OPTIONS_PAGE_LOADERS, kListLoaders, "*.ldr", folder, parent) {
    FillList();
}

COptionsPagePluginFiles::Binding COptionsPageLoaders::Bind(const std::string& path) {
    CLoaderPlugin plugin;
    plugin.Load(path);
    Binding binding{plugin.m_Valid, plugin.m_Name, plugin.m_Version, {}, plugin.m_ErrorText};
    if (plugin.m_Valid && plugin.fnGetInfo != nullptr) {
        try {
            binding.info = LoaderText(plugin.fnGetInfo(), 64 * 1024);
        } catch (...) {
            binding.info.clear();
        }
    }
    return binding;
}

void COptionsPageLoaders::Settings(const std::string& path) {
    CLoaderPlugin plugin;
    plugin.Load(path);
    if (plugin.fnSettings == nullptr)
        return;
    try {
        plugin.fnSettings();
    } catch (...) {
        // A loader's settings dialog that fails changes nothing here.
    }
}

COptionsPageISE::COptionsPageISE(const std::string& folder, QWidget* parent)
    : COptionsPagePluginFiles(IDD_OPTIONS_PAGE_ISE, kListIse, "*.ise", folder, parent) {
    FillList();
}

COptionsPagePluginFiles::Binding COptionsPageISE::Bind(const std::string& path) {
    CDrawingPlugin plugin;
    plugin.Load(path);
    return {plugin.m_Valid != 0, plugin.m_Name, plugin.m_Version, plugin.m_InfoText, plugin.m_ErrorText};
}

void COptionsPageISE::Settings(const std::string& path) {
    CDrawingPlugin plugin;
    plugin.Load(path);
    plugin.ShowSettings();
}

COptionsPageStatistics::COptionsPageStatistics(const std::string& folder, QWidget* parent)
    : COptionsPagePluginFiles(IDD_OPTIONS_PAGE_STATISTICS, kListStatistics, "*.stc", folder, parent) {
    FillList();
}

COptionsPagePluginFiles::Binding COptionsPageStatistics::Bind(const std::string& path) {
    CStatisticsPlugin plugin(path);
    return {plugin.m_Valid != 0, plugin.m_Name, plugin.m_Version, plugin.m_InfoText, plugin.m_ErrorText};
}

void COptionsPageStatistics::Settings(const std::string& path) {
    CStatisticsPlugin plugin(path);
    plugin.ShowSettings();
}

// ---------------------------------------------------------------------------
// The GPI page
// ---------------------------------------------------------------------------

bool IsGpiPluginBlocked(const std::string& guidText) {
    return corvale::ReadRegistryInt(*OpenBlockList(), Q(guidText), 0) != 0;
}

COptionsPageGPI::COptionsPageGPI(QWidget* parent)
    : COptionsPagePluginList(IDD_OPTIONS_PAGE_GPI, IDC_PLUGIN_LIST_GPI, true, parent) {
    m_List->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_List, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        if (QTreeWidgetItem* item = m_List->itemAt(point))
            m_List->setCurrentItem(item);
        std::unique_ptr<QMenu> menu(CreateContextMenu(this));
        if (menu != nullptr)
            menu->exec(m_List->viewport()->mapToGlobal(point));
    });
    FillList();
}

void COptionsPageGPI::FillList() {
    m_List->clear();
    m_Rows.clear();
    std::unique_ptr<QSettings> blockList = OpenBlockList();
    for (const GpiPluginListing& plugin : GpiListPlugins()) {
        const bool blocked = corvale::ReadRegistryInt(*blockList, Q(plugin.m_GuidText), 0) != 0;
        auto* item = new QTreeWidgetItem(m_List);
        item->setText(0, Q(FileName(plugin.m_Path)));
        item->setText(1, Q(plugin.m_Name));
        item->setText(2, QString::number(plugin.m_InterfaceVersion));
        item->setText(3, blocked ? QStringLiteral("<not loaded>") : QStringLiteral("Valid"));
        item->setIcon(3, StatusPicture(blocked ? kIconBlocked : kIconValid));
        item->setText(4, Q(plugin.m_GuidText));
        m_Rows.push_back({plugin.m_Identity, plugin.m_GuidText, plugin.m_About, plugin.m_HasSettings});
    }
    FitColumns();
    UpdateButtons();
}

const COptionsPageGPI::Row* COptionsPageGPI::SelectedEntry() const {
    const int row = SelectedRow();
    return row >= 0 && row < RowCount() ? &m_Rows[static_cast<std::size_t>(row)] : nullptr;
}

void COptionsPageGPI::UpdateButtons() {
    const Row* row = SelectedEntry();
    m_Info->setEnabled(row != nullptr && !row->about.empty());
    m_Settings->setEnabled(row != nullptr && row->hasSettings);
}

void COptionsPageGPI::OnSettings() {
    if (const Row* row = SelectedEntry())
        GpiShowPluginSettings(row->identity);
}

void COptionsPageGPI::OnInfo() {
    const Row* row = SelectedEntry();
    if (row != nullptr && !row->about.empty())
        ShowInformation(WithCrLf(row->about));
}

void COptionsPageGPI::OnCopyGuid() {
    const Row* row = SelectedEntry();
    if (row == nullptr)
        return;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(Q(row->guidText));
}

void COptionsPageGPI::OnToggleEnabled() {
    const Row* row = SelectedEntry();
    if (row == nullptr)
        return;
    {
        std::unique_ptr<QSettings> blockList = OpenBlockList();
        const bool blocked = corvale::ReadRegistryInt(*blockList, Q(row->guidText), 0) != 0;
        corvale::WriteRegistryInt(*blockList, Q(row->guidText), blocked ? 0 : 1);
        blockList->sync();
    }
    corvale::UI().ShowMessage("This change requires a restart of Corvale.", corvale::MessageIcon::Information,
                              corvale::MessageButtons::Ok);
}

QMenu* COptionsPageGPI::CreateContextMenu(QWidget* parent) {
    const Row* row = SelectedEntry();
    if (row == nullptr)
        return nullptr;
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString::number(IDR_GPI_PLUGIN_MENU));
    QAction* copy = menu->addAction(QStringLiteral("&Copy GUID"));
    copy->setData(ID_GPI_PLUGIN_COPY_GUID);
    copy->setStatusTip(QStringLiteral("Copy plug-in GUID to the Clipboard"));
    copy->setToolTip(QStringLiteral("Copy GUID"));
    connect(copy, &QAction::triggered, this, [this] { OnCopyGuid(); });
    QAction* enabled = menu->addAction(QStringLiteral("Enabled"));
    enabled->setData(ID_GPI_PLUGIN_ENABLED);
    enabled->setCheckable(true);
    enabled->setChecked(!IsGpiPluginBlocked(row->guidText));
    connect(enabled, &QAction::triggered, this, [this] { OnToggleEnabled(); });
    return menu;
}

// ---------------------------------------------------------------------------

std::vector<PluginOptionPage> CreatePluginOptionPages(const std::string& pluginFolder, QWidget* parent) {
    std::vector<PluginOptionPage> pages;
    pages.push_back({"GPI", IDD_OPTIONS_PAGE_GPI, new COptionsPageGPI(parent)});
    pages.push_back({"Loaders", IDD_OPTIONS_PAGE_LOADERS, new COptionsPageLoaders(pluginFolder, parent)});
    pages.push_back({"Exporters", IDD_OPTIONS_PAGE_EXPORTERS, new COptionsPageExporters(pluginFolder, parent)});
    pages.push_back({"ISE", IDD_OPTIONS_PAGE_ISE, new COptionsPageISE(pluginFolder, parent)});
    pages.push_back({"Statistical", IDD_OPTIONS_PAGE_STATISTICS, new COptionsPageStatistics(pluginFolder, parent)});
    for (const PluginOptionPage& page : pages)
        page.m_Page->hide();
    return pages;
}
