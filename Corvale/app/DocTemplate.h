#pragma once
// The workspace document type: the one template that knows the document's
// file type and keeps the list of open documents, and the document manager
// that holds the templates.
//
// Each document is shown in one child window (CChildFrame) of the main
// frame's MDI area, holding its map view (CGeoView). The template owns its
// documents: CloseDocument closes the child windows first, then the
// document, so that a view never outlives its document unknowingly and
// IsDocumentOpen turns false exactly when the document is deleted.

#include <string>
#include <vector>

class CCorvaleDoc;

class CMultiDocTemplate {
public:
    // The document string: "\nCorvale\nCorvale\nCorvale Workspaces (*.cvw)\n
    // .cvw\nCorvale.Document\nCorvale.Document".
    enum DocStringIndex {
        windowTitle = 0,
        docName = 1,
        fileNewName = 2,
        filterName = 3,
        filterExt = 4,
        regFileTypeId = 5,
        regFileTypeName = 6,
    };

    CMultiDocTemplate(unsigned resourceId, std::string docString);
    ~CMultiDocTemplate();

    CMultiDocTemplate(const CMultiDocTemplate&) = delete;
    CMultiDocTemplate& operator=(const CMultiDocTemplate&) = delete;

    unsigned GetResourceId() const { return m_ResourceId; }
    // One part of the document string; empty when absent.
    std::string GetDocString(DocStringIndex index) const;

    // Makes a new document and adds it to the list.
    CCorvaleDoc* CreateNewDocument();
    void AddDocument(CCorvaleDoc* document);
    // Takes the document off the list; it is not deleted.
    void RemoveDocument(CCorvaleDoc* document);
    const std::vector<CCorvaleDoc*>& GetDocuments() const { return m_Documents; }
    bool HoldsDocument(const CCorvaleDoc* document) const;

private:
    unsigned m_ResourceId;
    std::string m_DocString;
    std::vector<CCorvaleDoc*> m_Documents;
};

// The document manager: the templates, in the order they were added. The
// file dialogs of New and Open are the application's.
class CCorvaleDocManager {
public:
    CCorvaleDocManager() = default;
    ~CCorvaleDocManager();

    CCorvaleDocManager(const CCorvaleDocManager&) = delete;
    CCorvaleDocManager& operator=(const CCorvaleDocManager&) = delete;

    // Takes ownership.
    void AddDocTemplate(CMultiDocTemplate* docTemplate);
    const std::vector<CMultiDocTemplate*>& GetTemplates() const { return m_Templates; }
    // Every open document, template by template.
    std::vector<CCorvaleDoc*> GetOpenDocuments() const;
    int GetOpenDocumentCount() const;
    // The open document with this file, compared as canonical paths; null
    // when none.
    CCorvaleDoc* FindDocumentByPath(const std::string& path) const;

private:
    std::vector<CMultiDocTemplate*> m_Templates;
};
