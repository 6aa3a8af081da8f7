#include "ui/AdvancedPropertiesDialog.h"

#include "core/AttributeField.h"
#include "core/ColorRef.h"
#include "core/Theme.h"
#include "core/query/QueryEngine.h"
#include "framework/UserInterface.h"
#include "settings/AppSettings.h"
#include "ui/DialogButtons.h"
#include "ui/controls/ColorThemeComboBox.h"
#include "ui/controls/ColourPickerXP.h"
#include "ui/controls/PenPatternComboBox.h"
#include "ui/controls/PenWidthComboBox.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The four style values in the order of the dialog's arrays.
enum { SV_Fill = 0, SV_PenColour, SV_PenWidth, SV_PenStyle };

} // namespace

// ---------------------------------------------------------------------------
// One rule
// ---------------------------------------------------------------------------

CAdvancedPropertyDialog::CAdvancedPropertyDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("Advanced Style Property"));

    m_List = Named(new QListWidget(this), IDC_Attributes);
    m_AddButton = Named(new QPushButton(QStringLiteral("Add"), this), IDC_Add);
    m_AddButton->setAutoDefault(false);
    m_ConditionEdit = Named(new QLineEdit(this), IDC_Condition);
    auto* validate = Named(new QPushButton(QStringLiteral("Validate"), this), IDC_Validate);
    validate->setAutoDefault(false);

    m_FillPicker = Named(new CColourPickerXP(this), IDC_FillColour);
    m_PenPicker = Named(new CColourPickerXP(this), IDC_PenColour);
    m_WidthCombo = Named(new CPenWidthComboBox(this), IDC_PenWidth);
    m_PatternCombo = Named(new CPenPatternComboBox(this), IDC_PenStyle);

    struct Row {
        const char* label;
        int labelId;
        int fixedId;
        int attributeId;
        int columnId;
        QWidget* fixed;
    };
    const Row rows[4] = {
        {"Fill Color", IDC_FillLabel, IDC_FillFixed, IDC_FillFromAttribute, IDC_FillColumn, m_FillPicker},
        {"Pen Color", IDC_PenColourLabel, IDC_PenColourFixed, IDC_PenColourFromAttribute, IDC_PenColourColumn,
         m_PenPicker},
        {"Pen Width", IDC_PenWidthLabel, IDC_PenWidthFixed, IDC_PenWidthFromAttribute, IDC_PenWidthColumn,
         m_WidthCombo},
        {"Pen Style", IDC_PenStyleLabel, IDC_PenStyleFixed, IDC_PenStyleFromAttribute, IDC_PenStyleColumn,
         m_PatternCombo},
    };
    auto* styles = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        m_Labels[i] = Named(new QLabel(QString::fromLatin1(rows[i].label) + QLatin1Char(':'), this), rows[i].labelId);
        m_Fixed[i] = Named(new QRadioButton(QStringLiteral("Fixed"), this), rows[i].fixedId);
        m_FromAttribute[i] = Named(new QRadioButton(QStringLiteral("Attribute"), this), rows[i].attributeId);
        m_Columns[i] = Named(new QComboBox(this), rows[i].columnId);
        auto* group = new QButtonGroup(this);
        group->addButton(m_Fixed[i]);
        group->addButton(m_FromAttribute[i]);
        styles->addWidget(m_Labels[i], i, 0);
        styles->addWidget(m_Fixed[i], i, 1);
        styles->addWidget(rows[i].fixed, i, 2);
        styles->addWidget(m_FromAttribute[i], i, 3);
        styles->addWidget(m_Columns[i], i, 4);
        for (QRadioButton* radio : {m_Fixed[i], m_FromAttribute[i]})
            connect(radio, &QRadioButton::clicked, this, [this] { EnableControls(); });
    }

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Attribute:"), this), 0, 0);
    layout->addWidget(m_List, 1, 0, 2, 1);
    layout->addWidget(m_AddButton, 1, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QStringLiteral("Condition:"), this), 3, 0);
    layout->addWidget(m_ConditionEdit, 4, 0);
    layout->addWidget(validate, 4, 1);
    layout->addLayout(styles, 5, 0, 1, 2);
    layout->addWidget(CreateOkCancelButtons(this), 6, 0, 1, 2);

    connect(m_List, &QListWidget::itemSelectionChanged, this,
            [this] { m_AddButton->setEnabled(!m_List->selectedItems().isEmpty()); });
    connect(m_List, &QListWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_AddButton, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(validate, &QPushButton::clicked, this, [this] { OnValidate(); });
    connect(m_WidthCombo, &QComboBox::activated, this, [this](int index) {
        m_PenWidth = index >= 0 ? m_WidthCombo->itemData(index).toInt() : m_WidthCombo->GetCurWidth();
        m_PatternCombo->SetPenWidth(m_PenWidth);
        m_PatternCombo->update();
    });
    connect(m_PatternCombo, &QComboBox::activated, this, [this](int index) {
        m_PenStyle = index >= 0 ? m_PatternCombo->itemData(index).toInt() : m_PatternCombo->GetCurPattern();
    });
}

