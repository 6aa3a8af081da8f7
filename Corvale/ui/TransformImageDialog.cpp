#include "ui/TransformImageDialog.h"

#include "ui/NumberField.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "platform/NumberText.h"
#include "raster/RasterImageData.h"
#include "ui/controls/ColumnExEditListCtrl.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

constexpr double kPi = 3.14159265358979323846;

void ShowError(const char* text) {
    corvale::UI().ShowMessage(text, corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
}

QLineEdit* NamedEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QPushButton* NamedButton(QWidget* parent, const QString& text, const char* name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// A whole number and nothing else ("12abc" and "" are not): a pixel cell
// that does not hold one is refused rather than read as 0.
bool ParseWholeNumber(const std::string& text, long long& value) {
    const QString trimmed = QString::fromStdString(text).trimmed();
    bool ok = false;
    value = trimmed.toLongLong(&ok);
    return ok;
}

bool ParseCellNumber(const std::string& text, double& value) {
    return corvale::ParseDouble(QString::fromStdString(text).trimmed().toStdString(), value) && std::isfinite(value);
}

enum ControlPointColumn { kPixelX = 0, kPixelY = 1, kLongitude = 2, kLatitude = 3 };

} // namespace

// ---- Calibrate ----

CTransformRasterCalibrationDlg::CTransformRasterCalibrationDlg(QWidget* parent)
    : CPropertiesBaseDialog(parent), m_WidthEdit(NamedEdit(this, "widthFactor")),
      m_HeightEdit(NamedEdit(this, "heightFactor")), m_DistanceEdit(NamedEdit(this, "distance")),
      m_AngleEdit(NamedEdit(this, "angle")), m_UndoButton(NamedButton(this, QStringLiteral("Undo"), "undo")) {
    auto* scaling = new QGroupBox(QStringLiteral("Scaling"), this);
    auto* scalingLayout = new QGridLayout(scaling);
    auto* resizeWidth = NamedButton(scaling, QStringLiteral("Resize Width"), "resizeWidth");
    auto* resizeHeight = NamedButton(scaling, QStringLiteral("Resize Height"), "resizeHeight");
    scalingLayout->addWidget(new QLabel(QStringLiteral("Factor:"), scaling), 0, 0);
    scalingLayout->addWidget(m_WidthEdit, 0, 1);
    scalingLayout->addWidget(resizeWidth, 0, 2);
    scalingLayout->addWidget(m_HeightEdit, 1, 1);
    scalingLayout->addWidget(resizeHeight, 1, 2);

    auto* translation = new QGroupBox(QStringLiteral("Translation"), this);
    auto* translationLayout = new QGridLayout(translation);
    auto* up = NamedButton(translation, QStringLiteral("Up"), "up");
    auto* down = NamedButton(translation, QStringLiteral("Down"), "down");
    auto* left = NamedButton(translation, QStringLiteral("Left"), "left");
    auto* right = NamedButton(translation, QStringLiteral("Right"), "right");
    translationLayout->addWidget(new QLabel(QStringLiteral("Map units:"), translation), 0, 0);
    translationLayout->addWidget(m_DistanceEdit, 0, 1);
    translationLayout->addWidget(up, 1, 1);
    translationLayout->addWidget(left, 2, 0);
    translationLayout->addWidget(right, 2, 2);
    translationLayout->addWidget(down, 3, 1);

    auto* rotation = new QGroupBox(QStringLiteral("Rotation"), this);
    auto* rotationLayout = new QHBoxLayout(rotation);
    auto* rotate = NamedButton(rotation, QStringLiteral("Rotate"), "rotate");
    rotationLayout->addWidget(new QLabel(QStringLiteral("Degrees:"), rotation));
    rotationLayout->addWidget(m_AngleEdit);
    rotationLayout->addWidget(rotate);

    auto* undo = new QGroupBox(QStringLiteral("Undo"), this);
    (new QHBoxLayout(undo))->addWidget(m_UndoButton);
    m_UndoButton->setParent(undo);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scaling);
    layout->addWidget(translation);
    layout->addWidget(rotation);
    layout->addWidget(undo);

    connect(resizeWidth, &QPushButton::clicked, this, [this] { OnResizeWidth(); });
    connect(resizeHeight, &QPushButton::clicked, this, [this] { OnResizeHeight(); });
    connect(up, &QPushButton::clicked, this, [this] { OnMoveUp(); });
    connect(down, &QPushButton::clicked, this, [this] { OnMoveDown(); });
    connect(left, &QPushButton::clicked, this, [this] { OnMoveLeft(); });
    connect(right, &QPushButton::clicked, this, [this] { OnMoveRight(); });
    connect(rotate, &QPushButton::clicked, this, [this] { OnRotate(); });
    connect(m_UndoButton, &QPushButton::clicked, this, [this] { OnUndo(); });
    UpdateData(false);
    UpdateUndoButton();
}

