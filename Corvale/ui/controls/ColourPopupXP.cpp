#include "ui/controls/ColourPopupXP.h"

#include "core/ColorRef.h"
#include "settings/Registry.h"
#include "ui/controls/ColourPickerXP.h"

#include <QApplication>
#include <QColorDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QToolTip>
#include <qdrawutil.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

struct NamedColour {
    std::uint32_t colour;
    const char* name;
};

// Red in the low byte. The table may hold at most 100 entries.
const NamedColour kColours[] = {
    {0x000000, "Black"},         {0x002AA5, "Brown"},          {0x404000, "Dark Olive Green"},
    {0x005500, "Dark Green"},    {0x5E0000, "Dark Teal"},      {0x8B0000, "Dark blue"},
    {0x82004B, "Indigo"},        {0x282828, "Dark grey"},      {0x00008B, "Dark red"},
    {0x2068FF, "Orange"},        {0x008B8B, "Dark yellow"},    {0x009300, "Green"},
    {0x8E8E38, "Teal"},          {0xFF0000, "Blue"},           {0xC07B7B, "Blue-grey"},
    {0x666666, "Grey - 40"},     {0x0000FF, "Red"},            {0x5BADFF, "Light orange"},
    {0x32CD32, "Lime"},          {0x71B33C, "Sea green"},      {0xD4FF7F, "Aqua"},
    {0xC09E7D, "Light blue"},    {0x800080, "Violet"},         {0x808080, "Grey - 50"},
    {0xCBC0FF, "Pink"},          {0x00D7FF, "Gold"},           {0x00FFFF, "Yellow"},
    {0x00FF00, "Bright green"},  {0xD0E040, "Turquoise"},      {0xFFFFC0, "Skyblue"},
    {0x480048, "Plum"},          {0xC0C0C0, "Light grey"},     {0xE1E4FF, "Rose"},
    {0x8CB4D2, "Tan"},           {0xE0FFFF, "Light yellow"},   {0x98FB98, "Pale green "},
    {0xEEEEAF, "Pale turquoise"}, {0x8B8368, "Pale blue"},     {0xFAE6E6, "Lavender"},
    {0xFFFFFF, "White"},
};
constexpr int kColourCount = static_cast<int>(std::size(kColours));
static_assert(kColourCount <= 100, "the colour table holds at most 100 entries");

// The width of a window edge on the desktop the popup was drawn for.
constexpr int kEdgeWidth = 2;

QFont MenuFont() { return QApplication::font("QMenu"); }
QPalette MenuPalette() { return QApplication::palette("QMenu"); }

} // namespace

int CColourPopupXP::GetColourCount() { return kColourCount; }

std::uint32_t CColourPopupXP::GetTableColour(int index) {
    return index >= 0 && index < kColourCount ? kColours[index].colour : 0;
}

const char* CColourPopupXP::GetColourName(int index) {
    return index >= 0 && index < kColourCount ? kColours[index].name : "";
}

CColourPopupXP::CColourPopupXP(const QPoint& position, std::uint32_t colour, CColourPickerXP* picker,
                               const std::string& defaultText, const std::string& customText,
                               const std::string& registrySection, bool flatMenus)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), m_Picker(picker), m_InitialColour(colour),
      m_ChosenColour(colour), m_DefaultText(defaultText), m_CustomText(customText),
      m_RegistrySection(registrySection), m_FlatMenus(flatMenus) {
    setFont(MenuFont());
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    Layout(position);
    FindChosenEntry();
    show();
    setFocus();
}

CColourPopupXP::~CColourPopupXP() = default;

bool CColourPopupXP::HasEntry(int entry) const {
    if (entry == kDefaultEntry)
        return !m_DefaultText.empty();
    if (entry == kCustomEntry)
        return !m_CustomText.empty();
    return entry >= 0 && entry < kColourCount;
}

QRect CColourPopupXP::GetEntryRect(int entry) const {
    if (!HasEntry(entry))
        return QRect();
    if (entry == kDefaultEntry)
        return m_DefaultRect;
    if (entry == kCustomEntry)
        return m_CustomRect;
    return QRect(m_GridRect.left() + (entry % kColumns) * m_BoxSize, m_GridRect.top() + (entry / kColumns) * m_BoxSize,
                 m_BoxSize, m_BoxSize);
}

int CColourPopupXP::EntryAt(const QPoint& point) const {
    if (HasEntry(kDefaultEntry) && m_DefaultRect.contains(point))
        return kDefaultEntry;
    if (HasEntry(kCustomEntry) && m_CustomRect.contains(point))
        return kCustomEntry;
    if (!m_GridRect.contains(point))
        return kNoEntry;
    const int column = (point.x() - m_GridRect.left()) / m_BoxSize;
    const int row = (point.y() - m_GridRect.top()) / m_BoxSize;
    const int entry = row * kColumns + column;
    return entry < kColourCount ? entry : kNoEntry;
}

