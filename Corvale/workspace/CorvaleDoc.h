#pragma once
// One open workspace: its themes (owned, in drawing order), the map extent,
// the tool mode, the bookmarks, the reference system and the plug-in data.
// It carries the workspace's commands and announces every change through its
// update event.

#include "core/GpiDataBlock.h"
#include "framework/Document.h"
#include "workspace/BookmarkRecord.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/MapToolMode.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CConsoleDialog;
class CJSHandler;
class CDoubleRect;
class CLoaderPlugin;
class CShapeRecord;
class CTheme;

// Data of DUE_SaveMapImageToFile: the view saves its picture and writes the result.
struct CSaveMapImageRequest {
    std::string m_Path;
    // Zero: choose the image format by the file extension.
    unsigned char m_Encoder[16] = {};
    bool m_Silent = true;
    const std::uint32_t* m_Color = nullptr;
    bool m_Result = false;
};

class CCorvaleDoc : public CDocument {
public:
    CCorvaleDoc();
    ~CCorvaleDoc() override;

    // True when the document's own flag or any theme's modified flag is set.
    bool IsModified() override;
    void SetModifiedFlag(bool modified = true) override;
    bool OnNewDocument() override;
    // The first map view of the document is shown: makes sure the console
    // exists, then tells the plug-ins (GPIHOOK_ViewInitialized).
    void OnViewInitialUpdate();
    void OnCloseDocument() override;
    // Sets the document's flag when a theme was modified, so that closing asks
    // to save, then lets the frame close.
    bool CanCloseFrame() override;
    bool OnCmdMsg(unsigned id, CCmdUI* ui) override;

