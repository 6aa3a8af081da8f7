#pragma once
// A tool tip that belongs to one window and keeps its own text: the map
// view's information tip (what lies under the pointer) and its help hint
// (what the current tool expects), each shown beside the pointer while it is
// active and has a text.

#include <QPointer>

#include <cstdint>
#include <memory>
#include <string>

class QLabel;
class QWidget;

class CViewTip {
public:
    CViewTip();
    ~CViewTip();
    CViewTip(const CViewTip&) = delete;
    CViewTip& operator=(const CViewTip&) = delete;

    // Makes the tip for the owner window. background: a COLORREF, or a
    // negative value for the style's tool-tip colours.
    void Create(QWidget* owner, bool active, int maxWidth, std::int64_t background = -1);
    bool Exists() const { return m_Created; }
    void Destroy();

    void Activate(bool active);
    bool IsActive() const { return m_Active; }
    // Replaces the text; an active tip with a text shows it by the pointer.
    void SetText(const std::string& text);
    const std::string& GetText() const { return m_Text; }
    // Hides the tip until its text is set again.
    void Pop();

private:
    void Refresh();

    bool m_Created = false;
    bool m_Active = false;
    int m_MaxWidth = 0;
    std::int64_t m_Background = -1;
    std::string m_Text;
    QPointer<QWidget> m_Owner;
    std::unique_ptr<QLabel> m_Label;
};
