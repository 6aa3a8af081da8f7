#pragma once
// "Workspace Properties": four tabs over the workspace-wide settings,
// "General" (background colour), "Grid" (grid X and Y size), "RefSys" (the
// reference system) and "Comment" (description and whether the dialog opens
// with the workspace). OK checks the tabs in order; a tab whose values are
// not acceptable is brought to the front and the dialog stays open.

#include "ui/PropertiesBaseDialog.h"
#include "workspace/CorvaleDoc.h"

#include <QDialog>

class CColourPickerXP;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

constexpr int IDD_WORKSPACE_PROPERTIES = 1190;
constexpr int IDD_WORKSPACE_GENERAL = 1209;
constexpr int IDD_WORKSPACE_GRID = 1210;
constexpr int IDD_WORKSPACE_REFSYS = 1243;
constexpr int IDD_WORKSPACE_COMMENT = 1207;
constexpr int IDC_WORKSPACE_TABS = 2200;
constexpr int IDC_WORKSPACE_BACKGROUND = 2201;
constexpr int IDC_WORKSPACE_GRID_X = 2202;
constexpr int IDC_WORKSPACE_GRID_Y = 2203;
constexpr int IDC_WORKSPACE_REFSYS = 2204;
constexpr int IDC_WORKSPACE_DESCRIPTION = 2205;
constexpr int IDC_WORKSPACE_SHOW_ON_OPEN = 2206;

class CWorkspaceGeneralData : public CPropertiesBaseDialog {
public:
    explicit CWorkspaceGeneralData(QWidget* parent = nullptr);
    bool UpdateData(bool saveAndValidate) override;
    std::uint32_t m_BackgroundColor = 0;
    CColourPickerXP* GetPicker() const { return m_Picker; }

private:
    CColourPickerXP* m_Picker;
};

class CWorkspaceGrid : public CPropertiesBaseDialog {
public:
    explicit CWorkspaceGrid(QWidget* parent = nullptr);
    // A value that is not a number, or is 0, is refused with a message and
    // the focus on its field.
    bool UpdateData(bool saveAndValidate) override;
    double m_GridX = 1.0;
    double m_GridY = 1.0;

private:
    QLineEdit* m_X;
    QLineEdit* m_Y;
};

class CWorkspaceRefSys : public CPropertiesBaseDialog {
public:
    explicit CWorkspaceRefSys(QWidget* parent = nullptr);
    bool UpdateData(bool saveAndValidate) override;
    // Index into the reference-system table; -1 "Unknown".
    int m_RefSystem = -1;

private:
    QComboBox* m_Combo;
};

class CWorkspaceComment : public CPropertiesBaseDialog {
public:
    explicit CWorkspaceComment(QWidget* parent = nullptr);
    bool UpdateData(bool saveAndValidate) override;
    std::string m_Description;
    bool m_ShowOnOpen = false;

private:
    QPlainTextEdit* m_DescriptionEdit;
    QCheckBox* m_ShowOnOpenBox;
};

class CWorkspaceProperties : public QDialog {
public:
    explicit CWorkspaceProperties(QWidget* parent = nullptr);

    // In before DoModal, out after IDOK.
    CWorkspacePropertyValues m_Values;

    int DoModal();
    void accept() override;

    QTabWidget* GetTabs() const { return m_Tabs; }
    CWorkspaceGeneralData* GetGeneralPage() const { return m_General; }
    CWorkspaceGrid* GetGridPage() const { return m_Grid; }
    CWorkspaceRefSys* GetRefSysPage() const { return m_RefSys; }
    CWorkspaceComment* GetCommentPage() const { return m_Comment; }

private:
    QTabWidget* m_Tabs;
    CWorkspaceGeneralData* m_General;
    CWorkspaceGrid* m_Grid;
    CWorkspaceRefSys* m_RefSys;
    CWorkspaceComment* m_Comment;
};

// Installs the workspace properties and the reprojection dialogs into the
// document's dialog services.
void InstallWorkspaceDialogs(CDocumentDialogServices& services, QWidget* parent);
