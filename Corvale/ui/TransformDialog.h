#pragma once
// "Transform Theme": reprojects the listed themes from one reference system of
// the table to another. The user picks the source in the "From:" tree and the
// target in the "To:" tree (grouped by the table's group and subgroup texts)
// and presses "Begin"; every shape of every theme, filtered-out ones
// included, is converted with a progress bar.
//
// The run converts copies first and writes them over the records only once
// every theme is done, so that "Cancel" during the run leaves every theme as
// it was. A shape whose conversion fails keeps its old coordinates and is
// counted; the closing message then says how many failed.

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class CTheme;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

constexpr int IDD_TRANSFORM_THEME = 1198;
constexpr int IDC_TRANSFORM_BEGIN = 1;
constexpr int IDC_TRANSFORM_CLOSE = 2;
constexpr int IDC_TRANSFORM_PROGRESS = 2102;
constexpr int IDC_TRANSFORM_FROM = 2284;
constexpr int IDC_TRANSFORM_TO = 2285;

// What a run did.
struct CTransformResult {
    // Shapes looked at (each record once, however many themes list it).
    std::int64_t m_Total = 0;
    std::int64_t m_Converted = 0;
    // Shapes left as they were because a point could not be converted.
    std::int64_t m_Failed = 0;
    bool m_Cancelled = false;
};

// The progress of a run in percent, truncated; 0 when there is nothing to
// do. Counted in 64 bits: done * 100 passes the range of an int from 21.5
// million shapes on.
int TransformProgressPercent(std::int64_t done, std::int64_t total);

class CTransformDialog : public QDialog {
public:
    explicit CTransformDialog(QWidget* parent = nullptr);
    ~CTransformDialog() override;

    // The themes to convert; filled before DoModal, not owned.
    std::vector<CTheme*> m_Themes;

    // IDOK after a run that was not cancelled, else IDCANCEL.
    int DoModal();

    // The process-wide last source and target table indices (-1 at start).
    static int& LastSource();
    static int& LastTarget();

    // The table index of a tree's selected item; -1 for none and for group
    // items.
    int SelectedIndex(const QTreeWidget* tree) const;
    // Selects and reveals the item of a table index; false when the tree has
    // none.
    static bool SelectIndex(QTreeWidget* tree, int index);
    void UpdateBeginButton();
    // "Begin".
    void OnBegin();
    // Converts every listed theme from one table row to another; progress
    // goes to the bar, the Cancel button is answered between shapes.
    CTransformResult Transform(int source, int target);
    const CTransformResult& GetLastResult() const { return m_LastResult; }

    QTreeWidget* GetFromTree() const { return m_From; }
    QTreeWidget* GetToTree() const { return m_To; }
    QPushButton* GetBeginButton() const { return m_Begin; }
    QPushButton* GetCloseButton() const { return m_Close; }
    QProgressBar* GetProgressBar() const { return m_Progress; }

protected:
    void reject() override;

private:
    void FillTree(QTreeWidget* tree, bool sources);
    void SetProgress(std::int64_t done, std::int64_t total);

    QTreeWidget* m_From;
    QTreeWidget* m_To;
    QPushButton* m_Begin;
    QPushButton* m_Close;
    QProgressBar* m_Progress;
    bool m_Running = false;
    bool m_CancelAsked = false;
    CTransformResult m_LastResult;
};
