#include "panes/CoordinatesGridPane.h"

#include "core/Theme.h"
#include "formats/ClipboardFormats.h"
#include "framework/CommandTarget.h"
#include "framework/Document.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeOperations.h"
#include "geometry/ShapeVertexEditing.h"
#include "panes/GridPaneServices.h"
#include "platform/ByteOrder.h"
#include "platform/NumberText.h"
#include "settings/AppSettings.h"
#include "shapes/ShapeRecord.h"
#include "view/GeoView.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <limits>
#include <set>

namespace {

const char* const kNoSelection = "<No selection>";
const char* const kMultipleSelection = "<Multiple selection>";
const char* const kUnknownShape = "<Unknown Shape Type>";
const std::uint32_t kNoVertex = std::numeric_limits<std::uint32_t>::max();

// Byte offsets of a point record's coordinates, and of a multi record's
// point array.
constexpr std::size_t kPointXOffset = 12;
constexpr std::size_t kPointYOffset = 20;
constexpr std::size_t kPointZOffset = 28;
constexpr std::size_t kMultiPartStarts = 52;

class UpdatingGuard {
public:
    explicit UpdatingGuard(bool& flag) : m_Flag(flag), m_Old(flag) { m_Flag = true; }
    ~UpdatingGuard() { m_Flag = m_Old; }
    UpdatingGuard(const UpdatingGuard&) = delete;
    UpdatingGuard& operator=(const UpdatingGuard&) = delete;

private:
    bool& m_Flag;
    bool m_Old;
};

bool IsZType(std::uint32_t type) { return type == SHT_PointZ || type == SHT_PolylineZ || type == SHT_PolygonZ; }

std::string Format(double value, int precision) {
    return corvale::FormatFixed(value, std::clamp(precision, 0, 17));
}

// The address of point i's x (y follows) inside the record's bytes.
const unsigned char* PointAddress(const CShapeRecord* record, std::uint32_t i) {
    const unsigned char* bytes = CShapeRecord::Bytes(record);
    if (CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record)))
        return bytes + kPointXOffset;
    return bytes + kMultiPartStarts + 4 * std::size_t(CShapeRecord::GetPartCount(record)) + 16 * std::size_t(i);
}

// "Part k of n:" read back: k, or 0 when the text is no heading.
int HeadingPart(const std::string& text) {
    int k = 0;
    int n = 0;
    if (std::sscanf(text.c_str(), "Part %d of %d:", &k, &n) != 2)
        return 0;
    return k;
}

} // namespace

CCoordinatesGridPane::CCoordinatesGridPane(QWidget* parent) : CGridPane(parent) {
    setObjectName(QStringLiteral("Coordinates"));
    GetModel()->SetCellText([this](int row, int column) { return CellText(row, column); });
    GetModel()->SetEditFunction(
        [this](int row, int column, const std::string& text) { return EditCell(row, column, text); });
    GetModel()->SetCanEditFunction([this](int row, int) { return !IsHeadingRow(row); });
    GetModel()->SetHeadingRowFunction([this](int row) {
        if (row < 0 || static_cast<std::size_t>(row) >= m_X.size())
            return false;
        const std::string& x = m_X[static_cast<std::size_t>(row)];
        return x.compare(0, 4, "Part") == 0 || x.compare(0, 1, "<") == 0;
    });
    GetModel()->SetReadOnly(true);
    ResetColumns(false);
    connect(GetGrid()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnGridSelectionChanged(); });
    AddCommands();
}

CCoordinatesGridPane::~CCoordinatesGridPane() { Unsubscribe(); }

