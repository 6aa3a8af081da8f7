#include "ui/controls/ColourPickerXP.h"

#include "core/ColorRef.h"
#include "ui/controls/ColourPopupXP.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionToolButton>

namespace {

// The section of the settings store for the custom colours of a button that
// names none.
const char* const kDefaultCustomColourSection = "CustomColors";

// Width of the drop triangle part of the push-button look.
constexpr int kArrowPartWidth = 12;

} // namespace

CColourPickerXP::CColourPickerXP(QWidget* parent) : QAbstractButton(parent) {
    // The desktop's colour of an empty workspace background stands for
    // "automatic" until the owner sets a default of its own.
    m_DefaultColour = ColorRefFromRgb(palette().color(QPalette::Dark).rgb());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this] { OpenPopup(); });
}

CColourPickerXP::~CColourPickerXP() {
    // A popup outliving its button reports to nobody.
    if (m_Popup) {
        m_Popup->DetachPicker();
        delete m_Popup.data();
    }
}

std::uint32_t CColourPickerXP::GetColour(bool resolve) const {
    return resolve && m_Colour == kAutomaticColour ? m_DefaultColour : m_Colour;
}

std::uint32_t CColourPickerXP::GetStoredColour() const { return m_Colour; }

void CColourPickerXP::SetColour(std::uint32_t colour) {
    m_Colour = colour;
    update();
}

std::uint32_t CColourPickerXP::GetDefaultColour() const { return m_DefaultColour; }

void CColourPickerXP::SetDefaultColour(std::uint32_t colour) {
    m_DefaultColour = colour;
    update();
}

void CColourPickerXP::SetCustomText(const std::string& text) { m_CustomText = text; }

void CColourPickerXP::SetDefaultText(const std::string& text) {
    m_DefaultText = text;
    if (m_Style != 0 && m_Colour == kAutomaticColour)
        update();
}

void CColourPickerXP::SetRegistrySection(const std::string& section) { m_RegistrySection = section; }

void CColourPickerXP::SetTrackSelection(bool track) { m_TrackSelection = track; }

bool CColourPickerXP::GetTrackSelection() const { return m_TrackSelection; }

void CColourPickerXP::SetStyle(int style) {
    m_Style = style;
    if (style != 0)
        setFixedHeight(fontMetrics().height() + 8);
    update();
}

int CColourPickerXP::GetStyle() const { return m_Style; }

void CColourPickerXP::SetText(const std::string& text) {
    m_Text = text;
    if (m_Text.size() < 3)
        m_Text.append(3 - m_Text.size(), ' ');
    if (m_Style != 0 && m_Colour != kAutomaticColour)
        update();
}

void CColourPickerXP::SetTextMode(int mode) {
    m_TextMode = mode;
    if (m_Style != 0 && m_Colour != kAutomaticColour)
        update();
}

int CColourPickerXP::GetTextMode() const { return m_TextMode; }

QSize CColourPickerXP::sizeHint() const { return QSize(64, fontMetrics().height() + 8); }

CColourPopupXP* CColourPickerXP::GetPopup() const { return m_Popup.data(); }

int CColourPickerXP::ControlId() const {
    bool ok = false;
    const int id = objectName().toInt(&ok);
    return ok ? id : 0;
}

void CColourPickerXP::Notify(unsigned message, std::uint32_t colour) {
    CMessageWindow* owner = m_Owner;
    for (QWidget* w = parentWidget(); owner == nullptr && w != nullptr; w = w->parentWidget())
        owner = dynamic_cast<CMessageWindow*>(w);
    SendMessage(owner, message, colour, ControlId());
}

void CColourPickerXP::OpenPopup() {
    if (m_PopupOpen || !isEnabled())
        return;
    m_PopupOpen = true;
    const std::string section = m_RegistrySection.empty() ? kDefaultCustomColourSection : m_RegistrySection;
    m_Popup = new CColourPopupXP(mapToGlobal(QPoint(0, height())), m_Colour, this, m_DefaultText, m_CustomText,
                                 section, m_FlatMenus);
    update();
    Notify(PCM_PopupOpened, m_Colour);
}

