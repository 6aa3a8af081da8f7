#include "panes/AttributesGridPane.h"

#include "core/Theme.h"
#include "core/query/QueryEngine.h"
#include "framework/Document.h"
#include "framework/UserInterface.h"
#include "platform/TextCase.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"
#include "workspace/ViewMessages.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>

#include <algorithm>
#include <cctype>

namespace {

using corvale::EqualsNoCase;
using corvale::StartsWithNoCase;
using corvale::ToUpperAscii;

// The rows of a selection change, each once, ascending.
std::vector<int> RowsOf(const QItemSelection& selection) {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selection)
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

int& CAttributesGridPane::StatisticsRowChoice() {
    static int choice = 0;
    return choice;
}

CAttributesGridPane::CAttributesGridPane(QWidget* parent) : CGridPane(parent) {
    setObjectName(QStringLiteral("AttributeView"));
    GetModel()->SetShowLinks(true);
    GetModel()->SetCellText([this](int row, int column) {
        return m_Theme != nullptr ? m_Theme->GetAttributeTextAt(row, column) : std::string();
    });
    GetModel()->SetEditFunction(
        [this](int row, int column, const std::string& text) { return EditCell(row, column, text); });
    connect(GetGrid()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& s, const QItemSelection& d) { OnGridSelectionChanged(s, d); });
    AddCommands();
}

CAttributesGridPane::~CAttributesGridPane() { Unsubscribe(); }

void CAttributesGridPane::Unsubscribe() {
    if (m_Document == nullptr || !IsDocumentOpen(m_Document))
        return;
    m_Document->m_updateEvent.RemoveHandler(this);
    if (m_Document->m_commandWindow == this)
        m_Document->m_commandWindow = nullptr;
}

void CAttributesGridPane::SetDocument(CCorvaleDoc* document) {
    if (document == m_Document)
        return;
    Unsubscribe();
    m_Document = document;
    if (document == nullptr) {
        ClearTable();
        GridPaneServices().RefreshFindDialog(*this, nullptr);
        GridPaneServices().SetQueryDialogTheme(*this, nullptr);
        return;
    }
    document->m_updateEvent.AddHandler(this, &CAttributesGridPane::OnDocumentUpdate);
    OnDocumentUpdate(nullptr, DUE_NewDocument, reinterpret_cast<std::intptr_t>(document->m_activeTheme));
    document->m_commandWindow = this;
    GridPaneServices().RefreshFindDialog(*this, m_Theme);
    GridPaneServices().SetQueryDialogTheme(
        *this, document->m_selectedThemes.size() == 1 ? document->m_activeTheme : nullptr);
}

void CAttributesGridPane::ClearTable() {
    m_Theme = nullptr;
    m_Editable = false;
    GetModel()->SetTable({}, 0);
}

void CAttributesGridPane::StoreThemeState() {
    if (m_Theme == nullptr)
        return;
    ThemeGridState& state = m_ThemeStates[m_Theme];
    state.header = GetGrid()->horizontalHeader()->saveState();
    state.columns = GetModel()->GetColumnCount();
    state.topRow = std::max(0, GetGrid()->rowAt(0));
}

void CAttributesGridPane::BuildTable() {
    std::vector<std::string> headings;
    std::vector<bool> keys;
    const int fields = m_Theme != nullptr ? static_cast<int>(m_Theme->GetAttributeCount()) : 0;
    for (int field = 0; field < fields; ++field) {
        headings.push_back(m_Theme->GetAttributeName(field));
        keys.push_back(m_Theme->IsKeyAttribute(field));
    }
    GetModel()->SetTable(headings, m_Theme != nullptr ? m_Theme->GetShapeCount() : 0);
    GetModel()->SetKeyColumns(keys);
    // Native columns tell what they hold in the heading's tooltip.
    if (m_Theme != nullptr && m_Theme->m_SourceType == ST_Native) {
        std::vector<std::string> tips;
        for (int field = 0; field < fields; ++field) {
            const auto& description = m_Theme->m_NativeTable.GetDescription(field);
            tips.push_back(description ? *description : std::string());
        }
        GetModel()->SetHeadingToolTips(tips);
    }
    QHeaderView* header = GetGrid()->horizontalHeader();
    for (int c = 0; c < fields; ++c)
        header->resizeSection(c, 70);
    const auto it = m_ThemeStates.find(m_Theme);
    if (it != m_ThemeStates.end() && it->second.columns == fields && fields > 0)
        header->restoreState(it->second.header);
    MarkSelectedRows();
}

