// The operations on a theme as a whole: properties, fields and the default
// style.

#include "GpiOpsFixture.h"

#include <QImage>

#include <cstring>

using GpiThemeOps = GpiOpsTest;

namespace {

std::uint32_t AddField(std::uint32_t theme, std::uint32_t type, const char* name, const char* value = nullptr,
                       int* result = nullptr) {
    std::uint32_t field = kUntouched;
    GpiThemeAddFieldArgs args = {theme, type, name, value, &field};
    const int answer = GpiHostDispatch(GPIOP_ThemeAddField, &args);
    if (result != nullptr)
        *result = answer;
    return field;
}

std::uint32_t ReadWord(int op, std::uint32_t theme) {
    std::uint32_t out = kUntouched;
    GpiHandleOutArgs args = {theme, &out};
    EXPECT_EQ(GpiHostDispatch(op, &args), GPIERR_NoError) << op;
    return out;
}

} // namespace

TEST_F(GpiThemeOps, AddFieldTypeWords) {
    struct Case {
        std::uint32_t word;
        std::int32_t type;
        bool key;
    };
    const Case cases[] = {
        {0x80000002u, FT_Double, true}, {7, FT_String, false},       {GPIFT_Int, FT_Int, false},
        {GPIFT_Date, FT_Date, false},   {GPIFT_Boolean, FT_Boolean, false},
        {0x80000000u, FT_String, true}, {0xFFFFFFFFu, FT_String, true}, {5, FT_String, false},
    };
    std::uint32_t expectedIndex = 0;
    for (const Case& c : cases) {
        const std::string name = "F" + std::to_string(expectedIndex);
        int result = -1;
        const std::uint32_t field = AddField(m_PointsHandle, c.word, name.c_str(), nullptr, &result);
        ASSERT_EQ(result, GPIERR_NoError) << c.word;
        EXPECT_EQ(field, expectedIndex++) << c.word;
        EXPECT_EQ(m_Points->GetAttributeType(static_cast<int>(field)), c.type) << c.word;
        EXPECT_EQ(m_Points->IsKeyAttribute(static_cast<int>(field)), c.key) << c.word;

        // Read back through the type operation.
        std::uint32_t word = kUntouched;
        GpiThemeGetFieldTypeArgs args = {m_PointsHandle, field, &word};
        ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetFieldType, &args), GPIERR_NoError);
        EXPECT_EQ(word, static_cast<std::uint32_t>(c.type) | (c.key ? GPI_FIELD_KEY : 0u)) << c.word;
    }
    EXPECT_TRUE(m_Points->m_Modified);
    EXPECT_EQ(ReadWord(GPIOP_ThemeGetFieldCount, m_PointsHandle), expectedIndex);
}

TEST_F(GpiThemeOps, AddFieldWritesTheDefaultIntoExistingRows) {
    m_Points->AddPointAt(false, false, 1.0, 1.0);
    m_Points->AddPointAt(false, false, 2.0, 2.0);
    const std::uint32_t field = AddField(m_PointsHandle, GPIFT_String, "KIND", "road");
    ASSERT_EQ(field, 0u);
    EXPECT_EQ(m_Points->GetAttributeText(0, 0), "road");
    EXPECT_EQ(m_Points->GetAttributeText(1, 0), "road");
    const std::uint32_t empty = AddField(m_PointsHandle, GPIFT_String, "NOTE", "");
    EXPECT_EQ(m_Points->GetAttributeText(1, static_cast<int>(empty)), "");
}

