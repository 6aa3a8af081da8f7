#include "ui/MapImageDialogs.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "settings/AppSettings.h"
#include "shapes/FileWriter.h"
#include "ui/LegendListCtrl.h"
#include "view/GeoView.h"
#include "workspace/CorvaleDoc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryFile>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>

using corvale::MessageButtons;
using corvale::MessageIcon;
using corvale::UI;

namespace {

int ParseInt(const QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

void SetInt(QLineEdit* edit, int value) { edit->setText(QString::number(value)); }

// The result box shows lines; the map text has CR LF line ends.
std::string ResultText(const QPlainTextEdit& result) {
    QString text = result.toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toStdString();
}

} // namespace

// ---------------------------------------------------------------------------

CSaveMapImageSelectionDialog::CSaveMapImageSelectionDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Save Map As Image(s)"));
    auto* layout = new QVBoxLayout(this);
    m_Single = new QRadioButton(QStringLiteral("Single map sheet (one file)"), this);
    m_Multiple = new QRadioButton(QStringLiteral("Multiple map sheets (more than one file)"), this);
    m_Single->setObjectName(QStringLiteral("single"));
    m_Multiple->setObjectName(QStringLiteral("multiple"));
    layout->addWidget(m_Single);
    layout->addWidget(m_Multiple);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CSaveMapImageSelectionDialog::showEvent(QShowEvent* event) {
    (m_Choice == 1 ? m_Multiple : m_Single)->setChecked(true);
    QDialog::showEvent(event);
}

void CSaveMapImageSelectionDialog::accept() {
    m_Choice = m_Multiple->isChecked() ? 1 : 0;
    QDialog::accept();
}

// ---------------------------------------------------------------------------

CSaveMultipleSheetsDialog::CSaveMultipleSheetsDialog(const CMapSheetSettings& settings,
                                                     QWidget* parent)
    : QDialog(parent), m_Settings(settings) {
    setWindowTitle(QStringLiteral("Save Multiple Map Sheets"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const auto makeEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    m_ColumnsEdit = makeEdit("columns");
    m_RowsEdit = makeEdit("rows");
    m_WidthEdit = makeEdit("width");
    m_HeightEdit = makeEdit("height");
    m_RowsAutomatic = new QCheckBox(QStringLiteral("Automatic"), this);
    m_RowsAutomatic->setObjectName(QStringLiteral("rowsAutomatic"));
    m_HeightAutomatic = new QCheckBox(QStringLiteral("Automatic"), this);
    m_HeightAutomatic->setObjectName(QStringLiteral("heightAutomatic"));
    grid->addWidget(new QLabel(QStringLiteral("Horizontally:"), this), 0, 0);
    grid->addWidget(m_ColumnsEdit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Vertically:"), this), 1, 0);
    grid->addWidget(m_RowsEdit, 1, 1);
    grid->addWidget(m_RowsAutomatic, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Image width:"), this), 2, 0);
    grid->addWidget(m_WidthEdit, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Image height:"), this), 3, 0);
    grid->addWidget(m_HeightEdit, 3, 1);
    grid->addWidget(m_HeightAutomatic, 3, 2);
    layout->addLayout(grid);

    auto* names = new QFormLayout;
    m_TemplateEdit = makeEdit("template");
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(m_TemplateEdit, 1);
    auto* sheetX = new QPushButton(QStringLiteral("<SheetX>"), this);
    auto* sheetY = new QPushButton(QStringLiteral("<SheetY>"), this);
    sheetX->setObjectName(QStringLiteral("sheetX"));
    sheetY->setObjectName(QStringLiteral("sheetY"));
    templateRow->addWidget(sheetX);
    templateRow->addWidget(sheetY);
    names->addRow(QStringLiteral("File name template:"), templateRow);
    m_DirectoryEdit = makeEdit("directory");
    auto* directoryRow = new QHBoxLayout;
    directoryRow->addWidget(m_DirectoryEdit, 1);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("browse"));
    directoryRow->addWidget(browse);
    names->addRow(QStringLiteral("Output directory:"), directoryRow);
    m_EncodingCombo = new QComboBox(this);
    m_EncodingCombo->setObjectName(QStringLiteral("encoding"));
    for (const CSheetImageFormat& format : kSheetImageFormats)
        m_EncodingCombo->addItem(QString::fromLatin1(format.name));
    names->addRow(QStringLiteral("Encoding:"), m_EncodingCombo);
    m_TransformCombo = new QComboBox(this);
    m_TransformCombo->setObjectName(QStringLiteral("transform"));
    m_TransformCombo->addItems({QStringLiteral("Skip"), QStringLiteral("World File (.tfw)"),
                                QStringLiteral("Corvale native (.txt)")});
    names->addRow(QStringLiteral("Transformation file:"), m_TransformCombo);
    layout->addLayout(names);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // Opening: the remembered values.
    SetInt(m_ColumnsEdit, m_Settings.columns);
    SetInt(m_RowsEdit, m_Settings.rows);
    SetInt(m_WidthEdit, m_Settings.width);
    SetInt(m_HeightEdit, m_Settings.height);
    m_TemplateEdit->setText(QString::fromStdString(m_Settings.fileTemplate));
    m_DirectoryEdit->setText(QString::fromStdString(m_Settings.directory));
    m_EncodingCombo->setCurrentIndex(m_Settings.encodingIndex);
    m_TransformCombo->setCurrentIndex(m_Settings.transformKind);
    SetHeightAutomatic(m_Settings.heightAutomatic);

    for (QLineEdit* edit : {m_ColumnsEdit, m_RowsEdit, m_WidthEdit, m_HeightEdit})
        connect(edit, &QLineEdit::textEdited, this, [this] { OnNumberEdited(); });
    connect(m_RowsAutomatic, &QCheckBox::clicked, this, [this] { SetHeightAutomatic(false); });
    connect(m_HeightAutomatic, &QCheckBox::clicked, this, [this] { SetHeightAutomatic(true); });
    connect(sheetX, &QPushButton::clicked, this, [this] { InsertVariable("<SHEETX>"); });
    connect(sheetY, &QPushButton::clicked, this, [this] { InsertVariable("<SHEETY>"); });
    connect(browse, &QPushButton::clicked, this, [this] { BrowseDirectory(); });
}

void CSaveMultipleSheetsDialog::SetHeightAutomatic(bool heightAutomatic) {
    m_Settings.heightAutomatic = heightAutomatic;
    m_HeightAutomatic->setChecked(heightAutomatic);
    m_RowsAutomatic->setChecked(!heightAutomatic);
    m_HeightEdit->setEnabled(!heightAutomatic);
    m_RowsEdit->setEnabled(heightAutomatic);
    Recompute();
}

void CSaveMultipleSheetsDialog::OnNumberEdited() {
    if (m_Recomputing)
        return;
    m_Settings.columns = ParseInt(m_ColumnsEdit);
    m_Settings.rows = ParseInt(m_RowsEdit);
    m_Settings.width = ParseInt(m_WidthEdit);
    m_Settings.height = ParseInt(m_HeightEdit);
    Recompute();
}

void CSaveMultipleSheetsDialog::Recompute() {
    if (!ComputeAutomaticSheetValue(m_Settings))
        return;
    // Writing the computed value must not start another computation.
    m_Recomputing = true;
    if (m_Settings.heightAutomatic)
        SetInt(m_HeightEdit, m_Settings.height);
    else
        SetInt(m_RowsEdit, m_Settings.rows);
    m_Recomputing = false;
}

void CSaveMultipleSheetsDialog::InsertVariable(const char* variable) {
    // insert() goes through the edit's undo stack.
    m_TemplateEdit->insert(QString::fromLatin1(variable));
}

void CSaveMultipleSheetsDialog::BrowseDirectory() {
    std::string path = m_DirectoryEdit->text().toStdString();
    if (UI().ChooseFolder("Please select an output directory", path))
        m_DirectoryEdit->setText(QString::fromStdString(path));
}

void CSaveMultipleSheetsDialog::accept() {
    const int columns = ParseInt(m_ColumnsEdit);
    const int rows = ParseInt(m_RowsEdit);
    const int width = ParseInt(m_WidthEdit);
    const int height = ParseInt(m_HeightEdit);
    if (columns < 1 || rows < 1 || width < 1 || height < 1) {
        UI().ShowMessage("All values needs to be positive integers.", MessageIcon::Error,
                         MessageButtons::Ok);
        return;
    }
    m_Settings.columns = columns;
    m_Settings.rows = rows;
    m_Settings.width = width;
    m_Settings.height = height;
    m_Settings.heightAutomatic = m_HeightAutomatic->isChecked();
    const std::string fileTemplate = m_TemplateEdit->text().toStdString();
    m_Settings.fileTemplate = fileTemplate;
    const std::string directory = m_DirectoryEdit->text().toStdString();
    if (directory.empty()) {
        UI().ShowMessage("Missing output directory.", MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    m_Settings.directory = directory;
    if (fileTemplate.empty()) {
        UI().ShowMessage("Missing file name template.", MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    if (columns > 1 && fileTemplate.find("<SHEETX>") == std::string::npos &&
        UI().ShowMessage("File name template does not contain variable for horizontal image "
                         "index, <SHEETX>.\nGenerated images will overwrite eachother.",
                         MessageIcon::Warning, MessageButtons::OkCancel) != corvale::IDOK)
        return;
    if (rows > 1 && fileTemplate.find("<SHEETY>") == std::string::npos &&
        UI().ShowMessage("File name template does not contain variable for vertical image "
                         "index, <SHEETY>.\nGenerated images will overwrite eachother.",
                         MessageIcon::Warning, MessageButtons::OkCancel) != corvale::IDOK)
        return;
    const int encoding = m_EncodingCombo->currentIndex();
    if (encoding >= 0 && encoding < kSheetImageFormatCount) {
        m_Settings.extension = kSheetImageFormats[encoding].extension;
        m_Settings.bits = kSheetImageFormats[encoding].bits;
        m_Settings.encodingIndex = encoding;
    }
    m_Settings.transformKind = m_TransformCombo->currentIndex();
    QDialog::accept();
}

// ---------------------------------------------------------------------------

CSelectLayerDialog::CSelectLayerDialog(CCorvaleDoc* document, unsigned kindMask,
                                       const std::string& caption, QWidget* parent)
    : QDialog(parent), m_Document(document) {
    setWindowTitle(caption.empty() ? QStringLiteral("Select Theme")
                                   : QString::fromStdString(caption));
    auto* layout = new QVBoxLayout(this);
    m_List = new CLegendListCtrl(this);
    m_List->m_DragEnabled = false;
    m_List->m_CheckBoxClicksEnabled = false;
    m_List->m_SelectionColor = 0x000080FF;
    m_List->m_MapBackgroundColor = CAppSettings::GetInstance()->m_ColorBkgnd;
    layout->addWidget(m_List, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_Ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (document != nullptr) {
        for (CTheme* theme : document->m_themes) {
            const std::uint32_t type = theme->m_ShapeType;
            const bool allowed = ((kindMask & 1u) != 0 && CShapeRecord::IsPointType(type)) ||
                                 ((kindMask & 2u) != 0 && CShapeRecord::IsPolylineType(type)) ||
                                 ((kindMask & 4u) != 0 && CShapeRecord::IsPolygonType(type)) ||
                                 ((kindMask & 8u) != 0 && type == SHT_Image);
            if (allowed)
                m_List->InsertItem(m_List->GetItemCount(), theme->m_Name, theme->m_Visible ? 1 : 0,
                                   theme);
        }
    }
    m_List->m_Notify = [this](int code, int) {
        if (code == LLN_SelectionChanged)
            UpdateOk();
    };
    m_List->m_ItemDoubleClicked = [this](int) {
        if (m_List->GetSelectedCount() == 1)
            accept();
    };
    resize(320, 360);
    UpdateOk();
}

void CSelectLayerDialog::UpdateOk() { m_Ok->setEnabled(m_List->GetSelectedCount() == 1); }

void CSelectLayerDialog::accept() {
    const std::vector<int> selected = m_List->GetSelectedItems();
    if (selected.size() != 1)
        return;
    m_Theme = m_List->GetItemData(selected.front());
    m_ThemeIndex = -1;
    if (m_Document != nullptr)
        for (std::size_t i = 0; i < m_Document->m_themes.size(); ++i)
            if (m_Document->m_themes[i] == m_Theme)
                m_ThemeIndex = static_cast<int>(i);
    QDialog::accept();
}

// ---------------------------------------------------------------------------

CHTMLAreaMapCreatorDialog::CHTMLAreaMapCreatorDialog(CTheme* theme, const CMapViewport& viewport,
                                                     const std::string& imagePath,
                                                     QWidget* parent)
    : QDialog(parent), m_Theme(theme), m_Viewport(viewport), m_ImagePath(imagePath) {
    setWindowTitle(QStringLiteral("HTML Image Map Creator"));
    auto* layout = new QGridLayout(this);
    const auto makeEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->installEventFilter(this);
        return edit;
    };
    m_HrefEdit = makeEdit("href");
    m_AltEdit = makeEdit("alt");
    m_CustomEdit = makeEdit("custom");
    // The connector to "Add" runs through the margin left of the edits.
    layout->setColumnMinimumWidth(0, 70);
    layout->addWidget(new QLabel(QStringLiteral("HREF="), this), 0, 1);
    layout->addWidget(m_HrefEdit, 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("Alt="), this), 1, 1);
    layout->addWidget(m_AltEdit, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Custom:"), this), 2, 1);
    layout->addWidget(m_CustomEdit, 2, 2);
    m_SelectionOnly = new QCheckBox(QStringLiteral("Generate for selection only"), this);
    m_SelectionOnly->setObjectName(QStringLiteral("selectionOnly"));
    layout->addWidget(m_SelectionOnly, 3, 1, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Attributes:"), this), 4, 1);
    m_Attributes = new QListWidget(this);
    m_Attributes->setObjectName(QStringLiteral("attributes"));
    layout->addWidget(m_Attributes, 5, 1, 1, 2);
    m_AddButton = new QPushButton(QStringLiteral("Add"), this);
    m_AddButton->setObjectName(QStringLiteral("add"));
    layout->addWidget(m_AddButton, 5, 0, Qt::AlignTop);
    layout->addWidget(new QLabel(QStringLiteral("Result:"), this), 6, 1);
    m_Result = new QPlainTextEdit(this);
    m_Result->setObjectName(QStringLiteral("result"));
    layout->addWidget(m_Result, 7, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    auto* generate = new QPushButton(QStringLiteral("Generate"), this);
    auto* test = new QPushButton(QStringLiteral("Test..."), this);
    auto* save = new QPushButton(QStringLiteral("Save..."), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    generate->setObjectName(QStringLiteral("generate"));
    test->setObjectName(QStringLiteral("test"));
    save->setObjectName(QStringLiteral("save"));
    for (QPushButton* b : {generate, test, save, close})
        buttons->addWidget(b);
    layout->addLayout(buttons, 8, 0, 1, 3);
    connect(generate, &QPushButton::clicked, this, [this] { Generate(); });
    connect(test, &QPushButton::clicked, this, [this] { Test(); });
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_AddButton, &QPushButton::clicked, this, [this] { AddPlaceholder(); });
    connect(m_Attributes, &QListWidget::itemDoubleClicked, this, [this] { AddPlaceholder(); });
    connect(m_Attributes, &QListWidget::currentRowChanged, this,
            [this](int row) { m_AddButton->setEnabled(row >= 0); });

    if (m_Theme != nullptr) {
        QStringList names;
        if (m_Theme->IsPointTheme())
            names << QStringLiteral("$LONGITUDE") << QStringLiteral("$LATITUDE")
                  << QStringLiteral("$PIXEL_X") << QStringLiteral("$PIXEL_Y");
        names << QStringLiteral("$INDEX");
        const int count = static_cast<int>(m_Theme->GetAttributeCount());
        for (int field = 0; field < count; ++field)
            names << QString::fromStdString(m_Theme->GetAttributeName(field));
        m_Attributes->addItems(names);
    }
    const bool hasSelection = m_Theme != nullptr && !m_Theme->m_Selection.empty();
    m_SelectionOnly->setEnabled(hasSelection);
    if (!hasSelection)
        m_SelectionOnly->setChecked(false);
    m_AddButton->setEnabled(false);
    m_Target = m_HrefEdit;
    resize(520, 560);
}

CHTMLAreaMapCreatorDialog::~CHTMLAreaMapCreatorDialog() {
    for (const std::string& page : m_TestPages)
        std::remove(page.c_str());
}

bool CHTMLAreaMapCreatorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn &&
        (watched == m_HrefEdit || watched == m_AltEdit || watched == m_CustomEdit)) {
        m_Target = static_cast<QLineEdit*>(watched);
        update();
    }
    return QDialog::eventFilter(watched, event);
}

void CHTMLAreaMapCreatorDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (m_Target == nullptr)
        return;
    QPainter painter(this);
    const QRect target = m_Target->geometry().adjusted(-3, -3, 3, 3);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(target.adjusted(0, 0, -1, -1));
    // A dotted connector from the target's left edge out and across to
    // the middle of "Add".
    const QPoint start(m_Target->geometry().left(), m_Target->geometry().center().y());
    const QRect add = m_AddButton->geometry();
    const int outX = std::min(start.x() - 10, add.center().x());
    painter.drawLine(start, QPoint(outX, start.y()));
    painter.drawLine(QPoint(outX, start.y()), QPoint(outX, add.top()));
}

void CHTMLAreaMapCreatorDialog::AddPlaceholder() {
    QListWidgetItem* item = m_Attributes->currentItem();
    if (item == nullptr || m_Attributes->currentRow() < 0) {
        m_AddButton->setEnabled(false);
        return;
    }
    m_Target->insert(QStringLiteral("<") + item->text() + QStringLiteral(">"));
}

bool CHTMLAreaMapCreatorDialog::Generate() {
    if (m_Theme == nullptr)
        return false;
    CImageMapTexts texts;
    texts.href = m_HrefEdit->text().toStdString();
    texts.alt = m_AltEdit->text().toStdString();
    texts.custom = m_CustomEdit->text().toStdString();
    const bool selectedOnly = m_SelectionOnly->isChecked();
    if (selectedOnly && m_Theme->m_Selection.empty()) {
        UI().ShowMessage("No shapes are selected in current layer.", MessageIcon::Error,
                         MessageButtons::Ok);
        return false;
    }
    const int count = CountImageMapShapes(*m_Theme, m_Viewport, selectedOnly);
    const std::int64_t kb = EstimateImageMapSize(texts, count) / 1024 + 1;
    char question[96];
    std::snprintf(question, sizeof question,
                  "This will generate a map of roughly %lld kb.\n\nContinue?",
                  static_cast<long long>(kb));
    if (UI().ShowMessage(question, MessageIcon::Question, MessageButtons::YesNo) != corvale::IDYES)
        return false;
    corvale::CWaitCursor wait;
    m_Result->setPlainText(
        QString::fromStdString(GenerateImageMap(*m_Theme, m_Viewport, selectedOnly, texts)));
    return true;
}

void CHTMLAreaMapCreatorDialog::Test() {
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/CVXXXXXX.htm"));
    file.setAutoRemove(false);
    if (!file.open()) {
        UI().ShowMessage("The test page could not be written.", MessageIcon::Error,
                         MessageButtons::Ok);
        return;
    }
    const std::string page = ImageMapTestPage(ResultText(*m_Result), m_ImagePath);
    file.write(page.data(), static_cast<qint64>(page.size()));
    file.close();
    m_TestPages.push_back(file.fileName().toStdString());
    if (m_OpenPage)
        m_OpenPage(m_TestPages.back());
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(file.fileName()));
}

void CHTMLAreaMapCreatorDialog::Save() {
    corvale::FileDialogRequest request;
    request.title = "Save As";
    request.filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.defaultExtension = "txt";
    std::string path;
    if (!UI().ChooseSaveFile(request, path))
        return;
    CFileWriter::OpenError error = CFileWriter::FOE_None;
    if (!WriteWholeFile(path, ResultText(*m_Result), &error))
        UI().ShowMessage(OpenFailureMessage(error, path, "The image map could not be saved to\n" + path),
                         MessageIcon::Error, MessageButtons::Ok);
}

// ---------------------------------------------------------------------------

bool RunSaveMapImageSelection(QWidget* parent, int& choice) {
    CSaveMapImageSelectionDialog dialog(parent);
    dialog.m_Choice = choice;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.m_Choice;
    return true;
}

bool RunMultipleSheetsDialog(QWidget* parent, CMapSheetSettings& settings) {
    CSaveMultipleSheetsDialog dialog(settings, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = dialog.m_Settings;
    return true;
}

bool RunImageMapCreator(CGeoView& view, const std::string& imagePath) {
    CSelectLayerDialog chooser(view.GetDocument(), 1u | 4u, "Select Theme for image map", &view);
    if (chooser.exec() != QDialog::Accepted || chooser.m_Theme == nullptr)
        return false;
    CHTMLAreaMapCreatorDialog creator(chooser.m_Theme, view.m_viewport, imagePath, &view);
    creator.exec();
    return true;
}