CAdvancedPropertyDialog::~CAdvancedPropertyDialog() = default;

int CAdvancedPropertyDialog::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? corvale::IDOK : corvale::IDCANCEL;
}

void CAdvancedPropertyDialog::OnInitDialog() {
    m_FillPicker->SetColour(m_FillColour);
    m_PenPicker->SetColour(m_PenColour);
    m_WidthCombo->SetCurWidth(m_PenWidth);
    m_PatternCombo->SetCurPattern(m_PenStyle);
    m_PatternCombo->SetPenWidth(m_PenWidth);

    m_List->clear();
    for (QComboBox* combo : m_Columns)
        combo->clear();
    if (m_Theme != nullptr) {
        const int count = static_cast<int>(m_Theme->GetAttributeCount());
        for (int column = 0; column < count; ++column) {
            const QString name = Text(m_Theme->GetAttributeName(column));
            const int type = m_Theme->GetAttributeType(column);
            if (type == FT_Int) {
                m_List->addItem(name + QStringLiteral("\t(integer)"));
                m_Columns[SV_PenWidth]->addItem(name);
                m_Columns[SV_PenStyle]->addItem(name);
            } else if (type == FT_Double) {
                m_List->addItem(name + QStringLiteral("\t(double)"));
                m_Columns[SV_PenWidth]->addItem(name);
            } else {
                m_List->addItem(name + QStringLiteral("\t(string)"));
            }
            m_Columns[SV_Fill]->addItem(name);
            m_Columns[SV_PenColour]->addItem(name);
        }
    }
    const int radios[4] = {m_FillRadio, m_PenColourRadio, m_PenWidthRadio, m_PenStyleRadio};
    const std::string* columns[4] = {&m_FillAttribute, &m_PenColourAttribute, &m_PenWidthAttribute,
                                     &m_PenStyleAttribute};
    for (int i = 0; i < 4; ++i) {
        (radios[i] == 1 ? m_FromAttribute[i] : m_Fixed[i])->setChecked(true);
        m_Columns[i]->setCurrentIndex(m_Columns[i]->findText(Text(*columns[i])));
    }
    m_AddButton->setEnabled(false);
    EnableControls();
    m_ConditionEdit->setText(Text(m_Condition));
}

void CAdvancedPropertyDialog::EnableControls() {
    const std::uint32_t type = m_Theme != nullptr ? m_Theme->m_ShapeType : SHT_Null;
    const bool points = CShapeRecord::IsPointType(type);
    const bool lines = CShapeRecord::IsPolylineType(type);
    QWidget* fixedControls[4] = {m_FillPicker, m_PenPicker, m_WidthCombo, m_PatternCombo};
    bool used[4] = {true, true, true, true};
    // Points and lines have no fill; only lines have a width and a pattern.
    if (points || lines)
        used[SV_Fill] = false;
    if (!lines)
        used[SV_PenWidth] = used[SV_PenStyle] = false;
    m_Labels[SV_PenColour]->setText(points ? QStringLiteral("Color:") : QStringLiteral("Pen Color:"));
    for (int i = 0; i < 4; ++i) {
        const bool fromAttribute = m_FromAttribute[i]->isChecked();
        for (QWidget* w : std::initializer_list<QWidget*>{m_Labels[i], m_Fixed[i], m_FromAttribute[i]}) {
            w->setVisible(used[i]);
            w->setEnabled(used[i]);
        }
        fixedControls[i]->setVisible(used[i]);
        fixedControls[i]->setEnabled(used[i] && !fromAttribute);
        m_Columns[i]->setVisible(used[i]);
        m_Columns[i]->setEnabled(used[i] && fromAttribute);
    }
}

