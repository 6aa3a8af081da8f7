#pragma once
// The dialog that offers to cancel a long-running script: shown by the script
// host two seconds into a run, kept on top in the screen's top-left corner,
// never taking the focus from the window the user works in.

#include <QDialog>

class CJSInterruptDialog : public QDialog {
public:
    explicit CJSInterruptDialog(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};
