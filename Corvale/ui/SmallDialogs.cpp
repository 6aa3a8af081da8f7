#include "ui/SmallDialogs.h"

#include "ui/NumberField.h"

#include "framework/UserInterface.h"
#include "platform/NumberText.h"
#include "ui/DialogButtons.h"
#include "ui/SimpleBrowser.h"
#include "ui/controls/NotifyEdit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>
#include <algorithm>
#include <cstdlib>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

void Warn(const char* text, corvale::MessageIcon icon = corvale::MessageIcon::Warning) {
    corvale::UI().ShowMessage(text, icon, corvale::MessageButtons::Ok);
}

void PutDouble(QLineEdit* edit, double value) { edit->setText(QString::fromStdString(corvale::FormatDouble(value))); }

} // namespace

// ---- the base ----

CSmallDialog::CSmallDialog(int id, const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(id));
    setWindowTitle(caption);
}

int CSmallDialog::DoModal() {
    UpdateData(false);
    FitWidthToTitle();
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

void CSmallDialog::FitWidthToTitle() {
    // A dialog as narrow as its few fields leaves the window manager no room
    // for the title, which it cuts in the middle. The title bar's font is the
    // window manager's; a bold one of the dialog's size with room for the
    // icon and the buttons on the bar is near enough.
    QFont bold = font();
    bold.setBold(true);
    const int wanted = QFontMetrics(bold).horizontalAdvance(windowTitle()) + kTitleBarChrome;
    if (minimumWidth() < wanted)
        setMinimumWidth(wanted);
}

void CSmallDialog::accept() {
    if (UpdateData(true))
        QDialog::accept();
}

void CSmallDialog::AddButtons() {
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->addWidget(CreateOkCancelButtons(this));
    else if (auto* form = qobject_cast<QFormLayout*>(layout()))
        form->addRow(CreateOkCancelButtons(this));
}

// ---- Grid Definition ----

CGridDefinitionDialog::CGridDefinitionDialog(QWidget* parent)
    : CSmallDialog(IDD_GRID_DEFINITION, QStringLiteral("Grid Definition"), parent),
      m_X(Named(new QLineEdit(this), IDC_GRID_X)), m_Y(Named(new QLineEdit(this), IDC_GRID_Y)) {
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Grid X size:"), m_X);
    layout->addRow(QStringLiteral("Grid Y size:"), m_Y);
    AddButtons();
}

bool CGridDefinitionDialog::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        PutDouble(m_X, m_GridX);
        PutDouble(m_Y, m_GridY);
        return true;
    }
    double x = 0.0;
    double y = 0.0;
    if (!ReadNumberField(m_X, x) || !ReadNumberField(m_Y, y))
        return false;
    // Negative sizes are allowed: they only turn the grid's direction.
    if (x == 0.0) {
        Warn("X-value may not be zero.\nPlease enter a non-zero value.", corvale::MessageIcon::Error);
        m_X->setFocus();
        return false;
    }
    if (y == 0.0) {
        Warn("Y-value may not be zero.\nPlease enter a non-zero value.", corvale::MessageIcon::Error);
        m_Y->setFocus();
        return false;
    }
    m_GridX = x;
    m_GridY = y;
    return true;
}

// ---- View Rectangle ----

CViewRectDialog::CViewRectDialog(QWidget* parent)
    : CSmallDialog(IDD_VIEW_RECT, QStringLiteral("View Rectangle"), parent),
      m_LeftEdit(new CNotifyEdit(this, IDC_VIEWRECT_LEFT)), m_RightEdit(new CNotifyEdit(this, IDC_VIEWRECT_RIGHT)),
      m_TopEdit(new CNotifyEdit(this, IDC_VIEWRECT_TOP)), m_BottomEdit(new CNotifyEdit(this, IDC_VIEWRECT_BOTTOM)),
      m_WidthEdit(Named(new QLineEdit(this), IDC_VIEWRECT_WIDTH)),
      m_HeightEdit(Named(new QLineEdit(this), IDC_VIEWRECT_HEIGHT)) {
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Left:"), m_LeftEdit);
    layout->addRow(QStringLiteral("Right:"), m_RightEdit);
    layout->addRow(QStringLiteral("Top:"), m_TopEdit);
    layout->addRow(QStringLiteral("Bottom:"), m_BottomEdit);
    layout->addRow(QStringLiteral("Width:"), m_WidthEdit);
    layout->addRow(QStringLiteral("Height:"), m_HeightEdit);
    auto* recalculate = Named(new QPushButton(QStringLiteral("Recalculate"), this), IDC_VIEWRECT_RECALCULATE);
    recalculate->setAutoDefault(false);
    connect(recalculate, &QPushButton::clicked, this, [this] { OnRecalculate(); });
    layout->addRow(recalculate);
    AddButtons();
}

