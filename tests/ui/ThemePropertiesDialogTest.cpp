// The theme properties dialog and its pages: the tab set of each kind of
// theme, the remembered tab, what OK writes into the theme and when it
// rebuilds the styles, and the general, polygon, info-tip, comment, image,
// label and font pages.

#include "ui/ThemePropertiesDialog.h"

#include "core/Theme.h"
#include "framework/ScriptedUserInterface.h"
#include "ui/AdvancedPropertiesDialog.h"
#include "ui/ArcPropertiesDialog.h"
#include "ui/FontPropertiesDialog.h"
#include "ui/LabelStyleDialog.h"
#include "ui/SymbolDialog.h"
#include "ui/controls/BrushComboBox.h"
#include "ui/controls/ColourPickerXP.h"

#include "TempDir.h"
#include "ThemeFixtures.h"
#include "UiTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cfloat>
#include <fstream>
#include <memory>

using corvale::CScriptedUserInterface;

namespace {

// A theme opened from a copy of a shape file fixture, with gdal.dbf as its
// table (NAME string, COUNT integer, AREA double, DAY, FLAG).
struct ShapeTheme {
    TempDir folder;
    CTheme theme;
    explicit ShapeTheme(const std::string& name) {
        std::filesystem::copy_file(kTestData + "/shapes/" + name + ".shp", folder.file(name + ".shp"));
        std::filesystem::copy_file(kTestData + "/shapes/" + name + ".shx", folder.file(name + ".shx"));
        std::filesystem::copy_file(kTestData + "/dbf/gdal.dbf", folder.file(name + ".dbf"));
        opened = theme.OpenShapeFile(folder.file(name + ".shp"));
        theme.m_Name = name;
    }
    bool opened = false;
};

QStringList TabTitles(const CThemePropertiesDialog& dialog) {
    QStringList titles;
    for (int i = 0; i < dialog.GetTabControl()->count(); ++i)
        titles << dialog.GetTabControl()->tabText(i);
    return titles;
}

const QStringList kVectorTabs{"General", "Style", "InfoTip", "Font", "Label", "Advanced Style", "Comment"};

struct TabReset {
    TabReset() { g_LastThemePropertiesTab = 0; }
    ~TabReset() { g_LastThemePropertiesTab = 0; }
};

} // namespace

// ---------------------------------------------------------------------------
// The dialog
// ---------------------------------------------------------------------------

TEST(ThemePropertiesDialog, TabSetsAndStylePagePerKindOfTheme) {
    TabReset reset;
    struct Case {
        std::uint32_t type;
        QStringList tabs;
        // The style page's resource id; 0 for an empty page.
        int stylePage;
        int commentTab;
    };
    const Case cases[] = {
        {SHT_Point, kVectorTabs, CSymbolDialog::IDD, 6},
        {SHT_PointZ, kVectorTabs, CSymbolDialog::IDD, 6},
        {SHT_Polyline, kVectorTabs, CArcPropertiesDialog::IDD, 6},
        {SHT_PolylineZ, kVectorTabs, CArcPropertiesDialog::IDD, 6},
        {SHT_Polygon, kVectorTabs, CPolygonPropertiesDialog::IDD, 6},
        {SHT_PolygonZ, kVectorTabs, CPolygonPropertiesDialog::IDD, 6},
        {SHT_MultiPoint, kVectorTabs, 0, 6},
        {SHT_Image, {"General", "Style", "InfoTip", "Comment"}, CRasterLayerPropertiesDialog::IDD, 3},
    };
    for (const Case& c : cases) {
        CTheme theme;
        theme.m_ShapeType = c.type;
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &theme;
        dialog.InitDialog();
        EXPECT_EQ(TabTitles(dialog), c.tabs) << c.type;
        EXPECT_EQ(dialog.GetCommentTab(), c.commentTab) << c.type;
        QWidget* style = dialog.GetTabControl()->widget(CThemePropertiesDialog::TAB_Style);
        ASSERT_NE(style, nullptr);
        EXPECT_EQ(style->objectName().toInt(), c.stylePage) << c.type;
        EXPECT_EQ(dialog.GetTabControl()->widget(c.commentTab), dialog.GetCommentPage()) << c.type;
        const bool image = c.type == SHT_Image;
        EXPECT_EQ(dialog.GetAdvancedPage() == nullptr, image) << c.type;
        EXPECT_EQ(dialog.GetFontPage() == nullptr, image) << c.type;
        EXPECT_EQ(dialog.GetLabelPage() == nullptr, image) << c.type;
    }
}

TEST(ThemePropertiesDialog, WithoutThemeTheDialogIsEmpty) {
    CThemePropertiesDialog dialog;
    dialog.InitDialog();
    EXPECT_EQ(dialog.GetTabControl()->count(), 0);
    EXPECT_TRUE(dialog.ApplyToTheme());
}

