#include "ui/ArrowStyleDialog.h"

#include "core/styles/ArrowImage.h"
#include "ui/controls/ArrowTypeComboBox.h"
#include "ui/controls/ColourPickerXP.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <qdrawutil.h>

namespace {

// The "Preview" group box, which the dialog draws into.
class CArrowPreviewBox : public QGroupBox {
public:
    CArrowPreviewBox(CArrowStyleDialog* dialog) : QGroupBox(QStringLiteral("Preview"), dialog), m_Dialog(dialog) {
        setMinimumSize(200, 70);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QGroupBox::paintEvent(event);
        QPainter painter(this);
        m_Dialog->DrawPreview(painter, rect());
    }

private:
    CArrowStyleDialog* m_Dialog;
};

} // namespace

CArrowStyleDialog::CArrowStyleDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("Arrow Style"));
    m_HeadCombo = new CArrowTypeComboBox(this);
    m_HeadCombo->setObjectName(QString::number(IDC_Head));
    m_SizeCombo = new QComboBox(this);
    m_SizeCombo->setObjectName(QString::number(IDC_Size));
    m_Preview = new CArrowPreviewBox(this);
    m_Preview->setObjectName(QString::number(IDC_Preview));
    m_Picker = new CColourPickerXP(this);
    m_Picker->setObjectName(QString::number(IDC_Colour));
    m_PlacementBar = new QSlider(Qt::Horizontal, this);
    m_PlacementBar->setObjectName(QString::number(IDC_Placement));
    m_PlacementBar->setRange(0, 100);
    m_PlacementText = new QLabel(QStringLiteral("100%"), this);
    m_PlacementText->setObjectName(QString::number(IDC_PlacementText));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(IDC_OK));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QString::number(IDC_Cancel));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Head:"), this), 0, 0);
    grid->addWidget(m_HeadCombo, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Size:"), this), 1, 0);
    grid->addWidget(m_SizeCombo, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Color:"), this), 2, 0);
    grid->addWidget(m_Picker, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Placement:"), this), 3, 0);
    grid->addWidget(m_PlacementBar, 3, 1);
    grid->addWidget(m_PlacementText, 3, 2);
    grid->addWidget(m_Preview, 4, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 5, 0, 1, 3);

    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    const auto changed = [this] {
        ReadControls();
        m_Preview->update();
    };
    connect(m_HeadCombo, &QComboBox::currentIndexChanged, this, changed);
    connect(m_SizeCombo, &QComboBox::currentIndexChanged, this, changed);
    connect(m_PlacementBar, &QSlider::valueChanged, this, [this] {
        ReadControls();
        ShowPlacement();
        m_Preview->update();
    });
}

CArrowStyleDialog::~CArrowStyleDialog() = default;

void CArrowStyleDialog::showEvent(QShowEvent* event) {
    if (!m_Initialised) {
        m_Initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CArrowStyleDialog::OnInitDialog() {
    // Filling the controls must not read them back half-way.
    const int type = m_ArrowType;
    const int size = m_ArrowSize;
    const int placement = m_Placement;
    m_SizeCombo->clear();
    m_SizeCombo->addItem(QStringLiteral("Small"), 0);
    m_SizeCombo->addItem(QStringLiteral("Medium"), 1);
    m_SizeCombo->addItem(QStringLiteral("Large"), 2);
    m_HeadCombo->setCurrentIndex(m_HeadCombo->FindItemData(type));
    m_SizeCombo->setCurrentIndex(m_SizeCombo->findData(size));
    m_PlacementBar->setValue(placement);
    m_ArrowType = type;
    m_ArrowSize = size;
    m_Placement = placement;
    m_Picker->SetColour(m_Colour);
    ShowPlacement();
}

void CArrowStyleDialog::ReadControls() {
    if (m_HeadCombo->currentIndex() >= 0)
        m_ArrowType = m_HeadCombo->currentData().toInt();
    if (m_SizeCombo->currentIndex() >= 0)
        m_ArrowSize = m_SizeCombo->currentData().toInt();
    m_Placement = m_PlacementBar->value();
}

void CArrowStyleDialog::ShowPlacement() { m_PlacementText->setText(QStringLiteral("%1%").arg(m_Placement)); }

std::intptr_t CArrowStyleDialog::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message != PCM_ColourAccepted)
        return CMessageWindow::OnMessage(message, wParam, lParam);
    m_Colour = static_cast<std::uint32_t>(wParam);
    if (m_Colour == kAutomaticColour) {
        m_Colour = 0;
        m_Picker->SetColour(m_Colour);
    }
    m_Preview->update();
    return 0;
}

void CArrowStyleDialog::accept() {
    ReadControls();
    m_Colour = m_Picker->GetStoredColour();
    QDialog::accept();
}

void CArrowStyleDialog::DrawPreview(QPainter& painter, const QRect& groupRect) {
    QRect area = groupRect.adjusted(4, 16, -4, -4);
    qDrawShadePanel(&painter, area, palette(), true, 2);
    area.adjust(3, 3, -3, -3);
    painter.fillRect(area, Qt::white);
    const int middle = area.top() + area.height() / 2;
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(area.left() + 21, middle, area.right() + 1 - 16, middle);
    CArrowImage arrow;
    arrow.SetArrowType(m_ArrowType);
    arrow.SetArrowSize(m_ArrowSize);
    arrow.SetArrowColor(m_Colour);
    const int left = area.left() + 5 + (area.width() - 37) * m_Placement / 100;
    painter.drawImage(QPoint(left, middle - 16), arrow.GetIcon(0.0));
}
