#include "ui/OptionsPages.h"

#include "core/ColorRef.h"
#include "framework/UserInterface.h"
#include "ui/NumberField.h"
#include "ui/ColorThemeEditDialog.h"
#include "ui/controls/ColorListBox.h"
#include "ui/controls/ColourPickerXP.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// A check box whose long text wraps with the page's width: the text moves
// to a label beside the box, and a click on the label toggles the box.
class CWrappedCheckLabel : public QLabel {
public:
    CWrappedCheckLabel(QCheckBox* box, QWidget* parent) : QLabel(box->text(), parent), m_Box(box) {
        setWordWrap(true);
        setBuddy(box);
        box->setAccessibleName(box->text());
        box->setText(QString());
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (m_Box->isEnabled())
            m_Box->click();
    }

private:
    QCheckBox* m_Box;
};

QWidget* WithWrappedText(QCheckBox* box, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box, 0, Qt::AlignTop);
    layout->addWidget(new CWrappedCheckLabel(box, row), 1);
    return row;
}

// Push buttons on a page must not take Enter from the dialog's OK.
QPushButton* PageButton(const QString& text, int id, QWidget* parent) {
    auto* button = Named(new QPushButton(text, parent), id);
    button->setAutoDefault(false);
    return button;
}

} // namespace

// ---------------------------------------------------------------------------
// Shared
// ---------------------------------------------------------------------------

COptionsPage::COptionsPage(QWidget* parent) : CPropertiesBaseDialog(parent) {}

void COptionsPage::Load(const CAppSettings&) { UpdateData(false); }

void COptionsPage::Store(CAppSettings&) const {}

std::function<void(const std::string&)>& COptionsPage::Explorer() {
    static std::function<void(const std::string&)> explorer = [](const std::string& folder) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(Q(folder)));
    };
    return explorer;
}

std::function<void(const std::string&)>& COptionsPage::Editor() {
    static std::function<void(const std::string&)> editor = [](const std::string& file) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(Q(file)));
    };
    return editor;
}

QWidget* COptionsPage::MakeFolderRow(QLineEdit*& edit, int editId, QPushButton*& explore) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    edit = Named(new QLineEdit(row), editId);
    edit->setReadOnly(true);
    explore = PageButton(QString(), 1024, row);
    explore->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    explore->setToolTip(QStringLiteral("Explore"));
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize);
    explore->setFixedSize(icon + 6, edit->sizeHint().height());
    layout->addWidget(edit, 1);
    layout->addWidget(explore);
    QLineEdit* field = edit;
    connect(explore, &QPushButton::clicked, this, [field] {
        if (!field->text().isEmpty())
            Explorer()(field->text().toStdString());
    });
    return row;
}

// ---------------------------------------------------------------------------
// General
// ---------------------------------------------------------------------------

COptionsPageGeneral::COptionsPageGeneral(QWidget* parent) : COptionsPage(parent) {
    setObjectName(QString::number(IDD));
    auto* layout = new QVBoxLayout(this);

    m_Order = new QButtonGroup(this);
    auto* first = Named(new QRadioButton(QStringLiteral("Add new themes first. (Top Z-order)"), this), IDC_AddFirst);
    auto* last = Named(new QRadioButton(QStringLiteral("Add new themes last. (Bottom Z-order)"), this), IDC_AddLast);
    m_Order->addButton(first, 0);
    m_Order->addButton(last, 1);
    layout->addWidget(first);
    layout->addWidget(last);

    layout->addWidget(new QLabel(QStringLiteral("Main directory:"), this));
    layout->addWidget(MakeFolderRow(m_Directory, IDC_MainDirectory, m_Explore));

    m_Slider = Named(new QSlider(Qt::Horizontal, this), IDC_Performance);
    m_Slider->setRange(0, 2);
    m_Slider->setPageStep(1);
    m_Slider->setTickPosition(QSlider::TicksBelow);
    m_Slider->setTickInterval(1);
    auto* sliderLabels = new QHBoxLayout;
    sliderLabels->addWidget(new QLabel(QStringLiteral("High performance"), this));
    sliderLabels->addStretch(1);
    sliderLabels->addWidget(new QLabel(QStringLiteral("Low memory usage"), this));
    layout->addWidget(m_Slider);
    layout->addLayout(sliderLabels);

    m_Visible = Named(new QCheckBox(QStringLiteral("Make new themes visible."), this), IDC_ThemesVisible);
    m_Latest = Named(new QCheckBox(QStringLiteral("Load latest workspace on start-up"), this), IDC_LoadLatest);
    m_Unload = Named(new QCheckBox(QStringLiteral("Unload hidden rasters"), this), IDC_UnloadRasters);
    layout->addWidget(m_Visible);
    layout->addWidget(m_Latest);
    layout->addWidget(m_Unload);
    layout->addStretch(1);

    // Every click updates the page's values at once.
    connect(m_Order, &QButtonGroup::idClicked, this, [this](int id) { m_LoadToBottom = id; });
    connect(m_Visible, &QCheckBox::toggled, this, [this](bool on) { m_ThemesVisible = on ? 1 : 0; });
    connect(m_Latest, &QCheckBox::toggled, this, [this](bool on) { m_LoadLatestWorkspace = on ? 1 : 0; });
    connect(m_Unload, &QCheckBox::toggled, this, [this](bool on) { m_UnloadHiddenRasters = on ? 1 : 0; });

    SetMainDirectory(QCoreApplication::applicationDirPath().toStdString());
}