void CViewRectDialog::SetViewRect(double x0, double y0, double x1, double y1) {
    m_Left = x0;
    m_Right = x1;
    m_Top = y1;
    m_Bottom = y0;
    const double width = std::fabs(x1 - x0);
    // A rectangle without width has no ratio; the square one is kept so the
    // bottom stays a number.
    m_Aspect = width > 0.0 ? std::fabs(y1 - y0) / width : 1.0;
    m_Width = width;
    m_Height = std::fabs(y0 - y1);
}

void CViewRectDialog::GetViewRect(double& x0, double& y0, double& x1, double& y1) const {
    x0 = m_Left;
    x1 = m_Right;
    y1 = m_Top;
    // The entered bottom is not used: the view keeps its aspect ratio.
    y0 = m_Top - std::fabs(m_Right - m_Left) * m_Aspect;
}

bool CViewRectDialog::UpdateData(bool saveAndValidate) {
    struct Field {
        QLineEdit* edit;
        double* value;
    };
    const Field fields[] = {{m_LeftEdit, &m_Left},   {m_RightEdit, &m_Right}, {m_TopEdit, &m_Top},
                            {m_BottomEdit, &m_Bottom}, {m_WidthEdit, &m_Width}, {m_HeightEdit, &m_Height}};
    if (!saveAndValidate) {
        for (const Field& field : fields)
            PutDouble(field.edit, *field.value);
        return true;
    }
    double values[6] = {};
    for (int i = 0; i < 6; ++i)
        if (!ReadNumberField(fields[i].edit, values[i]))
            return false;
    for (int i = 0; i < 6; ++i)
        *fields[i].value = values[i];
    // OK and Recalculate both refuse a rectangle turned the wrong way; equal
    // sides are accepted.
    if (m_Right < m_Left) {
        Warn("Left needs to be smaller them Right.");
        return false;
    }
    return true;
}

void CViewRectDialog::OnRecalculate() {
    if (!UpdateData(true))
        return;
    m_Bottom = m_Top - m_Aspect * (m_Right - m_Left);
    m_Width = m_Right - m_Left;
    m_Height = m_Top - m_Bottom;
    UpdateData(false);
}

// ---- Center Map ----

CCenterMapDialog::CCenterMapDialog(QWidget* parent)
    : CSmallDialog(IDD_CENTER_MAP, QStringLiteral("Center Map"), parent),
      m_XEdit(Named(new QLineEdit(this), IDC_CENTER_X)), m_YEdit(Named(new QLineEdit(this), IDC_CENTER_Y)) {
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("X:"), m_XEdit);
    layout->addRow(QStringLiteral("Y:"), m_YEdit);
    AddButtons();
}

bool CCenterMapDialog::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        PutDouble(m_XEdit, m_X);
        PutDouble(m_YEdit, m_Y);
        return true;
    }
    double x = 0.0;
    double y = 0.0;
    if (!ReadNumberField(m_XEdit, x) || !ReadNumberField(m_YEdit, y))
        return false;
    m_X = x;
    m_Y = y;
    return true;
}

// ---- Input ----

CInputDialog::CInputDialog(int mode, const std::string& caption, QWidget* parent)
    : CSmallDialog(IDD_INPUT, QString::fromStdString(caption), parent), m_Mode(mode),
      m_Edit(Named(new QLineEdit(this), IDC_INPUT_VALUE)) {
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Value:"), m_Edit);
    AddButtons();
}

bool CInputDialog::UpdateData(bool saveAndValidate) {
    if (m_Mode != 1) {
        if (saveAndValidate)
            m_Text = m_Edit->text().toStdString();
        else
            m_Edit->setText(QString::fromStdString(m_Text));
        return true;
    }
    if (!saveAndValidate) {
        m_Edit->setText(QString::number(m_Integer));
        return true;
    }
    bool ok = false;
    const int value = m_Edit->text().trimmed().toInt(&ok);
    if (!ok) {
        Warn("Please enter an integer.");
        m_Edit->setFocus();
        return false;
    }
    m_Integer = value;
    return true;
}