void CCoordinatesGridPane::AddCommands() {
    OnCommand(
        ID_COORD_CENTER_MAP, [this] { CenterMap(); }, [this](CCmdUI& ui) { ui.Enable(CenterMapEnabled()); });
    OnCommand(
        ID_VIEW_COPY_COORDINATE, [this] { CopyCoordinate(); },
        [this](CCmdUI& ui) { ui.Enable(CenterMapEnabled()); });
    OnCommand(
        ID_COORD_DELETE, [this] { DeleteSelected(); },
        [this](CCmdUI& ui) {
            ui.Enable(m_Theme != nullptr && HasOneSelectedShape() && IsEditable() && !IsImageTheme() &&
                      !GetSelectedRows().empty());
        });
    OnCommand(
        ID_COORD_PASTE_SPECIAL, [this] { PasteSpecial(); },
        [this](CCmdUI& ui) {
            const bool typeOk = m_Theme != nullptr && m_Theme->m_ShapeType != SHT_Point &&
                                m_Theme->m_ShapeType != SHT_PointZ && m_Theme->m_ShapeType != SHT_Polygon &&
                                m_Theme->m_ShapeType != SHT_PolygonZ && !IsImageTheme();
            ui.Enable(typeOk && HasOneSelectedShape() && IsEditable() && ClipboardHasPasteSpecialSource());
        });
    OnCommand(
        ID_COORD_REVERSE_PART, [this] { ReversePart(); },
        [this](CCmdUI& ui) {
            const std::vector<int> rows = GetSelectedRows();
            ui.Enable(m_Document != nullptr && rows.size() == 1 && IsEditable() && IsHeadingRow(rows.front()) &&
                      SelectedShape() != nullptr);
        });
    OnCommand(
        ID_GRID_COPY_AS_TEXT, [this] { CopySelectedRowsAsText(); },
        [this](CCmdUI& ui) { ui.Enable(!GetSelectedRows().empty()); });
}

std::vector<unsigned> CCoordinatesGridPane::ContextMenuCommands() const {
    return {ID_COORD_CENTER_MAP, ID_VIEW_COPY_COORDINATE, 0, ID_COORD_DELETE, ID_COORD_PASTE_SPECIAL,
            ID_COORD_REVERSE_PART, 0, ID_GRID_COPY_AS_TEXT, ID_GRID_COPY_CELL_VALUE};
}

QString CCoordinatesGridPane::CommandText(unsigned id) const {
    switch (id) {
    case ID_COORD_CENTER_MAP: return QStringLiteral("C&enter Map");
    case ID_VIEW_COPY_COORDINATE: return QStringLiteral("Copy &Coordinate");
    case ID_COORD_DELETE: return QStringLiteral("&Delete");
    case ID_COORD_PASTE_SPECIAL: return QStringLiteral("Paste &Special...");
    case ID_COORD_REVERSE_PART: return QStringLiteral("&Reverse Part");
    default: return CGridPane::CommandText(id);
    }
}

void CCoordinatesGridPane::Unsubscribe() {
    if (m_Document != nullptr && IsDocumentOpen(m_Document))
        m_Document->m_updateEvent.RemoveHandler(this);
}

void CCoordinatesGridPane::ResetColumns(bool withZ) {
    std::vector<std::string> headings = {"X", "Y"};
    if (withZ)
        headings.push_back("Z");
    GetModel()->SetTable(headings, static_cast<int>(m_X.size()));
    QHeaderView* header = GetGrid()->horizontalHeader();
    for (int column = 0; column < static_cast<int>(headings.size()); ++column)
        header->resizeSection(column, 100);
}

bool CCoordinatesGridPane::IsImageTheme() const { return m_Theme != nullptr && m_Theme->m_ShapeType == SHT_Image; }

bool CCoordinatesGridPane::IsEditable() const { return m_Theme != nullptr && m_Theme->m_Editable; }

bool CCoordinatesGridPane::HasOneSelectedShape() const { return SelectedShape() != nullptr; }

CShapeRecord* CCoordinatesGridPane::SelectedShape() const {
    if (m_Theme == nullptr || IsImageTheme() || m_Theme->m_Selection.size() != 1)
        return nullptr;
    return m_Theme->GetShape(m_Theme->GetShapePosition(m_Theme->m_Selection.begin()->first));
}

bool CCoordinatesGridPane::IsHeadingRow(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < m_RowKinds.size() &&
           m_RowKinds[static_cast<std::size_t>(row)] == CRK_Heading;
}

std::string CCoordinatesGridPane::CellText(int row, int column) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_X.size())
        return {};
    const std::size_t r = static_cast<std::size_t>(row);
    switch (column) {
    case 0: return m_X[r];
    case 1: return m_Y[r];
    case 2: return m_Z[r];
    case 3: return m_M[r];
    default: return {};
    }
}