void COptionsPageGeneral::SetMainDirectory(const std::string& folder) {
    std::string text = folder;
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\'))
        text.pop_back();
    m_Directory->setText(Q(text));
}

void COptionsPageGeneral::Load(const CAppSettings& settings) {
    m_LoadToBottom = settings.m_LoadToBottom;
    m_Performance = settings.m_Performance;
    m_ThemesVisible = settings.m_ThemesVisible;
    m_LoadLatestWorkspace = settings.m_LoadLatestWorkspace;
    m_UnloadHiddenRasters = settings.m_UnloadHiddenRasters;
    UpdateData(false);
}

void COptionsPageGeneral::Store(CAppSettings& settings) const {
    settings.m_LoadToBottom = m_LoadToBottom;
    settings.m_Performance = m_Performance;
    settings.m_ThemesVisible = m_ThemesVisible;
    settings.m_LoadLatestWorkspace = m_LoadLatestWorkspace;
    settings.m_UnloadHiddenRasters = m_UnloadHiddenRasters;
}

bool COptionsPageGeneral::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_LoadToBottom = m_Order->checkedId() == 1 ? 1 : 0;
        m_Performance = 2 - m_Slider->value();
        m_ThemesVisible = m_Visible->isChecked() ? 1 : 0;
        m_LoadLatestWorkspace = m_Latest->isChecked() ? 1 : 0;
        m_UnloadHiddenRasters = m_Unload->isChecked() ? 1 : 0;
        return true;
    }
    // Stored values beyond the two choices read as "last", as a radio index
    // other than 0 did.
    m_Order->button(m_LoadToBottom == 0 ? 0 : 1)->setChecked(true);
    m_Slider->setValue(2 - std::clamp(m_Performance, 0, 2));
    m_Visible->setChecked(m_ThemesVisible != 0);
    m_Latest->setChecked(m_LoadLatestWorkspace != 0);
    m_Unload->setChecked(m_UnloadHiddenRasters != 0);
    return true;
}

// ---------------------------------------------------------------------------
// Colors
// ---------------------------------------------------------------------------

namespace {

class CColorPreview : public QWidget {
public:
    CColorPreview(const COptionsPageColor* page, QWidget* parent) : QWidget(parent), m_Page(page) {
        setMinimumSize(160, 90);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_Page->DrawPreview(painter, rect());
    }

private:
    const COptionsPageColor* m_Page;
};

} // namespace