    // Notifies every subscriber in subscription order.
    void FireUpdateEvent(const void* sender, int code, std::intptr_t data);
    // The document's own subscription: passes active-theme and selection
    // changes on to the plug-ins.
    void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);
    // Asks the view to save the map picture silently; the view's answer.
    bool RequestSaveMapImage(const std::string& path, const std::uint32_t* color);

    std::vector<CTheme*> m_themes;
    // minX, minY, maxX, maxY.
    double m_viewExtent[4] = {0.0, 0.0, 0.0, 0.0};
    std::vector<GpiDataBlock> m_gpiDataBlocks;
    CDocumentUpdateEvent m_updateEvent;
    std::uint32_t m_toolMode = MT_Select;
    unsigned char m_vertexMode = 0;
    unsigned char m_showBoundingBoxes = 0;
    // The theme that the record callbacks of loading code append to; not owned.
    CTheme* m_loaderTargetTheme = nullptr;
    // Null when there is no theme or several themes are selected.
    CTheme* m_activeTheme = nullptr;
    // The attribute pane, which takes the table commands.
    CMessageWindow* m_commandWindow = nullptr;
    // The map view, which takes the view messages.
    CMessageWindow* m_mapView = nullptr;
    std::uint32_t m_openPropertiesFlag = 0;
    CMessageWindow* m_console = nullptr;
    // Console debug flags: 1 mouse, 2 loading, 4 plug-ins, 8 scripts.
    unsigned char m_debugFlags = 8;
    // From the settings' ColorBkgnd.
    std::uint32_t m_backgroundColor;
    // Index into the reference-system table; -1 for none.
    int m_refSystem = -1;
    // Radius in metres of the sphere on which ground distances and scales are measured.
    double m_earthRadius = 6361442.043;
    float m_vectorizationTolerance = 20.0f;
    float m_vectorizationResolution = 0.0390625f;
    std::string m_description;
    double m_gridSpacingX = 1.0;
    double m_gridSpacingY = 1.0;
    // Points entered by the drawing and vertex tools are snapped to the grid.
    unsigned char m_autoSnap = 0;
    // Rounds x and y to the nearest multiple of the grid spacing on their
    // axis (halves away from minus infinity); false, point unchanged, when a
    // spacing is not positive.
    bool SnapPointToGrid(double& x, double& y) const;
    int m_viewCount = 0;
    // Themes selected in the legend; not owned.
    std::vector<CTheme*> m_selectedThemes;
    std::vector<CBookmarkRecord*> m_bookmarks;
    int m_nextBookmarkNumber = 1;

    // ---- Extent and zoom (DocExtent.cpp) ----
    //
    // Extents taken from themes are the union of their bounds; afterwards an
    // extent of zero width or height is widened by 5.0 map units on every
    // side, and when nothing contributed the previous extent stays (widened
    // by the same rule). Only CenterMap fires an event; the commands fire
    // DUE_ExtentChanged after the operation.

    // The extent becomes the theme's bounds, or with null the union of the
    // visible themes with valid bounds (a hidden theme counts when it is the
    // workspace's only theme).
    void ZoomToFullExtent(CTheme* theme);
    // The union of the selected themes that are visible and have valid bounds.
    void ZoomToSelectedThemes();
    // The box of the theme's selected shapes that are not filtered out: points
    // by their coordinates, other shapes by their record boxes. Nothing
    // happens without a theme.
    void GetSelectionExtent(CTheme* theme);
    // The union of every theme with valid bounds, visible or not, into rect
    // (minX, minY, maxX, maxY), which keeps its values when no theme has any.
    void GetThemesExtent(double rect[4]) const;
    // Stores the extent and updates the map scale.
    void SetViewExtent(const double rect[4]);
    // Moves the extent so that its centre is (x, y), keeping its width and
    // height, and fires DUE_ExtentChanged.
    void CenterMap(double x, double y);
    // Centres the map on the centre of the active theme's shape at a visible
    // position; nothing for a position without a shape or a centre.
    void CenterMapOnShape(int position);
    // Computes the 1:N scale of the map view's picture, keeps it in
    // m_mapScale and shows it in the main frame. Nothing without a map view.
    void UpdateMapScale();

    // What the map scale needs of the view: the horizontal dots per inch of
    // its screen and its client width in pixels. The view sets it together
    // with m_mapView; it answers false when it cannot tell.
    std::function<bool(double& dotsPerInch, int& clientWidth)> m_mapViewMetrics;
    // The scale N of the last UpdateMapScale that could compute one; 0 before.
    double m_mapScale = 0.0;

    // ---- end of extent and zoom ----

    // ---- Selections of the map view's tools, bookmarks (DocSelection.cpp) ----
    //
    // Entries take ColorSelection and the width 3 for point themes, else the
    // theme's line width. Each operation posts WM_THEME_SELECTION_CHANGED to
    // the map view; nothing happens without an active theme.

    // Removes the shape from the active theme's selection when it is
    // selected, else adds it at the position; fires DUE_SelectionChanged
    // with its shape index.
    void ToggleShapeSelection(CShapeRecord* record, int position);
    // Add the visible shapes of the active theme that the rectangle (map
    // units, any corner order), the circle or the polygon selects; they never
    // clear and fire no event: the caller announces the change.
    void SelectByRectangle(const CDoubleRect& rect);
    void SelectByCircle(double x, double y, double radius);
    void SelectByPolygon(const CShapeRecord* polygon);
    // Appends the bookmark "BM <n>" at the point, marks the workspace
    // modified and fires DUE_BookmarksChanged.
    void AddBookmark(double x, double y, double unitsPerPixel);

    // ---- end of selections of the map view's tools ----

    // ---- Themes selected in the legend (DocThemeSelection.cpp) ----
    //
    // m_selectedThemes holds no theme twice, and every operation here keeps
    // m_activeTheme the only selected theme when exactly one is selected,
    // null otherwise. Only the operations that say so fire an event.

    // Adds the theme (when absent) or removes it (when present); no event.
    void SetThemeSelected(CTheme* theme, bool selected);
    bool IsThemeSelected(const CTheme* theme) const;
    // No theme selected, no active theme; no event.
    void ClearThemeSelection();
    // The themes that were not selected become the selection, in theme-list
    // order; fires DUE_ActiveThemeChanged with the active theme.
    void InvertThemeSelection();
    // Every theme the predicate accepts becomes the selection, in theme-list
    // order; fires DUE_ActiveThemeChanged with the active theme.
    void SelectThemesMatching(const std::function<bool(const CTheme&)>& predicate);
    // Reverses the drawing order; fires DUE_ThemeOrderChanged (data 0).
    void ReverseThemeOrder();
    // The map view's units per pixel (asked with WM_GET_UNITS_PER_PIXEL);
    // 0 without a map view.
    double GetUnitsPerPixel();

    // ---- end of themes selected in the legend ----

    // ---- The theme list (DocThemeList.cpp) ----

    // A new theme of that name and shape type with the settings' default
    // and outline colours, visible, of no source yet; not in the document.
    CTheme* CreateTheme(const std::string& name, std::uint32_t shapeType);
    // Puts a new theme in place, at the end when LoadToBottom is set and
    // forceTop clear, else at the front, and tells the plug-ins. No update
    // event; the document is not marked modified. Nothing for null.
    void AddTheme(CTheme* theme, bool forceTop = false);
    // Removes and deletes a theme of the document. False, with nothing
    // changed, when the document has no themes or other themes are made
    // from this one. Fires DUE_ThemeRemoved while the theme still exists,
    // then DUE_ActiveThemeChanged; the plug-ins hear of the removal and the
    // theme's handle goes.
    bool RemoveTheme(CTheme* theme);
    // A theme of the source's selected shapes, in shape-index order, that
    // refers to the source's records (or its parent's, for a source that is
    // itself made from a selection); named name, or "From: " + the source's
    // name for null. Added as AddTheme does, with DUE_ThemeAdded. Null for a
    // null source or a source of no point, polyline or polygon kind.
    CTheme* NewThemeFromSelection(CTheme* source, const char* name, bool quiet);

    // ---- end of the theme list ----

    // ---- Opening files as themes (DocOpenFiles.cpp) ----
    //
    // New themes take ColorDefault, ColorOutline and ThemesVisible from the
    // settings and go to the end of m_themes (drawn underneath) when
    // LoadToBottom is on, else to the front; the plug-ins hear of each one
    // (GPI hook theme added) and DUE_ThemeAdded is fired. The first theme of a
    // workspace zooms the extent to it. Every file opened becomes the newest
    // entry of the recent shape files. A theme is announced once its file is
    // read whole, so that no plug-in hears of a theme that is then dropped.

    // Opens a .shp with the .shx and .dbf beside it as a new theme; null when
    // the .shp is missing, cannot be read, is damaged or holds a type the
    // program does not handle (the last two shown as an error box when
    // showErrors is set, as is a .dbf that cannot be read; the theme is then
    // kept without attributes). The theme stays m_loaderTargetTheme.
    CTheme* LoadShapeFile(const std::string& path, bool showErrors);
    // Opens an image, placed by its world file, as a new theme; an image that
    // cannot be loaded gives an error box and null. An image without a world
    // file opens the georeferencing dialog.
    CTheme* LoadRasterFile(const std::string& path);
    // Opens a shape file or an image (by name), or hands a file of a type a
    // plug-in registered to that plug-in, for the command line, the console,
    // scripts and folder scans; true when a theme came of it or a plug-in
    // took the file. A file of another kind gives an error box when
    // showErrors is set.
    bool OpenDataFile(const std::string& path, bool showErrors);
    // Hands the file to the plug-in whose registered file type matches its
    // name and adds it to the recent files; false when no type matches.
    bool OpenPluginFile(const std::string& path);
    // Opens every "*.shp" directly in the folder, then scans the subfolders
    // the same way, depth first; a folder reached again through a link is
    // not scanned twice. Always true.
    bool LoadShapeFolder(const std::string& folder, bool showErrors);
    // The record callback of shape-file walks and loader plug-ins: hands the
    // record to m_loaderTargetTheme (CTheme::ShapeCallback); false for a null
    // record, a type the program does not handle, or no target theme.
    static bool ShapeCallback(void* document, CShapeRecord* record, std::intptr_t userData);
    // Whether the file name matches a file type of the image decoders.
    static bool IsImageFileName(const std::string& path);
    // Writes one line to the workspace's console; lines go nowhere while the
    // workspace has no console open (printLine of the console services).
    // Virtual so that tests can read the lines.
    virtual void PrintConsoleLine(const std::string& text);

    // ---- end of opening files as themes ----

    // ---- Themes from loader plug-ins (DocLoaders.cpp) ----
    //
    // A loader plug-in (core/LoaderPlugin.h) is bound and asked for every
    // theme it offers: for points, polylines and polygons in that order, as
    // many themes as it counts for the type. Each theme owns a binding of its
    // own. A failing theme gives an error box and stops the load; themes
    // already loaded stay. Records a loader hands over are checked first; a
    // damaged one fails its theme.

    // Command 20000-20100: the n-th loader of the main frame's list.
    void OnAddFromDataSource(unsigned id);
    // Loads every theme of the loader module at path; the number of themes added.
    int AddFromDataSource(const std::string& path);
    // WM_LOADER_CUSTOM_EVENT: hands the code to the theme's loader, whose
    // records come back through LoaderHostAddEventShape; the loader's answer,
    // 0 for a theme that is not a bound loader theme of this document.
    std::intptr_t SendLoaderCustomEvent(CTheme* theme, std::uint32_t code);
    // WM_THEME_SELECTION_CHANGED: tells the loader of a loader theme.
    void NotifyLoaderSelectionChanged(CTheme* theme);
    // Points the callbacks of every loader theme's binding at this document
    // (after a workspace is read).
    void AttachLoaderCallbacks();
    // Fills a binding's callbacks with this document's slots.
    void SetLoaderCallbacks(CLoaderPlugin& loader, bool duringEvent);

    // ---- end of themes from loader plug-ins ----

    // ---- The console (made by Corvale/scripting) ----
    //
    // The console window and its commands sit above the document, so the
    // scripting library installs what the document needs of them
    // (CDocumentConsoleServices, below) once the main window exists. The
    // console is kept in m_console and deleted with the document.

    // The document's console, made on first use with its commands registered,
    // and given the current colour scheme on every call; null while no
    // console services are installed.
    CConsoleDialog* GetConsole();
    // Compiles a script file for a plug-in without running it; the caller
    // owns the handler. Null when the file cannot be read, does not compile
    // or the script engine is missing (the reason goes to the console, which
    // is then shown), or while no console services are installed.
    CJSHandler* LoadJavaScript(const std::string& path);
    // Runs a script or command file through the console's run command; its
    // answer is printed on the console, which is shown when the run fails.
    // Nothing while no console services are installed.
    void RunScript(const std::string& path);

    // ---- end of the console ----

    // ---- Workspace file (DocSerialize.cpp) ----
    //
    // The layout of the .cvw file is in workspace/WorkspaceFile.h. Reading
    // takes a file's themes and settings only when all of it reads: a damaged
    // or newer file throws CArchiveException and leaves the document as it
    // was, with no theme of the file kept.

    // Stores the workspace (version 7), or reads one, by the archive's
    // direction. Reading registers the document with the plug-in host,
    // appends the file's themes to m_themes, makes the first of them the
    // active theme and resets the tool mode; a file of a newer version shows
    // "The document you tried to load was created by a newer version of
    // Corvale..." and throws (bad schema).
    void Serialize(CArchive& archive) override;
    // Opens a workspace file into this document, which should be new: on
    // success shows the reference system in the status bar, fires
    // DUE_ActiveThemeChanged, updates the map scale, asks the views to show
    // the workspace properties when the file says so, takes the path and
    // clears the modified flag. A file that cannot be read or does not read
    // whole is reported in an error box and changes nothing; false then.
    bool OpenWorkspace(const std::string& path);
    // Saves the workspace to the path: the file is written under a temporary
    // name and replaces the old one only when complete. On success the path
    // is taken and the document is no longer modified; a failure is reported
    // in an error box, leaves any file at the path as it was and keeps the
    // document modified; false then.
    bool SaveWorkspace(const std::string& path);
    // Import From Workspace File (ID_FILE_IMPORT_WORKSPACE, 33028): asks for
    // a .cvw file and adds its themes to this workspace, at the end when
    // LoadToBottom is set, else at the front, in stored order.
    void OnImportFromWorkspaceFile();
    // The folder of the workspace file being read by OpenWorkspace; relative
    // theme paths in the file are found there.
    std::string m_readingFolder;
    // Registers the workspace-file commands; the constructor calls it.
    void AddWorkspaceFileCommands();

    // ---- end of workspace file ----

    // ---- Workspace properties and transform (DocWorkspaceProperties.cpp) ----

    // Opens the Workspace Properties dialog on a tab (0 General .. 3
    // Comment); on OK stores the values, shows the reference system in the
    // status bar, fires DUE_WorkspacePropertiesChanged, updates the map scale
    // and marks the workspace modified. Nothing without the dialog service.
    void ShowWorkspaceProperties(int page);
    // Transform over the selected themes: one image theme alone goes to the
    // image georeferencing dialog, editable vector themes alone to the
    // reprojection dialog; any other mix is refused with a message.
    void OnTransformThemes();
    void OnUpdateTransformThemes(CCmdUI& ui);
    // Workspace Properties on the General tab.
    void OnWorkspaceProperties();
    void OnUpdateWorkspaceProperties(CCmdUI& ui);
    // The message of a selection that cannot be transformed.
    static const char* const kTransformMixMessage;
    void AddWorkspacePropertiesCommands();

    // ---- end of workspace properties and transform ----

    // ---- Edit commands (DocEditCommands.cpp) ----
    //
    // Copy, Cut, Paste, Delete, Copy as GeoJSON, Copy as WKT, Multi-Edit and
    // the moves of the selection to the top or bottom of the drawing order,
    // all on the active theme; each command does nothing without one.

    // The active theme has a selected shape or a selection outline.
    bool ActiveThemeHasSelection() const;
    // ... and is editable and has no themes made from it (which point at its
    // records): Cut and Delete may take the shapes away.
    bool ActiveThemeCanDeleteSelection() const;
    // The active theme has a selected shape, is editable and has no
    // filtered-out shape.
    bool CanMoveSelectionInZOrder() const;
    // Exactly one shape of the active theme is selected and shown (Shape
    // Data).
    bool HasOneSelectedShape() const;
    // The active theme's selection on the clipboard in the program's shape
    // format with the attribute text (an image theme's only with a selection
    // outline); false when nothing was placed.
    bool CopySelectionToClipboard();
    // What Delete says, changing nothing, while vertex mode is on.
    static const char* const kDeleteInVertexModeMessage;
    void AddEditCommands();
    // Edit command handlers (DocEditCommands.cpp).
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI& ui);
    void OnEditCut();
    void OnUpdateEditCut(CCmdUI& ui);
    void OnEditPaste();
    void OnUpdateEditPaste(CCmdUI& ui);
    void OnEditDelete();
    void OnUpdateEditDelete(CCmdUI& ui);
    void OnCopyAsGeoJson();
    void OnUpdateCopyAsGeoJson(CCmdUI& ui);
    void OnCopyAsWkt();
    void OnUpdateCopyAsWkt(CCmdUI& ui);
    void OnMultiEdit();
    void OnUpdateMultiEdit(CCmdUI& ui);
    void OnShapeData();
    void OnUpdateShapeData(CCmdUI& ui);
    // Bring to Top and Send to Bottom, told apart by the id.
    void OnMoveSelectionInZOrder(unsigned id);
    void OnUpdateMoveSelectionInZOrder(CCmdUI& ui);
    // Merge, split, part joining, duplicate removal, reversal and grid
    // snapping of the active theme's selected shapes (DocGeometryCommands.cpp).
    void AddGeometryCommands();
    // Geometry command handlers (DocGeometryCommands.cpp).
    void OnMergeToCopy();
    void OnUpdateMergeToCopy(CCmdUI& ui);
    void OnSplitToCopies();
    void OnUpdateSplitToCopies(CCmdUI& ui);
    void OnSimplifyParts();
    void OnUpdateSimplifyParts(CCmdUI& ui);
    void OnRemoveDuplicateVertices();
    void OnUpdateRemoveDuplicateVertices(CCmdUI& ui);
    void OnReverseCoordinates();
    void OnUpdateReverseCoordinates(CCmdUI& ui);
    void OnSnapToGrid();
    void OnUpdateSnapToGrid(CCmdUI& ui);
    // Toggles m_autoSnap; its update handler clears it while no theme is editable.
    void OnAutoSnap();
    void OnUpdateAutoSnap(CCmdUI& ui);

    // ---- end of edit commands ----

    // ---- Derived geometry (DocDerivedGeometryCommands.cpp) ----
    //
    // New native themes made from the active theme's shapes, which stay as
    // they were (but for the node columns End Points may write). Each new
    // theme goes into the document by LoadToBottom, the plug-ins hear of it
    // and DUE_ThemeAdded is fired; the commands ask their questions first
    // and these do the work, "Working..." and the wait cursor meanwhile.

    // A point theme "End points of " + the source's name holding one point
    // per distinct end point of the source's visible polylines, in
    // ascending x, then y, each numbered in NodeId: numbers are handed out
    // from firstNode in the order the points are met, a polyline's start
    // before its end; equal means exactly equal. With writeNodes the numbers
    // of each polyline's start and end go into its FNODE and TNODE columns,
    // which are added when the source has none of those names and reused
    // when it has. Null without visible polylines.
    CTheme* CreateEndPointTheme(CTheme* source, bool writeNodes, int firstNode);
    // A point theme "Unnamed" with the point halfway along the longest part
    // of each visible polyline, with the polyline's values in copies of its
    // columns when copyAttributes is set. A polyline without length gets no
    // point; their number comes back in withoutMidPoint. Null without
    // visible polylines.
    CTheme* CreateMidPointTheme(CTheme* source, bool copyAttributes, int& withoutMidPoint);
    // A polyline theme "Unnamed" (PolylineZ for a Z source) with the rings
    // of each visible polygon as the parts of one polyline, still closed,
    // with the polygon's values in copies of its columns. Null without
    // visible polygons.
    CTheme* CreateOutlineTheme(CTheme* source);
    // Places one polyline through the active point theme's selected visible
    // shapes, in shape-index order, on the clipboard: the shape block with
    // the theme's columns and the values of the first of them, and those
    // values as text (shown columns only). False, clipboard untouched, when
    // fewer than two points are there or the clipboard cannot be had.
    bool PlacePolylineThroughSelectedPoints();
    // Lists a new theme's records as visible, decides its styles and puts it
    // in the document, announced.
    void FinishDerivedTheme(CTheme* theme);
    void AddDerivedGeometryCommands();
    // Derived geometry command handlers (DocDerivedGeometryCommands.cpp).
    // The active theme has a visible polyline.
    bool ActiveThemeHasPolylines() const;
    void OnEndPoints();
    // End Points and Mid Points.
    void OnUpdatePolylineDerivation(CCmdUI& ui);
    void OnMidPoints();
    void OnPolygonOutline();
    void OnUpdatePolygonOutline(CCmdUI& ui);
    void OnCreatePolylineOnClipboard();
    void OnUpdateCreatePolyline(CCmdUI& ui);

    // ---- end of derived geometry ----
    // ---- Export (DocExport.cpp) ----
    //
    // The themes selected in the legend are written as shape files, GPX, XML
    // or tab-separated tables, through an exporter plug-in or a plug-in export
    // tool; one image theme alone is saved as an image file. Every file is
    // written beside its target under a temporary name and replaces it only
    // when complete, so an export that fails or is cancelled never costs the
    // file that was there. What the command needs of the frame and of its
    // dialogs comes from CDocumentExportServices (workspace/DocExport.h).

    // Export Theme (ID_THEME_EXPORT).
    void OnExportTheme();
    // Enabled with a selection of vector themes only, or of one image theme
    // that holds a raster.
    void OnUpdateExportTheme(CCmdUI& ui);
    // Whether the filtered-out shapes of the theme are exported too: IDYES at
    // once when it has none, else the answer (IDYES, IDNO or IDCANCEL).
    int AskExportFilteredShapes(CTheme* theme);
    // The formats, each over the selected themes in order.
    void ExportAsShapeFiles();
    void ExportAsGpx();
    void ExportAsXml();
    void ExportAsTable();
    void AddExportCommands();

    // ---- end of export ----
    // ---- Selection commands (DocSelectionCommands.cpp) ----
    //
    // The selection, filter and z-order commands of the active theme; none
    // touches another theme. Entries take ColorSelection and the width rule
    // of the map view's selections.

    // Adds the shape (by its record number) to the active theme's selection
    // unless selected, posts WM_THEME_SELECTION_CHANGED and hands the shape to
    // the attribute list builder when it is shown. No update event.
    void AddShapeToSelection(CShapeRecord* record, int position);
    // The active theme's selection becomes its polylines or polygons of more
    // than one part (width 3); other themes end with none. Fires
    // DUE_SelectionChanged (several).
    void SelectMultipartShapes();
    // Clears the active theme's selection, selects what meets any of the
    // polygons and fires DUE_SelectionChanged (several).
    void SelectIntersectingPolygons(const std::vector<const CShapeRecord*>& polygons);
    // Adds the active theme's visible shapes whose parts have a vertex count
    // c with c < n (comparison 0), c = n (1) or c > n (2): for every part
    // (partRule 1) or for at least one (0). A point is one part of one
    // vertex. Answers the number of shapes that matched, each counted once;
    // -1 without an active theme. No event.
    int SelectByPointCount(int partRule, int comparison, int count);
    // The box of the active theme's selected visible shapes (minX, minY,
    // maxX, maxY); false when there is none.
    bool GetSelectionBounds(double rect[4]);
    // The text Selection Bounds shows for a box.
    static std::string FormatSelectionBounds(const double rect[4]);
    void AddSelectionCommands();
    // Selection command handlers (DocSelectionCommands.cpp). The first two
    // update handlers serve every command that needs only an active theme,
    // or an active theme with a selection.
    void OnUpdateHasActiveTheme(CCmdUI& ui);
    void OnUpdateHasSelection(CCmdUI& ui);
    void OnBuildAttributeList();
    void OnUpdateBuildAttributeList(CCmdUI& ui);
    void OnFilterSelection();
    void OnRemoveFilter();
    void OnUpdateRemoveFilter(CCmdUI& ui);
    void OnInvertFilter();
    void OnInvertSelection();
    void OnSelectAll();
    void OnClearSelection();
    void OnUpdateClearSelection(CCmdUI& ui);
    void OnSelectMultipart();
    void OnSelectByClipboardPolygons();
    void OnUpdateSelectByClipboardPolygons(CCmdUI& ui);
    void OnSelectionBounds();
    void OnUpdateSelectionBounds(CCmdUI& ui);
    // The dialog's rule is kept between uses, for every workspace.
    void OnPointCountSelection();
    void OnUpdatePointCountSelection(CCmdUI& ui);

    // ---- end of selection commands ----

    // ---- Theme management commands (DocThemeCommands.cpp) ----

    // Removes the selected themes in passes, a theme only once no other
    // theme is made from it, so that a child selected with its parent goes
    // first. Asks before removing modified themes (false when the user says
    // No); the themes left are reported by count. True when it ran.
    bool RemoveSelectedThemes();
    // Converts every selected theme to an editable native theme; one message
    // when any fails. Answers whether all converted.
    bool EnableEditing();
    // Copies the base drawing style of source to every other selected theme.
    void CopyStyleFrom(CTheme* source);
    // Vertex mode off, and a drawing or vertex tool back to Select.
    void ResetEditState();
    void AddThemeCommands();
    // Theme management command handlers (DocThemeCommands.cpp); Properties
    // takes OnUpdateHasActiveTheme.
    void OnRemoveThemes();
    void OnUpdateRemoveThemes(CCmdUI& ui);
    void OnShowTheme();
    void OnUpdateShowTheme(CCmdUI& ui);
    void OnThemeProperties();
    void OnHideAllThemes();
    void OnUpdateHideAllThemes(CCmdUI& ui);
    void OnShowAllThemes();
    void OnUpdateShowAllThemes(CCmdUI& ui);
    void OnAttributeManager();
    void OnUpdateAttributeManager(CCmdUI& ui);
    void OnEnableEditing();
    void OnUpdateEnableEditing(CCmdUI& ui);
    void OnInfoTips();
    void OnUpdateInfoTips(CCmdUI& ui);
    void OnCopyStyleFrom();
    void OnUpdateCopyStyleFrom(CCmdUI& ui);

    // ---- end of theme management commands ----

    // ---- New themes (DocNewThemeCommands.cpp) ----

    // base, or base followed by " (2)", " (3)" ... when a theme has that
    // name (compared exactly).
    std::string UniqueThemeName(const std::string& base) const;
    // An empty editable native theme, inserted by LoadToBottom and announced
    // with DUE_ThemeAdded; the document is marked modified. With ask set
    // the field definitions (no values) of source are copied, or, without a
    // source, the user is asked for one. Null when it cannot be made.
    CTheme* NewTheme(CTheme* source, const std::string& name, std::uint32_t shapeType, bool ask);
    // A native polygon theme "Bounds from: " + name of one box polygon per
    // visible shape of source, in visible order, with the shape's attribute
    // values. A shape whose box is a single point gets no polygon; their
    // number is reported. Null for a source of no point, polyline or polygon
    // kind.
    CTheme* NewThemeFromBoundingBoxes(CTheme* source);
    void AddNewThemeCommands();
    // New theme command handlers (DocNewThemeCommands.cpp).
    void OnNewPointTheme();
    void OnNewPolylineTheme();
    void OnNewPolygonTheme();
    // New Points, New Polylines and New Polygons.
    void OnUpdateNewTheme(CCmdUI& ui);
    void OnNewThemeFromSelection();
    void OnUpdateNewThemeFromSelection(CCmdUI& ui);
    void OnNewThemeFromBoundingBoxes();
    void OnUpdateNewThemeFromBoundingBoxes(CCmdUI& ui);

    // ---- end of new themes ----

    // ---- Voronoi polygons (DocVoronoiCommand.cpp) ----

    // A native polygon theme "Voronoi Polygons" of one cell per distinct
    // location of source's visible points, bounded by the map view's extent
    // widened to the points, each cell with the attribute values of its
    // point (the last one in visible order at a location). Added as new
    // themes are, with DUE_ThemeAdded. Cells that cannot be built are left
    // out and their number reported; null, after an error message, when the
    // diagram cannot be computed, and null for a source without visible
    // points.
    CTheme* CreateVoronoiPolygons(CTheme* source);
    void AddVoronoiCommands();
    // Voronoi command handlers (DocVoronoiCommand.cpp).
    void OnVoronoiPolygons();
    void OnUpdateVoronoiPolygons(CCmdUI& ui);

    // ---- end of Voronoi polygons ----

