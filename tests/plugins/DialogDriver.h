#pragma once
// Answers the modal dialogs a plug-in opens while a test calls into it: every
// few milliseconds the active modal widget is handed to the next answer in
// line. File dialogs get a path (or are cancelled with an empty one), message
// boxes a button, other dialogs a function of the test. What each dialog
// showed is kept for the test to check.

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QFont>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class DialogDriver {
public:
    struct Answer {
        std::string path;                                   // file dialogs: the file, empty cancels
        QMessageBox::StandardButton button = QMessageBox::Ok; // message boxes
        std::function<void(QDialog*)> other;                // any other dialog
    };

    DialogDriver() {
        QTimer::singleShot(5, &m_Context, [this] { Poll(); });
    }

    void Add(Answer answer) { m_Answers.push_back(std::move(answer)); }
    void File(const std::string& path) { Add({path, QMessageBox::Ok, {}}); }
    void Button(QMessageBox::StandardButton button) { Add({"", button, {}}); }
    void Other(std::function<void(QDialog*)> act) { Add({"", QMessageBox::Ok, std::move(act)}); }

    // "title|text" of every message box, the title of every file dialog.
    std::vector<std::string> m_Seen;
    // For every message box, how much wider it is than its title in a bold
    // font: the room a window manager has for the title bar's icon and
    // buttons before it cuts the title.
    std::vector<int> m_TitleRoom;
    // The folder every file dialog opened in.
    std::vector<std::string> m_Folders;
    std::size_t Pending() const { return m_Answers.size(); }

private:
    // Answers the active dialog. The next look is set up first, on a timer of
    // its own: an answer may open a dialog of its own (the save dialog's
    // overwrite prompt) inside this call, and a timer never fires again
    // while its own call is running.
    void Poll() {
        QTimer::singleShot(5, &m_Context, [this] { Poll(); });
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible() || m_Busy.contains(dialog))
            return;
        m_Busy.append(dialog);
        Respond(dialog);
        m_Busy.removeAll(dialog);
    }

    void Respond(QDialog* dialog) {
        if (m_Answers.empty()) {
            m_Seen.push_back("unexpected: " + dialog->windowTitle().toStdString());
            dialog->reject();
            return;
        }
        Answer answer = std::move(m_Answers.front());
        m_Answers.pop_front();
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            m_Seen.push_back(files->windowTitle().toStdString());
            m_Folders.push_back(files->directory().absolutePath().toStdString());
            if (answer.path.empty()) {
                files->reject();
            } else {
                const QString path = QString::fromStdString(answer.path);
                files->selectFile(path);
                // selectFile leaves the name box alone while it has the
                // focus, which it gets once the window is activated: on a
                // busy machine that happens before this answer, and the
                // dialog then accepts the folder instead of the file.
                if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    name->setText(path);
                static_cast<QDialog*>(files)->accept();
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            m_Seen.push_back(box->windowTitle().toStdString() + "|" + box->text().toStdString());
            QFont bold = box->font();
            bold.setBold(true);
            m_TitleRoom.push_back(box->width() - QFontMetrics(bold).horizontalAdvance(box->windowTitle()));
            if (QAbstractButton* button = box->button(answer.button))
                button->click();
            else
                box->done(answer.button);
        } else if (answer.other) {
            answer.other(dialog);
        } else {
            dialog->reject();
        }
    }

    QList<QDialog*> m_Busy; // dialogs whose answer is still running
    QObject m_Context;      // ends the looks with the driver
    std::deque<Answer> m_Answers;
};