COptionsPageColor::COptionsPageColor(QWidget* parent) : COptionsPage(parent) {
    setObjectName(QString::number(IDD));
    auto makePicker = [this](int id, std::uint32_t fallback) {
        auto* picker = Named(new CColourPickerXP(this), id);
        picker->SetDefaultColour(fallback);
        return picker;
    };
    m_Background = makePicker(IDC_Background, kDefaultBackground);
    m_Default = makePicker(IDC_Default, kDefaultDefault);
    m_Selection = makePicker(IDC_Selection, kDefaultSelection);
    m_Outline = makePicker(IDC_SelectionOutline, kDefaultSelectionOutline);
    m_Override = Named(new QCheckBox(QStringLiteral("Allow loader plugins to override default color."), this),
                       IDC_LoaderOverride);
    auto* reset = PageButton(QStringLiteral("Reset"), IDC_Reset, this);

    auto* grid = new QGridLayout;
    const std::pair<const char*, CColourPickerXP*> rows[] = {{"Background color:", m_Background},
                                                             {"Default color:", m_Default},
                                                             {"Selection color:", m_Selection},
                                                             {"Outline selection color:", m_Outline}};
    int row = 0;
    for (const auto& [label, picker] : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(label), this), row, 0);
        grid->addWidget(picker, row, 1);
        ++row;
    }
    grid->addWidget(reset, row, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);

    auto* frame = Named(new QGroupBox(QStringLiteral("Preview"), this), IDC_Preview);
    auto* frameLayout = new QVBoxLayout(frame);
    m_Preview = new CColorPreview(this, frame);
    frameLayout->addWidget(m_Preview);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_Override);
    layout->addWidget(frame, 1);

    connect(reset, &QPushButton::clicked, this, [this] { OnReset(); });
    connect(m_Override, &QCheckBox::toggled, this, [this](bool on) { m_LoaderOverride = on ? 1 : 0; });
}

void COptionsPageColor::Load(const CAppSettings& settings) {
    m_ColorBkgnd = settings.m_ColorBkgnd;
    m_ColorDefault = settings.m_ColorDefault;
    m_ColorSelection = settings.m_ColorSelection;
    m_ColorSelectionOutline = settings.m_ColorSelectionOutline;
    m_LoaderOverride = settings.m_LoaderOverride;
    UpdateData(false);
}

void COptionsPageColor::Store(CAppSettings& settings) const {
    settings.m_ColorBkgnd = m_ColorBkgnd;
    settings.m_ColorDefault = m_ColorDefault;
    settings.m_ColorSelection = m_ColorSelection;
    settings.m_ColorSelectionOutline = m_ColorSelectionOutline;
    settings.m_LoaderOverride = m_LoaderOverride;
}

bool COptionsPageColor::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        OnColourChanged();
        m_LoaderOverride = m_Override->isChecked() ? 1 : 0;
        return true;
    }
    m_Background->SetColour(m_ColorBkgnd);
    m_Default->SetColour(m_ColorDefault);
    m_Selection->SetColour(m_ColorSelection);
    m_Outline->SetColour(m_ColorSelectionOutline);
    m_Override->setChecked(m_LoaderOverride != 0);
    m_Preview->update();
    return true;
}

std::intptr_t COptionsPageColor::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == PCM_ColourChanged || message == PCM_ColourAccepted) {
        OnColourChanged();
        return 0;
    }
    return COptionsPage::OnMessage(message, wParam, lParam);
}

void COptionsPageColor::OnColourChanged() {
    for (CColourPickerXP* picker : {m_Background, m_Default, m_Selection, m_Outline}) {
        if (picker->GetStoredColour() == kAutomaticColour)
            picker->SetColour(picker->GetDefaultColour());
    }
    m_ColorBkgnd = m_Background->GetStoredColour();
    m_ColorDefault = m_Default->GetStoredColour();
    m_ColorSelection = m_Selection->GetStoredColour();
    m_ColorSelectionOutline = m_Outline->GetStoredColour();
    m_Preview->update();
}

void COptionsPageColor::OnReset() {
    m_ColorBkgnd = kDefaultBackground;
    m_ColorDefault = kDefaultDefault;
    m_ColorSelection = kDefaultSelection;
    m_ColorSelectionOutline = kDefaultSelectionOutline;
    m_Background->SetColour(m_ColorBkgnd);
    m_Default->SetColour(m_ColorDefault);
    m_Selection->SetColour(m_ColorSelection);
    m_Outline->SetColour(m_ColorSelectionOutline);
    m_Preview->update();
}

