// The Edit menu in the running program: its items follow the active theme's
// selection, and copy, delete and paste act on the workspace's shapes.

#include "AppTestSupport.h"

#include "core/Theme.h"
#include "formats/ClipboardFormats.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QAction>

#include <gtest/gtest.h>

namespace {

using MainFrameEditTest = AppTest;

TEST_F(MainFrameEditTest, EditMenuActsOnTheSelectedShapes) {
    const std::string shapes = CopyShapeFixture("polygons", m_Dir.path());
    const std::string workspace = WriteWorkspace(shapes, m_Dir.file("map.cvw"));
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CCorvaleDoc* document = Frame().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->m_themes.size(), 1u);
    CTheme* theme = document->m_themes.front();
    document->SetThemeSelected(theme, true);
    ASSERT_EQ(document->m_activeTheme, theme);
    const int count = theme->GetShapeCount();
    ASSERT_GE(count, 2);

    const unsigned ids[] = {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_DELETE, ID_EDIT_TOP_Z_ORDER, ID_EDIT_MULTI_EDIT};
    for (unsigned id : ids)
        EXPECT_FALSE(EnabledInFrame(Frame(), id)) << "nothing selected: " << id;

    // A read-only theme copies but keeps its shapes.
    theme->AddToSelection(0, 0, 1, 0);
    EXPECT_TRUE(EnabledInFrame(Frame(), ID_EDIT_COPY));
    EXPECT_FALSE(EnabledInFrame(Frame(), ID_EDIT_DELETE));
    Frame().GetCommandAction(ID_EDIT_COPY)->trigger();
    EXPECT_EQ(GetClipboardShapeCount(), 1u);
    EXPECT_FALSE(EnabledInFrame(Frame(), ID_EDIT_PASTE));

    // Made editable, its shapes can be deleted and pasted back.
    ASSERT_TRUE(theme->ConvertToNative(true, true));
    EXPECT_TRUE(EnabledInFrame(Frame(), ID_EDIT_DELETE));
    EXPECT_TRUE(EnabledInFrame(Frame(), ID_EDIT_TOP_Z_ORDER));
    // The multi-edit dialog is not installed here: its item stays off.
    EXPECT_FALSE(EnabledInFrame(Frame(), ID_EDIT_MULTI_EDIT));
    Frame().GetCommandAction(ID_EDIT_DELETE)->trigger();
    EXPECT_EQ(theme->GetShapeCount(), count - 1);
    ASSERT_TRUE(EnabledInFrame(Frame(), ID_EDIT_PASTE));
    Frame().GetCommandAction(ID_EDIT_PASTE)->trigger();
    EXPECT_EQ(theme->GetShapeCount(), count);
    EXPECT_TRUE(document->IsModified());
}

} // namespace