private:
    void SetToolMode(std::uint32_t mode) { m_toolMode = mode; }
    // Whether the active theme exists and may be edited.
    bool ActiveThemeEditable() const;
    void AddToolCommands();
    // Tool command handlers (CorvaleDoc.cpp). The navigation tools (Select,
    // the selection shapes, Pan, Zoom In, Zoom Out, Measure) share a handler
    // that picks the tool by the command id.
    void OnNavigationTool(unsigned id);
    void OnUpdateNavigationTool(CCmdUI& ui);
    void OnToolDrawNew();
    void OnUpdateToolDrawNew(CCmdUI& ui);
    void OnToolAdjustVertex();
    void OnUpdateToolAdjustVertex(CCmdUI& ui);
    void OnToolNewVertex();
    void OnUpdateToolNewVertex(CCmdUI& ui);
    void OnToolSplitPolyline();
    void OnUpdateToolSplitPolyline(CCmdUI& ui);
    void OnVertexMode();
    void OnUpdateVertexMode(CCmdUI& ui);
    void OnBoundingBoxes();
    void OnUpdateBoundingBoxes(CCmdUI& ui);
    // Save Map Image, whose work the map view does.
    void OnSaveMapImage();
    // Find, Query and Go To, sent on to the command window
    // (DocTableCommands.cpp).
    void AddTableCommands();
    // Table command handlers (DocTableCommands.cpp): Find, Query and Go To
    // share the handler; Find also needs the attribute pane shown.
    void OnTableCommand(unsigned id);
    void OnUpdateTableFind(CCmdUI& ui);
    void OnUpdateTableCommand(CCmdUI& ui);
    // The console, script template and user-script commands, and the
    // commands whose work belongs to the attribute pane or the map view
    // (DocConsoleCommands.cpp).
    void AddConsoleCommands();
    void AddForwardedCommands();
    // Console and forwarded command handlers (DocConsoleCommands.cpp).
    void OnViewConsole();
    void OnUpdateViewConsole(CCmdUI& ui);
    void OnScriptFromTemplate();
    void OnUpdateScriptFromTemplate(CCmdUI& ui);
    // Every column and table statistics command; the attribute pane decides.
    void OnUpdateColumnCommand(CCmdUI& ui);
    void OnColumnStatistics(unsigned id);
    void OnColumnSort(unsigned id);
    void OnColumnValues(unsigned id);
    void OnTableStatistics(unsigned id);
    void OnMapViewCommand(unsigned id);
    void OnUpdateMapViewCommand(CCmdUI& ui);
    void OnVectorizationParameters();
    void OnUpdateVectorizationParameters(CCmdUI& ui);
    // Set while a statistics command is with the command window, one flag a
    // command, so that a window routing it back cannot start a loop.
    bool m_forwardingStatistic[7] = {};

    // ---- Extent, zoom and file commands (DocExtent.cpp, DocOpenFiles.cpp) ----
    void AddExtentCommands();
    // Extent and zoom command handlers (DocExtent.cpp).
    void OnZoomToFullExtent();
    void OnUpdateZoomToFullExtent(CCmdUI& ui);
    void OnZoomToTheme();
    void OnUpdateZoomToTheme(CCmdUI& ui);
    void OnZoomToSelection();
    void OnUpdateZoomToSelection(CCmdUI& ui);
    void OnZoomToMakeVisible();
    void OnUpdateZoomToMakeVisible(CCmdUI& ui);
    void OnCenterMap();
    void OnUpdateCenterMap(CCmdUI& ui);
    void OnEditViewRectangle();
    void OnUpdateEditViewRectangle(CCmdUI& ui);
    void AddOpenFileCommands();
    // Puts a new theme in place by LoadToBottom and tells the plug-ins.
    void InsertNewTheme(CTheme* theme) { AddTheme(theme); }
    // The settings' colours and visibility for a new theme.
    void ApplyNewThemeSettings(CTheme* theme);
    // A loading message: to the console under the loading debug flag (2).
    void PrintLoadingMessage(const std::string& text);
    void OnAddTheme();
    void OnLoadRecentFile(unsigned id);
    // Posts WM_THEME_SELECTION_CHANGED for the theme to the map view.
    void PostSelectionChanged(CTheme* theme);
    // Takes one theme out of the document (and the selected list) and deletes
    // it, firing DUE_ThemeRemoved first; the active theme is left to the
    // caller. False for a theme others are made from.
    bool DropTheme(CTheme* theme);
    // ---- end of extent, zoom and file commands ----
};

