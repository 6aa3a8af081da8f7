#include "ui/ThemePropertyPages.h"

#include "ui/NumberField.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/NumberText.h"
#include "shapes/FileWriter.h"
#include "ui/AttributeManagerDialog.h"
#include "ui/controls/BrushComboBox.h"
#include "ui/controls/ColourPickerXP.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

void Warn(const char* text) {
    corvale::UI().ShowMessage(text, corvale::MessageIcon::Warning, corvale::MessageButtons::Ok);
}

// A units-per-pixel value: a finite number from 0 to the largest double.
bool ReadUPP(QLineEdit* edit, double& value) {
    double parsed = 0.0;
    if (!ReadNumberField(edit, parsed))
        return false;
    if (parsed < 0.0 || parsed > DBL_MAX) {
        Warn("Please enter a number between 0 and 1.7976931348623157e+308.");
        edit->setFocus();
        return false;
    }
    value = parsed;
    return true;
}

QString FormatLf(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%lf", value);
    return QString::fromLatin1(text);
}

} // namespace

// ---------------------------------------------------------------------------
// General
// ---------------------------------------------------------------------------

CGeneralThemePropertiesDialog::CGeneralThemePropertiesDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    m_NameEdit = Named(new QLineEdit(this), IDC_Name);
    m_VisibleCheck = Named(new QCheckBox(QStringLiteral("Visible"), this), IDC_Visible);
    m_AdvancedCheck = Named(new QCheckBox(QStringLiteral("Use Advanced Visibility"), this), IDC_AdvancedVisibility);
    m_MaxEdit = Named(new QLineEdit(this), IDC_MaxUPP);
    m_MinEdit = Named(new QLineEdit(this), IDC_MinUPP);
    m_PickMax = Named(new QPushButton(this), IDC_PickMaxUPP);
    m_PickMin = Named(new QPushButton(this), IDC_PickMinUPP);
    for (QPushButton* pick : {m_PickMax, m_PickMin}) {
        pick->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
        pick->setAutoDefault(false);
        pick->setCheckable(true);
    }
    m_Labels[0] = Named(new QLabel(QStringLiteral("Max UPP:"), this), IDC_MaxUPPLabel);
    m_Labels[1] = Named(new QLabel(QStringLiteral("Min UPP:"), this), IDC_MinUPPLabel);
    m_Labels[2] = Named(new QLabel(QStringLiteral("(map units per pixel)"), this), IDC_UPPLabel);
    auto* manager = Named(new QPushButton(QStringLiteral("Attribute Manager..."), this), IDC_AttributeManager);
    manager->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
    layout->addWidget(m_NameEdit, 0, 1, 1, 2);
    layout->addWidget(m_VisibleCheck, 1, 0, 1, 3);
    layout->addWidget(m_AdvancedCheck, 2, 0, 1, 3);
    layout->addWidget(m_Labels[0], 3, 0);
    layout->addWidget(m_MaxEdit, 3, 1);
    layout->addWidget(m_PickMax, 3, 2);
    layout->addWidget(m_Labels[1], 4, 0);
    layout->addWidget(m_MinEdit, 4, 1);
    layout->addWidget(m_PickMin, 4, 2);
    layout->addWidget(m_Labels[2], 5, 1);
    layout->addWidget(manager, 6, 0, 1, 3, Qt::AlignLeft);
    layout->setRowStretch(7, 1);

    connect(m_VisibleCheck, &QCheckBox::clicked, this, [this] {
        // The values typed so far are kept when the fields are switched off.
        m_Visible = m_VisibleCheck->isChecked();
        EnableControls();
    });
    connect(m_AdvancedCheck, &QCheckBox::clicked, this, [this] { EnableControls(); });
    connect(m_PickMax, &QPushButton::clicked, this, [this] { OnPickScale(IDC_PickMaxUPP); });
    connect(m_PickMin, &QPushButton::clicked, this, [this] { OnPickScale(IDC_PickMinUPP); });
    connect(manager, &QPushButton::clicked, this, [this] { OnAttributeManager(); });
}

CGeneralThemePropertiesDialog::~CGeneralThemePropertiesDialog() = default;

