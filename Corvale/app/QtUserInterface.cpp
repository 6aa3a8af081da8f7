#include "app/QtUserInterface.h"

#include "app/MainFrame.h"
#include "core/ColorRef.h"
#include "filedialog/RecentDirFileDialog.h"
#include "ui/YABFFW.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QStringList>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QWidget* DialogParent(const QPointer<CMainFrame>& frame) {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return frame.data();
}

QMessageBox::Icon ToQtIcon(corvale::MessageIcon icon) {
    switch (icon) {
    case corvale::MessageIcon::Information:
        return QMessageBox::Information;
    case corvale::MessageIcon::Warning:
        return QMessageBox::Warning;
    case corvale::MessageIcon::Error:
        return QMessageBox::Critical;
    case corvale::MessageIcon::Question:
        return QMessageBox::Question;
    case corvale::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Where the last button dialog was closed; none until one was.
QPoint g_ChoiceDialogPlace;
bool g_ChoiceDialogPlaced = false;

class CChoiceDialog : public QDialog {
public:
    CChoiceDialog(QWidget* parent, const QString& title, const QString& prompt, const QStringList& choices)
        : QDialog(parent) {
        setWindowTitle(title);
        auto* layout = new QVBoxLayout(this);
        auto* label = new QLabel(prompt, this);
        label->setObjectName(QStringLiteral("prompt"));
        label->setWordWrap(true);
        layout->addWidget(label);
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        // Every button as wide as the widest choice (at least 50 pixels), as
        // a row of equal buttons reads best.
        int widest = 50;
        for (const QString& choice : choices)
            widest = std::max(widest, fontMetrics().horizontalAdvance(choice));
        for (int i = 0; i < choices.size(); ++i) {
            auto* button = new QPushButton(choices[i], this);
            button->setObjectName(QStringLiteral("choice%1").arg(i));
            button->setMinimumWidth(widest + 16);
            if (i == 0) {
                button->setDefault(true);
                button->setAutoDefault(true);
            }
            connect(button, &QPushButton::clicked, this, [this, i]() { done(i + 1); });
            row->addWidget(button);
        }
        row->addStretch(1);
        layout->addLayout(row);
        if (g_ChoiceDialogPlaced)
            move(std::max(g_ChoiceDialogPlace.x(), -10), g_ChoiceDialogPlace.y());
    }

    void done(int result) override {
        g_ChoiceDialogPlace = pos();
        g_ChoiceDialogPlaced = true;
        QDialog::done(result);
    }
};

} // namespace

QDialog* CreateChoiceDialog(QWidget* parent, const QString& title, const QString& prompt, const QStringList& choices) {
    return new CChoiceDialog(parent, title, prompt, choices);
}

QStringList ConvertFileDialogFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        const QString patternText = parts[i + 1].trimmed();
        if (name.isEmpty() && patternText.isEmpty())
            break;
        QStringList patterns;
        for (QString pattern : patternText.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        // The name may carry its own "(...)" list; the dialog reads patterns
        // from the last parentheses, so they are replaced by ours.
        const int open = name.lastIndexOf(QLatin1Char('('));
        if (open > 0 && name.endsWith(QLatin1Char(')')))
            name = name.left(open).trimmed();
        result << QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' ')));
    }
    return result;
}

std::string AddDefaultExtension(const std::string& path, const std::string& extension) {
    if (path.empty() || extension.empty())
        return path;
    if (!QFileInfo(Q(path)).suffix().isEmpty())
        return path;
    return extension.front() == '.' ? path + extension : path + "." + extension;
}

CQtUserInterface::~CQtUserInterface() {
    while (m_WaitDepth > 0)
        EndWaitCursor();
}

void CQtUserInterface::SetMainFrame(CMainFrame* frame) { m_Frame = frame; }

int CQtUserInterface::ShowMessage(const std::string& text, corvale::MessageIcon icon,
                                  corvale::MessageButtons buttons) {
    QMessageBox box(DialogParent(m_Frame));
    box.setWindowTitle(QStringLiteral("Corvale"));
    box.setText(Q(text));
    box.setIcon(ToQtIcon(icon));
    switch (buttons) {
    case corvale::MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case corvale::MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case corvale::MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case corvale::MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case corvale::MessageButtons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return corvale::IDOK;
    case QMessageBox::Yes:
        return corvale::IDYES;
    case QMessageBox::No:
        return corvale::IDNO;
    case QMessageBox::Retry:
        return corvale::IDRETRY;
    default:
        // Closing the box counts as its way out: Cancel, or No/OK where
        // there is no Cancel.
        if (buttons == corvale::MessageButtons::YesNo)
            return corvale::IDNO;
        if (buttons == corvale::MessageButtons::Ok)
            return corvale::IDOK;
        return corvale::IDCANCEL;
    }
}

