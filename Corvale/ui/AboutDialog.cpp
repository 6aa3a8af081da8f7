#include "ui/AboutDialog.h"

#include "ui/VersionCheck.h"
#include "ui/controls/HyperEdit.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTabBar>

#include <mutex>

const char* const CAboutDlg::kVersion = "2.1.00";
const char* const CAboutDlg::kDefaultVersionHost = "www.corvale.org";

namespace {

constexpr int kMinWidth = 370;
constexpr int kMinHeight = 271;
// The header above the tabs, where the name, icon and version are painted.
constexpr int kHeaderHeight = 72;
constexpr int kTabsLeft = 11;
constexpr int kTextLeft = 20;
constexpr int kTextTop = kHeaderHeight + 28;

const char* const kNotice = "Copyright (C) The Corvale developers";

const char* const kVersionHistory =
    "Corvale version history\r\n"
    "\r\n"
    "2.1.00\r\n"
    "\tThe workbench on Linux: workspaces of shape files, raster images with\r\n"
    "\tworld files and plug-in data sources; map windows with legend,\r\n"
    "\tattributes, coordinates, bookmarks and statistics panes; selection,\r\n"
    "\tqueries, editing, styles and labels; reprojection and georeferencing;\r\n"
    "\texports to shape files, GPX, XML, tab-separated text, MIF/MID, map\r\n"
    "\timages and HTML image maps; WKT and GeoJSON on the clipboard; the\r\n"
    "\tcommand console, JavaScript and plug-ins; the Kestrow shape-file\r\n"
    "\tchecker.\r\n";

const char* const kLicense =
    "Corvale is provided as it is, without warranty of any kind, express or\r\n"
    "implied, including the warranties of merchantability and fitness for a\r\n"
    "particular purpose. In no event shall its makers be liable for any claim,\r\n"
    "damages or other liability arising from its use.\r\n"
    "\r\n"
    "Corvale uses the following libraries under their own licences:\r\n"
    "\tQt 6 (GNU Lesser General Public License, version 3)\r\n"
    "\tSpiderMonkey (Mozilla Public License, version 2.0)\r\n"
    "\tunixODBC (GNU Lesser General Public License, version 2.1)\r\n";

const char* const kCredits =
    "Corvale is written by its developers with the help of many others.\r\n"
    "\r\n"
    "Thanks to the makers of Qt, SpiderMonkey and unixODBC, and to\r\n"
    "Natural Earth (https://www.naturalearthdata.com) for the public-domain\r\n"
    "data of the sample workspace.\r\n";

// The host and port of the version server, for the whole process.
std::mutex g_ServerMutex;
std::string g_VersionHost = CAboutDlg::kDefaultVersionHost;
unsigned short g_VersionPort = 80;

// The texts keep the CR LF line ends they are written with; the text box
// breaks lines at LF alone.
QString DisplayText(const std::string& text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("About Corvale"));
    setMinimumSize(kMinWidth, kMinHeight);

    m_Tabs = new QTabBar(this);
    m_Tabs->setObjectName(QString::number(IDC_Tabs));
    m_Tabs->setDrawBase(true);
    m_Tabs->setExpanding(false);
    for (const char* title : {"Version", "License", "Online", "Credits"})
        m_Tabs->addTab(QString::fromLatin1(title));

    m_Text = new CHyperEdit(this);
    m_Text->setObjectName(QString::number(IDC_Text));
    m_Text->setReadOnly(true);
    // Lines longer than the box wrap at its edge rather than run past it.
    m_Text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_Text->document()->setDocumentMargin(2);
    // Tab stops every 8 dialog units: a dialog unit is a quarter of the
    // average character width.
    m_Text->setTabStopDistance(2.0 * QFontMetrics(m_Text->font()).averageCharWidth());
    QPalette textPalette = m_Text->palette();
    textPalette.setColor(QPalette::Base, Qt::white);
    textPalette.setColor(QPalette::Text, Qt::black);
    m_Text->setPalette(textPalette);

    m_Ok = new QPushButton(tr("OK"), this);
    m_Ok->setObjectName(QString::number(IDC_OK));
    m_Ok->setDefault(true);
    connect(m_Ok, &QPushButton::clicked, this, &QDialog::accept);

    // The statics only mark where the header is painted.
    m_Version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(kVersion), this);
    m_Version->setObjectName(QString::number(IDC_Version));
    m_Title = new QLabel(QStringLiteral("Corvale"), this);
    m_Title->setObjectName(QString::number(IDC_Title));
    m_Icon = new QLabel(this);
    m_Icon->setObjectName(QString::number(IDC_Icon));
    m_Notice = new QLabel(QString::fromLatin1(kNotice), this);
    m_Notice->setObjectName(QString::number(IDC_Notice));
    for (QLabel* label : {m_Version, m_Title, m_Icon, m_Notice})
        label->hide();

    connect(m_Tabs, &QTabBar::currentChanged, this, [this](int index) { ShowTab(index); });

    // The finished check is handed over on this thread, and only while this
    // dialog exists (the destructor unregisters it).
    corvale::CVersionCheck::Instance().SetReceiver(this, [this] { OnCheckFinished(); });

    resize(sizeHint());
    Arrange();
    ShowTab(TabVersion);
}