TEST(ThemePropertiesDialog, ReopensOnTheTabLastClosedAlsoAfterCancel) {
    TabReset reset;
    CTheme points;
    points.m_ShapeType = SHT_Point;
    CTheme image;
    image.m_ShapeType = SHT_Image;
    {
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &points;
        dialog.InitDialog();
        EXPECT_EQ(dialog.GetTabControl()->currentIndex(), 0);
        EXPECT_EQ(dialog.GetHelpContext(), 0x20485);
        dialog.GetTabControl()->setCurrentIndex(CThemePropertiesDialog::TAB_Advanced);
        EXPECT_EQ(dialog.GetHelpContext(), 0x204C8);
        points.m_Name = "unchanged";
        dialog.reject();
    }
    EXPECT_EQ(g_LastThemePropertiesTab, CThemePropertiesDialog::TAB_Advanced);
    EXPECT_EQ(points.m_Name, "unchanged");
    {
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &points;
        dialog.InitDialog();
        EXPECT_EQ(dialog.GetTabControl()->currentIndex(), CThemePropertiesDialog::TAB_Advanced);
        dialog.GetTabControl()->setCurrentIndex(CThemePropertiesDialog::TAB_Label);
        dialog.accept();
    }
    EXPECT_EQ(g_LastThemePropertiesTab, CThemePropertiesDialog::TAB_Label);
    {
        // An image theme has no fifth tab: it opens on the first.
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &image;
        dialog.InitDialog();
        EXPECT_EQ(dialog.GetTabControl()->currentIndex(), 0);
        dialog.reject();
    }
    EXPECT_EQ(g_LastThemePropertiesTab, 0);
}

TEST(ThemePropertiesDialog, HelpContextFollowsTheShownPage) {
    TabReset reset;
    struct Case {
        std::uint32_t type;
        int tab;
        int context;
    };
    const Case cases[] = {
        {SHT_Point, 1, 0x2044F},   {SHT_Polyline, 1, 0x2045F}, {SHT_Polygon, 1, 0x20483},
        {SHT_Image, 1, 0x204C0},   {SHT_Point, 2, 0x20480},    {SHT_Point, 3, 0x204BC},
        {SHT_Point, 4, 0x204D1},   {SHT_Point, 6, 0x204A1},    {SHT_Image, 3, 0x204A1},
    };
    for (const Case& c : cases) {
        CTheme theme;
        theme.m_ShapeType = c.type;
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &theme;
        dialog.InitDialog();
        dialog.GetTabControl()->setCurrentIndex(c.tab);
        EXPECT_EQ(dialog.GetHelpContext(), c.context) << c.type << " tab " << c.tab;
    }
}

TEST(ThemePropertiesDialog, OkWritesEveryMemberOfAPolygonTheme) {
    TabReset reset;
    ShapeTheme fixture("polygons");
    ASSERT_TRUE(fixture.opened);
    CTheme& theme = fixture.theme;
    theme.m_LabelAlignment = 3;
    CThemePropertiesDialog dialog;
    dialog.m_Theme = &theme;
    dialog.InitDialog();

    CGeneralThemePropertiesDialog* general = dialog.GetGeneralPage();
    Control<QLineEdit>(general, CGeneralThemePropertiesDialog::IDC_Name)->setText("Parcels");
    Control<QCheckBox>(general, CGeneralThemePropertiesDialog::IDC_AdvancedVisibility)->setChecked(true);
    Control<QLineEdit>(general, CGeneralThemePropertiesDialog::IDC_MaxUPP)->setText("250.5");
    Control<QLineEdit>(general, CGeneralThemePropertiesDialog::IDC_MinUPP)->setText("0.25");
    Control<QPlainTextEdit>(dialog.GetInfoTipPage(), CInfoTipDefinitionDialog::IDC_Template)->setPlainText("<NAME>");
    Control<QPlainTextEdit>(dialog.GetCommentPage(), CThemeCommentDialog::IDC_Comment)->setPlainText("from survey");
    CPolygonPropertiesDialog* polygon = dialog.GetPolygonPage();
    Control<CColourPickerXP>(polygon, CPolygonPropertiesDialog::IDC_FillColour)
        ->OnPopupMessage(PCM_ColourAccepted, 0x123456);
    auto* pattern = Control<CBrushComboBox>(polygon, CPolygonPropertiesDialog::IDC_Pattern);
    pattern->setCurrentIndex(pattern->findData(4));
    emit pattern->activated(pattern->currentIndex());
    CLabelStyleDialog* label = dialog.GetLabelPage();
    Control<QCheckBox>(label, CLabelStyleDialog::IDC_ShowLabels)->setChecked(true);
    Control<QCheckBox>(label, CLabelStyleDialog::IDC_Frame)->setChecked(true);
    Control<QCheckBox>(label, CLabelStyleDialog::IDC_Duplicates)->setChecked(false);
    Control<QCheckBox>(label, CLabelStyleDialog::IDC_Force)->setChecked(true);
    Control<QLineEdit>(label, CLabelStyleDialog::IDC_Spacing)->setText("7");
    Control<CColourPickerXP>(label, CLabelStyleDialog::IDC_FrameColour)->OnPopupMessage(PCM_ColourAccepted, 0x0000FF);
    dialog.GetFontPage()->m_TextColour = 0x00FF00;
    const LogFont font = dialog.GetFontPage()->GetLogFont();

    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(theme.m_Name, "Parcels");
    EXPECT_TRUE(theme.m_Visible);
    EXPECT_TRUE(theme.m_ScaleDependent);
    EXPECT_EQ(theme.m_MaxScale, 250.5);
    EXPECT_EQ(theme.m_MinScale, 0.25);
    EXPECT_EQ(theme.m_InfoTipTemplate, "<NAME>");
    EXPECT_EQ(theme.m_Comment, "from survey");
    EXPECT_EQ(theme.m_Color, 0x123456u);
    EXPECT_EQ(theme.m_FillPattern, 4);
    EXPECT_TRUE(theme.m_ShowLabels);
    EXPECT_TRUE(theme.m_LabelFrame);
    EXPECT_FALSE(theme.m_LabelDuplicates);
    EXPECT_TRUE(theme.m_LabelForce);
    EXPECT_EQ(theme.m_LabelSpacing, 7);
    EXPECT_EQ(theme.m_LabelFrameColor, 0x0000FFu);
    EXPECT_EQ(theme.m_LabelColor, 0x00FF00u);
    EXPECT_EQ(theme.m_LabelFont, font);
    // A polygon's label stays centred whatever the theme held.
    EXPECT_EQ(theme.m_LabelAlignment, 0);
    // The default style took the new colour at once.
    ASSERT_FALSE(theme.m_Styles.empty());
}

