#pragma once
// Private window messages between the program's windows.
//
// Messages keep their numbers (WM_COMMAND, 0x8000 and up). Sending is a direct
// call of the target's handler and returns its answer. Posting queues the
// message as a Qt event on the target's QObject and delivers it later on the
// user-interface thread; a target destroyed before then never receives it.

#include "framework/CommandTarget.h"

#include <cstdint>

class QEvent;
class QObject;

constexpr unsigned WM_COMMAND = 0x0111;

// A window that takes messages: the map view, the panes, the console.
class CMessageWindow : public CCmdTarget {
public:
    ~CMessageWindow() override;

    // Handles one message; the default answers 0 and, for WM_COMMAND, routes
    // the command id in wParam through OnCmdMsg.
    virtual std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    // The object posted messages are queued on; null when the window cannot
    // take posted messages (then posting fails).
    virtual QObject* GetMessageObject() { return nullptr; }
    // Whether the user can see the window now. The default asks the message
    // object's "visible" property; a window without an object cannot be seen.
    // A window that can be hidden in other ways (a docked pane whose tab is
    // behind another) answers for itself.
    virtual bool IsWindowVisible();
};

std::intptr_t SendMessage(CMessageWindow* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
// False when there is no window or it takes no posted messages.
bool PostMessage(CMessageWindow* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
// Drops every copy of the message still queued for the window.
void RemovePostedMessages(CMessageWindow* window, unsigned message);
// To be called from the message object's event(): delivers a posted message
// to the window and answers true, or answers false for any other event.
bool DispatchPostedMessage(CMessageWindow* window, QEvent* event);
