#include "ui/AttributeModifierDialog.h"

#include "core/dBaseFile.h"
#include "framework/UserInterface.h"
#include "ui/DialogButtons.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

const char* const kNonStandardName =
    "Attribute name does not conform to the shape file standard.\n\nIf this attribute name is exported to a shape "
    "file,\nthe name will be changed to obey the standard.\n\nContinue anyway?";

} // namespace

CAttributeModifierDialog::CAttributeModifierDialog(QWidget* parent)
    : QDialog(parent), m_NameEdit(new QLineEdit(this)), m_TypeCombo(new QComboBox(this)),
      m_DefaultEdit(new QLineEdit(this)), m_DescriptionEdit(new QPlainTextEdit(this)) {
    setObjectName(QString::number(IDD_ATTRIBUTE_MODIFIER));
    m_NameEdit->setObjectName(QString::number(IDC_AMOD_NAME));
    m_TypeCombo->setObjectName(QString::number(IDC_AMOD_TYPE));
    m_DefaultEdit->setObjectName(QString::number(IDC_AMOD_DEFAULT));
    m_DescriptionEdit->setObjectName(QString::number(IDC_AMOD_DESCRIPTION));
    for (int type = 0; g_FieldTypeNames[type][0] != '\0'; ++type)
        m_TypeCombo->addItem(QString::fromLatin1(g_FieldTypeNames[type]));
    m_DescriptionEdit->setTabChangesFocus(true);

    auto* form = new QFormLayout();
    form->addRow(QStringLiteral("&Name:"), m_NameEdit);
    form->addRow(QStringLiteral("&Type:"), m_TypeCombo);
    form->addRow(QStringLiteral("&Default Value:"), m_DefaultEdit);
    form->addRow(QStringLiteral("D&escription:"), m_DescriptionEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(CreateOkCancelButtons(this));
}

void CAttributeModifierDialog::ShowValues() {
    setWindowTitle(QString::fromStdString(m_Caption));
    m_NameEdit->setText(QString::fromStdString(m_Name));
    const int type = m_TypeCombo->findText(QString::fromStdString(m_TypeName));
    m_TypeCombo->setCurrentIndex(type);
    m_DefaultEdit->setText(QString::fromStdString(m_Default));
    QString description = QString::fromStdString(m_Description);
    description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_DescriptionEdit->setPlainText(description);
}

int CAttributeModifierDialog::DoModal() {
    ShowValues();
    m_NameEdit->setFocus();
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

void CAttributeModifierDialog::accept() {
    const std::string name = m_NameEdit->text().toStdString();
    if (!IsValidFieldName(name.c_str()) &&
        corvale::UI().ShowMessage(kNonStandardName, corvale::MessageIcon::Warning, corvale::MessageButtons::YesNo) !=
            corvale::IDYES) {
        m_NameEdit->setFocus();
        m_NameEdit->selectAll();
        return;
    }
    m_Name = name;
    m_TypeName = m_TypeCombo->currentText().toStdString();
    m_Default = m_DefaultEdit->text().toStdString();
    QString description = m_DescriptionEdit->toPlainText();
    description.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    m_Description = description.toStdString();
    QDialog::accept();
}