void CAttributesGridPane::ApplyEditable() {
    GetModel()->SetReadOnly(!m_Editable);
    if (!m_Editable)
        CloseCellEditor();
}

void CAttributesGridPane::ShowTheme(CTheme* theme) {
    StoreThemeState();
    GetModel()->SetTable({}, 0);
    m_Theme = theme;
    GridPaneServices().RefreshFindDialog(*this, m_Theme);
    GridPaneServices().SetQueryDialogTheme(*this, m_Theme);
    BuildTable();
    m_Editable = m_Theme != nullptr && m_Theme->m_Editable;
    ApplyEditable();
    const auto it = m_ThemeStates.find(m_Theme);
    if (GetModel()->GetRowCount() > 0 && it != m_ThemeStates.end() && it->second.topRow > 0)
        GetGrid()->scrollTo(GetModel()->index(std::min(it->second.topRow, GetModel()->GetRowCount() - 1), 0),
                            QAbstractItemView::PositionAtTop);
    GetGrid()->viewport()->update();
}

void CAttributesGridPane::MarkSelectedRows() {
    std::vector<int> rows;
    if (m_Theme != nullptr) {
        rows.reserve(m_Theme->m_Selection.size());
        for (const auto& entry : m_Theme->m_Selection) {
            const int position = m_Theme->GetShapePosition(entry.first);
            if (position >= 0)
                rows.push_back(position);
        }
        std::sort(rows.begin(), rows.end());
    }
    const bool updating = m_Updating;
    m_Updating = true;
    SelectRows(rows, true);
    if (!rows.empty())
        GetGrid()->selectionModel()->setCurrentIndex(GetModel()->index(rows.back(), 0),
                                                     QItemSelectionModel::NoUpdate);
    m_Updating = updating;
}

void CAttributesGridPane::OnDocumentUpdate(const void* /*sender*/, int code, std::intptr_t data) {
    if (m_Document == nullptr)
        return;
    const bool updating = m_Updating;
    m_Updating = true;
    CTheme* dataTheme = reinterpret_cast<CTheme*>(data);
    switch (code) {
    case DUE_Refresh:
        if (dataTheme == nullptr)
            dataTheme = m_Document->m_activeTheme;
        [[fallthrough]];
    case DUE_NewDocument:
    case DUE_ActiveThemeChanged:
        ShowTheme(dataTheme);
        break;
    case DUE_FilterChanged:
        CloseCellEditor();
        // Another theme's filter is not this table's business; the active
        // one's rows are rebuilt.
        if (dataTheme != nullptr && dataTheme == m_Theme) {
            GetModel()->SetRowCount(m_Theme->GetShapeCount());
            MarkSelectedRows();
        } else if (dataTheme != nullptr && dataTheme == m_Document->m_activeTheme) {
            ShowTheme(dataTheme);
        }
        break;
    case DUE_ThemeRemoved:
        m_ThemeStates.erase(dataTheme);
        if (dataTheme == nullptr || dataTheme == m_Theme) {
            ClearTable();
            GridPaneServices().RefreshFindDialog(*this, nullptr);
            GridPaneServices().SetQueryDialogTheme(*this, nullptr);
        }
        break;
    case DUE_SelectionChanged:
        if (m_Theme != nullptr) {
            MarkSelectedRows();
            if (data >= 0) {
                const int position = m_Theme->GetShapePosition(static_cast<int>(data));
                if (position >= 0)
                    GetGrid()->scrollTo(GetModel()->index(position, 0));
            }
        }
        break;
    case DUE_ThemeDataChanged:
    case DUE_ZOrderChanged:
        if (dataTheme != nullptr && dataTheme == m_Document->m_activeTheme) {
            if (code == DUE_ThemeDataChanged) {
                GridPaneServices().RefreshFindDialog(*this, dataTheme);
                GridPaneServices().SetQueryDialogTheme(*this, dataTheme);
            }
            if (m_Theme != dataTheme) {
                ShowTheme(dataTheme);
                break;
            }
            StoreThemeState();
            const int topRow = m_ThemeStates[m_Theme].topRow;
            GetGrid()->setUpdatesEnabled(false);
            BuildTable();
            GetGrid()->setUpdatesEnabled(true);
            if (GetModel()->GetRowCount() > 0)
                GetGrid()->scrollTo(GetModel()->index(std::min(topRow, GetModel()->GetRowCount() - 1), 0),
                                    QAbstractItemView::PositionAtTop);
            GetGrid()->viewport()->update();
        }
        break;
    case DUE_ThemeModifiedChanged: {
        const CTheme* theme = dataTheme != nullptr && dataTheme == m_Theme ? dataTheme : m_Theme;
        m_Editable = theme != nullptr && theme->m_Editable;
        ApplyEditable();
        break;
    }
    case DUE_ColumnCommand: {
        auto* ui = reinterpret_cast<CCmdUI*>(data);
        if (ui != nullptr)
            OnCmdMsg(ui->m_nID, ui);
        break;
    }
    default:
        break;
    }
    m_Updating = updating;
}

