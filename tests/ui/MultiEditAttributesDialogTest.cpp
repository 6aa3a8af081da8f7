// The multi-edit dialog: which modes each column and theme kind offers, and
// what each mode writes into the selected shapes (in shape-index or
// selection order), refused values and the confirmation.

#include "ui/MultiEditAttributesDialog.h"

#include "core/AttributeField.h"
#include "framework/ScriptedUserInterface.h"
#include "settings/AppSettings.h"
#include "shapes/ShapeRecordBuilder.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include "ThemeFixtures.h"
#include "UiTestSupport.h"

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using corvale::CScriptedUserInterface;
using corvale::IDCANCEL;
using corvale::IDOK;

// Adds a one-part polyline (or polygon) through the points.
void AddLine(CTheme& theme, const std::vector<CShapePoint>& points, bool polygon) {
    std::vector<unsigned char> bytes(
        CShapeRecordBuilder::RecordSize(1, static_cast<std::uint32_t>(points.size())));
    CShapeRecordBuilder builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = static_cast<std::uint32_t>(points.size());
    builder.m_Record = bytes.data();
    polygon ? builder.BeginPolygon() : builder.BeginPolyline();
    for (const CShapePoint& p : points)
        builder.AddPoint(p.x, p.y);
    theme.AddShape(reinterpret_cast<CShapeRecord*>(bytes.data()), false, false, false);
}

void AddColumns(CTheme& theme, const std::vector<std::pair<std::string, int>>& columns) {
    for (const auto& [name, type] : columns) {
        CAttributeFieldInfo info;
        info.m_Name = name;
        info.m_Type = type;
        info.m_Length = 20;
        info.m_Decimals = type == FT_Double ? 3 : 0;
        theme.AddAttribute(info, nullptr, nullptr);
    }
}

// A native theme of the kind with the columns Text, Int, Real and Day.
void MakeTheme(CTheme& theme, std::uint32_t kind, int shapes) {
    theme.m_SourceType = ST_Native;
    theme.m_ShapeType = kind;
    theme.m_Editable = true;
    AddColumns(theme,
               {{"Text", FT_String}, {"Int", FT_Int}, {"Real", FT_Double}, {"Day", FT_Date}});
    for (int i = 0; i < shapes; ++i) {
        const double x = i;
        if (kind == SHT_Point)
            theme.AddPointAt(false, false, x + 0.25, 10.0 - x);
        else if (kind == SHT_Polyline)
            AddLine(theme, {{0, x}, {11.5, x}}, false);
        else
            AddLine(theme, {{0, x}, {5.75, x}, {0, x}}, true);
    }
}

void Select(CTheme& theme, const std::vector<int>& shapeIndexes) {
    for (int shapeIndex : shapeIndexes)
        theme.AddToSelection(shapeIndex, theme.GetShapePosition(shapeIndex), 1, 0xFF);
}

std::vector<std::string> Column(const CTheme& theme, int field, int count) {
    std::vector<std::string> values;
    for (int i = 0; i < count; ++i)
        values.push_back(theme.GetAttributeText(i, field));
    return values;
}

struct Listener {
    std::vector<int> codes;
    void OnUpdate(const void*, int code, std::intptr_t) { codes.push_back(code); }
};

constexpr int kText = 0;
constexpr int kInt = 1;
constexpr int kReal = 2;
constexpr int kDay = 3;

} // namespace