void CGeneralThemePropertiesDialog::OnInitDialog() {
    if (m_Theme != nullptr) {
        m_UseAdvancedVisibility = m_Theme->m_ScaleDependent;
        m_MaxUPP = m_Theme->m_MaxScale;
        m_MinUPP = m_Theme->m_MinScale;
    }
    UpdateData(false);
}

bool CGeneralThemePropertiesDialog::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        m_NameEdit->setText(Text(m_Name));
        m_VisibleCheck->setChecked(m_Visible);
        m_AdvancedCheck->setChecked(m_UseAdvancedVisibility);
        m_MaxEdit->setText(QString::fromStdString(corvale::FormatDouble(m_MaxUPP)));
        m_MinEdit->setText(QString::fromStdString(corvale::FormatDouble(m_MinUPP)));
        EnableControls();
        return true;
    }
    double maxUPP = 0.0;
    double minUPP = 0.0;
    if (!ReadUPP(m_MaxEdit, maxUPP) || !ReadUPP(m_MinEdit, minUPP))
        return false;
    m_Name = m_NameEdit->text().toStdString();
    m_Visible = m_VisibleCheck->isChecked();
    m_UseAdvancedVisibility = m_AdvancedCheck->isChecked();
    m_MaxUPP = maxUPP;
    m_MinUPP = minUPP;
    return true;
}

void CGeneralThemePropertiesDialog::EnableControls() {
    const bool visible = m_VisibleCheck->isChecked();
    const bool ranges = visible && m_AdvancedCheck->isChecked();
    m_AdvancedCheck->setEnabled(visible);
    for (QWidget* w : std::initializer_list<QWidget*>{m_MaxEdit, m_MinEdit, m_PickMax, m_PickMin, m_Labels[0],
                                                      m_Labels[1], m_Labels[2]})
        w->setEnabled(ranges);
}

void CGeneralThemePropertiesDialog::OnPickScale(int buttonId) {
    QPushButton* button = buttonId == IDC_PickMaxUPP ? m_PickMax : m_PickMin;
    button->setChecked(false);
    if (m_Scales.empty())
        return;
    QMenu menu(this);
    for (std::size_t i = 0; i < m_Scales.size(); ++i) {
        QAction* action = menu.addAction(Text(m_Scales[i].text));
        action->setData(kScaleMenuBase + static_cast<int>(i));
    }
    QAction* chosen = menu.exec(button->mapToGlobal(button->rect().topRight()));
    if (chosen != nullptr)
        ApplyScale(buttonId, chosen->data().toInt() - kScaleMenuBase);
}

void CGeneralThemePropertiesDialog::ApplyScale(int buttonId, int index) {
    if (index < 0 || index >= static_cast<int>(m_Scales.size()))
        return;
    QLineEdit* edit = buttonId == IDC_PickMaxUPP ? m_MaxEdit : m_MinEdit;
    edit->setText(FormatLf(m_Scales[static_cast<std::size_t>(index)].value));
}

void CGeneralThemePropertiesDialog::OnAttributeManager() {
    if (m_Theme == nullptr)
        return;
    CAttributeManagerDialog dialog(this);
    dialog.m_Theme = m_Theme;
    if (dialog.DoModal() != corvale::IDOK)
        return;
    if (!m_Theme->m_Editable || !m_Theme->m_Modified)
        return;
    if (m_Document != nullptr) {
        m_Document->FireUpdateEvent(nullptr, DUE_ThemeDataChanged, reinterpret_cast<std::intptr_t>(m_Theme));
        m_Document->SetModifiedFlag(true);
    }
    // The info-tip page lists the columns: the dialog passes this on.
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* owner = dynamic_cast<CMessageWindow*>(w)) {
            SendMessage(owner, WM_THEME_COLUMNS_CHANGED, 0, reinterpret_cast<std::intptr_t>(m_Theme));
            break;
        }
    }
}

// ---------------------------------------------------------------------------
// Polygon style
// ---------------------------------------------------------------------------

