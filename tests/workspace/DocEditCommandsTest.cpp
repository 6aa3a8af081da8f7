// The Edit commands driven by their ids, with a scripted user interface and
// the offscreen platform's clipboard.

#include "OffscreenApplication.h"
#include "core/Theme.h"
#include "formats/ClipboardFormats.h"
#include "framework/ScriptedUserInterface.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

::testing::Environment* const g_App =
    ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QGuiApplication>);

struct EventLog {
    void OnUpdate(const void*, int code, std::intptr_t data) { events.emplace_back(code, data); }
    bool Has(int code, const CTheme* theme) const {
        for (const auto& event : events)
            if (event.first == code && event.second == reinterpret_cast<std::intptr_t>(theme))
                return true;
        return false;
    }
    std::vector<std::pair<int, std::intptr_t>> events;
};

bool Enabled(CCorvaleDoc& doc, unsigned id) {
    CCmdUI ui(id);
    EXPECT_TRUE(doc.OnCmdMsg(id, &ui));
    return ui.m_Enabled;
}

void RunCommand(CCorvaleDoc& doc, unsigned id) { ASSERT_TRUE(doc.OnCmdMsg(id, nullptr)); }

// An editable polyline theme of count two-point lines, line k from (k, 0) to
// (k, 10), with NAME "L<k>" and LEN k * 10, added to the document and active.
CTheme* AddLines(CCorvaleDoc& doc, const char* name, int count) {
    CTheme* theme = doc.CreateTheme(name, SHT_Polyline);
    EXPECT_TRUE(theme->ConvertToNative(true, true));
    CAttributeFieldInfo text;
    text.m_Name = "NAME";
    text.m_Length = 10;
    CAttributeFieldInfo number;
    number.m_Name = "LEN";
    number.m_Type = FT_Int;
    number.m_Length = 6;
    theme->AddAttribute(text, nullptr, nullptr);
    theme->AddAttribute(number, nullptr, nullptr);
    for (int k = 0; k < count; ++k) {
        CShapePiece piece;
        piece.StartPart();
        piece.Add({double(k), 0.0}, false);
        piece.Add({double(k), 10.0}, false);
        CShapeRecordPtr record(BuildShapeRecord(SHT_Polyline, 1, piece));
        CShapeRecord* added = theme->AddShape(record.get(), k + 1 == count, k + 1 == count, false);
        theme->SetAttributeText(GetShapeRecordIndex(added), 0, "L" + std::to_string(k), false);
        theme->SetAttributeText(GetShapeRecordIndex(added), 1, std::to_string(k * 10), false);
    }
    theme->m_Modified = false;
    doc.m_themes.push_back(theme);
    doc.m_activeTheme = theme;
    return theme;
}

void Select(CTheme& theme, std::initializer_list<int> indexes) {
    for (int index : indexes)
        theme.AddToSelection(index, theme.GetShapePosition(index), 1, 0);
}

// NAME of every shape in drawing order, and the x of its first point.
std::vector<std::string> Names(const CTheme& theme) {
    std::vector<std::string> names;
    for (int position = 0; position < theme.GetShapeCount(); ++position)
        names.push_back(theme.GetAttributeTextAt(position, 0) + "@" +
                        std::to_string(int(CShapeRecord::GetPoint(theme.GetShape(position), 0).x)));
    return names;
}

void ClearClipboard() { QGuiApplication::clipboard()->setMimeData(new QMimeData); }

// Puts back the dialog services after a test installed some.
struct DialogServicesGuard {
    DialogServicesGuard() : saved(GetDocumentDialogServices()) {}
    ~DialogServicesGuard() { SetDocumentDialogServices(saved); }
    CDocumentDialogServices saved;
};

} // namespace

