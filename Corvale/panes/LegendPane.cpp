#include "panes/LegendPane.h"

#include "core/Theme.h"
#include "framework/Document.h"
#include "framework/UserInterface.h"
#include "settings/AppSettings.h"
#include "ui/LegendListCtrl.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <qdrawutil.h>

#include <algorithm>
#include <cstdio>

namespace {

CLegendPaneServices& Services() {
    static CLegendPaneServices services;
    return services;
}

CTheme* ThemeOf(std::intptr_t data) {
    return reinterpret_cast<CTheme*>(data);
}
std::intptr_t DataOf(const CTheme* theme) {
    return reinterpret_cast<std::intptr_t>(theme);
}

std::string Format(const char* format, const std::string& text, double value) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, text.c_str(), value);
    return buffer;
}

} // namespace

void SetLegendPaneServices(const CLegendPaneServices& services) {
    Services() = services;
}
const CLegendPaneServices& GetLegendPaneServices() {
    return Services();
}

CLegendPane::CLegendPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LegendPane"));
    m_List = new CLegendListCtrl(this);
    m_List->setObjectName(QStringLiteral("LegendList%1").arg(kListId));
    m_List->setFrameShape(QFrame::NoFrame);
    m_List->m_MapBackgroundColor = CAppSettings::GetInstance()->m_ColorBkgnd;
    m_List->m_SelectionColor = 0x0080FF;
    m_List->m_ToolTipText = [this](const QPoint& point) { return GetToolTipText(point); };
    m_List->setGeometry(0, kCaptionHeight, width(), std::max(0, height() - kCaptionHeight));
    m_List->m_Notify = [this](int code, int item) { OnListNotify(code, item); };
    m_List->m_ItemDoubleClicked = [this](int) { EditThemeProperties(); };
    m_List->m_ContextMenuRequested = [this](const QPoint& at) {
        QMenu* menu = CreateThemeMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    };
    AddLayerCommands();
    setMinimumSize(50, 50);
}

CLegendPane::~CLegendPane() {
    if (m_Document != nullptr && IsDocumentOpen(m_Document))
        m_Document->m_updateEvent.RemoveHandler(this);
}

// ---------------------------------------------------------------------------
// The document
// ---------------------------------------------------------------------------

void CLegendPane::SetDocument(CCorvaleDoc* document) {
    if (document == m_Document)
        return;
    if (m_Document != nullptr && IsDocumentOpen(m_Document))
        m_Document->m_updateEvent.RemoveHandler(this);
    m_Document = document;
    if (document != nullptr) {
        m_List->viewport()->update();
        document->m_updateEvent.AddHandler(this, &CLegendPane::OnDocumentUpdate);
        // A copy: a handler called below may change the list.
        const std::vector<CTheme*> themes = document->m_themes;
        for (CTheme* theme : themes)
            OnDocumentUpdate(nullptr, DUE_ThemeAdded, DataOf(theme));
        OnDocumentUpdate(nullptr, DUE_ActiveThemeChanged, DataOf(document->m_activeTheme));
    } else {
        m_List->DeleteAllItems();
        m_List->viewport()->update();
    }
}

void CLegendPane::InsertTheme(CTheme* theme) {
    const auto& themes = m_Document->m_themes;
    const auto found = std::find(themes.begin(), themes.end(), theme);
    int position;
    if (found != themes.end())
        position = static_cast<int>(found - themes.begin());
    else
        position = CAppSettings::GetInstance()->m_LoadToBottom != 0 ? m_List->GetItemCount() : 0;
    m_List->InsertItem(position, theme->m_Name, theme->m_Visible ? 1 : 0, theme);
}

void CLegendPane::Refill() {
    m_List->DeleteAllItems();
    if (m_Document != nullptr) {
        for (CTheme* theme : m_Document->m_themes) {
            if (theme == nullptr)
                continue;
            const int item = m_List->InsertItem(m_List->GetItemCount(), theme->m_Name,
                                                theme->m_Visible ? 1 : 0, theme);
            m_List->SetItemSelected(item, m_Document->IsThemeSelected(theme));
        }
    }
    FitColumnWidth();
    m_List->viewport()->update();
}