// The document's slots for loader plug-ins (LoaderHostCallbacks); host is
// the document.
// Takes a record out of the first loader theme bound to that loader; false
// when there is none, the record is null or not the theme's, or the theme is
// editable.
bool LoaderHostRemoveShape(void* host, CLoaderPlugin* loader, CShapeRecord* record);
// Selects or deselects a record (all of them without one) of the loader theme
// of the same plug-in with that handle word; fires DUE_SelectionChanged.
bool LoaderHostUpdateShape(void* host, CLoaderPlugin* loader, std::uint32_t handle, CShapeRecord* record,
                           bool select);
// Posts WM_LOADER_CUSTOM_EVENT for every theme bound to that loader to the
// map view. True.
bool LoaderHostPostCustomEvent(void* host, CLoaderPlugin* loader, std::uint32_t code);
// A record added during a custom event, to the document's target theme.
bool LoaderHostAddEventShape(void* host, CShapeRecord* record, std::intptr_t userData);
// The n-th selected record (by shape index) of the target theme.
bool LoaderHostGetRecord(void* host, std::uint32_t n, CShapeRecord** record);

// The values the Workspace Properties dialog shows and edits.
struct CWorkspacePropertyValues {
    std::uint32_t m_BackgroundColor = 0;
    std::string m_Description;
    double m_GridX = 1.0;
    double m_GridY = 1.0;
    // "Show this page when workspace loaded."
    bool m_ShowOnOpen = false;
    // Index into the reference-system table; -1 for "Unknown".
    int m_RefSystem = -1;
    double m_EarthRadius = 0.0;
    // The tab to open: 0 General, 1 Grid, 2 RefSys, 3 Comment.
    int m_Page = 0;
};

