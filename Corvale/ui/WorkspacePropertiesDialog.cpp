#include "ui/WorkspacePropertiesDialog.h"

#include "ui/NumberField.h"

#include "crs/RefSysTable.h"
#include "framework/UserInterface.h"
#include "platform/NumberText.h"
#include "ui/DialogButtons.h"
#include "ui/TransformDialog.h"
#include "ui/TransformImageDialog.h"
#include "ui/controls/ColourPickerXP.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

} // namespace

CWorkspaceGeneralData::CWorkspaceGeneralData(QWidget* parent)
    : CPropertiesBaseDialog(parent), m_Picker(Named(new CColourPickerXP(this), IDC_WORKSPACE_BACKGROUND)) {
    setObjectName(QString::number(IDD_WORKSPACE_GENERAL));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Background color:"), m_Picker);
}

bool CWorkspaceGeneralData::UpdateData(bool saveAndValidate) {
    if (saveAndValidate)
        m_BackgroundColor = m_Picker->GetColour(true);
    else
        m_Picker->SetColour(m_BackgroundColor);
    return true;
}

CWorkspaceGrid::CWorkspaceGrid(QWidget* parent)
    : CPropertiesBaseDialog(parent), m_X(Named(new QLineEdit(this), IDC_WORKSPACE_GRID_X)),
      m_Y(Named(new QLineEdit(this), IDC_WORKSPACE_GRID_Y)) {
    setObjectName(QString::number(IDD_WORKSPACE_GRID));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Grid X size:"), m_X);
    layout->addRow(QStringLiteral("Grid Y size:"), m_Y);
}

bool CWorkspaceGrid::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        m_X->setText(QString::fromStdString(corvale::FormatDouble(m_GridX)));
        m_Y->setText(QString::fromStdString(corvale::FormatDouble(m_GridY)));
        return true;
    }
    double x = 0.0;
    double y = 0.0;
    struct Field {
        QLineEdit* edit;
        double* value;
        const char* zeroMessage;
    };
    const Field fields[] = {
        {m_X, &x, "X-value may not be zero.\nPlease enter a non-zero value."},
        {m_Y, &y, "Y-value may not be zero.\nPlease enter a non-zero value."},
    };
    for (const Field& field : fields) {
        if (!ReadNumberField(field.edit, *field.value))
            return false;
        if (*field.value == 0.0) {
            corvale::UI().ShowMessage(field.zeroMessage, corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
            field.edit->setFocus();
            return false;
        }
    }
    m_GridX = x;
    m_GridY = y;
    return true;
}

CWorkspaceRefSys::CWorkspaceRefSys(QWidget* parent)
    : CPropertiesBaseDialog(parent), m_Combo(Named(new QComboBox(this), IDC_WORKSPACE_REFSYS)) {
    setObjectName(QString::number(IDD_WORKSPACE_REFSYS));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Reference system:"), m_Combo);
    m_Combo->addItem(QStringLiteral("Unknown"), -1);
    for (int index = 0; index < kRefSysCount; ++index)
        m_Combo->addItem(QString::fromStdString(RefSysTable()[static_cast<std::size_t>(index)].name), index);
}

bool CWorkspaceRefSys::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_RefSystem = m_Combo->currentData().toInt();
        return true;
    }
    const int found = m_Combo->findData(m_RefSystem);
    m_Combo->setCurrentIndex(found >= 0 ? found : 0);
    return true;
}

CWorkspaceComment::CWorkspaceComment(QWidget* parent)
    : CPropertiesBaseDialog(parent), m_DescriptionEdit(Named(new QPlainTextEdit(this), IDC_WORKSPACE_DESCRIPTION)),
      m_ShowOnOpenBox(Named(new QCheckBox(QStringLiteral("Show this page when workspace loaded."), this),
                            IDC_WORKSPACE_SHOW_ON_OPEN)) {
    setObjectName(QString::number(IDD_WORKSPACE_COMMENT));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_DescriptionEdit);
    layout->addWidget(m_ShowOnOpenBox);
}

bool CWorkspaceComment::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_Description = m_DescriptionEdit->toPlainText().toStdString();
        m_ShowOnOpen = m_ShowOnOpenBox->isChecked();
        return true;
    }
    m_DescriptionEdit->setPlainText(QString::fromStdString(m_Description));
    m_ShowOnOpenBox->setChecked(m_ShowOnOpen);
    return true;
}

