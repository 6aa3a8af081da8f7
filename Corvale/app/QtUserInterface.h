#pragma once
// The program's implementation of the user-interface seam: Qt message
// boxes, file and folder choosers, a one-line input dialog, and the main
// frame's status bar, progress bar (with its label) and wait cursor.

#include "framework/UserInterface.h"

#include <QPointer>
#include <QString>

class CMainFrame;

class CQtUserInterface : public corvale::IUserInterface {
public:
    CQtUserInterface() = default;
    ~CQtUserInterface() override;

    // The frame whose status bar shows texts and progress; may be null.
    void SetMainFrame(CMainFrame* frame);

    int ShowMessage(const std::string& text, corvale::MessageIcon icon, corvale::MessageButtons buttons) override;
    bool ChooseOpenFiles(const corvale::FileDialogRequest& request, std::vector<std::string>& paths) override;
    bool ChooseSaveFile(const corvale::FileDialogRequest& request, std::string& path) override;
    bool ChooseFolder(const std::string& title, std::string& path) override;
    bool AskText(const std::string& title, const std::string& prompt, std::string& value) override;
    bool AskInteger(const std::string& title, const std::string& prompt, int& value) override;
    int AskChoice(const std::string& title, const std::string& prompt, const std::vector<std::string>& choices) override;
    bool ChooseColor(const std::string& title, std::uint32_t& colour) override;
    void SetStatusText(const std::string& text) override;
    void SetStatusPaneText(int paneId, const std::string& text) override;
    void BeginProgress() override;
    void SetProgress(int percent) override;
    void EndProgress() override;
    void SetProgressText(const std::string& label) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    QPointer<CMainFrame> m_Frame;
    int m_WaitDepth = 0;
};

// The button dialog behind AskChoice: the prompt above a row of buttons,
// one per choice, the first of them the default (Enter picks it). Pressing
// button i ends the dialog with i + 1; Escape and the close box end it with
// 0 (QDialog::Rejected). From the second dialog on, each opens where the last
// one was closed.
class QDialog;
class QWidget;
QDialog* CreateChoiceDialog(QWidget* parent, const QString& title, const QString& prompt, const QStringList& choices);

// "Shape Files (*.shp)|*.shp|All Files (*.*)|*.*||" as a file dialog's name
// filters: "Shape Files (*.shp)", "All Files (*)". Patterns come from the
// pattern half of each pair; "*.*" means every file, as it did.
QStringList ConvertFileDialogFilter(const std::string& filter);
// The path with the default extension (".cvw" or "cvw") added when its file
// name has none.
std::string AddDefaultExtension(const std::string& path, const std::string& extension);
