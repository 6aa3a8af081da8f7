#include "scripting/CreateScriptDialog.h"

#include "framework/UserInterface.h"
#include "scripting/ConsoleCommands.h"
#include "scripting/ScriptFormatter.h"
#include "shapes/FileWriter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWhatsThis>


CCreateScriptDialog::CCreateScriptDialog(const std::string& folder, QWidget* parent)
    : QDialog(parent), m_Folder(folder) {
    setObjectName(QString::number(IDD_CREATE_SCRIPT));
    setWindowTitle(QStringLiteral("Create JavaScript Stub"));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Template:"), this));
    auto* row = new QHBoxLayout;
    m_Templates = new QComboBox(this);
    m_Templates->setObjectName(QString::number(IDC_CREATE_SCRIPT_TEMPLATES));
    row->addWidget(m_Templates, 1);
    m_Explore = new QToolButton(this);
    m_Explore->setObjectName(QString::number(IDC_CREATE_SCRIPT_EXPLORE));
    m_Explore->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_Explore->setToolTip(QStringLiteral("Explore"));
    row->addWidget(m_Explore);
    layout->addLayout(row);
    layout->addWidget(new QLabel(QStringLiteral("Select the features to include:"), this));
    m_Tree = new QTreeWidget(this);
    m_Tree->setObjectName(QString::number(IDC_CREATE_SCRIPT_TREE));
    m_Tree->setHeaderHidden(true);
    m_Tree->setRootIsDecorated(false);
    layout->addWidget(m_Tree, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Help)->setObjectName(QString::number(IDC_CREATE_SCRIPT_HELP));
    layout->addWidget(buttons);
    resize(360, 320);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Generate(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { QWhatsThis::enterWhatsThisMode(); });
    connect(m_Explore, &QToolButton::clicked, this, [this] { ConsoleShellOpen("explore", m_Folder); });

    for (const std::string& name : ListScriptTemplates(m_Folder))
        m_Templates->addItem(QString::fromStdString(name));
    if (m_Templates->count() > 0) {
        m_Templates->setCurrentIndex(0);
        LoadTemplate(m_Templates->itemText(0).toStdString());
    }
    connect(m_Templates, &QComboBox::currentTextChanged, this,
            [this](const QString& name) { LoadTemplate(name.toStdString()); });
}

void CCreateScriptDialog::LoadTemplate(const std::string& name) {
    std::string error;
    if (!LoadScriptTemplate(m_Folder + "/" + name + ".xml", m_Template, error))
        corvale::UI().ShowMessage(error, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
    FillTree();
}

void CCreateScriptDialog::FillTree() {
    m_Tree->clear();
    for (std::size_t index = 0; index < m_Template.m_Conditions.size(); ++index) {
        const ScriptConditionDef& definition = m_Template.m_Conditions[index];
        auto* item = new QTreeWidgetItem(m_Tree, {QString::fromStdString(definition.m_Label)});
        item->setData(0, Qt::UserRole, static_cast<int>(index));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, definition.m_DefaultValue == "true" ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<ScriptCondition> CCreateScriptDialog::ChosenConditions() const {
    std::vector<ScriptCondition> chosen;
    for (int row = 0; row < m_Tree->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_Tree->topLevelItem(row);
        const int index = item->data(0, Qt::UserRole).toInt();
        if (index < 0 || static_cast<std::size_t>(index) >= m_Template.m_Conditions.size())
            continue;
        const ScriptConditionDef& definition = m_Template.m_Conditions[static_cast<std::size_t>(index)];
        chosen.push_back(ScriptCondition{definition.m_Name, item->checkState(0) == Qt::Checked ? "true" : "false",
                                         definition.m_Label});
    }
    return chosen;
}

bool CCreateScriptDialog::Generate() {
    corvale::FileDialogRequest request;
    request.filter = "JavaScript Files (*.js)|*.js||";
    request.defaultExtension = "js";
    std::string path;
    if (!corvale::UI().ChooseSaveFile(request, path))
        return false;
    // Nothing chosen (or no template at all) still writes the file the user
    // asked for, empty.
    std::string text = AssembleScript(m_Template, ChosenConditions());
    if (!text.empty())
        FormatScriptText(text);
    CFileWriter::OpenError error = CFileWriter::FOE_None;
    if (!WriteWholeFile(path, text, &error)) {
        corvale::UI().ShowMessage(OpenFailureMessage(error, path, "Error opening file for writing."),
                                  corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
        return false;
    }
    m_Written = path;
    accept();
    ConsoleShellOpen("edit", path);
    return true;
}
