// The Save Map Image dialogs, the theme chooser, the HTML image map creator
// and the map overview.
#include "ui/MapImageDialogs.h"
#include "ui/MapOverviewDialog.h"

#include "TempDir.h"
#include "UiTestSupport.h"
#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "shapes/RecordFixtures.h"
#include "ui/LegendListCtrl.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

// ---- the sheets dialog ----

CMapSheetSettings Remembered() {
    CMapSheetSettings s;
    s.directory = "/tmp";
    s.clientWidth = 400;
    s.clientHeight = 300;
    return s;
}

TEST(SaveMultipleSheetsDialog, RefusesWhatCannotBeSaved) {
    struct Case {
        const char *columns, *rows, *width, *height, *fileTemplate, *directory;
        std::vector<int> answers;
        std::vector<std::string> messages;
        bool accepted;
    };
    const std::string overwriteX = "File name template does not contain variable for horizontal "
                                   "image index, <SHEETX>.\nGenerated images will overwrite "
                                   "eachother.";
    const std::string overwriteY = "File name template does not contain variable for vertical "
                                   "image index, <SHEETY>.\nGenerated images will overwrite "
                                   "eachother.";
    const std::string positive = "All values needs to be positive integers.";
    const Case cases[] = {
        {"2", "2", "100", "75", "img_<SHEETY>_<SHEETX>", "/tmp", {}, {}, true},
        {"0", "2", "100", "75", "x<SHEETX><SHEETY>", "/tmp", {}, {positive}, false},
        {"2", "2", "-5", "75", "x<SHEETX><SHEETY>", "/tmp", {}, {positive}, false},
        {"2", "2", "abc", "75", "x<SHEETX><SHEETY>", "/tmp", {}, {positive}, false},
        {"2", "2", "100", "75", "x<SHEETX><SHEETY>", "", {}, {"Missing output directory."}, false},
        {"2", "2", "100", "75", "", "/tmp", {}, {"Missing file name template."}, false},
        // One column needs no <SHEETX>.
        {"1", "2", "100", "75", "x<SHEETY>", "/tmp", {}, {}, true},
        {"2", "1", "100", "75", "x", "/tmp", {corvale::IDCANCEL}, {overwriteX}, false},
        {"2", "2", "100", "75", "x", "/tmp", {corvale::IDOK, corvale::IDOK}, {overwriteX, overwriteY},
         true},
    };
    for (const Case& c : cases) {
        corvale::CScriptedUserInterface ui;
        ui.messageAnswers.assign(c.answers.begin(), c.answers.end());
        CSaveMultipleSheetsDialog dialog(Remembered());
        dialog.SetHeightAutomatic(false);
        dialog.m_ColumnsEdit->setText(QString::fromLatin1(c.columns));
        dialog.m_RowsEdit->setText(QString::fromLatin1(c.rows));
        dialog.m_WidthEdit->setText(QString::fromLatin1(c.width));
        dialog.m_HeightEdit->setText(QString::fromLatin1(c.height));
        dialog.m_TemplateEdit->setText(QString::fromLatin1(c.fileTemplate));
        dialog.m_DirectoryEdit->setText(QString::fromLatin1(c.directory));
        dialog.show();
        dialog.accept();
        EXPECT_EQ(ui.Messages(), c.messages) << c.columns << " " << c.fileTemplate;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.columns << " " << c.fileTemplate;
        for (const auto& shown : ui.shown)
            EXPECT_EQ(shown.icon, shown.buttons == corvale::MessageButtons::OkCancel
                                      ? corvale::MessageIcon::Warning
                                      : corvale::MessageIcon::Error);
    }
}

