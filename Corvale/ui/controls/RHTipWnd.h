#pragma once
// A small tracking tool tip: shown at the cursor with a text of at most 256
// characters, moved along with the cursor when asked to follow it. The edit
// list shows the top line with it while the scroll thumb is dragged.

#include <QString>

#include <string>

class QWidget;

class CRHTipWnd {
public:
    static constexpr int kTextLimit = 256;

    // The widget the tip belongs to.
    explicit CRHTipWnd(QWidget* owner) : m_Owner(owner) {}

    // Sets the text, cut at the limit.
    void SetText(const std::string& text);
    // Shows the tip at the cursor (the first time), or moves it there when
    // it follows the cursor.
    void Show();
    void Hide();
    bool IsCreated() const { return m_Created; }
    const QString& GetText() const { return m_Text; }

    bool m_LockSize = false;
    bool m_FollowCursor = true;

private:
    QWidget* m_Owner;
    QString m_Text;
    bool m_Created = false;
};
