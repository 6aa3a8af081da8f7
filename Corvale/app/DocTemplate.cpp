#include "app/DocTemplate.h"

#include "workspace/CorvaleDoc.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

CMultiDocTemplate::CMultiDocTemplate(unsigned resourceId, std::string docString)
    : m_ResourceId(resourceId), m_DocString(std::move(docString)) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    // Documents still open at this point have no window any more.
    for (CCorvaleDoc* document : m_Documents)
        delete document;
    m_Documents.clear();
}

std::string CMultiDocTemplate::GetDocString(DocStringIndex index) const {
    std::size_t start = 0;
    for (int i = 0; i < static_cast<int>(index); ++i) {
        const std::size_t next = m_DocString.find('\n', start);
        if (next == std::string::npos)
            return std::string();
        start = next + 1;
    }
    const std::size_t end = m_DocString.find('\n', start);
    return m_DocString.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

CCorvaleDoc* CMultiDocTemplate::CreateNewDocument() {
    auto* document = new CCorvaleDoc();
    AddDocument(document);
    return document;
}

void CMultiDocTemplate::AddDocument(CCorvaleDoc* document) {
    if (document != nullptr && !HoldsDocument(document))
        m_Documents.push_back(document);
}

void CMultiDocTemplate::RemoveDocument(CCorvaleDoc* document) {
    const auto it = std::find(m_Documents.begin(), m_Documents.end(), document);
    if (it != m_Documents.end())
        m_Documents.erase(it);
}

bool CMultiDocTemplate::HoldsDocument(const CCorvaleDoc* document) const {
    return std::find(m_Documents.begin(), m_Documents.end(), document) != m_Documents.end();
}

CCorvaleDocManager::~CCorvaleDocManager() {
    for (CMultiDocTemplate* docTemplate : m_Templates)
        delete docTemplate;
    m_Templates.clear();
}

void CCorvaleDocManager::AddDocTemplate(CMultiDocTemplate* docTemplate) {
    if (docTemplate != nullptr)
        m_Templates.push_back(docTemplate);
}

std::vector<CCorvaleDoc*> CCorvaleDocManager::GetOpenDocuments() const {
    std::vector<CCorvaleDoc*> documents;
    for (const CMultiDocTemplate* docTemplate : m_Templates)
        documents.insert(documents.end(), docTemplate->GetDocuments().begin(), docTemplate->GetDocuments().end());
    return documents;
}

int CCorvaleDocManager::GetOpenDocumentCount() const { return static_cast<int>(GetOpenDocuments().size()); }

CCorvaleDoc* CCorvaleDocManager::FindDocumentByPath(const std::string& path) const {
    if (path.empty())
        return nullptr;
    std::error_code error;
    const std::filesystem::path wanted = std::filesystem::weakly_canonical(path, error);
    if (error)
        return nullptr;
    for (CCorvaleDoc* document : GetOpenDocuments()) {
        if (document->GetPathName().empty())
            continue;
        std::error_code other;
        if (std::filesystem::weakly_canonical(document->GetPathName(), other) == wanted && !other)
            return document;
    }
    return nullptr;
}
