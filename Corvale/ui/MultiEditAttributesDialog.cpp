#include "ui/MultiEditAttributesDialog.h"

#include "core/AttributeField.h"
#include "core/ColourText.h"
#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "formats/WktText.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeMeasures.h"
#include "platform/NumberText.h"
#include "settings/AppSettings.h"
#include "ui/controls/ColorThemeComboBox.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

const char* ModeText(int mode) {
    switch (mode) {
    case MEM_FixedValue:
        return "Fixed value";
    case MEM_Length:
        return "Calculate length";
    case MEM_Perimeter:
        return "Calculate perimeter";
    case MEM_Increment:
        return "Increment";
    case MEM_X:
        return "X coord";
    case MEM_Y:
        return "Y coord";
    case MEM_Wkt:
        return "Geometry in WKT format";
    case MEM_ColourHash:
        return "New color as hash string";
    case MEM_CopyColumn:
        return "Copy from other column";
    default:
        return "";
    }
}

// The label before the mode's value control; empty for the modes that take
// no value.
const char* ValueLabel(int mode) {
    switch (mode) {
    case MEM_FixedValue:
        return "New value:";
    case MEM_Increment:
        return "Start value:";
    case MEM_Wkt:
        return "Decimals:";
    case MEM_ColourHash:
        return "Color theme:";
    case MEM_CopyColumn:
        return "Copy value from:";
    default:
        return "";
    }
}

bool AllDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

