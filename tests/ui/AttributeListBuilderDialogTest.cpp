// The attribute list builder: placeholder lists per theme kind, template
// expansion (index, columns, counter, coordinates, query prompt), the runs
// over the theme and the selection, and the template kept per theme.

#include "ui/AttributeListBuilderDialog.h"

#include "core/AttributeField.h"
#include "framework/ScriptedUserInterface.h"
#include "shapes/ShapeRecordBuilder.h"
#include "ui/SmallDialogs.h"

#include "TempDir.h"
#include "ThemeFixtures.h"
#include "UiTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using corvale::CScriptedUserInterface;
using corvale::IDCANCEL;
using corvale::IDOK;

QPushButton* Button(QWidget* dialog, int id) {
    return Control<QPushButton>(dialog, id);
}

void MakePoints(CTheme& theme, int count) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({std::string(1, static_cast<char>('a' + i % 26)), std::to_string(i * 10)});
    // Point i stands at (i, 0).
    MakeNativeTheme(theme, {{"NAME", FT_String}, {"VALUE", FT_Int}}, rows);
}

void MakeLines(CTheme& theme, int count) {
    theme.m_SourceType = ST_Native;
    theme.m_ShapeType = SHT_Polyline;
    theme.m_Editable = true;
    CAttributeFieldInfo info;
    info.m_Name = "NAME";
    info.m_Type = FT_String;
    info.m_Length = 10;
    theme.AddAttribute(info, nullptr, nullptr);
    for (int i = 0; i < count; ++i) {
        std::vector<unsigned char> bytes(CShapeRecordBuilder::RecordSize(1, 2));
        CShapeRecordBuilder builder;
        builder.m_PartCount = 1;
        builder.m_PointCount = 2;
        builder.m_Record = bytes.data();
        builder.BeginPolyline();
        builder.AddPoint(0, i);
        builder.AddPoint(1, i);
        theme.AddShape(reinterpret_cast<CShapeRecord*>(bytes.data()), false, false, false);
        theme.SetAttributeText(i, 0, "l" + std::to_string(i), false);
    }
}

std::vector<std::string> Items(QWidget* dialog) {
    std::vector<std::string> items;
    auto* list = Control<QListWidget>(dialog, IDC_LISTBUILDER_ATTRIBUTES);
    for (int i = 0; i < list->count(); ++i)
        items.push_back(list->item(i)->text().toStdString());
    return items;
}

// Runs over the whole theme, answering OK to every question.
void RunAll(CAttributeListBuilderDialog& dialog, CScriptedUserInterface& ui,
            int buttonId = IDC_LISTBUILDER_RUN_ALL) {
    ui.messageAnswers.assign({IDOK, IDOK, IDOK});
    QTest::mouseClick(Button(&dialog, buttonId), Qt::LeftButton);
}

} // namespace

TEST(AttributeListBuilderDialog, ListsThePlaceholdersOfTheThemeKind) {
    CTheme points;
    MakePoints(points, 2);
    CTheme lines;
    MakeLines(lines, 1);
    CAttributeListBuilderDialog dialog;
    EXPECT_FALSE(Button(&dialog, IDC_LISTBUILDER_RUN_ALL)->isEnabled());
    dialog.SetTheme(&points);
    EXPECT_EQ(Items(&dialog), (std::vector<std::string>{"$LONGITUDE", "$LATITUDE", "$INDEX",
                                                        "$QUERY", "$COUNTER", "NAME", "VALUE"}));
    EXPECT_TRUE(Button(&dialog, IDC_LISTBUILDER_RUN_ALL)->isEnabled());
    EXPECT_TRUE(Button(&dialog, IDC_LISTBUILDER_RUN_SELECTED)->isEnabled());
    dialog.SetTheme(&lines);
    EXPECT_EQ(Items(&dialog), (std::vector<std::string>{"$INDEX", "$QUERY", "$COUNTER", "NAME"}));
    dialog.SetTheme(nullptr);
    EXPECT_TRUE(Items(&dialog).empty());
    EXPECT_FALSE(Button(&dialog, IDC_LISTBUILDER_RUN_SELECTED)->isEnabled());

    // "Add" inserts the chosen name in brackets at the caret.
    dialog.SetTheme(&points);
    dialog.show();
    EXPECT_FALSE(Button(&dialog, IDC_LISTBUILDER_ADD)->isEnabled());
    dialog.SetTemplate(QStringLiteral("x"));
    Control<QPlainTextEdit>(&dialog, IDC_LISTBUILDER_TEMPLATE)->moveCursor(QTextCursor::End);
    Control<QListWidget>(&dialog, IDC_LISTBUILDER_ATTRIBUTES)->setCurrentRow(5);
    QTest::mouseClick(Button(&dialog, IDC_LISTBUILDER_ADD), Qt::LeftButton);
    EXPECT_EQ(dialog.GetTemplate().toStdString(), "x<NAME>");
}