TEST(ThemePropertiesDialog, OkWritesThePointAndLineStyles) {
    TabReset reset;
    {
        ShapeTheme fixture("points");
        ASSERT_TRUE(fixture.opened);
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &fixture.theme;
        dialog.InitDialog();
        dialog.GetSymbolPage()->m_Colour = 0x0A0B0C;
        dialog.GetSymbolPage()->m_Symbol = 7;
        dialog.GetSymbolPage()->m_PointsAsPolyline = 1;
        dialog.GetSymbolPage()->m_Width = 3;
        ASSERT_TRUE(dialog.ApplyToTheme());
        EXPECT_EQ(fixture.theme.m_Color, 0x0A0B0Cu);
        EXPECT_EQ(fixture.theme.m_PointSymbol, 7);
        EXPECT_TRUE(fixture.theme.m_ConnectPoints);
        EXPECT_EQ(fixture.theme.m_LineWidth, 3);
    }
    {
        ShapeTheme fixture("lines");
        ASSERT_TRUE(fixture.opened);
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &fixture.theme;
        dialog.InitDialog();
        CArcPropertiesDialog* arc = dialog.GetArcPage();
        arc->m_PenColour = 0x010203;
        arc->m_PenWidth = 4;
        arc->m_PenStyle = 2;
        arc->m_ShowDirection = 1;
        arc->m_ArrowType = 1;
        arc->m_ArrowSize = 2;
        arc->m_ArrowColour = 0x0000FF;
        arc->m_ArrowPlacement = 0.5f;
        Control<QRadioButton>(arc, CArcPropertiesDialog::IDC_West)->setChecked(true);
        Control<QLineEdit>(arc, CArcPropertiesDialog::IDC_Displacement)->setText("6");
        ASSERT_TRUE(dialog.ApplyToTheme());
        const CTheme& theme = fixture.theme;
        EXPECT_EQ(theme.m_Color, 0x010203u);
        EXPECT_EQ(theme.m_LineWidth, 4);
        EXPECT_EQ(theme.m_PenStyle, 2);
        EXPECT_TRUE(theme.m_ShowArrows);
        EXPECT_EQ(theme.m_ArrowImage.GetArrowType(), 1);
        EXPECT_EQ(theme.m_ArrowImage.GetArrowSize(), 2);
        EXPECT_EQ(theme.m_ArrowImage.GetArrowColor(), 0x0000FFu);
        EXPECT_EQ(theme.m_ArrowPosition, 0.5f);
        EXPECT_EQ(theme.m_LineOffsetMode, CArcPropertiesDialog::AL_West);
        EXPECT_EQ(theme.m_LineOffset, 6);
    }
}

TEST(ThemePropertiesDialog, APageThatRefusesItsValuesKeepsTheDialogOpenAndStoresNothing) {
    TabReset reset;
    CScriptedUserInterface ui;
    CTheme theme;
    theme.m_ShapeType = SHT_Point;
    theme.m_Name = "before";
    theme.m_Comment = "old";
    CThemePropertiesDialog dialog;
    dialog.m_Theme = &theme;
    dialog.InitDialog();
    Control<QLineEdit>(dialog.GetGeneralPage(), CGeneralThemePropertiesDialog::IDC_Name)->setText("after");
    Control<QPlainTextEdit>(dialog.GetCommentPage(), CThemeCommentDialog::IDC_Comment)->setPlainText("new");
    Control<QLineEdit>(dialog.GetLabelPage(), CLabelStyleDialog::IDC_Spacing)->setText("wide");
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(theme.m_Name, "before");
    EXPECT_EQ(theme.m_Comment, "old");
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Please enter an integer."});
    dialog.reject();
}

// The styles are rebuilt when the rules changed, and only then; a theme
// without styles keeps its new rules without being given styles.
TEST(ThemePropertiesDialog, RebuildsTheStylesOnlyForChangedRules) {
    TabReset reset;
    ShapeTheme fixture("points");
    ASSERT_TRUE(fixture.opened);
    CTheme& theme = fixture.theme;
    theme.m_AdvancedProperties.m_Properties = {CAdvancedProperty("[COUNT] > 5", 0xFF, 0xFF, 1)};
    theme.UpdateStyles();
    ASSERT_FALSE(theme.m_ShapeStyles.empty());
    {
        // A rebuild fills the shape styles again; they are emptied here to
        // see whether one happened.
        theme.m_ShapeStyles.clear();
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &theme;
        dialog.InitDialog();
        ASSERT_TRUE(dialog.ApplyToTheme());
        EXPECT_TRUE(theme.m_ShapeStyles.empty());
    }
    {
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &theme;
        dialog.InitDialog();
        CAdvancedPropertiesDialog* rules = dialog.GetAdvancedPage();
        ASSERT_EQ(rules->RowCount(), 1);
        Control<QTreeWidget>(rules, CAdvancedPropertiesDialog::IDC_Rules)->topLevelItem(0)->setSelected(true);
        rules->OnDelete();
        ASSERT_TRUE(dialog.ApplyToTheme());
        EXPECT_TRUE(theme.m_AdvancedProperties.m_Properties.empty());
        EXPECT_EQ(theme.m_Styles.size(), 1u);
    }
    {
        // A multipoint theme has no style page, so nothing gives it styles.
        CTheme empty;
        empty.m_ShapeType = SHT_MultiPoint;
        ASSERT_TRUE(empty.m_Styles.empty());
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &empty;
        dialog.InitDialog();
        dialog.GetAdvancedPage()->m_Properties.m_Properties.clear();
        WhenModal([](QWidget* rule) {
            Control<QLineEdit>(rule, CAdvancedPropertyDialog::IDC_Condition)->setText("1 = 1");
            static_cast<QDialog*>(rule)->accept();
        });
        dialog.GetAdvancedPage()->OnNew();
        ASSERT_TRUE(dialog.ApplyToTheme());
        ASSERT_EQ(empty.m_AdvancedProperties.m_Properties.size(), 1u);
        EXPECT_EQ(empty.m_AdvancedProperties.m_Properties[0].Condition, "1 = 1");
        EXPECT_TRUE(empty.m_Styles.empty());
    }
}

