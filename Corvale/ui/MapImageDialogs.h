#pragma once
// The dialogs of Save Map Image: one image or several sheets, the sheets'
// grid, size, names and transformation files, the theme chooser and the
// HTML image map creator.

#include "view/MapImageOutput.h"
#include "view/MapViewport.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class CCorvaleDoc;
class CLegendListCtrl;
class CTheme;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// "Save Map As Image(s)": one image (0) or several sheets (1).
class CSaveMapImageSelectionDialog : public QDialog {
public:
    explicit CSaveMapImageSelectionDialog(QWidget* parent = nullptr);
    int m_Choice = 0;
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QRadioButton* m_Single;
    QRadioButton* m_Multiple;
};

// "Save Multiple Map Sheets": the grid, the sheet size with one value
// computed from the others, the file names, the folder, the encoding and
// the transformation files.
class CSaveMultipleSheetsDialog : public QDialog {
public:
    explicit CSaveMultipleSheetsDialog(const CMapSheetSettings& settings,
                                       QWidget* parent = nullptr);
    CMapSheetSettings m_Settings;

    // Checks and takes the values; a refusal shows its message and keeps
    // the dialog open.
    void accept() override;
    // "Automatic" of the rows (false) or of the height (true).
    void SetHeightAutomatic(bool heightAutomatic);
    // Inserts "<SHEETX>" or "<SHEETY>" at the template's caret.
    void InsertVariable(const char* variable);

    QLineEdit* m_ColumnsEdit;
    QLineEdit* m_RowsEdit;
    QLineEdit* m_WidthEdit;
    QLineEdit* m_HeightEdit;
    QLineEdit* m_TemplateEdit;
    QLineEdit* m_DirectoryEdit;
    QComboBox* m_EncodingCombo;
    QComboBox* m_TransformCombo;
    QCheckBox* m_RowsAutomatic;
    QCheckBox* m_HeightAutomatic;

private:
    void OnNumberEdited();
    void Recompute();
    void BrowseDirectory();
    bool m_Recomputing = false;
};

// "Select Theme": one theme of the document whose kind the mask allows
// (1 point, 2 polyline, 4 polygon, 8 image themes).
class CSelectLayerDialog : public QDialog {
public:
    CSelectLayerDialog(CCorvaleDoc* document, unsigned kindMask, const std::string& caption,
                       QWidget* parent = nullptr);
    // After OK: the chosen theme and its index in the document's list.
    CTheme* m_Theme = nullptr;
    int m_ThemeIndex = -1;
    void accept() override;

    CLegendListCtrl* m_List;

private:
    void UpdateOk();
    CCorvaleDoc* m_Document;
    QPushButton* m_Ok;
};

// "HTML Image Map Creator": areas over the shapes of a point or polygon
// theme in a saved image, with link, alternative text and extra
// attributes composed from placeholders.
class CHTMLAreaMapCreatorDialog : public QDialog {
public:
    CHTMLAreaMapCreatorDialog(CTheme* theme, const CMapViewport& viewport,
                              const std::string& imagePath, QWidget* parent = nullptr);
    ~CHTMLAreaMapCreatorDialog() override;

    // Fills the result; false when nothing was generated.
    bool Generate();
    // The test page in a temporary file, opened in the browser; the file
    // is removed when the dialog goes.
    void Test();
    void Save();
    // Inserts the selected placeholder into the edit that last had focus.
    void AddPlaceholder();

    QLineEdit* m_HrefEdit;
    QLineEdit* m_AltEdit;
    QLineEdit* m_CustomEdit;
    QCheckBox* m_SelectionOnly;
    QListWidget* m_Attributes;
    QPushButton* m_AddButton;
    QPlainTextEdit* m_Result;
    // The edit placeholders go into.
    QLineEdit* m_Target;
    std::vector<std::string> m_TestPages;
    // Shows a test page; the desktop's browser unless replaced.
    std::function<void(const std::string& path)> m_OpenPage;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CTheme* m_Theme;
    CMapViewport m_Viewport;
    std::string m_ImagePath;
};

class CGeoView;

// What the map view asks of these dialogs (the program installs them into
// the view's services).
bool RunSaveMapImageSelection(QWidget* parent, int& choice);
bool RunMultipleSheetsDialog(QWidget* parent, CMapSheetSettings& settings);
// The theme chooser over the view's workspace, then the image map creator
// with the view's mapping; false when no theme was chosen.
bool RunImageMapCreator(CGeoView& view, const std::string& imagePath);