TEST(DocEditCommands, CutThenPasteRoundTripsShapesAndValues) {
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    CTheme* roads = AddLines(doc, "Roads", 4);
    Select(*roads, {3, 1});
    ClearClipboard();
    corvale::CScriptedUserInterface ui;
    ASSERT_TRUE(Enabled(doc, ID_EDIT_CUT));
    RunCommand(doc, ID_EDIT_CUT);
    EXPECT_EQ(Names(*roads), (std::vector<std::string>{"L0@0", "L2@2"}));
    EXPECT_TRUE(roads->m_Selection.empty());
    EXPECT_TRUE(log.Has(DUE_ThemeDataChanged, roads));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Working...", "For Help, press F1"}));
    EXPECT_EQ(ui.waitCursorUses, 1);
    EXPECT_EQ(GetClipboardShapeCount(), 2u);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "NAME='L1' LEN='10'\r\nNAME='L3' LEN='30'\r\n");

    // Back into the same theme, after the shapes that stayed.
    log.events.clear();
    ASSERT_TRUE(Enabled(doc, ID_EDIT_PASTE));
    RunCommand(doc, ID_EDIT_PASTE);
    EXPECT_EQ(Names(*roads), (std::vector<std::string>{"L0@0", "L2@2", "L1@1", "L3@3"}));
    EXPECT_EQ(roads->GetAttributeText(3, 1), "30");
    EXPECT_TRUE(log.Has(DUE_ThemeDataChanged, roads));

    // And into an empty theme of another workspace, which takes the columns.
    CCorvaleDoc other;
    CTheme* copy = other.CreateTheme("Copy", SHT_PolylineZ);
    ASSERT_TRUE(copy->ConvertToNative(true, true));
    other.m_themes.push_back(copy);
    other.m_activeTheme = copy;
    RunCommand(other, ID_EDIT_PASTE);
    EXPECT_EQ(Names(*copy), (std::vector<std::string>{"L1@1", "L3@3"}));
    EXPECT_EQ(copy->GetAttributeName(1), "LEN");
    EXPECT_EQ(copy->GetAttributeType(1), FT_Int);
    // The workspace's only theme had no shapes: the view goes to them, 1..3
    // by 0..10, with a margin of 10 / 32.
    EXPECT_EQ(std::vector<double>(other.m_viewExtent, other.m_viewExtent + 4),
              (std::vector<double>{0.6875, -0.3125, 3.3125, 10.3125}));
    EXPECT_TRUE(ui.shown.empty());
}

TEST(DocEditCommands, PasteIntoAThemeWithShapesKeepsTheView) {
    CCorvaleDoc doc;
    CTheme* roads = AddLines(doc, "Roads", 2);
    Select(*roads, {0});
    ASSERT_TRUE(doc.CopySelectionToClipboard());
    const double extent[4] = {-100, -100, 100, 100};
    doc.SetViewExtent(extent);
    RunCommand(doc, ID_EDIT_PASTE);
    EXPECT_EQ(roads->GetShapeCount(), 3);
    EXPECT_EQ(doc.m_viewExtent[0], -100.0);
    EXPECT_EQ(doc.m_viewExtent[2], 100.0);
}

