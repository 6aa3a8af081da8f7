#include "scripting/ConsoleDialog.h"

#include "scripting/ConsoleCmd.h"
#include "scripting/ConsoleCommandEdit.h"
#include "scripting/ConsoleCommands.h"
#include "scripting/ConsoleEdit.h"

#include <QColor>
#include <QEvent>
#include <QFontMetrics>
#include <QPalette>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

CConsoleDialog::CConsoleDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD_CONSOLE));
    setWindowTitle(QStringLiteral("Console"));

    m_Output = new CConsoleEdit(this);
    m_Output->setObjectName(QString::number(IDC_CONSOLE_OUTPUT));
    m_CommandEdit = new CConsoleCommandEdit(static_cast<CMessageWindow*>(this), this);
    m_CommandEdit->setObjectName(QString::number(IDC_CONSOLE_COMMAND));

    const QFontMetrics metrics(m_CommandEdit->font());
    m_CommandHeight = metrics.lineSpacing() +
                      2 * static_cast<int>(m_CommandEdit->document()->documentMargin()) +
                      2 * m_CommandEdit->frameWidth();

    m_Processor.m_HelpHint = true;
    // Help is the window's own command; the document adds the others.
    m_Processor.RegisterCommand(CConsoleCmdHelp(GetOwnerWord(), &m_Processor));
    SetColorScheme(1);
    resize(640, 400);
    LayoutPanes();
    m_CommandEdit->setFocus();
}

CConsoleDialog::~CConsoleDialog() {
    ForgetConsoleCurrentDirectory(GetOwnerWord());
}

void CConsoleDialog::PrintLine(const std::string& text) {
    if (!m_Hold || m_Output->IsFileTarget()) {
        m_Output->Write(text + "\r\n", CConsoleEdit::LogChannel);
        ScrollCommandLine();
    } else {
        m_Pending += text;
        m_Pending += "\r\n";
    }
}

void CConsoleDialog::ScrollCommandLine() {
    // The line being typed is the command line's last; it is brought to the
    // top of the box. The box is one line high, so the end of its scroll
    // range lies past that line and would leave the prompt out of sight.
    QScrollBar* bar = m_CommandEdit->verticalScrollBar();
    bar->setValue(std::min(bar->maximum(), m_CommandEdit->document()->blockCount() - 1));
}

void CConsoleDialog::SetColorScheme(int scheme) {
    m_ColorScheme = scheme;
    const QColor text = scheme != 0 ? QColor(Qt::white) : QColor(Qt::black);
    const QColor background = scheme != 0 ? QColor(Qt::black) : QColor(Qt::white);
    for (QPlainTextEdit* edit :
         {static_cast<QPlainTextEdit*>(m_Output), static_cast<QPlainTextEdit*>(m_CommandEdit)}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, background);
        palette.setColor(QPalette::Text, text);
        edit->setPalette(palette);
        edit->viewport()->update();
    }
}

std::intptr_t CConsoleDialog::OnMessage(unsigned message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
    if (message == WM_CONSOLE_COMMAND) {
        const auto* text = reinterpret_cast<const char*>(wParam);
        RunCommand(text != nullptr ? std::string(text) : std::string());
        return 0;
    }
    return CMessageWindow::OnMessage(message, wParam, lParam);
}

void CConsoleDialog::RunCommand(const std::string& command) {
    m_Output->Write("> " + command + "\r\n", CConsoleEdit::ConsoleChannel);
    m_Pending.clear();
    m_Hold = true;
    m_Processor.Execute(command, m_Pending);
    m_Output->Write(m_Pending, CConsoleEdit::ConsoleChannel);
    m_Pending.clear();
    m_Hold = false;
    ScrollCommandLine();
}

bool CConsoleDialog::event(QEvent* event) {
    if (DispatchPostedMessage(this, event))
        return true;
    return QDialog::event(event);
}

void CConsoleDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayoutPanes();
}

void CConsoleDialog::LayoutPanes() {
    const int w = width();
    const int h = height();
    m_CommandEdit->setGeometry(0, std::max(0, h - m_CommandHeight - 1), w, m_CommandHeight);
    m_Output->setGeometry(0, 0, w, std::max(0, h - m_CommandHeight - 4));
}
