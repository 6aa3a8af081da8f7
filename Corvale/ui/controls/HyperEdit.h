#pragma once
// A multi-line text that shows the links in it underlined and coloured,
// shows a hand over them and opens the one clicked. A link is a word
// (split at blanks, CR, LF and TAB) that IsHyperlink accepts.

#include <QColor>
#include <QPlainTextEdit>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CHyperEdit : public QPlainTextEdit {
public:
    explicit CHyperEdit(QWidget* parent = nullptr);

    // Whether a word is a link: "http://", "https://", "mailto:", "file:"
    // or "www." at its start, in any case.
    virtual bool IsHyperlink(const std::string& word) const;
    // Opens a link with the desktop's handler; false when none took it.
    bool GotoURL(const std::string& link);
    // The links of the text as (start, length) in characters.
    std::vector<std::pair<int, int>> FindLinks() const;
    // The link under a point of the viewport; empty when none, or when the
    // point is below the text.
    std::string LinkAt(const QPoint& point) const;

    // Opens a link; the desktop's handler unless replaced.
    std::function<bool(const std::string& link)> m_OpenLink;

    static const QColor kLinkColor;
    static const QColor kHoverColor;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Marks the links, the one under the mouse in the hover colour.
    void RefreshLinks();
    bool IsBelowText(const QPoint& point) const;
    int LinkIndexAt(const QPoint& point) const;

    std::vector<std::pair<int, int>> m_Links;
    int m_Hover = -1;
    std::string m_Pressed;
};