TEST_F(GpiThemeOps, AddFieldRefusals) {
    CTheme* file = AddShapeFileTheme();
    const std::uint32_t fileHandle = GpiThemeHandle(file);
    const unsigned fileFields = file->GetAttributeCount();
    file->m_Modified = m_Points->m_Modified = false;
    struct Case {
        std::uint32_t theme;
        const char* name;
        int result;
    };
    const Case cases[] = {
        {m_PointsHandle, "", GPIERR_IllegalParameter},
        {m_PointsHandle, nullptr, GPIERR_IllegalParameter},
        {fileHandle, "NAME", GPIERR_PermissionDenied},
        {fileHandle, "", GPIERR_IllegalParameter},
    };
    for (const Case& c : cases) {
        int result = -1;
        EXPECT_EQ(AddField(c.theme, GPIFT_Int, c.name, nullptr, &result), kUntouched);
        EXPECT_EQ(result, c.result) << (c.name != nullptr ? c.name : "(null)");
    }
    EXPECT_EQ(m_Points->GetAttributeCount(), 0u);
    EXPECT_EQ(file->GetAttributeCount(), fileFields);
    EXPECT_FALSE(file->m_Modified);
    EXPECT_FALSE(m_Points->m_Modified);
    EXPECT_TRUE(m_Ui.Messages().empty());
}

TEST_F(GpiThemeOps, AddFieldAsksAboutNamesAShapeFileCannotKeep) {
    const std::string question =
        "Attribute name does not conform to the shape file standard.\n\nIf this attribute name is exported to a "
        "shape file,\nthe name will be changed to obey the standard.\n\nContinue anyway?";
    struct Case {
        const char* name;
        bool asked;
        int answer;
        int result;
    };
    const Case cases[] = {
        {"ROAD_CLASS", false, 0, GPIERR_NoError},              // 10 characters
        {"ROAD_CLASS1", true, corvale::IDNO, GPIERR_IllegalParameter},
        {"ROAD_CLASS1", true, corvale::IDYES, GPIERR_NoError}, // kept whole
        {"two words", true, corvale::IDNO, GPIERR_IllegalParameter},
    };
    for (const Case& c : cases) {
        m_Ui.shown.clear();
        m_Ui.messageAnswers.clear();
        if (c.asked)
            m_Ui.messageAnswers.push_back(c.answer);
        const unsigned before = m_Points->GetAttributeCount();
        int result = -1;
        const std::uint32_t field = AddField(m_PointsHandle, GPIFT_Int, c.name, nullptr, &result);
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(m_Ui.Messages(), c.asked ? std::vector<std::string>{question} : std::vector<std::string>{})
            << c.name;
        if (c.asked) {
            EXPECT_EQ(m_Ui.shown[0].icon, corvale::MessageIcon::Warning);
            EXPECT_EQ(m_Ui.shown[0].buttons, corvale::MessageButtons::YesNo);
        }
        if (c.result == GPIERR_NoError)
            EXPECT_EQ(m_Points->GetAttributeName(static_cast<int>(field)), c.name);
        else
            EXPECT_EQ(m_Points->GetAttributeCount(), before) << c.name;
    }
}

TEST_F(GpiThemeOps, FieldNamesTypesAndLookup) {
    AddField(m_PointsHandle, GPIFT_Int, "Id");
    AddField(m_PointsHandle, GPIFT_String, "Name");

    struct Case {
        const char* name;
        int result;
        std::uint32_t field;
    };
    const Case cases[] = {
        {"Name", GPIERR_NoError, 1}, {"Id", GPIERR_NoError, 0}, {"NAME", GPIERR_False, kUntouched},
        {"name", GPIERR_False, kUntouched}, {"Nam", GPIERR_False, kUntouched}, {"", GPIERR_False, kUntouched},
    };
    for (const Case& c : cases) {
        std::uint32_t field = kUntouched;
        GpiThemeFindFieldArgs args = {m_PointsHandle, c.name, &field};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeFindField, &args), c.result) << c.name;
        EXPECT_EQ(field, c.field) << c.name;
    }

    char buffer[3];
    std::uint32_t size = sizeof buffer;
    GpiThemeGetFieldNameArgs name = {m_PointsHandle, 1, buffer, &size};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetFieldName, &name), GPIERR_NoError);
    EXPECT_STREQ(buffer, "Na") << "cut to the buffer and terminated";
    EXPECT_EQ(size, 3u);
    name.buffer = nullptr;
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetFieldName, &name), GPIERR_NoError);
    EXPECT_EQ(size, 5u);
    name.field = 2;
    size = kUntouched;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetFieldName, &name), GPIERR_IndexOutOfBounds);
    EXPECT_EQ(size, kUntouched);
}