CPolygonPropertiesDialog::CPolygonPropertiesDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    m_FillPicker = Named(new CColourPickerXP(this), IDC_FillColour);
    m_OutlinePicker = Named(new CColourPickerXP(this), IDC_OutlineColour);
    m_PatternCombo = Named(new CBrushComboBox(this), IDC_Pattern);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Fill color:"), this), 0, 0);
    layout->addWidget(m_FillPicker, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Outline color:"), this), 1, 0);
    layout->addWidget(m_OutlinePicker, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Fill pattern:"), this), 2, 0);
    layout->addWidget(m_PatternCombo, 2, 1);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(2, 1);
    connect(m_PatternCombo, &QComboBox::activated, this, [this](int index) {
        m_FillPattern = m_PatternCombo->itemData(index).toInt();
        m_PatternCombo->SetCurPattern(m_FillPattern);
        update();
    });
}

CPolygonPropertiesDialog::~CPolygonPropertiesDialog() = default;

void CPolygonPropertiesDialog::OnInitDialog() {
    m_FillPicker->SetColour(m_FillColour);
    m_OutlinePicker->SetColour(m_OutlineColour);
    m_PatternCombo->SetCurPattern(m_FillPattern);
}

std::intptr_t CPolygonPropertiesDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message != PCM_ColourAccepted)
        return CPropertiesBaseDialog::OnMessage(message, wParam, lParam);
    m_FillColour = m_FillPicker->GetColour(false);
    if (m_FillColour == kAutomaticColour) {
        m_FillColour = kAutomaticFill;
        m_FillPicker->SetColour(m_FillColour);
    }
    m_OutlineColour = m_OutlinePicker->GetColour(false);
    if (m_OutlineColour == kAutomaticColour) {
        m_OutlineColour = kAutomaticOutline;
        m_OutlinePicker->SetColour(m_OutlineColour);
    }
    update();
    return 0;
}

// ---------------------------------------------------------------------------
// Info tip
// ---------------------------------------------------------------------------

