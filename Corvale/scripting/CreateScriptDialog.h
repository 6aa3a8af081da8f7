#pragma once
// "Create JavaScript Stub": the user picks a template from the templates
// folder, ticks the features to include and chooses where to save; the
// script is put together from the template's fragments, re-indented, written
// and opened in the text editor.

#include "scripting/ScriptTemplates.h"

#include <QDialog>

#include <string>

class QComboBox;
class QToolButton;
class QTreeWidget;

constexpr int IDD_CREATE_SCRIPT = 1259;
constexpr int IDC_CREATE_SCRIPT_TREE = 2301;
constexpr int IDC_CREATE_SCRIPT_TEMPLATES = 2302;
constexpr int IDC_CREATE_SCRIPT_HELP = 2316;
constexpr int IDC_CREATE_SCRIPT_EXPLORE = 1024;

class CCreateScriptDialog : public QDialog {
public:
    // folder: where the "*.xml" templates lie.
    explicit CCreateScriptDialog(const std::string& folder, QWidget* parent = nullptr);

    // Loads the template of that name (without ".xml") and refills the tree;
    // a template that does not read is reported and leaves both lists empty.
    void LoadTemplate(const std::string& name);
    // The conditions as the tree shows them, in tree order.
    std::vector<ScriptCondition> ChosenConditions() const;
    // Asks for the file, writes the script and opens it; the dialog closes
    // only when the file was written. True then.
    bool Generate();

    const ScriptTemplate& GetTemplate() const { return m_Template; }
    QComboBox* GetTemplateList() const { return m_Templates; }
    QTreeWidget* GetTree() const { return m_Tree; }
    // The file the last Generate wrote.
    const std::string& GetWrittenFile() const { return m_Written; }

private:
    void FillTree();

    std::string m_Folder;
    ScriptTemplate m_Template;
    QComboBox* m_Templates;
    QTreeWidget* m_Tree;
    QToolButton* m_Explore;
    std::string m_Written;
};
