#pragma once
// What the tests of the colour and style controls share: a window that
// records the messages its controls send it, mouse events sent straight to a
// widget, answering the next modal dialog, and the scratch settings store.

#include "framework/Messages.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct RecordedMessage {
    unsigned message;
    std::uint32_t colour;
    std::intptr_t lParam;
    bool operator==(const RecordedMessage& other) const {
        return message == other.message && colour == other.colour && lParam == other.lParam;
    }
};
std::ostream& operator<<(std::ostream& out, const RecordedMessage& m);

// A parent window that records every message it is sent.
class CMessageRecorder : public QWidget, public CMessageWindow {
public:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        messages.push_back({message, static_cast<std::uint32_t>(wParam), lParam});
        return 0;
    }
    std::vector<RecordedMessage> messages;
};

// A mouse event delivered directly to the widget (a popup grabs the mouse, so
// the window system's delivery would not be the test's to steer).
void SendMouse(QWidget* widget, int type, const QPoint& position, Qt::MouseButton button = Qt::LeftButton);

// Once a modal dialog is up, runs answer on it (the active modal widget); the
// answer fills it and accepts or rejects it. Fails the test when none comes.
void AnswerNextModal(std::function<void(QWidget*)> answer);

// Runs the deferred deletions (a popup deletes itself that way).
void FlushDeletes();

// The pixel as a COLORREF (0x00BBGGRR).
std::uint32_t ColourAt(const QImage& image, int x, int y);

// The scratch folder that XDG_CONFIG_HOME points at for the whole program.
const std::string& ConfigHome();
