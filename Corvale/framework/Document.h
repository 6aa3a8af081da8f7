#pragma once
// Documents and views of the multiple-document frame.
//
// A document is one open file (a workspace); its views show it. The document
// knows its path, title, modified flag and views; what it holds is the
// business of the derived class.

#include "framework/Messages.h"

#include <cstdint>
#include <string>
#include <vector>

class CArchive;
class CView;

class CDocument : public CCmdTarget {
public:
    CDocument();
    ~CDocument() override;

    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    const std::string& GetPathName() const { return m_PathName; }
    void SetPathName(const std::string& path);
    const std::string& GetTitle() const { return m_Title; }
    void SetTitle(const std::string& title) { m_Title = title; }

    virtual bool IsModified();
    virtual void SetModifiedFlag(bool modified = true);

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_Views; }
    // Tells every view but the sender to update itself.
    void UpdateAllViews(CView* sender, std::intptr_t hint = 0);

    // Resets the document to an empty one; true on success.
    virtual bool OnNewDocument();
    virtual void OnCloseDocument();
    // Whether the frame showing the document may close; the save prompt
    // belongs to the frame that asks.
    virtual bool CanCloseFrame();
    virtual void Serialize(CArchive& archive);

private:
    std::string m_PathName;
    std::string m_Title;
    bool m_Modified = false;
    std::vector<CView*> m_Views;
};

class CView : public CMessageWindow {
public:
    ~CView() override;
    CDocument* GetDocument() const { return m_Document; }
    // Called by the document when it is updated by someone else.
    virtual void OnUpdate(CView* sender, std::intptr_t hint);

private:
    friend class CDocument;
    CDocument* m_Document = nullptr;
};

// True while the document exists: panes that remember a document ask before
// they touch it again.
bool IsDocumentOpen(const CDocument* document);
