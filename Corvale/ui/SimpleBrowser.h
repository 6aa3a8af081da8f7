#pragma once
// A child window that shows HTML the program builds in memory, and tells
// its owner what happens in it as WM_NOTIFY records. A link the user
// follows is offered to the owner first (SBN_BeforeNavigate2), which may
// keep the current page; every document written or loaded ends with
// SBN_DocumentComplete. The view is a QTextBrowser, which never downloads:
// download begin/complete and progress are never raised.

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/controls/ControlNotify.h"

class QTextBrowser;
class QTextDocument;
class QUrl;

enum SimpleBrowserCode {
    SBN_BeforeNavigate2 = 0,
    SBN_DocumentComplete = 1,
    SBN_DownloadBegin = 2,
    SBN_ProgressChange = 3,
    SBN_DownloadComplete = 4,
    SBN_NavigateComplete2 = 5,
    SBN_StatusTextChange = 6,
    SBN_TitleChange = 7,
};

// The record the owner receives with WM_NOTIFY.
struct SimpleBrowserNotify {
    NotifyHeader m_Header;
    std::string m_URL;
    std::string m_Frame;
    std::uint32_t m_PostDataSize = 0;
    std::vector<char> m_PostData;
    std::string m_Headers;
    std::int32_t m_Progress = 0;
    std::int32_t m_ProgressMax = 0;
    std::string m_Text;
};

class SimpleBrowser : public QWidget {
public:
    explicit SimpleBrowser(QWidget* parent = nullptr, int controlId = 0);
    ~SimpleBrowser() override;

    // Starts on an empty page; false when the view cannot be made.
    bool Create();
    // Takes the place, size and layout slot of a dialog's control, which is
    // removed; false when the dialog has no such control.
    bool CreateFromControl(QWidget* dialog, int controlId);
    // An empty page.
    void Clear();
    // Adds the HTML to the current document; nothing before Create.
    void Write(const std::string& html);
    // The current document; null before Create.
    QTextDocument* GetDocument() const;
    QTextBrowser* GetView() const { return m_View; }

    // The events; each tells the owner. OnBeforeNavigate2 answers true to
    // stay on the current page.
    virtual bool OnBeforeNavigate2(const std::string& url, const std::string& frame, const char* postData,
                                   std::uint32_t postDataSize, const std::string& headers);
    virtual void OnDocumentComplete(const std::string& url);
    virtual void OnDownloadBegin();
    virtual void OnProgressChange(std::int32_t progress, std::int32_t progressMax);
    virtual void OnDownloadComplete();
    virtual void OnNavigateComplete2(const std::string& url);
    virtual void OnStatusTextChange(const std::string& text);
    virtual void OnTitleChange(const std::string& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::intptr_t Notify(SimpleBrowserNotify& record, int code);
    void FollowLink(const QUrl& url);
    void ShowDocument(const std::string& url);

    QTextBrowser* m_View = nullptr;
    // What was written since the last Clear: writing adds to the page.
    std::string m_Written;
    std::string m_Title;
};
