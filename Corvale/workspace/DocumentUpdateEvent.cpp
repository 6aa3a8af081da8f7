#include "workspace/DocumentUpdateEvent.h"

#include <algorithm>

void CDocumentUpdateEvent::RemoveHandler(const void* subscriber) {
    auto it = std::find_if(m_Handlers.begin(), m_Handlers.end(),
                           [subscriber](const auto& h) { return h->m_Subscriber == subscriber; });
    if (it == m_Handlers.end())
        return;
    (*it)->m_Removed = true;
    m_Handlers.erase(it);
}

void CDocumentUpdateEvent::Fire(const void* sender, int code, std::intptr_t data) const {
    const auto snapshot = m_Handlers;
    for (const auto& handler : snapshot)
        if (!handler->m_Removed)
            handler->Notify(sender, code, data);
}

void FireDocumentUpdateEvent(const CDocumentUpdateEvent& event, const void* sender, int code, std::intptr_t data) {
    event.Fire(sender, code, data);
}
