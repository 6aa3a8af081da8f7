#include "framework/Document.h"

#include <algorithm>
#include <set>

namespace {

std::set<const CDocument*>& OpenDocuments() {
    static std::set<const CDocument*> documents;
    return documents;
}

} // namespace

CDocument::CDocument() { OpenDocuments().insert(this); }

CDocument::~CDocument() {
    OpenDocuments().erase(this);
    for (CView* view : m_Views)
        view->m_Document = nullptr;
}

void CDocument::SetPathName(const std::string& path) {
    m_PathName = path;
    const auto slash = path.find_last_of('/');
    m_Title = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool CDocument::IsModified() { return m_Modified; }

void CDocument::SetModifiedFlag(bool modified) { m_Modified = modified; }

void CDocument::AddView(CView* view) {
    if (view == nullptr || std::find(m_Views.begin(), m_Views.end(), view) != m_Views.end())
        return;
    if (view->m_Document != nullptr && view->m_Document != this)
        view->m_Document->RemoveView(view);
    m_Views.push_back(view);
    view->m_Document = this;
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(m_Views.begin(), m_Views.end(), view);
    if (it == m_Views.end())
        return;
    m_Views.erase(it);
    view->m_Document = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, std::intptr_t hint) {
    const std::vector<CView*> views = m_Views;
    for (CView* view : views)
        if (view != sender)
            view->OnUpdate(sender, hint);
}

bool CDocument::OnNewDocument() {
    m_PathName.clear();
    m_Title = "Untitled";
    m_Modified = false;
    return true;
}

void CDocument::OnCloseDocument() {}

bool CDocument::CanCloseFrame() { return true; }

void CDocument::Serialize(CArchive&) {}

CView::~CView() {
    if (m_Document != nullptr)
        m_Document->RemoveView(this);
}

void CView::OnUpdate(CView*, std::intptr_t) {}

bool IsDocumentOpen(const CDocument* document) {
    return document != nullptr && OpenDocuments().count(document) != 0;
}
