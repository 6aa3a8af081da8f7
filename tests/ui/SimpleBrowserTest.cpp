// The in-memory HTML view and the information dialog: what the owner is
// told, links it can stop, and where plain text and pages are shown.

#include "UiTestSupport.h"

#include "TempDir.h"
#include "framework/UserInterface.h"
#include "ui/SimpleBrowser.h"
#include "ui/SmallDialogs.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Takes the browser's notifications; answers `cancel` to a link.
class BrowserOwner : public QWidget, public CMessageWindow {
public:
    struct Seen {
        int code;
        std::string url;
        std::string text;
        bool operator==(const Seen& other) const {
            return code == other.code && url == other.url && text == other.text;
        }
    };
    std::vector<Seen> seen;
    bool cancel = false;

    std::intptr_t OnMessage(unsigned message, std::uintptr_t, std::intptr_t lParam) override {
        if (message != WM_NOTIFY)
            return 0;
        const auto* record = reinterpret_cast<const SimpleBrowserNotify*>(lParam);
        seen.push_back({record->m_Header.m_Code, record->m_URL, record->m_Text});
        return record->m_Header.m_Code == SBN_BeforeNavigate2 && cancel ? 1 : 0;
    }
    QObject* GetMessageObject() override { return this; }
};

std::string PlainText(SimpleBrowser& browser) { return browser.GetDocument()->toPlainText().toStdString(); }

} // namespace

TEST(SimpleBrowser, WritingBeforeCreateDoesNothing) {
    BrowserOwner owner;
    SimpleBrowser browser(&owner, 7);
    browser.Write("<p>lost</p>");
    EXPECT_EQ(browser.GetDocument(), nullptr);
    EXPECT_TRUE(owner.seen.empty());
}

TEST(SimpleBrowser, WritesAddToThePageAndCompleteTheDocument) {
    BrowserOwner owner;
    SimpleBrowser browser(&owner, 7);
    ASSERT_TRUE(browser.Create());
    owner.seen.clear();
    browser.Write("<html><head><title>Report</title></head><body>first ");
    browser.Write("second</body></html>");
    EXPECT_EQ(PlainText(browser), "first second");
    const std::vector<BrowserOwner::Seen> expected = {
        {SBN_NavigateComplete2, "about:blank", ""}, {SBN_DocumentComplete, "about:blank", ""},
        {SBN_TitleChange, "", "Report"},           {SBN_NavigateComplete2, "about:blank", ""},
        {SBN_DocumentComplete, "about:blank", ""},
    };
    EXPECT_EQ(owner.seen, expected);
    browser.Clear();
    EXPECT_EQ(PlainText(browser), "");
}

TEST(SimpleBrowser, OwnerMayStopALink) {
    TempDir dir;
    const std::string page = dir.path() + "/next.html";
    std::ofstream(page) << "<html><body>next page</body></html>";
    const QUrl link = QUrl::fromLocalFile(QString::fromStdString(page));

    for (bool cancel : {true, false}) {
        BrowserOwner owner;
        owner.cancel = cancel;
        SimpleBrowser browser(&owner, 7);
        ASSERT_TRUE(browser.Create());
        browser.Write("<a href='x'>current page</a>");
        owner.seen.clear();
        emit browser.GetView()->anchorClicked(link);
        ASSERT_FALSE(owner.seen.empty());
        EXPECT_EQ(owner.seen.front().code, SBN_BeforeNavigate2);
        EXPECT_EQ(owner.seen.front().url, link.toString().toStdString());
        EXPECT_EQ(PlainText(browser), cancel ? "current page" : "next page");
        EXPECT_EQ(owner.seen.size(), cancel ? 1u : 3u);
        if (!cancel) {
            EXPECT_EQ(owner.seen.back().code, SBN_DocumentComplete);
        }
    }
}

TEST(TextInformationDialog, PagesGoToTheBrowserOtherTextToTheEdit) {
    struct Case {
        std::string text;
        bool page;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"Line one\nLine two", false, "Line one\nLine two"},
        {"<html><body>lower case tag</body></html>", true, "lower case tag"},
        {"<HTML><head><CorvaleStyleSheet></head><body>styled</body></HTML>", true, "styled"},
        // A page that does not start the text is plain text.
        {" <HTML>late</HTML>", false, " <HTML>late</HTML>"},
    };
    for (const Case& c : cases) {
        CTextInformationDialog dialog("Diagnostics");
        dialog.m_Text = c.text;
        std::string shown;
        bool browserShown = false;
        QString title;
        WhenModal([&](QWidget*) {
            title = dialog.windowTitle();
            browserShown = dialog.GetBrowser() != nullptr;
            if (dialog.GetBrowser() != nullptr)
                shown = PlainText(*dialog.GetBrowser());
            else
                shown = dialog.GetEdit()->toPlainText().toStdString();
            Control<QPushButton>(&dialog, 1)->click();
        });
        EXPECT_EQ(dialog.DoModal(), corvale::IDOK);
        EXPECT_EQ(title, "Diagnostics");
        EXPECT_EQ(browserShown, c.page) << c.text;
        EXPECT_EQ(shown, c.shown) << c.text;
        // The browser took the edit's place and id.
        EXPECT_EQ(Control<QWidget>(&dialog, IDC_INFORMATION_TEXT) == dialog.GetBrowser(), c.page);
    }
    EXPECT_EQ(CTextInformationDialog().windowTitle(), "Information");
}

TEST(TextInformationDialog, TextFillsTheWindowAboveACentredClose) {
    CTextInformationDialog dialog;
    dialog.m_Text = "x";
    QRect text;
    QRect close;
    WhenModal([&](QWidget*) {
        dialog.resize(400, 300);
        QApplication::processEvents();
        text = dialog.GetEdit()->geometry();
        close = Control<QPushButton>(&dialog, 1)->geometry();
        dialog.accept();
    });
    dialog.DoModal();
    EXPECT_EQ(text.width(), 400 - 21);
    EXPECT_EQ(text.height(), 300 - 51);
    EXPECT_EQ(close.bottom() + 1, 300 - 11);
    EXPECT_LE(std::abs(close.center().x() - 200), 1);
}