TEST(DocEditCommands, DeleteInVertexModeShowsItsMessageAndChangesNothing) {
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    CTheme* roads = AddLines(doc, "Roads", 3);
    Select(*roads, {1});
    doc.m_vertexMode = 1;
    corvale::CScriptedUserInterface ui;
    RunCommand(doc, ID_EDIT_DELETE);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, CCorvaleDoc::kDeleteInVertexModeMessage);
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Information);
    EXPECT_EQ(roads->GetShapeCount(), 3);
    EXPECT_EQ(roads->GetSelectionIndex(1), 0);
    EXPECT_FALSE(roads->m_Modified);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(log.events.empty());

    doc.m_vertexMode = 0;
    RunCommand(doc, ID_EDIT_DELETE);
    EXPECT_EQ(Names(*roads), (std::vector<std::string>{"L0@0", "L2@2"}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(log.Has(DUE_ThemeDataChanged, roads));
    EXPECT_EQ(ui.shown.size(), 1u);
}

TEST(DocEditCommands, WhenTheCommandsAreEnabled) {
    DialogServicesGuard guard;
    CDocumentDialogServices services;
    services.multiEditAttributes = [](CCorvaleDoc*, CTheme*) { return false; };
    SetDocumentDialogServices(services);
    struct Case {
        const char* what;
        std::function<void(CCorvaleDoc&, CTheme*&)> setUp;
        // Copy, Cut, Delete, Copy as WKT, Multi-Edit, Top Z-Order.
        std::vector<bool> enabled;
    };
    const Case cases[] = {
        {"nothing selected", [](CCorvaleDoc&, CTheme*&) {}, {false, false, false, false, false, false}},
        {"a selected shape", [](CCorvaleDoc&, CTheme*& t) { Select(*t, {1}); }, {true, true, true, true, true, true}},
        {"no active theme",
         [](CCorvaleDoc& d, CTheme*& t) {
             Select(*t, {1});
             d.m_activeTheme = nullptr;
         },
         {false, false, false, false, false, false}},
        {"a read-only theme",
         [](CCorvaleDoc&, CTheme*& t) {
             Select(*t, {1});
             t->m_Editable = false;
         },
         {true, false, false, true, false, false}},
        {"a theme other themes are made from",
         [](CCorvaleDoc& d, CTheme*& t) {
             Select(*t, {1});
             d.NewThemeFromSelection(t, "child", true);
             d.m_activeTheme = t;
         },
         {true, false, false, true, true, true}},
        {"a filtered-out shape",
         [](CCorvaleDoc&, CTheme*& t) {
             Select(*t, {0});
             t->FilterSelected();
             Select(*t, {1});
         },
         {true, true, true, true, true, false}},
        {"only a selection outline",
         [](CCorvaleDoc&, CTheme*& t) {
             std::vector<CShapePoint> outline = {{0, 0}, {0, 1}, {1, 1}, {0, 0}};
             t->SetSelectionArea(&outline);
         },
         {true, true, true, true, true, false}},
        {"a theme without columns",
         [](CCorvaleDoc&, CTheme*& t) {
             Select(*t, {1});
             t->DeleteAttribute(1);
             t->DeleteAttribute(0);
         },
         {true, true, true, true, false, true}},
    };
    const unsigned ids[] = {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_DELETE, ID_EDIT_COPY_AS_WKT, ID_EDIT_MULTI_EDIT,
                            ID_EDIT_TOP_Z_ORDER};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCorvaleDoc doc;
        CTheme* theme = AddLines(doc, "Roads", 3);
        c.setUp(doc, theme);
        std::vector<bool> enabled;
        for (unsigned id : ids)
            enabled.push_back(Enabled(doc, id));
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(Enabled(doc, ID_EDIT_COPY_AS_GEOJSON), enabled[0]);
        EXPECT_EQ(Enabled(doc, ID_EDIT_BOTTOM_Z_ORDER), enabled[5]);
    }
    // Without the dialog Multi-Edit is never offered.
    SetDocumentDialogServices(CDocumentDialogServices());
    CCorvaleDoc doc;
    CTheme* theme = AddLines(doc, "Roads", 3);
    Select(*theme, {1});
    EXPECT_FALSE(Enabled(doc, ID_EDIT_MULTI_EDIT));
}

TEST(DocEditCommands, PasteIsEnabledByWhatTheClipboardHolds) {
    CCorvaleDoc doc;
    CTheme* roads = AddLines(doc, "Roads", 1);
    ClearClipboard();
    EXPECT_FALSE(Enabled(doc, ID_EDIT_PASTE));
    QGuiApplication::clipboard()->setText(QStringLiteral("LINESTRING(0 0, 5 5)"));
    EXPECT_TRUE(Enabled(doc, ID_EDIT_PASTE));
    RunCommand(doc, ID_EDIT_PASTE);
    EXPECT_EQ(roads->GetShapeCount(), 2);
    QGuiApplication::clipboard()->setText(QStringLiteral("POINT(1 2)"));
    EXPECT_TRUE(Enabled(doc, ID_EDIT_PASTE));
    roads->m_Editable = false;
    EXPECT_FALSE(Enabled(doc, ID_EDIT_PASTE));
    doc.m_activeTheme = nullptr;
    EXPECT_FALSE(Enabled(doc, ID_EDIT_PASTE));
}