void CCoordinatesGridPane::Refill() {
    m_X.clear();
    m_Y.clear();
    m_Z.clear();
    m_M.clear();
    m_RowKinds.clear();
    m_RowVertex.clear();
    if (m_Theme == nullptr)
        return;
    const int precision = CAppSettings::GetInstance()->m_DataViewPrecision;
    auto message = [this](const char* text) {
        m_X.emplace_back(text);
        m_Y.emplace_back();
        m_Z.emplace_back();
        m_M.emplace_back();
        m_RowKinds.push_back(CRK_Vertex);
        m_RowVertex.push_back(kNoVertex);
    };
    auto vertex = [&](std::uint32_t index, double x, double y, bool withZ, double z, double m) {
        m_X.push_back(Format(x, precision));
        m_Y.push_back(Format(y, precision));
        m_Z.push_back(withZ ? Format(z, precision) : std::string());
        m_M.push_back(withZ ? Format(m, precision) : std::string());
        m_RowKinds.push_back(CRK_Vertex);
        m_RowVertex.push_back(index);
    };
    auto heading = [&](std::uint32_t k, std::uint32_t n) {
        char text[64];
        std::snprintf(text, sizeof text, "Part %u of %u:", k + 1, n);
        m_X.emplace_back(text);
        m_Y.emplace_back();
        m_Z.emplace_back();
        m_M.emplace_back();
        m_RowKinds.push_back(CRK_Heading);
        m_RowVertex.push_back(kNoVertex);
    };
    const bool zTheme = IsZType(m_Theme->m_ShapeType);

    if (IsImageTheme()) {
        const std::vector<CShapePoint>& corners = m_Theme->m_Raster.m_Corners;
        if (corners.empty()) {
            message(kNoSelection);
            return;
        }
        // The corner ring is closed: its last point repeats the first.
        heading(0, 1);
        const std::size_t shown = corners.size() > 1 ? corners.size() - 1 : corners.size();
        for (std::size_t i = 0; i < shown; ++i)
            vertex(static_cast<std::uint32_t>(i), corners[i].x, corners[i].y, false, 0.0, 0.0);
        return;
    }
    if (m_Theme->m_Selection.empty()) {
        message(kNoSelection);
        return;
    }
    if (m_Theme->m_Selection.size() > 1) {
        message(kMultipleSelection);
        return;
    }
    const CShapeRecord* record = SelectedShape();
    if (record == nullptr) {
        message(kNoSelection);
        return;
    }
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    switch (type) {
    case SHT_Point:
    case SHT_PointZ: {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        vertex(0, p.x, p.y, zTheme, CShapeRecord::GetZ(record, 0), CShapeRecord::GetM(record, 0));
        return;
    }
    case SHT_Polyline:
    case SHT_Polygon:
    case SHT_PolylineZ:
    case SHT_PolygonZ: {
        const bool polygon = CShapeRecord::IsPolygonType(type);
        const std::uint32_t parts = CShapeRecord::GetPartCount(record);
        const std::uint32_t points = CShapeRecord::GetPointCount(record);
        for (std::uint32_t k = 0; k < parts; ++k) {
            heading(k, parts);
            const std::uint32_t first = CShapeRecord::GetPartStart(record, k);
            std::uint32_t end = k + 1 < parts ? CShapeRecord::GetPartStart(record, k + 1) : points;
            end = std::min(end, points);
            if (polygon && end > first)
                --end;
            for (std::uint32_t i = first; i < end; ++i) {
                const CShapePoint p = CShapeRecord::GetPoint(record, i);
                vertex(i, p.x, p.y, zTheme, CShapeRecord::GetZ(record, i), CShapeRecord::GetM(record, i));
            }
        }
        return;
    }
    default:
        message(kUnknownShape);
        return;
    }
}

void CCoordinatesGridPane::ApplyReadOnly() {
    const bool readOnly = m_Theme == nullptr || !m_Theme->m_Editable;
    GetModel()->SetReadOnly(readOnly);
    if (readOnly)
        CloseCellEditor();
}

void CCoordinatesGridPane::SetDocument(CCorvaleDoc* document) {
    UpdatingGuard guard(m_Updating);
    Unsubscribe();
    m_Document = document;
    if (document == nullptr) {
        m_Theme = nullptr;
        Refill();
        ResetColumns(false);
        ApplyReadOnly();
        return;
    }
    document->m_updateEvent.AddHandler(this, &CCoordinatesGridPane::OnDocumentUpdate);
    m_Theme = document->m_activeTheme;
    Refill();
    ResetColumns(m_Theme != nullptr && IsZType(m_Theme->m_ShapeType));
    ApplyReadOnly();
}