TEST(MultiEditAttributesDialog, OffersTheModesOfTheColumnAndTheThemeKind) {
    struct Case {
        std::uint32_t kind;
        int field;
        const char* type;
        std::vector<int> modes;
    };
    const Case cases[] = {
        {SHT_Point,
         kText,
         "FT_String",
         {MEM_FixedValue, MEM_X, MEM_Y, MEM_Wkt, MEM_ColourHash, MEM_CopyColumn}},
        {SHT_Point, kInt, "FT_Int", {MEM_FixedValue, MEM_X, MEM_Y, MEM_Increment, MEM_CopyColumn}},
        {SHT_Polyline, kReal, "FT_Double", {MEM_FixedValue, MEM_Length, MEM_CopyColumn}},
        {SHT_Polygon,
         kInt,
         "FT_Int",
         {MEM_FixedValue, MEM_Perimeter, MEM_Increment, MEM_CopyColumn}},
        {SHT_Polygon, kDay, "FT_Date", {MEM_FixedValue, MEM_Perimeter, MEM_CopyColumn}},
    };
    CCorvaleDoc doc;
    for (const Case& c : cases) {
        CTheme theme;
        MakeTheme(theme, c.kind, 1);
        CMultiEditAttributesDialog dialog(&theme, &doc);
        // The first column is chosen at first, with "Fixed value".
        EXPECT_EQ(Control<QComboBox>(&dialog, IDC_MULTIEDIT_COLUMN)->currentIndex(), 0);
        ASSERT_TRUE(dialog.SelectColumn(c.field));
        EXPECT_EQ(Control<QLineEdit>(&dialog, IDC_MULTIEDIT_TYPE)->text().toStdString(), c.type);
        EXPECT_EQ(dialog.GetModes(), c.modes) << c.kind << " " << c.field;
        EXPECT_EQ(Control<QComboBox>(&dialog, IDC_MULTIEDIT_MODE)->currentData().toInt(),
                  MEM_FixedValue);
    }
}

TEST(MultiEditAttributesDialog, CopyOffersOnlyCompatibleSourceColumns) {
    struct Case {
        int target;
        std::vector<int> sources;
    };
    const Case cases[] = {
        {kText, {kInt, kReal, kDay}},
        {kInt, {}},
        {kReal, {kInt}},
        {kDay, {}},
    };
    CCorvaleDoc doc;
    CTheme theme;
    MakeTheme(theme, SHT_Point, 1);
    for (const Case& c : cases) {
        CMultiEditAttributesDialog dialog(&theme, &doc);
        dialog.SelectColumn(c.target);
        dialog.SelectMode(MEM_CopyColumn);
        EXPECT_EQ(dialog.GetSourceColumns(), c.sources) << c.target;
    }
    // A single candidate is chosen at once.
    CMultiEditAttributesDialog dialog(&theme, &doc);
    dialog.SelectColumn(kReal);
    dialog.SelectMode(MEM_CopyColumn);
    EXPECT_EQ(Control<QComboBox>(&dialog, IDC_MULTIEDIT_SOURCE)->currentIndex(), 0);

    // No candidate: "No available source." and nothing written.
    CScriptedUserInterface ui;
    dialog.SelectColumn(kInt);
    dialog.SelectMode(MEM_CopyColumn);
    Select(theme, {0});
    EXPECT_FALSE(dialog.Apply());
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"No available source."}));
}

TEST(MultiEditAttributesDialog, IncrementNumbersInSelectionOrderAndKeepsTheStartValue) {
    CScriptedUserInterface ui;
    CCorvaleDoc doc;
    CTheme theme;
    MakeTheme(theme, SHT_Point, 4);
    // Selected in the order C, A, B; D is not selected.
    Select(theme, {2, 0, 1});
    CMultiEditAttributesDialog dialog(&theme, &doc);
    dialog.SelectColumn(kInt);
    dialog.SelectMode(MEM_Increment);
    auto* edit = Control<QLineEdit>(&dialog, IDC_MULTIEDIT_VALUE);
    EXPECT_EQ(edit->text().toStdString(), "1");
    edit->setText(QStringLiteral("10"));
    ui.messageAnswers.push_back(IDOK);
    ASSERT_TRUE(dialog.Apply());
    EXPECT_EQ(Column(theme, kInt, 4), (std::vector<std::string>{"11", "12", "10", ""}));
    EXPECT_EQ(dialog.m_StartValue, 10);
    EXPECT_EQ(ui.Messages(),
              (std::vector<std::string>{"Continuing will update attributes for 3 objects."}));

    // Choosing the mode again keeps a text of digits and replaces anything
    // else by the remembered start value.
    edit->setText(QStringLiteral("25"));
    dialog.SelectMode(MEM_FixedValue);
    dialog.SelectMode(MEM_Increment);
    EXPECT_EQ(edit->text().toStdString(), "25");
    dialog.SelectMode(MEM_FixedValue);
    edit->setText(QStringLiteral("x"));
    dialog.SelectMode(MEM_Increment);
    EXPECT_EQ(edit->text().toStdString(), "10");
    edit->clear();
    dialog.SelectMode(MEM_Increment);
    EXPECT_EQ(edit->text().toStdString(), "10");
}

