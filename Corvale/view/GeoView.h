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

#include "workspace/CommandIds.h"
#include "formats/ClipboardFormats.h"
#include "framework/Document.h"
#include "geometry/ShapeMeasures.h"
#include "shapes/ShapeRecord.h"
#include "view/MapViewport.h"
#include "view/VertexMarkers.h"
#include "view/ViewTip.h"
#include "workspace/MapToolMode.h"

#include <QCursor>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCorvaleDoc;
class CTheme;
class IMapOverviewDialog;
class QMenu;
class QByteArray;
class QPrinter;
struct CMapSheetSettings;

// The view's context menus: the one over a vertex marker of the shape under
// edit, and the one everywhere else.
enum GeoViewMenuId : unsigned {
    IDR_GEOVIEW_GRABBER_MENU = 1257,
    IDR_GEOVIEW_MENU = 1186,
};

// Key flags of the mouse messages as plug-ins and the tools read them.
enum GeoViewKeyFlags : std::uint32_t {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010,
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
    // Print Preview: the page as it would print, in a window of its own.
    void OnFilePrintPreview();

    // ---- map images (GeoViewImages.cpp) ----

    // The Save Map Image command: one image through the file dialog, or a
    // grid of sheets.
    void OnSaveMapImage();
    // Saves the map as the view shows it, brought up to date first. An
    // empty format goes by the extension. Unless quiet, an empty window is
    // reported and the HTML image map is offered afterwards.
    bool SaveMapImage(const QByteArray& format, const std::string& path,
                      const std::uint32_t* transparentColour, bool quiet);
    // The sheets dialog, then the sheets.
    void SaveMultipleSheets();
    // Renders and writes every sheet of the settings over the document's
    // extent; the number of sheets that could not be written.
    int WriteMapSheets(const CMapSheetSettings& settings);

    // ---- document updates ----