void CCoordinatesGridPane::OnDocumentUpdate(const void*, int code, std::intptr_t data) {
    if (m_Document == nullptr)
        return;
    UpdatingGuard guard(m_Updating);
    auto refresh = [this] {
        Refill();
        GetModel()->SetRowCount(static_cast<int>(m_X.size()));
        GetModel()->RefreshCells();
    };
    switch (code) {
    case DUE_Refresh:
    case DUE_NewDocument:
    case DUE_ActiveThemeChanged: {
        CTheme* theme = reinterpret_cast<CTheme*>(data);
        if (code == DUE_Refresh && theme == nullptr)
            theme = m_Document->m_activeTheme;
        m_Theme = theme;
        Refill();
        ResetColumns(m_Theme != nullptr && IsZType(m_Theme->m_ShapeType));
        ApplyReadOnly();
        break;
    }
    case DUE_FilterChanged:
    case DUE_ThemeDataChanged:
    case DUE_ZOrderChanged:
        if (reinterpret_cast<CTheme*>(data) == m_Document->m_activeTheme && m_Theme != nullptr)
            refresh();
        break;
    case DUE_ThemeRemoved:
        m_Theme = nullptr;
        Refill();
        ResetColumns(false);
        ApplyReadOnly();
        break;
    case DUE_SelectionChanged:
    case DUE_OptionsChanged:
        if (m_Theme == nullptr)
            m_Theme = m_Document->m_activeTheme;
        refresh();
        ApplyReadOnly();
        break;
    case DUE_ThemeModifiedChanged:
        ApplyReadOnly();
        break;
    case DUE_VertexSelectionCleared:
        refresh();
        ApplyReadOnly();
        break;
    case DUE_VertexSelected:
    case DUE_VertexAddedToSelection:
        SelectVertexRow(data, code == DUE_VertexAddedToSelection);
        break;
    default:
        break;
    }
}

void CCoordinatesGridPane::SelectVertexRow(std::intptr_t data, bool toggle) {
    if (data == 0 || m_Theme == nullptr)
        return;
    const auto* wanted = reinterpret_cast<const unsigned char*>(data);
    double xy[2];
    std::memcpy(xy, wanted, sizeof xy);
    int row = -1;
    if (IsImageTheme()) {
        const std::vector<CShapePoint>& corners = m_Theme->m_Raster.m_Corners;
        for (std::size_t i = 0; i < corners.size(); ++i)
            if (reinterpret_cast<const unsigned char*>(&corners[i]) == wanted ||
                (corners[i].x == xy[0] && corners[i].y == xy[1])) {
                row = static_cast<int>(std::min(i, corners.size() > 1 ? corners.size() - 2 : 0)) + 1;
                break;
            }
    } else {
        const CShapeRecord* record = SelectedShape();
        if (record == nullptr)
            return;
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        if (CShapeRecord::IsPointType(type)) {
            row = 0;
        } else {
            // The vertex itself, found by its place in the record, else the
            // first vertex at its coordinates; its row is found by index.
            const std::uint32_t points = CShapeRecord::GetPointCount(record);
            std::uint32_t found = kNoVertex;
            for (std::uint32_t i = 0; i < points && found == kNoVertex; ++i)
                if (PointAddress(record, i) == wanted)
                    found = i;
            for (std::uint32_t i = 0; i < points && found == kNoVertex; ++i) {
                const CShapePoint p = CShapeRecord::GetPoint(record, i);
                if (p.x == xy[0] && p.y == xy[1])
                    found = i;
            }
            if (found == kNoVertex)
                return;
            for (std::size_t r = 0; r < m_RowVertex.size(); ++r)
                if (m_RowVertex[r] == found) {
                    row = static_cast<int>(r);
                    break;
                }
            // A ring's closing point is shown as its first point.
            if (row < 0 && CShapeRecord::IsPolygonType(type)) {
                const std::uint32_t parts = CShapeRecord::GetPartCount(record);
                for (std::uint32_t k = 0; k < parts; ++k) {
                    const std::uint32_t end = k + 1 < parts ? CShapeRecord::GetPartStart(record, k + 1) : points;
                    if (end == found + 1) {
                        const std::uint32_t first = CShapeRecord::GetPartStart(record, k);
                        for (std::size_t r = 0; r < m_RowVertex.size(); ++r)
                            if (m_RowVertex[r] == first)
                                row = static_cast<int>(r);
                    }
                }
            }
        }
    }
    if (row < 0 || row >= GetModel()->GetRowCount())
        return;
    QItemSelectionModel* selection = GetGrid()->selectionModel();
    const QModelIndex index = GetModel()->index(row, 0);
    if (!toggle) {
        SelectRows({row}, true);
    } else if (IsRowSelected(row)) {
        selection->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    } else {
        SelectRows({row}, false);
    }
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    GetGrid()->scrollTo(index);
}

