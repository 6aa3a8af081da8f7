#include "scripting/ConsoleCommandEdit.h"

#include "framework/Messages.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>

namespace {

constexpr int kPromptLength = 2;

std::string TrimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace

CConsoleCommandEdit::CConsoleCommandEdit(CMessageWindow* owner, QWidget* parent)
    : QPlainTextEdit(parent), m_Owner(owner) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves between the two panes, as in any dialog.
    setTabChangesFocus(true);
    ShowInput(std::string());
}

CConsoleCommandEdit::~CConsoleCommandEdit() = default;

int CConsoleCommandEdit::InputStart() const {
    return document()->lastBlock().position() + kPromptLength;
}

bool CConsoleCommandEdit::SelectionInInput() const {
    const QTextCursor cursor = textCursor();
    const int start = InputStart();
    return cursor.selectionStart() >= start && cursor.selectionEnd() >= start;
}

bool CConsoleCommandEdit::ClipboardHasText() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText();
}

void CConsoleCommandEdit::MoveCaretToEnd() {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CConsoleCommandEdit::ShowInput(const std::string& entry) {
    setPlainText(QString::fromLatin1(kPrompt) + QString::fromStdString(entry));
    MoveCaretToEnd();
}

void CConsoleCommandEdit::EnterCommand() {
    const QString line = document()->lastBlock().text();
    const std::string command = line.size() >= kPromptLength
                                    ? TrimBlanks(line.mid(kPromptLength).toStdString())
                                    : std::string();
    if (!command.empty())
        m_History.push_back(command);
    m_HistoryPosition = static_cast<int>(m_History.size());
    ShowInput(std::string());
    // A command may close the document, and the console with it.
    QPointer<CConsoleCommandEdit> self(this);
    SendMessage(m_Owner, WM_CONSOLE_COMMAND, reinterpret_cast<std::uintptr_t>(command.c_str()), 0);
    if (self)
        ShowInput(std::string());
}

void CConsoleCommandEdit::StepHistory(int step) {
    const int count = static_cast<int>(m_History.size());
    const int position = m_HistoryPosition + step;
    if (position < 0) {
        m_HistoryPosition = -1;
        ShowInput(std::string());
    } else if (position >= count) {
        m_HistoryPosition = count;
        ShowInput(std::string());
    } else {
        m_HistoryPosition = position;
        ShowInput(m_History[static_cast<std::size_t>(position)]);
    }
}

void CConsoleCommandEdit::keyPressEvent(QKeyEvent* event) {
    const QTextCursor cursor = textCursor();
    const int start = InputStart();
    const bool selected = cursor.hasSelection();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        EnterCommand();
        return;
    case Qt::Key_Backspace:
        if (!selected && cursor.position() > start)
            QPlainTextEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    case Qt::Key_Left:
        // The caret may not walk into the prompt.
        if (selected ? cursor.selectionStart() > start && cursor.selectionEnd() > start
                     : cursor.position() > start)
            QPlainTextEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    case Qt::Key_Up:
        event->accept();
        StepHistory(-1);
        return;
    case Qt::Key_Down:
        event->accept();
        StepHistory(+1);
        return;
    case Qt::Key_Insert:
        // Shift+Insert pastes, Ctrl+Insert copies.
        if (ClipboardHasText() && SelectionInInput())
            QPlainTextEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    case Qt::Key_Delete:
        if (SelectionInInput())
            QPlainTextEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    default:
        break;
    }

    // Ctrl with a character key makes a control character; like every control
    // character it is swallowed, so the edit shortcuts (Ctrl+V, Ctrl+X, ...)
    // cannot change the prompt or earlier lines.
    const int key = event->key();
    if ((event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) && key >= Qt::Key_Space &&
        key <= Qt::Key_AsciiTilde) {
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        // Keys without a character: Right, Home, End, Page Up and Down, ...
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const char16_t first = text.at(0).unicode();
    if (first < 32 || first == 127) {
        event->accept();
        return;
    }
    if (!selected && cursor.position() >= start)
        QPlainTextEdit::keyPressEvent(event);
    else
        event->accept();
}

void CConsoleCommandEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    MoveCaretToEnd();
}

void CConsoleCommandEdit::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    MoveCaretToEnd();
}

bool CConsoleCommandEdit::canInsertFromMimeData(const QMimeData* source) const {
    return QPlainTextEdit::canInsertFromMimeData(source) && SelectionInInput();
}

void CConsoleCommandEdit::insertFromMimeData(const QMimeData* source) {
    if (SelectionInInput())
        QPlainTextEdit::insertFromMimeData(source);
}

std::unique_ptr<QMenu> CConsoleCommandEdit::CreateContextMenu() {
    const bool selected = textCursor().hasSelection();
    const bool inInput = SelectionInInput();
    auto menu = std::make_unique<QMenu>(this);

    QAction* undoAction = menu->addAction(QStringLiteral("Undo"));
    undoAction->setEnabled(document()->isUndoAvailable());
    connect(undoAction, &QAction::triggered, this, [this] { undo(); });
    menu->addSeparator();

    QAction* cutAction = menu->addAction(QStringLiteral("Cut"));
    cutAction->setEnabled(inInput);
    connect(cutAction, &QAction::triggered, this, [this] {
        if (SelectionInInput())
            cut();
    });
    QAction* copyAction = menu->addAction(QStringLiteral("Copy"));
    copyAction->setEnabled(selected);
    connect(copyAction, &QAction::triggered, this, [this] {
        if (textCursor().hasSelection())
            copy();
    });
    QAction* pasteAction = menu->addAction(QStringLiteral("Paste"));
    pasteAction->setEnabled(ClipboardHasText() && inInput);
    connect(pasteAction, &QAction::triggered, this, [this] { paste(); });
    QAction* deleteAction = menu->addAction(QStringLiteral("Delete"));
    deleteAction->setEnabled(selected && inInput);
    connect(deleteAction, &QAction::triggered, this, [this] {
        QTextCursor cursor = textCursor();
        if (cursor.hasSelection() && SelectionInInput()) {
            cursor.removeSelectedText();
            setTextCursor(cursor);
        }
    });
    menu->addSeparator();

    QAction* selectAllAction = menu->addAction(QStringLiteral("Select All"));
    connect(selectAllAction, &QAction::triggered, this, [this] {
        selectAll();
        ensureCursorVisible();
    });
    return menu;
}

void CConsoleCommandEdit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(event->globalPos());
}