void CAdvancedPropertyDialog::OnAdd() {
    const QList<QListWidgetItem*> selected = m_List->selectedItems();
    if (selected.isEmpty()) {
        m_AddButton->setEnabled(false);
        return;
    }
    const QString entry = selected.front()->text();
    const QString name = entry.left(entry.lastIndexOf(QLatin1Char('\t')));
    // insert() replaces the selection and is undoable.
    m_ConditionEdit->insert(QLatin1Char('[') + name + QStringLiteral("] "));
    m_ConditionEdit->setFocus();
}

void CAdvancedPropertyDialog::OnValidate() {
    CorvaleSQL::CQueryEngine engine;
    std::string error;
    const std::string condition = m_ConditionEdit->text().toStdString();
    if (engine.Prepare(m_Theme, condition, error) && engine.CheckExpression(error))
        corvale::UI().ShowMessage("Condition validated without errors.", corvale::MessageIcon::Information,
                                  corvale::MessageButtons::Ok);
    else
        corvale::UI().ShowMessage(error, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

void CAdvancedPropertyDialog::accept() {
    m_Condition = m_ConditionEdit->text().toStdString();
    // As stored: an automatic choice stays automatic.
    m_FillColour = m_FillPicker->GetStoredColour();
    m_PenColour = m_PenPicker->GetStoredColour();
    int* radios[4] = {&m_FillRadio, &m_PenColourRadio, &m_PenWidthRadio, &m_PenStyleRadio};
    std::string* columns[4] = {&m_FillAttribute, &m_PenColourAttribute, &m_PenWidthAttribute, &m_PenStyleAttribute};
    for (int i = 0; i < 4; ++i) {
        *radios[i] = m_FromAttribute[i]->isChecked() ? 1 : 0;
        if (m_Columns[i]->currentIndex() >= 0)
            *columns[i] = m_Columns[i]->currentText().toStdString();
    }
    QDialog::accept();
}

// ---------------------------------------------------------------------------
// The rule page
// ---------------------------------------------------------------------------

CAdvancedPropertiesDialog::CAdvancedPropertiesDialog(QWidget* parent) : CPropertiesBaseDialog(parent) {
    setObjectName(QString::number(IDD));
    m_Toolbar = Named(new QToolBar(this), IDC_ToolbarPlace);
    m_Toolbar->setIconSize(QSize(16, 15));
    struct Command {
        int id;
        const char* text;
        bool separatorBefore;
    };
    const Command commands[] = {
        {ID_RuleNew, "New", false},          {ID_RuleDelete, "Delete", true},
        {ID_RuleMoveUp, "Move Up", true},     {ID_RuleMoveDown, "Move Down", false},
        {ID_RuleProperties, "Properties", true},
    };
    for (const Command& c : commands) {
        if (c.separatorBefore)
            m_Toolbar->addSeparator();
        QAction* action = m_Toolbar->addAction(QString::fromLatin1(c.text));
        action->setObjectName(QString::number(c.id));
        action->setToolTip(QString::fromLatin1(c.text));
        connect(action, &QAction::triggered, this, [this, id = c.id] {
            switch (id) {
            case ID_RuleNew:
                OnNew();
                break;
            case ID_RuleDelete:
                OnDelete();
                break;
            case ID_RuleMoveUp:
                OnMoveUp();
                break;
            case ID_RuleMoveDown:
                OnMoveDown();
                break;
            default:
                OnRuleProperties();
                break;
            }
        });
    }
    m_List = Named(new QTreeWidget(this), IDC_Rules);
    m_List->setRootIsDecorated(false);
    m_List->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_List->setAllColumnsShowFocus(true);
    m_ThemeCombo = Named(new CColorThemeComboBox(this), IDC_ColorTheme);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_Toolbar, 0, 0, 1, 2);
    layout->addWidget(m_List, 1, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Color Theme:"), this), 2, 0);
    layout->addWidget(m_ThemeCombo, 2, 1);
    layout->setColumnStretch(1, 1);

    connect(m_List, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_List, &QTreeWidget::itemDoubleClicked, this, [this] { OnRuleProperties(); });
}

CAdvancedPropertiesDialog::~CAdvancedPropertiesDialog() = default;

void CAdvancedPropertiesDialog::OnInitDialog() {
    QStringList headers{QStringLiteral("Item"), QStringLiteral("Condition")};
    const std::uint32_t type = m_Theme != nullptr ? m_Theme->m_ShapeType : SHT_Null;
    if (CShapeRecord::IsPointType(type)) {
        headers << QStringLiteral("Color");
        m_PenColumn = 2;
    } else if (CShapeRecord::IsPolylineType(type)) {
        headers << QStringLiteral("Pen color");
        m_PenColumn = 2;
    } else if (CShapeRecord::IsPolygonType(type)) {
        headers << QStringLiteral("Fill color") << QStringLiteral("Pen color");
        m_FillColumn = 2;
        m_PenColumn = 3;
    }
    m_List->setColumnCount(headers.size());
    m_List->setHeaderLabels(headers);
    const int widths[] = {40, 200, 50, 50};
    for (int i = 0; i < headers.size(); ++i)
        m_List->setColumnWidth(i, widths[i]);
    for (const CAdvancedProperty& rule : m_Properties.m_Properties)
        AddRow(rule);
    const CAppSettings* settings = CAppSettings::GetInstance();
    m_ThemeCombo->SetColorThemes(settings != nullptr ? settings->m_ColorThemes : std::vector<CColorTheme>());
    m_ThemeCombo->setCurrentIndex(m_ThemeCombo->count() > 0 ? 0 : -1);
    UpdateButtons();
}

QAction* CAdvancedPropertiesDialog::GetAction(int id) const {
    return m_Toolbar->findChild<QAction*>(QString::number(id));
}

int CAdvancedPropertiesDialog::RowCount() const { return m_List->topLevelItemCount(); }

void CAdvancedPropertiesDialog::AddRow(const CAdvancedProperty& rule) {
    m_Rules.push_back(rule);
    new QTreeWidgetItem(m_List);
    ShowRow(RowCount() - 1);
}

void CAdvancedPropertiesDialog::ShowRow(int row) {
    QTreeWidgetItem* item = m_List->topLevelItem(row);
    const CAdvancedProperty& rule = m_Rules.at(static_cast<std::size_t>(row));
    item->setText(0, QString::number(row + 1));
    item->setText(1, Text(rule.Condition));
    // The fixed colour is shown even while the rule reads it from a column.
    if (m_FillColumn >= 0)
        item->setBackground(m_FillColumn, ColorFromColorRef(rule.FillColor));
    if (m_PenColumn >= 0)
        item->setBackground(m_PenColumn, ColorFromColorRef(rule.PenColor));
}

void CAdvancedPropertiesDialog::Renumber() {
    for (int row = 0; row < RowCount(); ++row)
        m_List->topLevelItem(row)->setText(0, QString::number(row + 1));
}

void CAdvancedPropertiesDialog::Select(int row) {
    m_List->clearSelection();
    if (row >= 0 && row < RowCount()) {
        m_List->setCurrentItem(m_List->topLevelItem(row));
        m_List->topLevelItem(row)->setSelected(true);
    }
    UpdateButtons();
}

int CAdvancedPropertiesDialog::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_List->selectedItems();
    return selected.isEmpty() ? -1 : m_List->indexOfTopLevelItem(selected.front());
}

void CAdvancedPropertiesDialog::UpdateButtons() {
    const int row = SelectedRow();
    const int count = RowCount();
    GetAction(ID_RuleMoveDown)->setEnabled(row >= 0 && row < count - 1);
    GetAction(ID_RuleMoveUp)->setEnabled(row >= 1);
    GetAction(ID_RuleDelete)->setEnabled(row >= 0);
    GetAction(ID_RuleProperties)->setEnabled(row >= 0);
}

void CAdvancedPropertiesDialog::OnNew() {
    const int row = RowCount();
    std::uint32_t colour = kNewRuleColour;
    const int themeIndex = m_ThemeCombo->currentIndex();
    const std::vector<CColorTheme>& themes = m_ThemeCombo->GetColorThemes();
    if (themeIndex >= 0 && themeIndex < static_cast<int>(themes.size()))
        colour = themes[static_cast<std::size_t>(themeIndex)].GetColor(row);
    const int width = m_Theme != nullptr ? m_Theme->m_LineWidth : 1;
    AddRow(CAdvancedProperty(std::string(), colour, colour, width));
    Select(row);
    OnRuleProperties();
    if (m_LastResult != corvale::IDOK) {
        delete m_List->takeTopLevelItem(row);
        m_Rules.erase(m_Rules.begin() + row);
        Select(-1);
    }
}

void CAdvancedPropertiesDialog::OnDelete() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    delete m_List->takeTopLevelItem(row);
    m_Rules.erase(m_Rules.begin() + row);
    Renumber();
    Select(row < RowCount() ? row : RowCount() - 1);
}