// ---- Select (combo box) ----

CComboBoxDialog::CComboBoxDialog(const std::string& caption, QWidget* parent)
    : CSmallDialog(IDD_COMBOBOX, QString::fromStdString(caption), parent),
      m_Combo(Named(new QComboBox(this), IDC_COMBOBOX_LIST)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Combo);
    AddButtons();
}

bool CComboBoxDialog::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_Selected = m_Combo->currentIndex();
        return true;
    }
    m_Combo->clear();
    for (const auto& item : m_Items)
        m_Combo->addItem(QString::fromStdString(item.first), QVariant::fromValue<qlonglong>(item.second));
    // An index outside the list selects nothing.
    const int count = static_cast<int>(m_Items.size());
    m_Combo->setCurrentIndex(m_Selected >= 0 && m_Selected < count ? m_Selected : -1);
    return true;
}

long CComboBoxDialog::GetSelectedItemData() const {
    if (m_Selected < 0 || m_Selected >= static_cast<int>(m_Items.size()))
        return -1;
    return m_Items[static_cast<std::size_t>(m_Selected)].second;
}

// ---- Point Count Selection ----

int CPointCountSelectionDialog::s_Parts = 0;
int CPointCountSelectionDialog::s_Comparison = 0;
int CPointCountSelectionDialog::s_Count = 2;

CPointCountSelectionDialog::CPointCountSelectionDialog(QWidget* parent)
    : CSmallDialog(IDD_POINT_COUNT_SELECTION, QStringLiteral("Point Count Selection"), parent),
      m_PartsCombo(Named(new QComboBox(this), IDC_POINTCOUNT_PARTS)),
      m_ComparisonCombo(Named(new QComboBox(this), IDC_POINTCOUNT_COMPARISON)),
      m_CountEdit(Named(new QLineEdit(this), IDC_POINTCOUNT_COUNT)) {
    m_PartsCombo->addItems({QStringLiteral("at least one part"), QStringLiteral("all parts")});
    m_ComparisonCombo->addItems({QStringLiteral("<"), QStringLiteral("="), QStringLiteral(">")});
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Select all shapes with"), this));
    row->addWidget(m_PartsCombo);
    row->addWidget(new QLabel(QStringLiteral("having"), this));
    row->addWidget(m_ComparisonCombo);
    row->addWidget(m_CountEdit);
    row->addWidget(new QLabel(QStringLiteral("vertices."), this));
    layout->addLayout(row);
    AddButtons();
}

bool CPointCountSelectionDialog::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        m_PartsCombo->setCurrentIndex(s_Parts);
        m_ComparisonCombo->setCurrentIndex(s_Comparison);
        m_CountEdit->setText(QString::number(s_Count));
        return true;
    }
    bool ok = false;
    const int count = m_CountEdit->text().trimmed().toInt(&ok);
    if (!ok) {
        Warn("Please enter an integer.");
        m_CountEdit->setFocus();
        return false;
    }
    s_Parts = m_PartsCombo->currentIndex();
    s_Comparison = m_ComparisonCombo->currentIndex();
    s_Count = count;
    return true;
}

// ---- Export to Shape File ----

CExportShapeConfirmationDialog::CExportShapeConfirmationDialog(QWidget* parent)
    : CSmallDialog(IDD_EXPORT_SHAPE_CONFIRMATION, QStringLiteral("Export to Shape File"), parent),
      m_Shx(Named(new QCheckBox(QStringLiteral("Create shape index file (.shx)"), this), IDC_EXPORT_SHX)),
      m_Dbf(Named(new QCheckBox(QStringLiteral("Create shape attribute file (.dbf)"), this), IDC_EXPORT_DBF)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Shx);
    layout->addWidget(m_Dbf);
    AddButtons();
}

bool CExportShapeConfirmationDialog::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_CreateShx = m_Shx->isChecked();
        m_CreateDbf = m_Dbf->isChecked();
    } else {
        m_Shx->setChecked(m_CreateShx);
        m_Dbf->setChecked(m_CreateDbf);
    }
    return true;
}

