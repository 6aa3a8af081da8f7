// The About dialog and its online version check, against a server of the
// test's own on 127.0.0.1: nothing here reaches outside the machine.

#include "ui/AboutDialog.h"
#include "ui/VersionCheck.h"
#include "ui/controls/HyperEdit.h"

#include "StyleControlsTestSupport.h"
#include "UiTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

// Serves events until actual equals expected or the time is up, then checks.
#define WAIT_EQ(actual, expected, timeoutMs)                                                                  \
    do {                                                                                                       \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, timeoutMs);                              \
        EXPECT_EQ(actual, expected);                                                                           \
    } while (false)

namespace {

using corvale::CVersionCheck;
using corvale::VersionCheckRequest;

// Answers every connection on 127.0.0.1 once the request's empty line came:
// the reply in the given parts, each after the delay, then closes. An
// empty part list closes without a reply; hold keeps the connection open
// until release().
class CVersionServer {
public:
    CVersionServer() {
        EXPECT_TRUE(m_Server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&m_Server, &QTcpServer::newConnection, &m_Server, [this] { OnConnection(); });
    }

    unsigned short port() const { return m_Server.serverPort(); }

    std::vector<QByteArray> parts;
    int delayMs = 0;
    bool hold = false;
    int connections = 0;
    std::vector<QByteArray> requests;

    void release() {
        hold = false;
        for (QTcpSocket* socket : m_Held)
            Reply(socket);
        m_Held.clear();
    }

private:
    void OnConnection() {
        while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
            ++connections;
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                if (!buffer->contains("\r\n\r\n") || buffer->isEmpty())
                    return;
                requests.push_back(*buffer);
                buffer->clear();
                if (hold)
                    m_Held.push_back(socket);
                else
                    Reply(socket);
            });
        }
    }

    void Reply(QTcpSocket* socket) {
        int at = 0;
        for (const QByteArray& part : parts) {
            at += delayMs;
            QTimer::singleShot(at, socket, [socket, part] {
                socket->write(part);
                socket->flush();
            });
        }
        QTimer::singleShot(at + 10, socket, [socket] { socket->disconnectFromHost(); });
    }

    QTcpServer m_Server;
    std::vector<QTcpSocket*> m_Held;
};

// Runs the check on a thread of its own while this thread serves.
std::string RunCheck(unsigned short port, int deadlineMs = 30000) {
    auto result = std::async(std::launch::async, [port, deadlineMs] {
        return corvale::CheckOnlineVersion({"127.0.0.1", port, "2.1.00", deadlineMs});
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < deadline)
        QTest::qWait(5);
    EXPECT_EQ(result.wait_for(std::chrono::milliseconds(0)), std::future_status::ready);
    return result.get();
}

const std::string kRequest = "GET /Corvale/downloads/versioninfo.php?version=2.1.00 HTTP/1.0\r\n"
                             "Host: 127.0.0.1:%PORT%\r\n"
                             "Accept: text/*\r\n"
                             "User-Agent: Corvale v2.1.00\r\n"
                             "\r\n";

std::string RequestFor(unsigned short port) {
    std::string request = kRequest;
    request.replace(request.find("%PORT%"), 6, std::to_string(port));
    return request;
}

// A port nothing listens on: taken from a server that is then closed.
unsigned short ClosedPort() {
    QTcpServer server;
    EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const unsigned short port = server.serverPort();
    server.close();
    return port;
}

} // namespace

TEST(VersionCheck, TheRequestIsAValidHttpGet) {
    EXPECT_EQ(corvale::FormatVersionRequest({"www.corvale.org", 80, "2.1.00"}),
              "GET /Corvale/downloads/versioninfo.php?version=2.1.00 HTTP/1.0\r\n"
              "Host: www.corvale.org\r\n"
              "Accept: text/*\r\n"
              "User-Agent: Corvale v2.1.00\r\n"
              "\r\n");
    // A version with characters a request line cannot carry is escaped.
    const std::string odd = corvale::FormatVersionRequest({"h", 80, "2 1\r\n"});
    EXPECT_EQ(odd.substr(0, odd.find("\r\n")), "GET /Corvale/downloads/versioninfo.php?version=2%201%0D%0A HTTP/1.0");
}