TEST_F(GpiThemeOps, DeleteFieldOnNativeThemesOnly) {
    AddField(m_PointsHandle, GPIFT_Int, "Id");
    m_Points->m_Modified = false;
    GpiThemeDeleteFieldArgs args = {m_PointsHandle, 1};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeDeleteField, &args), GPIERR_PermissionDenied);
    args.value = 0;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeDeleteField, &args), GPIERR_NoError);
    EXPECT_EQ(m_Points->GetAttributeCount(), 0u);
    EXPECT_TRUE(m_Points->m_Modified);

    CTheme* file = AddShapeFileTheme();
    ASSERT_GT(file->GetAttributeCount(), 0u);
    GpiThemeDeleteFieldArgs fileArgs = {GpiThemeHandle(file), 0};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeDeleteField, &fileArgs), GPIERR_PermissionDenied);
}

TEST_F(GpiThemeOps, FieldDescriptions) {
    AddField(m_PointsHandle, GPIFT_Int, "Id");
    m_Points->m_Modified = false;
    GpiThemeSetFieldTextArgs args = {m_PointsHandle, 0, "Road number"};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetFieldText, &args), GPIERR_NoError);
    EXPECT_TRUE(m_Points->m_Modified);

    CTheme* file = AddShapeFileTheme();
    GpiThemeSetFieldTextArgs readOnly = {GpiThemeHandle(file), 0, "Text"};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeSetFieldText, &readOnly), GPIERR_PermissionDenied);
    // Handle 0 is refused as a handle before the text is looked at.
    GpiThemeSetFieldTextArgs zero = {0, 0, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeSetFieldText, &zero), GPIERR_InvalidHandle);
}

TEST_F(GpiThemeOps, ColourOfPolygonsIsTheOutlineAndBaseColourTheFill) {
    m_Polygons->m_Color = 0x0000FF;
    m_Polygons->m_OutlineColor = 0x00FF00;
    m_Points->m_Color = 0xAA0000;
    m_Points->m_OutlineColor = 0x000011;
    struct Case {
        std::uint32_t theme;
        std::uint32_t colour;
        std::uint32_t base;
    };
    const Case cases[] = {
        {m_PolygonsHandle, 0x00FF00, 0x0000FF},
        {m_PointsHandle, 0xAA0000, 0xAA0000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadWord(GPIOP_ThemeGetColor, c.theme), c.colour);
        EXPECT_EQ(ReadWord(GPIOP_ThemeGetBaseColor, c.theme), c.base);
    }

    // The setters write the member the getters read, and rebuild the style.
    GpiThemeSetColorArgs outline = {m_PolygonsHandle, 0x123456};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetColor, &outline), GPIERR_NoError);
    EXPECT_EQ(m_Polygons->m_OutlineColor, 0x123456u);
    EXPECT_EQ(m_Polygons->m_Color, 0x0000FFu);
    GpiThemeSetBaseColorArgs fill = {m_PolygonsHandle, 0x654321};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetBaseColor, &fill), GPIERR_NoError);
    EXPECT_EQ(m_Polygons->m_Color, 0x654321u);
    ASSERT_FALSE(m_Polygons->m_Styles.empty());
    EXPECT_EQ(m_Polygons->m_Styles[0]->m_Color, 0x654321u) << "the default style follows";
    GpiThemeSetColorArgs point = {m_PointsHandle, 0x222222};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetColor, &point), GPIERR_NoError);
    EXPECT_EQ(m_Points->m_Color, 0x222222u);
    EXPECT_EQ(m_Points->m_OutlineColor, 0x000011u);

    // Widths and pen styles are stored as given.
    for (std::uint32_t value : {0u, 7u, 0xFFFFFFFFu}) {
        GpiThemeSetLineWidthArgs width = {m_PolygonsHandle, value};
        ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetLineWidth, &width), GPIERR_NoError);
        EXPECT_EQ(ReadWord(GPIOP_ThemeGetLineWidth, m_PolygonsHandle), value);
        GpiThemeSetPenStyleArgs pen = {m_PolygonsHandle, value};
        ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetPenStyle, &pen), GPIERR_NoError);
        EXPECT_EQ(ReadWord(GPIOP_ThemeGetPenStyle, m_PolygonsHandle), value);
    }
    EXPECT_FALSE(m_Polygons->m_Modified);
    EXPECT_TRUE(m_Events.m_Codes.empty()) << "the plug-in repaints when it wants to";
}