void CAttributesGridPane::OnGridSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (m_Updating || m_Document == nullptr || m_Theme == nullptr)
        return;
    const std::uint32_t color = CAppSettings::GetInstance()->m_ColorSelection;
    const int width = m_Theme->IsPointTheme() ? 3 : m_Theme->m_LineWidth;
    if (!deselected.isEmpty() && !GetGrid()->selectionModel()->hasSelection()) {
        // Every row deselected: the whole selection goes.
        m_Theme->ClearSelection();
    } else {
        for (int row : RowsOf(deselected)) {
            const int shapeIndex = m_Theme->GetShapeIndex(row);
            if (shapeIndex >= 0)
                m_Theme->RemoveFromSelection(shapeIndex);
        }
    }
    for (int row : RowsOf(selected)) {
        const int shapeIndex = m_Theme->GetShapeIndex(row);
        if (shapeIndex >= 0)
            m_Theme->AddToSelection(shapeIndex, row, width, color);
    }
    m_Document->FireUpdateEvent(this, DUE_SelectionChanged, DUE_SELECTION_SEVERAL);
}

bool CAttributesGridPane::EditCell(int row, int column, const std::string& text) {
    if (m_Document == nullptr || m_Theme == nullptr || !m_Editable || !m_Theme->m_Editable)
        return false;
    if (!IsValidAttributeText(m_Theme->GetAttributeType(column), text)) {
        corvale::UI().ShowMessage("\"" + text + "\" is not a valid value for the field '" +
                                      m_Theme->GetAttributeName(column) + "'.\n\nThe cell keeps its value.",
                                  corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
        return false;
    }
    if (!m_Theme->SetAttributeTextAt(row, column, text))
        return false;
    m_Document->SetModifiedFlag(true);
    return true;
}

void CAttributesGridPane::OpenLink(const std::string& link) {
    if (StartsWithNoCase(link, "http://") || StartsWithNoCase(link, "https://") ||
        StartsWithNoCase(link, "ftp://") || StartsWithNoCase(link, "mailto:")) {
        GridPaneServices().OpenUrl(link);
    } else if (StartsWithNoCase(link, "www.")) {
        GridPaneServices().OpenUrl("http://" + link);
    } else if (StartsWithNoCase(link, "file:")) {
        // A file link may name a program; it is opened only when the user says so.
        if (corvale::UI().ShowMessage("This cell links to a local file:\n" + link + "\n\nOpen it?",
                                      corvale::MessageIcon::Question,
                                      corvale::MessageButtons::YesNo) == corvale::IDYES)
            GridPaneServices().OpenUrl(link);
    }
}

bool CAttributesGridPane::OneHeadingSelected() const { return GetModel()->GetSelectedHeadings().size() == 1; }

void CAttributesGridPane::AddCommands() {
    OnCommand(
        ID_ATTR_LOCATE,
        [this] {
            const QModelIndex current = GetGrid()->currentIndex();
            if (m_Document != nullptr && current.isValid())
                m_Document->CenterMapOnShape(current.row());
        },
        [this](CCmdUI& ui) { ui.Enable(m_Document != nullptr && GetGrid()->currentIndex().isValid()); });
    OnCommand(
        ID_TABLE_FIND,
        [this] {
            if (m_Theme != nullptr)
                GridPaneServices().ShowFindDialog(*this, m_Theme, nullptr);
        },
        [this](CCmdUI& ui) { ui.Enable(m_Theme != nullptr && GridPaneServices().HasFindDialog()); });
    OnCommand(
        ID_TABLE_GO_TO,
        [this] {
            if (m_Theme != nullptr)
                GridPaneServices().ShowGoToDialog(*this);
        },
        [this](CCmdUI& ui) { ui.Enable(m_Theme != nullptr && GridPaneServices().HasGoToDialog()); });
    OnCommand(
        ID_TABLE_QUERY,
        [this] {
            if (m_Theme != nullptr)
                GridPaneServices().ShowQueryDialog(*this, m_Theme);
        },
        [this](CCmdUI& ui) { ui.Enable(m_Theme != nullptr && GridPaneServices().HasQueryDialog()); });
    for (unsigned id : {ID_SELECTION_SELECT_ALL, ID_SELECTION_CLEAR, ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE})
        OnCommand(
            id, [id] { GridPaneServices().ForwardCommand(id); },
            [id](CCmdUI& ui) { GridPaneServices().UpdateForwardedCommand(id, ui); });
    OnCommand(
        ID_GRID_OPEN_URL, [this] { OpenLink(GetContextCellText()); },
        [this](CCmdUI& ui) { ui.Enable(IsHyperlinkText(GetContextCellText())); });
    OnCommandRange(
        ID_COLUMN_STATISTICS_FIRST, ID_COLUMN_STATISTICS_LAST,
        [this](unsigned id) { RunStatistic(static_cast<ColumnStatistic>(id - ID_COLUMN_STATISTICS_FIRST)); },
        [this](CCmdUI& ui) {
            // With rows selected the statistics first ask which rows count.
            ui.Enable(m_Theme != nullptr && OneHeadingSelected() &&
                      (GetSelectedRows().empty() || GridPaneServices().HasStatisticsSelectionDialog()));
        });
    // Sorting reorders the theme's shapes (their drawing order), so only an
    // editable theme without filtered-out shapes is offered it.
    OnCommandRange(
        ID_COLUMN_SORT_ASCENDING, ID_COLUMN_SORT_DESCENDING,
        [this](unsigned id) { SortByHeading(id == ID_COLUMN_SORT_DESCENDING); },
        [this](CCmdUI& ui) { ui.Enable(CanSort()); });
    OnCommand(
        ID_COLUMN_CHECK_DUPLICATES, [this] { CheckDuplicates(false); },
        [this](CCmdUI& ui) {
            ui.Enable(m_Theme != nullptr && !GetModel()->GetSelectedHeadings().empty() &&
                      GridPaneServices().HasTableCheckDialogs());
        });
    OnCommand(
        ID_COLUMN_SHOW_VALUE_LIST, [this] { CheckDuplicates(true); },
        [this](CCmdUI& ui) {
            ui.Enable(m_Theme != nullptr && OneHeadingSelected() && GridPaneServices().HasTableCheckDialogs());
        });
}

std::vector<unsigned> CAttributesGridPane::ContextMenuCommands() const {
    return {ID_ATTR_LOCATE,   0, ID_SELECTION_SELECT_ALL, ID_SELECTION_CLEAR, 0, ID_EDIT_CUT, ID_EDIT_COPY,
            ID_GRID_COPY_CELL_VALUE, ID_EDIT_PASTE, 0, ID_GRID_OPEN_URL};
}

QString CAttributesGridPane::CommandText(unsigned id) const {
    switch (id) {
    case ID_ATTR_LOCATE: return QStringLiteral("&Locate");
    case ID_SELECTION_SELECT_ALL: return QStringLiteral("Select &All");
    case ID_SELECTION_CLEAR: return QStringLiteral("C&lear Selection");
    case ID_EDIT_CUT: return QStringLiteral("Cu&t");
    case ID_EDIT_COPY: return QStringLiteral("&Copy");
    case ID_EDIT_PASTE: return QStringLiteral("&Paste");
    default: return CGridPane::CommandText(id);
    }
}

bool CAttributesGridPane::FindNext(const CFindRequest& request) {
    if (m_Theme == nullptr) {
        GridPaneServices().Beep();
        return false;
    }
    const int count = GetModel()->GetRowCount();
    // An empty table has no row to start from nor to find.
    if (count == 0) {
        GridPaneServices().Beep();
        return false;
    }
    const bool down = request.m_Down;
    int start = down ? count - 1 : 0;
    const std::vector<int> selected = GetSelectedRows();
    if (!selected.empty())
        start = selected.front();
    m_Updating = true;
    SelectRows({}, true);
    m_Updating = false;
    const std::string upperText = ToUpperAscii(request.m_Text);
    const int fields = GetModel()->GetColumnCount();
    int row = down ? start + 1 : start - 1;
    for (;;) {
        if (down && row >= count)
            row = 0;
        if (!down && row < 0)
            row = count - 1;
        if (row == start) {
            m_Updating = true;
            SelectRows({start}, true);
            m_Updating = false;
            GridPaneServices().Beep();
            return false;
        }
        for (int field = 0; field < fields; ++field) {
            if (request.m_ChosenColumnsOnly &&
                (static_cast<std::size_t>(field) >= request.m_CheckedFields.size() || !request.m_CheckedFields[field]))
                continue;
            const std::string cell = GetModel()->GetCellText(row, field);
            bool match = false;
            if (!request.m_EntireField)
                match = request.m_MatchCase ? cell.find(request.m_Text) != std::string::npos
                                            : ToUpperAscii(cell).find(upperText) != std::string::npos;
            else
                match = request.m_MatchCase ? cell == request.m_Text : EqualsNoCase(cell, request.m_Text);
            if (match) {
                // This selection reaches the theme through the grid's
                // selection notification.
                SelectRows({row}, true);
                GetGrid()->selectionModel()->setCurrentIndex(GetModel()->index(row, 0), QItemSelectionModel::NoUpdate);
                GetGrid()->scrollTo(GetModel()->index(row, 0));
                return true;
            }
        }
        row += down ? 1 : -1;
    }
}

bool CAttributesGridPane::QueryCallback(CAttributesGridPane* pane, int mode, const std::string& query, int& count,
                                        std::string& error) {
    if (pane == nullptr) {
        error = "Internal error.\nCallback information contained null pointer.";
        return false;
    }
    if (pane->m_Theme == nullptr) {
        error = "Query mode not available.\nNo theme selected.";
        return false;
    }
    if (pane->m_Document == nullptr) {
        error = "Internal error.\nQuery mode not available.\nNo workspace.";
        return false;
    }
    count = 0;
    CTheme* theme = pane->m_Theme;
    CorvaleSQL::CQueryEngine engine;
    if (!engine.Prepare(theme, query, error))
        return false;
    const std::uint32_t color = CAppSettings::GetInstance()->m_ColorSelection;
    const int width = theme->IsPointTheme() ? 3 : theme->m_LineWidth;
    const int shapes = theme->GetShapeCount();
    std::vector<int> rows;
    bool changed = false;
    for (int position = 0; position < shapes; ++position) {
        bool match = false;
        if (!engine.Evaluate(theme, match, position, error))
            return false;
        if (!match)
            continue;
        ++count;
        const int shapeIndex = theme->GetShapeIndex(position);
        if (mode == QM_Select) {
            rows.push_back(position);
            theme->AddToSelection(shapeIndex, position, width, color);
            changed = true;
        } else if (mode == QM_Deselect) {
            pane->m_Updating = true;
            pane->GetGrid()->selectionModel()->select(pane->GetModel()->index(position, 0),
                                                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
            pane->m_Updating = false;
            if (pane->m_Document->m_activeTheme != nullptr) {
                theme->RemoveFromSelection(shapeIndex);
                PostMessage(pane->m_Document->m_mapView, WM_THEME_SELECTION_CHANGED, 0,
                            reinterpret_cast<std::intptr_t>(pane->m_Document->m_activeTheme));
            }
            changed = true;
        } else if (mode == QM_First) {
            break;
        }
    }
    if (!rows.empty()) {
        pane->m_Updating = true;
        pane->SelectRows(rows, false);
        pane->m_Updating = false;
    }
    if (changed || mode == QM_Select || mode == QM_Deselect)
        pane->m_Document->FireUpdateEvent(pane, DUE_SelectionChanged, DUE_SELECTION_SEVERAL);
    return true;
}

void CAttributesGridPane::RunStatistic(ColumnStatistic statistic) {
    const std::vector<int> headings = GetModel()->GetSelectedHeadings();
    if (headings.empty() || m_Theme == nullptr)
        return;
    const int column = headings.front();
    int choice = 0;
    if (!GetSelectedRows().empty()) {
        if (!GridPaneServices().ChooseStatisticsRows(this, StatisticsRowChoice()))
            return;
        choice = StatisticsRowChoice();
    }
    std::vector<double> values;
    for (int row = 0; row < GetModel()->GetRowCount(); ++row) {
        if (choice == 1 && !IsRowSelected(row))
            continue;
        if (choice == 2 && IsRowSelected(row))
            continue;
        double value = 0.0;
        if (ParseStatisticsNumber(GetModel()->GetCellText(row, column), value))
            values.push_back(value);
    }
    GridPaneServices().ShowTextInformation(this, "Statistics",
                                           FormatColumnStatisticMessage(statistic, GetModel()->GetHeading(column), values));
}

bool CAttributesGridPane::CanSort() const {
    const CTheme* theme = m_Document != nullptr ? m_Document->m_activeTheme : nullptr;
    return theme != nullptr && theme == m_Theme && theme->m_Editable && theme->GetFilteredShapeCount() == 0 &&
           OneHeadingSelected();
}

void CAttributesGridPane::SortByHeading(bool descending) {
    if (!CanSort())
        return;
    const int column = GetModel()->GetSelectedHeadings().front();
    corvale::UI().SetStatusText("Working...");
    {
        corvale::CWaitCursor wait;
        m_Theme->SortShapes(column, descending);
    }
    m_Document->SetModifiedFlag(true);
    m_Document->FireUpdateEvent(nullptr, DUE_ZOrderChanged, reinterpret_cast<std::intptr_t>(m_Theme));
    corvale::UI().SetStatusText("For Help, press F1");
}

void CAttributesGridPane::CheckDuplicates(bool valueList) {
    const std::vector<int> columns = GetModel()->GetSelectedHeadings();
    if (columns.empty() || m_Theme == nullptr)
        return;
    bool ignoreBlank = false;
    if (!GridPaneServices().ChooseTableCheckOptions(this, ignoreBlank))
        return;
    corvale::UI().SetStatusText("Working...");
    std::map<std::string, int> counts;
    std::string label;
    bool found = false;
    {
        corvale::CWaitCursor wait;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                label += "+";
            label += GetModel()->GetHeading(columns[i]);
        }
        found = m_Theme->FindDuplicateKeys(ignoreBlank, "\t", counts, columns);
    }
    if (!valueList && !found) {
        corvale::UI().SetStatusText("For Help, press F1");
        corvale::UI().ShowMessage("No duplicates found.", corvale::MessageIcon::Information,
                                  corvale::MessageButtons::Ok);
        return;
    }
    corvale::UI().SetStatusText("For Help, press F1");
    std::string chosen;
    if (!GridPaneServices().ShowDuplicateData(this, counts, label, columns.size() == 1, valueList ? 1 : 2, chosen) ||
        m_Theme == nullptr)
        return;
    CFindRequest preset;
    preset.m_Text = chosen;
    preset.m_ChosenColumnsOnly = true;
    preset.m_CheckedFields.assign(static_cast<std::size_t>(GetModel()->GetColumnCount()), false);
    preset.m_CheckedFields[static_cast<std::size_t>(columns.back())] = true;
    GridPaneServices().ShowFindDialog(*this, m_Theme, &preset);
}
