// The legend in the running program: the Themes pane shows the active
// workspace's themes, its check boxes hide them, and its menus reach the
// frame's commands.

#include "AppTestSupport.h"
#include "plugins/DialogDriver.h"

#include "app/AppIds.h"
#include "core/Theme.h"
#include "panes/LegendPane.h"
#include "panes/StatisticsGridPane.h"
#include "ui/AdvancedPropertiesDialog.h"
#include "ui/LegendListCtrl.h"
#include "ui/ThemePropertiesDialog.h"
#include "ui/ThemePropertyPages.h"
#include "ui/controls/ColourPickerXP.h"
#include "view/GeoView.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"

#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QLineEdit>
#include <QTimer>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using MainFrameLegendTest = AppTest;

template <class T> T* Control(QWidget* parent, int id) { return parent->findChild<T*>(QString::number(id)); }

// Once the event loop runs, calls step with the active modal dialog.
void WhenModal(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr) << "no modal dialog open";
        step(dialog);
    });
}

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
    // The program installs the theme properties: their item is on.
    QAction* properties =
        menu->findChild<QAction*>(QStringLiteral("command_%1").arg(ID_THEME_PROPERTIES));
    ASSERT_NE(properties, nullptr);
    EXPECT_TRUE(properties->isEnabled());

    // Closing the workspace empties the legend.
    m_App->CloseAllDocuments();
    QApplication::processEvents();
    EXPECT_EQ(legend->GetDocument(), nullptr);
    EXPECT_EQ(list->GetItemCount(), 0);
}

// A user opens a theme's properties from the legend, gives it another
// colour and a rule, and the map draws both.
TEST_F(MainFrameLegendTest, ThemePropertiesRestyleTheMap) {
    const std::string shapes = CopyShapeFixture("polygons", m_Dir.path());
    std::filesystem::copy_file(std::string(CORVALE_TEST_DATA) + "/dbf/gdal.dbf", m_Dir.file("polygons.dbf"));
    const std::string workspace = WriteWorkspace(shapes, m_Dir.file("map.cvw"));
    ASSERT_TRUE(Start({QString::fromStdString(workspace)}));
    CLegendPane* legend = Frame().GetLegendPane();
    CCorvaleDoc* document = Frame().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->m_themes.size(), 1u);
    CTheme* theme = document->m_themes.front();
    theme->m_FillPattern = 0;
    CGeoView* view = Frame().GetActiveView();
    ASSERT_NE(view, nullptr);
    view->resize(300, 300);
    document->ZoomToFullExtent(nullptr);

    constexpr std::uint32_t kThemeColour = 0x00A000; // green
    constexpr std::uint32_t kRuleColour = 0x0000C0;  // red
    legend->GetList()->SetItemSelected(0, true);
    WhenModal([&](QWidget* dialog) {
        auto* properties = static_cast<CThemePropertiesDialog*>(dialog);
        properties->GetPolygonPage()->m_FillColour = kThemeColour;
        // COUNT is 12 in the first record only.
        WhenModal([&](QWidget* rule) {
            Control<QLineEdit>(rule, CAdvancedPropertyDialog::IDC_Condition)->setText("[COUNT] > 5");
            Control<CColourPickerXP>(rule, CAdvancedPropertyDialog::IDC_FillColour)->SetColour(kRuleColour);
            static_cast<QDialog*>(rule)->accept();
        });
        properties->GetAdvancedPage()->OnNew();
        properties->accept();
    });
    legend->RunCommand(ID_THEME_PROPERTIES);

    EXPECT_EQ(theme->m_Color, kThemeColour);
    ASSERT_EQ(theme->m_AdvancedProperties.m_Properties.size(), 1u);
    EXPECT_TRUE(document->IsModified());
    const QImage map = view->GetMapPicture();
    int themePixels = 0;
    int rulePixels = 0;
    for (int y = 0; y < map.height(); ++y) {
        for (int x = 0; x < map.width(); ++x) {
            const QRgb pixel = map.pixel(x, y) & 0xFFFFFF;
            themePixels += pixel == 0x00A000 ? 1 : 0;
            rulePixels += pixel == 0xC00000 ? 1 : 0;
        }
    }
    EXPECT_GT(themePixels, 100);
    EXPECT_GT(rulePixels, 100);
}