TEST_F(GpiThemeOps, NameAndComment) {
    GpiThemeSetNameArgs rename = {m_PointsHandle, "Towns"};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetName, &rename), GPIERR_NoError);
    EXPECT_EQ(m_Points->m_Name, "Towns");
    EXPECT_EQ(m_Events.m_Codes, std::vector<int>{DUE_ThemeRenamed});
    EXPECT_FALSE(m_Points->m_Modified);

    std::uint32_t size = kUntouched;
    GpiThemeGetNameArgs name = {m_PointsHandle, nullptr, &size};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetName, &name), GPIERR_NoError);
    EXPECT_EQ(size, 6u);

    GpiThemeSetCommentArgs comment = {m_PointsHandle, "From the survey"};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetComment, &comment), GPIERR_NoError);
    EXPECT_EQ(m_Events.m_Codes.size(), 1u) << "no event for a comment";
    char buffer[64];
    size = sizeof buffer;
    GpiThemeGetCommentArgs read = {m_PointsHandle, buffer, &size};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetComment, &read), GPIERR_NoError);
    EXPECT_STREQ(buffer, "From the survey");
}

TEST_F(GpiThemeOps, StateWords) {
    m_Points->m_Editable = false;
    EXPECT_EQ(ReadWord(GPIOP_ThemeIsReadOnly, m_PointsHandle), 1u);
    EXPECT_EQ(ReadWord(GPIOP_ThemeIsReadOnly, m_PolygonsHandle), 0u);
    EXPECT_EQ(ReadWord(GPIOP_ThemeGetShapeType, m_PolygonsHandle), static_cast<std::uint32_t>(SHT_Polygon));
    EXPECT_EQ(ReadWord(GPIOP_ThemeGetWorkspace, m_PointsHandle), m_Workspace);
    m_Doc->SetThemeSelected(m_Polygons, true);
    EXPECT_EQ(ReadWord(GPIOP_ThemeIsSelected, m_PolygonsHandle), 1u);
    EXPECT_EQ(ReadWord(GPIOP_ThemeIsSelected, m_PointsHandle), 0u);

    // A theme of no workspace.
    CTheme loose;
    const std::uint32_t looseHandle = GpiThemeHandle(&loose);
    EXPECT_EQ(ReadWord(GPIOP_ThemeGetWorkspace, looseHandle), 0u);
    EXPECT_EQ(ReadWord(GPIOP_ThemeIsSelected, looseHandle), 0u);
    GpiForgetTheme(&loose);
}

TEST_F(GpiThemeOps, VisibleInTheViewAtItsScale) {
    EXPECT_EQ(ReadWord(GPIOP_ThemeIsVisible, m_PointsHandle), 0u) << "no view, nothing drawn";
    CFakeMapWindow view;
    m_Doc->m_mapView = &view;
    view.m_UnitsPerPixel = 10.0;
    struct Case {
        bool visible;
        bool scaleDependent;
        double minScale, maxScale;
        std::uint32_t out;
    };
    const Case cases[] = {
        {true, false, 0.0, 1.0, 1},  {false, false, 0.0, 1.0, 0}, {true, true, 5.0, 20.0, 1},
        {true, true, 10.0, 10.0, 1}, {true, true, 11.0, 20.0, 0}, {true, true, 0.0, 9.0, 0},
        {false, true, 5.0, 20.0, 0},
    };
    for (const Case& c : cases) {
        m_Points->m_Visible = c.visible;
        m_Points->m_ScaleDependent = c.scaleDependent;
        m_Points->m_MinScale = c.minScale;
        m_Points->m_MaxScale = c.maxScale;
        EXPECT_EQ(ReadWord(GPIOP_ThemeIsVisible, m_PointsHandle), c.out) << c.minScale << ".." << c.maxScale;
    }
    m_Doc->m_mapView = nullptr;
}

