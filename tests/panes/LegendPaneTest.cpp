// The legend pane on a workspace built in the test: following the document's
// update events, turning clicks and drags in the list into changes of the
// document, tooltips, the theme properties and the layer commands.

#include "panes/LegendPane.h"

#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "framework/UserInterface.h"
#include "settings/AppSettings.h"
#include "ui/LegendListCtrl.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRow = CLegendListCtrl::kRowHeight;

struct Event {
    const void* sender;
    int code;
    std::intptr_t data;
    bool operator==(const Event& o) const {
        return sender == o.sender && code == o.code && data == o.data;
    }
};

// Another subscriber of the document, as the map view is.
struct Recorder {
    void OnUpdate(const void* sender, int code, std::intptr_t data) {
        events.push_back({sender, code, data});
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Event& e : events)
            codes.push_back(e.code);
        return codes;
    }
    std::vector<Event> events;
};

std::intptr_t Data(const CTheme* theme) {
    return reinterpret_cast<std::intptr_t>(theme);
}

class LegendPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        pane = std::make_unique<CLegendPane>();
        pane->resize(240, 220);
        pane->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(pane.get()));
        doc = std::make_unique<CCorvaleDoc>();
        doc->m_updateEvent.AddHandler(&recorder, &Recorder::OnUpdate);
    }
    void TearDown() override {
        pane.reset();
        SetLegendPaneServices(CLegendPaneServices());
    }
    CTheme* AddTheme(const std::string& name, std::uint32_t type = SHT_Polygon,
                     bool visible = true) {
        auto* theme = new CTheme;
        theme->m_Name = name;
        theme->m_ShapeType = type;
        theme->m_Visible = visible;
        doc->m_themes.push_back(theme);
        return theme;
    }
    CLegendListCtrl* list() const { return pane->GetList(); }
    QWidget* vp() const { return list()->viewport(); }
    std::vector<std::string> Items() const {
        std::vector<std::string> names;
        for (int i = 0; i < list()->GetItemCount(); ++i)
            names.push_back(list()->GetItemText(i));
        return names;
    }
    std::vector<std::string> Themes() const {
        std::vector<std::string> names;
        for (const CTheme* theme : doc->m_themes)
            names.push_back(theme->m_Name);
        return names;
    }
    static QPoint Row(int index) { return QPoint(120, index * kRow + kRow / 2); }
    static QPoint CheckBox(int index) { return QPoint(15, index * kRow + 14); }
    void SendMouse(QEvent::Type type, const QPoint& at, Qt::MouseButton button,
                   Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), QPointF(vp()->mapToGlobal(at)), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(vp(), &event);
    }

    std::unique_ptr<CLegendPane> pane;
    std::unique_ptr<CCorvaleDoc> doc;
    Recorder recorder;
};

} // namespace

// ---------------------------------------------------------------------------
// The document and its events
// ---------------------------------------------------------------------------

