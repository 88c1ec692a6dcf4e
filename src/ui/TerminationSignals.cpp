#include "ui/TerminationSignals.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include "platform/TerminationSignals.h"

namespace ui {
namespace {

void closeAllWindows() {
    // Modal windows first, so their event loops end before the main window
    // closes and writes the settings.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal) break;
    }
    QApplication::closeAllWindows();
}

// Everything closing keeps must be written while the end of the session is
// handled: the system ends the program right after, without further notice.
class SessionEndFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        switch (platform::sessionMessage(std::string_view(eventType.constData(), eventType.size()), message)) {
            case platform::SessionMessage::QueryEnd:
                // The program holds nothing that would need the user's say: the
                // session may end.
                if (result) *result = 1;
                return true;
            case platform::SessionMessage::End:
                // The message comes once per top-level window; once closed, the
                // windows are no longer visible and the next ones close nothing.
                closeAllWindows();
                break;
            case platform::SessionMessage::Other: break;
        }
        // Qt still sees the message (it then announces that it quits).
        return false;
    }
};

}  // namespace

void closeWindowsOnTerminationSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;

    // The signal handler only writes to a pipe, so no window code runs inside
    // it; the event loop takes the close up from there.
    const int descriptor = platform::watchTerminationSignals();
    if (descriptor >= 0) {
        auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, qApp, [descriptor] {
            platform::drainTerminationSignals(descriptor);
            closeAllWindows();
        });
    }
    // One filter for the run; it outlives the application object, and its
    // destructor leaves an application that is gone alone.
    static SessionEndFilter sessionEnd;
    qApp->installNativeEventFilter(&sessionEnd);
}

}  // namespace ui