void COptionsPageColor::DrawPreview(QPainter& painter, const QRect& rect) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QPalette& pal = palette();

    // A window caption, as the map window would have.
    const int captionHeight = 18;
    const QRect caption(rect.left(), rect.top(), rect.width(), captionHeight);
    QLinearGradient gradient(caption.topLeft(), caption.topRight());
    gradient.setColorAt(0.0, pal.color(QPalette::Active, QPalette::Highlight));
    gradient.setColorAt(1.0, pal.color(QPalette::Active, QPalette::Highlight).lighter(160));
    painter.fillRect(caption, gradient);
    const int iconSize = captionHeight - 4;
    const QIcon icon = style()->standardIcon(QStyle::SP_TitleBarCloseButton);
    icon.paint(&painter, QRect(caption.right() - iconSize - 2, caption.top() + 2, iconSize, iconSize));

    // The map: sunken, filled with the background colour.
    const QRect map(rect.left(), caption.bottom() + 1, rect.width(), rect.bottom() - caption.bottom());
    painter.fillRect(map, ColorFromColorRef(m_ColorBkgnd));
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(map.topLeft(), map.topRight());
    painter.drawLine(map.topLeft(), map.bottomLeft());
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(map.bottomLeft(), map.bottomRight());
    painter.drawLine(map.topRight(), map.bottomRight());

    // The same three shapes twice: left plain, right selected.
    const int half = map.width() / 2;
    for (int pass = 0; pass < 2; ++pass) {
        const bool selected = pass == 1;
        const QRect cell(map.left() + pass * half + 4, map.top() + 4, half - 8, map.height() - 8);
        if (cell.width() < 12 || cell.height() < 12)
            continue;
        const QColor fill = ColorFromColorRef(selected ? m_ColorSelection : m_ColorDefault);
        const QColor line = selected ? ColorFromColorRef(m_ColorSelectionOutline) : QColor(Qt::black);
        // A point.
        painter.setPen(QPen(line, 1));
        painter.setBrush(fill);
        painter.drawEllipse(QPoint(cell.left() + 5, cell.top() + 5), 4, 4);
        // A line.
        painter.setPen(QPen(fill, 2));
        painter.setBrush(Qt::NoBrush);
        const QPoint polyline[] = {{cell.left() + 2, cell.bottom() - 2},
                                   {cell.left() + cell.width() / 4, cell.top() + cell.height() / 2},
                                   {cell.left() + cell.width() / 2, cell.bottom() - 4}};
        painter.drawPolyline(polyline, 3);
        // A filled polygon.
        painter.setPen(QPen(line, 1));
        painter.setBrush(fill);
        const QRect box(cell.left() + cell.width() / 2 + 4, cell.top() + 4, cell.width() / 2 - 6, cell.height() - 8);
        const QPoint polygon[] = {box.topLeft(), box.topRight(), box.bottomRight(),
                                  {box.left() + box.width() / 3, box.bottom()}};
        painter.drawPolygon(polygon, 4);
    }
    painter.restore();
}

// ---------------------------------------------------------------------------
// Color Themes
// ---------------------------------------------------------------------------