void CTransformRasterCalibrationDlg::SetTheme(CTheme* theme, CCorvaleDoc* document) {
    m_Theme = theme;
    m_Document = document;
}

bool CTransformRasterCalibrationDlg::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        m_WidthEdit->setText(QString::fromStdString(corvale::FormatDouble(m_WidthFactor)));
        m_HeightEdit->setText(QString::fromStdString(corvale::FormatDouble(m_HeightFactor)));
        m_DistanceEdit->setText(QString::fromStdString(corvale::FormatDouble(m_Distance)));
        m_AngleEdit->setText(QString::fromStdString(corvale::FormatDouble(m_Angle)));
        return true;
    }
    double width = 0.0;
    double height = 0.0;
    double distance = 0.0;
    double angle = 0.0;
    if (!ReadNumberField(m_WidthEdit, width) || !ReadNumberField(m_HeightEdit, height) ||
        !ReadNumberField(m_DistanceEdit, distance) || !ReadNumberField(m_AngleEdit, angle, -360.0, 360.0))
        return false;
    m_WidthFactor = width;
    m_HeightFactor = height;
    m_Distance = distance;
    m_Angle = angle;
    return true;
}

void CTransformRasterCalibrationDlg::RunStep(const char* label, const std::function<bool()>& step) {
    if (m_Theme == nullptr)
        return;
    corvale::CWaitCursor wait;
    m_UndoList.push_back({m_Theme->m_Raster.m_Transformation, label});
    // A step the theme refused changed nothing: there is nothing to undo.
    if (!step())
        m_UndoList.pop_back();
    UpdateUndoButton();
    if (m_Refresh)
        m_Refresh();
}

void CTransformRasterCalibrationDlg::OnRotate() {
    if (!UpdateData(true))
        return;
    RunStep("Undo Rotate", [this] { return m_Theme->RotateRaster(m_Angle * kPi / 180.0); });
}

void CTransformRasterCalibrationDlg::OnResizeWidth() {
    if (!UpdateData(true))
        return;
    if (m_WidthFactor == 0.0) {
        ShowError("Width scaling factor cannot be zero.");
        return;
    }
    RunStep("Undo Resize Width", [this] { return m_Theme->ScaleRasterWidth(m_WidthFactor); });
}

void CTransformRasterCalibrationDlg::OnResizeHeight() {
    if (!UpdateData(true))
        return;
    if (m_HeightFactor == 0.0) {
        ShowError("Height scaling factor cannot be zero.");
        return;
    }
    RunStep("Undo Resize Height", [this] { return m_Theme->ScaleRasterHeight(m_HeightFactor); });
}

void CTransformRasterCalibrationDlg::OnMoveUp() {
    if (UpdateData(true))
        RunStep("Undo Move Up", [this] { return m_Theme->MoveRasterVertically(m_Distance); });
}

void CTransformRasterCalibrationDlg::OnMoveDown() {
    if (UpdateData(true))
        RunStep("Undo Move Down", [this] { return m_Theme->MoveRasterVertically(-m_Distance); });
}

void CTransformRasterCalibrationDlg::OnMoveLeft() {
    if (UpdateData(true))
        RunStep("Undo Move Left", [this] { return m_Theme->MoveRasterHorizontally(-m_Distance); });
}

void CTransformRasterCalibrationDlg::OnMoveRight() {
    if (UpdateData(true))
        RunStep("Undo Move Right", [this] { return m_Theme->MoveRasterHorizontally(m_Distance); });
}