TEST(VersionCheck, TheExchangeIsShownWhole) {
    struct Case {
        const char* name;
        std::vector<QByteArray> parts;
        int delayMs;
        std::string expectedReply;
    };
    const QByteArray head = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    const QByteArray big(20000, 'v');
    const Case cases[] = {
        {"one part", {head + "2.1.00 is current"}, 0, (head + "2.1.00 is current").toStdString()},
        // Parts that come apart are read until the server closes.
        {"several parts", {head, "2.1.00 ", "is current"}, 150, (head + "2.1.00 is current").toStdString()},
        // Closed without a reply: the request and the empty line only.
        {"no reply", {}, 0, ""},
        // Cut after 16384 bytes.
        {"too long", {big}, 0, std::string(16384, 'v')},
        {"too long in parts", {big.left(10000), big.mid(10000)}, 50, std::string(16384, 'v')},
        // The reply is text: it ends at a NUL byte.
        {"NUL", {QByteArray("ab\0cd", 5)}, 0, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVersionServer server;
        server.parts = c.parts;
        server.delayMs = c.delayMs;
        const std::string result = RunCheck(server.port());
        EXPECT_EQ(result, RequestFor(server.port()) + "\r\n\r\n" + c.expectedReply);
        ASSERT_EQ(server.requests.size(), 1u);
        EXPECT_EQ(server.requests[0].toStdString(), RequestFor(server.port()));
    }
}

TEST(VersionCheck, FailuresGiveTheErrorText) {
    EXPECT_EQ(RunCheck(ClosedPort()), "Error connecting to 127.0.0.1");
    // A server that trickles its reply a byte at a time, each well inside the
    // wait for the next part, is given up on at the check's deadline.
    CVersionServer trickle;
    trickle.parts = std::vector<QByteArray>(40, QByteArray("v"));
    trickle.delayMs = 100;
    // The whole reply would take four seconds.
    EXPECT_EQ(RunCheck(trickle.port(), 1000), "Error connecting to 127.0.0.1");
    EXPECT_EQ(corvale::VersionCheckConnectingText("h.example"), "Connecting to h.example...");
}

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CVersionCheck::Instance().WaitIdle(20000));
        CAboutDlg::SetVersionServer("127.0.0.1", server.port());
    }
    void TearDown() override {
        server.release();
        // No check may outlive the test's server.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (CVersionCheck::Instance().IsRunning() && std::chrono::steady_clock::now() < deadline)
            QTest::qWait(5);
        EXPECT_FALSE(CVersionCheck::Instance().IsRunning());
        CAboutDlg::SetVersionServer(CAboutDlg::kDefaultVersionHost, 80);
    }

    static std::string Shown(const CAboutDlg& dialog) { return dialog.GetTextBox()->toPlainText().toStdString(); }

    static std::string AsShown(const std::string& text) {
        std::string shown;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            shown += text[i] == '\r' ? '\n' : text[i];
        }
        return shown;
    }

    CVersionServer server;
};

TEST_F(AboutDialogTest, TheTabsShowTheirTexts) {
    CAboutDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "About Corvale");
    EXPECT_EQ(Control<QLabel>(&dialog, CAboutDlg::IDC_Version)->text(), "Version 2.1.00");
    QTabBar* tabs = dialog.GetTabs();
    ASSERT_EQ(tabs->count(), 4);
    const char* titles[] = {"Version", "License", "Online", "Credits"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tabs->tabText(i).toStdString(), titles[i]);
    EXPECT_TRUE(dialog.GetTextBox()->isReadOnly());
    EXPECT_EQ(Shown(dialog), AsShown(CAboutDlg::GetTextResource(CAboutDlg::IDR_VersionHistory)));
    tabs->setCurrentIndex(CAboutDlg::TabLicense);
    EXPECT_EQ(Shown(dialog), AsShown(CAboutDlg::GetTextResource(CAboutDlg::IDR_License)));
    tabs->setCurrentIndex(CAboutDlg::TabCredits);
    EXPECT_EQ(Shown(dialog), AsShown(CAboutDlg::GetTextResource(CAboutDlg::IDR_Credits)));
    EXPECT_FALSE(CAboutDlg::GetTextResource(CAboutDlg::IDR_Credits).empty());
    EXPECT_TRUE(CAboutDlg::GetTextResource(4242).empty());
    // Every text is read without scrolling sideways: long lines wrap.
    for (int tab : {0, int(CAboutDlg::TabLicense), int(CAboutDlg::TabCredits)}) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        EXPECT_EQ(dialog.GetTextBox()->horizontalScrollBar()->maximum(), 0) << tab;
    }
}

TEST_F(AboutDialogTest, TheOnlineTabConnectsThenShowsTheReply) {
    server.parts = {"HTTP/1.0 200 OK\r\n\r\nYou have the latest version."};
    server.hold = true;
    CAboutDlg dialog;
    dialog.show();
    dialog.GetTabs()->setCurrentIndex(CAboutDlg::TabOnline);
    EXPECT_EQ(Shown(dialog), "Connecting to 127.0.0.1...");
    WAIT_EQ(server.requests.size(), std::size_t{1}, 10000);
    server.release();
    const std::string expected =
        AsShown(RequestFor(server.port()) + "\r\n\r\nHTTP/1.0 200 OK\r\n\r\nYou have the latest version.");
    WAIT_EQ(Shown(dialog), expected, 10000);
}