COptionsPageColorTheme::COptionsPageColorTheme(QWidget* parent) : COptionsPage(parent) {
    setObjectName(QString::number(IDD));
    m_Names = Named(new QListWidget(this), IDC_Names);
    m_Colors = Named(new CColorListBox(this), IDC_Colors);
    m_Colors->setSelectionMode(QAbstractItemView::NoSelection);
    m_Add = PageButton(QStringLiteral("&Add..."), IDC_Add, this);
    m_Edit = PageButton(QStringLiteral("&Edit..."), IDC_Edit, this);
    m_Delete = PageButton(QStringLiteral("&Delete"), IDC_Delete, this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_Names, 0, 0);
    layout->addWidget(m_Colors, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_Add);
    buttons->addWidget(m_Edit);
    buttons->addWidget(m_Delete);
    buttons->addStretch(1);
    layout->addLayout(buttons, 1, 0, 1, 2);

    connect(m_Names, &QListWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(m_Names, &QListWidget::itemDoubleClicked, this, [this] { OnEdit(); });
    connect(m_Add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_Edit, &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(m_Delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    OnSelectionChanged();
}

void COptionsPageColorTheme::Load(const CAppSettings& settings) {
    m_ColorThemes = settings.m_ColorThemes;
    Refill();
}

void COptionsPageColorTheme::Store(CAppSettings& settings) const { settings.m_ColorThemes = m_ColorThemes; }

void COptionsPageColorTheme::Refill(int row) {
    m_Names->clear();
    for (std::size_t i = 0; i < m_ColorThemes.size(); ++i) {
        auto* item = new QListWidgetItem(Q(m_ColorThemes[i].m_Name), m_Names);
        item->setData(Qt::UserRole, static_cast<int>(i));
    }
    if (m_Names->count() > 0)
        m_Names->setCurrentRow(std::clamp(row, 0, m_Names->count() - 1));
    OnSelectionChanged();
}

int COptionsPageColorTheme::SelectedTheme() const {
    const QList<QListWidgetItem*> selected = m_Names->selectedItems();
    if (selected.isEmpty())
        return -1;
    const int index = selected.front()->data(Qt::UserRole).toInt();
    return index >= 0 && index < static_cast<int>(m_ColorThemes.size()) ? index : -1;
}

void COptionsPageColorTheme::OnSelectionChanged() {
    const int index = SelectedTheme();
    m_Colors->clear();
    if (index >= 0) {
        for (std::uint32_t colour : m_ColorThemes[static_cast<std::size_t>(index)].m_Colors)
            m_Colors->AddColor(colour);
    }
    m_Edit->setEnabled(index >= 0);
    m_Delete->setEnabled(index >= 0);
}

void COptionsPageColorTheme::OnAdd() {
    CColorThemeEditDialog dialog(this);
    dialog.m_Caption = "Add Color Theme";
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_ColorThemes.push_back(dialog.m_Theme);
    Refill(static_cast<int>(m_ColorThemes.size()) - 1);
}

void COptionsPageColorTheme::OnEdit() {
    const int index = SelectedTheme();
    if (index < 0)
        return;
    CColorThemeEditDialog dialog(this);
    dialog.m_Caption = "Edit Color Theme";
    dialog.m_Theme = m_ColorThemes[static_cast<std::size_t>(index)];
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_ColorThemes[static_cast<std::size_t>(index)] = dialog.m_Theme;
    Refill(index);
}

void COptionsPageColorTheme::OnDelete() {
    const int index = SelectedTheme();
    if (index < 0)
        return;
    m_ColorThemes.erase(m_ColorThemes.begin() + index);
    Refill(index);
}

// ---------------------------------------------------------------------------
// Data
// ---------------------------------------------------------------------------

COptionsPageData::COptionsPageData(QWidget* parent) : COptionsPage(parent) {
    setObjectName(QString::number(IDD));
    m_Precision = Named(new QLineEdit(this), IDC_Precision);
    m_Template = Named(new QLineEdit(this), IDC_Template);
    auto* x = PageButton(QStringLiteral("X"), IDC_InsertX, this);
    auto* y = PageButton(QStringLiteral("Y"), IDC_InsertY, this);
    auto* tab = PageButton(QStringLiteral("Tab"), IDC_InsertTab, this);
    m_Locate = Named(new QCheckBox(QStringLiteral("Automatically locate data selection.\nThis option only affects "
                                                  "single selection of point shapes and coordinates in the data "
                                                  "views which are not already visible in the map."),
                                   this),
                     IDC_AutoLocate);

    m_Precision->setMaximumWidth(60);
    for (QPushButton* button : {x, y, tab})
        button->setMaximumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Tab")) + 24);

    auto* layout = new QVBoxLayout(this);
    auto* precisionRow = new QHBoxLayout;
    precisionRow->addWidget(new QLabel(QStringLiteral("Coordiante View Precision:"), this));
    precisionRow->addWidget(m_Precision);
    precisionRow->addStretch(1);
    layout->addLayout(precisionRow);
    layout->addWidget(new QLabel(QStringLiteral("Copy Coordinate template:"), this));
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(m_Template, 1);
    templateRow->addWidget(x);
    templateRow->addWidget(y);
    templateRow->addWidget(tab);
    layout->addLayout(templateRow);
    layout->addWidget(WithWrappedText(m_Locate, this));
    layout->addStretch(1);

    connect(x, &QPushButton::clicked, this, [this] { InsertTag("<X>"); });
    connect(y, &QPushButton::clicked, this, [this] { InsertTag("<Y>"); });
    connect(tab, &QPushButton::clicked, this, [this] { InsertTag("<TAB>"); });
    connect(m_Locate, &QCheckBox::toggled, this, [this](bool on) { m_AutoLocate = on ? 1 : 0; });
    connect(m_Template, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_CCTemplate = text.toStdString(); });
}

void COptionsPageData::InsertTag(const char* tag) {
    // QLineEdit::insert replaces the selection and goes on the undo stack.
    m_Template->insert(QString::fromLatin1(tag));
    m_Template->setFocus();
    m_CCTemplate = m_Template->text().toStdString();
}

void COptionsPageData::Load(const CAppSettings& settings) {
    m_DataViewPrecision = settings.m_DataViewPrecision;
    m_CCTemplate = settings.m_CCTemplate;
    m_AutoLocate = settings.m_AutoLocate;
    UpdateData(false);
}

void COptionsPageData::Store(CAppSettings& settings) const {
    settings.m_DataViewPrecision = m_DataViewPrecision;
    settings.m_CCTemplate = m_CCTemplate;
    settings.m_AutoLocate = m_AutoLocate;
}

bool COptionsPageData::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        if (!ReadIntegerField(m_Precision, m_DataViewPrecision, kMinPrecision, kMaxPrecision))
            return false;
        m_CCTemplate = m_Template->text().toStdString();
        m_AutoLocate = m_Locate->isChecked() ? 1 : 0;
        return true;
    }
    m_Precision->setText(QString::number(m_DataViewPrecision));
    const std::string text = m_CCTemplate;
    m_Template->setText(Q(text));
    m_Locate->setChecked(m_AutoLocate != 0);
    return true;
}

