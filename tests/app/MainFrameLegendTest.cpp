// The legend in the running program: the Themes pane shows the active
// workspace's themes, its check boxes hide them, and its menus reach the
// frame's commands.

#include "AppTestSupport.h"

#include "app/AppIds.h"
#include "core/Theme.h"
#include "panes/LegendPane.h"
#include "ui/LegendListCtrl.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QDockWidget>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using MainFrameLegendTest = AppTest;

TEST_F(MainFrameLegendTest, TheThemesPaneListsTheActiveWorkspace) {
    const std::string shapes = CopyShapeFixture("polygons", m_Dir.path());
    const std::string workspace = WriteWorkspace(shapes, m_Dir.file("map.cvw"));
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CLegendPane* legend = Frame().GetLegendPane();
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(Frame().GetPane(ID_PANE_THEMES)->widget(), legend);
    CCorvaleDoc* document = Frame().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->m_themes.size(), 1u);
    CTheme* theme = document->m_themes.front();
    EXPECT_EQ(legend->GetDocument(), document);

    CLegendListCtrl* list = legend->GetList();
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemData(0), theme);
    EXPECT_EQ(list->GetItemText(0), theme->m_Name);
    EXPECT_TRUE(list->GetCheck(0));
    // The row fills the pane: one theme leaves no room taken for a scroll bar.
    EXPECT_EQ(list->GetColumnWidth(), list->width());

    // The row shows the polygon sample in the theme's colour.
    QImage picture(list->viewport()->size(), QImage::Format_ARGB32);
    {
        QPainter painter(&picture);
        list->Render(painter);
    }
    const QColor fill(static_cast<int>(theme->m_Color & 0xFF),
                      static_cast<int>((theme->m_Color >> 8) & 0xFF),
                      static_cast<int>((theme->m_Color >> 16) & 0xFF));
    EXPECT_EQ(QColor(picture.pixel(56, 30)), fill);

    // The check box hides the theme.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(15, 14));
    EXPECT_FALSE(theme->m_Visible);
    EXPECT_FALSE(list->GetCheck(0));

    // The theme menu reaches the document's commands through the frame.
    list->SetItemSelected(0, true);
    document->SetThemeSelected(theme, true);
    std::unique_ptr<QMenu> menu(legend->CreateThemeMenu(nullptr));
    QAction* zoom =
        menu->findChild<QAction*>(QStringLiteral("command_%1").arg(ID_THEME_ZOOM_TO_THEME));
    ASSERT_NE(zoom, nullptr);
    EXPECT_TRUE(zoom->isEnabled());
    // The properties dialog does not exist yet: its item is off.
    QAction* properties =
        menu->findChild<QAction*>(QStringLiteral("command_%1").arg(ID_THEME_PROPERTIES));
    ASSERT_NE(properties, nullptr);
    EXPECT_FALSE(properties->isEnabled());

    // Closing the workspace empties the legend.
    m_App->CloseAllDocuments();
    QApplication::processEvents();
    EXPECT_EQ(legend->GetDocument(), nullptr);
    EXPECT_EQ(list->GetItemCount(), 0);
}

} // namespace