TEST(ThemePropertiesDialog, HintsBecomeTheScaleMenu) {
    std::vector<CNamedScale> scales;
    CTheme theme;
    theme.m_ShapeType = SHT_Point;
    CThemePropertiesDialog dialog;
    dialog.m_Theme = &theme;
    dialog.m_Scales = {{"Current UPP:\t12.500000", 12.5}, {"Max: Roads:\t3.000000", 3.0}};
    dialog.InitDialog();
    CGeneralThemePropertiesDialog* general = dialog.GetGeneralPage();
    ASSERT_EQ(general->m_Scales.size(), 2u);
    general->ApplyScale(CGeneralThemePropertiesDialog::IDC_PickMinUPP, 1);
    general->ApplyScale(CGeneralThemePropertiesDialog::IDC_PickMaxUPP, 0);
    general->ApplyScale(CGeneralThemePropertiesDialog::IDC_PickMaxUPP, 2);
    EXPECT_EQ(Control<QLineEdit>(general, CGeneralThemePropertiesDialog::IDC_MinUPP)->text(), "3.000000");
    EXPECT_EQ(Control<QLineEdit>(general, CGeneralThemePropertiesDialog::IDC_MaxUPP)->text(), "12.500000");
}

// ---------------------------------------------------------------------------
// The general page
// ---------------------------------------------------------------------------

TEST(GeneralThemePropertiesPage, UnitsPerPixelRange) {
    CScriptedUserInterface ui;
    struct Case {
        const char* text;
        bool accepted;
        double value;
    };
    const Case cases[] = {
        {"0", true, 0.0},
        {"125.75", true, 125.75},
        {"1.7976931348623157e308", true, DBL_MAX},
        {"-0.5", false, 0.0},
        {"1e309", false, 0.0},
        {"abc", false, 0.0},
        {"", false, 0.0},
    };
    for (const Case& c : cases) {
        for (int id : {CGeneralThemePropertiesDialog::IDC_MaxUPP, CGeneralThemePropertiesDialog::IDC_MinUPP}) {
            CGeneralThemePropertiesDialog page;
            page.m_MaxUPP = 9.0;
            page.m_MinUPP = 9.0;
            page.InitDialog();
            Control<QLineEdit>(&page, id)->setText(QString::fromLatin1(c.text));
            const std::size_t before = ui.shown.size();
            EXPECT_EQ(page.UpdateData(true), c.accepted) << c.text;
            EXPECT_EQ(ui.shown.size(), before + (c.accepted ? 0 : 1)) << c.text;
            const double stored = id == CGeneralThemePropertiesDialog::IDC_MaxUPP ? page.m_MaxUPP : page.m_MinUPP;
            EXPECT_EQ(stored, c.accepted ? c.value : 9.0) << c.text;
        }
    }
}

TEST(GeneralThemePropertiesPage, RangeFieldsNeedVisibleAndAdvancedVisibility) {
    CTheme theme;
    theme.m_ScaleDependent = true;
    theme.m_MaxScale = 40.0;
    theme.m_MinScale = 2.0;
    CGeneralThemePropertiesDialog page;
    page.m_Theme = &theme;
    page.m_Name = "Wells";
    page.m_Visible = true;
    page.InitDialog();
    EXPECT_EQ(Control<QLineEdit>(&page, CGeneralThemePropertiesDialog::IDC_Name)->text(), "Wells");
    EXPECT_EQ(Control<QLineEdit>(&page, CGeneralThemePropertiesDialog::IDC_MaxUPP)->text(), "40");
    EXPECT_EQ(Control<QLineEdit>(&page, CGeneralThemePropertiesDialog::IDC_MinUPP)->text(), "2");
    auto* visible = Control<QCheckBox>(&page, CGeneralThemePropertiesDialog::IDC_Visible);
    auto* advanced = Control<QCheckBox>(&page, CGeneralThemePropertiesDialog::IDC_AdvancedVisibility);
    struct Case {
        bool visible;
        bool advanced;
    };
    for (const Case c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
        if (advanced->isChecked() != c.advanced) {
            advanced->setEnabled(true);
            advanced->click();
        }
        if (visible->isChecked() != c.visible)
            visible->click();
        const bool ranges = c.visible && c.advanced;
        EXPECT_EQ(advanced->isEnabled(), c.visible);
        for (int id : {CGeneralThemePropertiesDialog::IDC_MaxUPP, CGeneralThemePropertiesDialog::IDC_MinUPP,
                       CGeneralThemePropertiesDialog::IDC_PickMaxUPP, CGeneralThemePropertiesDialog::IDC_PickMinUPP,
                       CGeneralThemePropertiesDialog::IDC_MaxUPPLabel,
                       CGeneralThemePropertiesDialog::IDC_MinUPPLabel})
            EXPECT_EQ(Control<QWidget>(&page, id)->isEnabled(), ranges)
                << id << " visible " << c.visible << " advanced " << c.advanced;
    }
}