void CTransformRasterCalibrationDlg::OnUndo() {
    if (m_UndoList.empty() || m_Theme == nullptr)
        return;
    {
        corvale::CWaitCursor wait;
        const CRasterTransformation previous = m_UndoList.back().m_Transformation;
        m_Theme->ReloadRaster(&previous);
        m_UndoList.pop_back();
    }
    if (m_Refresh)
        m_Refresh();
    UpdateUndoButton();
}

void CTransformRasterCalibrationDlg::ClearUndo() {
    m_UndoList.clear();
    UpdateUndoButton();
}

void CTransformRasterCalibrationDlg::UpdateUndoButton() {
    m_UndoButton->setEnabled(!m_UndoList.empty());
    m_UndoButton->setText(m_UndoList.empty() ? QStringLiteral("Undo")
                                             : QString::fromStdString(m_UndoList.back().m_Label));
}

// ---- Control Points ----

CTransformRasterFromControlPointsDlg::CTransformRasterFromControlPointsDlg(QWidget* parent)
    : CPropertiesBaseDialog(parent), m_List(new CColumnExEditListCtrl(this, 1)), m_Label(new QLabel(this)),
      m_NewButton(new QToolButton(this)), m_DeleteButton(new QToolButton(this)),
      m_CalculateButton(NamedButton(this, QStringLiteral("Calculate Parameters"), "calculate")) {
    m_List->setObjectName(QStringLiteral("controlPoints"));
    m_List->SetOwner(this);
    m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_List->setShowGrid(true);
    m_NewButton->setObjectName(QStringLiteral("new"));
    m_NewButton->setToolTip(QStringLiteral("New"));
    m_NewButton->setIcon(QIcon::fromTheme(QStringLiteral("list-add")));
    m_NewButton->setText(QStringLiteral("New"));
    m_DeleteButton->setObjectName(QStringLiteral("delete"));
    m_DeleteButton->setToolTip(QStringLiteral("Delete"));
    m_DeleteButton->setIcon(QIcon::fromTheme(QStringLiteral("list-remove")));
    m_DeleteButton->setText(QStringLiteral("Delete"));
    auto* toolbar = new QHBoxLayout;
    toolbar->addWidget(m_NewButton);
    toolbar->addWidget(m_DeleteButton);
    toolbar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addWidget(m_List);
    layout->addWidget(m_Label);
    layout->addWidget(m_CalculateButton);
    connect(m_NewButton, &QToolButton::clicked, this, [this] { OnNew(); });
    connect(m_DeleteButton, &QToolButton::clicked, this, [this] { OnDelete(); });
    connect(m_CalculateButton, &QPushButton::clicked, this, [this] { OnCalculate(); });
    connect(m_List, &QTableWidget::itemSelectionChanged, this, [this] { UpdateControls(); });
    UpdateControls();
}

void CTransformRasterFromControlPointsDlg::SetTheme(CTheme* theme, CCorvaleDoc* document) {
    m_Theme = theme;
    m_Document = document;
}

void CTransformRasterFromControlPointsDlg::OnInitDialog() {
    if (m_Theme == nullptr || m_Document == nullptr)
        return;
    const CRasterImageData& raster = m_Theme->m_Raster;
    int width = raster.m_ImageWidth;
    int height = raster.m_ImageHeight;
    if ((width <= 0 || height == 0) && !ReadImageSize(raster.m_ImagePath, width, height)) {
        width = 0;
        height = 0;
    }
    m_ImageWidth = width;
    m_ImageHeight = std::abs(height);
    char text[128];
    std::snprintf(text, sizeof text, "Top left pixel of image is (1, 1)\nBottom right is (%d, %d)", m_ImageWidth,
                  m_ImageHeight);
    m_Label->setText(QString::fromUtf8(text));
    m_List->InsertColumn(kPixelX, "X-Pixel", 50);
    m_List->InsertColumn(kPixelY, "Y-Pixel", 50);
    m_List->InsertColumn(kLongitude, "Longitude", 60);
    m_List->InsertColumn(kLatitude, "Latitude", 60);
    for (const RasterControlPoint& point : raster.m_ControlPoints) {
        const int row = m_List->InsertItem(m_List->GetItemCount(), std::to_string(point.column + 1));
        m_List->SetItemText(row, kPixelY, std::to_string(point.row + 1));
        m_List->SetItemText(row, kLongitude, corvale::FormatFixed(point.x, 6));
        m_List->SetItemText(row, kLatitude, corvale::FormatFixed(point.y, 6));
    }
    UpdateControls();
}