TEST_F(AboutDialogTest, OneCheckRunsAtATime) {
    server.parts = {"HTTP/1.0 200 OK\r\n\r\nok"};
    server.hold = true;
    CAboutDlg dialog;
    dialog.show();
    const int before = CVersionCheck::Instance().StartedCount();
    dialog.GetTabs()->setCurrentIndex(CAboutDlg::TabOnline);
    dialog.GetTabs()->setCurrentIndex(CAboutDlg::TabVersion);
    dialog.GetTabs()->setCurrentIndex(CAboutDlg::TabOnline);
    dialog.ShowOnlineTab();
    EXPECT_EQ(CVersionCheck::Instance().StartedCount(), before + 1);
    WAIT_EQ(server.requests.size(), std::size_t{1}, 10000);
    // The result does not land on another tab's text.
    dialog.GetTabs()->setCurrentIndex(CAboutDlg::TabLicense);
    server.release();
    WAIT_EQ(CVersionCheck::Instance().IsRunning(), false, 10000);
    QTest::qWait(20);
    EXPECT_EQ(Shown(dialog), AsShown(CAboutDlg::GetTextResource(CAboutDlg::IDR_License)));
    EXPECT_EQ(server.connections, 1);
    // With the check done, the Online tab starts the next one.
    dialog.GetTabs()->setCurrentIndex(CAboutDlg::TabOnline);
    EXPECT_EQ(CVersionCheck::Instance().StartedCount(), before + 2);
}

TEST_F(AboutDialogTest, AReplyAfterTheDialogClosedIsKeptAndShownNowhere) {
    server.parts = {"HTTP/1.0 200 OK\r\n\r\nlate"};
    server.hold = true;
    {
        CAboutDlg dialog;
        dialog.show();
        dialog.GetTabs()->setCurrentIndex(CAboutDlg::TabOnline);
        WAIT_EQ(server.requests.size(), std::size_t{1}, 10000);
    }
    // The dialog is gone; the worker still finishes and posts to nobody.
    server.release();
    WAIT_EQ(CVersionCheck::Instance().IsRunning(), false, 10000);
    QTest::qWait(20);
    const std::string expected = RequestFor(server.port()) + "\r\n\r\nHTTP/1.0 200 OK\r\n\r\nlate";
    EXPECT_EQ(CVersionCheck::Instance().GetResult(), expected);
}

TEST_F(AboutDialogTest, AnUnreachableServerShowsTheErrorText) {
    CAboutDlg::SetVersionServer("127.0.0.1", ClosedPort());
    CAboutDlg dialog;
    dialog.show();
    dialog.GetTabs()->setCurrentIndex(CAboutDlg::TabOnline);
    WAIT_EQ(Shown(dialog), std::string("Error connecting to 127.0.0.1"), 10000);
}

TEST_F(AboutDialogTest, TheHeaderIsPaintedAndTheSizeHasAFloor) {
    CAboutDlg dialog;
    dialog.resize(100, 100);
    EXPECT_GE(dialog.width(), 370);
    EXPECT_GE(dialog.height(), 271);
    dialog.resize(500, 400);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.GetTabs()->geometry().width(), 500 - 23);
    EXPECT_EQ(dialog.GetTextBox()->geometry().width(), 500 - 41);
    EXPECT_EQ(dialog.GetTextBox()->geometry().height(), 400 - 120);
    auto* ok = Control<QPushButton>(&dialog, CAboutDlg::IDC_OK);
    ASSERT_NE(ok, nullptr);
    const int okGap = 500 - ok->geometry().right();
    dialog.resize(600, 400);
    QTest::qWait(0);
    EXPECT_EQ(600 - ok->geometry().right(), okGap);

    const QImage image = dialog.grab().toImage();
    // The gradient runs from the highlight at the top to the face colour.
    const QColor top = dialog.palette().color(QPalette::Light);
    const QColor bottom = dialog.palette().color(QPalette::Button);
    EXPECT_EQ(QColor(image.pixel(300, 0)).rgb(), top.rgb());
    const QColor low(image.pixel(300, 71));
    EXPECT_LE(std::abs(low.red() - bottom.red()), 4);
    // The title is painted in black (its white copy lies under it).
    bool black = false;
    for (int y = 6; y < 48 && !black; ++y)
        for (int x = 54; x < 200 && !black; ++x)
            black = QColor(image.pixel(x, y)) == Qt::black;
    EXPECT_TRUE(black);
}
