#include "scripting/ConsoleEdit.h"

#include "settings/AppSettings.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QString>
#include <QTextCursor>

#include <algorithm>

namespace {

// The options pages offer 1 to 32 kB; a value set outside them (the settings
// object is plain data) must not make the console allocate without bound.
std::size_t BufferBytesFromSettings() {
    const int kB = std::clamp(CAppSettings::GetInstance()->m_ConsoleBufferSize_kB, 1, 32);
    return static_cast<std::size_t>(kB) * 1024;
}

} // namespace

CConsoleEdit::CConsoleEdit(QWidget* parent)
    : QPlainTextEdit(parent), m_Buffer(BufferBytesFromSettings()) {
    setReadOnly(true);
    // Read-only, but the user still selects and copies with mouse and keys.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

CConsoleEdit::~CConsoleEdit() = default;

void CConsoleEdit::Write(const std::string& text, int channel) {
    if (channel == LogChannel) {
        if (!m_LogEnabled)
            return;
        if (m_FileTarget) {
            // A stream that failed once (disk full, file gone) is skipped.
            if (m_LogStream.is_open() && m_LogStream.good()) {
                m_LogStream.write(text.data(), static_cast<std::streamsize>(text.size()));
                m_LogStream.flush();
            }
            return;
        }
    } else if (channel != ConsoleChannel) {
        return;
    }
    m_Buffer.Append(text);
    Refresh();
    MoveCaretToEnd();
}

bool CConsoleEdit::SetLogFile(const std::string& name) {
    m_FileTarget = false;
    // Every line written so far was flushed, so closing loses nothing and
    // lets go of the file.
    if (m_LogStream.is_open())
        m_LogStream.close();
    m_LogStream.clear();
    if (name.empty()) {
        m_LogFileName.clear();
        return true;
    }
    m_LogFileName = name;
    // Binary: the lines carry their own CR LF.
    m_LogStream.open(name, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!m_LogStream.is_open()) {
        m_LogStream.clear();
        m_LogFileName.clear();
        return false;
    }
    m_FileTarget = true;
    return true;
}

void CConsoleEdit::Clear() {
    m_Buffer.Clear();
    Refresh();
}

void CConsoleEdit::MoveCaretToEnd() {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CConsoleEdit::Refresh() {
    const std::string text = m_Buffer.GetText();
    std::size_t first = 0;
    // Once the ring has wrapped, its oldest bytes may be the tail of a
    // character of several bytes; they would show as a replacement mark.
    if (m_Buffer.IsWrapped())
        while (first < text.size() && (static_cast<unsigned char>(text[first]) & 0xC0) == 0x80)
            ++first;
    QString shown =
        QString::fromUtf8(text.data() + first, static_cast<qsizetype>(text.size() - first));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
}

std::unique_ptr<QMenu> CConsoleEdit::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    QAction* undoAction = menu->addAction(QStringLiteral("Undo"));
    undoAction->setEnabled(document()->isUndoAvailable());
    connect(undoAction, &QAction::triggered, this, [this] { undo(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Cut"))->setEnabled(false);
    QAction* copyAction = menu->addAction(QStringLiteral("Copy"));
    copyAction->setEnabled(textCursor().hasSelection());
    connect(copyAction, &QAction::triggered, this, [this] {
        if (textCursor().hasSelection())
            copy();
    });
    menu->addAction(QStringLiteral("Paste"))->setEnabled(false);
    menu->addAction(QStringLiteral("Delete"))->setEnabled(false);
    menu->addSeparator();
    QAction* selectAllAction = menu->addAction(QStringLiteral("Select All"));
    connect(selectAllAction, &QAction::triggered, this, [this] { selectAll(); });
    return menu;
}

void CConsoleEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    MoveCaretToEnd();
}

void CConsoleEdit::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    MoveCaretToEnd();
}

void CConsoleEdit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(event->globalPos());
}
