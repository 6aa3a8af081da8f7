#pragma once
// The folder chooser: Qt's own directory dialog run modally, answering 1 (OK)
// with the chosen folder or 2 (Cancel), and calling virtual hooks when it
// opens, when the current folder changes and when a typed folder does not
// exist, so that callers can follow or refuse the choice.

#include <QFileDialog>
#include <QString>

class QWidget;

class CYABFFW : public QFileDialog {
public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;

    // title: the dialog's caption; root: the folder it starts in (the user's
    // home folder when empty).
    explicit CYABFFW(const QString& title = QString(), const QString& root = QString(), QWidget* owner = nullptr);

    // IDOK with GetFolderPath set to the chosen folder; IDCANCEL leaves the
    // path of an earlier choice as it was.
    int DoModal();
    QString GetFolderPath() const { return m_FolderPath; }

protected:
    // The dialog is shown.
    virtual void OnInit() {}
    // The current folder changed.
    virtual void OnSelChanged(const QString& folder) { (void)folder; }
    // The user accepted a name that is no existing folder. False keeps the
    // dialog open; true closes it as cancelled.
    virtual bool OnValidateFailed(const QString& typed) {
        (void)typed;
        return false;
    }

    void showEvent(QShowEvent* event) override;
    void accept() override;

private:
    QString m_FolderPath;
};