void CTransformRasterFromControlPointsDlg::OnNew() {
    const int row = m_List->InsertItem(m_List->GetItemCount(), "0");
    for (int column = kPixelY; column <= kLatitude; ++column)
        m_List->SetItemText(row, column, "0");
    m_List->ClearSelection();
    m_List->SetRowSelected(row, true);
    m_List->setCurrentCell(row, 0);
    m_List->setFocus();
    UpdateControls();
}

void CTransformRasterFromControlPointsDlg::OnDelete() {
    std::vector<int> rows = m_List->GetSelectedRows();
    // From the bottom up, so that the rows still to go keep their numbers.
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows)
        m_List->DeleteItem(row);
    UpdateControls();
}

void CTransformRasterFromControlPointsDlg::UpdateControls() {
    m_CalculateButton->setEnabled(m_List->GetItemCount() >= 2);
    m_DeleteButton->setEnabled(!m_List->GetSelectedRows().empty());
}

std::intptr_t CTransformRasterFromControlPointsDlg::OnMessage(unsigned message, std::uintptr_t wParam,
                                                             std::intptr_t lParam) {
    if (message != LEM_CellChanged || lParam == 0)
        return CPropertiesBaseDialog::OnMessage(message, wParam, lParam);
    const auto* notify = reinterpret_cast<const ListEditNotify*>(lParam);
    if (m_Theme == nullptr)
        return 0;
    bool accepted = false;
    if (notify->m_Column == kPixelX || notify->m_Column == kPixelY) {
        long long value = 0;
        const int limit = notify->m_Column == kPixelX ? m_ImageWidth : m_ImageHeight;
        accepted = ParseWholeNumber(notify->m_Text, value) && value >= 1 && value <= limit;
    } else {
        // A map coordinate that is no number would be taken as 0 by the fit.
        double value = 0.0;
        accepted = ParseCellNumber(notify->m_Text, value);
    }
    if (accepted)
        m_List->SetItemText(notify->m_Row, notify->m_Column, notify->m_Text);
    return 0;
}

void CTransformRasterFromControlPointsDlg::OnCalculate() {
    if (m_Theme == nullptr)
        return;
    std::vector<RasterControlPoint> points;
    std::vector<RasterPixelPoint> pixels;
    std::vector<CShapePoint> world;
    bool readable = true;
    for (int row = 0; row < m_List->GetItemCount() && readable; ++row) {
        long long column = 0;
        long long line = 0;
        double x = 0.0;
        double y = 0.0;
        readable = ParseWholeNumber(m_List->GetItemText(row, kPixelX), column) &&
                   ParseWholeNumber(m_List->GetItemText(row, kPixelY), line) && column >= 1 && line >= 1 &&
                   column <= INT32_MAX && line <= INT32_MAX &&
                   ParseCellNumber(m_List->GetItemText(row, kLongitude), x) &&
                   ParseCellNumber(m_List->GetItemText(row, kLatitude), y);
        RasterControlPoint point;
        point.column = static_cast<std::int32_t>(column - 1);
        point.row = static_cast<std::int32_t>(line - 1);
        point.x = x;
        point.y = y;
        points.push_back(point);
        pixels.push_back({point.column, point.row});
        world.push_back({x, y});
    }
    CRasterTransformation fit;
    CRasterTransformation result;
    if (!readable || !fit.FitFromControlPoints(pixels, world, result)) {
        ShowError("An error occurred while calculating the parameters.\n\nNo action was taken.");
        return;
    }
    if (m_Theme->m_SourceType == ST_ImageFile)
        m_Theme->ReloadRaster(&result);
    if (m_Refresh)
        m_Refresh();
    m_Theme->m_Raster.m_ControlPoints = points;
}

// ---- the dialog ----

