#include "ViewTestSupport.h"

#include "core/ColorRef.h"

#include <QApplication>
#include <QByteArray>

#include "OffscreenApplication.h"

#include <gtest/gtest.h>

namespace {

// One QApplication for the whole program, made before any test: the view
// is a widget. The offscreen platform keeps it off any display.
class WidgetApplicationEnvironment : public OffscreenApplication<QApplication> {
public:
    void TearDown() override {
        SetThemeDisplaySettingsProvider(nullptr);
        OffscreenApplication::TearDown();
    }
};

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new WidgetApplicationEnvironment);

class RecordingOverview : public IMapOverviewDialog {
public:
    explicit RecordingOverview(std::shared_ptr<RecordingServices::Overview> state)
        : m_State(std::move(state)) {}
    bool HasWindow() const override { return m_State->window; }
    bool IsVisible() const override { return m_State->visible; }
    void Create(CCorvaleDoc*, QWidget*) override {
        m_State->window = true;
        ++m_State->creates;
    }
    void Refresh() override { ++m_State->refreshes; }
    void SetViewRect(const double*) override {}
    void Show() override {
        m_State->visible = true;
        ++m_State->shows;
    }
    void Destroy() override { m_State->window = m_State->visible = false; }

private:
    std::shared_ptr<RecordingServices::Overview> m_State;
};

} // namespace

QColor Colour(std::uint32_t colorRef) {
    return ColorFromColorRef(colorRef);
}

Parts Square(double x0, double y0, double x1, double y1) {
    return {{{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}}};
}

TestWorkspace::TestWorkspace() : doc(std::make_unique<CCorvaleDoc>()) {
    doc->m_backgroundColor = kRefWhite;
    SetExtent(0.0, 0.0, 100.0, 100.0);
    SetThemeDisplaySettingsProvider([this](const CTheme& theme) {
        const auto it = m_Display.find(&theme);
        return it != m_Display.end() ? it->second : CThemeDisplaySettings();
    });
}

TestWorkspace::~TestWorkspace() {
    SetThemeDisplaySettingsProvider(nullptr);
    doc.reset();
}

void TestWorkspace::SetExtent(double minX, double minY, double maxX, double maxY) {
    doc->m_viewExtent[0] = minX;
    doc->m_viewExtent[1] = minY;
    doc->m_viewExtent[2] = maxX;
    doc->m_viewExtent[3] = maxY;
}

CThemeDisplaySettings& TestWorkspace::Display(CTheme* theme) {
    return m_Display[theme];
}

CTheme* TestWorkspace::Finish(CTheme* theme, std::uint32_t type, std::uint32_t colour) {
    theme->m_ShapeType = type;
    theme->m_SourceType = ST_Native;
    theme->m_Color = colour;
    theme->m_OutlineColor = colour;
    theme->m_LineWidth = 0;
    theme->m_PenStyle = 0;
    theme->ResetFilter();
    theme->UpdateStyles();
    doc->m_themes.push_back(theme);
    return theme;
}

CTheme* TestWorkspace::AddPolygonTheme(const std::string& name, const std::vector<Parts>& shapes,
                                       std::uint32_t colour, int fillPattern) {
    auto* theme = new CTheme;
    theme->m_Name = name;
    theme->m_ShapeType = SHT_Polygon;
    theme->m_FillPattern = fillPattern;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        records.push_back(std::make_unique<Bytes>(
            MakeMulti(SHT_Polygon, shapes[i], static_cast<std::uint32_t>(i + 1))));
        CTheme::ShapeCallback(theme, Rec(*records.back()), 0);
    }
    return Finish(theme, SHT_Polygon, colour);
}

CTheme* TestWorkspace::AddPolylineTheme(const std::string& name, const std::vector<Parts>& shapes,
                                        std::uint32_t colour) {
    auto* theme = new CTheme;
    theme->m_Name = name;
    theme->m_ShapeType = SHT_Polyline;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        records.push_back(std::make_unique<Bytes>(
            MakeMulti(SHT_Polyline, shapes[i], static_cast<std::uint32_t>(i + 1))));
        CTheme::ShapeCallback(theme, Rec(*records.back()), 0);
    }
    return Finish(theme, SHT_Polyline, colour);
}

CTheme* TestWorkspace::AddPointTheme(const std::string& name,
                                     const std::vector<CShapePoint>& points, std::uint32_t colour,
                                     int symbol) {
    auto* theme = new CTheme;
    theme->m_Name = name;
    theme->m_ShapeType = SHT_Point;
    theme->m_PointSymbol = symbol;
    for (std::size_t i = 0; i < points.size(); ++i) {
        records.push_back(std::make_unique<Bytes>(
            MakePoint(points[i].x, points[i].y, static_cast<std::uint32_t>(i + 1))));
        CTheme::ShapeCallback(theme, Rec(*records.back()), 0);
    }
    return Finish(theme, SHT_Point, colour);
}