void CColourPopupXP::Layout(const QPoint& position) {
    m_Margin = kEdgeWidth;
    m_BoxSize = 18;
    if (m_BoxSize - 2 * m_Margin - 2 < 5)
        m_BoxSize = 2 * m_Margin + 7;
    m_Rows = (kColourCount + kColumns - 1) / kColumns;

    const QFontMetrics metrics(font());
    const int gridWidth = kColumns * m_BoxSize;
    int width = gridWidth;
    for (const std::string* text : {&m_DefaultText, &m_CustomText}) {
        if (!text->empty())
            width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(*text)) + 4 * m_Margin);
    }
    const int textHeight = metrics.height() + 4 * m_Margin;

    int y = m_Margin;
    m_DefaultRect = QRect();
    if (!m_DefaultText.empty()) {
        m_DefaultRect = QRect(m_Margin, y, width, textHeight);
        y += textHeight + m_Margin;
    }
    m_GridRect = QRect(m_Margin + (width - gridWidth) / 2, y, gridWidth, m_Rows * m_BoxSize);
    y += m_GridRect.height() + m_Margin;
    m_CustomRect = QRect();
    if (!m_CustomText.empty()) {
        m_CustomRect = QRect(m_Margin, y, width, textHeight);
        y += textHeight + m_Margin;
    }
    resize(width + 2 * m_Margin, y);

    // Kept on the screen of the button: left when it passes the right edge,
    // right when it passes the left edge, above the button when it passes the
    // bottom.
    QScreen* screen = m_Picker ? m_Picker->screen() : QGuiApplication::screenAt(position);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    QRect window(position, size());
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        if (window.right() > area.right())
            window.moveRight(area.right());
        if (window.left() < area.left())
            window.moveLeft(area.left());
        if (window.bottom() > area.bottom()) {
            const int buttonTop = m_Picker ? m_Picker->mapToGlobal(QPoint(0, 0)).y() : position.y();
            window.moveBottom(buttonTop - 1);
        }
    }
    move(window.topLeft());
}

void CColourPopupXP::FindChosenEntry() {
    m_ChosenEntry = kNoEntry;
    if (m_InitialColour == kAutomaticColour && HasEntry(kDefaultEntry)) {
        m_ChosenEntry = kDefaultEntry;
        return;
    }
    for (int i = 0; i < kColourCount; ++i) {
        if (kColours[i].colour == m_InitialColour) {
            m_ChosenEntry = i;
            return;
        }
    }
    if (HasEntry(kCustomEntry))
        m_ChosenEntry = kCustomEntry;
}

void CColourPopupXP::ChangeHighlight(int entry) {
    if (entry == m_Highlighted)
        return;
    m_Highlighted = entry;
    update();
    // Leaving every entry, or resting on "More Colors...", goes back to the
    // colour the popup opened with, so that a click there keeps it.
    if (entry >= 0)
        m_ChosenColour = kColours[entry].colour;
    else if (entry == kDefaultEntry)
        m_ChosenColour = kAutomaticColour;
    else
        m_ChosenColour = m_InitialColour;
    if (m_Picker)
        m_Picker->OnPopupMessage(PCM_ColourChanged, m_ChosenColour);
}

int CColourPopupXP::NextEntry(int key) const {
    const bool hasDefault = HasEntry(kDefaultEntry);
    const bool hasCustom = HasEntry(kCustomEntry);
    std::vector<int> order;
    if (hasDefault)
        order.push_back(kDefaultEntry);
    for (int i = 0; i < kColourCount; ++i)
        order.push_back(i);
    if (hasCustom)
        order.push_back(kCustomEntry);

    const int current = m_Highlighted;
    if (current == kNoEntry)
        return m_ChosenEntry != kNoEntry ? m_ChosenEntry : order.front();
    switch (key) {
    case Qt::Key_Down:
        if (current >= 0 && current + kColumns < kColourCount)
            return current + kColumns;
        if (current >= 0 && hasCustom)
            return kCustomEntry;
        if (current != kDefaultEntry && hasDefault)
            return kDefaultEntry;
        return 0;
    case Qt::Key_Up:
        if (current >= kColumns)
            return current - kColumns;
        if (current >= 0 && hasDefault)
            return kDefaultEntry;
        if (current != kCustomEntry && hasCustom)
            return kCustomEntry;
        return kColourCount - 1;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const auto it = std::find(order.begin(), order.end(), current);
        const auto index = static_cast<int>(it - order.begin());
        const int count = static_cast<int>(order.size());
        const int step = key == Qt::Key_Right ? 1 : count - 1;
        return order[static_cast<std::size_t>((index + step) % count)];
    }
    default:
        return current;
    }
}

void CColourPopupXP::LoadCustomColours(const std::string& section) {
    auto settings = corvale::OpenRegistry();
    settings->beginGroup(QString::fromStdString(section));
    for (int i = 0; i < kCustomColourCount; ++i) {
        const std::uint32_t colour =
            corvale::ReadRegistryU32(*settings, QStringLiteral("CUSTOM_COLOR_%1").arg(i), 0xFFFFFF);
        QColorDialog::setCustomColor(i, ColorFromColorRef(colour));
    }
}