TEST_F(GpiThemeOps, BoundsAsStoredAndRecalculated) {
    m_Points->AddPointAt(false, false, 1.0, 2.0);
    m_Points->AddPointAt(false, false, 5.0, -2.0);
    // Stored values are handed out as they stand, valid or not.
    m_Points->m_Bounds[0] = -100.0;
    double xmin = 0.0, xmax = 0.0, ymin = 0.0;
    GpiThemeGetBoundsArgs bounds = {m_PointsHandle, &xmin, &ymin, &xmax, nullptr};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetBounds, &bounds), GPIERR_NoError);
    EXPECT_EQ(xmin, -100.0);
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeRecalcBounds, reinterpret_cast<void*>(std::uintptr_t{m_PointsHandle})),
              GPIERR_NoError);
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetBounds, &bounds), GPIERR_NoError);
    EXPECT_EQ(xmin, 1.0);
    EXPECT_EQ(ymin, -2.0);
    EXPECT_EQ(xmax, 5.0);
}

TEST_F(GpiThemeOps, LabelFontAndColour) {
    m_Points->m_LabelFont.lfHeight = -13;
    std::strcpy(m_Points->m_LabelFont.lfFaceName, "Serif");
    m_Points->m_LabelColor = 0x336699;
    unsigned char font[60];
    std::memset(font, 0xCC, sizeof font);
    std::uint32_t colour = kUntouched;
    GpiThemeGetLabelFontArgs args = {m_PointsHandle, font, &colour};
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeGetLabelFont, &args), GPIERR_NoError);
    EXPECT_EQ(LogFont::FromBytes(font), m_Points->m_LabelFont);
    EXPECT_EQ(colour, 0x336699u);
    GpiThemeGetLabelFontArgs colourOnly = {m_PointsHandle, nullptr, &colour};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetLabelFont, &colourOnly), GPIERR_NoError);
}

TEST_F(GpiThemeOps, RasterImageForImageThemesOnly) {
    const std::uint32_t pixels[] = {0xFFFF0000u, 0xFF00FF00u, 0, 0xFF0000FFu, 0xFFFFFFFFu, 0};
    const GpiBitmap bitmap = {2, 2, 12, pixels};
    GpiThemeSetRasterImageArgs args = {m_PolygonsHandle, &bitmap, 0.0, 0.0, 20.0, 10.0, "made"};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeSetRasterImage, &args), GPIERR_UnexpectedShapeType);

    CTheme* image = m_Doc->CreateTheme("Image", SHT_Image);
    m_Doc->m_themes.push_back(image);
    args.theme = GpiThemeHandle(image);
    const GpiBitmap narrow = {2, 2, 4, pixels};
    for (const GpiBitmap* bad : {static_cast<const GpiBitmap*>(nullptr), &narrow}) {
        args.bitmap = bad;
        EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeSetRasterImage, &args), GPIERR_IllegalParameter);
    }
    EXPECT_NE(image->m_SourceType, static_cast<std::uint32_t>(ST_ExternalRaster));

    args.bitmap = &bitmap;
    ASSERT_EQ(GpiHostDispatch(GPIOP_ThemeSetRasterImage, &args), GPIERR_NoError);
    EXPECT_EQ(image->m_SourceType, static_cast<std::uint32_t>(ST_ExternalRaster));
    EXPECT_EQ(image->m_Bounds[2], 20.0);
    EXPECT_EQ(image->m_Bounds[3], 10.0);
}