// What the extent and file commands need of the main frame and of dialogs
// that live above the document; the application installs them at start-up.
// Until then the scale is not shown, Center Map and Edit View Rectangle do
// nothing, and an image without a world file is added where it lies.
struct CDocumentDialogServices {
    // Shows "1:N" in the toolbar's scale box (N the scale).
    std::function<void(CCorvaleDoc* document, double scale)> showMapScale;
    // "Center Map", preset with a point; true on OK with the point entered.
    std::function<bool(double& x, double& y)> centerMap;
    // The view rectangle dialog, preset with the extent (minX, minY, maxX,
    // maxY); true on OK with the rectangle entered.
    std::function<bool(double extent[4])> viewRectangle;
    // The path of the n-th loader plug-in of the main frame's Add Theme From
    // list; empty when there is none.
    std::function<std::string(unsigned index)> loaderPluginPath;
    // The modal georeferencing dialog of an image theme.
    std::function<void(CCorvaleDoc* document, CTheme* theme)> transformImage;
    // The attribute manager of a theme; true when it closed with OK (the
    // theme's modified flag tells whether its columns changed).
    std::function<bool(CTheme* theme)> manageAttributes;
    // The merge dialog over a theme's selected shapes; true on OK with one
    // text per attribute column in values.
    std::function<bool(CTheme* theme, std::vector<std::string>& values)> mergeAttributes;
    // The Workspace Properties dialog over the values; true on OK with the
    // values entered.
    std::function<bool(CWorkspacePropertyValues& values)> workspaceProperties;
    // The grid definition dialog, preset with the x and y spacing; true on
    // OK with the spacings entered.
    std::function<bool(double& x, double& y)> gridDefinition;
    // The reprojection dialog over vector themes; true when it closed with OK
    // (the themes were converted).
    std::function<bool(CCorvaleDoc* document, const std::vector<CTheme*>& themes)> transformThemes;
    // The modal multi-edit dialog that sets one attribute on the theme's
    // selected shapes; true when it closed with OK (values were written).
    std::function<bool(CCorvaleDoc* document, CTheme* theme)> multiEditAttributes;
    // The Point Count Selection dialog, preset with the last rule; true on OK
    // with the part rule (0 at least one part, 1 all parts), the comparison
    // (0 <, 1 =, 2 >) and the vertex count.
    std::function<bool(int& partRule, int& comparison, int& count)> pointCountRule;
    // The theme chooser titled caption over the themes of the kinds in
    // kindMask (1 points, 2 polylines, 4 polygons, 8 images); the chosen
    // theme, null when cancelled.
    std::function<CTheme*(CCorvaleDoc* document, const std::string& caption, unsigned kindMask)> chooseTheme;
    // A text in an information window with that caption.
    std::function<void(const std::string& caption, const std::string& text)> showInformation;
    // The attribute list builder: shown and attached to the theme
    // (showAttributeListBuilder); attached to another theme or, with null,
    // to none when it exists (attachAttributeListBuilder); given a shape
    // added to the selection while it is shown (attributeListBuilderAddShape).
    std::function<void(CCorvaleDoc* document, CTheme* theme)> showAttributeListBuilder;
    std::function<void(CCorvaleDoc* document, CTheme* theme)> attachAttributeListBuilder;
    std::function<void(CCorvaleDoc* document, CShapeRecord* record, int position)> attributeListBuilderAddShape;
    // The document is going: its attribute list builder goes with it.
    std::function<void(CCorvaleDoc* document)> forgetAttributeListBuilder;
    // Whether the clipboard holds polygon shapes, and copies of them (the
    // caller frees them with FreeShapeRecord); both come with the clipboard
    // formats.
    std::function<bool()> clipboardHasPolygons;
    std::function<std::vector<CShapeRecord*>()> readClipboardPolygons;
    // The document's modeless Vectorization Parameters dialog, made on first
    // use and shown.
    std::function<void(CCorvaleDoc* document)> showVectorizationParameters;
    // The modal binary shape viewer over one record and the number of bytes
    // its theme keeps after each record.
    std::function<void(const CShapeRecord* record, std::size_t extraBytes)> showShapeData;
};
void SetDocumentDialogServices(const CDocumentDialogServices& services);
const CDocumentDialogServices& GetDocumentDialogServices();

