#pragma once
// The map view of a workspace: a widget that shows the document's themes in
// its extent and takes the view's private messages and commands.
//
// The map is rendered into a cached picture only when something marked the
// cache dirty (InvalidateMap(true), the document's updates); every other
// paint copies the cache and paints the overlays over it: the outline of an
// image theme's selection area, the vertex markers, the bookmarks, the tool
// lines and the located-vertex cross. Nothing is ever drawn on the widget
// outside painting: an overlay is state of the view, changed and followed by
// update().
//
// The view works on its own (tests create it directly) and inside a
// multiple-document child window.

#include "framework/Document.h"
#include "shapes/ShapeRecord.h"
#include "view/MapViewport.h"
#include "view/VertexMarkers.h"
#include "view/ViewTip.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCorvaleDoc;
class CTheme;
class IMapOverviewDialog;
class QPrinter;
struct MapImageRequest;

// The view's commands.
enum GeoViewCommandId : unsigned {
    ID_VIEW_MAP_OVERVIEW = 32923,
    ID_VIEW_MAP_SIGNATURE = 33023,
    ID_VIEW_FIND_THEME = 32943,
    ID_VIEW_COPY_MAP_IMAGE = 33001,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
};

class CGeoView : public QWidget, public CView {
public:
    explicit CGeoView(CCorvaleDoc* document, QWidget* parent = nullptr);
    ~CGeoView() override;

    CGeoView(const CGeoView&) = delete;
    CGeoView& operator=(const CGeoView&) = delete;

    // The view's document; null once the document is gone.
    CCorvaleDoc* GetDocument() const;

    // ---- lifecycle ----

    // Subscribes to the document's updates, becomes its map view, registers
    // with the plug-in host, gives an empty extent a first value and makes
    // the tool tips. Called once, when the view is first shown.
    void OnInitialUpdate();
    // The view became (or stopped being) the active one.
    void OnActivateView(bool activate);

    // ---- drawing ----

    // Draws the workspace into the painter: the background (or, when
    // printing, the legend block), the themes in extent from the bottom of
    // the drawing order to the top, then the labels. extent (minX, minY,
    // maxX, maxY) is widened to the rectangle's proportions when
    // adjustAspect is set, and the document's extent follows on the screen.
    // The view's viewport is set to the rectangle and extent.
    void RenderMap(QPainter& dc, double extent[4], bool adjustAspect, bool drawEmptyText,
                   const CDeviceRect& rect);
    // Draws the map around (centerX, centerY), mapWidth x mapHeight map units
    // (both 0: at the current units per pixel), into width x height pixels
    // of the painter; the view's own viewport is kept.
    void RenderMapToDC(int width, int height, double centerX, double centerY, double mapWidth,
                       double mapHeight, QPainter& dc);
    // The same into a new image of the screen's depth; null for an empty size.
    QImage RenderMapImage(int width, int height, double centerX, double centerY, double mapWidth,
                          double mapHeight);
    // The map as it stands now, client-sized, without the overlays: the
    // cached picture, rendered first when it is dirty, so a copied or saved
    // image never shows an outdated workspace.
    QImage GetMapPicture();
    // true: render the map again at the next paint. false: repaint from the
    // cache, unless a render is pending already (a true flag stays).
    void InvalidateMap(bool dirty);
    // Map units per pixel of the last rendering.
    double GetUnitsPerPixel() const;

    // ---- printing ----

    // Prints the map on one page of the printer, with the legend block.
    void OnPrint(QPrinter& printer);
    // The Print command: the print dialog, then OnPrint.
    void OnFilePrint();
    // Quick Print: the default printer without asking.
    void OnFilePrintDirect();

    // ---- document updates ----

    // The reaction to every update code of the document.
    virtual void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);
    // Builds the vertex markers of the active theme's one selected shape (or
    // of an image theme's selection area) while vertex mode is on; whether a
    // marker set exists afterwards.
    bool RebuildVertexMarkers();
    // Flashes a cross through the vertex, moving the map there first when it
    // lies outside the window and AutoLocate is on.
    void LocateVertex(double x, double y);
    // Moves the map to the active point theme's one selected point when it
    // lies outside the window and AutoLocate is on.
    void LocateSelectedPoint();
    // Zooms so that the map shows the scale 1:N around the extent's centre.
    void ZoomToScale(double scale);

    // ---- messages and commands ----

    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    QObject* GetMessageObject() override { return this; }

    void OnMapOverview();
    void OnMapSignature();
    void OnFindTheme();
    void OnCopyMapImage();
    // "/<workspace path without .cvw>/iw<w>ih<h>x<cx>y<cy>w<width>h<height>.bmp"
    std::string GetMapSignature() const;
    // Sets the help hint from the state of the view and its tool, when the
    // setting DynamicHelpLevel is on.
    void UpdateHintTip();
    // The help hint's text for the present state; empty for none.
    std::string GetHintText() const;

    // ---- state ----

    CMapViewport m_viewport;
    // The rendered map; at least as large as the screen, so that growing the
    // window seldom needs a new one. Null until the first paint.
    QImage m_mapBitmap;
    bool m_mapDirty = true;
    // Renderings into the cache since the view was made.
    std::uint64_t m_renderCount = 0;
    CViewTip m_infoTip;
    CViewTip m_hintTip;
    // The markers of the shape under edit; null when there are none.
    std::unique_ptr<CVertexMarkerSet> m_vertexMarkers;
    // The vertex being dragged and its twin (the other end of a polygon
    // ring), by numbers (VertexMarkers.h).
    CVertexRef m_dragVertex;
    CVertexRef m_twinVertex;
    // Map points of the measure and selection-polygon line, and of the shape
    // being drawn.
    std::vector<CShapePoint> m_toolPoints;
    std::vector<CShapePoint> m_sketchPoints;
    // Client pixels where the tool line and the sketch line end.
    CDevicePoint m_lastMousePoint;
    CDevicePoint m_lastSketchMousePoint;
    std::unique_ptr<IMapOverviewDialog> m_overviewDialog;
    CDevicePoint m_contextPoint;
    QSize m_lastClientSize{-1, -1};
    // The printer while printing, else null.
    QPrinter* m_printInfo = nullptr;
    bool m_printing = false;
    // The last drawing showed an image theme's selection-area outline.
    bool m_selectionAreaShown = false;
    // The cross of LocateVertex, shown while set.
    bool m_locateCrossShown = false;
    CDevicePoint m_locatePoint;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The painting of the screen (the cache and the overlays) or, while
    // printing, of the printer page.
    void OnDraw(QPainter& dc);
    // Brings the cache up to the client size and renders it when dirty.
    void EnsureMapPicture();
    void DrawOverlays(QPainter& dc);
    // The outline of an image theme's selection area and the vertex markers.
    void DrawSelectionAreaAndMarkers(QPainter& dc);
    void DrawToolLine(QPainter& dc, const std::vector<CShapePoint>& points,
                      const CDevicePoint& lastMouse);
    void FireMapDrawn();
    void RefreshOverview();
    // Sets the document extent to the same size centred on (x, y).
    void CenterExtentOn(double x, double y);
    void GoToBookmark(std::intptr_t data);
    void ZoomToMakeVisible(CTheme* theme);
    // Draws the printed legend block and takes its room from the rectangle.
    void DrawPrintLegend(QPainter& dc, CDeviceRect& rect);
    // The client rectangle as device pixels.
    CDeviceRect ClientRect() const;
    void AddViewCommands();

    bool m_initialised = false;
    std::uint32_t m_gpiHandle = 0;
};