// The caption strip's "Add From" holds the commands of Insert > Add Theme
// From, with the program's own plug-ins in its folder: the same items (the
// frame's actions themselves, which run the same command) in the same
// order, enabled alike with a workspace and without one. One of them loads
// its themes, whose statistics name the loader.
TEST_F(MainFrameLegendTest, AddFromHoldsTheLoadersOfInsertAddThemeFrom) {
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    frame.SetPluginFolder(CORVALE_PLUGIN_DIR);
    // Plug-ins other than loaders may add their own items to the list.
    LoadGpiPlugins(CORVALE_PLUGIN_DIR);
    auto* addThemeFrom = frame.findChild<QMenu*>(QStringLiteral("AddThemeFrom"));
    ASSERT_NE(addThemeFrom, nullptr);
    QMenu* insert = nullptr;
    for (QAction* action : frame.menuBar()->actions())
        if (action->menu() != nullptr && action->menu()->actions().contains(addThemeFrom->menuAction()))
            insert = action->menu();
    ASSERT_NE(insert, nullptr);
    CLegendPane* legend = frame.GetLegendPane();

    using Entry = std::tuple<std::string, unsigned, bool>;
    auto entries = [](QMenu* menu) {
        std::vector<Entry> list;
        for (QAction* action : menu->actions())
            list.emplace_back(action->text().toStdString(), action->data().toUInt(), action->isEnabled());
        return list;
    };
    const std::vector<CMainFrame::LoaderEntry> shipped = CMainFrame::ReadLoaderList(CORVALE_PLUGIN_DIR);
    ASSERT_GE(shipped.size(), 3u);
    const std::string ostrela = std::string(CORVALE_PLUGIN_DIR) + "/Ostrela.ldr";

    // As in the program, the plug-ins were there before the workspaces they
    // hear of.
    for (const bool withWorkspace : {false, true}) {
        SCOPED_TRACE(withWorkspace ? "with a workspace" : "without a workspace");
        if (withWorkspace)
            m_App->OnFileNew();
        else
            m_App->CloseAllDocuments();
        QApplication::processEvents();
        ASSERT_EQ(frame.GetActiveDocument() != nullptr, withWorkspace);
        // The user opens Insert, then its Add Theme From.
        emit insert->aboutToShow();
        emit addThemeFrom->aboutToShow();
        std::unique_ptr<QMenu> header(legend->CreateHeaderMenu(nullptr));
        auto* addFrom = header->findChild<QMenu*>(QStringLiteral("AddFromMenu"));
        ASSERT_NE(addFrom, nullptr);
        EXPECT_EQ(entries(addFrom), entries(addThemeFrom));
        ASSERT_EQ(addFrom->actions().size(), addThemeFrom->actions().size());
        for (int i = 0; i < addFrom->actions().size(); ++i)
            EXPECT_EQ(addFrom->actions()[i], addThemeFrom->actions()[i]) << i;
        // Every loader of the folder, by the name it gives, in file-name
        // order; a loader needs a workspace to load into.
        for (std::size_t i = 0; i < shipped.size(); ++i) {
            const QAction* item = addFrom->actions()[static_cast<int>(i)];
            EXPECT_EQ(item->text().toStdString(), shipped[i].m_Name);
            EXPECT_EQ(item->isEnabled(), withWorkspace) << shipped[i].m_Name;
        }
        // The plug-ins' own items (the ODBC query) load into the active
        // workspace too.
        for (int i = static_cast<int>(shipped.size()); i < addFrom->actions().size(); ++i)
            EXPECT_EQ(addFrom->actions()[i]->isEnabled(), withWorkspace)
                << addFrom->actions()[i]->text().toStdString();
        // The submenu is grayed when it has nothing to run.
        bool any = false;
        for (const QAction* item : addFrom->actions())
            any = any || item->isEnabled();
        EXPECT_EQ(addFrom->menuAction()->isEnabled(), any);
        if (!withWorkspace)
            continue;

        // Ostrela from the legend's menu loads the file chosen in its dialog.
        QAction* ostrelaItem = nullptr;
        for (QAction* action : addFrom->actions())
            if (action->toolTip().toStdString() == ostrela)
                ostrelaItem = action;
        ASSERT_NE(ostrelaItem, nullptr);
        EXPECT_EQ(ostrelaItem->text(), QStringLiteral("Ostrela Interchange Format..."));
        QSettings ostrelaSettings(QSettings::IniFormat, QSettings::UserScope, "Corvale", "MIF Loader Plugin");
        for (const char* kind : {"Settings/ImportPoints", "Settings/ImportPolylines", "Settings/ImportPolygons"})
            ostrelaSettings.setValue(kind, 1);
        ostrelaSettings.sync();
        DialogDriver dialogs;
        dialogs.File(std::string(CORVALE_TEST_DATA) + "/mif/mixed.mif");
        ostrelaItem->trigger();
        EXPECT_EQ(dialogs.Pending(), 0u);
        CCorvaleDoc* document = frame.GetActiveDocument();
        ASSERT_EQ(document->m_themes.size(), 3u);
        for (const CTheme* theme : document->m_themes)
            EXPECT_EQ(theme->m_SourceType, static_cast<std::uint32_t>(ST_CustomLoader));

        // The theme the legend selected shows its loader in the statistics.
        ASSERT_EQ(document->m_selectedThemes.size(), 1u);
        auto* statistics = dynamic_cast<CStatisticsGridPane*>(frame.GetPane(ID_PANE_STATISTICS)->widget());
        ASSERT_NE(statistics, nullptr);
        EXPECT_EQ(statistics->GetValue("Loader"), "Ostrela Interchange Format...");
        EXPECT_EQ(statistics->GetValue("Loader file"), ostrela);
    }
}

} // namespace