CAboutDlg::~CAboutDlg() { corvale::CVersionCheck::Instance().ClearReceiver(this); }

void CAboutDlg::SetVersionServer(const std::string& host, unsigned short port) {
    std::lock_guard<std::mutex> lock(g_ServerMutex);
    g_VersionHost = host;
    g_VersionPort = port;
}

std::string CAboutDlg::GetVersionHost() {
    std::lock_guard<std::mutex> lock(g_ServerMutex);
    return g_VersionHost;
}

unsigned short CAboutDlg::GetVersionPort() {
    std::lock_guard<std::mutex> lock(g_ServerMutex);
    return g_VersionPort;
}

std::string CAboutDlg::GetTextResource(int id) {
    switch (id) {
    case IDR_VersionHistory:
        return kVersionHistory;
    case IDR_License:
        return kLicense;
    case IDR_Credits:
        return kCredits;
    default:
        return {};
    }
}

void CAboutDlg::ShowTab(int tab) {
    if (m_Tabs->currentIndex() != tab) {
        // The tab bar's signal comes back here.
        m_Tabs->setCurrentIndex(tab);
        return;
    }
    switch (tab) {
    case TabVersion:
        m_Text->setPlainText(DisplayText(GetTextResource(IDR_VersionHistory)));
        break;
    case TabLicense:
        m_Text->setPlainText(DisplayText(GetTextResource(IDR_License)));
        break;
    case TabOnline:
        ShowOnlineTab();
        break;
    case TabCredits:
        m_Text->setPlainText(DisplayText(GetTextResource(IDR_Credits)));
        break;
    default:
        break;
    }
}

void CAboutDlg::ShowOnlineTab() {
    corvale::CVersionCheck& check = corvale::CVersionCheck::Instance();
    if (!check.IsRunning())
        check.Start({GetVersionHost(), GetVersionPort(), kVersion});
    m_Text->setPlainText(DisplayText(check.GetResult()));
    update();
}

void CAboutDlg::OnCheckFinished() {
    // The text box is shared by the tabs: the result goes in only while the
    // Online tab is the one shown.
    if (m_Tabs->currentIndex() == TabOnline)
        m_Text->setPlainText(DisplayText(corvale::CVersionCheck::Instance().GetResult()));
}

QSize CAboutDlg::sizeHint() const { return {480, 400}; }

void CAboutDlg::Arrange() {
    const int w = width();
    const int h = height();
    m_Tabs->setGeometry(kTabsLeft, kHeaderHeight, w - 23, m_Tabs->sizeHint().height());
    // The tab control reaches down to h - 15; its page is the frame drawn
    // around the text box.
    m_Text->setGeometry(kTextLeft, kTextTop, w - 41, h - 120);
    const QSize ok = m_Ok->sizeHint().expandedTo(QSize(75, 23));
    m_Ok->setGeometry(w - 11 - ok.width(), 12, ok.width(), ok.height());
    m_Icon->setGeometry(14, 14, 32, 32);
    m_Title->setGeometry(54, 6, 220, 42);
    m_Version->setGeometry(56, 48, 200, 18);
    m_Notice->setGeometry(kTabsLeft, 48, w - 2 * kTabsLeft, 18);
}

void CAboutDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Arrange();
}

void CAboutDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QPalette& pal = palette();

    const QRect header(0, 0, width(), kHeaderHeight);
    QLinearGradient gradient(header.topLeft(), header.bottomLeft());
    gradient.setColorAt(0.0, pal.color(QPalette::Light));
    gradient.setColorAt(1.0, pal.color(QPalette::Button));
    painter.fillRect(header, gradient);

    // The page of the tabs: a frame from below the tab bar down to h - 15.
    const int tabsBottom = m_Tabs->geometry().bottom();
    const QRect page(kTabsLeft, tabsBottom, width() - 23, height() - 15 - tabsBottom);
    painter.setPen(pal.color(QPalette::Mid));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(page.adjusted(0, 0, -1, -1));

    painter.setFont(font());
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawText(m_Version->geometry(), Qt::AlignLeft | Qt::AlignVCenter, m_Version->text());
    painter.drawText(m_Notice->geometry(), Qt::AlignRight | Qt::AlignVCenter, m_Notice->text());

    QFont title(QStringLiteral("Times New Roman"), 24, QFont::Bold);
    painter.setFont(title);
    const QRect titleRect = m_Title->geometry();
    painter.setPen(Qt::white);
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, m_Title->text());
    painter.setPen(Qt::black);
    painter.drawText(titleRect.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, m_Title->text());

    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    icon.paint(&painter, m_Icon->geometry());
}
