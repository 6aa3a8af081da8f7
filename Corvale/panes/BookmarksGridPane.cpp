#include "panes/BookmarksGridPane.h"

#include "framework/CommandTarget.h"
#include "framework/Document.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include <cstdio>

namespace {

// Sets the flag for the lifetime of the guard, restoring the old value.
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

std::string PrintDouble(double value) {
    char text[512];
    std::snprintf(text, sizeof text, "%lf", value);
    return text;
}

} // namespace

CBookmarksGridPane::CBookmarksGridPane(QWidget* parent) : CGridPane(parent) {
    setObjectName(QStringLiteral("Bookmarks"));
    GetModel()->SetCellText([this](int row, int column) { return CellText(row, column); });
    GetModel()->SetEditFunction(
        [this](int row, int column, const std::string& text) { return EditCell(row, column, text); });
    GetModel()->SetCanEditFunction([](int, int column) { return column == 0; });
    GetModel()->SetReadOnly(false);
    GetModel()->SetTable({"Name", "X", "Y"}, 0);
    QHeaderView* header = GetGrid()->horizontalHeader();
    header->resizeSection(0, 60);
    header->resizeSection(1, 90);
    header->resizeSection(2, 90);
    connect(GetGrid()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnGridSelectionChanged(); });
    OnCommand(
        ID_BOOKMARK_REMOVE, [this] { RemoveSelected(); },
        [this](CCmdUI& ui) { ui.Enable(!GetSelectedRows().empty()); });
}

CBookmarksGridPane::~CBookmarksGridPane() { Unsubscribe(); }

std::vector<unsigned> CBookmarksGridPane::ContextMenuCommands() const {
    return {ID_BOOKMARK_REMOVE, 0, ID_GRID_COPY_CELL_VALUE};
}

QString CBookmarksGridPane::CommandText(unsigned id) const {
    if (id == ID_BOOKMARK_REMOVE)
        return QStringLiteral("&Remove Bookmark");
    return CGridPane::CommandText(id);
}

void CBookmarksGridPane::Unsubscribe() {
    if (m_Document != nullptr && IsDocumentOpen(m_Document))
        m_Document->m_updateEvent.RemoveHandler(this);
}

int CBookmarksGridPane::BookmarkCount() const {
    return m_Document != nullptr ? static_cast<int>(m_Document->m_bookmarks.size()) : 0;
}

void CBookmarksGridPane::SetDocument(CCorvaleDoc* document) {
    UpdatingGuard guard(m_Updating);
    Unsubscribe();
    m_Document = document;
    GetModel()->SetRowCount(BookmarkCount());
    if (document != nullptr)
        document->m_updateEvent.AddHandler(this, &CBookmarksGridPane::OnDocumentUpdate);
}

void CBookmarksGridPane::OnDocumentUpdate(const void*, int code, std::intptr_t) {
    if (m_Document == nullptr)
        return;
    UpdatingGuard guard(m_Updating);
    switch (code) {
    case DUE_NewDocument:
    case DUE_ActiveThemeChanged:
    case DUE_Refresh:
    case DUE_BookmarksChanged:
    case DUE_ThemeRemoved:
        GetModel()->SetRowCount(BookmarkCount());
        GetModel()->RefreshCells();
        break;
    default:
        break;
    }
}

std::string CBookmarksGridPane::CellText(int row, int column) const {
    if (row < 0 || row >= BookmarkCount())
        return {};
    const CBookmarkRecord* bookmark = m_Document->m_bookmarks[static_cast<std::size_t>(row)];
    if (bookmark == nullptr)
        return {};
    switch (column) {
    case 0: return bookmark->m_Name;
    case 1: return PrintDouble(bookmark->m_X);
    case 2: return PrintDouble(bookmark->m_Y);
    default: return {};
    }
}

bool CBookmarksGridPane::EditCell(int row, int column, const std::string& text) {
    if (column != 0 || row < 0 || row >= BookmarkCount())
        return false;
    CBookmarkRecord* bookmark = m_Document->m_bookmarks[static_cast<std::size_t>(row)];
    if (bookmark == nullptr)
        return false;
    bookmark->m_Name = text;
    m_Document->SetModifiedFlag(true);
    return true;
}

void CBookmarksGridPane::OnGridSelectionChanged() {
    if (m_Updating || m_Document == nullptr)
        return;
    const std::vector<int> rows = GetSelectedRows();
    // The list may have shrunk under a stale selection.
    if (rows.empty() || rows.front() >= BookmarkCount())
        return;
    CBookmarkRecord* bookmark = m_Document->m_bookmarks[static_cast<std::size_t>(rows.front())];
    if (bookmark == nullptr)
        return;
    m_Document->FireUpdateEvent(nullptr, DUE_GoToBookmark, reinterpret_cast<std::intptr_t>(bookmark));
}

void CBookmarksGridPane::RemoveSelected() {
    if (m_Document == nullptr)
        return;
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty())
        return;
    {
        UpdatingGuard guard(m_Updating);
        GetGrid()->clearSelection();
    }
    std::vector<CBookmarkRecord*>& bookmarks = m_Document->m_bookmarks;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 0 || static_cast<std::size_t>(*it) >= bookmarks.size())
            continue;
        delete bookmarks[static_cast<std::size_t>(*it)];
        bookmarks.erase(bookmarks.begin() + *it);
        m_Document->SetModifiedFlag(true);
    }
    m_Document->FireUpdateEvent(nullptr, DUE_BookmarksChanged, 0);
}
