#pragma once
// "Bookmarks": the bookmarks of the bound workspace (name, X, Y). Selecting a
// row moves the map to that bookmark; names are edited in place; selected
// bookmarks can be removed.

#include "workspace/CommandIds.h"
#include "panes/GridPane.h"

#include <cstdint>
#include <string>
#include <vector>

class CCorvaleDoc;
class QItemSelection;

class CBookmarksGridPane : public CGridPane {
public:
    explicit CBookmarksGridPane(QWidget* parent = nullptr);
    ~CBookmarksGridPane() override;

    void SetDocument(CCorvaleDoc* document);
    CCorvaleDoc* GetDocument() const { return m_Document; }
    void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);

    // The text of a cell: the name, then x and y printed as "%lf".
    std::string CellText(int row, int column) const;
    // Renames the bookmark of the row; only the name column can be edited.
    bool EditCell(int row, int column, const std::string& text);
    // Removes the bookmarks of the selected rows.
    void RemoveSelected();

protected:
    std::vector<unsigned> ContextMenuCommands() const override;
    QString CommandText(unsigned id) const override;

private:
    void Unsubscribe();
    int BookmarkCount() const;
    void OnGridSelectionChanged();

    bool m_Updating = false;
    CCorvaleDoc* m_Document = nullptr;
};
