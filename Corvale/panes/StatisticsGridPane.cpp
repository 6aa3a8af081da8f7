#include "panes/StatisticsGridPane.h"

#include "core/LoaderPlugin.h"
#include "core/Theme.h"
#include "framework/Document.h"
#include "platform/NumberText.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QHeaderView>

#include <algorithm>
#include <cmath>

namespace {

const char* const kMultiple = "<Multiple types>";
const char* const kUndefined = "<Undefined>";

std::string Number(double value) { return corvale::FormatFixed(value, 6); }

const char* ShapeTypeName(std::uint32_t type) {
    switch (type) {
    case SHT_Point: return "Points";
    case SHT_Polyline: return "Arcs";
    case SHT_Polygon: return "Polygons";
    case SHT_PointZ: return "PointZ";
    case SHT_PolylineZ: return "PolyLineZ";
    case SHT_PolygonZ: return "PolygonZ";
    case SHT_Image: return "Image layer";
    default: return "Unknown";
    }
}

std::string SourceName(std::uint32_t source) {
    const char* name = GetSourceTypeName(source);
    return name != nullptr ? name : "Unknown";
}

} // namespace

CStatisticsGridPane::CStatisticsGridPane(QWidget* parent) : CGridPane(parent) {
    setObjectName(QStringLiteral("Statistics"));
    GetModel()->SetCellText([this](int row, int column) {
        if (row < 0 || static_cast<std::size_t>(row) >= m_Rows.size())
            return std::string();
        return column == 0 ? m_Rows[row].first : column == 1 ? m_Rows[row].second : std::string();
    });
    GetModel()->SetReadOnly(true);
    GetModel()->SetTable({"Property", "Value"}, 0);
    GetGrid()->horizontalHeader()->resizeSection(0, 120);
    GetGrid()->horizontalHeader()->resizeSection(1, 150);
    OnCommand(
        ID_GRID_COPY_AS_TEXT, [this] { CopySelectedRowsAsText(); },
        [this](CCmdUI& ui) { ui.Enable(!GetSelectedRows().empty()); });
}

CStatisticsGridPane::~CStatisticsGridPane() { Unsubscribe(); }

std::vector<unsigned> CStatisticsGridPane::ContextMenuCommands() const {
    return {ID_GRID_COPY_AS_TEXT, ID_GRID_COPY_CELL_VALUE};
}

void CStatisticsGridPane::Unsubscribe() {
    if (m_Document != nullptr && IsDocumentOpen(m_Document))
        m_Document->m_updateEvent.RemoveHandler(this);
}

void CStatisticsGridPane::SetDocument(CCorvaleDoc* document) {
    if (document == m_Document)
        return;
    Unsubscribe();
    m_Document = document;
    if (document != nullptr)
        document->m_updateEvent.AddHandler(this, &CStatisticsGridPane::OnDocumentUpdate);
    Refill();
}

void CStatisticsGridPane::Refill() {
    m_Rows = BuildRows(m_Document);
    GetModel()->SetRowCount(static_cast<int>(m_Rows.size()));
}

std::string CStatisticsGridPane::GetValue(const std::string& property) const {
    for (const auto& row : m_Rows)
        if (row.first == property)
            return row.second;
    return {};
}

void CStatisticsGridPane::OnDocumentUpdate(const void* /*sender*/, int code, std::intptr_t data) {
    if (m_Document == nullptr)
        return;
    m_Updating = true;
    switch (code) {
    case DUE_NewDocument:
    case DUE_ThemeAdded:
    case DUE_ActiveThemeChanged:
    case DUE_FilterChanged:
    case DUE_VisibilityChanged:
    case DUE_SelectionChanged:
    case DUE_OptionsChanged:
    case DUE_Refresh:
        Refill();
        break;
    case DUE_ThemeDataChanged:
    case DUE_ZOrderChanged:
        if (data != 0 && reinterpret_cast<CTheme*>(data) == m_Document->m_activeTheme)
            Refill();
        break;
    case DUE_ThemeRemoved:
        // The themes' lists are changing; the next event refills.
        m_Rows.clear();
        GetModel()->SetRowCount(0);
        break;
    default:
        break;
    }
    m_Updating = false;
}