// ---------------------------------------------------------------------------
// Polygon, comment and image pages
// ---------------------------------------------------------------------------

TEST(PolygonPropertiesPage, AutomaticColoursBecomeBlueFillAndBlackOutline) {
    CPolygonPropertiesDialog page;
    page.m_FillColour = 0x112233;
    page.m_OutlineColour = 0x445566;
    page.m_FillPattern = 3;
    page.InitDialog();
    auto* fill = Control<CColourPickerXP>(&page, CPolygonPropertiesDialog::IDC_FillColour);
    auto* outline = Control<CColourPickerXP>(&page, CPolygonPropertiesDialog::IDC_OutlineColour);
    EXPECT_EQ(fill->GetStoredColour(), 0x112233u);
    EXPECT_EQ(outline->GetStoredColour(), 0x445566u);
    EXPECT_EQ(Control<CBrushComboBox>(&page, CPolygonPropertiesDialog::IDC_Pattern)->GetCurPattern(), 3);
    fill->OnPopupMessage(PCM_ColourAccepted, kAutomaticColour);
    EXPECT_EQ(page.m_FillColour, 0xFF0000u);
    EXPECT_EQ(fill->GetStoredColour(), 0xFF0000u);
    EXPECT_EQ(page.m_OutlineColour, 0x445566u);
    outline->OnPopupMessage(PCM_ColourAccepted, kAutomaticColour);
    EXPECT_EQ(page.m_OutlineColour, 0u);
    EXPECT_EQ(outline->GetStoredColour(), 0u);
}

TEST(RasterLayerPropertiesPage, CarriesTheTwoFlagsToTheTheme) {
    TabReset reset;
    CTheme theme;
    theme.m_ShapeType = SHT_Image;
    theme.m_VectorizeOnSelect = true;
    theme.m_RasterSmoothing = true;
    {
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &theme;
        dialog.InitDialog();
        auto* vectorize =
            Control<QCheckBox>(dialog.GetRasterPage(), CRasterLayerPropertiesDialog::IDC_VectorizeOnSelect);
        auto* antiAlias = Control<QCheckBox>(dialog.GetRasterPage(), CRasterLayerPropertiesDialog::IDC_AntiAlias);
        EXPECT_TRUE(vectorize->isChecked());
        EXPECT_TRUE(antiAlias->isChecked());
        antiAlias->click();
        dialog.reject();
    }
    EXPECT_TRUE(theme.m_RasterSmoothing);
    {
        CThemePropertiesDialog dialog;
        dialog.m_Theme = &theme;
        dialog.InitDialog();
        Control<QCheckBox>(dialog.GetRasterPage(), CRasterLayerPropertiesDialog::IDC_AntiAlias)->click();
        dialog.accept();
    }
    EXPECT_FALSE(theme.m_RasterSmoothing);
    EXPECT_TRUE(theme.m_VectorizeOnSelect);
}

// ---------------------------------------------------------------------------
// The info-tip page
// ---------------------------------------------------------------------------