// ---------------------------------------------------------------------------
// Console
// ---------------------------------------------------------------------------

COptionsPageConsole::COptionsPageConsole(QWidget* parent) : COptionsPage(parent) {
    setObjectName(QString::number(IDD));
    m_Scheme = new QButtonGroup(this);
    auto* blackOnWhite = Named(new QRadioButton(QStringLiteral("Black on White"), this), IDC_BlackOnWhite);
    auto* whiteOnBlack = Named(new QRadioButton(QStringLiteral("White on Black"), this), IDC_WhiteOnBlack);
    m_Scheme->addButton(blackOnWhite, 0);
    m_Scheme->addButton(whiteOnBlack, 1);
    m_AutoRun = Named(new QLineEdit(this), IDC_AutoRun);
    m_Browse = PageButton(QStringLiteral("..."), IDC_Browse, this);
    m_Edit = PageButton(QStringLiteral("Edit..."), IDC_EditAutoRun, this);
    m_CallDepth = Named(new QLineEdit(this), IDC_MaxCallDepth);
    m_BufferSize = Named(new QLineEdit(this), IDC_BufferSize);

    auto* layout = new QGridLayout(this);
    auto* colours = new QGroupBox(QStringLiteral("Colors"), this);
    auto* coloursLayout = new QVBoxLayout(colours);
    coloursLayout->addWidget(blackOnWhite);
    coloursLayout->addWidget(whiteOnBlack);
    layout->addWidget(colours, 0, 0, 1, 4);
    m_Browse->setMaximumWidth(m_Browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);
    m_CallDepth->setMaximumWidth(60);
    m_BufferSize->setMaximumWidth(60);
    layout->addWidget(new QLabel(QStringLiteral("AutoRun file:"), this), 1, 0, 1, 4);
    auto* autoRunRow = new QHBoxLayout;
    autoRunRow->addWidget(m_AutoRun, 1);
    autoRunRow->addWidget(m_Browse);
    autoRunRow->addWidget(m_Edit);
    layout->addLayout(autoRunRow, 2, 0, 1, 4);
    layout->addWidget(new QLabel(QStringLiteral("Maximum Call Depth:"), this), 3, 0);
    layout->addWidget(m_CallDepth, 3, 1);
    layout->addWidget(new QLabel(QStringLiteral("Buffer size (kB):"), this), 4, 0);
    layout->addWidget(m_BufferSize, 4, 1);
    layout->addWidget(new QLabel(QStringLiteral("(Affects only new workspaces)"), this), 5, 1, 1, 3);
    layout->setColumnStretch(3, 1);
    layout->setRowStretch(6, 1);

    connect(m_Scheme, &QButtonGroup::idClicked, this, [this](int id) { m_ConsoleColorScheme = id; });
    connect(m_AutoRun, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_ConsoleAutoRun = text.toStdString();
        UpdateEditButton();
    });
    connect(m_Browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(m_Edit, &QPushButton::clicked, this, [this] { OnEditAutoRun(); });
    UpdateEditButton();
}

void COptionsPageConsole::UpdateEditButton() { m_Edit->setEnabled(!m_AutoRun->text().isEmpty()); }

void COptionsPageConsole::Load(const CAppSettings& settings) {
    m_ConsoleColorScheme = settings.m_ConsoleColorScheme;
    m_ConsoleAutoRun = settings.m_ConsoleAutoRun;
    m_ConsoleMaxCallDepth = settings.m_ConsoleMaxCallDepth;
    m_ConsoleBufferSize_kB = settings.m_ConsoleBufferSize_kB;
    UpdateData(false);
}

