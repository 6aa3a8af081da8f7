#include "framework/Messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QVariant>
#include <map>
#include <mutex>

namespace {

// Each message number gets an event type of its own, so that the queued
// copies of one message can be dropped without touching the others.
QEvent::Type EventTypeFor(unsigned message) {
    static std::mutex lock;
    static std::map<unsigned, QEvent::Type> types;
    std::lock_guard<std::mutex> guard(lock);
    auto it = types.find(message);
    if (it != types.end())
        return it->second;
    const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    types.emplace(message, type);
    return type;
}

class CPostedMessageEvent : public QEvent {
public:
    CPostedMessageEvent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(EventTypeFor(message)), m_Message(message), m_WParam(wParam), m_LParam(lParam) {}
    unsigned m_Message;
    std::uintptr_t m_WParam;
    std::intptr_t m_LParam;
};

} // namespace

CMessageWindow::~CMessageWindow() = default;

std::intptr_t CMessageWindow::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t) {
    if (message == WM_COMMAND)
        OnCmdMsg(static_cast<unsigned>(wParam & 0xFFFF), nullptr);
    return 0;
}

bool CMessageWindow::IsWindowVisible() {
    QObject* object = GetMessageObject();
    return object != nullptr && object->property("visible").toBool();
}

std::intptr_t SendMessage(CMessageWindow* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return window != nullptr ? window->OnMessage(message, wParam, lParam) : 0;
}

bool PostMessage(CMessageWindow* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    QObject* object = window != nullptr ? window->GetMessageObject() : nullptr;
    if (object == nullptr)
        return false;
    QCoreApplication::postEvent(object, new CPostedMessageEvent(message, wParam, lParam));
    return true;
}

void RemovePostedMessages(CMessageWindow* window, unsigned message) {
    QObject* object = window != nullptr ? window->GetMessageObject() : nullptr;
    if (object != nullptr)
        QCoreApplication::removePostedEvents(object, EventTypeFor(message));
}

bool DispatchPostedMessage(CMessageWindow* window, QEvent* event) {
    auto* posted = dynamic_cast<CPostedMessageEvent*>(event);
    if (window == nullptr || posted == nullptr)
        return false;
    window->OnMessage(posted->m_Message, posted->m_WParam, posted->m_LParam);
    return true;
}