bool CQtUserInterface::ChooseOpenFiles(const corvale::FileDialogRequest& request, std::vector<std::string>& paths) {
    CRecentDirFileDialog dialog(true, QString(), QString(), ConvertFileDialogFilter(request.filter),
                                DialogParent(m_Frame));
    dialog.setWindowTitle(Q(request.title));
    if (request.multiple)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    if (!request.initialFolder.empty())
        dialog.setDirectory(Q(request.initialFolder));
    if (!request.initialName.empty())
        dialog.selectFile(Q(request.initialName));
    if (dialog.DoModal() != CFileDialogEx::IDOK)
        return false;
    paths.clear();
    for (const QString& file : dialog.selectedFiles())
        paths.push_back(file.toStdString());
    return !paths.empty();
}

bool CQtUserInterface::ChooseSaveFile(const corvale::FileDialogRequest& request, std::string& path) {
    CRecentDirFileDialog dialog(false, Q(request.defaultExtension), QString(), ConvertFileDialogFilter(request.filter),
                                DialogParent(m_Frame));
    dialog.setWindowTitle(Q(request.title));
    if (!request.initialFolder.empty())
        dialog.setDirectory(Q(request.initialFolder));
    if (!request.initialName.empty())
        dialog.selectFile(Q(request.initialName));
    if (dialog.DoModal() != CFileDialogEx::IDOK)
        return false;
    path = AddDefaultExtension(dialog.GetPathName().toStdString(), request.defaultExtension);
    return true;
}

bool CQtUserInterface::ChooseFolder(const std::string& title, std::string& path) {
    // The program's folder chooser, starting in the folder given.
    CYABFFW chooser(Q(title), Q(path), DialogParent(m_Frame));
    if (chooser.DoModal() != CYABFFW::IDOK || chooser.GetFolderPath().isEmpty())
        return false;
    path = chooser.GetFolderPath().toStdString();
    return true;
}

bool CQtUserInterface::AskText(const std::string& title, const std::string& prompt, std::string& value) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(DialogParent(m_Frame), Q(title), Q(prompt), QLineEdit::Normal, Q(value), &ok);
    if (!ok)
        return false;
    value = text.toStdString();
    return true;
}

bool CQtUserInterface::AskInteger(const std::string& title, const std::string& prompt, int& value) {
    bool ok = false;
    const int number = QInputDialog::getInt(DialogParent(m_Frame), Q(title), Q(prompt), value,
                                            std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 1, &ok);
    if (!ok)
        return false;
    value = number;
    return true;
}

int CQtUserInterface::AskChoice(const std::string& title, const std::string& prompt,
                                 const std::vector<std::string>& choices) {
    QStringList texts;
    for (const std::string& choice : choices)
        texts << Q(choice);
    QApplication::beep();
    std::unique_ptr<QDialog> dialog(CreateChoiceDialog(DialogParent(m_Frame), Q(title), Q(prompt), texts));
    const int result = dialog->exec();
    // Rejected (Escape, the close box) is 0: no choice.
    return result >= 1 && result <= static_cast<int>(choices.size()) ? result - 1 : -1;
}

bool CQtUserInterface::ChooseColor(const std::string& title, std::uint32_t& colour) {
    const QColor chosen = QColorDialog::getColor(ColorFromColorRef(colour), DialogParent(m_Frame), Q(title));
    if (!chosen.isValid())
        return false;
    colour = ColorRefFromRgb(chosen.rgb());
    return true;
}

void CQtUserInterface::SetStatusText(const std::string& text) {
    if (m_Frame)
        m_Frame->statusBar()->showMessage(Q(text));
}

void CQtUserInterface::SetStatusPaneText(int paneId, const std::string& text) {
    if (!m_Frame)
        return;
    m_Frame->SetPaneText(paneId, text);
    if (paneId == ID_INDICATOR_REFSYS)
        m_Frame->FitRefSysPane();
}

void CQtUserInterface::BeginProgress() {
    if (m_Frame)
        m_Frame->ShowProgress(0);
}

void CQtUserInterface::SetProgress(int percent) {
    if (m_Frame)
        m_Frame->ShowProgress(percent);
}

void CQtUserInterface::EndProgress() {
    if (m_Frame)
        m_Frame->HideProgress();
    SetProgressText(std::string());
}

void CQtUserInterface::SetProgressText(const std::string& label) {
    QProgressBar* bar = m_Frame ? m_Frame->GetProgressBar() : nullptr;
    if (bar == nullptr)
        return;
    // The label stands in the bar's own text, before the percentage.
    bar->setFormat(label.empty() ? QStringLiteral("%p%") : Q(label) + QStringLiteral(" %p%"));
    bar->setTextVisible(!label.empty());
}

void CQtUserInterface::BeginWaitCursor() {
    ++m_WaitDepth;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void CQtUserInterface::EndWaitCursor() {
    if (m_WaitDepth <= 0)
        return;
    --m_WaitDepth;
    QGuiApplication::restoreOverrideCursor();
}