CTransformImageDialog::CTransformImageDialog(QWidget* parent)
    : QDialog(parent), m_CurrentLabel(new QLabel(this)), m_Tabs(new QTabWidget(this)),
      m_Calibration(new CTransformRasterCalibrationDlg), m_ControlPoints(new CTransformRasterFromControlPointsDlg) {
    setWindowTitle(QStringLiteral("Transform Image Layer"));
    m_CurrentLabel->setObjectName(QStringLiteral("currentValues"));
    m_CurrentLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_Tabs->addTab(m_Calibration, QStringLiteral("Calibrate"));
    m_Tabs->addTab(m_ControlPoints, QStringLiteral("Control Points"));
    m_Calibration->SetTabControl(m_Tabs);
    m_ControlPoints->SetTabControl(m_Tabs);
    m_Calibration->m_Refresh = [this] { Refresh(); };
    m_ControlPoints->m_Refresh = [this] { Refresh(); };

    auto* save = NamedButton(this, QStringLiteral("Save..."), "save");
    auto* reload = NamedButton(this, QStringLiteral("Reload..."), "reload");
    auto* close = NamedButton(this, QStringLiteral("Close"), "close");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(reload);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Tabs);
    layout->addWidget(new QLabel(QStringLiteral("Current values:"), this));
    layout->addWidget(m_CurrentLabel);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, [this] { OnSave(); });
    connect(reload, &QPushButton::clicked, this, [this] { OnReload(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_Tabs, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
    OnTabChanged(0);
}

void CTransformImageDialog::SetTheme(CTheme* theme, CCorvaleDoc* document) {
    m_Theme = theme;
    m_Document = document;
    m_Calibration->SetTheme(theme, document);
    m_ControlPoints->SetTheme(theme, document);
    m_ControlPoints->InitDialog();
    Refresh();
}

void CTransformImageDialog::OnTabChanged(int index) {
    m_Calibration->setEnabled(index == 0);
    m_ControlPoints->setEnabled(index == 1);
}

void CTransformImageDialog::Refresh() {
    if (m_Document != nullptr)
        m_Document->FireUpdateEvent(nullptr, DUE_Refresh, 0);
    m_CurrentValues.clear();
    if (m_Theme != nullptr)
        m_Theme->m_Raster.m_Transformation.FormatWorldFile(m_CurrentValues);
    QString shown = QString::fromStdString(m_CurrentValues);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_CurrentLabel->setText(shown.trimmed());
}

namespace {

corvale::FileDialogRequest WorldFileRequest(const CTheme& theme, const char* title) {
    const std::string extension = GetWorldFileExtension(theme.m_Raster.m_ImagePath);
    corvale::FileDialogRequest request;
    request.title = title;
    request.filter = "World File (*" + extension + ")|*" + extension + "|All files (*.*)|*.*||";
    request.defaultExtension = extension.empty() ? std::string() : extension.substr(1);
    std::string name = theme.m_Raster.m_ImagePath;
    const std::size_t slash = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        name.erase(dot);
    request.initialName = name + extension;
    return request;
}

} // namespace

void CTransformImageDialog::OnSave() {
    if (m_Theme == nullptr)
        return;
    std::string path;
    if (!corvale::UI().ChooseSaveFile(WorldFileRequest(*m_Theme, "Save Transformation Parameters"), path))
        return;
    // Written beside the target and put in place whole, so a failed write
    // keeps the file that was there.
    if (!m_Theme->m_Raster.m_Transformation.WriteWorldFile(path))
        ShowError(("The file " + path + " could not be written.").c_str());
}

void CTransformImageDialog::OnReload() {
    if (m_Theme == nullptr)
        return;
    std::vector<std::string> paths;
    if (!corvale::UI().ChooseOpenFiles(WorldFileRequest(*m_Theme, "Reload Transformation Parameters"), paths) ||
        paths.empty())
        return;
    bool read = false;
    {
        corvale::CWaitCursor wait;
        CRasterTransformation parameters;
        std::ifstream in(paths.front(), std::ios::binary);
        read = in.is_open() && parameters.ReadWorldFile(in);
        if (read)
            m_Theme->ReloadRaster(&parameters);
    }
    if (!read) {
        ShowError("Error reading parameters from file.\n\nOperation aborted.");
        return;
    }
    Refresh();
    m_Calibration->ClearUndo();
}
