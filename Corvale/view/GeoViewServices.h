#pragma once
// What the map view needs of the main frame, of dialogs and of document
// operations that are not part of the view, reached through one interface.
//
// The program installs the implementation that calls the real frame,
// dialogs and document operations; tests install one that records the calls.
// Until something is installed the defaults below answer: nothing is shown,
// the frame is not told, the loader calls do nothing and answer 0, and the
// theme selection of Find Theme is kept in the document's own lists.

#include <cstdint>
#include <memory>
#include <string>

class CCorvaleDoc;
class CGeoView;
class CTheme;
class QPoint;
class QWidget;
struct CMapSheetSettings;

// The map overview window as the view drives it: a modeless window owned by
// the view, showing the whole workspace with the view's extent marked.
class IMapOverviewDialog {
public:
    virtual ~IMapOverviewDialog();
    // Whether its window exists now (it exists only while shown).
    virtual bool HasWindow() const = 0;
    virtual bool IsVisible() const = 0;
    // Creates the window for the document, with the view as its parent.
    virtual void Create(CCorvaleDoc* document, QWidget* parent) = 0;
    // Drops the cached picture so that the next paint renders it again.
    virtual void Refresh() = 0;
    // The extent of the main view (minX, minY, maxX, maxY), marked in the
    // overview; repaints it without rendering.
    virtual void SetViewRect(const double extent[4]) = 0;
    virtual void Show() = 0;
    virtual void Destroy() = 0;
};

class IGeoViewServices {
public:
    virtual ~IGeoViewServices();

    // ---- the main frame ----
    // The view of this document became the active one.
    virtual void SetActiveDocument(CCorvaleDoc* document);
    // Registers the view's two context menus with the context-menu manager:
    // "GeoView grabber" (menu 1257) and "GeoView" (menu 1186).
    virtual void RegisterContextMenus();
    // Whether the attribute list builder window is shown.
    virtual bool IsAttributeListBuilderVisible(CCorvaleDoc& document);
    // The map coordinates under the pointer, for the status bar.
    virtual void SetStatusCoordinates(double x, double y);
    // Shows the view's context menu (IDR_GEOVIEW_MENU or
    // IDR_GEOVIEW_GRABBER_MENU) at a screen point and runs the chosen item.
    // The default shows the menu the view builds (CGeoView::CreateContextMenu).
    virtual void ShowContextMenu(CGeoView& view, unsigned menuId, const QPoint& screenPoint);

    // ---- document operations of other parts of the workspace ----
    // The loader's custom event for the theme; its result.
    virtual std::intptr_t SendLoaderCustomEvent(CCorvaleDoc& document, CTheme* theme,
                                                std::uint32_t code);
    // Tells the loader of the active theme that its selection changed.
    virtual void NotifyLoaderSelectionChanged(CCorvaleDoc& document, CTheme* theme);
    // The workspace properties dialog, opened on a page (3: Comment).
    virtual void ShowWorkspaceProperties(CCorvaleDoc& document, int page);
    // The first view of the document is ready: console and plug-in hook.
    virtual void OnViewInitialUpdate(CCorvaleDoc& document);
    // The legend's theme selection: no theme selected, no active theme.
    virtual void ClearThemeSelection(CCorvaleDoc& document);
    // Selects a theme in the legend's theme selection; the active theme is
    // the only selected one when exactly one is selected.
    virtual void SetThemeSelected(CCorvaleDoc& document, CTheme* theme, bool selected);

    // ---- dialogs ----
    // The text information dialog (Map Signature).
    virtual void ShowTextInformation(QWidget* parent, const std::string& title,
                                     const std::string& text);
    // The overview window of a view; null while there is none to make.
    virtual std::unique_ptr<IMapOverviewDialog> CreateMapOverviewDialog();
    // Save Map Image's first question: one image (0) or several sheets (1),
    // starting from choice; false on Cancel.
    virtual bool ChooseMapImageKind(CGeoView& view, int& choice);
    // The multiple-sheets dialog over the settings; false on Cancel.
    virtual bool EditMapSheetSettings(CGeoView& view, CMapSheetSettings& settings);
    // One HTML image map over a saved image: the theme chooser, then the
    // image map creator; false when no theme was chosen.
    virtual bool CreateImageMap(CGeoView& view, const std::string& imagePath);
};

// The installed implementation (never null).
IGeoViewServices& GeoViewServices();
// Installs an implementation (not owned); null goes back to the defaults.
void SetGeoViewServices(IGeoViewServices* services);