    // The reaction to every update code of the document.
    virtual void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);
    // Builds the vertex markers of the active theme's one selected shape (or
    // of an image theme's selection area) while vertex mode is on; whether a
    // marker set exists afterwards.
    bool RebuildVertexMarkers();
    // A select click on an image theme that vectorizes: traces the region of
    // like colour under the map point and stores its outline as the theme's
    // selection area.
    void TraceImageRegion(CTheme* theme, const CShapePoint& mapPoint);
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

    // ---- mouse tools (GeoViewTools.cpp) ----
    //
    // The document's tool mode says what the mouse does; the view switches a
    // tool between its idle mode and its drag or draw mode as buttons go down
    // and up. Rubber figures are state of the view painted over the cached
    // map; each change is followed by update().

    // The mouse messages, client pixels and key flags (MK_*).
    void OnLButtonDown(std::uint32_t flags, const CDevicePoint& point);
    void OnLButtonUp(std::uint32_t flags, const CDevicePoint& point);
    void OnRButtonDown(std::uint32_t flags, const CDevicePoint& point);
    void OnMouseMove(std::uint32_t flags, const CDevicePoint& point);
    // One zoom step about the pointer (client pixels) when the setting
    // MouseWheelZoom is on; turns of less than a notch add up until they make
    // one. Answers the setting's value.
    int OnMouseWheel(int delta, const CDevicePoint& point);
    // Arrow keys move the map by a third of the window; Escape ends the
    // tool's drag. Answers whether the key was one of these.
    bool OnKeyDown(int key);
    // The client area became cx x cy: the map keeps its units per pixel.
    void OnSize(int cx, int cy);
    // The context menu at a client point (-1, -1 from the keyboard: none).
    void OnContextMenu(const CDevicePoint& point, const QPoint& screenPoint);
    // Builds the context menu of that resource with its items' states; the
    // caller owns it. Items run through the view and the document.
    QMenu* CreateContextMenu(unsigned menuId);
    void OnCopyCoordinate();
    void OnAddBookmark();
    // The measured ground length (measure line, or the radius of a selection
    // circle) in the status bar.
    void UpdateMeasureReadout();
    // The text UpdateMeasureReadout shows: "%f" of the length, or empty
    // outside the measure and circle tools.
    std::string GetMeasureText() const;
    // The cursor the tool shows at a client point.
    QCursor GetToolCursor(const CDevicePoint& point) const;

    // ---- drawing and vertex editing (GeoViewEditTools.cpp) ----
    //
    // The tools edit the active theme when it is editable. A vertex is held
    // by its shape index and vertex number (m_dragVertex), never by address,
    // so that a record replaced between press and release (by a plug-in, a
    // script, the coordinates pane) is looked up again, or found gone.

    // The snap mode of a mouse message's key flags: 2 for CTRL and SHIFT,
    // 1 for CTRL, 3 for SHIFT, 0 for neither.
    static int SnapMode(std::uint32_t flags);
    // Snaps a map point in place: to the document's grid when Autosnap is
    // on; then, given a theme, mode 1 takes the nearest vertex of that
    // theme's visible shapes, mode 3 of the other themes' (image themes
    // never), mode 2 of every theme's. The excluded shape gives no vertex,
    // and a candidate replaces the best so far only when strictly nearer.
    // Whether the point was snapped to the grid or to a vertex.
    bool SnapPoint(CShapePoint& point, int snapMode, CTheme* theme,
                   const CShapeRecord* excluded) const;
    // A left click of the draw tool: a point theme gets the point as a new
    // shape; a polyline or polygon theme's sketch gets it as a vertex.
    void AddSketchPoint(const CDevicePoint& point, int snapMode);
    // Adds the sketch as a new shape of the active theme and empties it.
    // A line without two different vertices, or a polygon without three, is
    // refused with a message and the sketch kept; false then.
    bool FinishSketchShape();
    // Split here: splits the one selected polyline at the vertex under the
    // context menu's point.
    void OnSplitHere();
    // Whether Split here can act: an editable polyline theme with one
    // selected shape in vertex mode, and a marker under the context point.
    bool CanSplitHere() const;

    // The map points the rubber lines of a vertex drag join (one: a point
    // shape; two: a line's end and its neighbour; three: the neighbours
    // around the vertex).
    std::vector<CShapePoint> m_dragNeighbours;
    // The pointer while a vertex is dragged; the rubber figure is shown once
    // the mouse has moved.
    CDevicePoint m_vertexDragPoint;
    bool m_vertexDragShown = false;
    // Where the button went down in the insert-vertex and split tools.
    CShapePoint m_editPressPoint;
    // The rubber line of those tools is shown while set.
    bool m_editLineShown = false;

    // Press point of the pan, zoom, rectangle and circle tools.
    CDevicePoint m_pressPoint;
    // The rubber rectangle (left, top, right, bottom) while one is shown.
    CDeviceRect m_dragRect;
    bool m_dragRectShown = false;
    // The rubber circle's rectangle while one is shown.
    bool m_dragCircleShown = false;
    // Client height / width when a zoom rectangle starts.
    float m_zoomAspect = 1.0f;
    // While panning: the picture is shown shifted by the pointer's offset
    // from the press point.
    bool m_panning = false;
    CDevicePoint m_panPoint;
    // A right click that finished a selection polygon opens no menu.
    bool m_suppressContextMenu = false;
    // Wheel turns that have not yet made a step.
    int m_wheelDelta = 0;
    // The tool the view last worked with; a command that picks another tool
    // leaves the old tool's figure behind, which the view then drops.
    std::uint32_t m_toolModeSeen = MT_Select;

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
    // The measure tool's ground distances, kept while the workspace's
    // reference system stays (made on first use).
    mutable std::unique_ptr<CGroundMeasure> m_groundMeasure;
    // The colour of the pixel a region trace started on.
    std::uint32_t m_traceSeedColour = 0;
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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

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
    void AddToolCommands();
    // Paints the tools' rubber figures and the shifted picture of a pan.
    void DrawToolOverlays(QPainter& dc);
    // The click selection of the select and vertex tools.
    void SelectByClick(std::uint32_t flags, const CDevicePoint& point);
    // The active theme's selection is cleared unless CTRL or SHIFT is held.
    void ClearSelectionUnlessKept(std::uint32_t flags);
    void FinishSelectionPolygon(std::uint32_t flags, const CDevicePoint& point);
    // Status-bar coordinates and the info tip for the pointer.
    void UpdatePointerFeedback(const CDevicePoint& point);
    void TraceMouse(const char* what, const CDevicePoint& point);
    // Drops the figure of a tool that a command has replaced.
    void SyncToolMode();
    // The map point of a client pixel through the last rendering's mapping.
    CShapePoint ClientToMap(const CDevicePoint& point) const;
    // A click on the marker of a vertex: the vertex events, and in the
    // adjust-vertex tool the start of its drag.
    void OnVertexClick(std::uint32_t flags, std::uint32_t vertex);
    // The end of a vertex drag at a client point: the vertex (and its ring
    // twin) moves there, snapped.
    void FinishVertexDrag(std::uint32_t flags, const CDevicePoint& point);
    void CancelVertexDrag();
    // Button down of the insert-vertex and split tools; false when the
    // active theme has no selected shape (the click selection runs then).
    bool BeginEditLine(const CDevicePoint& point, std::uint32_t dragMode);
    // Button up of those tools: the cut from the press point to here.
    void InsertVertexAlongLine(const CDevicePoint& point);
    void SplitAlongLine(const CDevicePoint& point);
    // Escape in the draw tool: the sketch loses its last vertex.
    void RemoveLastSketchPoint();
    // The rubber figure of a vertex drag, in the selection colours.
    void DrawVertexDrag(QPainter& dc);
    // Drops the figures of the editing tools (another tool was chosen).
    void ResetEditTools();

    bool m_initialised = false;
    std::uint32_t m_gpiHandle = 0;
};
