#pragma once
// An edit box that tells its owner of every character typed: after the
// character is processed the owner gets WM_NOTIFY with NEN_CharTyped.

#include <QLineEdit>

constexpr int NEN_CharTyped = 1024;

class CNotifyEdit : public QLineEdit {
public:
    explicit CNotifyEdit(QWidget* parent = nullptr, int controlId = 0);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