void CColourPickerXP::OnPopupMessage(unsigned message, std::uint32_t colour) {
    switch (message) {
    case PCM_ColourAccepted: {
        m_PopupOpen = false;
        const std::uint32_t before = m_Colour;
        SetColour(colour);
        Notify(PCM_PopupClosed, colour);
        Notify(PCM_ColourAccepted, colour);
        if (colour != before)
            Notify(PCM_ColourChanged, colour);
        break;
    }
    case PCM_PickCancelled:
        m_PopupOpen = false;
        SetColour(colour);
        Notify(PCM_PopupClosed, colour);
        Notify(PCM_PickCancelled, colour);
        break;
    case PCM_ColourChanged:
        if (m_TrackSelection)
            SetColour(colour);
        Notify(PCM_ColourChanged, colour);
        break;
    default:
        break;
    }
}

void CColourPickerXP::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_F4:
        OpenPopup();
        return;
    case Qt::Key_Up:
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

void CColourPickerXP::enterEvent(QEnterEvent* event) {
    m_MouseOver = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CColourPickerXP::leaveEvent(QEvent* event) {
    m_MouseOver = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CColourPickerXP::DrawArrow(QPainter& painter, const QRect& rect, bool hot) {
    QStyleOptionToolButton option;
    option.initFrom(this);
    option.rect = rect;
    option.state &= ~QStyle::State_MouseOver;
    option.state |= QStyle::State_Raised;
    if (hot)
        option.state |= QStyle::State_MouseOver;
    if (m_PopupOpen || isDown())
        option.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, this);
    QStyleOption arrow = option;
    arrow.rect = rect.adjusted(2, 2, -2, -2);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
}

void CColourPickerXP::paintEvent(QPaintEvent*) {
    // Qt paints widgets through a back buffer, so the button never flickers.
    QPainter painter(this);
    const QRect all = rect();
    const bool pressed = m_PopupOpen || isDown();
    const bool focused = hasFocus();
    QRect swatch;
    if (m_Style == 0) {
        // The style's own tool button, pressed, hot, disabled or normal.
        QStyleOptionToolButton option;
        option.initFrom(this);
        option.rect = all;
        option.state &= ~QStyle::State_MouseOver;
        option.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
        if (m_MouseOver && isEnabled())
            option.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, this);
        // An etched separator and a small drop triangle at the right.
        const int separator = all.right() - kArrowPartWidth - 2;
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(separator, all.top() + 4, separator, all.bottom() - 4);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(separator + 1, all.top() + 4, separator + 1, all.bottom() - 4);
        const int cx = separator + 2 + kArrowPartWidth / 2;
        const int cy = all.center().y();
        const QPoint triangle[] = {QPoint(cx - 3, cy - 1), QPoint(cx + 3, cy - 1), QPoint(cx, cy + 2)};
        const QColor arrowColour = isEnabled() ? QColor(Qt::black) : palette().color(QPalette::Disabled, QPalette::Text);
        painter.setPen(arrowColour);
        painter.setBrush(arrowColour);
        painter.drawPolygon(triangle, 3);
        swatch = QRect(QPoint(all.left() + 4, all.top() + 4), QPoint(separator - 3, all.bottom() - 4));
        if (pressed)
            swatch.translate(1, 1);
    } else {
        // An edit field with a drop-down button at its right.
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = all;
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
        const int dropWidth = static_cast<int>(0.9 * (all.height() - 2));
        const QRect drop(all.right() - dropWidth, all.top() + 1, dropWidth, all.height() - 2);
        DrawArrow(painter, drop, m_MouseOver && isEnabled());
        swatch = QRect(QPoint(all.left() + 3, all.top() + 3), QPoint(drop.left() - 2, all.bottom() - 3));
        if (focused) {
            painter.fillRect(swatch, palette().color(QPalette::Highlight));
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = swatch;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
            swatch.adjust(2, 2, -2, -2);
        }
    }
    if (!swatch.isValid())
        return;
    painter.setPen(Qt::NoPen);
    painter.fillRect(swatch, ColorFromColorRef(GetColour(true)));
    const QColor frameColour = m_Style != 0 && focused ? palette().color(QPalette::HighlightedText)
                                                       : palette().color(QPalette::WindowText);
    painter.setPen(frameColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
