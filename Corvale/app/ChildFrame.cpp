#include "app/ChildFrame.h"

#include "app/CorvaleApp.h"
#include "view/GeoView.h"
#include "workspace/CorvaleDoc.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CCorvaleDoc* document, QWidget* parent) : QMdiSubWindow(parent), m_Document(document) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_View = new CGeoView(document, this);
    setWidget(m_View);
    setMinimumSize(200, 150);
    UpdateTitle();
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::UpdateTitle() {
    if (m_Document == nullptr)
        return;
    std::string title = m_Document->GetTitle();
    if (title.empty())
        title = "Untitled";
    // Setting the same modified mark again still tells the area's tab, which
    // repaints: only a change is passed on.
    const QString text = QString::fromStdString(title) + QStringLiteral("[*]");
    if (windowTitle() != text)
        setWindowTitle(text);
    if (isWindowModified() != m_Document->IsModified())
        setWindowModified(m_Document->IsModified());
}

void CChildFrame::CloseWithoutAsking() {
    m_AskToSave = false;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    CCorvaleApp* app = CCorvaleApp::GetInstance();
    if (m_Document != nullptr && m_AskToSave && app != nullptr && !app->SaveModified(m_Document)) {
        m_AskToSave = true;
        event->ignore();
        return;
    }
    // The view goes before its document, so that it unsubscribes from a
    // document that still exists.
    CGeoView* view = m_View;
    m_View = nullptr;
    setWidget(nullptr);
    delete view;
    CCorvaleDoc* document = m_Document;
    m_Document = nullptr;
    if (document != nullptr && app != nullptr) {
        app->CloseDocumentNow(document);
    } else if (document != nullptr) {
        document->OnCloseDocument();
        delete document;
    }
    event->accept();
}
