#pragma once
// A toolbar of the main frame. Plug-ins get theirs from the frame
// (CMainFrame::CreatePluginToolbar); the frame remembers, per button, which
// plug-in it belongs to and the plug-in's own id of it.

#include <QToolBar>

#include <cstdint>

class CCorvaleToolBar : public QToolBar {
public:
    // owner: the identity of the plug-in the toolbar was made for; 0 for the
    // program's own toolbars.
    CCorvaleToolBar(const QString& title, std::uint32_t owner, QWidget* parent = nullptr)
        : QToolBar(title, parent), m_Owner(owner) {}

    std::uint32_t GetOwner() const { return m_Owner; }

private:
    std::uint32_t m_Owner = 0;
};
