#pragma once
// The checker's one window: a path with a browse button, "Run", a progress
// bar, the report and "Close".

#include <QDialog>

#include <memory>

class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSettings;

// The checker's own settings file, $XDG_CONFIG_HOME/Kestrow/Kestrow.ini: it
// shares nothing with the main program, so the folders its file dialog
// remembers are kept apart from the program's.
std::unique_ptr<QSettings> OpenKestrowSettings();

class CKestrowDialog : public QDialog {
    Q_OBJECT
public:
    explicit CKestrowDialog(QWidget* parent = nullptr);

    // Checks the file named in the path edit and shows the report; true when
    // the check found no fault.
    bool Run();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Browse();
    void About();

    QLineEdit* m_Path = nullptr;
    QPushButton* m_Browse = nullptr;
    QPushButton* m_Run = nullptr;
    QPushButton* m_About = nullptr;
    QPushButton* m_Close = nullptr;
    QProgressBar* m_Progress = nullptr;
    QPlainTextEdit* m_Report = nullptr;
};
