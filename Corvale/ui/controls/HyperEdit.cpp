#include "ui/controls/HyperEdit.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QTextBlock>
#include <QUrl>

#include <cctype>

namespace {

bool IsSeparator(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t') ||
           c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

const QColor CHyperEdit::kLinkColor(0x3C, 0x3C, 0x9A);
const QColor CHyperEdit::kHoverColor(0xA8, 0xA8, 0xE6);

CHyperEdit::CHyperEdit(QWidget* parent) : QPlainTextEdit(parent) {
    viewport()->setMouseTracking(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        m_Hover = -1;
        RefreshLinks();
    });
}

bool CHyperEdit::IsHyperlink(const std::string& word) const {
    if (word.empty() || word[0] == ' ' || word[0] == '\r' || word[0] == '\n' || word[0] == '\t')
        return false;
    std::string lower(word);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Secure web links are links as much as plain ones.
    for (const char* start : {"http://", "https://", "mailto:", "file:", "www."})
        if (lower.rfind(start, 0) == 0)
            return true;
    return false;
}

bool CHyperEdit::GotoURL(const std::string& link) {
    if (m_OpenLink)
        return m_OpenLink(link);
    return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(link)));
}

std::vector<std::pair<int, int>> CHyperEdit::FindLinks() const {
    const QString text = document()->toPlainText();
    std::vector<std::pair<int, int>> links;
    int start = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsSeparator(text[i]))
            continue;
        if (i > start && IsHyperlink(text.mid(start, i - start).toStdString()))
            links.emplace_back(start, i - start);
        start = i + 1;
    }
    return links;
}

bool CHyperEdit::IsBelowText(const QPoint& point) const {
    const QTextBlock last = document()->lastBlock();
    const QRectF box = blockBoundingGeometry(last).translated(contentOffset());
    return point.y() > box.bottom();
}

int CHyperEdit::LinkIndexAt(const QPoint& point) const {
    if (IsBelowText(point))
        return -1;
    const QTextCursor cursor = cursorForPosition(point);
    const int position = cursor.position();
    // The cursor lands between characters: the character under the point
    // is the one whose box holds it.
    const QRect caret = cursorRect(cursor);
    const int character = point.x() < caret.x() ? position - 1 : position;
    for (std::size_t i = 0; i < m_Links.size(); ++i)
        if (character >= m_Links[i].first && character < m_Links[i].first + m_Links[i].second)
            return static_cast<int>(i);
    return -1;
}

std::string CHyperEdit::LinkAt(const QPoint& point) const {
    const int index = LinkIndexAt(point);
    if (index < 0)
        return std::string();
    return document()->toPlainText().mid(m_Links[index].first, m_Links[index].second).toStdString();
}

void CHyperEdit::RefreshLinks() {
    m_Links = FindLinks();
    QList<QTextEdit::ExtraSelection> marks;
    for (std::size_t i = 0; i < m_Links.size(); ++i) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(m_Links[i].first);
        mark.cursor.setPosition(m_Links[i].first + m_Links[i].second, QTextCursor::KeepAnchor);
        mark.format.setFontUnderline(true);
        mark.format.setForeground(static_cast<int>(i) == m_Hover ? kHoverColor : kLinkColor);
        marks.append(mark);
    }
    // The selection is painted after these, so a selected part of a link
    // shows as selected text.
    setExtraSelections(marks);
}

void CHyperEdit::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    const int hover = LinkIndexAt(event->position().toPoint());
    viewport()->setCursor(hover >= 0 ? Qt::PointingHandCursor : Qt::IBeamCursor);
    if (hover != m_Hover) {
        m_Hover = hover;
        RefreshLinks();
    }
}

void CHyperEdit::leaveEvent(QEvent* event) {
    QPlainTextEdit::leaveEvent(event);
    if (m_Hover >= 0) {
        m_Hover = -1;
        RefreshLinks();
    }
}

void CHyperEdit::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_Pressed = LinkAt(event->position().toPoint());
}

void CHyperEdit::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const std::string link = LinkAt(event->position().toPoint());
    const std::string pressed = std::move(m_Pressed);
    m_Pressed.clear();
    // Selecting text across a link, or pressing on one link and letting go
    // on another, opens nothing.
    if (!link.empty() && link == pressed && !textCursor().hasSelection())
        GotoURL(link);
}