void CLegendPane::OnDocumentUpdate(const void*, int code, std::intptr_t data) {
    if (m_Document == nullptr || code < DUE_ThemeAdded || code > DUE_ThemeFound)
        return;
    CTheme* theme = ThemeOf(data);
    switch (code) {
    case DUE_ThemeAdded: {
        if (theme == nullptr || m_List->FindItem(theme) >= 0)
            return;
        InsertTheme(theme);
        if (m_List->GetItemCount() == 1 && m_Document->m_themes.size() == 1) {
            // The first theme of a workspace is the active one. The document
            // takes it before the event, so that subscribers read the new state.
            m_List->SetItemSelected(0, true);
            m_Document->SetThemeSelected(theme, true);
            m_Document->FireUpdateEvent(this, DUE_ActiveThemeChanged, DataOf(theme));
        }
        FitColumnWidth();
        m_List->viewport()->update();
        return;
    }
    case DUE_ActiveThemeChanged:
    case DUE_Refresh:
        Refill();
        return;
    case DUE_ThemeOrderChanged:
        if (m_List->GetItemCount() > 1)
            Refill();
        return;
    case DUE_ThemeStyleChanged:
    case DUE_ThemeModifiedChanged:
    case DUE_InfoTipsChanged:
    case DUE_FilterChanged:
        m_List->viewport()->update();
        return;
    case DUE_VisibilityChanged:
        for (int i = 0; i < m_List->GetItemCount(); ++i) {
            CTheme* itemTheme = m_List->GetItemData(i);
            if (itemTheme != nullptr && (theme == nullptr || itemTheme == theme))
                m_List->SetCheck(i, itemTheme->m_Visible);
        }
        m_List->viewport()->update();
        return;
    case DUE_ThemeRemoved:
        m_List->DeleteItem(m_List->FindItem(theme));
        FitColumnWidth();
        m_List->viewport()->update();
        return;
    case DUE_EditThemeProperties:
        EditThemeProperties();
        return;
    case DUE_ThemeRenamed: {
        const int item = m_List->FindItem(theme);
        if (item >= 0 && theme != nullptr)
            m_List->SetItemText(item, theme->m_Name);
        return;
    }
    case DUE_WorkspacePropertiesChanged:
        m_List->m_MapBackgroundColor = m_Document->m_backgroundColor;
        m_List->viewport()->update();
        return;
    case DUE_ThemeFound:
        m_List->EnsureVisible(m_List->FindItem(theme));
        m_List->viewport()->update();
        return;
    default:
        return;
    }
}

// ---------------------------------------------------------------------------
// What the list reports
// ---------------------------------------------------------------------------

void CLegendPane::OnListNotify(int code, int item) {
    if (m_Document == nullptr)
        return;
    switch (code) {
    case LLN_CheckChanged: {
        // The theme of the box clicked, whichever items are selected.
        CTheme* theme = m_List->GetItemData(item);
        if (theme == nullptr)
            return;
        theme->m_Visible = m_List->GetCheck(item);
        m_Document->FireUpdateEvent(this, DUE_VisibilityChanged, DataOf(theme));
        return;
    }
    case LLN_OrderChanged: {
        // The list's order becomes the drawing order. A theme the list does
        // not show (none should be missing) keeps its place after the others
        // rather than leaving the workspace.
        std::vector<CTheme*> reordered;
        const auto& themes = m_Document->m_themes;
        for (int i = 0; i < m_List->GetItemCount(); ++i) {
            CTheme* theme = m_List->GetItemData(i);
            if (std::find(themes.begin(), themes.end(), theme) != themes.end() &&
                std::find(reordered.begin(), reordered.end(), theme) == reordered.end())
                reordered.push_back(theme);
        }
        for (CTheme* theme : themes)
            if (std::find(reordered.begin(), reordered.end(), theme) == reordered.end())
                reordered.push_back(theme);
        m_Document->m_themes = std::move(reordered);
        m_Document->FireUpdateEvent(this, DUE_ThemeOrderChanged, 0);
        return;
    }
    case LLN_SelectionChanged: {
        corvale::UI().BeginWaitCursor();
        m_Document->ClearThemeSelection();
        const std::vector<int> selected = m_List->GetSelectedItems();
        for (int index : selected)
            m_Document->SetThemeSelected(m_List->GetItemData(index), true);
        m_Document->FireUpdateEvent(
            this, DUE_ActiveThemeChanged,
            selected.size() == 1 ? DataOf(m_List->GetItemData(selected.front())) : 0);
        corvale::UI().EndWaitCursor();
        return;
    }
    default:
        return;
    }
}

// ---------------------------------------------------------------------------
// Theme properties
// ---------------------------------------------------------------------------