// The counter's arrows step the edit beside them and show no number of
// their own, which their narrow box could only show cut.
TEST(AttributeListBuilderDialog, TheCounterArrowsStepTheEditAndShowNoText) {
    CAttributeListBuilderDialog dialog;
    auto* spin = dialog.findChild<QSpinBox*>(QString::number(IDC_LISTBUILDER_COUNTER_SPIN));
    ASSERT_NE(spin, nullptr);
    dialog.SetCounter(QStringLiteral("41"));
    spin->stepUp();
    EXPECT_EQ(dialog.GetCounter().toStdString(), "42");
    spin->stepDown();
    spin->stepDown();
    EXPECT_EQ(dialog.GetCounter().toStdString(), "40");
    EXPECT_TRUE(spin->text().isEmpty());
}

TEST(AttributeListBuilderDialog, RunsExpandTheTemplateOverTheShapes) {
    struct Case {
        const char* name;
        bool lines;
        const char* templateText;
        const char* counter;
        std::string result;
        const char* counterAfter;
    };
    const Case cases[] = {
        // Line breaks belong to the template: none here, none in the result.
        {"index and column", false, "<$INDEX>;<NAME>", "0", "0;a1;b2;c", "0"},
        {"counter", false, "<$COUNTER> ", "7", "7 8 9 ", "10"},
        {"empty counter counts from 0", false, "<$COUNTER>,", "", "0,1,2,", "3"},
        {"coordinates", false, "<$LONGITUDE>/<$LATITUDE>\n", "0",
         "0.000000/0.000000\n1.000000/0.000000\n2.000000/0.000000\n", "0"},
        // A polyline has no coordinates to put in.
        {"polyline longitude", true, "<$LONGITUDE>:<NAME>|", "0",
         "<$LONGITUDE>:l0|<$LONGITUDE>:l1|<$LONGITUDE>:l2|", "0"},
        {"unknown placeholder", false, "<OTHER><VALUE>.", "0", "<OTHER>0.<OTHER>10.<OTHER>20.",
         "0"},
    };
    for (const Case& c : cases) {
        CScriptedUserInterface ui;
        CTheme theme;
        c.lines ? MakeLines(theme, 3) : MakePoints(theme, 3);
        CAttributeListBuilderDialog dialog;
        dialog.SetTheme(&theme);
        dialog.SetTemplate(QString::fromUtf8(c.templateText));
        dialog.SetCounter(QString::fromUtf8(c.counter));
        RunAll(dialog, ui);
        EXPECT_EQ(dialog.GetResult().toStdString(), c.result) << c.name;
        EXPECT_EQ(dialog.GetCounter().toStdString(), c.counterAfter) << c.name;
        ASSERT_EQ(ui.shown.size(), 2u) << c.name;
        EXPECT_EQ(ui.shown[0].text,
                  "This will run the template 3 times.\nDo you want to continue?");
        EXPECT_EQ(ui.shown[1].icon, corvale::MessageIcon::Information);
    }
}