CTheme* TestWorkspace::AddEditableTheme(const std::string& name, std::uint32_t type,
                                        const std::vector<Parts>& shapes, std::uint32_t colour) {
    auto* theme = new CTheme;
    theme->m_Name = name;
    theme->m_ShapeType = type;
    theme->ConvertToNative(true, true);
    CAttributeFieldInfo id;
    id.m_Name = "ID";
    id.m_Type = FT_String;
    id.m_Length = 10;
    theme->AddAttribute(id, nullptr, nullptr);
    const bool points = type == SHT_Point || type == SHT_PointZ;
    theme->ReserveShapes(static_cast<int>(shapes.size()));
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const Pt& p = shapes[i].front().front();
        Bytes record = points ? MakePoint(p.x, p.y) : MakeMulti(type, shapes[i]);
        CShapeRecord* added = theme->AddShape(Rec(record), false, false, false);
        // Straight into the row: looking the shape up by index each time
        // would make large themes slow to build.
        theme->m_NativeTable.GetRow(GetShapeRecordIndex(added))->SetValue(0, "s" + std::to_string(i));
    }
    theme->m_Modified = false;
    Finish(theme, type, colour);
    return theme;
}

CTheme* TestWorkspace::AddImageTheme(const std::string& name, const QImage& bitmap, double x0,
                                     double y0, double x1, double y1) {
    auto* theme = new CTheme;
    theme->m_Name = name;
    theme->m_ShapeType = SHT_Image;
    // A bitmap handed over by a plug-in: nothing is loaded from a file.
    theme->m_SourceType = ST_ExternalRaster;
    theme->m_Raster.m_DisplayBitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    theme->m_Bounds[0] = x0;
    theme->m_Bounds[1] = y0;
    theme->m_Bounds[2] = x1;
    theme->m_Bounds[3] = y1;
    theme->m_BoundsValid = true;
    doc->m_themes.push_back(theme);
    return theme;
}

void TestWorkspace::ReplaceRecord(CTheme* theme, int position, const Parts& parts) {
    CShapeRecord* old = theme->GetShape(position);
    const auto number = static_cast<std::uint32_t>(GetShapeRecordIndex(old) + 1);
    const std::uint32_t type = CShapeRecord::GetShapeType(old);
    auto fresh = std::make_unique<Bytes>(MakeMulti(type, parts, number));
    CShapeRecord* record = Rec(*fresh);
    for (auto* list :
         {&theme->m_Polygons, &theme->m_VisiblePolygons, &theme->m_Arcs, &theme->m_VisibleArcs})
        for (CShapeRecord*& entry : *list)
            if (entry == old)
                entry = record;
    for (auto& bytes : records)
        if (bytes && Rec(*bytes) == old)
            bytes = std::move(fresh);
}

std::unique_ptr<CGeoView> MakeView(TestWorkspace& workspace, int width, int height) {
    auto view = std::make_unique<CGeoView>(workspace.doc.get());
    view->resize(width, height);
    view->OnInitialUpdate();
    return view;
}

QImage RenderToImage(CGeoView& view, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter dc(&image);
    double extent[4];
    std::copy(view.GetDocument()->m_viewExtent, view.GetDocument()->m_viewExtent + 4, extent);
    view.RenderMap(dc, extent, false, false, CDeviceRect{0, 0, width, height});
    dc.end();
    return image;
}

int CountColour(const QImage& image, const QColor& colour, const QRect& area) {
    const QRect r = area.isNull() ? image.rect() : area.intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixelColor(x, y).rgb() == colour.rgb();
    return n;
}

RecordingServices::RecordingServices() {
    SetGeoViewServices(this);
}

RecordingServices::~RecordingServices() {
    SetGeoViewServices(nullptr);
}

std::intptr_t RecordingServices::SendLoaderCustomEvent(CCorvaleDoc&, CTheme* theme,
                                                       std::uint32_t code) {
    customEvents.emplace_back(theme, code);
    return 77;
}

void RecordingServices::NotifyLoaderSelectionChanged(CCorvaleDoc&, CTheme*) {
    ++selectionNotifications;
}

void RecordingServices::ShowWorkspaceProperties(CCorvaleDoc&, int page) {
    propertiesPages.push_back(page);
}

void RecordingServices::ShowTextInformation(QWidget*, const std::string& title,
                                            const std::string& text) {
    texts.emplace_back(title, text);
}

std::unique_ptr<IMapOverviewDialog> RecordingServices::CreateMapOverviewDialog() {
    return std::make_unique<RecordingOverview>(overview);
}

bool RecordingServices::ChooseMapImageKind(CGeoView&, int& choice) {
    kindQuestions.push_back(choice);
    if (!kindAnswer)
        return false;
    choice = *kindAnswer;
    return true;
}

bool RecordingServices::EditMapSheetSettings(CGeoView&, CMapSheetSettings& settings) {
    sheetQuestions.push_back(settings);
    if (!sheetAnswer)
        return false;
    const int clientWidth = settings.clientWidth;
    const int clientHeight = settings.clientHeight;
    settings = *sheetAnswer;
    settings.clientWidth = clientWidth;
    settings.clientHeight = clientHeight;
    return true;
}

bool RecordingServices::CreateImageMap(CGeoView&, const std::string& imagePath) {
    imageMapImages.push_back(imagePath);
    return false;
}

void RecordingServices::SetStatusCoordinates(double x, double y) {
    statusCoordinates.emplace_back(x, y);
}

void RecordingServices::ShowContextMenu(CGeoView&, unsigned menuId, const QPoint&) {
    contextMenus.push_back(menuId);
}
