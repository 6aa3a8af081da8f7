#pragma once
// A small observer: an event keeps a list of handlers and, when fired, calls
// each in list order with the sender and a value. A handler bound to an
// object and one of its member functions skips events that object sent
// itself.

#include <memory>
#include <vector>

namespace TK {

template <typename T>
class event_handler_base {
public:
    virtual ~event_handler_base() = default;
    virtual void Notify(const void* sender, const T& value) = 0;
};

template <typename Subscriber, typename T>
class event_handler : public event_handler_base<T> {
public:
    using Member = void (Subscriber::*)(const T&);
    event_handler(Subscriber* subscriber, Member member) : m_Subscriber(subscriber), m_Member(member) {}
    void Notify(const void* sender, const T& value) override {
        if (sender != m_Subscriber)
            (m_Subscriber->*m_Member)(value);
    }

private:
    Subscriber* m_Subscriber;
    Member m_Member;
};

template <typename T>
class Event {
public:
    template <typename Subscriber>
    void Subscribe(Subscriber* subscriber, void (Subscriber::*member)(const T&)) {
        m_Handlers.push_back(std::make_unique<event_handler<Subscriber, T>>(subscriber, member));
    }
    void Fire(const void* sender, const T& value) const {
        for (const auto& handler : m_Handlers)
            handler->Notify(sender, value);
    }

private:
    std::vector<std::unique_ptr<event_handler_base<T>>> m_Handlers;
};

} // namespace TK