void CCoordinatesGridPane::OnGridSelectionChanged() {
    if (m_Updating || m_Document == nullptr || m_Theme == nullptr)
        return;
    if (!IsImageTheme() && !HasOneSelectedShape())
        return;
    const QModelIndex current = GetGrid()->selectionModel()->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    if (row < 0 || row >= GetModel()->GetRowCount() || !IsRowSelected(row) || IsHeadingRow(row))
        return;
    const std::uint32_t v = m_RowVertex[static_cast<std::size_t>(row)];
    if (v == kNoVertex)
        return;
    const unsigned char* address = nullptr;
    if (IsImageTheme()) {
        const std::vector<CShapePoint>& corners = m_Theme->m_Raster.m_Corners;
        if (v < corners.size())
            address = reinterpret_cast<const unsigned char*>(&corners[v]);
    } else {
        address = PointAddress(SelectedShape(), v);
    }
    if (address != nullptr)
        m_Document->FireUpdateEvent(this, DUE_VertexSelected, reinterpret_cast<std::intptr_t>(address));
}

bool CCoordinatesGridPane::EditCell(int row, int column, const std::string& text) {
    if (m_Document == nullptr || !IsEditable() || row < 0 || static_cast<std::size_t>(row) >= m_X.size() ||
        IsHeadingRow(row))
        return false;
    CShapeRecord* record = SelectedShape();
    if (record == nullptr)
        return false;
    // A text that is not a number is refused: storing 0 would throw the
    // vertex to the origin.
    double value = 0.0;
    if (!corvale::ParseDouble(text, value) || !std::isfinite(value))
        return false;
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    const bool zColumn = column == 2 && IsZType(type);
    if (column != 0 && column != 1 && !zColumn)
        return false;
    const std::uint32_t v = m_RowVertex[static_cast<std::size_t>(row)];
    unsigned char* bytes = CShapeRecord::Bytes(record);
    switch (type) {
    case SHT_Point:
    case SHT_PointZ:
        corvale::WriteLEDouble(bytes + (column == 0 ? kPointXOffset : column == 1 ? kPointYOffset : kPointZOffset),
                               value);
        break;
    case SHT_Polyline:
    case SHT_Polygon:
    case SHT_PolylineZ:
    case SHT_PolygonZ: {
        if (v == kNoVertex || v >= CShapeRecord::GetPointCount(record))
            return false;
        const CShapePoint p = CShapeRecord::GetPoint(record, v);
        const double x = column == 0 ? value : p.x;
        const double y = column == 1 ? value : p.y;
        const double z = zColumn ? value : CShapeRecord::GetZ(record, v);
        if (type == SHT_Polyline) {
            CShapeRecord::SetPointAt(record, v, x, y);
            CShapeRecord::RecalcBounds(record);
        } else if (type == SHT_Polygon) {
            CShapeRecord::SetPoint(record, v, true, x, y);
        } else if (type == SHT_PolylineZ) {
            CShapeRecord::SetPointZAt(record, v, x, y, z);
        } else {
            CShapeRecord::SetPointZ(record, v, x, y, z);
        }
        break;
    }
    default:
        return false;
    }
    std::string& cell = column == 0 ? m_X[static_cast<std::size_t>(row)]
                        : column == 1 ? m_Y[static_cast<std::size_t>(row)]
                                      : m_Z[static_cast<std::size_t>(row)];
    cell = text;
    // The box moved: searches through the hash must meet the record where it
    // now is.
    m_Theme->ReindexShape(record);
    m_Theme->RecalculateBounds();
    m_Theme->m_Modified = true;
    m_Document->FireUpdateEvent(this, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(m_Theme));
    // The pane does not hear its own event: the texts are brought back to
    // the number format (and a ring's other end) here.
    UpdatingGuard guard(m_Updating);
    Refill();
    GetModel()->RefreshCells();
    return true;
}

bool CCoordinatesGridPane::CenterMapEnabled() const {
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty())
        return false;
    const std::string& x = m_X[static_cast<std::size_t>(rows.front())];
    return x != kNoSelection && x != kMultipleSelection;
}