std::vector<std::pair<std::string, std::string>> CStatisticsGridPane::BuildRows(CCorvaleDoc* document) {
    std::vector<std::pair<std::string, std::string>> rows;
    if (document == nullptr)
        return rows;
    const auto add = [&rows](const std::string& property, const std::string& value) {
        rows.emplace_back(property, value);
    };
    const auto blank = [&rows] { rows.emplace_back(std::string(), std::string()); };
    add("Workspace path", document->GetPathName());
    add("Themes, Total", std::to_string(document->m_themes.size()));
    const std::vector<CTheme*>& selected = document->m_selectedThemes;
    add("Themes, Selected", std::to_string(selected.size()));
    add("Themes, Visible", std::to_string(std::count_if(document->m_themes.begin(), document->m_themes.end(),
                                                         [](const CTheme* t) { return t->m_Visible; })));
    if (selected.empty())
        return rows;

    bool multipleShapeTypes = false;
    bool multipleSources = false;
    bool hasVector = false;
    bool boundsValid = false;
    double bounds[4] = {0.0, 0.0, 0.0, 0.0};
    long long total = 0;
    long long filtered = 0;
    long long selectedShapes = 0;
    for (const CTheme* theme : selected) {
        multipleShapeTypes |= theme->m_ShapeType != selected.front()->m_ShapeType;
        multipleSources |= theme->m_SourceType != selected.front()->m_SourceType;
        if (theme->m_ShapeType != SHT_Image)
            hasVector = true;
        const int all = theme->GetAllShapeCount();
        total += all;
        filtered += all - theme->GetShapeCount();
        selectedShapes += static_cast<long long>(theme->m_Selection.size());
        // An empty vector theme has no extent to add.
        if ((all > 0 || theme->m_ShapeType == SHT_Image) && theme->m_BoundsValid) {
            if (!boundsValid) {
                std::copy(theme->m_Bounds, theme->m_Bounds + 4, bounds);
                boundsValid = true;
            } else {
                bounds[0] = std::min(bounds[0], theme->m_Bounds[0]);
                bounds[1] = std::min(bounds[1], theme->m_Bounds[1]);
                bounds[2] = std::max(bounds[2], theme->m_Bounds[2]);
                bounds[3] = std::max(bounds[3], theme->m_Bounds[3]);
            }
        }
    }
    blank();
    add("Shape Type", multipleShapeTypes ? kMultiple : ShapeTypeName(selected.front()->m_ShapeType));
    if (hasVector) {
        add("Shapes, Total", std::to_string(total));
        add("Shapes, Filtered", std::to_string(filtered));
        add("Shapes, Selected", std::to_string(selectedShapes));
    }
    add("Data Source", multipleSources ? kMultiple : SourceName(selected.front()->m_SourceType));
    const CTheme* single = selected.size() == 1 ? selected.front() : nullptr;
    if (single != nullptr) {
        switch (single->m_SourceType) {
        case ST_ShapeFile:
            add("shp", single->m_ShpPath);
            add("shx", single->m_ShxPath);
            add("dbf", single->m_DbfPath);
            break;
        case ST_CustomLoader:
            // A theme whose plug-in could not be bound again (a workspace
            // opened without it) has no loader to name.
            add("Loader", single->m_Loader != nullptr ? single->m_Loader->m_Name : std::string());
            add("Loader file", single->m_Loader != nullptr ? single->m_Loader->m_Path : std::string());
            break;
        case ST_ParentTheme:
            add("Parent theme", single->m_ParentTheme != nullptr ? single->m_ParentTheme->m_Name
                                                                  : std::string("#ERROR# Parent is null"));
            break;
        case ST_Native:
            add("Original data source", SourceName(single->m_FormerSourceType));
            break;
        case ST_ImageFile:
        case ST_ExternalRaster: {
            add("Image file", single->m_Raster.m_ImagePath);
            const QImage& bitmap = single->m_Raster.m_DisplayBitmap;
            if (bitmap.isNull()) {
                add("Image status", "Not loaded");
            } else {
                add("Image width", std::to_string(bitmap.width()));
                add("Image height", std::to_string(bitmap.height()));
                add("Image bits per pixel", std::to_string(bitmap.depth()));
                add("Image planes", "1");
            }
            break;
        }
        default:
            break;
        }
        add("Editable", single->m_Editable ? "true" : "false");
    }
    blank();
    if (boundsValid) {
        add("Top", Number(bounds[3]));
        add("Bottom", Number(bounds[1]));
        add("Left", Number(bounds[0]));
        add("Right", Number(bounds[2]));
        add("Height", Number(std::fabs(bounds[3] - bounds[1])));
        add("Width", Number(std::fabs(bounds[2] - bounds[0])));
    } else {
        for (const char* property : {"Top", "Bottom", "Left", "Right", "Height", "Width"})
            add(property, kUndefined);
    }
    if (single != nullptr && single->HasZ()) {
        const bool defined = single->GetAllShapeCount() > 0 && single->m_ZRangeValid;
        add("Z-min", defined ? Number(single->m_ZRange[0]) : kUndefined);
        add("Z-max", defined ? Number(single->m_ZRange[1]) : kUndefined);
    }
    if (single != nullptr) {
        blank();
        std::size_t extra = 0;
        for (const GpiDataBlock& block : single->m_GpiData)
            extra += block.m_Data.size();
        add("Extra data (bytes)", std::to_string(extra));
    }
    return rows;
}
