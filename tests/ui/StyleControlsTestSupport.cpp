#include "StyleControlsTestSupport.h"

#include "TempDir.h"
#include "core/ColorRef.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// QSettings reads XDG_CONFIG_HOME once, when the first QSettings is made, so
// it is pointed at a scratch folder during static initialisation.
struct ScratchConfigHome {
    ScratchConfigHome() { ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1); }
    TempDir dir;
};

ScratchConfigHome& TheConfigHome() {
    static ScratchConfigHome home;
    return home;
}

const ScratchConfigHome& g_configHomeSetEarly = TheConfigHome();

void PollForModal(std::shared_ptr<std::function<void(QWidget*)>> answer, int triesLeft) {
    QTimer::singleShot(10, [answer, triesLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr) {
            (*answer)(modal);
            return;
        }
        if (triesLeft > 0) {
            PollForModal(answer, triesLeft - 1);
            return;
        }
        ADD_FAILURE() << "no modal dialog came up";
    });
}

} // namespace

std::ostream& operator<<(std::ostream& out, const RecordedMessage& m) {
    return out << "{" << m.message << ", 0x" << std::hex << m.colour << std::dec << ", " << m.lParam << "}";
}

void SendMouse(QWidget* widget, int type, const QPoint& position, Qt::MouseButton button) {
    const auto eventType = static_cast<QEvent::Type>(type);
    const Qt::MouseButton eventButton = eventType == QEvent::MouseMove ? Qt::NoButton : button;
    const Qt::MouseButtons held = eventType == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(eventType, QPointF(position), QPointF(widget->mapToGlobal(position)), eventButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void AnswerNextModal(std::function<void(QWidget*)> answer) {
    PollForModal(std::make_shared<std::function<void(QWidget*)>>(std::move(answer)), 200);
}

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

std::uint32_t ColourAt(const QImage& image, int x, int y) { return ColorRefFromRgb(image.pixel(x, y)); }

const std::string& ConfigHome() { return TheConfigHome().dir.path(); }