// ---- The console (made by Corvale/scripting) ----
// What the document needs of its console. The scripting library installs it
// (InstallDocumentConsole); until then a document has no console.
struct CDocumentConsoleServices {
    // Makes the document's console and stores it in m_console, or refreshes
    // the existing one from the settings; answers the console.
    std::function<CConsoleDialog*(CCorvaleDoc& document)> getConsole;
    // Prints one line (CR LF is added) on the document's existing console.
    std::function<void(CCorvaleDoc& document, const std::string& text)> printLine;
    // Makes the console's variables forget a theme that is being removed.
    std::function<void(CCorvaleDoc& document, CTheme* theme)> detachTheme;
    // CCorvaleDoc::LoadJavaScript.
    std::function<CJSHandler*(CCorvaleDoc& document, const std::string& path)> loadJavaScript;
    // CCorvaleDoc::RunScript.
    std::function<void(CCorvaleDoc& document, const std::string& path)> runScript;
    // Makes the console when needed and shows it.
    std::function<void(CCorvaleDoc& document)> showConsole;
    // The modal Create JavaScript Stub dialog over the templates folder.
    std::function<void(CCorvaleDoc& document)> createScript;
};
void SetDocumentConsoleServices(const CDocumentConsoleServices& services);
const CDocumentConsoleServices& GetDocumentConsoleServices();
// ---- end of the console ----