CInfoTipDefinitionDialog::CInfoTipDefinitionDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    m_List = Named(new QListWidget(this), IDC_Attributes);
    m_AddButton = Named(new QPushButton(QStringLiteral("Add"), this), IDC_Add);
    m_AddButton->setAutoDefault(false);
    m_Edit = Named(new QPlainTextEdit(this), IDC_Template);
    auto* load = Named(new QPushButton(QStringLiteral("Load Template..."), this), IDC_LoadTemplate);
    auto* save = Named(new QPushButton(QStringLiteral("Save Template..."), this), IDC_SaveTemplate);
    load->setAutoDefault(false);
    save->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Attributes:"), this), 0, 0);
    layout->addWidget(m_List, 1, 0, 3, 1);
    layout->addWidget(m_AddButton, 1, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QStringLiteral("Template:"), this), 4, 0);
    layout->addWidget(m_Edit, 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(load);
    buttons->addWidget(save);
    buttons->addStretch(1);
    layout->addLayout(buttons, 6, 0, 1, 2);

    connect(m_List, &QListWidget::itemSelectionChanged, this,
            [this] { m_AddButton->setEnabled(!m_List->selectedItems().isEmpty()); });
    connect(m_List, &QListWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_AddButton, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(load, &QPushButton::clicked, this, [this] { OnLoadTemplate(); });
    connect(save, &QPushButton::clicked, this, [this] { OnSaveTemplate(); });
}

CInfoTipDefinitionDialog::~CInfoTipDefinitionDialog() = default;

void CInfoTipDefinitionDialog::OnInitDialog() {
    FillAttributeList();
    if (m_Theme != nullptr)
        m_Template = m_Theme->m_InfoTipTemplate;
    m_Edit->setPlainText(Text(m_Template));
    m_AddButton->setEnabled(false);
}

void CInfoTipDefinitionDialog::FillAttributeList() {
    m_List->clear();
    if (m_Theme == nullptr)
        return;
    if (!m_Theme->m_Points.empty()) {
        m_List->addItem(QStringLiteral("$LONGITUDE"));
        m_List->addItem(QStringLiteral("$LATITUDE"));
    }
    if (m_Theme->GetShapeCount() > 0)
        m_List->addItem(QStringLiteral("$INDEX"));
    const int count = static_cast<int>(m_Theme->GetAttributeCount());
    for (int column = 0; column < count; ++column)
        m_List->addItem(Text(m_Theme->GetAttributeName(column)));
    m_AddButton->setEnabled(!m_List->selectedItems().isEmpty());
}

bool CInfoTipDefinitionDialog::UpdateData(bool saveAndValidate) {
    if (saveAndValidate)
        m_Template = m_Edit->toPlainText().toStdString();
    else
        m_Edit->setPlainText(Text(m_Template));
    return true;
}

void CInfoTipDefinitionDialog::OnAdd() {
    const QList<QListWidgetItem*> selected = m_List->selectedItems();
    if (selected.isEmpty()) {
        m_AddButton->setEnabled(false);
        return;
    }
    // Typed into the edit as the user would, so that Undo takes it back.
    m_Edit->insertPlainText(QLatin1Char('<') + selected.front()->text() + QLatin1Char('>'));
    m_Edit->setFocus();
}

void CInfoTipDefinitionDialog::OnLoadTemplate() {
    corvale::FileDialogRequest request;
    request.filter = kTemplateFilter;
    request.defaultExtension = "txt";
    std::vector<std::string> paths;
    if (!corvale::UI().ChooseOpenFiles(request, paths) || paths.empty())
        return;
    std::ifstream in(paths.front(), std::ios::binary);
    if (!in)
        return;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return;
    m_Edit->setPlainText(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

void CInfoTipDefinitionDialog::OnSaveTemplate() {
    corvale::FileDialogRequest request;
    request.filter = kTemplateFilter;
    request.defaultExtension = "txt";
    std::string path;
    if (!corvale::UI().ChooseSaveFile(request, path) || path.empty())
        return;
    const std::string text = m_Edit->toPlainText().toStdString();
    CFileWriter::OpenError error = CFileWriter::FOE_None;
    if (!WriteWholeFile(path, text, &error))
        corvale::UI().ShowMessage(OpenFailureMessage(error, path, "The template could not be written to " + path + "."),
                                  corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

// ---------------------------------------------------------------------------
// Comment
// ---------------------------------------------------------------------------

CThemeCommentDialog::CThemeCommentDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    m_Edit = Named(new QPlainTextEdit(this), IDC_Comment);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Edit);
}

CThemeCommentDialog::~CThemeCommentDialog() = default;

void CThemeCommentDialog::OnInitDialog() {
    if (m_Theme != nullptr)
        m_Comment = m_Theme->m_Comment;
    UpdateData(false);
}

bool CThemeCommentDialog::UpdateData(bool saveAndValidate) {
    if (saveAndValidate)
        m_Comment = m_Edit->toPlainText().toStdString();
    else
        m_Edit->setPlainText(Text(m_Comment));
    return true;
}

// ---------------------------------------------------------------------------
// Image display
// ---------------------------------------------------------------------------

CRasterLayerPropertiesDialog::CRasterLayerPropertiesDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    auto* vectorizing = new QGroupBox(QStringLiteral("Vectorizing"), this);
    m_VectorizeCheck = Named(new QCheckBox(QStringLiteral("Vectorize in single select mode"), vectorizing),
                             IDC_VectorizeOnSelect);
    (new QVBoxLayout(vectorizing))->addWidget(m_VectorizeCheck);
    auto* rendering = new QGroupBox(QStringLiteral("Rendering"), this);
    m_AntiAliasCheck = Named(new QCheckBox(QStringLiteral("Anti-alias"), rendering), IDC_AntiAlias);
    (new QVBoxLayout(rendering))->addWidget(m_AntiAliasCheck);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(vectorizing);
    layout->addWidget(rendering);
    layout->addStretch(1);
    connect(m_VectorizeCheck, &QCheckBox::clicked, this,
            [this] { m_VectorizeOnSelect = m_VectorizeCheck->checkState() == Qt::Checked; });
    connect(m_AntiAliasCheck, &QCheckBox::clicked, this,
            [this] { m_AntiAlias = m_AntiAliasCheck->checkState() == Qt::Checked; });
}

CRasterLayerPropertiesDialog::~CRasterLayerPropertiesDialog() = default;

void CRasterLayerPropertiesDialog::OnInitDialog() {
    m_VectorizeCheck->setChecked(m_VectorizeOnSelect);
    m_AntiAliasCheck->setChecked(m_AntiAlias);
}