namespace {

QStringList ListTexts(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

const QStringList kGdalColumns{"NAME", "COUNT", "AREA", "DAY", "FLAG"};

} // namespace

TEST(InfoTipDefinitionPage, ListsPlaceHoldersByWhatTheThemeHolds) {
    ShapeTheme points("points");
    ShapeTheme polygons("polygons");
    ASSERT_TRUE(points.opened);
    ASSERT_TRUE(polygons.opened);
    CTheme empty;
    MakeNativeTheme(empty, {{"ID", FT_Int}}, {});
    struct Case {
        const char* what;
        CTheme* theme;
        QStringList expected;
    };
    const Case cases[] = {
        {"points", &points.theme, QStringList{"$LONGITUDE", "$LATITUDE", "$INDEX"} + kGdalColumns},
        {"polygons", &polygons.theme, QStringList{"$INDEX"} + kGdalColumns},
        {"no shapes", &empty, QStringList{"ID"}},
    };
    for (const Case& c : cases) {
        CInfoTipDefinitionDialog page;
        page.m_Theme = c.theme;
        page.InitDialog();
        EXPECT_EQ(ListTexts(Control<QListWidget>(&page, CInfoTipDefinitionDialog::IDC_Attributes)), c.expected)
            << c.what;
    }
}

TEST(InfoTipDefinitionPage, AddPutsTheEntryInAnglesAtTheSelection) {
    ShapeTheme fixture("points");
    ASSERT_TRUE(fixture.opened);
    fixture.theme.m_InfoTipTemplate = "Name: X!";
    CInfoTipDefinitionDialog page;
    page.m_Theme = &fixture.theme;
    page.InitDialog();
    auto* list = Control<QListWidget>(&page, CInfoTipDefinitionDialog::IDC_Attributes);
    auto* add = Control<QPushButton>(&page, CInfoTipDefinitionDialog::IDC_Add);
    auto* edit = Control<QPlainTextEdit>(&page, CInfoTipDefinitionDialog::IDC_Template);
    EXPECT_EQ(edit->toPlainText(), "Name: X!");
    EXPECT_FALSE(add->isEnabled());
    list->setCurrentRow(3);
    EXPECT_TRUE(add->isEnabled());
    // Select the "X" and replace it.
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    add->click();
    EXPECT_EQ(edit->toPlainText(), "Name: <NAME>!");
    edit->undo();
    EXPECT_EQ(edit->toPlainText(), "Name: X!");
    list->clearSelection();
    EXPECT_FALSE(add->isEnabled());
    ASSERT_TRUE(page.UpdateData(true));
    EXPECT_EQ(page.m_Template, "Name: X!");
}

TEST(InfoTipDefinitionPage, LoadsAndSavesTemplates) {
    CScriptedUserInterface ui;
    TempDir folder;
    const std::string source = folder.file("tip.txt");
    const std::string text(5000, 'a');
    std::ofstream(source, std::ios::binary) << text << "<NAME>\nend";
    CTheme theme;
    theme.m_InfoTipTemplate = "kept";
    CInfoTipDefinitionDialog page;
    page.m_Theme = &theme;
    page.InitDialog();
    auto* edit = Control<QPlainTextEdit>(&page, CInfoTipDefinitionDialog::IDC_Template);

    // A file that is not there leaves the template alone.
    ui.openAnswers.push_back({folder.file("missing.txt")});
    page.OnLoadTemplate();
    EXPECT_EQ(edit->toPlainText(), "kept");
    ui.openAnswers.push_back({});
    page.OnLoadTemplate();
    EXPECT_EQ(edit->toPlainText(), "kept");
    ui.openAnswers.push_back({source});
    page.OnLoadTemplate();
    ASSERT_EQ(ui.openRequests.size(), 3u);
    EXPECT_EQ(ui.openRequests.back().filter, CInfoTipDefinitionDialog::kTemplateFilter);
    page.UpdateData(true);
    EXPECT_EQ(page.m_Template, text + "<NAME>\nend");

    const std::string target = folder.file("out.txt");
    edit->setPlainText("<COUNT> wells");
    ui.saveAnswers.push_back(target);
    page.OnSaveTemplate();
    std::ifstream in(target, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, "<COUNT> wells");
}

TEST(InfoTipDefinitionPage, ColumnsChangedRefillsTheList) {
    TabReset reset;
    CTheme theme;
    MakeNativeTheme(theme, {}, {});
    CThemePropertiesDialog dialog;
    dialog.m_Theme = &theme;
    dialog.InitDialog();
    auto* list = Control<QListWidget>(dialog.GetInfoTipPage(), CInfoTipDefinitionDialog::IDC_Attributes);
    EXPECT_EQ(list->count(), 0);
    CAttributeFieldInfo info;
    info.m_Name = "DEPTH";
    info.m_Type = FT_Double;
    info.m_Length = 8;
    theme.AddAttribute(info, nullptr, nullptr);
    SendMessage(&dialog, WM_THEME_COLUMNS_CHANGED, 0, reinterpret_cast<std::intptr_t>(&theme));
    EXPECT_EQ(ListTexts(list), QStringList{"DEPTH"});
}

// ---------------------------------------------------------------------------
// The label page
// ---------------------------------------------------------------------------

TEST(LabelStylePage, EnablingFollowsLabelsFrameForceAndKind) {
    ShapeTheme points("points");
    ShapeTheme polygons("polygons");
    ASSERT_TRUE(points.opened);
    ASSERT_TRUE(polygons.opened);
    using P = CLabelStyleDialog;
    struct Case {
        bool point;
        bool labels;
        bool frame;
        bool force;
    };
    std::vector<Case> cases;
    for (int bits = 0; bits < 16; ++bits)
        cases.push_back({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0});
    for (const Case& c : cases) {
        CTheme& theme = c.point ? points.theme : polygons.theme;
        theme.m_ShowLabels = c.labels;
        theme.m_LabelFrame = c.frame;
        theme.m_LabelForce = c.force;
        P page;
        page.m_Theme = &theme;
        page.InitDialog();
        const std::string what = "point " + std::to_string(c.point) + " labels " + std::to_string(c.labels) +
                                 " frame " + std::to_string(c.frame) + " force " + std::to_string(c.force);
        auto enabled = [&](int id) { return Control<QWidget>(&page, id)->isEnabled(); };
        EXPECT_TRUE(enabled(P::IDC_ShowLabels)) << what;
        EXPECT_EQ(enabled(P::IDC_Alignment), c.labels && c.point) << what;
        EXPECT_EQ(enabled(P::IDC_AlignmentLabel), c.labels && c.point) << what;
        EXPECT_EQ(enabled(P::IDC_Frame), c.labels) << what;
        EXPECT_EQ(enabled(P::IDC_Spacing), c.labels && !c.force) << what;
        EXPECT_EQ(enabled(P::IDC_SpacingLabel), c.labels && !c.force) << what;
        EXPECT_EQ(enabled(P::IDC_Duplicates), c.labels) << what;
        EXPECT_EQ(enabled(P::IDC_Force), c.labels) << what;
        for (int id : {P::IDC_FillColour, P::IDC_FrameColour, P::IDC_FillColourLabel, P::IDC_FrameColourLabel})
            EXPECT_EQ(enabled(id), c.labels && c.frame) << what << " control " << id;
    }
}

TEST(LabelStylePage, ClicksApplyTheRulesAndForceKeepsTheSpacing) {
    ShapeTheme points("points");
    ASSERT_TRUE(points.opened);
    CLabelStyleDialog page;
    page.m_Theme = &points.theme;
    page.m_Spacing = 12;
    page.show();
    auto* labels = Control<QCheckBox>(&page, CLabelStyleDialog::IDC_ShowLabels);
    auto* force = Control<QCheckBox>(&page, CLabelStyleDialog::IDC_Force);
    auto* spacing = Control<QLineEdit>(&page, CLabelStyleDialog::IDC_Spacing);
    EXPECT_FALSE(spacing->isEnabled());
    labels->click();
    EXPECT_TRUE(spacing->isEnabled());
    force->click();
    EXPECT_FALSE(spacing->isEnabled());
    ASSERT_TRUE(page.UpdateData(true));
    EXPECT_EQ(page.m_Spacing, 12);
    EXPECT_TRUE(page.m_Force);
    EXPECT_TRUE(page.m_ShowLabels);
}

TEST(LabelStylePage, LabelsCannotBeSwitchedOnWithoutShapes) {
    struct Case {
        std::uint32_t type;
    };
    for (std::uint32_t type : {static_cast<std::uint32_t>(SHT_Point), static_cast<std::uint32_t>(SHT_Image)}) {
        CTheme theme;
        theme.m_ShapeType = type;
        theme.m_ShowLabels = true;
        CLabelStyleDialog page;
        page.m_Theme = &theme;
        page.InitDialog();
        EXPECT_FALSE(Control<QCheckBox>(&page, CLabelStyleDialog::IDC_ShowLabels)->isEnabled()) << type;
    }
}

TEST(LabelStylePage, AlignmentItemsAndWhatEachKindStores) {
    ShapeTheme points("points");
    ShapeTheme polygons("polygons");
    ASSERT_TRUE(points.opened);
    ASSERT_TRUE(polygons.opened);
    points.theme.m_LabelAlignment = 6;
    polygons.theme.m_LabelAlignment = 6;
    CLabelStyleDialog pointPage;
    pointPage.m_Theme = &points.theme;
    pointPage.InitDialog();
    auto* combo = Control<QComboBox>(&pointPage, CLabelStyleDialog::IDC_Alignment);
    const QStringList texts{"Center", "Top Left", "Top",         "Top Right",   "Left",
                            "Right",  "Bottom Left", "Bottom", "Bottom Right"};
    ASSERT_EQ(combo->count(), texts.size());
    for (int i = 0; i < combo->count(); ++i) {
        EXPECT_EQ(combo->itemText(i), texts[i]);
        EXPECT_EQ(combo->itemData(i).toInt(), i);
    }
    EXPECT_EQ(pointPage.GetAlignment(), 6);
    CLabelStyleDialog polygonPage;
    polygonPage.m_Theme = &polygons.theme;
    polygonPage.InitDialog();
    EXPECT_EQ(polygonPage.GetAlignment(), 0);
}

TEST(LabelStylePage, AutomaticColourIsStoredAsBlack) {
    ShapeTheme points("points");
    ASSERT_TRUE(points.opened);
    for (int id : {CLabelStyleDialog::IDC_FillColour, CLabelStyleDialog::IDC_FrameColour}) {
        CLabelStyleDialog page;
        page.m_Theme = &points.theme;
        page.m_FillColour = 0xABCDEF;
        page.m_FrameColour = 0x123456;
        page.InitDialog();
        auto* picker = Control<CColourPickerXP>(&page, id);
        picker->OnPopupMessage(PCM_ColourAccepted, kAutomaticColour);
        const std::uint32_t stored = id == CLabelStyleDialog::IDC_FillColour ? page.m_FillColour : page.m_FrameColour;
        const std::uint32_t other = id == CLabelStyleDialog::IDC_FillColour ? page.m_FrameColour : page.m_FillColour;
        EXPECT_EQ(stored, 0u) << id;
        EXPECT_EQ(picker->GetStoredColour(), 0u) << id;
        EXPECT_EQ(other, id == CLabelStyleDialog::IDC_FillColour ? 0x123456u : 0xABCDEFu) << id;
    }
}

// ---------------------------------------------------------------------------
// The font page
// ---------------------------------------------------------------------------

namespace {

LogFont StoredFont(const QString& face) {
    LogFont font;
    font.lfHeight = -16; // 12 points
    font.lfWidth = 3;
    font.lfEscapement = 900;
    font.lfWeight = 400;
    font.lfCharSet = 0;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 5;
    font.lfPitchAndFamily = 0x22;
    const QByteArray bytes = face.toUtf8();
    std::memcpy(font.lfFaceName, bytes.constData(), std::min<std::size_t>(bytes.size(), 31));
    // Bytes after the terminator are kept too.
    font.lfFaceName[30] = 'Z';
    return font;
}

QString ScalableFamily() {
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isSmoothlyScalable(family) && family.toUtf8().size() < 28)
            return family;
    }
    return QString();
}

} // namespace