CWorkspaceProperties::CWorkspaceProperties(QWidget* parent)
    : QDialog(parent), m_Tabs(Named(new QTabWidget(this), IDC_WORKSPACE_TABS)),
      m_General(new CWorkspaceGeneralData(m_Tabs)), m_Grid(new CWorkspaceGrid(m_Tabs)),
      m_RefSys(new CWorkspaceRefSys(m_Tabs)), m_Comment(new CWorkspaceComment(m_Tabs)) {
    setObjectName(QString::number(IDD_WORKSPACE_PROPERTIES));
    setWindowTitle(QStringLiteral("Workspace Properties"));
    m_Tabs->addTab(m_General, QStringLiteral("General"));
    m_Tabs->addTab(m_Grid, QStringLiteral("Grid"));
    m_Tabs->addTab(m_RefSys, QStringLiteral("RefSys"));
    m_Tabs->addTab(m_Comment, QStringLiteral("Comment"));
    for (CPropertiesBaseDialog* page : {static_cast<CPropertiesBaseDialog*>(m_General),
                                        static_cast<CPropertiesBaseDialog*>(m_Grid),
                                        static_cast<CPropertiesBaseDialog*>(m_RefSys),
                                        static_cast<CPropertiesBaseDialog*>(m_Comment)})
        page->SetTabControl(m_Tabs);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Tabs);
    layout->addWidget(CreateOkCancelButtons(this));
}

int CWorkspaceProperties::DoModal() {
    m_General->m_BackgroundColor = m_Values.m_BackgroundColor;
    m_Grid->m_GridX = m_Values.m_GridX;
    m_Grid->m_GridY = m_Values.m_GridY;
    m_RefSys->m_RefSystem = m_Values.m_RefSystem;
    m_Comment->m_Description = m_Values.m_Description;
    m_Comment->m_ShowOnOpen = m_Values.m_ShowOnOpen;
    for (CPropertiesBaseDialog* page : {static_cast<CPropertiesBaseDialog*>(m_General),
                                        static_cast<CPropertiesBaseDialog*>(m_Grid),
                                        static_cast<CPropertiesBaseDialog*>(m_RefSys),
                                        static_cast<CPropertiesBaseDialog*>(m_Comment)})
        page->UpdateData(false);
    m_Tabs->setCurrentIndex(m_Values.m_Page >= 0 && m_Values.m_Page < m_Tabs->count() ? m_Values.m_Page : 0);
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

void CWorkspaceProperties::accept() {
    for (int tab = 0; tab < m_Tabs->count(); ++tab) {
        auto* page = static_cast<CPropertiesBaseDialog*>(m_Tabs->widget(tab));
        if (!page->UpdateData(true)) {
            m_Tabs->setCurrentIndex(tab);
            // The field the page pointed at could not take the focus while
            // its tab was hidden.
            if (QWidget* field = page->focusWidget())
                field->setFocus();
            return;
        }
    }
    m_Values.m_BackgroundColor = m_General->m_BackgroundColor;
    m_Values.m_GridX = m_Grid->m_GridX;
    m_Values.m_GridY = m_Grid->m_GridY;
    m_Values.m_RefSystem = m_RefSys->m_RefSystem;
    m_Values.m_Description = m_Comment->m_Description;
    m_Values.m_ShowOnOpen = m_Comment->m_ShowOnOpen;
    QDialog::accept();
}

void InstallWorkspaceDialogs(CDocumentDialogServices& services, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    services.workspaceProperties = [owner](CWorkspacePropertyValues& values) {
        CWorkspaceProperties dialog(owner);
        dialog.m_Values = values;
        if (dialog.DoModal() != corvale::IDOK)
            return false;
        values = dialog.m_Values;
        return true;
    };
    services.transformThemes = [owner](CCorvaleDoc*, const std::vector<CTheme*>& themes) {
        CTransformDialog dialog(owner);
        dialog.m_Themes = themes;
        return dialog.DoModal() == corvale::IDOK;
    };
    services.transformImage = [owner](CCorvaleDoc* document, CTheme* theme) {
        CTransformImageDialog dialog(owner);
        dialog.SetTheme(theme, document);
        dialog.exec();
    };
}
