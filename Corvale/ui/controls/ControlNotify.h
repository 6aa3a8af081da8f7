#pragma once
// How the reusable controls talk to the window that owns them: a control
// sends its owner numbered messages synchronously (framework/Messages.h),
// and notifications in the WM_NOTIFY form, whose lParam points at a header
// naming the sender. The owner is the nearest ancestor widget that takes
// messages, unless the control was given one.

#include "framework/Messages.h"

#include <cstdint>
#include <string>

class QWidget;

constexpr unsigned WM_NOTIFY = 0x004E;

// Notification codes.
constexpr int NM_CLICK = -2;
// Header tool tip: the owner fills NotifyToolTipText::m_Text.
constexpr int TTN_GETDISPINFO = -530;

// The head of every notification record: the sending control, its id (its
// object name as a number) and the code.
struct NotifyHeader {
    QWidget* m_Window = nullptr;
    int m_ControlId = 0;
    int m_Code = 0;
};

// TTN_GETDISPINFO: asks for the tool-tip text of a heading.
struct NotifyToolTipText {
    NotifyHeader m_Header;
    // The heading index the tip is for.
    int m_Item = -1;
    // Left empty: no tip.
    std::string m_Text;
};

// The control id a control carries as its object name; 0 when the name is
// no number.
int GetControlId(const QWidget* control);

// The nearest ancestor of the control (the control excluded) that takes
// messages; null when none does.
CMessageWindow* FindOwnerWindow(const QWidget* control);

// Sends WM_NOTIFY with a header of the control and the code; the owner's answer.
std::intptr_t SendNotify(CMessageWindow* owner, QWidget* control, int code);
