#pragma once
// "Attribute View": the attribute table of the workspace's active theme in
// the grid of CGridPane, one row per visible (not filtered-out) shape, one
// column per field. Selecting rows selects shapes and the other way round;
// editing a cell writes the attribute of an editable theme. The pane runs the
// table's find, go-to and query dialogs and the column commands (statistics,
// duplicate check, value list), and is the document's command window. It
// follows the document through the document update event.
//
// The cells are read from the theme when the grid shows them: nothing of the
// table is copied, so a theme of a million shapes opens at once.

#include "workspace/CommandIds.h"
#include "core/ColumnStatistics.h"
#include "panes/GridPane.h"
#include "panes/GridPaneServices.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <string>

class CCorvaleDoc;
class CTheme;
class QItemSelection;

// Modes of QueryCallback.
enum QueryMode : int { QM_Select = 0, QM_Deselect = 1, QM_Count = 2, QM_First = 3 };

class CAttributesGridPane : public CGridPane {
public:
    explicit CAttributesGridPane(QWidget* parent = nullptr);
    ~CAttributesGridPane() override;

    // Binds the pane to a document (null: none) and shows its active theme.
    void SetDocument(CCorvaleDoc* document);
    CCorvaleDoc* GetDocument() const { return m_Document; }
    CTheme* GetTheme() const { return m_Theme; }
    void OnDocumentUpdate(const void* sender, int code, std::intptr_t data);

    // The find dialog's "Find Next": the next row after the first selected
    // one (or from the end, searching down) whose cells match; the start row
    // itself is not searched. Selects and shows the row found; when none is,
    // the start row is selected again and the pane beeps. False then.
    bool FindNext(const CFindRequest& request);
    // The query dialog's callback; false with the message in error.
    static bool QueryCallback(CAttributesGridPane* pane, int mode, const std::string& query, int& count,
                              std::string& error);
    // One of the seven column statistics over the first selected column.
    void RunStatistic(ColumnStatistic statistic);
    // Check Duplicates (valueList false) or Show Value List over the selected
    // columns.
    void CheckDuplicates(bool valueList);
    // Writes an edited cell; false (nothing changed) without an editable
    // theme or for a text that is not a valid value of the field.
    bool EditCell(int row, int column, const std::string& text);
    // Open URL: http, https, ftp and mailto links (and "www." ones) are
    // opened; a file link only when the user agrees; nothing else.
    void OpenLink(const std::string& link);

    // The process-wide row choice of the statistics (0 all, 1 selected, 2
    // unselected shapes).
    static int& StatisticsRowChoice();

protected:
    std::vector<unsigned> ContextMenuCommands() const override;
    QString CommandText(unsigned id) const override;

private:
    struct ThemeGridState {
        QByteArray header;
        int columns = 0;
        int topRow = 0;
    };
    void AddCommands();
    void Unsubscribe();
    void ShowTheme(CTheme* theme);
    // Columns and rows of the shown theme (steps of showing a theme that
    // ZOrderChanged repeats).
    void BuildTable();
    void StoreThemeState();
    void MarkSelectedRows();
    void ApplyEditable();
    void OnGridSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void ClearTable();
    bool OneHeadingSelected() const;
    // Sort Ascending / Descending: the active theme is the pane's, editable,
    // without filtered-out shapes, and one heading is selected.
    bool CanSort() const;
    // Sorts the theme's shapes by the selected heading's column and announces
    // the new drawing order.
    void SortByHeading(bool descending);

    bool m_Updating = false;
    bool m_Editable = false;
    CCorvaleDoc* m_Document = nullptr;
    CTheme* m_Theme = nullptr;
    // The column layout and top row the grid last had for each theme.
    std::map<const CTheme*, ThemeGridState> m_ThemeStates;
};