TEST(FontPropertiesPage, AnUntouchedFontIsStoredBackByteForByte) {
    const QString family = ScalableFamily();
    if (family.isEmpty())
        GTEST_SKIP() << "no scalable font installed";
    const LogFont stored = StoredFont(family);
    CFontPropertiesDialog page;
    page.m_LogFont = stored;
    page.m_HasFont = true;
    page.m_Features = 0xFFF00004u;
    page.InitDialog();
    EXPECT_EQ(Control<QComboBox>(&page, CFontPropertiesDialog::IDC_Face)->currentText(), family);
    EXPECT_EQ(Control<QComboBox>(&page, CFontPropertiesDialog::IDC_Size)->currentText(), "12");
    EXPECT_TRUE(page.UpdateData(true));
    unsigned char before[LogFont::kSize];
    unsigned char after[LogFont::kSize];
    stored.ToBytes(before);
    page.GetLogFont().ToBytes(after);
    EXPECT_EQ(std::memcmp(before, after, LogFont::kSize), 0);
}

TEST(FontPropertiesPage, ChangesRewriteOnlyTheShownFields) {
    const QString family = ScalableFamily();
    if (family.isEmpty())
        GTEST_SKIP() << "no scalable font installed";
    const LogFont stored = StoredFont(family);
    CFontPropertiesDialog page;
    page.m_LogFont = stored;
    page.m_HasFont = true;
    page.m_Features = 0xFFF00004u;
    page.InitDialog();
    auto* size = Control<QComboBox>(&page, CFontPropertiesDialog::IDC_Size);
    // The scalable sizes, in order.
    QStringList sizes;
    for (int i = 0; i < size->count(); ++i)
        sizes << size->itemText(i);
    EXPECT_EQ(sizes, (QStringList{"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36",
                                  "48", "72"}));
    size->setCurrentIndex(size->findText("24"));
    emit size->activated(size->currentIndex());
    Control<QCheckBox>(&page, CFontPropertiesDialog::IDC_Underline)->click();
    Control<QCheckBox>(&page, CFontPropertiesDialog::IDC_Strikeout)->click();
    const LogFont& font = page.GetLogFont();
    EXPECT_EQ(font.lfHeight, -32);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfStrikeOut, 1);
    EXPECT_EQ(QString::fromUtf8(font.lfFaceName), family);
    // The face is rewritten whole: nothing after its terminator.
    EXPECT_EQ(font.lfFaceName[30], 0);
    EXPECT_EQ(font.lfWidth, stored.lfWidth);
    EXPECT_EQ(font.lfEscapement, stored.lfEscapement);
    EXPECT_EQ(font.lfQuality, stored.lfQuality);
    EXPECT_EQ(font.lfPitchAndFamily, stored.lfPitchAndFamily);
    // Style item data: the weight, with the italic bit.
    auto* style = Control<QComboBox>(&page, CFontPropertiesDialog::IDC_Style);
    for (int i = 0; i < style->count(); ++i) {
        const int data = style->itemData(i).toInt();
        if ((data & CFontPropertiesDialog::kItalicBit) == 0 || (data & CFontPropertiesDialog::kWeightMask) < 600)
            continue;
        style->setCurrentIndex(i);
        emit style->activated(i);
        EXPECT_EQ(page.GetLogFont().lfItalic, 1);
        EXPECT_GE(page.GetLogFont().lfWeight, 600);
        break;
    }
}