TEST(DocEditCommands, CopiesAsText) {
    CCorvaleDoc doc;
    CTheme* roads = AddLines(doc, "Roads", 3);
    Select(*roads, {2});
    ClearClipboard();
    RunCommand(doc, ID_EDIT_COPY_AS_WKT);
    const std::string wkt = QGuiApplication::clipboard()->text().toStdString();
    EXPECT_EQ(wkt.rfind("LINESTRING(2.", 0), 0u) << wkt;
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat(QString::fromLatin1(kShapeClipboardMime)));
    RunCommand(doc, ID_EDIT_COPY_AS_GEOJSON);
    EXPECT_NE(QGuiApplication::clipboard()->text().toStdString().find("\"LineString\""), std::string::npos);
    // Copy replaces the text with the shape format and its attribute text.
    RunCommand(doc, ID_EDIT_COPY);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "NAME='L2' LEN='20'\r\n");
    EXPECT_TRUE(ClipboardHasPolylineShapes());
}

TEST(DocEditCommands, ImageThemesCopyOnlyWithASelectionOutline) {
    CCorvaleDoc doc;
    CTheme* image = doc.CreateTheme("Image", SHT_Image);
    doc.m_themes.push_back(image);
    doc.m_activeTheme = image;
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    EXPECT_FALSE(Enabled(doc, ID_EDIT_COPY));
    RunCommand(doc, ID_EDIT_COPY);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "kept");
    std::vector<CShapePoint> outline = {{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}};
    image->SetSelectionArea(&outline);
    ASSERT_TRUE(Enabled(doc, ID_EDIT_COPY));
    RunCommand(doc, ID_EDIT_COPY);
    EXPECT_TRUE(ClipboardHasPolygonShapes());
    EXPECT_EQ(GetClipboardShapeCount(), 1u);
}

TEST(DocEditCommands, MoveTheSelectionToTopOrBottomZOrder) {
    struct Case {
        const char* what;
        unsigned id;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"top", ID_EDIT_TOP_Z_ORDER, {"L1@1", "L3@3", "L0@0", "L2@2"}},
        {"bottom", ID_EDIT_BOTTOM_Z_ORDER, {"L0@0", "L2@2", "L1@1", "L3@3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCorvaleDoc doc;
        EventLog log;
        doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
        CTheme* roads = AddLines(doc, "Roads", 4);
        Select(*roads, {2, 0});
        RunCommand(doc, c.id);
        EXPECT_EQ(Names(*roads), c.names);
        EXPECT_TRUE(roads->m_Modified);
        EXPECT_TRUE(log.Has(DUE_ZOrderChanged, roads));
        // A later Copy takes the shapes the user selected.
        ASSERT_TRUE(doc.CopySelectionToClipboard());
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "NAME='L0' LEN='0'\r\nNAME='L2' LEN='20'\r\n");
    }
}

TEST(DocEditCommands, MultiEditAsksTheDialog) {
    DialogServicesGuard guard;
    std::vector<std::pair<CCorvaleDoc*, CTheme*>> asked;
    bool answer = false;
    CDocumentDialogServices services;
    services.multiEditAttributes = [&](CCorvaleDoc* doc, CTheme* theme) {
        asked.emplace_back(doc, theme);
        return answer;
    };
    SetDocumentDialogServices(services);
    CCorvaleDoc doc;
    EventLog log;
    doc.m_updateEvent.AddHandler(&log, &EventLog::OnUpdate);
    CTheme* roads = AddLines(doc, "Roads", 2);
    RunCommand(doc, ID_EDIT_MULTI_EDIT);
    EXPECT_TRUE(asked.empty()) << "nothing selected";
    Select(*roads, {0});
    RunCommand(doc, ID_EDIT_MULTI_EDIT);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(&doc, roads));
    EXPECT_TRUE(log.events.empty()) << "cancelled";
    answer = true;
    RunCommand(doc, ID_EDIT_MULTI_EDIT);
    EXPECT_TRUE(log.Has(DUE_ThemeDataChanged, roads));
}