void Error(const char* text) {
    corvale::UI().ShowMessage(text, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

std::string FormatInteger(long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld", value);
    return text;
}

} // namespace

const char* CMultiEditAttributesDialog::TypeName(int type) {
    switch (type) {
    case FT_String:
        return "FT_String";
    case FT_Int:
        return "FT_Int";
    case FT_Double:
        return "FT_Double";
    case FT_Date:
        return "FT_Date";
    case FT_Boolean:
        return "FT_Boolean";
    default:
        return "Unknown";
    }
}

CMultiEditAttributesDialog::CMultiEditAttributesDialog(CTheme* theme, CCorvaleDoc* document,
                                                       QWidget* parent)
    : QDialog(parent), m_Theme(theme), m_Document(document),
      m_Column(Named(new QComboBox(this), IDC_MULTIEDIT_COLUMN)),
      m_Type(Named(new QLineEdit(this), IDC_MULTIEDIT_TYPE)),
      m_Mode(Named(new QComboBox(this), IDC_MULTIEDIT_MODE)),
      m_ValueLabel(Named(new QLabel(this), IDC_MULTIEDIT_VALUE_LABEL)),
      m_Value(Named(new QLineEdit(this), IDC_MULTIEDIT_VALUE)),
      m_ColorTheme(Named(new CColorThemeComboBox(this), IDC_MULTIEDIT_COLOR_THEME)),
      m_Source(Named(new QComboBox(this), IDC_MULTIEDIT_SOURCE)) {
    setObjectName(QString::number(IDD_MULTI_EDIT_ATTRIBUTES));
    setWindowTitle(QStringLiteral("Multi-Edit Attributes"));
    m_Type->setReadOnly(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Column:"), m_Column);
    form->addRow(QStringLiteral("Type:"), m_Type);
    form->addRow(QStringLiteral("Value picking:"), m_Mode);
    auto* values = new QVBoxLayout;
    values->addWidget(m_Value);
    values->addWidget(m_ColorTheme);
    values->addWidget(m_Source);
    form->addRow(m_ValueLabel, values);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    buttons->button(QDialogButtonBox::Apply)->setObjectName(QString::number(IDC_MULTIEDIT_APPLY));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            [this] { Apply(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    const CAppSettings* settings = CAppSettings::GetInstance();
    SetColorThemes(settings != nullptr && !settings->m_ColorThemes.empty()
                       ? settings->m_ColorThemes
                       : GetBuiltInColorThemes());
    const int columns = theme != nullptr ? static_cast<int>(theme->GetAttributeCount()) : 0;
    for (int field = 0; field < columns; ++field)
        m_Column->addItem(QString::fromStdString(theme->GetAttributeName(field)), field);
    connect(m_Column, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { OnColumnChanged(); });
    connect(m_Mode, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { OnModeChanged(); });
    m_Column->setCurrentIndex(columns > 0 ? 0 : -1);
    OnColumnChanged();
}

void CMultiEditAttributesDialog::SetColorThemes(const std::vector<CColorTheme>& themes) {
    m_ColorTheme->SetColorThemes(themes);
    m_ColorTheme->setCurrentIndex(themes.empty() ? -1 : 0);
}

std::vector<int> CMultiEditAttributesDialog::GetModes() const {
    std::vector<int> modes;
    for (int i = 0; i < m_Mode->count(); ++i)
        modes.push_back(m_Mode->itemData(i).toInt());
    return modes;
}

bool CMultiEditAttributesDialog::SelectColumn(int field) {
    const int index = m_Column->findData(field);
    if (index < 0)
        return false;
    m_Column->setCurrentIndex(index);
    return true;
}

bool CMultiEditAttributesDialog::SelectMode(int mode) {
    const int index = m_Mode->findData(mode);
    if (index < 0)
        return false;
    m_Mode->setCurrentIndex(index);
    // Choosing the mode already chosen sets its control up again, as picking
    // it in the list does.
    OnModeChanged();
    return true;
}

std::vector<int> CMultiEditAttributesDialog::GetSourceColumns() const {
    std::vector<int> columns;
    for (int i = 0; i < m_Source->count(); ++i)
        columns.push_back(m_Source->itemData(i).toInt());
    return columns;
}

void CMultiEditAttributesDialog::OnColumnChanged() {
    const int field = m_Column->currentIndex() >= 0 ? m_Column->currentData().toInt() : -1;
    const int type = field >= 0 && m_Theme != nullptr ? m_Theme->GetAttributeType(field) : -1;
    m_Type->setText(field >= 0 ? QString::fromLatin1(TypeName(type)) : QString());

    std::vector<int> modes = {MEM_FixedValue};
    if (m_Theme != nullptr) {
        switch (m_Theme->m_ShapeType) {
        case SHT_Point:
        case SHT_PointZ:
            modes.push_back(MEM_X);
            modes.push_back(MEM_Y);
            break;
        case SHT_Polyline:
        case SHT_PolylineZ:
            modes.push_back(MEM_Length);
            break;
        case SHT_Polygon:
        case SHT_PolygonZ:
            modes.push_back(MEM_Perimeter);
            break;
        default:
            break;
        }
    }
    if (type == FT_Int)
        modes.push_back(MEM_Increment);
    if (type == FT_String) {
        modes.push_back(MEM_Wkt);
        modes.push_back(MEM_ColourHash);
    }
    modes.push_back(MEM_CopyColumn);
    m_Mode->blockSignals(true);
    m_Mode->clear();
    for (int mode : modes)
        m_Mode->addItem(QString::fromLatin1(ModeText(mode)), mode);
    m_Mode->setCurrentIndex(0);
    m_Mode->blockSignals(false);
    OnModeChanged();
}

void CMultiEditAttributesDialog::OnModeChanged() {
    for (QWidget* control :
         {static_cast<QWidget*>(m_ValueLabel), static_cast<QWidget*>(m_Value),
          static_cast<QWidget*>(m_ColorTheme), static_cast<QWidget*>(m_Source)}) {
        control->hide();
        control->setEnabled(false);
    }
    const int mode = m_Mode->currentIndex() >= 0 ? m_Mode->currentData().toInt() : 0;
    const char* label = ValueLabel(mode);
    if (*label == '\0')
        return;
    m_ValueLabel->setText(QString::fromLatin1(label));
    m_ValueLabel->show();
    m_ValueLabel->setEnabled(true);
    QWidget* control = m_Value;
    switch (mode) {
    case MEM_FixedValue:
        m_Value->setValidator(nullptr);
        break;
    case MEM_Increment:
    case MEM_Wkt: {
        // Digits only, like the number style of an edit.
        if (m_Value->validator() == nullptr)
            m_Value->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), m_Value));
        if (!AllDigits(m_Value->text()))
            m_Value->setText(QString::number(mode == MEM_Increment ? m_StartValue : m_Decimals));
        break;
    }
    case MEM_ColourHash:
        control = m_ColorTheme;
        break;
    case MEM_CopyColumn: {
        control = m_Source;
        m_Source->clear();
        const int target = m_Column->currentIndex() >= 0 ? m_Column->currentData().toInt() : -1;
        const int targetType = target >= 0 ? m_Theme->GetAttributeType(target) : -1;
        const int columns = static_cast<int>(m_Theme->GetAttributeCount());
        for (int field = 0; field < columns; ++field) {
            if (field == target)
                continue;
            const int type = m_Theme->GetAttributeType(field);
            bool compatible = false;
            if (targetType == FT_String)
                compatible = true;
            else if (targetType == FT_Int)
                compatible = type == FT_Int;
            else if (targetType == FT_Double)
                compatible = type == FT_Int || type == FT_Double;
            else
                compatible = type == targetType;
            if (compatible)
                m_Source->addItem(QString::fromStdString(m_Theme->GetAttributeName(field)), field);
        }
        m_Source->setCurrentIndex(m_Source->count() == 1 ? 0 : -1);
        break;
    }
    default:
        break;
    }
    control->show();
    control->setEnabled(true);
}

std::vector<int> CMultiEditAttributesDialog::SelectionOrder() const {
    std::vector<std::pair<int, int>> entries;
    for (const auto& [shapeIndex, entry] : m_Theme->m_Selection)
        entries.emplace_back(entry.m_SelectionIndex, shapeIndex);
    std::sort(entries.begin(), entries.end());
    std::vector<int> order;
    for (const auto& entry : entries)
        order.push_back(entry.second);
    return order;
}

void CMultiEditAttributesDialog::accept() {
    if (Apply())
        QDialog::accept();
}

bool CMultiEditAttributesDialog::Apply() {
    if (m_Theme == nullptr || m_Document == nullptr || m_Column->currentIndex() < 0 ||
        m_Mode->currentIndex() < 0)
        return false;
    const int field = m_Column->currentData().toInt();
    const int type = m_Theme->GetAttributeType(field);
    const int mode = m_Mode->currentData().toInt();
    const std::string value = m_Value->text().toStdString();

    switch (mode) {
    case MEM_FixedValue:
    case MEM_Increment:
        if (!IsValidFieldValue(value.c_str(), type)) {
            Error("Type mismatch.");
            return false;
        }
        break;
    case MEM_Length:
    case MEM_Perimeter:
    case MEM_X:
    case MEM_Y:
        if (type != FT_String && type != FT_Int && type != FT_Double) {
            Error("Type mismatch.");
            return false;
        }
        break;
    case MEM_Wkt:
    case MEM_ColourHash:
        if (type != FT_String) {
            Error("Type mismatch.");
            return false;
        }
        break;
    case MEM_CopyColumn:
        if (m_Source->currentIndex() < 0) {
            Error("No available source.");
            return false;
        }
        break;
    default:
        return false;
    }

    char question[96];
    std::snprintf(question, sizeof question, "Continuing will update attributes for %d objects.",
                  static_cast<int>(m_Theme->m_Selection.size()));
    if (corvale::UI().ShowMessage(question, corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::OkCancel) != corvale::IDOK)
        return false;

    CTheme& theme = *m_Theme;
    auto write = [&](int shapeIndex, const std::string& text) {
        theme.SetAttributeText(shapeIndex, field, text, true);
    };
    auto recordOf = [&](int shapeIndex) {
        return theme.GetShape(theme.GetShapePosition(shapeIndex));
    };
    std::vector<int> byIndex;
    for (const auto& entry : theme.m_Selection)
        byIndex.push_back(entry.first);

    switch (mode) {
    case MEM_FixedValue:
        for (int shapeIndex : byIndex)
            write(shapeIndex, value);
        break;
    case MEM_Length:
    case MEM_Perimeter:
    case MEM_X:
    case MEM_Y: {
        const bool fits = (mode == MEM_Length && theme.IsArcTheme()) ||
                          (mode == MEM_Perimeter && theme.IsPolygonTheme()) ||
                          ((mode == MEM_X || mode == MEM_Y) && theme.IsPointTheme());
        if (!fits)
            break;
        const CAppSettings* settings = CAppSettings::GetInstance();
        const int precision = settings != nullptr ? settings->m_DataViewPrecision : 6;
        for (int shapeIndex : byIndex) {
            const CShapeRecord* record = recordOf(shapeIndex);
            if (record == nullptr) {
                // A point without its record gets an empty text; a length of
                // nothing is not written.
                if (mode == MEM_X || mode == MEM_Y)
                    write(shapeIndex, std::string());
                continue;
            }
            double number = 0.0;
            if (mode == MEM_X || mode == MEM_Y) {
                const CShapePoint point = CShapeRecord::GetPoint(record, 0);
                number = mode == MEM_X ? point.x : point.y;
            } else {
                number = GetShapeLength(record, m_Document->m_refSystem, m_Document->m_earthRadius);
            }
            if (type == FT_Int)
                write(shapeIndex, FormatInteger(static_cast<long long>(std::floor(number + 0.5))));
            else
                write(shapeIndex, FormatDecimal(precision, number));
        }
        break;
    }
    case MEM_Increment: {
        std::int64_t start = 0;
        corvale::ParseInt64(value, start);
        m_StartValue = static_cast<int>(std::clamp<std::int64_t>(start, INT_MIN, INT_MAX));
        long long next = m_StartValue;
        for (int shapeIndex : SelectionOrder())
            write(shapeIndex, FormatInteger(next++));
        break;
    }
    case MEM_Wkt: {
        std::int64_t decimals = 0;
        corvale::ParseInt64(value, decimals);
        m_Decimals = static_cast<int>(std::clamp<std::int64_t>(decimals, 0, INT_MAX));
        for (int shapeIndex : SelectionOrder()) {
            std::string text;
            if (FormatShapeAsWkt(recordOf(shapeIndex), text, m_Decimals))
                write(shapeIndex, text);
        }
        break;
    }
    case MEM_ColourHash: {
        const auto& themes = m_ColorTheme->GetColorThemes();
        const int chosen = m_ColorTheme->currentIndex();
        if (chosen < 0 || static_cast<std::size_t>(chosen) >= themes.size())
            break;
        const CColorTheme& colours = themes[static_cast<std::size_t>(chosen)];
        const std::vector<int> order = SelectionOrder();
        for (std::size_t i = 0; i < order.size(); ++i)
            write(order[i], FormatColourHash(colours.GetColor(static_cast<int>(i))));
        break;
    }
    case MEM_CopyColumn: {
        const int source = m_Source->currentData().toInt();
        for (int shapeIndex : SelectionOrder())
            write(shapeIndex, theme.GetAttributeText(shapeIndex, source));
        break;
    }
    default:
        break;
    }
    m_Document->SetModifiedFlag(true);
    m_Document->FireUpdateEvent(nullptr, DUE_ThemeDataChanged,
                                reinterpret_cast<std::intptr_t>(m_Theme));
    return true;
}

bool RunMultiEditAttributesDialog(CTheme* theme, CCorvaleDoc* document, QWidget* parent) {
    CMultiEditAttributesDialog dialog(theme, document, parent);
    return dialog.exec() == QDialog::Accepted;
}
