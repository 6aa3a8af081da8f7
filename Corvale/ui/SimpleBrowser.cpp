#include "ui/SimpleBrowser.h"

#include <QDesktopServices>
#include <QLayout>
#include <QResizeEvent>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

namespace {

constexpr const char* kBlankPage = "about:blank";

} // namespace

SimpleBrowser::SimpleBrowser(QWidget* parent, int controlId) : QWidget(parent) {
    if (controlId != 0)
        setObjectName(QString::number(controlId));
}

SimpleBrowser::~SimpleBrowser() = default;

bool SimpleBrowser::Create() {
    if (m_View != nullptr)
        return true;
    m_View = new QTextBrowser(this);
    // Links are offered to the owner before anything is shown.
    m_View->setOpenLinks(false);
    m_View->setContextMenuPolicy(Qt::NoContextMenu);
    m_View->setGeometry(rect());
    m_View->show();
    connect(m_View, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { FollowLink(url); });
    connect(m_View, qOverload<const QUrl&>(&QTextBrowser::highlighted), this,
            [this](const QUrl& url) { OnStatusTextChange(url.toString().toStdString()); });
    Clear();
    return true;
}

bool SimpleBrowser::CreateFromControl(QWidget* dialog, int controlId) {
    QWidget* placeholder =
        dialog != nullptr ? dialog->findChild<QWidget*>(QString::number(controlId)) : nullptr;
    if (placeholder == nullptr || placeholder == this)
        return false;
    setParent(placeholder->parentWidget());
    setGeometry(placeholder->geometry());
    if (QLayout* layout = placeholder->parentWidget() != nullptr ? placeholder->parentWidget()->layout() : nullptr)
        delete layout->replaceWidget(placeholder, this);
    setObjectName(QString::number(controlId));
    delete placeholder;
    show();
    return Create();
}

void SimpleBrowser::Clear() {
    if (m_View == nullptr)
        return;
    m_Written.clear();
    m_Title.clear();
    m_View->clear();
    ShowDocument(kBlankPage);
}

void SimpleBrowser::Write(const std::string& html) {
    if (m_View == nullptr)
        return;
    m_Written += html;
    m_View->setHtml(QString::fromStdString(m_Written));
    ShowDocument(kBlankPage);
}

QTextDocument* SimpleBrowser::GetDocument() const { return m_View != nullptr ? m_View->document() : nullptr; }

void SimpleBrowser::FollowLink(const QUrl& url) {
    const std::string target = url.toString().toStdString();
    if (OnBeforeNavigate2(target, std::string(), nullptr, 0, std::string()))
        return;
    if (url.isRelative() || url.isLocalFile() || url.scheme() == QLatin1String("qrc")) {
        m_Written.clear();
        m_View->setSource(url);
        ShowDocument(target);
        return;
    }
    // The view reads no network; other links go to the desktop's handler.
    QDesktopServices::openUrl(url);
}

void SimpleBrowser::ShowDocument(const std::string& url) {
    OnNavigateComplete2(url);
    OnDocumentComplete(url);
    const std::string title = m_View->documentTitle().toStdString();
    if (title != m_Title) {
        m_Title = title;
        OnTitleChange(title);
    }
}

std::intptr_t SimpleBrowser::Notify(SimpleBrowserNotify& record, int code) {
    record.m_Header = NotifyHeader{this, GetControlId(this), code};
    return SendMessage(FindOwnerWindow(this), WM_NOTIFY, static_cast<std::uintptr_t>(record.m_Header.m_ControlId),
                       reinterpret_cast<std::intptr_t>(&record));
}

bool SimpleBrowser::OnBeforeNavigate2(const std::string& url, const std::string& frame, const char* postData,
                                      std::uint32_t postDataSize, const std::string& headers) {
    SimpleBrowserNotify record;
    record.m_URL = url;
    record.m_Frame = frame;
    record.m_PostDataSize = postDataSize;
    if (postData != nullptr)
        record.m_PostData.assign(postData, postData + postDataSize);
    record.m_Headers = headers;
    return Notify(record, SBN_BeforeNavigate2) != 0;
}

void SimpleBrowser::OnDocumentComplete(const std::string& url) {
    SimpleBrowserNotify record;
    record.m_URL = url;
    Notify(record, SBN_DocumentComplete);
}

void SimpleBrowser::OnDownloadBegin() {
    SimpleBrowserNotify record;
    Notify(record, SBN_DownloadBegin);
}

void SimpleBrowser::OnProgressChange(std::int32_t progress, std::int32_t progressMax) {
    SimpleBrowserNotify record;
    record.m_Progress = progress;
    record.m_ProgressMax = progressMax;
    Notify(record, SBN_ProgressChange);
}

void SimpleBrowser::OnDownloadComplete() {
    SimpleBrowserNotify record;
    Notify(record, SBN_DownloadComplete);
}

void SimpleBrowser::OnNavigateComplete2(const std::string& url) {
    SimpleBrowserNotify record;
    record.m_URL = url;
    Notify(record, SBN_NavigateComplete2);
}

void SimpleBrowser::OnStatusTextChange(const std::string& text) {
    SimpleBrowserNotify record;
    record.m_Text = text;
    Notify(record, SBN_StatusTextChange);
}

void SimpleBrowser::OnTitleChange(const std::string& text) {
    SimpleBrowserNotify record;
    record.m_Text = text;
    Notify(record, SBN_TitleChange);
}

void SimpleBrowser::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_View != nullptr)
        m_View->setGeometry(rect());
}