std::vector<std::string> CLegendPane::BuildPropertyHints(const CTheme& theme) const {
    std::vector<std::string> hints;
    if (m_Document == nullptr)
        return hints;
    char line[256];
    std::snprintf(line, sizeof line, "Current UPP:\t%lf", m_Document->GetUnitsPerPixel());
    hints.emplace_back(line);
    for (const CTheme* other : m_Document->m_themes) {
        if (other == nullptr || other == &theme)
            continue;
        if (other->m_MinScale != 0.0)
            hints.push_back(Format("Min: %s:\t%lf", other->m_Name, other->m_MinScale));
        if (other->m_MaxScale != 0.0)
            hints.push_back(Format("Max: %s:\t%lf", other->m_Name, other->m_MaxScale));
    }
    return hints;
}

void CLegendPane::EditThemeProperties() {
    if (m_Document == nullptr || !Services().showThemeProperties)
        return;
    const std::vector<int> selected = m_List->GetSelectedItems();
    if (selected.size() != 1)
        return;
    CTheme* theme = m_List->GetItemData(selected.front());
    if (theme == nullptr)
        return;
    CCorvaleDoc* document = m_Document;
    if (!Services().showThemeProperties(this, *theme, *document, BuildPropertyHints(*theme)))
        return;
    document->FireUpdateEvent(nullptr, DUE_ThemeStyleChanged, DataOf(theme));
    document->FireUpdateEvent(nullptr, DUE_ThemeRenamed, DataOf(theme));
    document->FireUpdateEvent(nullptr, DUE_VisibilityChanged, DataOf(theme));
    theme->m_Modified = true;
    document->SetModifiedFlag(true);
    m_List->viewport()->update();
}

// ---------------------------------------------------------------------------
// Tooltips
// ---------------------------------------------------------------------------

std::string CLegendPane::GetToolTipText(const QPoint& point) const {
    int zone = LHZ_None;
    const int item = m_List->HitTestZone(point, &zone);
    const CTheme* theme = m_List->GetItemData(item);
    if (theme == nullptr)
        return std::string();
    std::string text;
    switch (zone) {
    case LHZ_CheckBox:
        text = theme->m_Visible ? "Uncheck to hide theme" : "Check to view theme";
        break;
    case LHZ_FilterMarker: {
        const int filtered = theme->GetFilteredShapeCount();
        if (filtered == 1)
            text = "1 filtered shape";
        else if (filtered > 0)
            text = std::to_string(filtered) + " filtered shapes";
        break;
    }
    case LHZ_ParentMarker:
        if (theme->m_SourceType == ST_ParentTheme && theme->m_ParentTheme != nullptr)
            text = "Shape data owned by " + theme->m_ParentTheme->m_Name;
        break;
    case LHZ_EditableMarker:
        if (theme->m_Editable)
            text = "Editable";
        break;
    case LHZ_LabelTop:
        if (!m_List->LabelFits(item))
            text = theme->m_Name;
        if (!theme->m_Comment.empty()) {
            if (!text.empty())
                text += "\r\n\r\n";
            text += theme->m_Comment;
        }
        break;
    default:
        break;
    }
    if (text.size() > kMaxToolTipLength) {
        text.resize(kMaxToolTipLength);
        // Never leave half a UTF-8 sequence at the end.
        while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
            text.pop_back();
        if (!text.empty() && (static_cast<unsigned char>(text.back()) & 0x80) != 0)
            text.pop_back();
    }
    return text;
}

// ---------------------------------------------------------------------------
// Layout and painting
// ---------------------------------------------------------------------------

void CLegendPane::FitColumnWidth() {
    // From the list's own size: its viewport is resized only once the list
    // is shown, and the pane is laid out before that.
    int width = m_List->width() - 2 * m_List->frameWidth();
    const int page = (m_List->height() - 2 * m_List->frameWidth()) / CLegendListCtrl::kRowHeight;
    if (m_List->GetItemCount() > page)
        width -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_List);
    m_List->SetColumnWidth(std::max(0, width));
}

void CLegendPane::resizeEvent(QResizeEvent*) {
    if (size() == m_LastSize)
        return;
    m_LastSize = size();
    m_List->setGeometry(0, kCaptionHeight, width(), std::max(0, height() - kCaptionHeight));
    FitColumnWidth();
}

void CLegendPane::RenderCaption(QPainter& painter) {
    const QRect strip(0, 0, width(), kCaptionHeight);
    QLinearGradient gradient(strip.topLeft(), strip.bottomLeft());
    gradient.setColorAt(0.0, palette().color(QPalette::Light));
    gradient.setColorAt(1.0, palette().color(QPalette::Button));
    painter.fillRect(strip, gradient);
    qDrawShadePanel(&painter, strip, palette(), false, 1);
    painter.setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(strip, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("Themes"));
}

