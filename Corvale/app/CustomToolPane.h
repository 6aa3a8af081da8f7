#pragma once
// A docking pane the main frame makes for a plug-in
// (CMainFrame::CreateCustomToolPane). The plug-in puts its own widgets into
// the pane's client widget, which keeps every child at its own full size.

#include <QDockWidget>

#include <string>

class CCustomToolPane : public QDockWidget {
public:
    CCustomToolPane(const QString& caption, QWidget* parent = nullptr);

    // The widget plug-ins put theirs into.
    QWidget* GetClientWidget() const { return m_Client; }
    // The client size the pane last had.
    int GetClientWidth() const { return m_ClientWidth; }
    int GetClientHeight() const { return m_ClientHeight; }
    const std::string& GetCaption() const { return m_Caption; }

private:
    class CClient;
    QWidget* m_Client = nullptr;
    int m_ClientWidth = 0;
    int m_ClientHeight = 0;
    std::string m_Caption;
};