void CColourPopupXP::SaveCustomColours(const std::string& section) {
    auto settings = corvale::OpenRegistry();
    settings->beginGroup(QString::fromStdString(section));
    for (int i = 0; i < kCustomColourCount; ++i) {
        corvale::WriteRegistryU32(*settings, QStringLiteral("CUSTOM_COLOR_%1").arg(i),
                                  ColorRefFromRgb(QColorDialog::customColor(i).rgb()));
    }
    settings->endGroup();
    settings->sync();
}

void CColourPopupXP::EndSelection(bool accept) {
    if (m_Ended || m_ColourDialogOpen)
        return;
    if (accept && m_Highlighted == kCustomEntry) {
        m_ColourDialogOpen = true;
        hide();
        LoadCustomColours(m_RegistrySection);
        QColorDialog dialog(ColorFromColorRef(m_InitialColour), m_Picker ? m_Picker->window() : nullptr);
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (dialog.exec() == QDialog::Accepted)
            m_ChosenColour = ColorRefFromRgb(dialog.selectedColor().rgb());
        else
            accept = false;
        SaveCustomColours(m_RegistrySection);
        m_ColourDialogOpen = false;
    }
    m_Ended = true;
    if (!accept)
        m_ChosenColour = m_InitialColour;
    hide();
    if (m_Picker)
        m_Picker->OnPopupMessage(accept ? PCM_ColourAccepted : PCM_PickCancelled, m_ChosenColour);
    deleteLater();
}

bool CColourPopupXP::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int entry = EntryAt(help->pos());
        QString tip;
        if (entry >= 0)
            tip = QString::fromUtf8(kColours[entry].name);
        else if (entry == kDefaultEntry)
            tip = QString::fromStdString(m_DefaultText);
        else if (entry == kCustomEntry)
            tip = QString::fromStdString(m_CustomText);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this, GetEntryRect(entry));
        return true;
    }
    return QWidget::event(event);
}

void CColourPopupXP::mouseMoveEvent(QMouseEvent* event) { ChangeHighlight(EntryAt(event->position().toPoint())); }

void CColourPopupXP::mousePressEvent(QMouseEvent*) {
    // The button's release decides; a popup would otherwise close itself on a
    // press outside it.
}

void CColourPopupXP::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (rect().contains(point)) {
        ChangeHighlight(EntryAt(point));
        EndSelection(true);
    } else {
        EndSelection(false);
    }
}

void CColourPopupXP::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        ChangeHighlight(NextEntry(event->key()));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        EndSelection(true);
        break;
    case Qt::Key_Escape:
        m_ChosenColour = m_InitialColour;
        EndSelection(false);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CColourPopupXP::hideEvent(QHideEvent* event) {
    // Closed from outside (the application lost the activation, another popup
    // opened): that is a cancel.
    QWidget::hideEvent(event);
    if (!m_Ended && !m_ColourDialogOpen)
        EndSelection(false);
}

void CColourPopupXP::DrawEntry(QPainter& painter, int entry) {
    const QRect box = GetEntryRect(entry);
    if (box.isEmpty())
        return;
    const QPalette menu = MenuPalette();
    const bool highlighted = entry == m_Highlighted;
    const bool chosen = entry == m_ChosenEntry;
    if (highlighted && m_FlatMenus) {
        // The menu colour blended with the highlight, framed by the highlight.
        const QColor m = menu.color(QPalette::Window);
        const QColor h = menu.color(QPalette::Highlight);
        const QColor blend((207 * m.red() + 48 * h.red()) / 256, (207 * m.green() + 48 * h.green()) / 256,
                           (207 * m.blue() + 48 * h.blue()) / 256);
        painter.fillRect(box, blend);
        painter.setPen(h);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    } else if (chosen) {
        qDrawShadePanel(&painter, box, menu, true, 1);
    } else if (highlighted) {
        qDrawShadePanel(&painter, box, menu, false, 1);
    }
    if (entry >= 0) {
        const QRect swatch = box.adjusted(m_Margin, m_Margin, -m_Margin, -m_Margin);
        painter.fillRect(swatch, ColorFromColorRef(kColours[entry].colour));
        painter.setPen(menu.color(QPalette::Dark));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        return;
    }
    painter.setPen(menu.color(QPalette::WindowText));
    painter.drawText(box, Qt::AlignCenter,
                     QString::fromStdString(entry == kDefaultEntry ? m_DefaultText : m_CustomText));
}

void CColourPopupXP::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette menu = MenuPalette();
    painter.fillRect(rect(), menu.color(QPalette::Window));
    qDrawShadePanel(&painter, rect(), menu, false, 1);
    if (HasEntry(kDefaultEntry))
        DrawEntry(painter, kDefaultEntry);
    for (int i = 0; i < kColourCount; ++i)
        DrawEntry(painter, i);
    if (HasEntry(kCustomEntry))
        DrawEntry(painter, kCustomEntry);
}
