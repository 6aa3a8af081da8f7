#pragma once
// The Help button of the program's dialogs: a picture button that asks the
// application to show the help topic of its dialog. A button without a topic,
// or while the program has no way to show topics, is disabled.

#include <QPushButton>

#include <functional>

class CHelpButton : public QPushButton {
public:
    // Shows the topic with that help context id; false when it could not.
    using HelpHandler = std::function<bool(unsigned helpContext)>;
    static void SetHelpHandler(HelpHandler handler);
    static bool HasHelpHandler();

    explicit CHelpButton(unsigned helpContext = 0, QWidget* parent = nullptr);

    unsigned GetHelpContext() const { return m_HelpContext; }
    void SetHelpContext(unsigned helpContext);

protected:
    // A handler installed after the button was made counts once it shows.
    void showEvent(QShowEvent* event) override;

private:
    void UpdateEnabled();
    unsigned m_HelpContext = 0;
};