void CCoordinatesGridPane::CenterMap() {
    if (m_Document == nullptr)
        return;
    std::set<int> rows;
    for (int row : GetSelectedRows()) {
        if (row < 0 || static_cast<std::size_t>(row) >= m_X.size())
            continue;
        if (!IsHeadingRow(row)) {
            rows.insert(row);
            continue;
        }
        for (std::size_t r = static_cast<std::size_t>(row) + 1; r < m_X.size() && !IsHeadingRow(int(r)); ++r)
            rows.insert(static_cast<int>(r));
    }
    bool any = false;
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    for (int row : rows) {
        double x = 0.0;
        double y = 0.0;
        if (m_RowVertex[static_cast<std::size_t>(row)] == kNoVertex ||
            !corvale::ParseDouble(m_X[static_cast<std::size_t>(row)], x) ||
            !corvale::ParseDouble(m_Y[static_cast<std::size_t>(row)], y))
            continue;
        if (!any) {
            xmin = xmax = x;
            ymin = ymax = y;
            any = true;
        } else {
            xmin = std::min(xmin, x);
            xmax = std::max(xmax, x);
            ymin = std::min(ymin, y);
            ymax = std::max(ymax, y);
        }
    }
    if (any)
        m_Document->CenterMap((xmin + xmax) / 2.0, (ymin + ymax) / 2.0);
}