void CLegendPane::paintEvent(QPaintEvent*) {
    // Drawn off screen first, so the strip never flickers.
    QPixmap buffer(width(), kCaptionHeight);
    buffer.fill(palette().color(QPalette::Button));
    {
        QPainter painter(&buffer);
        RenderCaption(painter);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, buffer);
}

// ---------------------------------------------------------------------------
// Menus and commands
// ---------------------------------------------------------------------------

void CLegendPane::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at = event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                  : mapToGlobal(QPoint(5, 5));
    QMenu* menu = CreateHeaderMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(at);
    event->accept();
}

void CLegendPane::SelectLayers(const std::function<bool(const CTheme&)>& predicate) {
    if (m_Document != nullptr)
        m_Document->SelectThemesMatching(predicate);
}

void CLegendPane::AddLayerCommands() {
    auto always = [](CCmdUI& ui) { ui.Enable(true); };
    OnCommand(
        ID_LAYER_INVERT_Z_ORDER,
        [this] {
            if (m_Document != nullptr)
                m_Document->ReverseThemeOrder();
        },
        [this](CCmdUI& ui) { ui.Enable(m_Document != nullptr && m_List->GetItemCount() >= 2); });
    OnCommand(
        ID_LAYER_INVERT_SELECTION,
        [this] {
            if (m_Document != nullptr)
                m_Document->InvertThemeSelection();
        },
        [this](CCmdUI& ui) { ui.Enable(m_Document != nullptr && m_List->GetItemCount() >= 1); });
    OnCommand(
        ID_LAYER_SELECT_POINTS,
        [this] {
            SelectLayers([](const CTheme& t) {
                return t.m_ShapeType == SHT_Point || t.m_ShapeType == SHT_PointZ;
            });
        },
        always);
    OnCommand(
        ID_LAYER_SELECT_POLYLINES,
        [this] {
            SelectLayers([](const CTheme& t) {
                return t.m_ShapeType == SHT_Polyline || t.m_ShapeType == SHT_PolylineZ;
            });
        },
        always);
    OnCommand(
        ID_LAYER_SELECT_POLYGONS,
        [this] {
            SelectLayers([](const CTheme& t) {
                return t.m_ShapeType == SHT_Polygon || t.m_ShapeType == SHT_PolygonZ;
            });
        },
        always);
    OnCommand(
        ID_LAYER_SELECT_RASTERS,
        [this] { SelectLayers([](const CTheme& t) { return t.m_ShapeType == SHT_Image; }); },
        always);
    OnCommand(
        ID_LAYER_SELECT_VISIBLE,
        [this] { SelectLayers([](const CTheme& t) { return t.m_Visible; }); }, always);
    OnCommand(
        ID_LAYER_SELECT_ALL, [this] { SelectLayers([](const CTheme&) { return true; }); }, always);
    // The properties open here, through the dialog installed from above.
    OnCommand(
        ID_THEME_PROPERTIES, [this] { EditThemeProperties(); },
        [this](CCmdUI& ui) {
            const std::vector<int> selected = m_List->GetSelectedItems();
            ui.Enable(m_Document != nullptr && static_cast<bool>(Services().showThemeProperties) &&
                      selected.size() == 1 && m_List->GetItemData(selected.front()) != nullptr);
        });
}

void CLegendPane::RunCommand(unsigned id) {
    if (CCmdTarget::OnCmdMsg(id, nullptr))
        return;
    if (Services().routeCommand)
        Services().routeCommand(id, nullptr);
    else
        RouteCommand(id, nullptr, {m_Document});
}

void CLegendPane::UpdateCommand(CCmdUI& ui) {
    if (CCmdTarget::OnCmdMsg(ui.m_nID, &ui))
        return;
    if (Services().routeCommand) {
        if (!Services().routeCommand(ui.m_nID, &ui))
            ui.Enable(false);
    } else {
        RouteCommand(ui.m_nID, &ui, {m_Document});
    }
}

QAction* CLegendPane::AddMenuCommand(QMenu* menu, unsigned id, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setData(id);
    action->setObjectName(QStringLiteral("command_%1").arg(id));
    QObject::connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    return action;
}

void CLegendPane::UpdateMenu(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        if (QMenu* sub = action->menu()) {
            UpdateMenu(sub);
            // A submenu with nothing to run is not offered.
            const auto actions = sub->actions();
            action->setEnabled(std::any_of(actions.begin(), actions.end(), [](QAction* a) {
                return !a->isSeparator() && a->isEnabled();
            }));
            continue;
        }
        if (!action->data().isValid())
            continue;
        CCmdUI ui(action->data().toUInt());
        UpdateCommand(ui);
        action->setEnabled(ui.m_Enabled);
        if (action->isCheckable())
            action->setChecked(ui.m_Checked);
        if (ui.m_TextSet)
            action->setText(QString::fromStdString(ui.m_Text));
    }
}

