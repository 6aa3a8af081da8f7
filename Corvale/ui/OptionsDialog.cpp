#include "ui/OptionsDialog.h"

#include <QFrame>
#include <QPushButton>
#include <QResizeEvent>
#include <QTreeWidget>

namespace {

constexpr int kMargin = 7;
constexpr int kTreeWidth = 150;
// Pages sit this far right of the tree.
constexpr int kPageGap = 3;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

} // namespace

COptionsDialog::COptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("Corvale Options"));
    setMinimumSize(kMinWidth, kMinHeight);

    m_Tree = new QTreeWidget(this);
    m_Tree->setObjectName(QString::number(IDC_Tree));
    m_Tree->setHeaderHidden(true);
    m_Tree->setRootIsDecorated(true);
    m_Placeholder = new QFrame(this);
    m_Placeholder->setObjectName(QString::number(IDC_Placeholder));
    m_Placeholder->setFrameShape(QFrame::HLine);
    m_Placeholder->setFrameShadow(QFrame::Sunken);
    m_Ok = new QPushButton(QStringLiteral("OK"), this);
    m_Ok->setObjectName(QString::number(IDC_OK));
    m_Ok->setDefault(true);
    m_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_Cancel->setObjectName(QString::number(IDC_Cancel));
    m_Cancel->setAutoDefault(false);
    connect(m_Ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_Cancel, &QPushButton::clicked, this, [this] { reject(); });

    m_General = new COptionsPageGeneral(this);
    m_Color = new COptionsPageColor(this);
    m_ColorTheme = new COptionsPageColorTheme(this);
    m_Data = new COptionsPageData(this);
    m_Console = new COptionsPageConsole(this);
    m_Plugins = new COptionsPagePlugins(this);
    AddPage(m_General, QStringLiteral("General"), COptionsPageGeneral::IDD);
    AddPage(m_Color, QStringLiteral("Colors"), COptionsPageColor::IDD);
    AddPage(m_ColorTheme, QStringLiteral("Color Themes"), COptionsPageColorTheme::IDD);
    AddPage(m_Data, QStringLiteral("Data"), COptionsPageData::IDD);
    AddPage(m_Console, QStringLiteral("Console"), COptionsPageConsole::IDD);
    m_PluginsItem = AddPage(m_Plugins, QStringLiteral("Plugins"), COptionsPagePlugins::IDD);

    connect(m_Tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { ShowPage(current); });

    resize(560, 420);
}

COptionsDialog::~COptionsDialog() = default;

void COptionsDialog::SetMainDirectory(const std::string& folder) { m_General->SetMainDirectory(folder); }

void COptionsDialog::SetPluginFolder(const std::string& folder) { m_Plugins->SetPluginFolder(folder); }

QTreeWidgetItem* COptionsDialog::AddPage(QWidget* page, const QString& title, int dialogId,
                                         QTreeWidgetItem* parent) {
    if (page == nullptr)
        return nullptr;
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_Tree);
    item->setText(0, title);
    // A page is a child window of the dialog. A QDialog made with a parent
    // and no window type is still a dialog window of its own, so the type
    // is cleared explicitly.
    page->setParent(this, page->windowFlags() & ~Qt::WindowType_Mask);
    page->hide();
    m_Pages.push_back({item, page, dialogId});
    if (parent != nullptr)
        parent->setExpanded(true);
    // A page added to an open dialog gets its values and place at once.
    if (m_Initialised) {
        if (auto* optionsPage = dynamic_cast<COptionsPage*>(page); optionsPage != nullptr && m_Settings != nullptr)
            optionsPage->Load(*m_Settings);
        Arrange();
    }
    return item;
}

const COptionsDialog::Page* COptionsDialog::FindPage(const QTreeWidgetItem* item) const {
    for (const Page& page : m_Pages)
        if (page.item == item)
            return &page;
    return nullptr;
}

void COptionsDialog::OnInitDialog() {
    if (m_Initialised)
        return;
    m_Initialised = true;
    m_PluginsItem->setExpanded(true);
    if (m_Settings != nullptr) {
        for (const Page& page : m_Pages)
            if (auto* optionsPage = dynamic_cast<COptionsPage*>(page.widget))
                optionsPage->Load(*m_Settings);
    }
    Arrange();
    m_Tree->setCurrentItem(m_Pages.front().item);
    ShowPage(m_Pages.front().item);
}

void COptionsDialog::ShowPage(QTreeWidgetItem* item) {
    const Page* shown = FindPage(item);
    for (const Page& page : m_Pages)
        if (&page != shown)
            page.widget->hide();
    m_CurrentPage = shown != nullptr ? shown->widget : nullptr;
    m_HelpContext = shown != nullptr ? kHelpContextBase + shown->dialogId : kOwnHelpContext;
    if (shown != nullptr) {
        if (auto* base = dynamic_cast<CPropertiesBaseDialog*>(shown->widget))
            base->InitDialog();
        shown->widget->show();
    }
}

void COptionsDialog::accept() {
    for (const Page& page : m_Pages) {
        auto* optionsPage = dynamic_cast<COptionsPage*>(page.widget);
        if (optionsPage == nullptr || optionsPage->UpdateData(true))
            continue;
        // The refused value's page comes to the front; its field has the
        // focus the check gave it.
        m_Tree->setCurrentItem(page.item);
        return;
    }
    QDialog::accept();
}

void COptionsDialog::StoreSettings() {
    if (m_Settings == nullptr)
        return;
    for (const Page& page : m_Pages)
        if (auto* optionsPage = dynamic_cast<COptionsPage*>(page.widget))
            optionsPage->Store(*m_Settings);
}

void COptionsDialog::showEvent(QShowEvent* event) {
    OnInitDialog();
    QDialog::showEvent(event);
}

void COptionsDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Arrange();
}

void COptionsDialog::Arrange() {
    const int w = width();
    const int h = height();
    m_Tree->setGeometry(kMargin, kMargin, kTreeWidth, h - 27);
    const int pageLeft = kMargin + kTreeWidth + kPageGap;
    const QRect pageRect(pageLeft, kMargin, w - pageLeft - 25 + kMargin, h - 55);
    for (const Page& page : m_Pages)
        page.widget->setGeometry(pageRect);
    m_Placeholder->setGeometry(pageLeft, pageRect.bottom() + 4, pageRect.width(), 2);
    const int buttonTop = h - kMargin - kButtonHeight - 6;
    m_Cancel->setGeometry(w - kMargin - 4 - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    m_Ok->setGeometry(w - kMargin - 4 - 2 * kButtonWidth - 6, buttonTop, kButtonWidth, kButtonHeight);
}