// ---- Table Check Options ----

CTableCheckDialog::CTableCheckDialog(QWidget* parent)
    : CSmallDialog(IDD_TABLE_CHECK, QStringLiteral("Table Check Options"), parent),
      m_IgnoreBlankBox(Named(new QCheckBox(QStringLiteral("Ignore blank data"), this), IDC_TABLECHECK_IGNORE_BLANK)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_IgnoreBlankBox);
    AddButtons();
}

bool CTableCheckDialog::UpdateData(bool saveAndValidate) {
    if (saveAndValidate)
        m_IgnoreBlank = m_IgnoreBlankBox->isChecked();
    else
        m_IgnoreBlankBox->setChecked(m_IgnoreBlank);
    return true;
}

// ---- Statistics row choice ----

CStatisticsSelectionDialog::CStatisticsSelectionDialog(int& choice, QWidget* parent)
    : CSmallDialog(IDD_STATISTICS_SELECTION, QStringLiteral("Selection"), parent),
      m_All(new QRadioButton(QStringLiteral("All shapes"))),
      m_Selected(new QRadioButton(QStringLiteral("Selected shapes"))),
      m_Unselected(new QRadioButton(QStringLiteral("Unselected shapes"))), m_Choice(choice) {
    auto* group = new QGroupBox(QStringLiteral("Run for"), this);
    auto* radios = new QVBoxLayout(group);
    for (QRadioButton* radio : {m_All, m_Selected, m_Unselected})
        radios->addWidget(radio);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    AddButtons();
}

bool CStatisticsSelectionDialog::UpdateData(bool saveAndValidate) {
    QRadioButton* const radios[] = {m_All, m_Selected, m_Unselected};
    if (saveAndValidate) {
        for (int i = 0; i < 3; ++i)
            if (radios[i]->isChecked())
                m_Choice = i;
    } else {
        // A value from elsewhere that is no choice shows all shapes.
        radios[m_Choice >= 0 && m_Choice < 3 ? m_Choice : 0]->setChecked(true);
    }
    return true;
}

// ---- Vectorization Parameters ----

namespace {

QSlider* ThresholdSlider(QWidget* parent, int id) {
    auto* slider = Named(new QSlider(Qt::Horizontal, parent), id);
    slider->setRange(0, 100);
    slider->setTickInterval(10);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

// The slider with its position written beside it, so that a setting can be
// read and found again.
QLayout* WithValue(QSlider* slider, int valueId) {
    auto* value = Named(new QLabel(slider->parentWidget()), valueId);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QString::number(slider->maximum())) + 4);
    value->setNum(slider->value());
    QObject::connect(slider, &QSlider::valueChanged, value, qOverload<int>(&QLabel::setNum));
    auto* row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addWidget(value);
    return row;
}

} // namespace

CVectorizationParametersDialog::CVectorizationParametersDialog(float& colourThreshold, float& greyscaleThreshold,
                                                               QWidget* parent)
    : CSmallDialog(IDD_VECTORIZATION_PARAMETERS, QStringLiteral("Vectorization Parameters"), parent),
      m_ColourThreshold(colourThreshold), m_GreyscaleThreshold(greyscaleThreshold),
      m_Colour(ThresholdSlider(this, IDC_VECTORIZE_COLOR)), m_Greyscale(ThresholdSlider(this, IDC_VECTORIZE_GREYSCALE)) {
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Color Threshold:"), WithValue(m_Colour, IDC_VECTORIZE_COLOR_VALUE));
    layout->addRow(QStringLiteral("Greyscale Threshold:"), WithValue(m_Greyscale, IDC_VECTORIZE_GREYSCALE_VALUE));
    auto* row = new QHBoxLayout;
    auto* apply = Named(new QPushButton(QStringLiteral("Apply"), this), IDC_VECTORIZE_APPLY);
    auto* reset = Named(new QPushButton(QStringLiteral("Reset"), this), IDC_VECTORIZE_RESET);
    apply->setAutoDefault(false);
    reset->setAutoDefault(false);
    connect(apply, &QPushButton::clicked, this, [this] { OnApply(); });
    connect(reset, &QPushButton::clicked, this, [this] { OnReset(); });
    row->addWidget(apply);
    row->addWidget(reset);
    layout->addRow(row);
    AddButtons();
}