QMenu* CLegendPane::CreateThemeMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("ThemeMenu"));
    AddMenuCommand(menu, ID_THEME_PROPERTIES, tr("&Properties..."));
    AddMenuCommand(menu, ID_THEME_SHOW, tr("&Show"));
    AddMenuCommand(menu, ID_THEME_REMOVE, tr("&Remove"));
    menu->addSeparator();
    AddMenuCommand(menu, ID_THEME_ZOOM_TO_THEME, tr("Zoom to &Theme"));
    AddMenuCommand(menu, ID_THEME_ZOOM_TO_SELECTION, tr("Zoom to &Selection"));
    AddMenuCommand(menu, ID_THEME_ZOOM_TO_MAKE_VISIBLE, tr("Zoom to &Make Visible"));
    menu->addSeparator();
    AddMenuCommand(menu, ID_THEME_ENABLE_EDITING, tr("Enable &Editing"));
    AddMenuCommand(menu, ID_THEME_INFOTIPS, tr("InfoTips"))->setCheckable(true);
    AddMenuCommand(menu, ID_THEME_ATTRIBUTE_MANAGER, tr("Attribute Mana&ger..."));
    AddMenuCommand(menu, ID_THEME_COPY_STYLE_FROM, tr("&Copy Style From..."));
    UpdateMenu(menu);
    return menu;
}

QMenu* CLegendPane::CreateHeaderMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("ThemeListHeaderMenu"));
    AddMenuCommand(menu, ID_INSERT_ADD_THEME, tr("&Add..."));
    // The loader list is the main frame's, read from its plug-in folder.
    QMenu* addFrom = menu->addMenu(tr("Add &From"));
    addFrom->setObjectName(QStringLiteral("AddFromMenu"));
    if (Services().fillLoaderMenu)
        Services().fillLoaderMenu(addFrom);
    QMenu* createNew = menu->addMenu(tr("Create &New"));
    createNew->setObjectName(QStringLiteral("CreateNewMenu"));
    QMenu* blank = createNew->addMenu(tr("&Blank"));
    AddMenuCommand(blank, ID_THEME_NEW_POINTS, tr("&Points"));
    AddMenuCommand(blank, ID_THEME_NEW_POLYLINES, tr("&Arcs"));
    AddMenuCommand(blank, ID_THEME_NEW_POLYGONS, tr("Po&lygons"));
    AddMenuCommand(createNew, ID_THEME_NEW_FROM_SELECTION, tr("From &Selection"));
    AddMenuCommand(createNew, ID_THEME_NEW_BOUNDING_BOXES, tr("&Bounding Boxes"));
    AddMenuCommand(createNew, ID_THEME_END_POINTS, tr("Polyline &End Points"));
    AddMenuCommand(createNew, ID_THEME_MID_POINTS, tr("Polyline &Mid Points..."));
    AddMenuCommand(createNew, ID_THEME_POLYGON_OUTLINE, tr("Polygon &Outline"));
    AddMenuCommand(createNew, ID_THEME_VORONOI_POLYGONS, tr("Voronoi Polygons"));
    menu->addSeparator();
    AddMenuCommand(menu, ID_THEME_SHOW_ALL, tr("Show &All"));
    AddMenuCommand(menu, ID_THEME_HIDE_ALL, tr("&Hide All"));
    AddMenuCommand(menu, ID_LAYER_INVERT_Z_ORDER, tr("Invert &Z-Order"));
    QMenu* select = menu->addMenu(tr("&Select"));
    select->setObjectName(QStringLiteral("SelectLayersMenu"));
    AddMenuCommand(select, ID_LAYER_SELECT_ALL, tr("All Layers"));
    AddMenuCommand(select, ID_LAYER_SELECT_POINTS, tr("All Point Layers"));
    AddMenuCommand(select, ID_LAYER_SELECT_POLYLINES, tr("All Polyline Layers"));
    AddMenuCommand(select, ID_LAYER_SELECT_POLYGONS, tr("All Polygon Layers"));
    AddMenuCommand(select, ID_LAYER_SELECT_RASTERS, tr("All Raster Layers"));
    AddMenuCommand(select, ID_LAYER_SELECT_VISIBLE, tr("All Visible Layers"));
    select->addSeparator();
    AddMenuCommand(select, ID_LAYER_INVERT_SELECTION, tr("&Invert Selection"));
    UpdateMenu(menu);
    return menu;
}
