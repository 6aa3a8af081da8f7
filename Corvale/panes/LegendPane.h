#pragma once
// The legend: the docking pane that lists the themes of the active workspace
// in a CLegendListCtrl, under a 20-pixel caption strip.
//
// It keeps the list in step with the document through the document's update
// events, and turns what the user does in the list into changes of the
// document: visibility (check boxes), drawing order (dragging) and the themes
// selected in the legend. It carries the layer-selection commands of its
// menus and opens the theme properties.
//
// The main frame makes one pane and calls SetDocument whenever the active
// workspace changes. What the pane needs from above it (the theme properties
// dialog, the frame's command route, the frame's list of loader plug-ins)
// comes through CLegendPaneServices.

#include "framework/CommandTarget.h"

#include <QSize>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CCorvaleDoc;
class CLegendListCtrl;
class CTheme;
class QMenu;

// What the legend needs of the frame and of dialogs above it. The program
// installs it; until then the theme properties cannot be opened (their menu
// item is disabled) and the pane's menus reach the document alone.
struct CLegendPaneServices {
    // The modal theme properties dialog for the theme, given the document
    // and the hint lines (scale bounds of the other themes); true on OK.
    std::function<bool(QWidget* parent, CTheme& theme, CCorvaleDoc& document,
                       const std::vector<std::string>& hints)>
        showThemeProperties;
    // Routes a command along the frame's chain (frame, view, document,
    // application): runs it when ui is null, else fills ui. True when some
    // target took it.
    std::function<bool(unsigned id, CCmdUI* ui)> routeCommand;
    // Fills the caption menu's "Add From" with the loader commands the frame
    // lists under Insert > Add Theme From: the same items in the same order,
    // each running as it does there. Unset, the submenu stays empty (and
    // grayed).
    std::function<void(QMenu* menu)> fillLoaderMenu;
};
void SetLegendPaneServices(const CLegendPaneServices& services);
const CLegendPaneServices& GetLegendPaneServices();

class CLegendPane : public QWidget, public CCmdTarget {
public:
    // The identifier of the list, used as its object name suffix.
    static constexpr int kListId = 1024;
    static constexpr int kCaptionHeight = 20;
    // Tooltip texts are cut to this many characters.
    static constexpr std::size_t kMaxToolTipLength = 511;

    explicit CLegendPane(QWidget* parent = nullptr);
    ~CLegendPane() override;

    // Shows the themes of the document (null: none). The pane leaves the
    // previous document's update event when that document is still open.
    void SetDocument(CCorvaleDoc* document);
    CCorvaleDoc* GetDocument() const { return m_Document; }
    CLegendListCtrl* GetList() const { return m_List; }

    // The pane's subscription to the document's update event.
    void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);

    // The tooltip text for a point of the list's viewport; empty for none.
    std::string GetToolTipText(const QPoint& point) const;
    // The hint lines the theme properties dialog shows for the theme.
    std::vector<std::string> BuildPropertyHints(const CTheme& theme) const;
    // Opens the theme properties when exactly one item with a theme is
    // selected and a dialog is installed; applies the result on OK.
    void EditThemeProperties();

    // The two context menus: the theme commands (over the list) and the
    // theme list's own (over the caption strip). Built on each call; the
    // caller owns the menu. The items are updated before they are shown.
    QMenu* CreateThemeMenu(QWidget* parent);
    QMenu* CreateHeaderMenu(QWidget* parent);
    // Runs a command of the menus (pane first, then the frame's route).
    void RunCommand(unsigned id);
    // The state of a command of the menus.
    void UpdateCommand(CCmdUI& ui);

    // The column as wide as the pane, less the scroll bar when the items do
    // not fit on one page.
    void FitColumnWidth();
    // Draws the caption strip (width x 20) as it is painted.
    void RenderCaption(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnListNotify(int code, int item);
    void Refill();
    void InsertTheme(CTheme* theme);
    void AddLayerCommands();
    void SelectLayers(const std::function<bool(const CTheme&)>& predicate);
    // Brings every action of the menu (and its submenus) up to date.
    void UpdateMenu(QMenu* menu);
    QAction* AddMenuCommand(QMenu* menu, unsigned id, const QString& text);

    CCorvaleDoc* m_Document = nullptr;
    QSize m_LastSize;
    CLegendListCtrl* m_List = nullptr;
};
