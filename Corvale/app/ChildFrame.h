#pragma once
// The child window of one workspace in the main frame's MDI area: it holds
// the workspace's map view. Closing it closes the workspace, after asking
// whether to save a modified one.

#include <QMdiSubWindow>

class CCorvaleDoc;
class CGeoView;

class CChildFrame : public QMdiSubWindow {
public:
    CChildFrame(CCorvaleDoc* document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CCorvaleDoc* GetDocument() const { return m_Document; }
    CGeoView* GetView() const { return m_View; }
    // Shows the document's title, with a mark while it is modified.
    void UpdateTitle();
    // Closes without asking to save (the workspace is being replaced or the
    // program has asked already).
    void CloseWithoutAsking();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CCorvaleDoc* m_Document;
    CGeoView* m_View;
    bool m_AskToSave = true;
};