bool CVectorizationParametersDialog::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_ColourThreshold = static_cast<float>(100 - m_Colour->value());
        m_GreyscaleThreshold = static_cast<float>(m_Greyscale->value() * 0.00390625);
    } else {
        m_Colour->setValue(100 - static_cast<int>(std::lround(m_ColourThreshold)));
        m_Greyscale->setValue(static_cast<int>(std::lround(m_GreyscaleThreshold * 256.0)));
    }
    return true;
}

void CVectorizationParametersDialog::OnApply() { UpdateData(true); }

void CVectorizationParametersDialog::OnReset() {
    m_Colour->setValue(80);
    m_Greyscale->setValue(10);
    UpdateData(true);
}

// ---- Text information ----

namespace {

// The program's style sheet, which pages name by a placeholder.
constexpr const char* kStyleSheetPlaceholder = "<CorvaleStyleSheet>";
constexpr const char* kStyleSheetLink = "<link rel=StyleSheet href='qrc:/css/Corvale.css' type='text/css'>";

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

bool IsPage(const std::string& text) {
    return QString::fromStdString(text.substr(0, 6)).compare(QStringLiteral("<HTML>"), Qt::CaseInsensitive) == 0;
}

} // namespace

CTextInformationDialog::CTextInformationDialog(const std::string& caption, QWidget* parent)
    : QDialog(parent), m_Edit(Named(new QPlainTextEdit(this), IDC_INFORMATION_TEXT)),
      m_Close(Named(new QPushButton(QStringLiteral("Close"), this), IDC_DIALOG_OK)) {
    setObjectName(QString::number(IDD_TEXT_INFORMATION));
    setWindowTitle(QString::fromStdString(caption));
    m_Edit->setReadOnly(true);
    m_Close->setDefault(true);
    connect(m_Close, &QPushButton::clicked, this, &QDialog::accept);
    resize(480, 360);
}

int CTextInformationDialog::DoModal() {
    std::string text = m_Text;
    if (IsPage(text)) {
        m_Browser = new SimpleBrowser(this);
        if (m_Browser->CreateFromControl(this, IDC_INFORMATION_TEXT)) {
            m_Edit = nullptr;
            m_Browser->Write(ReplaceAll(text, kStyleSheetPlaceholder, kStyleSheetLink));
        } else {
            delete m_Browser;
            m_Browser = nullptr;
            text = ReplaceAll(text, kStyleSheetPlaceholder, std::string());
        }
    }
    if (m_Edit != nullptr)
        m_Edit->setPlainText(QString::fromStdString(text));
    Place();
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

void CTextInformationDialog::Place() {
    QWidget* content = m_Browser != nullptr ? static_cast<QWidget*>(m_Browser) : static_cast<QWidget*>(m_Edit);
    if (content != nullptr)
        content->setGeometry(10, 10, std::max(0, width() - 21), std::max(0, height() - 51));
    const QSize button = m_Close->sizeHint();
    m_Close->setGeometry((width() - button.width()) / 2, height() - 11 - button.height(), button.width(),
                         button.height());
}

void CTextInformationDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Place();
}

void CTextInformationDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Place();
}

// ---- the services ----

void InstallViewDialogs(CDocumentDialogServices& services, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    services.centerMap = [owner](double& x, double& y) {
        CCenterMapDialog dialog(owner);
        dialog.m_X = x;
        dialog.m_Y = y;
        if (dialog.DoModal() != corvale::IDOK)
            return false;
        x = dialog.m_X;
        y = dialog.m_Y;
        return true;
    };
    services.viewRectangle = [owner](double extent[4]) {
        CViewRectDialog dialog(owner);
        dialog.SetViewRect(extent[0], extent[1], extent[2], extent[3]);
        if (dialog.DoModal() != corvale::IDOK)
            return false;
        dialog.GetViewRect(extent[0], extent[1], extent[2], extent[3]);
        return true;
    };
    services.gridDefinition = [owner](double& x, double& y) {
        CGridDefinitionDialog dialog(owner);
        dialog.m_GridX = x;
        dialog.m_GridY = y;
        if (dialog.DoModal() != corvale::IDOK)
            return false;
        x = dialog.m_GridX;
        y = dialog.m_GridY;
        return true;
    };
}
