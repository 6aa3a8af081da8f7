#pragma once
// A workspace built in the test for the map view's tests: a document with
// themes of records made here, a view on it, and pixel helpers.

#include "core/Theme.h"
#include "settings/AppSettings.h"
#include "shapes/RecordFixtures.h"
#include "view/GeoView.h"
#include "view/GeoViewServices.h"
#include "view/MapImageOutput.h"
#include "view/ThemeDisplaySettings.h"
#include "workspace/CorvaleDoc.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// COLORREFs (red in the low byte) and the colours they draw.
constexpr std::uint32_t kRefRed = 0x0000FF;
constexpr std::uint32_t kRefGreen = 0x00FF00;
constexpr std::uint32_t kRefBlue = 0xFF0000;
constexpr std::uint32_t kRefWhite = 0xFFFFFF;
constexpr std::uint32_t kRefBlack = 0x000000;
constexpr std::uint32_t kRefYellow = 0x00FFFF;
constexpr std::uint32_t kRefMagenta = 0xFF00FF;

QColor Colour(std::uint32_t colorRef);

// A square ring from (x0, y0) to (x1, y1), clockwise as shape files keep
// outer rings.
Parts Square(double x0, double y0, double x1, double y1);

// The records stay alive as long as the workspace: themes of test records do
// not own them. Declared before the document, so they outlive its themes.
class TestWorkspace {
public:
    TestWorkspace();
    ~TestWorkspace();

    // A theme of the given kind appended to the document's list (so it lies
    // below the themes added before it), visible, styled with a solid
    // outline of width 0 and fill colour `colour` (polygons), line colour
    // `colour` (polylines) or the symbol 0 in `colour` (points).
    CTheme* AddPolygonTheme(const std::string& name, const std::vector<Parts>& shapes,
                            std::uint32_t colour, int fillPattern = 0);
    CTheme* AddPolylineTheme(const std::string& name, const std::vector<Parts>& shapes,
                             std::uint32_t colour);
    CTheme* AddPointTheme(const std::string& name, const std::vector<CShapePoint>& points,
                          std::uint32_t colour, int symbol = 0);
    // An editable native theme of the type (point types take the first point
    // of each shape) that owns copies of the records, with one text column
    // "ID" holding "s<k>" for shape k; styled as the other themes.
    CTheme* AddEditableTheme(const std::string& name, std::uint32_t type,
                             const std::vector<Parts>& shapes, std::uint32_t colour);
    // An image theme showing the bitmap over the rectangle.
    CTheme* AddImageTheme(const std::string& name, const QImage& bitmap, double x0, double y0,
                          double x1, double y1);
    // A record replaced behind the theme's back, as an edit does: the old
    // buffer is freed and the new one takes its place in every list.
    void ReplaceRecord(CTheme* theme, int position, const Parts& parts);

    // The extent (minX, minY, maxX, maxY).
    void SetExtent(double minX, double minY, double maxX, double maxY);

    // Labels of a theme: the settings the renderer reads for it.
    CThemeDisplaySettings& Display(CTheme* theme);

    std::vector<std::unique_ptr<Bytes>> records;
    std::unique_ptr<CCorvaleDoc> doc;

private:
    CTheme* Finish(CTheme* theme, std::uint32_t type, std::uint32_t colour);
    std::map<const CTheme*, CThemeDisplaySettings> m_Display;
};

// A view on the workspace, client size width x height, initialised.
std::unique_ptr<CGeoView> MakeView(TestWorkspace& workspace, int width = 100, int height = 100);

// Renders the workspace into an image of width x height through the view,
// with the extent as it stands and no aspect adjustment.
QImage RenderToImage(CGeoView& view, int width = 100, int height = 100);

int CountColour(const QImage& image, const QColor& colour, const QRect& area = QRect());

// Services that record what the view asked for.
class RecordingServices : public IGeoViewServices {
public:
    RecordingServices();
    ~RecordingServices() override;

    std::intptr_t SendLoaderCustomEvent(CCorvaleDoc& document, CTheme* theme,
                                        std::uint32_t code) override;
    void NotifyLoaderSelectionChanged(CCorvaleDoc& document, CTheme* theme) override;
    void ShowWorkspaceProperties(CCorvaleDoc& document, int page) override;
    void ShowTextInformation(QWidget* parent, const std::string& title,
                             const std::string& text) override;
    std::unique_ptr<IMapOverviewDialog> CreateMapOverviewDialog() override;
    bool ChooseMapImageKind(CGeoView& view, int& choice) override;
    bool EditMapSheetSettings(CGeoView& view, CMapSheetSettings& settings) override;
    bool CreateImageMap(CGeoView& view, const std::string& imagePath) override;
    void SetStatusCoordinates(double x, double y) override;
    void ShowContextMenu(CGeoView& view, unsigned menuId, const QPoint& screenPoint) override;

    int selectionNotifications = 0;
    std::vector<std::pair<CTheme*, std::uint32_t>> customEvents;
    std::vector<int> propertiesPages;
    std::vector<std::pair<std::string, std::string>> texts;
    // Save Map Image: the choices offered and the answers given (none:
    // Cancel).
    std::vector<int> kindQuestions;
    std::optional<int> kindAnswer;
    std::vector<CMapSheetSettings> sheetQuestions;
    std::optional<CMapSheetSettings> sheetAnswer;
    std::vector<std::string> imageMapImages;
    std::vector<std::pair<double, double>> statusCoordinates;
    // The menus the view asked to show.
    std::vector<unsigned> contextMenus;
    // The overview the view made, and what it was told.
    struct Overview {
        bool window = false;
        bool visible = false;
        int refreshes = 0;
        int creates = 0;
        int shows = 0;
    };
    std::shared_ptr<Overview> overview = std::make_shared<Overview>();
};
