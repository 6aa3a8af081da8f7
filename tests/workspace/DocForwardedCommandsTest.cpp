// Commands the document sends on to the attribute pane (its command window)
// and to the map view, and how their menu items are enabled.

#include "workspace/CorvaleDoc.h"

#include "framework/Messages.h"
#include "workspace/CommandIds.h"

#include <QObject>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A pane that records the commands it is sent and, like a pane that does
// not handle a command itself, routes each one back to the document.
class EchoingPane : public CMessageWindow {
public:
    EchoingPane(CCorvaleDoc* document, bool hasWindow) : m_Document(document), m_HasWindow(hasWindow) {}
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t) override {
        if (message == WM_COMMAND) {
            received.push_back(static_cast<unsigned>(wParam));
            if (echo)
                m_Document->OnCmdMsg(static_cast<unsigned>(wParam), nullptr);
        }
        return 0;
    }
    QObject* GetMessageObject() override { return m_HasWindow ? &m_Object : nullptr; }
    std::vector<unsigned> received;
    // Only the statistics are guarded against coming back; a pane that
    // routes other commands back would loop, as it would in the program.
    bool echo = true;

private:
    CCorvaleDoc* m_Document;
    bool m_HasWindow;
    QObject m_Object;
};

// A map view that records the commands it is sent.
class RecordingView : public CMessageWindow {
public:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t) override {
        if (message == WM_COMMAND)
            received.push_back(static_cast<unsigned>(wParam));
        return 0;
    }
    std::vector<unsigned> received;
};

// Answers the column commands' update event as the attribute pane does.
struct ColumnSubscriber {
    explicit ColumnSubscriber(CCorvaleDoc& document) : m_Document(document) {
        document.m_updateEvent.AddHandler(this, &ColumnSubscriber::OnUpdate);
    }
    ~ColumnSubscriber() { m_Document.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) {
        if (code != DUE_ColumnCommand)
            return;
        auto* ui = reinterpret_cast<CCmdUI*>(data);
        asked.push_back(ui->m_nID);
        ui->Enable(ui->m_nID != ID_COLUMN_SORT_DESCENDING);
    }
    CCorvaleDoc& m_Document;
    std::vector<unsigned> asked;
};

TEST(DocForwardedCommands, StatisticSentBackByThePaneReachesItOnce) {
    CCorvaleDoc document;
    EchoingPane pane(&document, true);
    document.m_commandWindow = &pane;
    for (unsigned id = ID_COLUMN_STATISTICS_FIRST; id <= ID_COLUMN_STATISTICS_LAST; ++id) {
        pane.received.clear();
        EXPECT_TRUE(document.OnCmdMsg(id, nullptr));
        EXPECT_EQ(pane.received, std::vector<unsigned>{id});
    }
    // The guard is down again: the next command goes through as well.
    pane.received.clear();
    document.OnCmdMsg(ID_COLUMN_STATISTICS_FIRST, nullptr);
    EXPECT_EQ(pane.received.size(), 1u);
}

TEST(DocForwardedCommands, ColumnCommandsNeedAPaneWithAWindow) {
    CCorvaleDoc document;
    // Nothing happens without a pane.
    EXPECT_TRUE(document.OnCmdMsg(ID_COLUMN_STATISTICS_FIRST, nullptr));
    EchoingPane windowless(&document, false);
    document.m_commandWindow = &windowless;
    for (unsigned id : {static_cast<unsigned>(ID_COLUMN_STATISTICS_FIRST), static_cast<unsigned>(ID_COLUMN_CHECK_DUPLICATES),
                        static_cast<unsigned>(ID_COLUMN_SHOW_VALUE_LIST)})
        document.OnCmdMsg(id, nullptr);
    EXPECT_TRUE(windowless.received.empty());
    // Sorting is sent to any command window.
    windowless.echo = false;
    document.OnCmdMsg(ID_COLUMN_SORT_ASCENDING, nullptr);
    EXPECT_EQ(windowless.received, std::vector<unsigned>{ID_COLUMN_SORT_ASCENDING});
}

TEST(DocForwardedCommands, SubscribersDecideWhetherColumnCommandsAreEnabled) {
    CCorvaleDoc document;
    CCmdUI alone(ID_COLUMN_STATISTICS_FIRST);
    document.OnCmdMsg(ID_COLUMN_STATISTICS_FIRST, &alone);
    EXPECT_FALSE(alone.m_Enabled) << "nobody shows the columns";

    ColumnSubscriber columns(document);
    for (unsigned id : {static_cast<unsigned>(ID_COLUMN_STATISTICS_LAST), static_cast<unsigned>(ID_COLUMN_SORT_DESCENDING),
                        static_cast<unsigned>(ID_COLUMN_SHOW_VALUE_LIST), static_cast<unsigned>(ID_TABLE_STATISTICS_FIRST)}) {
        CCmdUI ui(id);
        document.OnCmdMsg(id, &ui);
        EXPECT_EQ(ui.m_Enabled, id != ID_COLUMN_SORT_DESCENDING) << id;
    }
    EXPECT_EQ(columns.asked.size(), 4u);
}

TEST(DocForwardedCommands, MapViewCommandsGoToTheViewWhileThereIsOne) {
    CCorvaleDoc document;
    for (unsigned id : {static_cast<unsigned>(ID_MAP_VIEW_PRINT), static_cast<unsigned>(ID_MAP_VIEW_OVERVIEW),
                        static_cast<unsigned>(ID_MAP_VIEW_COPY_IMAGE)}) {
        CCmdUI ui(id);
        document.OnCmdMsg(id, &ui);
        EXPECT_FALSE(ui.m_Enabled);
    }
    RecordingView view;
    document.m_mapView = &view;
    CCmdUI ui(ID_MAP_VIEW_SIGNATURE);
    document.OnCmdMsg(ID_MAP_VIEW_SIGNATURE, &ui);
    EXPECT_TRUE(ui.m_Enabled);
    document.OnCmdMsg(ID_MAP_VIEW_PRINT_PREVIEW, nullptr);
    document.OnCmdMsg(ID_MAP_VIEW_COPY_IMAGE, nullptr);
    EXPECT_EQ(view.received,
              (std::vector<unsigned>{ID_MAP_VIEW_PRINT_PREVIEW, ID_MAP_VIEW_COPY_IMAGE}));
}

} // namespace