TEST(FontPropertiesPage, FeatureWordHidesScriptAndEffects) {
    struct Case {
        std::uint32_t features;
        bool script;
        bool effects;
    };
    const Case cases[] = {
        {0xFFF00004u, true, true},
        {0x40000004u, false, true},
        {0x80000004u, true, false},
        {0x00000004u, false, false},
    };
    for (const Case& c : cases) {
        CFontPropertiesDialog page;
        page.m_Features = c.features;
        page.show();
        EXPECT_EQ(Control<QWidget>(&page, CFontPropertiesDialog::IDC_Script)->isVisible(), c.script) << c.features;
        EXPECT_EQ(Control<QWidget>(&page, CFontPropertiesDialog::IDC_ScriptLabel)->isVisible(), c.script);
        EXPECT_EQ(Control<QWidget>(&page, CFontPropertiesDialog::IDC_Effects)->isVisible(), c.effects);
        EXPECT_EQ(Control<QWidget>(&page, CFontPropertiesDialog::IDC_Underline)->isVisible(), c.effects);
        EXPECT_EQ(Control<QWidget>(&page, CFontPropertiesDialog::IDC_Strikeout)->isEnabled(), c.effects);
    }
}

TEST(FontPropertiesPage, AutomaticTextColourIsBlackAndThePreviewDrawsIt) {
    CFontPropertiesDialog page;
    page.m_TextColour = 0x0000FF;
    page.m_BackColour = 0x00FFFFFF;
    page.resize(400, 300);
    page.show();
    auto* picker = Control<CColourPickerXP>(&page, CFontPropertiesDialog::IDC_Colour);
    EXPECT_EQ(picker->GetStoredColour(), 0x0000FFu);
    picker->OnPopupMessage(PCM_ColourAccepted, 0x00FF00);
    EXPECT_EQ(page.m_TextColour, 0x00FF00u);
    auto* preview = Control<QWidget>(&page, CFontPropertiesDialog::IDC_Preview);
    const QImage image = preview->grab().toImage();
    bool green = false;
    for (int y = 0; y < image.height() && !green; ++y)
        for (int x = 0; x < image.width() && !green; ++x)
            green = image.pixel(x, y) == qRgb(0, 255, 0);
    EXPECT_TRUE(green);
    EXPECT_EQ(image.pixel(image.width() / 2, 4), qRgb(255, 255, 255));
    picker->OnPopupMessage(PCM_ColourAccepted, kAutomaticColour);
    EXPECT_EQ(page.m_TextColour, 0u);
}

TEST(FontPropertiesPage, FaceListTakesScalableFacesAndMarksThem) {
    const QString family = ScalableFamily();
    if (family.isEmpty())
        GTEST_SKIP() << "no scalable font installed";
    CFontPropertiesDialog page;
    page.m_Features = 0xFFF00004u;
    page.InitDialog();
    auto* faces = Control<QComboBox>(&page, CFontPropertiesDialog::IDC_Face);
    for (int i = 0; i < faces->count(); ++i)
        EXPECT_EQ(faces->itemData(i).toInt(), 4) << faces->itemText(i).toStdString();
    const int index = faces->findText(family);
    ASSERT_GE(index, 0);
    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        option.palette = faces->palette();
        option.font = faces->font();
        option.state = QStyle::State_Enabled;
        faces->itemDelegate()->paint(&painter, option, faces->model()->index(index, 0));
    }
    auto darkIn = [&image](int from, int to) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = from; x < to; ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    EXPECT_TRUE(darkIn(0, CFontPropertiesDialog::CFontCombo::kGlyphWidth));
    EXPECT_TRUE(darkIn(CFontPropertiesDialog::CFontCombo::kGlyphWidth, 200));
}
