#pragma once
// The document's update event: the list of subscribers that hear about every
// change of the workspace (the map view, the legend, the panes, the document
// itself), called in subscription order.
//
// A subscriber registers one member function; it is not called for events it
// sent itself. Senders pass themselves (a pane that changed something) or null
// (the document and its commands).

#include <cstdint>
#include <memory>
#include <vector>

enum DocumentUpdateCode : int {
    DUE_NewDocument = 0,
    DUE_ThemeAdded = 1,
    DUE_ExtentChanged = 3,
    DUE_ActiveThemeChanged = 4,
    DUE_ThemeStyleChanged = 5,
    DUE_FilterChanged = 6,
    DUE_VisibilityChanged = 7,
    DUE_ThemeRemoved = 8,
    DUE_SelectionChanged = 9,
    DUE_ThemeOrderChanged = 10,
    DUE_EditThemeProperties = 11,
    DUE_OptionsChanged = 14,
    DUE_ThemeDataChanged = 15,
    DUE_ThemeModifiedChanged = 16,
    DUE_ThemeRenamed = 17,
    DUE_InfoTipsChanged = 18,
    DUE_Refresh = 19,
    DUE_CoordinatesReversed = 20,
    DUE_EditModeChanged = 21,
    DUE_VertexSelected = 22,
    DUE_VertexAddedToSelection = 23,
    DUE_BookmarksChanged = 24,
    DUE_WorkspacePropertiesChanged = 25,
    DUE_SaveMapImage = 26,
    DUE_VertexSelectionCleared = 27,
    DUE_ColumnCommand = 28,
    DUE_GoToBookmark = 29,
    DUE_ZOrderChanged = 30,
    DUE_BoundingBoxesToggled = 31,
    DUE_ThemeFound = 34,
    DUE_SaveMapImageToFile = 35,
    DUE_ZoomToScale = 36,
};

// Data of DUE_SelectionChanged when no single shape is concerned.
constexpr std::intptr_t DUE_SELECTION_CLEARED = -1;
constexpr std::intptr_t DUE_SELECTION_NEW = -2;
constexpr std::intptr_t DUE_SELECTION_SEVERAL = -3;

class CDocumentUpdateEvent {
public:
    class event_handler_base {
    public:
        explicit event_handler_base(const void* subscriber) : m_Subscriber(subscriber) {}
        virtual ~event_handler_base() = default;
        virtual void Notify(const void* sender, int code, std::intptr_t data) = 0;

        const void* m_Subscriber;
        // Set when the handler was removed while a notification was running.
        bool m_Removed = false;
    };

    template <class T> class event_handler : public event_handler_base {
    public:
        using Method = void (T::*)(const void* sender, int code, std::intptr_t data);
        event_handler(T* object, Method method) : event_handler_base(object), m_Object(object), m_Method(method) {}
        void Notify(const void* sender, int code, std::intptr_t data) override {
            if (sender != static_cast<const void*>(m_Object))
                (m_Object->*m_Method)(sender, code, data);
        }

    private:
        T* m_Object;
        Method m_Method;
    };

    // Appends a subscription at the end of the list.
    template <class T> void AddHandler(T* subscriber, typename event_handler<T>::Method method) {
        m_Handlers.push_back(std::make_shared<event_handler<T>>(subscriber, method));
    }
    // Removes the first subscription of the subscriber; nothing when it has none.
    void RemoveHandler(const void* subscriber);
    // Notifies every subscriber in list order. The list is copied first, so a
    // subscriber may subscribe or unsubscribe (itself or another) while it is
    // notified: one removed during the round is not called any more, one added
    // is called from the next event on.
    void Fire(const void* sender, int code, std::intptr_t data) const;

    std::size_t GetCount() const { return m_Handlers.size(); }

private:
    std::vector<std::shared_ptr<event_handler_base>> m_Handlers;
};

// The same as CDocumentUpdateEvent::Fire, for callers holding the list.
void FireDocumentUpdateEvent(const CDocumentUpdateEvent& event, const void* sender, int code, std::intptr_t data);