TEST(SaveMultipleSheetsDialog, ComputesTheAutomaticValueAsTheUserTypes) {
    CSaveMultipleSheetsDialog dialog(Remembered());
    // Opening: the height follows from 2 x 2 sheets of 100 pixels in a
    // 400 x 300 window.
    EXPECT_TRUE(dialog.m_HeightAutomatic->isChecked());
    EXPECT_FALSE(dialog.m_HeightEdit->isEnabled());
    EXPECT_TRUE(dialog.m_RowsEdit->isEnabled());
    EXPECT_EQ(dialog.m_HeightEdit->text(), QStringLiteral("75"));
    dialog.m_WidthEdit->clear();
    QTest::keyClicks(dialog.m_WidthEdit, QStringLiteral("200"));
    EXPECT_EQ(dialog.m_HeightEdit->text(), QStringLiteral("150"));

    // The rows become the automatic value.
    QTest::mouseClick(dialog.m_RowsAutomatic, Qt::LeftButton);
    EXPECT_TRUE(dialog.m_RowsAutomatic->isChecked());
    EXPECT_FALSE(dialog.m_HeightAutomatic->isChecked());
    EXPECT_TRUE(dialog.m_HeightEdit->isEnabled());
    EXPECT_FALSE(dialog.m_RowsEdit->isEnabled());
    dialog.m_HeightEdit->clear();
    QTest::keyClicks(dialog.m_HeightEdit, QStringLiteral("50"));
    // 2 columns of 200 pixels for 200-pixel window columns: rows of 50
    // pixels take 6 sheets for 300 pixels.
    EXPECT_EQ(dialog.m_RowsEdit->text(), QStringLiteral("6"));
}

TEST(SaveMultipleSheetsDialog, VariablesEncodingAndTransformation) {
    CSaveMultipleSheetsDialog dialog(Remembered());
    dialog.m_TemplateEdit->setText(QStringLiteral("map_"));
    dialog.m_TemplateEdit->setCursorPosition(4);
    dialog.findChild<QPushButton*>(QStringLiteral("sheetY"))->click();
    EXPECT_EQ(dialog.m_TemplateEdit->text(), QStringLiteral("map_<SHEETY>"));
    dialog.m_TemplateEdit->undo();
    EXPECT_EQ(dialog.m_TemplateEdit->text(), QStringLiteral("map_"));
    dialog.m_TemplateEdit->redo();
    dialog.m_TemplateEdit->setCursorPosition(3);
    dialog.findChild<QPushButton*>(QStringLiteral("sheetX"))->click();
    EXPECT_EQ(dialog.m_TemplateEdit->text(), QStringLiteral("map<SHEETX>_<SHEETY>"));

    EXPECT_EQ(dialog.m_EncodingCombo->count(), kSheetImageFormatCount);
    EXPECT_EQ(dialog.m_EncodingCombo->itemText(3), QStringLiteral("GIF (*.gif)"));
    dialog.m_EncodingCombo->setCurrentIndex(3);
    dialog.m_TransformCombo->setCurrentIndex(STK_SheetText);
    corvale::CScriptedUserInterface ui;
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << testing::PrintToString(ui.Messages());
    EXPECT_EQ(dialog.m_Settings.extension, ".gif");
    EXPECT_EQ(dialog.m_Settings.bits, 16);
    EXPECT_EQ(dialog.m_Settings.encodingIndex, 3);
    EXPECT_EQ(dialog.m_Settings.transformKind, STK_SheetText);
    EXPECT_EQ(dialog.m_Settings.fileTemplate, "map<SHEETX>_<SHEETY>");

    // The folder chooser fills the folder box.
    ui.folderAnswers = {"/data/out"};
    dialog.findChild<QPushButton*>(QStringLiteral("browse"))->click();
    EXPECT_EQ(dialog.m_DirectoryEdit->text(), QStringLiteral("/data/out"));
    EXPECT_EQ(ui.shown.back().text, "Please select an output directory");
}

