// The geometry and derived-geometry commands in the running program: their
// menu items sit where users look for them, enable by the document's update
// handlers and run on the active workspace.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "core/Theme.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

#include <gtest/gtest.h>

#include <vector>

namespace {

using GeometryCommandsMenuTest = AppTest;

bool MenuHolds(CMainFrame& frame, const char* menuName, unsigned id) {
    auto* menu = frame.findChild<QMenu*>(QString::fromLatin1(menuName));
    return menu != nullptr && frame.GetCommandAction(id) != nullptr &&
           menu->actions().contains(frame.GetCommandAction(id));
}

const std::vector<unsigned> kAdvancedEdit{ID_GEOMETRY_MERGE_TO_COPY,        ID_GEOMETRY_SPLIT_TO_COPIES,
                                          ID_GEOMETRY_SIMPLIFY_PARTS,       ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES,
                                          ID_GEOMETRY_REVERSE_COORDINATES,  ID_GEOMETRY_SNAP_TO_GRID,
                                          ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD};
const std::vector<unsigned> kCreateNew{ID_THEME_END_POINTS, ID_THEME_MID_POINTS, ID_THEME_POLYGON_OUTLINE};

TEST_F(GeometryCommandsMenuTest, GeometryItemsRouteToTheActiveWorkspace) {
    const std::string shapes = CopyShapeFixture("lines", m_Dir.path());
    const std::string workspace = WriteWorkspace(shapes, m_Dir.file("map.cvw"));
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CMainFrame& frame = Frame();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->m_themes.size(), 1u);
    CTheme* lines = document->m_themes.front();

    for (unsigned id : kAdvancedEdit)
        EXPECT_TRUE(MenuHolds(frame, "AdvancedEdit", id)) << id;
    for (unsigned id : kCreateNew)
        EXPECT_TRUE(MenuHolds(frame, "CreateNewTheme", id)) << id;
    QAction* autoSnap = frame.GetCommandAction(ID_GEOMETRY_AUTO_SNAP);
    ASSERT_NE(autoSnap, nullptr);
    EXPECT_TRUE(frame.GetEditToolBar()->actions().contains(autoSnap));
    EXPECT_TRUE(autoSnap->isCheckable());

    // Without an active theme nothing can act.
    document->ClearThemeSelection();
    for (unsigned id : kAdvancedEdit)
        EXPECT_FALSE(EnabledInFrame(frame, id)) << id;
    for (unsigned id : kCreateNew)
        EXPECT_FALSE(EnabledInFrame(frame, id)) << id;
    EXPECT_FALSE(EnabledInFrame(frame, ID_GEOMETRY_AUTO_SNAP));

    // A read-only polyline theme: only the commands that derive new themes
    // from polylines.
    document->SetThemeSelected(lines, true);
    EXPECT_TRUE(EnabledInFrame(frame, ID_THEME_END_POINTS));
    EXPECT_TRUE(EnabledInFrame(frame, ID_THEME_MID_POINTS));
    EXPECT_FALSE(EnabledInFrame(frame, ID_THEME_POLYGON_OUTLINE));
    for (unsigned id : kAdvancedEdit)
        EXPECT_FALSE(EnabledInFrame(frame, id)) << id;

    m_Ui->textAnswers.push_back("1");
    frame.GetCommandAction(ID_THEME_END_POINTS)->trigger();
    ASSERT_EQ(document->m_themes.size(), 2u);
    CTheme* nodes = document->m_themes.front() == lines ? document->m_themes.back() : document->m_themes.front();
    EXPECT_EQ(nodes->m_Name, "End points of " + lines->m_Name);
    EXPECT_EQ(nodes->GetShapeCount(), 4);

    // Made editable with its shapes selected, the theme takes the edits.
    document->ClearThemeSelection();
    document->SetThemeSelected(lines, true);
    frame.GetCommandAction(ID_THEME_ENABLE_EDITING)->trigger();
    ASSERT_TRUE(lines->m_Editable);
    frame.GetCommandAction(ID_SELECTION_SELECT_ALL)->trigger();
    for (unsigned id : {static_cast<unsigned>(ID_GEOMETRY_MERGE_TO_COPY),
                        static_cast<unsigned>(ID_GEOMETRY_SPLIT_TO_COPIES),
                        static_cast<unsigned>(ID_GEOMETRY_SIMPLIFY_PARTS),
                        static_cast<unsigned>(ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES),
                        static_cast<unsigned>(ID_GEOMETRY_REVERSE_COORDINATES),
                        static_cast<unsigned>(ID_GEOMETRY_SNAP_TO_GRID)})
        EXPECT_TRUE(EnabledInFrame(frame, id)) << id;
    EXPECT_FALSE(EnabledInFrame(frame, ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD)) << "not a point theme";

    m_Ui->shown.clear();
    frame.GetCommandAction(ID_GEOMETRY_SPLIT_TO_COPIES)->trigger();
    EXPECT_EQ(lines->GetShapeCount(), 4);
    EXPECT_EQ(m_Ui->Messages(), std::vector<std::string>{"1 shape(s) successfully split into 2 new shapes."});

    ASSERT_TRUE(EnabledInFrame(frame, ID_GEOMETRY_AUTO_SNAP));
    EXPECT_FALSE(autoSnap->isChecked());
    autoSnap->trigger();
    EXPECT_EQ(document->m_autoSnap, 1);
    EXPECT_TRUE(autoSnap->isChecked());
}

} // namespace