void CCoordinatesGridPane::CopyCoordinate() {
    std::string text;
    std::vector<std::uint32_t> vertices;
    const CAppSettings* settings = CAppSettings::GetInstance();
    for (int row : GetSelectedRows()) {
        if (IsHeadingRow(row) || static_cast<std::size_t>(row) >= m_X.size())
            continue;
        const std::uint32_t v = m_RowVertex[static_cast<std::size_t>(row)];
        if (v == kNoVertex)
            continue;
        double x = 0.0;
        double y = 0.0;
        corvale::ParseDouble(m_X[static_cast<std::size_t>(row)], x);
        corvale::ParseDouble(m_Y[static_cast<std::size_t>(row)], y);
        if (!text.empty())
            text += "\r\n";
        text += settings->FormatCopyCoordinate(x, y);
        vertices.push_back(v);
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (text.empty() || clipboard == nullptr)
        return;
    // The block carries the record's own values, not the rounded texts.
    std::vector<std::pair<double, double>> points;
    const CShapeRecord* record = SelectedShape();
    for (std::uint32_t v : vertices) {
        if (IsImageTheme()) {
            const std::vector<CShapePoint>& corners = m_Theme->m_Raster.m_Corners;
            if (v < corners.size())
                points.emplace_back(corners[v].x, corners[v].y);
        } else if (record != nullptr && v < std::max<std::uint32_t>(1, CShapeRecord::GetPointCount(record))) {
            const CShapePoint p = CShapeRecord::GetPoint(record, v);
            points.emplace_back(p.x, p.y);
        }
    }
    QByteArray block(static_cast<int>(8 + 16 * points.size()), '\0');
    corvale::WriteLE32(block.data(), static_cast<std::uint32_t>(points.size()));
    corvale::WriteLE32(block.data() + 4, 2);
    for (std::size_t i = 0; i < points.size(); ++i) {
        corvale::WriteLEDouble(block.data() + 8 + 16 * i, points[i].first);
        corvale::WriteLEDouble(block.data() + 16 + 16 * i, points[i].second);
    }
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    data->setData(QString::fromLatin1(kCoordinateClipboardMime), block);
    clipboard->setMimeData(data);
}

void CCoordinatesGridPane::AfterShapeReplaced(const void* sender) {
    m_Theme->m_Modified = true;
    m_Document->SetModifiedFlag(true);
    m_Theme->RecalculateBounds();
    {
        UpdatingGuard guard(m_Updating);
        GetGrid()->clearSelection();
    }
    m_Document->FireUpdateEvent(sender, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(m_Theme));
    const int top = GetGrid()->rowAt(0);
    UpdatingGuard guard(m_Updating);
    Refill();
    GetModel()->SetRowCount(static_cast<int>(m_X.size()));
    GetModel()->RefreshCells();
    if (top >= 0 && top < GetModel()->GetRowCount())
        GetGrid()->scrollTo(GetModel()->index(top, 0), QAbstractItemView::PositionAtTop);
}

void CCoordinatesGridPane::DeleteSelected() {
    if (m_Document == nullptr)
        return;
    CShapeRecord* record = SelectedShape();
    if (record == nullptr || !IsEditable())
        return;
    corvale::UI().BeginWaitCursor();
    struct WaitCursor {
        ~WaitCursor() { corvale::UI().EndWaitCursor(); }
    } waitCursor;
    const std::vector<int> rows = GetSelectedRows();
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    auto deleteWholeShape = [&] {
        if (corvale::UI().ShowMessage("This operation will delete the entire shape.\n\nProceed anyway?",
                                      corvale::MessageIcon::Warning, corvale::MessageButtons::YesNo) != corvale::IDYES)
            return;
        if (!m_Theme->DeleteSelectedShapes())
            return;
        m_Document->SetModifiedFlag(true);
        {
            UpdatingGuard guard(m_Updating);
            GetGrid()->clearSelection();
        }
        m_Document->FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(m_Theme));
    };
    if (CShapeRecord::IsPointType(type)) {
        deleteWholeShape();
        return;
    }
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    // What goes: parts whose heading is selected, and the selected vertices
    // of the other parts. A part that loses every listed vertex goes whole.
    std::vector<bool> partGoes(parts, false);
    std::vector<std::vector<std::uint32_t>> vertexGoes(parts);
    std::vector<std::uint32_t> listed(parts, 0);
    bool headingSelected = false;
    auto partOf = [&](std::uint32_t v) {
        std::uint32_t k = 0;
        while (k + 1 < parts && CShapeRecord::GetPartStart(record, k + 1) <= v)
            ++k;
        return k;
    };
    for (std::size_t r = 0; r < m_RowVertex.size(); ++r)
        if (!IsHeadingRow(int(r)) && m_RowVertex[r] != kNoVertex && m_RowVertex[r] < points)
            ++listed[partOf(m_RowVertex[r])];
    for (int row : rows) {
        if (row < 0 || static_cast<std::size_t>(row) >= m_X.size())
            continue;
        if (IsHeadingRow(row)) {
            const int k = HeadingPart(m_X[static_cast<std::size_t>(row)]);
            if (k >= 1 && static_cast<std::uint32_t>(k) <= parts) {
                partGoes[static_cast<std::size_t>(k - 1)] = true;
                headingSelected = true;
            }
            continue;
        }
        const std::uint32_t v = m_RowVertex[static_cast<std::size_t>(row)];
        if (v != kNoVertex && v < points)
            vertexGoes[partOf(v)].push_back(v);
    }
    bool anyPartLeft = false;
    for (std::uint32_t k = 0; k < parts; ++k) {
        if (!partGoes[k] && listed[k] > 0 && vertexGoes[k].size() >= listed[k])
            partGoes[k] = true;
        if (!partGoes[k])
            anyPartLeft = true;
    }
    if (!anyPartLeft) {
        deleteWholeShape();
        return;
    }
    if (headingSelected &&
        corvale::UI().ShowMessage("This operation will delete one or more entire parts.\n\nProceed anyway?",
                                  corvale::MessageIcon::Warning, corvale::MessageButtons::YesNo) != corvale::IDYES)
        return;
    CShapeRecordPtr copy(CloneShapeRecord(record));
    if (!copy)
        return;
    // From the last part to the first, so that the indexes still to be used
    // stay valid.
    for (std::uint32_t k = parts; k-- > 0;) {
        if (partGoes[k]) {
            DeleteShapePart(copy.get(), k);
            continue;
        }
        std::vector<std::uint32_t>& vertices = vertexGoes[k];
        std::sort(vertices.begin(), vertices.end());
        for (auto it = vertices.rbegin(); it != vertices.rend(); ++it)
            DeleteShapeVertex(copy.get(), *it);
    }
    RemoveDegenerateParts(copy.get());
    RecalcShapeBounds(copy.get());
    if (m_Theme->ReplaceShape(copy.get(), record) == nullptr)
        return;
    AfterShapeReplaced(this);
}

namespace {

// The clipboard's first polyline shape, or else a one-part polyline through
// its coordinates; null when it holds neither.
CShapeRecordPtr ReadPasteSpecialSource() {
    CShapeRecordVector shapes;
    if (ClipboardHasPolylineShapes())
        ReadClipboardShapes(shapes);
    CShapeRecordPtr source;
    for (CShapeRecord*& shape : shapes) {
        if (!source && CShapeRecord::IsPolylineType(CShapeRecord::GetShapeType(shape))) {
            source.reset(shape);
            shape = nullptr;
        }
    }
    DeleteShapeRecords(shapes);
    if (!source)
        source.reset(ReadClipboardCoordinates());
    return source;
}

// The points of one part of a sound record, x and y only.
CShapePointList PartPoints(const CShapeRecord* record, std::uint32_t part) {
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const std::uint32_t points = CShapeRecord::GetPointCount(record);
    const std::uint32_t first = CShapeRecord::GetPartStart(record, part);
    const std::uint32_t end = part + 1 < parts ? CShapeRecord::GetPartStart(record, part + 1) : points;
    CShapePointList list;
    for (std::uint32_t i = first; i < end; ++i)
        list.push_back(CShapeRecord::GetPoint(record, i));
    return list;
}

} // namespace