void COptionsPageConsole::Store(CAppSettings& settings) const {
    settings.m_ConsoleColorScheme = m_ConsoleColorScheme;
    settings.m_ConsoleAutoRun = m_ConsoleAutoRun;
    settings.m_ConsoleMaxCallDepth = m_ConsoleMaxCallDepth;
    settings.m_ConsoleBufferSize_kB = m_ConsoleBufferSize_kB;
}

bool COptionsPageConsole::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        if (!ReadIntegerField(m_CallDepth, m_ConsoleMaxCallDepth, kMinCallDepth, kMaxCallDepth))
            return false;
        if (!ReadIntegerField(m_BufferSize, m_ConsoleBufferSize_kB, kMinBufferSize, kMaxBufferSize))
            return false;
        m_ConsoleColorScheme = m_Scheme->checkedId() == 1 ? 1 : 0;
        m_ConsoleAutoRun = m_AutoRun->text().toStdString();
        return true;
    }
    m_Scheme->button(m_ConsoleColorScheme == 0 ? 0 : 1)->setChecked(true);
    const std::string autoRun = m_ConsoleAutoRun;
    m_AutoRun->setText(Q(autoRun));
    m_CallDepth->setText(QString::number(m_ConsoleMaxCallDepth));
    m_BufferSize->setText(QString::number(m_ConsoleBufferSize_kB));
    UpdateEditButton();
    return true;
}

void COptionsPageConsole::OnBrowse() {
    corvale::FileDialogRequest request;
    request.title = "Select Script File";
    request.filter = "Script Files (*.scr;*.txt)|*.scr;*.txt|All Files (*.*)|*.*||";
    std::vector<std::string> paths;
    if (!corvale::UI().ChooseOpenFiles(request, paths) || paths.empty())
        return;
    m_AutoRun->setText(Q(paths.front()));
}

void COptionsPageConsole::OnEditAutoRun() {
    const std::string path = m_AutoRun->text().toStdString();
    if (path.empty())
        return;
    if (!std::ifstream(path).is_open()) {
        if (corvale::UI().ShowMessage("The file does not exist.\n\nDo you want to create the file?",
                                      corvale::MessageIcon::Question,
                                      corvale::MessageButtons::YesNo) != corvale::IDYES)
            return;
        // Appending never empties a file that appeared meanwhile.
        if (!std::ofstream(path, std::ios::app).is_open()) {
            corvale::UI().ShowMessage("The file could not be created!", corvale::MessageIcon::Error,
                                      corvale::MessageButtons::Ok);
            return;
        }
    }
    Editor()(path);
}

// ---------------------------------------------------------------------------
// Plugins
// ---------------------------------------------------------------------------

COptionsPagePlugins::COptionsPagePlugins(QWidget* parent) : COptionsPage(parent) {
    setObjectName(QString::number(IDD));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Plugin directory:"), this));
    layout->addWidget(MakeFolderRow(m_Folder, IDC_Folder, m_Explore));
    m_Lock = Named(new QCheckBox(QStringLiteral("Lock all plugins."), this), IDC_LockPlugins);
    layout->addWidget(m_Lock);
    layout->addWidget(new QLabel(QStringLiteral("This requires restart, and will only affect\nplugins present in "
                                                "the plugin directory\non start-up.\nGPI plugins are not affected "
                                                "since they\nare always loaded."),
                                 this));
    layout->addStretch(1);
    connect(m_Lock, &QCheckBox::toggled, this, [this](bool on) { m_LockPlugins = on ? 1 : 0; });
}

void COptionsPagePlugins::SetPluginFolder(const std::string& folder) { m_Folder->setText(Q(folder)); }

void COptionsPagePlugins::Load(const CAppSettings& settings) {
    m_LockPlugins = settings.m_LockPlugins;
    UpdateData(false);
}

void COptionsPagePlugins::Store(CAppSettings& settings) const { settings.m_LockPlugins = m_LockPlugins; }

bool COptionsPagePlugins::UpdateData(bool saveAndValidate) {
    if (saveAndValidate)
        m_LockPlugins = m_Lock->isChecked() ? 1 : 0;
    else
        m_Lock->setChecked(m_LockPlugins != 0);
    return true;
}