TEST(SaveMapImageSelectionDialog, StartsOnTheRememberedChoice) {
    int choice = 1;
    WhenModal([](QWidget* dialog) {
        auto* multiple = dialog->findChild<QRadioButton*>(QStringLiteral("multiple"));
        EXPECT_TRUE(multiple->isChecked());
        dialog->findChild<QRadioButton*>(QStringLiteral("single"))->setChecked(true);
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(RunSaveMapImageSelection(nullptr, choice));
    EXPECT_EQ(choice, 0);
    WhenModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    EXPECT_FALSE(RunSaveMapImageSelection(nullptr, choice));
}

// ---- themes ----

struct Workspace {
    Workspace() { doc.m_backgroundColor = 0xFFFFFF; }

    CTheme* AddPolygons(const std::string& name, const std::vector<Parts>& shapes) {
        return Add(name, SHT_Polygon, shapes);
    }
    CTheme* Add(const std::string& name, std::uint32_t type, const std::vector<Parts>& shapes) {
        auto* theme = new CTheme;
        theme->m_Name = name;
        theme->m_ShapeType = type;
        theme->m_SourceType = ST_Native;
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            records.push_back(std::make_unique<Bytes>(
                type == SHT_Point ? MakePoint(shapes[i][0][0].x, shapes[i][0][0].y,
                                              static_cast<std::uint32_t>(i + 1))
                                  : MakeMulti(type, shapes[i], static_cast<std::uint32_t>(i + 1))));
            CTheme::ShapeCallback(theme, Rec(*records.back()), 0);
        }
        theme->ResetFilter();
        theme->RecalculateBounds();
        doc.m_themes.push_back(theme);
        return theme;
    }

    std::vector<std::unique_ptr<Bytes>> records;
    CCorvaleDoc doc;
};

Parts Box(double x0, double y0, double x1, double y1) {
    return {{{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}}};
}

TEST(SelectLayerDialog, ListsTheKindsTheMaskAllowsAndAnswersOneTheme) {
    Workspace ws;
    ws.Add("towns", SHT_Point, {{{{1, 1}}}});
    ws.Add("roads", SHT_Polyline, {{{{0, 0}, {1, 1}}}});
    CTheme* parcels = ws.AddPolygons("parcels", {Box(0, 0, 1, 1)});
    parcels->m_Visible = false;
    CSelectLayerDialog dialog(&ws.doc, 1u | 4u, "Select Theme for image map");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Theme for image map"));
    ASSERT_EQ(dialog.m_List->GetItemCount(), 2);
    EXPECT_EQ(dialog.m_List->GetItemText(0), "towns");
    EXPECT_EQ(dialog.m_List->GetItemText(1), "parcels");
    EXPECT_EQ(dialog.m_List->GetItemImage(1), 0) << "a hidden theme shows unchecked";
    auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    dialog.show();
    EXPECT_FALSE(ok->isEnabled());
    QTest::mouseClick(dialog.m_List->viewport(), Qt::LeftButton, {},
                      dialog.m_List->GetLabelRect(1).center());
    EXPECT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_Theme, parcels);
    EXPECT_EQ(dialog.m_ThemeIndex, 2);
}

// ---- the image map creator ----

class ImageMapCreatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        towns = new CTheme;
        towns->m_Name = "towns";
        towns->m_SourceType = ST_Native;
        towns->m_ShapeType = SHT_Point;
        towns->m_Editable = true;
        CAttributeFieldInfo name;
        name.m_Name = "NAME";
        name.m_Length = 20;
        towns->AddAttribute(name, nullptr, nullptr);
        towns->AddPointAt(false, false, 10, 20);
        towns->AddPointAt(false, false, 50, 60);
        towns->SetAttributeText(0, 0, "Ash", false);
        towns->SetAttributeText(1, 0, "Elm", false);
        ws.doc.m_themes.push_back(towns);
        SetMapViewport(viewport, CDeviceRect{0, 0, 100, 100}, 0.0, 100.0, 0.0, 100.0);
    }

    Workspace ws;
    CTheme* towns = nullptr;
    CMapViewport viewport;
    TempDir dir;
};