TEST(MultiEditAttributesDialog, MeasuresAreRoundedIntoIntegerColumns) {
    CScriptedUserInterface ui;
    CCorvaleDoc doc;
    const int precision = CAppSettings::GetInstance()->m_DataViewPrecision;
    struct Case {
        std::uint32_t kind;
        int mode;
        int field;
        std::string expected;
    };
    const Case cases[] = {
        // A line 11.5 long, half-way rounded up.
        {SHT_Polyline, MEM_Length, kInt, "12"},
        {SHT_Polyline, MEM_Length, kReal, FormatDecimal(precision, 11.5)},
        {SHT_Polyline, MEM_Length, kText, FormatDecimal(precision, 11.5)},
        // A flat ring there and back: 11.5 around.
        {SHT_Polygon, MEM_Perimeter, kInt, "12"},
        // The point of shape 1 is at (1.25, 9).
        {SHT_Point, MEM_X, kInt, "1"},
        {SHT_Point, MEM_Y, kReal, FormatDecimal(precision, 9.0)},
    };
    for (const Case& c : cases) {
        CTheme theme;
        MakeTheme(theme, c.kind, 2);
        Select(theme, {1});
        CMultiEditAttributesDialog dialog(&theme, &doc);
        dialog.SelectColumn(c.field);
        ASSERT_TRUE(dialog.SelectMode(c.mode));
        ui.messageAnswers.push_back(IDOK);
        ASSERT_TRUE(dialog.Apply());
        EXPECT_EQ(theme.GetAttributeText(1, c.field), c.expected) << c.mode << " " << c.field;
        EXPECT_EQ(theme.GetAttributeText(0, c.field), "");
    }
    // A measure into a date column is refused.
    CTheme theme;
    MakeTheme(theme, SHT_Polyline, 1);
    Select(theme, {0});
    CMultiEditAttributesDialog dialog(&theme, &doc);
    dialog.SelectColumn(kDay);
    dialog.SelectMode(MEM_Length);
    ui.shown.clear();
    EXPECT_FALSE(dialog.Apply());
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Type mismatch."}));
}

TEST(MultiEditAttributesDialog, ColourThemeColoursCycleOverTheSelection) {
    CScriptedUserInterface ui;
    CCorvaleDoc doc;
    CTheme theme;
    MakeTheme(theme, SHT_Point, 5);
    Select(theme, {4, 3, 2, 1, 0});
    CMultiEditAttributesDialog dialog(&theme, &doc);
    dialog.SetColorThemes({CColorTheme("Two", {0x0000FF, 0x80FF00})});
    dialog.SelectColumn(kText);
    dialog.SelectMode(MEM_ColourHash);
    ui.messageAnswers.push_back(IDOK);
    ASSERT_TRUE(dialog.Apply());
    // Red in the low byte: the first colour is #FF0000, the second #00FF80.
    EXPECT_EQ(Column(theme, kText, 5),
              (std::vector<std::string>{"#FF0000", "#00FF80", "#FF0000", "#00FF80", "#FF0000"}));
}

TEST(MultiEditAttributesDialog, FixedValuesAreCheckedAgainstTheColumnType) {
    struct Case {
        int field;
        const char* value;
        bool accepted;
    };
    const Case cases[] = {
        {kInt, "abc", false},  {kInt, "42", true},        {kReal, "1.5", true},
        {kReal, "1,5", false}, {kText, "any text", true}, {kInt, "", true},
    };
    CScriptedUserInterface ui;
    CCorvaleDoc doc;
    for (const Case& c : cases) {
        CTheme theme;
        MakeTheme(theme, SHT_Point, 2);
        theme.SetAttributeText(0, c.field, "7", false);
        theme.SetAttributeText(1, c.field, "8", false);
        Select(theme, {0, 1});
        CMultiEditAttributesDialog dialog(&theme, &doc);
        dialog.SelectColumn(c.field);
        Control<QLineEdit>(&dialog, IDC_MULTIEDIT_VALUE)->setText(QString::fromUtf8(c.value));
        ui.shown.clear();
        ui.messageAnswers.assign({IDOK});
        EXPECT_EQ(dialog.Apply(), c.accepted) << c.value;
        const std::string expected = c.accepted ? c.value : "7";
        EXPECT_EQ(theme.GetAttributeText(0, c.field), expected);
        if (!c.accepted) {
            EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Type mismatch."}));
        }
    }
}