TEST_F(LegendPaneTest, AttachingListsTheThemesInDocumentOrderWithTheSelection) {
    CTheme* a = AddTheme("A");
    AddTheme("B", SHT_Point, false);
    CTheme* c = AddTheme("C");
    doc->SetThemeSelected(a, true);
    doc->SetThemeSelected(c, true);

    const std::size_t subscribers = doc->m_updateEvent.GetCount();
    pane->SetDocument(doc.get());
    EXPECT_EQ(Items(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(list()->GetSelectedItems(), (std::vector<int>{0, 2}));
    EXPECT_TRUE(list()->GetCheck(0));
    EXPECT_FALSE(list()->GetCheck(1));
    EXPECT_EQ(list()->GetItemData(2), c);
    EXPECT_EQ(doc->m_updateEvent.GetCount(), subscribers + 1);
    // Nothing told the others: the pane only read.
    EXPECT_TRUE(recorder.events.empty());

    // Attaching the same document again changes nothing.
    pane->SetDocument(doc.get());
    EXPECT_EQ(doc->m_updateEvent.GetCount(), subscribers + 1);
    pane->SetDocument(nullptr);
    EXPECT_EQ(list()->GetItemCount(), 0);
    EXPECT_EQ(doc->m_updateEvent.GetCount(), subscribers);
}

TEST_F(LegendPaneTest, TheOnlyThemeOfAWorkspaceBecomesActive) {
    CTheme* only = AddTheme("Only");
    // Subscribers hear of the active theme once the document has it.
    struct ActiveAtEvent {
        CCorvaleDoc* doc;
        CTheme* seen = nullptr;
        void OnUpdate(const void*, int code, std::intptr_t) {
            if (code == DUE_ActiveThemeChanged)
                seen = doc->m_activeTheme;
        }
    } active{doc.get()};
    doc->m_updateEvent.AddHandler(&active, &ActiveAtEvent::OnUpdate);
    pane->SetDocument(doc.get());
    EXPECT_EQ(active.seen, only);
    EXPECT_EQ(list()->GetSelectedItems(), (std::vector<int>{0}));
    EXPECT_EQ(doc->m_activeTheme, only);
    EXPECT_EQ(recorder.events,
              (std::vector<Event>{{pane.get(), DUE_ActiveThemeChanged, Data(only)}}));
    doc->m_updateEvent.RemoveHandler(&active);
}

TEST_F(LegendPaneTest, SwitchingDocumentsLeavesTheFormerOne) {
    AddTheme("A");
    const std::size_t subscribers = doc->m_updateEvent.GetCount();
    pane->SetDocument(doc.get());
    CCorvaleDoc other;
    auto* theme = new CTheme;
    theme->m_Name = "Other";
    other.m_themes.push_back(theme);
    pane->SetDocument(&other);
    EXPECT_EQ(doc->m_updateEvent.GetCount(), subscribers);
    EXPECT_EQ(Items(), (std::vector<std::string>{"Other"}));
    // Events of the former document no longer reach the pane.
    doc->FireUpdateEvent(nullptr, DUE_Refresh, 0);
    EXPECT_EQ(Items(), (std::vector<std::string>{"Other"}));
    pane->SetDocument(nullptr);
}

TEST_F(LegendPaneTest, DocumentEventsKeepTheListInStep) {
    CTheme* a = AddTheme("A");
    CTheme* b = AddTheme("B");
    pane->SetDocument(doc.get());

    // A theme added in the middle of the document's list goes to its place.
    auto* mid = new CTheme;
    mid->m_Name = "Mid";
    mid->m_Visible = false;
    doc->m_themes.insert(doc->m_themes.begin() + 1, mid);
    doc->FireUpdateEvent(nullptr, DUE_ThemeAdded, Data(mid));
    EXPECT_EQ(Items(), (std::vector<std::string>{"A", "Mid", "B"}));
    EXPECT_FALSE(list()->GetCheck(1));

    a->m_Name = "A renamed";
    doc->FireUpdateEvent(nullptr, DUE_ThemeRenamed, Data(a));
    EXPECT_EQ(list()->GetItemText(0), "A renamed");

    b->m_Visible = false;
    doc->FireUpdateEvent(nullptr, DUE_VisibilityChanged, Data(b));
    EXPECT_FALSE(list()->GetCheck(2));
    a->m_Visible = false;
    mid->m_Visible = true;
    doc->FireUpdateEvent(nullptr, DUE_VisibilityChanged, 0);
    EXPECT_FALSE(list()->GetCheck(0));
    EXPECT_TRUE(list()->GetCheck(1));

    std::swap(doc->m_themes[0], doc->m_themes[2]);
    doc->FireUpdateEvent(nullptr, DUE_ThemeOrderChanged, 0);
    EXPECT_EQ(Items(), (std::vector<std::string>{"B", "Mid", "A renamed"}));

    // The document announces a removal while the theme still exists.
    doc->FireUpdateEvent(nullptr, DUE_ThemeRemoved, Data(mid));
    EXPECT_EQ(Items(), (std::vector<std::string>{"B", "A renamed"}));
    doc->m_themes.erase(std::find(doc->m_themes.begin(), doc->m_themes.end(), mid));
    delete mid;

    doc->m_backgroundColor = 0x123456;
    doc->FireUpdateEvent(nullptr, DUE_WorkspacePropertiesChanged, 0);
    EXPECT_EQ(list()->m_MapBackgroundColor, 0x123456u);

    doc->SetThemeSelected(a, true);
    doc->FireUpdateEvent(nullptr, DUE_ActiveThemeChanged, Data(a));
    EXPECT_EQ(list()->GetSelectedItems(), (std::vector<int>{1}));

    // Codes outside the legend's range are passed over.
    doc->FireUpdateEvent(nullptr, DUE_ZoomToScale, 0);
    EXPECT_EQ(list()->GetItemCount(), 2);
}

TEST_F(LegendPaneTest, ThemeFoundScrollsItsItemIntoView) {
    std::vector<CTheme*> themes;
    for (int i = 0; i < 12; ++i)
        themes.push_back(AddTheme("T" + std::to_string(i)));
    pane->SetDocument(doc.get());
    doc->FireUpdateEvent(nullptr, DUE_ThemeFound, Data(themes[11]));
    const int top = list()->GetTopIndex();
    EXPECT_LE(top, 11);
    EXPECT_GT(top + list()->GetCountPerPage(), 11);
}

// ---------------------------------------------------------------------------
// What the user does in the list
// ---------------------------------------------------------------------------

TEST_F(LegendPaneTest, ACheckBoxHidesItsOwnThemeWithOneEvent) {
    CTheme* a = AddTheme("A");
    AddTheme("B");
    CTheme* c = AddTheme("C");
    pane->SetDocument(doc.get());
    QTest::mouseClick(vp(), Qt::LeftButton, {}, Row(0));
    recorder.events.clear();

    // CTRL-click on the box of C while A stays selected first: C is hidden.
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, CheckBox(2));
    EXPECT_FALSE(c->m_Visible);
    EXPECT_TRUE(a->m_Visible);
    std::vector<Event> visibility;
    for (const Event& e : recorder.events)
        if (e.code == DUE_VisibilityChanged)
            visibility.push_back(e);
    EXPECT_EQ(visibility, (std::vector<Event>{{pane.get(), DUE_VisibilityChanged, Data(c)}}));

    // And shown again.
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, CheckBox(2));
    EXPECT_TRUE(c->m_Visible);
}