TEST_F(ImageMapCreatorTest, PlaceholdersGoIntoTheEditThatHadFocus) {
    CHTMLAreaMapCreatorDialog dialog(towns, viewport, dir.file("map.png"));
    dialog.show();
    QStringList items;
    for (int i = 0; i < dialog.m_Attributes->count(); ++i)
        items << dialog.m_Attributes->item(i)->text();
    EXPECT_EQ(items, (QStringList{"$LONGITUDE", "$LATITUDE", "$PIXEL_X", "$PIXEL_Y", "$INDEX",
                                  "NAME"}));
    EXPECT_FALSE(dialog.m_SelectionOnly->isEnabled()) << "nothing selected";
    EXPECT_FALSE(dialog.m_AddButton->isEnabled());
    EXPECT_EQ(dialog.m_Target, dialog.m_HrefEdit);

    dialog.m_Attributes->setCurrentRow(5);
    EXPECT_TRUE(dialog.m_AddButton->isEnabled());
    dialog.m_AddButton->click();
    EXPECT_EQ(dialog.m_HrefEdit->text(), QStringLiteral("<NAME>"));
    dialog.m_AltEdit->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(dialog.m_Target, dialog.m_AltEdit);
    dialog.m_Attributes->setCurrentRow(4);
    dialog.m_AddButton->click();
    EXPECT_EQ(dialog.m_AltEdit->text(), QStringLiteral("<$INDEX>"));
}

TEST_F(ImageMapCreatorTest, GenerateSaveAndTest) {
    corvale::CScriptedUserInterface ui;
    towns->AddToSelection(1, 1, 0, 0);
    CHTMLAreaMapCreatorDialog dialog(towns, viewport, dir.file("map.png"));
    EXPECT_TRUE(dialog.m_SelectionOnly->isEnabled());
    dialog.m_HrefEdit->setText(QStringLiteral("<NAME>.html"));
    dialog.m_SelectionOnly->setChecked(true);

    // Declining the estimate generates nothing.
    EXPECT_FALSE(dialog.Generate());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], "This will generate a map of roughly 1 kb.\n\nContinue?");
    EXPECT_TRUE(dialog.m_Result->toPlainText().isEmpty());
    ui.messageAnswers = {corvale::IDYES};
    ASSERT_TRUE(dialog.Generate());
    const std::string expected =
        "<map name='map'>\r\n<Area shape='rect' coords='44,34,56,46' href='Elm.html'>\r\n</map>";

    ui.saveAnswers = {dir.file("map.txt")};
    dialog.Save();
    std::ifstream saved(dir.file("map.txt"), std::ios::binary);
    std::ostringstream text;
    text << saved.rdbuf();
    EXPECT_EQ(text.str(), expected);

    // The test page is a temporary file, gone with the dialog.
    std::string opened;
    dialog.m_OpenPage = [&](const std::string& path) { opened = path; };
    dialog.Test();
    ASSERT_FALSE(opened.empty());
    ASSERT_TRUE(std::filesystem::exists(opened));
    std::ifstream page(opened, std::ios::binary);
    std::ostringstream pageText;
    pageText << page.rdbuf();
    EXPECT_NE(pageText.str().find(expected), std::string::npos);
    EXPECT_NE(pageText.str().find("<IMG SRC='file://" + dir.file("map.png") + "' USEMAP='#Map'>"),
              std::string::npos);

    // Asking for the selection when there is none.
    towns->ClearSelection();
    ui.shown.clear();
    EXPECT_FALSE(dialog.Generate());
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"No shapes are selected in current layer."});
    EXPECT_EQ(ui.shown[0].icon, corvale::MessageIcon::Error);

    {
        CHTMLAreaMapCreatorDialog other(towns, viewport, dir.file("map.png"));
        other.m_OpenPage = [](const std::string&) {};
        other.Test();
        opened = other.m_TestPages.at(0);
        EXPECT_TRUE(std::filesystem::exists(opened));
    }
    EXPECT_FALSE(std::filesystem::exists(opened));
}

// ---- the map overview ----

class OverviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        control.resize(200, 100);
        ws.doc.m_viewExtent[0] = 0;
        ws.doc.m_viewExtent[1] = 0;
        ws.doc.m_viewExtent[2] = 50;
        ws.doc.m_viewExtent[3] = 50;
    }
    Workspace ws;
    CMapOverviewCtrl control;
};