void CAdvancedPropertiesDialog::MoveRow(int from, int to) {
    if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount())
        return;
    std::swap(m_Rules[static_cast<std::size_t>(from)], m_Rules[static_cast<std::size_t>(to)]);
    ShowRow(from);
    ShowRow(to);
    Select(to);
}

void CAdvancedPropertiesDialog::OnMoveUp() {
    const int row = SelectedRow();
    MoveRow(row, row - 1);
}

void CAdvancedPropertiesDialog::OnMoveDown() {
    const int row = SelectedRow();
    if (row >= 0)
        MoveRow(row, row + 1);
}

void CAdvancedPropertiesDialog::OnRuleProperties() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    CAdvancedProperty& rule = m_Rules[static_cast<std::size_t>(row)];
    CAdvancedPropertyDialog dialog(this);
    dialog.m_FillColour = rule.FillColor;
    dialog.m_PenColour = rule.PenColor;
    dialog.m_PenWidth = rule.PenWidth;
    dialog.m_PenStyle = rule.PenStyle;
    dialog.m_FillRadio = rule.FillFromAttribute != 0 ? 1 : 0;
    dialog.m_PenColourRadio = rule.PenColorFromAttribute != 0 ? 1 : 0;
    dialog.m_PenWidthRadio = rule.PenWidthFromAttribute != 0 ? 1 : 0;
    dialog.m_PenStyleRadio = rule.PenStyleFromAttribute != 0 ? 1 : 0;
    dialog.m_FillAttribute = rule.FillAttribute;
    dialog.m_PenColourAttribute = rule.PenColorAttribute;
    dialog.m_PenWidthAttribute = rule.PenWidthAttribute;
    dialog.m_PenStyleAttribute = rule.PenStyleAttribute;
    dialog.m_Condition = m_List->topLevelItem(row)->text(1).toStdString();
    dialog.m_Theme = m_Theme;
    m_LastResult = dialog.DoModal();
    if (m_LastResult != corvale::IDOK)
        return;
    rule.Condition = dialog.m_Condition;
    // A value taken from a column keeps the fixed value behind it, and the
    // other way round, so that switching back restores it.
    auto take = [](int radio, std::int32_t& flag, std::string& column, const std::string& newColumn, auto& fixed,
                   auto newFixed) {
        if (radio == 1) {
            column = newColumn;
            flag = 1;
        } else {
            fixed = newFixed;
            flag = 0;
        }
    };
    take(dialog.m_FillRadio, rule.FillFromAttribute, rule.FillAttribute, dialog.m_FillAttribute, rule.FillColor,
         dialog.m_FillColour);
    take(dialog.m_PenColourRadio, rule.PenColorFromAttribute, rule.PenColorAttribute, dialog.m_PenColourAttribute,
         rule.PenColor, dialog.m_PenColour);
    take(dialog.m_PenWidthRadio, rule.PenWidthFromAttribute, rule.PenWidthAttribute, dialog.m_PenWidthAttribute,
         rule.PenWidth, static_cast<std::int32_t>(dialog.m_PenWidth));
    take(dialog.m_PenStyleRadio, rule.PenStyleFromAttribute, rule.PenStyleAttribute, dialog.m_PenStyleAttribute,
         rule.PenStyle, static_cast<std::int32_t>(dialog.m_PenStyle));
    ShowRow(row);
}

const CAdvancedProperties& CAdvancedPropertiesDialog::OnOK() {
    m_Properties.m_Properties = m_Rules;
    return m_Properties;
}