TEST(MultiEditAttributesDialog, CancelledConfirmationWritesNothingAndApplyMarksTheDocument) {
    CScriptedUserInterface ui;
    CCorvaleDoc doc;
    Listener listener;
    doc.m_updateEvent.AddHandler(&listener, &Listener::OnUpdate);
    CTheme theme;
    MakeTheme(theme, SHT_Point, 2);
    Select(theme, {0});
    CMultiEditAttributesDialog dialog(&theme, &doc);
    dialog.SelectColumn(kText);
    Control<QLineEdit>(&dialog, IDC_MULTIEDIT_VALUE)->setText(QStringLiteral("new"));
    ui.messageAnswers.push_back(IDCANCEL);
    EXPECT_FALSE(dialog.Apply());
    EXPECT_EQ(theme.GetAttributeText(0, kText), "");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(listener.codes.empty());

    ui.messageAnswers.push_back(IDOK);
    EXPECT_TRUE(dialog.Apply());
    EXPECT_EQ(theme.GetAttributeText(0, kText), "new");
    EXPECT_EQ(theme.GetAttributeText(1, kText), "");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(listener.codes, (std::vector<int>{DUE_ThemeDataChanged}));
    doc.m_updateEvent.RemoveHandler(&listener);

    // Without a document nothing is asked nor written.
    CMultiEditAttributesDialog orphan(&theme, nullptr);
    ui.shown.clear();
    EXPECT_FALSE(orphan.Apply());
    EXPECT_TRUE(ui.shown.empty());
}

TEST(MultiEditAttributesDialog, WktAndCopyFollowTheSelectionOrder) {
    CScriptedUserInterface ui;
    CCorvaleDoc doc;
    CTheme theme;
    MakeTheme(theme, SHT_Point, 3);
    theme.SetAttributeText(0, kInt, "5", false);
    theme.SetAttributeText(2, kInt, "9", false);
    Select(theme, {2, 0});
    CMultiEditAttributesDialog dialog(&theme, &doc);
    dialog.SelectColumn(kText);
    dialog.SelectMode(MEM_Wkt);
    Control<QLineEdit>(&dialog, IDC_MULTIEDIT_VALUE)->setText(QStringLiteral("1"));
    ui.messageAnswers.push_back(IDOK);
    ASSERT_TRUE(dialog.Apply());
    EXPECT_EQ(dialog.m_Decimals, 1);
    EXPECT_EQ(Column(theme, kText, 3),
              (std::vector<std::string>{"POINT(0.2 10.0)", "", "POINT(2.2 8.0)"}));

    dialog.SelectMode(MEM_CopyColumn);
    auto* sources = Control<QComboBox>(&dialog, IDC_MULTIEDIT_SOURCE);
    sources->setCurrentIndex(sources->findData(kInt));
    ui.messageAnswers.push_back(IDOK);
    ASSERT_TRUE(dialog.Apply());
    EXPECT_EQ(Column(theme, kText, 3), (std::vector<std::string>{"5", "", "9"}));
}

TEST(MultiEditAttributesDialog, RunsModallyAndWritesOnOk) {
    CScriptedUserInterface ui;
    CCorvaleDoc doc;
    CTheme theme;
    MakeTheme(theme, SHT_Point, 2);
    Select(theme, {1});
    WhenModal([](QWidget* dialog) {
        Control<QLineEdit>(dialog, IDC_MULTIEDIT_VALUE)->setText(QStringLiteral("ok"));
        static_cast<QDialog*>(dialog)->accept();
    });
    ui.messageAnswers.push_back(IDOK);
    EXPECT_TRUE(RunMultiEditAttributesDialog(&theme, &doc, nullptr));
    EXPECT_EQ(theme.GetAttributeText(1, kText), "ok");
    // A refused value keeps the dialog open; Cancel then leaves.
    WhenModal([](QWidget* dialog) {
        Control<QComboBox>(dialog, IDC_MULTIEDIT_COLUMN)->setCurrentIndex(kInt);
        Control<QLineEdit>(dialog, IDC_MULTIEDIT_VALUE)->setText(QStringLiteral("abc"));
        static_cast<QDialog*>(dialog)->accept();
        EXPECT_TRUE(dialog->isVisible());
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_FALSE(RunMultiEditAttributesDialog(&theme, &doc, nullptr));
    EXPECT_EQ(theme.GetAttributeText(1, kInt), "");
}
