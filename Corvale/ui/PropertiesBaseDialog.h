#pragma once
// The base of the property pages shown in a tab control (the pages of the
// theme properties). A page is a child dialog without a caption: its owner
// fills the page's value members, lets it open (InitDialog, also run when the
// page is first shown), and on its own OK calls UpdateData(true) and reads the
// members back. A page never writes into the theme itself.
//
// A page is a message window: the colour buttons on it report to it with
// their PCM_* messages.

#include "framework/Messages.h"

#include <QDialog>

class QTabWidget;

class CPropertiesBaseDialog : public QDialog, public CMessageWindow {
public:
    explicit CPropertiesBaseDialog(QWidget* parent = nullptr);
    ~CPropertiesBaseDialog() override;

    // The tab control the page sits on (not owned); the page lets it show
    // through its own background. Null detaches it.
    virtual void SetTabControl(QTabWidget* tabControl);
    virtual QTabWidget* GetTabControl() const;

    // Moves the members into the controls, once.
    void InitDialog();
    // true: reads the controls into the members, false when a value is not
    // acceptable (a message has then been shown); false: fills the controls.
    virtual bool UpdateData(bool saveAndValidate);

    QObject* GetMessageObject() override { return this; }

protected:
    virtual void OnInitDialog() {}
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTabWidget* m_TabControl = nullptr;
    bool m_Initialised = false;
};
