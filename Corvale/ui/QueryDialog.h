#pragma once
// "Query": the editor of an attribute query over one theme's shapes. The
// dialog composes the text (columns, operators and functions are inserted at
// the caret) and keeps a history of the queries run; the owner runs them
// through the callback. Modeless: it stays open while queries run in turn.

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class CTheme;
class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

constexpr int IDD_QUERY = 1118;
constexpr int IDC_QUERY_COLUMNS = 2001;
constexpr int IDC_QUERY_ADD_COLUMN = 2002;
constexpr int IDC_QUERY_ADD_FUNCTION = 2003;
constexpr int IDC_QUERY_TEXT = 2040;
constexpr int IDC_QUERY_EQUAL = 2041;
constexpr int IDC_QUERY_NOT_EQUAL = 2042;
constexpr int IDC_QUERY_NOT = 2043;
constexpr int IDC_QUERY_OR = 2044;
constexpr int IDC_QUERY_AND = 2045;
constexpr int IDC_QUERY_LESS = 2046;
constexpr int IDC_QUERY_GREATER = 2047;
constexpr int IDC_QUERY_LESS_EQUAL = 2048;
constexpr int IDC_QUERY_GREATER_EQUAL = 2049;
constexpr int IDC_QUERY_LIKE = 2050;
constexpr int IDC_QUERY_IN = 2051;
constexpr int IDC_QUERY_FUNCTIONS = 2179;
constexpr int IDC_QUERY_HISTORY = 2266;
constexpr int IDC_QUERY_SELECT = 1;
constexpr int IDC_QUERY_DESELECT = 1003;
constexpr int IDC_QUERY_COUNT = 2178;
constexpr int IDC_QUERY_CLOSE = 2;

class CQueryDialog : public QDialog {
public:
    // Runs a query: mode 0 adds the matches to the selection, 1 removes them,
    // 2 only counts; true when it ran, with the match count, else false
    // with the message to show.
    using RunCallback =
        std::function<bool(int mode, const std::string& query, int& count, std::string& error)>;

    explicit CQueryDialog(QWidget* parent = nullptr);

    // Lists the theme's columns ("name\t(type)"); null lists none.
    void SetTheme(CTheme* theme);
    CTheme* GetTheme() const { return m_Theme; }

    RunCallback m_Callback;
    // Filled by the owner before the dialog is first shown; one description
    // per name, in the same order.
    std::vector<std::string> m_FunctionNames;
    std::vector<std::string> m_FunctionDescriptions;
    // Queries run, oldest first, each text once.
    std::vector<std::string> m_History;

    // Inserts at the query's caret, replacing its selection.
    void InsertText(const QString& text);
    void OnAddColumn();
    void OnAddFunction();
    // Mode 0, 1 or 2, as the callback takes it; nothing without a callback.
    void Run(int mode);
    // The history spin moved by delta: shows that entry, or an empty query
    // one past the newest; nothing outside the history.
    void OnHistoryDelta(int delta);
    int GetHistoryPosition() const;
    QString GetQueryText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillFunctions();
    void UpdateButtons();

    CTheme* m_Theme = nullptr;
    bool m_FunctionsFilled = false;
    QListWidget* m_Columns;
    QPushButton* m_AddColumn;
    QComboBox* m_Functions;
    QPushButton* m_AddFunction;
    QPlainTextEdit* m_Query;
    QSpinBox* m_HistorySpin;
};