TEST(AttributeListBuilderDialog, SelectionRunsInShapeIndexOrderAndReportsTheLines) {
    CScriptedUserInterface ui;
    CTheme theme;
    MakePoints(theme, 4);
    for (int shapeIndex : {3, 0, 2})
        theme.AddToSelection(shapeIndex, shapeIndex, 3, 0xFF);
    CAttributeListBuilderDialog dialog;
    dialog.SetTheme(&theme);
    dialog.SetTemplate(QStringLiteral("<$INDEX> <NAME>\n"));
    RunAll(dialog, ui, IDC_LISTBUILDER_RUN_SELECTED);
    EXPECT_EQ(dialog.GetResult().toStdString(), "0 a\n2 c\n3 d\n");
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "This will run the template 3 times.\nDo you want to continue?");
    EXPECT_EQ(ui.shown[1].text, "3 lines added");

    // Cancelling the question adds nothing.
    ui.shown.clear();
    ui.messageAnswers.assign({IDCANCEL});
    QTest::mouseClick(Button(&dialog, IDC_LISTBUILDER_RUN_SELECTED), Qt::LeftButton);
    EXPECT_EQ(dialog.GetResult().toStdString(), "0 a\n2 c\n3 d\n");
    EXPECT_EQ(ui.shown.size(), 1u);
    QTest::mouseClick(Button(&dialog, IDC_LISTBUILDER_CLEAR), Qt::LeftButton);
    EXPECT_TRUE(dialog.GetResult().isEmpty());
}

TEST(AttributeListBuilderDialog, QueryIsAskedForMapShapesButNeverInRuns) {
    CScriptedUserInterface ui;
    CTheme theme;
    MakePoints(theme, 2);
    CAttributeListBuilderDialog dialog;
    dialog.SetTheme(&theme);
    dialog.SetTemplate(QStringLiteral("<NAME>=<$QUERY>;"));

    // A run warns and leaves the placeholder as it is.
    ui.messageAnswers.assign({IDOK, IDOK, IDOK});
    QTest::mouseClick(Button(&dialog, IDC_LISTBUILDER_RUN_ALL), Qt::LeftButton);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[1].text, "The template contains <$QUERY>.\nThis cannot be translated for "
                                "multiple shapes.\n\nProceed anyway?");
    EXPECT_EQ(dialog.GetResult().toStdString(), "a=<$QUERY>;b=<$QUERY>;");
    dialog.OnClear();

    // A shape selected in the map asks, preset with the last answer.
    QString preset;
    WhenModal([&](QWidget* input) {
        auto* edit = input->findChild<QLineEdit*>(QString::number(IDC_INPUT_VALUE));
        preset = edit->text();
        edit->setText(QStringLiteral("first"));
        static_cast<QDialog*>(input)->accept();
    });
    dialog.AddShape(theme.m_Points[1]);
    EXPECT_EQ(dialog.GetResult().toStdString(), "b=first;");
    EXPECT_TRUE(preset.isEmpty());
    WhenModal([&](QWidget* input) {
        preset = input->findChild<QLineEdit*>(QString::number(IDC_INPUT_VALUE))->text();
        static_cast<QDialog*>(input)->reject();
    });
    // Cancelled: nothing is added.
    dialog.AddShape(theme.m_Points[0]);
    EXPECT_EQ(preset.toStdString(), "first");
    EXPECT_EQ(dialog.GetResult().toStdString(), "b=first;");
    // Without a theme or a record nothing happens.
    dialog.AddShape(nullptr);
    dialog.SetTheme(nullptr);
    dialog.AddShape(theme.m_Points[0]);
    EXPECT_EQ(dialog.GetResult().toStdString(), "b=first;");
}

TEST(AttributeListBuilderDialog, LongThemeRunsShowTheTextOnlyAtTheEnd) {
    struct Case {
        int button;
        int shows;
    };
    // Selection runs show the text at 0, 75, ..., 525, then the whole.
    const Case cases[] = {{IDC_LISTBUILDER_RUN_ALL, 1}, {IDC_LISTBUILDER_RUN_SELECTED, 9}};
    for (const Case& c : cases) {
        CScriptedUserInterface ui;
        CTheme theme;
        MakePoints(theme, 600);
        theme.SelectAll(0xFF);
        CAttributeListBuilderDialog dialog;
        dialog.SetTheme(&theme);
        dialog.SetTemplate(QStringLiteral("<$INDEX>\n"));
        QSignalSpy changes(Control<QPlainTextEdit>(&dialog, IDC_LISTBUILDER_RESULT),
                           &QPlainTextEdit::textChanged);
        RunAll(dialog, ui, c.button);
        EXPECT_EQ(changes.count(), c.shows) << c.button;
        EXPECT_EQ(dialog.GetResult().count(QLatin1Char('\n')), 600);
        EXPECT_EQ(ui.Messages().back(), "600 lines added");
    }
}