const char* const CCoordinatesGridPane::kAppendMultipartMessage =
    "Appending coordinates from a multipart polyline is\ncurrently not supported.";

bool CCoordinatesGridPane::ClipboardHasPasteSpecialSource() {
    return (ClipboardHasPolylineShapes() && GetClipboardShapeCount() == 1) ||
           !ReadClipboardCoordinatePoints().empty();
}

void CCoordinatesGridPane::PasteSpecial() {
    if (m_Document == nullptr || !IsEditable())
        return;
    CShapeRecord* record = SelectedShape();
    if (record == nullptr || !CShapeRecord::IsPolylineType(CShapeRecord::GetShapeType(record)) ||
        !ClipboardHasPasteSpecialSource())
        return;
    int choice = 0;
    if (!GridPaneServices().ChooseFromList(this, "How should pasted data be inserted?",
                                           {"Append coordinates to selected part", "Paste shape as new part(s)"},
                                           choice))
        return;
    const CShapeRecordPtr pasted = ReadPasteSpecialSource();
    // A shape or coordinate block that does not read whole adds nothing.
    if (!pasted || !IsShapeRecordSound(pasted.get()))
        return;
    CShapeRecordPtr replacement;
    if (choice == 0) {
        if (CShapeRecord::GetPartCount(pasted.get()) != 1) {
            corvale::UI().ShowMessage(kAppendMultipartMessage, corvale::MessageIcon::Information,
                                      corvale::MessageButtons::Ok);
            return;
        }
        CShapePointList source = PartPoints(pasted.get(), 0);
        // The part of the first selected row: the headings above it count.
        std::uint32_t part = 0;
        const std::vector<int> rows = GetSelectedRows();
        if (!rows.empty()) {
            int headings = 0;
            for (int r = 0; r <= rows.front() && static_cast<std::size_t>(r) < m_X.size(); ++r)
                headings += IsHeadingRow(r) ? 1 : 0;
            part = headings > 0 ? static_cast<std::uint32_t>(headings - 1) : 0;
        }
        const std::uint32_t parts = CShapeRecord::GetPartCount(record);
        if (part >= parts)
            part = parts > 0 ? parts - 1 : 0;
        const std::uint32_t points = CShapeRecord::GetPointCount(record);
        const std::uint32_t end = part + 1 < parts ? CShapeRecord::GetPartStart(record, part + 1) : points;
        // The join is not doubled: a first pasted point equal to the part's
        // last one is skipped.
        if (end > 0 && !source.empty()) {
            const CShapePoint last = CShapeRecord::GetPoint(record, end - 1);
            if (source.front().x == last.x && source.front().y == last.y)
                source.erase(source.begin());
        }
        if (source.empty())
            return;
        replacement.reset(AppendPointsToPart(record, source, part));
    } else {
        // Every new part needs a line's two points.
        const std::uint32_t parts = CShapeRecord::GetPartCount(pasted.get());
        for (std::uint32_t k = 0; k < parts; ++k)
            if (PartPoints(pasted.get(), k).size() < 2)
                return;
        replacement.reset(CombinePolylineShapes(record, pasted.get()));
    }
    if (!replacement)
        return;
    if (m_Theme->ReplaceShape(replacement.get(), record) == nullptr)
        return;
    AfterShapeReplaced(nullptr);
}

void CCoordinatesGridPane::ReversePart() {
    const std::vector<int> rows = GetSelectedRows();
    if (m_Document == nullptr || rows.size() != 1 || !IsEditable() || !IsHeadingRow(rows.front()))
        return;
    CShapeRecord* record = SelectedShape();
    const int k = HeadingPart(m_X[static_cast<std::size_t>(rows.front())]);
    if (record == nullptr || k < 1)
        return;
    if (!ReverseShapePart(record, static_cast<std::uint32_t>(k - 1)))
        return;
    m_Theme->m_Modified = true;
    m_Document->FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(m_Theme));
    UpdatingGuard guard(m_Updating);
    Refill();
    GetModel()->RefreshCells();
}