TEST_F(OverviewTest, ThemesInGreysFromTheBottomUpHiddenOnesToo) {
    // Four polygon themes side by side under a point and a line theme; the
    // first in the list is the top.
    ws.Add("towns", SHT_Point, {{{{60, 10}}}});
    ws.Add("roads", SHT_Polyline, {{{{0, 50}, {100, 50}}}});
    CTheme* top = ws.AddPolygons("a", {Box(0, 0, 25, 100)});
    ws.AddPolygons("b", {Box(25, 0, 50, 100)});
    ws.AddPolygons("c", {Box(50, 0, 75, 100)});
    ws.AddPolygons("d", {Box(75, 0, 100, 100)});
    top->m_Visible = false;
    control.Refresh(&ws.doc);
    const double away[4] = {1000, 1000, 1000, 1000};
    control.SetViewRect(away);
    const QImage image = control.Render();
    // The extent widens to the window's 2:1: x 0..200 over 200 pixels.
    EXPECT_DOUBLE_EQ(control.GetViewport().maxX, 200.0);
    EXPECT_DOUBLE_EQ(control.GetViewport().minY, 0.0);
    EXPECT_EQ(image.pixelColor(12, 20), QColor(160, 160, 160)) << "the top theme, hidden";
    EXPECT_EQ(image.pixelColor(37, 20), QColor(170, 170, 170));
    EXPECT_EQ(image.pixelColor(62, 20), QColor(180, 180, 180));
    EXPECT_EQ(image.pixelColor(87, 20), QColor(190, 190, 190)) << "the bottom theme";
    EXPECT_EQ(image.pixelColor(150, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(30, 50), QColor(130, 130, 130)) << "lines";
    EXPECT_EQ(image.pixelColor(60, 90), QColor(80, 80, 80)) << "points";
    // A view centred far outside: the cross-hair at the nearest borders.
    EXPECT_EQ(image.pixelColor(199, 20), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(120, 0), QColor(255, 0, 0));
    EXPECT_NE(image.pixelColor(198, 20), QColor(255, 0, 0));
}

TEST_F(OverviewTest, OnePolygonThemeIsGrey190AndAClickCentresTheMap) {
    ws.AddPolygons("a", {Box(0, 0, 100, 100)});
    control.Refresh(&ws.doc);
    control.SetViewRect(ws.doc.m_viewExtent);
    const QImage image = control.Render();
    EXPECT_EQ(image.pixelColor(60, 60), QColor(190, 190, 190));
    EXPECT_EQ(image.pixelColor(25, 60), QColor(255, 0, 0)) << "the view's centre, 25";
    EXPECT_EQ(image.pixelColor(60, 75), QColor(255, 0, 0));

    int extentChanges = 0;
    struct Listener {
        int* count;
        void OnUpdate(const void*, int code, std::intptr_t) {
            if (code == DUE_ExtentChanged)
                ++*count;
        }
    } listener{&extentChanges};
    ws.doc.m_updateEvent.AddHandler(&listener, &Listener::OnUpdate);
    control.show();
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(80, 40));
    ws.doc.m_updateEvent.RemoveHandler(&listener);
    EXPECT_EQ(extentChanges, 1);
    EXPECT_DOUBLE_EQ(ws.doc.m_viewExtent[0] + 25, 80.0);
    EXPECT_DOUBLE_EQ(ws.doc.m_viewExtent[1] + 25, 60.0);

    // Without a document a click does nothing.
    CMapOverviewCtrl empty;
    empty.resize(100, 100);
    empty.show();
    QTest::mouseClick(&empty, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(empty.Render().pixelColor(50, 50), QColor(Qt::white));
}

TEST(MapOverviewDialog, TheWindowExistsOnlyWhileShown) {
    Workspace ws;
    CMapOverviewDialog overview;
    EXPECT_FALSE(overview.HasWindow());
    overview.Create(&ws.doc, nullptr);
    overview.Show();
    EXPECT_TRUE(overview.HasWindow());
    EXPECT_TRUE(overview.IsVisible());
    ASSERT_NE(overview.GetControl(), nullptr);
    // The user closes it.
    overview.GetControl()->window()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(overview.HasWindow());
    EXPECT_EQ(overview.GetControl(), nullptr);
    overview.Refresh();
    const double extent[4] = {0, 0, 1, 1};
    overview.SetViewRect(extent);
}

} // namespace
