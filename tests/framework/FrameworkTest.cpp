#include "framework/CommandTarget.h"
#include "framework/Document.h"
#include "framework/Messages.h"
#include "framework/ScriptedUserInterface.h"

#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>

using namespace corvale;

namespace {

class Target : public CCmdTarget {
public:
    explicit Target(const char* name) : m_Name(name) {}
    void Handle(unsigned id, bool withUpdate, bool enabled = true) {
        if (withUpdate)
            OnCommand(
                id, [this, id] { log.push_back(m_Name + std::to_string(id)); },
                [enabled](CCmdUI& ui) { ui.Enable(enabled); });
        else
            OnCommand(id, [this, id] { log.push_back(m_Name + std::to_string(id)); });
    }
    void HandleRange(unsigned first, unsigned last) {
        OnCommandRange(first, last, [this](unsigned id) { log.push_back(m_Name + std::to_string(id)); });
    }
    std::vector<std::string> log;

private:
    std::string m_Name;
};

} // namespace

TEST(CommandRouting, TheFirstTargetOnTheChainThatKnowsTheIdTakesIt) {
    Target frame("frame"), view("view"), doc("doc");
    view.Handle(1, false);
    doc.Handle(1, false);
    doc.Handle(2, true, false);
    doc.HandleRange(10, 20);

    EXPECT_TRUE(RouteCommand(1, nullptr, {&frame, &view, &doc}));
    EXPECT_EQ(view.log, std::vector<std::string>{"view1"});
    EXPECT_TRUE(doc.log.empty());

    EXPECT_TRUE(RouteCommand(15, nullptr, {&frame, nullptr, &doc}));
    EXPECT_EQ(doc.log, std::vector<std::string>{"doc15"});
    EXPECT_FALSE(RouteCommand(21, nullptr, {&frame, &view, &doc}));

    struct Case {
        unsigned id;
        bool enabled;
    };
    // A handler without update handler is enabled; an update handler decides;
    // nobody handling the id leaves it disabled.
    for (const Case& c : {Case{1, true}, Case{2, false}, Case{12, true}, Case{99, false}}) {
        CCmdUI ui(c.id);
        RouteCommand(c.id, &ui, {&frame, &view, &doc});
        EXPECT_EQ(ui.m_Enabled, c.enabled) << c.id;
    }
}

namespace {

class Window : public CMessageWindow {
public:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        received.push_back({message, wParam, lParam});
        return static_cast<std::intptr_t>(wParam) * 2;
    }
    QObject* GetMessageObject() override { return &object; }

    struct Message {
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Message> received;

    class Receiver : public QObject {
    public:
        explicit Receiver(Window* w) : m_Window(w) {}
        bool event(QEvent* e) override { return DispatchPostedMessage(m_Window, e) || QObject::event(e); }
        Window* m_Window;
    } object{this};
};

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    return *QCoreApplication::instance();
}

} // namespace

TEST(Messages, SendIsADirectCallAndPostIsQueued) {
    App();
    Window window;
    EXPECT_EQ(SendMessage(&window, 0x8005, 21, 7), 42);
    ASSERT_EQ(window.received.size(), 1u);

    EXPECT_TRUE(PostMessage(&window, 0x8001, 1, 100));
    EXPECT_TRUE(PostMessage(&window, 0x8001, 2, 200));
    EXPECT_TRUE(PostMessage(&window, 0x8003, 3, 300));
    EXPECT_EQ(window.received.size(), 1u) << "nothing delivered before the event loop runs";
    // Dropping the queued copies of one message leaves the others.
    RemovePostedMessages(&window, 0x8001);
    QCoreApplication::processEvents();
    ASSERT_EQ(window.received.size(), 2u);
    EXPECT_EQ(window.received[1].message, 0x8003u);
    EXPECT_EQ(window.received[1].lParam, 300);

    EXPECT_FALSE(PostMessage(nullptr, 0x8001, 0, 0));
    EXPECT_EQ(SendMessage(nullptr, 0x8001, 0, 0), 0);
}

TEST(Messages, APostedMessageOutlivingItsWindowIsDropped) {
    App();
    auto window = std::make_unique<Window>();
    PostMessage(window.get(), 0x8001, 1, 1);
    window.reset();
    QCoreApplication::processEvents(); // must not touch the destroyed window
    SUCCEED();
}

TEST(Documents, ViewsAndOpenDocuments) {
    auto doc = std::make_unique<CDocument>();
    const CDocument* address = doc.get();
    EXPECT_TRUE(IsDocumentOpen(address));
    CView a, b;
    doc->AddView(&a);
    doc->AddView(&b);
    doc->AddView(&a);
    EXPECT_EQ(doc->GetViews().size(), 2u);
    EXPECT_EQ(a.GetDocument(), doc.get());
    doc->SetPathName("/data/roads.cvw");
    EXPECT_EQ(doc->GetTitle(), "roads.cvw");
    doc->SetModifiedFlag();
    EXPECT_TRUE(doc->IsModified());
    doc.reset();
    EXPECT_FALSE(IsDocumentOpen(address));
    EXPECT_EQ(a.GetDocument(), nullptr) << "views forget a destroyed document";
}

TEST(ScriptedUserInterface, RecordsWhatWasShownAndAnswersInOrder) {
    {
        CScriptedUserInterface ui;
        ui.messageAnswers = {IDYES};
        EXPECT_EQ(UI().ShowMessage("Proceed anyway?", MessageIcon::Question, MessageButtons::YesNo), IDYES);
        EXPECT_EQ(UI().ShowMessage("Again?", MessageIcon::Question, MessageButtons::YesNo), IDNO)
            << "an unqueued question gets the safe answer";
        EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Proceed anyway?", "Again?"}));
        {
            CWaitCursor wait;
            EXPECT_EQ(ui.waitCursorDepth, 1);
        }
        EXPECT_EQ(ui.waitCursorDepth, 0);
        std::vector<std::string> paths;
        ui.openAnswers = {{"/a.shp", "/b.shp"}};
        EXPECT_TRUE(UI().ChooseOpenFiles({}, paths));
        EXPECT_EQ(paths.size(), 2u);
        EXPECT_FALSE(UI().ChooseOpenFiles({}, paths));
    }
    // Once the scripted interface is gone the silent one answers again.
    EXPECT_EQ(UI().ShowMessage("x", MessageIcon::Question, MessageButtons::OkCancel), IDCANCEL);
}

TEST(ScriptedUserInterface, AWholeNumberIsAskedAsTextAndRefusedWhenItIsNone) {
    CScriptedUserInterface ui;
    struct Case {
        const char* text;
        bool ok;
        int value; // the value afterwards; 7 is the preset
    };
    const Case cases[] = {
        {"12", true, 12},          {" -3 ", true, -3},         {"2147483647", true, 2147483647},
        {"2147483648", false, 7}, {"1.5", false, 7},          {"12abc", false, 7},
        {"", false, 7},           {"  ", false, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ui.textAnswers = {c.text};
        int value = 7;
        EXPECT_EQ(UI().AskInteger("Start node value", std::string(), value), c.ok);
        EXPECT_EQ(value, c.value);
    }
    int value = 7;
    EXPECT_FALSE(UI().AskInteger("Start node value", std::string(), value)) << "cancelled";
    EXPECT_EQ(ui.shown.back().text, "Start node value");
}
