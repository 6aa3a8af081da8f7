#pragma once
// "Attribute List Builder": turns a text template into a list, one expansion
// per shape. Placeholders in angle brackets stand for the shape's
// coordinates ("<$LONGITUDE>", "<$LATITUDE>", points only), its shape index
// ("<$INDEX>"), a running counter ("<$COUNTER>"), a text asked from the user
// ("<$QUERY>") and its attribute values ("<" column name ">"). The template
// runs over the theme's visible shapes, over its selection, or once for each
// shape the user selects in the map while the dialog is open.
//
// Modeless; the workspace document keeps one for its lifetime, attaches it
// to the active theme and hands it the shapes selected by clicking. Closing
// only hides it; the counter and the last query text stay.

#include <QDialog>

#include <string>
#include <vector>

class CShapeRecord;
class CTheme;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

constexpr int IDD_ATTRIBUTE_LIST_BUILDER = 1102;
constexpr int IDC_LISTBUILDER_ATTRIBUTES = 2001;
constexpr int IDC_LISTBUILDER_ADD = 2002;
constexpr int IDC_LISTBUILDER_TEMPLATE = 2003;
constexpr int IDC_LISTBUILDER_RESULT = 2004;
constexpr int IDC_LISTBUILDER_SAVE_RESULT = 2005;
constexpr int IDC_LISTBUILDER_CLEAR = 2006;
constexpr int IDC_LISTBUILDER_RUN_ALL = 2014;
constexpr int IDC_LISTBUILDER_PROGRESS = 2015;
constexpr int IDC_LISTBUILDER_RUN_SELECTED = 2016;
constexpr int IDC_LISTBUILDER_LOAD_TEMPLATE = 2020;
constexpr int IDC_LISTBUILDER_SAVE_TEMPLATE = 2021;
constexpr int IDC_LISTBUILDER_THEME_TEMPLATES = 2077;
constexpr int IDC_LISTBUILDER_COUNTER = 2204;
constexpr int IDC_LISTBUILDER_COUNTER_SPIN = 2205;
constexpr int IDC_LISTBUILDER_CLOSE = 2;

class CAttributeListBuilderDialog : public QDialog {
public:
    explicit CAttributeListBuilderDialog(QWidget* parent = nullptr);

    // Attaches the dialog to a theme (null: none). The previous theme keeps
    // the template text; with "Use theme dependant templates" the new
    // theme's own template is shown.
    void SetTheme(CTheme* theme);
    CTheme* GetTheme() const { return m_Theme; }
    // A shape the user selected in the map: its expansion (the query asked
    // for when the template has one) is appended to the result.
    void AddShape(const CShapeRecord* record);

    // Expands the template for the shape with this shape index. discover
    // makes the list of column placeholders anew and notes which the
    // template uses; prompt asks for "<$QUERY>". Appends to out, or to the
    // result when out is null. False when the query was cancelled (nothing
    // is appended then).
    bool ExpandTemplate(int shapeIndex, bool discover, bool prompt, std::string* out);

    // The run buttons; each asks first.
    void OnRunForAllShapes();
    void OnRunForSelectedShapes();
    void OnAdd();
    void OnClear();
    void OnLoadTemplate();
    void OnSaveTemplate();
    void OnSaveResult();

    QString GetTemplate() const;
    void SetTemplate(const QString& text);
    QString GetResult() const;
    QString GetCounter() const;
    void SetCounter(const QString& text);
    // The text last entered for "<$QUERY>".
    std::string m_LastQuery;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The common part of both runs: n expansions of the shapes that
    // shapeIndexOf gives for positions 0..n-1.
    void Run(int count, bool selection);
    void UpdateAddButton();
    void ScrollResultToEnd();

    CTheme* m_Theme = nullptr;
    // The column placeholders of the current run, whether the template
    // uses each, and whether it uses "<$INDEX>". They belong to this
    // dialog: two documents' builders must not share them.
    std::vector<std::string> m_Placeholders;
    std::vector<bool> m_Found;
    bool m_IndexUsed = false;

    QListWidget* m_Attributes;
    QPushButton* m_Add;
    QPlainTextEdit* m_Template;
    QCheckBox* m_ThemeTemplates;
    QPushButton* m_RunAll;
    QPushButton* m_RunSelected;
    QLineEdit* m_Counter;
    QProgressBar* m_Progress;
    QPlainTextEdit* m_Result;
};