TEST(AttributeListBuilderDialog, ThemesKeepTheirOwnTemplates) {
    CTheme first;
    MakePoints(first, 1);
    CTheme second;
    MakeLines(second, 1);
    second.m_ListTemplate = "second's";
    CAttributeListBuilderDialog dialog;
    dialog.SetTheme(&first);
    dialog.SetTemplate(QStringLiteral("first's"));
    // Without the option the template stays what it is.
    dialog.SetTheme(&second);
    EXPECT_EQ(first.m_ListTemplate, "first's");
    EXPECT_EQ(dialog.GetTemplate().toStdString(), "first's");
    Control<QCheckBox>(&dialog, IDC_LISTBUILDER_THEME_TEMPLATES)->setChecked(true);
    dialog.SetTheme(&first);
    EXPECT_EQ(second.m_ListTemplate, "first's");
    EXPECT_EQ(dialog.GetTemplate().toStdString(), "first's");
    second.m_ListTemplate = "second's";
    dialog.SetTheme(&second);
    EXPECT_EQ(dialog.GetTemplate().toStdString(), "second's");
}

TEST(AttributeListBuilderDialog, DiscoveryStateBelongsToEachDialog) {
    // Two workspaces' builders: a run in one must not change which columns
    // the other puts in.
    CTheme a;
    MakePoints(a, 2);
    CTheme b;
    MakeLines(b, 2);
    CAttributeListBuilderDialog first;
    first.SetTheme(&a);
    first.SetTemplate(QStringLiteral("<$INDEX>:<VALUE>;"));
    CAttributeListBuilderDialog second;
    second.SetTheme(&b);
    second.SetTemplate(QStringLiteral("<NAME>;"));
    std::string out;
    ASSERT_TRUE(first.ExpandTemplate(1, true, false, &out));
    ASSERT_TRUE(second.ExpandTemplate(0, true, false, &out));
    ASSERT_TRUE(first.ExpandTemplate(0, false, false, &out));
    EXPECT_EQ(out, "1:10;l0;0:0;");
    // And "<$INDEX>" is put in only where that dialog's template used it.
    std::string other;
    second.SetTemplate(QStringLiteral("<$INDEX>"));
    ASSERT_TRUE(second.ExpandTemplate(1, false, false, &other));
    EXPECT_EQ(other, "<$INDEX>");
}

TEST(AttributeListBuilderDialog, TemplatesAndResultsGoToFilesUnchanged) {
    CScriptedUserInterface ui;
    TempDir folder;
    const std::string templatePath = folder.file("template.txt");
    const std::string resultPath = folder.file("result.txt");
    {
        std::ofstream out(templatePath, std::ios::binary);
        out << "<NAME>\r\n<VALUE>\n";
    }
    CAttributeListBuilderDialog dialog;
    ui.openAnswers.push_back({templatePath});
    dialog.OnLoadTemplate();
    EXPECT_EQ(ui.openRequests.back().filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    ui.saveAnswers.push_back(folder.file("copy.txt"));
    dialog.OnSaveTemplate();
    std::ifstream copy(folder.file("copy.txt"), std::ios::binary);
    std::stringstream copied;
    copied << copy.rdbuf();
    EXPECT_EQ(copied.str(), dialog.GetTemplate().toStdString());

    CTheme theme;
    MakePoints(theme, 2);
    dialog.SetTheme(&theme);
    dialog.SetTemplate(QStringLiteral("<NAME>\n"));
    ui.messageAnswers.assign({IDOK, IDOK});
    dialog.OnRunForAllShapes();
    ui.saveAnswers.push_back(resultPath);
    dialog.OnSaveResult();
    std::ifstream result(resultPath, std::ios::binary);
    std::stringstream written;
    written << result.rdbuf();
    EXPECT_EQ(written.str(), "a\nb\n");
    // A cancelled choice writes nothing.
    ui.saveAnswers.push_back("");
    dialog.OnSaveResult();
}
