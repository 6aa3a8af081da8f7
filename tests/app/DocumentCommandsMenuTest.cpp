// The selection, theme and new-theme commands in the running program: their
// menu items enable by the document's update handlers and run on the active
// workspace.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "core/Theme.h"
#include "panes/LegendPane.h"
#include "ui/AttributeListBuilderDialog.h"
#include "ui/LegendListCtrl.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

using DocumentCommandsMenuTest = AppTest;

TEST_F(DocumentCommandsMenuTest, ATownThemeIsSelectedMadeEditableAndSaved) {
    const std::string shapes = CopyShapeFixture("points", m_Dir.path());
    const std::string workspace = WriteWorkspace(shapes, m_Dir.file("map.cvw"));
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CMainFrame& frame = Frame();
    CCorvaleDoc* document = frame.GetActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->m_themes.size(), 1u);
    CTheme* towns = document->m_themes.front();
    ASSERT_GT(towns->GetShapeCount(), 1);

    // Every item of the Selection menu is the document's: a command of its
    // own or one of the toolbar's filter and z-order buttons.
    auto* menu = frame.findChild<QMenu*>(QStringLiteral("SelectionMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_GE(menu->actions().size(), 12);

    document->ClearThemeSelection();
    EXPECT_FALSE(EnabledInFrame(frame, ID_SELECTION_SELECT_ALL)) << "no active theme";
    document->SetThemeSelected(towns, true);
    ASSERT_TRUE(EnabledInFrame(frame, ID_SELECTION_SELECT_ALL));
    EXPECT_FALSE(EnabledInFrame(frame, ID_SELECTION_CLEAR));
    EXPECT_FALSE(EnabledInFrame(frame, ID_SELECTION_CLIPBOARD_POLYGONS)) << "no polygons on the clipboard";
    EXPECT_TRUE(EnabledInFrame(frame, ID_SELECTION_BUILD_ATTRIBUTE_LIST));
    // The document's one list builder, attached to the active theme.
    frame.GetCommandAction(ID_SELECTION_BUILD_ATTRIBUTE_LIST)->trigger();
    frame.GetCommandAction(ID_SELECTION_BUILD_ATTRIBUTE_LIST)->trigger();
    std::vector<CAttributeListBuilderDialog*> builders;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* builder = dynamic_cast<CAttributeListBuilderDialog*>(widget); builder && builder->isVisible())
            builders.push_back(builder);
    ASSERT_EQ(builders.size(), 1u);
    EXPECT_EQ(builders[0]->GetTheme(), towns);
    builders[0]->hide();

    frame.GetCommandAction(ID_SELECTION_SELECT_ALL)->trigger();
    EXPECT_EQ(static_cast<int>(towns->m_Selection.size()), towns->GetShapeCount());
    EXPECT_TRUE(EnabledInFrame(frame, ID_SELECTION_CLEAR));
    EXPECT_TRUE(EnabledInFrame(frame, ID_SELECTION_BOUNDS)) << "its window is installed";
    EXPECT_TRUE(EnabledInFrame(frame, ID_SELECTION_POINT_COUNT)) << "its dialog is installed";

    // A theme read from a shape file is made editable for the drawing tools.
    EXPECT_FALSE(EnabledInFrame(frame, ID_TOOL_DRAW_NEW));
    EXPECT_FALSE(EnabledInFrame(frame, ID_EDIT_TOP_Z_ORDER));
    ASSERT_TRUE(EnabledInFrame(frame, ID_THEME_ENABLE_EDITING));
    frame.GetCommandAction(ID_THEME_ENABLE_EDITING)->trigger();
    EXPECT_TRUE(towns->m_Editable);
    EXPECT_FALSE(EnabledInFrame(frame, ID_THEME_ENABLE_EDITING));
    EXPECT_TRUE(EnabledInFrame(frame, ID_TOOL_DRAW_NEW));
    EXPECT_TRUE(EnabledInFrame(frame, ID_EDIT_TOP_Z_ORDER));

    frame.GetCommandAction(ID_SELECTION_CLEAR)->trigger();
    EXPECT_TRUE(towns->m_Selection.empty());

    // A new polygon theme goes into the legend; removing it takes it out.
    frame.GetCommandAction(ID_THEME_NEW_POLYGONS)->trigger();
    ASSERT_EQ(document->m_themes.size(), 2u);
    CLegendListCtrl* list = frame.GetLegendPane()->GetList();
    EXPECT_EQ(list->GetItemCount(), 2);
    CTheme* drawn = document->m_themes.front() == towns ? document->m_themes.back() : document->m_themes.front();
    EXPECT_EQ(drawn->m_Name, "* Unnamed");
    document->ClearThemeSelection();
    document->SetThemeSelected(drawn, true);
    EXPECT_TRUE(EnabledInFrame(frame, ID_TOOL_DRAW_NEW)) << "a new theme is drawn in at once";
    frame.GetCommandAction(ID_THEME_REMOVE)->trigger();
    EXPECT_EQ(document->m_themes.size(), 1u);
    EXPECT_EQ(list->GetItemCount(), 1);

    EXPECT_TRUE(document->SaveWorkspace(workspace));
}

} // namespace
