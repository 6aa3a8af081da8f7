#pragma once
// The attribute table's search dialogs: "Find" (modeless find-next box with
// a history and a list of the columns to search), "Go To" (modeless line
// and selected-row jumps) and the result of a duplicate check. The owner
// searches and moves itself, through the callbacks; the dialogs only hold
// the user's choices.

#include <QDialog>

#include <functional>
#include <map>
#include <string>
#include <vector>

class CTheme;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeWidget;

constexpr int IDD_FIND = 1106;
constexpr int IDD_GO_TO = 1187;
constexpr int IDD_TABLE_DUPLICATE_DATA = 1222;

constexpr int IDC_FIND_NEXT = 1;
constexpr int IDC_FIND_CLOSE = 2;
constexpr int IDC_FIND_COLUMNS = 2001;
constexpr int IDC_FIND_UP = 2016;
constexpr int IDC_FIND_DOWN = 2017;
constexpr int IDC_FIND_MATCH_CASE = 2028;
constexpr int IDC_FIND_ENTIRE_FIELD = 2029;
constexpr int IDC_FIND_TEXT = 2036;
constexpr int IDC_FIND_ADVANCED = 2030;
constexpr int IDC_FIND_UNCHECK_ALL = 2031;
constexpr int IDC_FIND_CHECK_ALL = 2032;

constexpr int IDC_GOTO_GO = 1;
constexpr int IDC_GOTO_CLOSE = 2;
constexpr int IDC_GOTO_KIND = 2087;
constexpr int IDC_GOTO_LABEL = 2088;
constexpr int IDC_GOTO_NUMBER = 2089;
constexpr int IDC_GOTO_DESCRIPTION = 2090;

constexpr int IDC_DUPLICATE_LIST = 2097;
constexpr int IDC_DUPLICATE_SUMMARY = 2098;
constexpr int IDC_DUPLICATE_COPY = 2099;
constexpr int IDC_DUPLICATE_FIND = 2100;

class CFindDialog : public QDialog {
public:
    // The history keeps this many search texts, newest first.
    static constexpr std::size_t kHistorySize = 16;

    explicit CFindDialog(QWidget* parent = nullptr);

    // Lists the theme's columns, all checked; the same theme with the same
    // number of columns keeps the user's checks.
    void SetTheme(CTheme* theme);
    // Called by "Find Next" after the fields were taken.
    std::function<void()> m_Callback;

    // The fields as "Find Next" last took them.
    std::string m_Text;
    bool m_Down = true;
    bool m_MatchCase = false;
    bool m_EntireField = true;
    // The advanced part (the column list) is shown: only checked columns
    // are searched then.
    bool m_Advanced = false;
    std::vector<std::string> m_History;

    // Puts a text, direction and case choices into the fields (a value
    // chosen in a value list).
    void SetSearchText(const std::string& text);
    bool IsFieldChecked(int field) const;
    void CheckField(int field, bool checked);
    std::vector<bool> GetCheckedFields() const;
    void OnCheckAll(bool checked);
    void OnAdvanced();
    void OnFindNext();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateFindButton();
    void PlaceForState();

    CTheme* m_Theme = nullptr;
    QComboBox* m_TextCombo;
    QRadioButton* m_Up;
    QRadioButton* m_DownButton;
    QCheckBox* m_MatchCaseBox;
    QCheckBox* m_EntireFieldBox;
    QPushButton* m_FindNext;
    QPushButton* m_Close;
    QPushButton* m_AdvancedButton;
    QWidget* m_AdvancedPart;
    QListWidget* m_Columns;
};

class CGoToDialog : public QDialog {
public:
    explicit CGoToDialog(QWidget* parent = nullptr);

    // Called by "Go To" with the kind (0 line, 1 next selected object, 2
    // previous selected object) and the number; the owner may change the
    // number (the line it went to), which the field then shows.
    std::function<void(int kind, int& number)> m_Callback;
    int m_Number = 1;
    int m_Kind = 0;

    void OnKindChanged();
    // Takes the fields and calls back; a number that is no integer is
    // refused with a message. The dialog stays open.
    void OnGo();

private:
    QComboBox* m_KindList;
    QLabel* m_Label;
    QLineEdit* m_NumberEdit;
    QLabel* m_Description;
};

class CTableDuplicateDataDialog : public QDialog {
public:
    // counts: value text -> occurrences; minimum: the least count listed
    // (1 lists every value). findAllowed offers "Invoke Find".
    CTableDuplicateDataDialog(const std::map<std::string, int>& counts, const std::string& column,
                              int minimum, bool findAllowed, const std::string& caption,
                              QWidget* parent = nullptr);
    // Shown values get search replaced by replacement (the key separator
    // of a key of several columns); set before the dialog is shown.
    void SetReplacement(const std::string& search, const std::string& replacement);

    // The value of the chosen row once "Invoke Find" closed the dialog.
    std::string m_Chosen;

    // The rows as listed: value text, count text.
    std::vector<std::pair<std::string, std::string>> GetRows() const;
    QString GetSummary() const;
    void OnCopyData();
    void OnInvokeFind();

private:
    void Fill();
    // The stored value of a row (the key as counted, before replacement).
    std::string RowValue(int row) const;

    std::map<std::string, int> m_Counts;
    std::string m_Column;
    int m_Minimum;
    bool m_FindAllowed;
    std::string m_Search;
    std::string m_Replacement;
    std::vector<std::string> m_RowValues;
    QTreeWidget* m_List;
    QLabel* m_Summary;
    QPushButton* m_Copy;
    QPushButton* m_Find;
};
