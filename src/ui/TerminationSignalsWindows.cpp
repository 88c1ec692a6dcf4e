#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QWidget>

#include "ui/TerminationSignals.h"

namespace ui {
namespace {

// Windows ends a session by asking every top-level window (WM_QUERYENDSESSION)
// and then telling it (WM_ENDSESSION); once that message is answered the
// program is ended without any further notice. Everything closing keeps must
// therefore be written while the message is handled.
class SessionEndFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        if (eventType != "windows_generic_MSG" || message == nullptr) return false;
        const MSG& msg = *static_cast<const MSG*>(message);
        if (msg.message == WM_QUERYENDSESSION) {
            // The program holds nothing that would need the user's say: the
            // session may end.
            if (result) *result = TRUE;
            return true;
        }
        if (msg.message == WM_ENDSESSION && msg.wParam != FALSE) {
            // The message comes once per top-level window; once closed, the
            // windows are no longer visible and the next ones close nothing.
            // Modal windows first, so their event loops end before the main
            // window closes and writes the settings.
            while (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
                if (QApplication::activeModalWidget() == modal) break;
            }
            QApplication::closeAllWindows();
        }
        // Qt still sees the message (it then announces that it quits).
        return false;
    }
};

}  // namespace

void closeWindowsOnTerminationSignals() {
    static SessionEndFilter* filter = nullptr;
    if (filter) return;
    filter = new SessionEndFilter;
    qApp->installNativeEventFilter(filter);
}

}  // namespace ui