TEST_F(LegendPaneTest, SelectingItemsSelectsThemes) {
    CTheme* a = AddTheme("A");
    CTheme* b = AddTheme("B");
    pane->SetDocument(doc.get());
    QTest::mouseClick(vp(), Qt::LeftButton, {}, Row(1));
    EXPECT_EQ(doc->m_selectedThemes, (std::vector<CTheme*>{b}));
    EXPECT_EQ(doc->m_activeTheme, b);
    EXPECT_EQ(recorder.events.back(), (Event{pane.get(), DUE_ActiveThemeChanged, Data(b)}));

    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, Row(0));
    EXPECT_EQ(doc->m_selectedThemes, (std::vector<CTheme*>{a, b}));
    EXPECT_EQ(doc->m_activeTheme, nullptr);
    EXPECT_EQ(recorder.events.back(), (Event{pane.get(), DUE_ActiveThemeChanged, 0}));
}

TEST_F(LegendPaneTest, DraggingAThemeToTheTopPutsItFirstInTheWorkspace) {
    AddTheme("A");
    AddTheme("B");
    CTheme* c = AddTheme("C");
    pane->SetDocument(doc.get());
    recorder.events.clear();
    SendMouse(QEvent::MouseButtonPress, Row(2), Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, Row(2) - QPoint(0, 20), Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, Row(0), Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, Row(0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Themes(), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(doc->m_themes.front(), c);
    EXPECT_EQ(Items(), Themes());
    EXPECT_EQ(recorder.events.back(), (Event{pane.get(), DUE_ThemeOrderChanged, 0}));
}

TEST_F(LegendPaneTest, DraggingShowsItsStateInTheStatusBar) {
    corvale::CScriptedUserInterface ui;
    AddTheme("A");
    AddTheme("B");
    AddTheme("C");
    pane->SetDocument(doc.get());
    SendMouse(QEvent::MouseButtonPress, Row(1), Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, Row(1) - QPoint(0, 20), Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, Row(0), Qt::LeftButton, Qt::NoButton);
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, Row(2));
    SendMouse(QEvent::MouseButtonPress, Row(2), Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, Row(2) + QPoint(0, 20), Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, QPoint(120, 200), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(ui.statusTexts,
              (std::vector<std::string>{"Moving theme B", "For Help, press F1",
                                        "Moving multiple themes", "For Help, press F1"}));
    EXPECT_EQ(Themes(), (std::vector<std::string>{"A", "B", "C"}));
    // The selection is reported under the wait cursor.
    EXPECT_GT(ui.waitCursorUses, 0);
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

// ---------------------------------------------------------------------------
// Tooltips
// ---------------------------------------------------------------------------

TEST_F(LegendPaneTest, TooltipsNameWhatIsUnderTheMouse) {
    CTheme* shown = AddTheme("Shown", SHT_Point);
    CTheme* hidden = AddTheme(std::string(120, 'W'), SHT_Point, false);
    CTheme* parent = AddTheme("Roads");
    shown->m_SourceType = ST_ParentTheme;
    shown->m_ParentTheme = parent;
    shown->m_Editable = true;
    shown->m_Comment = "A comment";
    hidden->m_Comment = "Why";
    for (int i = 0; i < 3; ++i)
        hidden->AddPointAt(false, false, i, i);
    hidden->m_VisiblePoints.resize(1); // two filtered out
    shown->AddPointAt(false, false, 0, 0);
    shown->m_VisiblePoints.clear(); // one filtered out
    pane->SetDocument(doc.get());

    struct Case {
        QPoint point;
        std::string text;
    };
    const Case cases[] = {
        {{15, 14}, "Uncheck to hide theme"},
        {{15, kRow + 14}, "Check to view theme"},
        {{15, 26}, "1 filtered shape"},
        {{15, kRow + 26}, "2 filtered shapes"},
        {{15, 2 * kRow + 26}, ""},
        {{30, 26}, "Shape data owned by Roads"},
        {{30, kRow + 26}, ""},
        {{30, 12}, "Editable"},
        {{30, kRow + 12}, ""},
        // A name that fits is not repeated; the comment is.
        {{60, 10}, "A comment"},
        {{60, kRow + 10}, std::string(120, 'W') + "\r\n\r\nWhy"},
        {{60, 2 * kRow + 10}, ""},
        {{60, 30}, ""},
        {{60, 3 * kRow + 10}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pane->GetToolTipText(c.point), c.text) << c.point.x() << "," << c.point.y();

    // Cut to 511 characters.
    shown->m_Comment = std::string(600, 'c');
    EXPECT_EQ(pane->GetToolTipText(QPoint(60, 10)), std::string(511, 'c'));
    EXPECT_EQ(list()->m_ToolTipText(QPoint(15, 14)), "Uncheck to hide theme");
}

// ---------------------------------------------------------------------------
// Theme properties
// ---------------------------------------------------------------------------

TEST_F(LegendPaneTest, ThemePropertiesNeedTheDialogAndOneSelectedTheme) {
    CTheme* a = AddTheme("A");
    CTheme* b = AddTheme("B");
    b->m_MinScale = 0.5;
    b->m_MaxScale = 0.0;
    CTheme* c = AddTheme("C");
    c->m_MaxScale = 2.0;
    c->m_MinScale = 0.0;
    pane->SetDocument(doc.get());
    QTest::mouseClick(vp(), Qt::LeftButton, {}, Row(0));

    // Without the dialog the menu item is disabled and a double click does nothing.
    CCmdUI off(ID_THEME_PROPERTIES);
    pane->UpdateCommand(off);
    EXPECT_FALSE(off.m_Enabled);
    QTest::mouseDClick(vp(), Qt::LeftButton, {}, Row(0));

    std::vector<std::string> hints;
    int shown = 0;
    CLegendPaneServices services;
    services.showThemeProperties = [&](QWidget*, CTheme& theme, CCorvaleDoc&,
                                       const std::vector<std::string>& h) {
        ++shown;
        hints = h;
        theme.m_Name = "A2";
        return true;
    };
    SetLegendPaneServices(services);
    CCmdUI on(ID_THEME_PROPERTIES);
    pane->UpdateCommand(on);
    EXPECT_TRUE(on.m_Enabled);

    recorder.events.clear();
    QTest::mouseDClick(vp(), Qt::LeftButton, {}, Row(0));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(hints, (std::vector<std::string>{"Current UPP:\t0.000000", "Min: B:\t0.500000",
                                               "Max: C:\t2.000000"}));
    EXPECT_EQ(recorder.Codes(),
              (std::vector<int>{DUE_ThemeStyleChanged, DUE_ThemeRenamed, DUE_VisibilityChanged}));
    EXPECT_EQ(recorder.events[1], (Event{nullptr, DUE_ThemeRenamed, Data(a)}));
    EXPECT_TRUE(a->m_Modified);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(list()->GetItemText(0), "A2");

    // The document's Properties command reaches the pane as an event.
    doc->FireUpdateEvent(nullptr, DUE_EditThemeProperties, Data(a));
    EXPECT_EQ(shown, 2);

    // Not with two selected themes.
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ControlModifier, Row(1));
    pane->EditThemeProperties();
    EXPECT_EQ(shown, 2);
    CCmdUI two(ID_THEME_PROPERTIES);
    pane->UpdateCommand(two);
    EXPECT_FALSE(two.m_Enabled);
}

TEST_F(LegendPaneTest, CancelledPropertiesChangeNothing) {
    CTheme* a = AddTheme("A");
    pane->SetDocument(doc.get());
    CLegendPaneServices services;
    services.showThemeProperties = [](QWidget*, CTheme&, CCorvaleDoc&,
                                      const std::vector<std::string>&) { return false; };
    SetLegendPaneServices(services);
    recorder.events.clear();
    pane->EditThemeProperties();
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_FALSE(a->m_Modified);
}

// ---------------------------------------------------------------------------
// Layer commands and menus
// ---------------------------------------------------------------------------

TEST_F(LegendPaneTest, LayerSelectCommandsSelectByKind) {
    CTheme* p = AddTheme("p", SHT_Point);
    CTheme* pz = AddTheme("pz", SHT_PointZ, false);
    CTheme* l = AddTheme("l", SHT_Polyline);
    CTheme* lz = AddTheme("lz", SHT_PolylineZ, false);
    CTheme* g = AddTheme("g", SHT_Polygon);
    CTheme* gz = AddTheme("gz", SHT_PolygonZ);
    CTheme* r = AddTheme("r", SHT_Image, false);
    pane->SetDocument(doc.get());
    struct Case {
        unsigned id;
        std::vector<CTheme*> selected;
    };
    const Case cases[] = {
        {ID_LAYER_SELECT_POINTS, {p, pz}},        {ID_LAYER_SELECT_POLYLINES, {l, lz}},
        {ID_LAYER_SELECT_POLYGONS, {g, gz}},      {ID_LAYER_SELECT_RASTERS, {r}},
        {ID_LAYER_SELECT_VISIBLE, {p, l, g, gz}}, {ID_LAYER_SELECT_ALL, {p, pz, l, lz, g, gz, r}},
        {ID_LAYER_INVERT_SELECTION, {}},
    };
    for (const Case& c : cases) {
        pane->RunCommand(c.id);
        EXPECT_EQ(doc->m_selectedThemes, c.selected) << c.id;
        // The list shows the document's selection once the event came round.
        EXPECT_EQ(list()->GetSelectedCount(), static_cast<int>(c.selected.size())) << c.id;
    }
    pane->RunCommand(ID_LAYER_SELECT_RASTERS);
    EXPECT_EQ(doc->m_activeTheme, r);
    EXPECT_EQ(list()->GetSelectedItems(), (std::vector<int>{6}));
}

TEST_F(LegendPaneTest, InvertZOrderNeedsTwoThemes) {
    AddTheme("A");
    pane->SetDocument(doc.get());
    CCmdUI one(ID_LAYER_INVERT_Z_ORDER);
    pane->UpdateCommand(one);
    EXPECT_FALSE(one.m_Enabled);
    CCmdUI invert(ID_LAYER_INVERT_SELECTION);
    pane->UpdateCommand(invert);
    EXPECT_TRUE(invert.m_Enabled);

    AddTheme("B");
    doc->FireUpdateEvent(nullptr, DUE_ThemeAdded, Data(doc->m_themes.back()));
    CCmdUI two(ID_LAYER_INVERT_Z_ORDER);
    pane->UpdateCommand(two);
    EXPECT_TRUE(two.m_Enabled);
    pane->RunCommand(ID_LAYER_INVERT_Z_ORDER);
    EXPECT_EQ(Themes(), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(Items(), Themes());

    // Without a document every layer command is off.
    pane->SetDocument(nullptr);
    CCmdUI none(ID_LAYER_INVERT_SELECTION);
    pane->UpdateCommand(none);
    EXPECT_FALSE(none.m_Enabled);
}

TEST_F(LegendPaneTest, MenusOfferOnlyWhatSomeoneRuns) {
    AddTheme("A");
    AddTheme("B");
    pane->SetDocument(doc.get());
    std::unique_ptr<QMenu> header(pane->CreateHeaderMenu(nullptr));
    auto action = [&](QMenu* menu, unsigned id) {
        return menu->findChild<QAction*>(QStringLiteral("command_%1").arg(id));
    };
    ASSERT_NE(action(header.get(), ID_LAYER_INVERT_Z_ORDER), nullptr);
    EXPECT_TRUE(action(header.get(), ID_LAYER_INVERT_Z_ORDER)->isEnabled());
    // Show All has nothing to do while every theme is shown; the new-theme
    // commands run on the document, so their submenu is on.
    EXPECT_FALSE(action(header.get(), ID_THEME_SHOW_ALL)->isEnabled());
    auto* createNew = header->findChild<QMenu*>(QStringLiteral("CreateNewMenu"));
    ASSERT_NE(createNew, nullptr);
    EXPECT_TRUE(createNew->menuAction()->isEnabled());
    auto* select = header->findChild<QMenu*>(QStringLiteral("SelectLayersMenu"));
    ASSERT_NE(select, nullptr);
    EXPECT_TRUE(select->menuAction()->isEnabled());
    action(select, ID_LAYER_SELECT_ALL)->trigger();
    EXPECT_EQ(doc->m_selectedThemes.size(), 2u);

    // The frame's route, once installed, decides for the commands it knows.
    std::vector<unsigned> routed;
    CLegendPaneServices services;
    services.routeCommand = [&](unsigned id, CCmdUI* ui) {
        if (id != ID_THEME_SHOW_ALL)
            return false;
        if (ui != nullptr) {
            ui->Enable(true);
            ui->m_Handled = true;
        } else {
            routed.push_back(id);
        }
        return true;
    };
    SetLegendPaneServices(services);
    std::unique_ptr<QMenu> again(pane->CreateHeaderMenu(nullptr));
    QAction* showAll = action(again.get(), ID_THEME_SHOW_ALL);
    EXPECT_TRUE(showAll->isEnabled());
    showAll->trigger();
    EXPECT_EQ(routed, (std::vector<unsigned>{ID_THEME_SHOW_ALL}));
    EXPECT_FALSE(action(again.get(), ID_THEME_HIDE_ALL)->isEnabled());

    std::unique_ptr<QMenu> theme(pane->CreateThemeMenu(nullptr));
    EXPECT_FALSE(action(theme.get(), ID_THEME_PROPERTIES)->isEnabled());
}

TEST_F(LegendPaneTest, TheColumnFillsThePaneLessTheScrollBarWhenItemsOverflow) {
    // Laid out before it is shown, as the main frame's dock does it.
    CLegendPane hidden;
    hidden.resize(200, 300);
    AddTheme("A");
    hidden.SetDocument(doc.get());
    hidden.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hidden));
    EXPECT_EQ(hidden.GetList()->GetColumnWidth(), 200);
    hidden.SetDocument(nullptr);

    pane->SetDocument(doc.get());
    EXPECT_EQ(list()->GetColumnWidth(), pane->width());
    for (int i = 0; i < 8; ++i) {
        AddTheme("more");
        doc->FireUpdateEvent(nullptr, DUE_ThemeAdded, Data(doc->m_themes.back()));
    }
    EXPECT_EQ(list()->GetColumnWidth(),
              pane->width() -
                  pane->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list()));
}

// ---------------------------------------------------------------------------
// The caption strip
// ---------------------------------------------------------------------------

TEST_F(LegendPaneTest, TheCaptionStripShowsThemesOverAGradient) {
    QImage image(pane->width(), CLegendPane::kCaptionHeight, QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        pane->RenderCaption(painter);
    }
    // Lighter at the top than at the bottom, at the left end away from the text.
    EXPECT_GE(qGray(image.pixel(5, 3)), qGray(image.pixel(5, 16)));
    int dark = 0;
    for (int x = pane->width() / 2 - 30; x < pane->width() / 2 + 30; ++x)
        for (int y = 3; y < 17; ++y)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 10);
    int darkAtEnds = 0;
    for (int y = 3; y < 17; ++y)
        darkAtEnds += qGray(image.pixel(10, y)) < 100 ? 1 : 0;
    EXPECT_EQ(darkAtEnds, 0);
    // The list lies below the strip.
    EXPECT_EQ(list()->geometry().top(), CLegendPane::kCaptionHeight);
    EXPECT_EQ(list()->geometry().height(), pane->height() - CLegendPane::kCaptionHeight);
}
