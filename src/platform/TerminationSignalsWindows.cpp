#include <windows.h>

#include "platform/TerminationSignals.h"

namespace platform {

// Windows ends a program by ending the session, as a message, not by a signal.
int watchTerminationSignals() {
    return -1;
}

void drainTerminationSignals(int) {}

// Windows ends a session by asking every top-level window (WM_QUERYENDSESSION)
// and then telling it (WM_ENDSESSION); once that message is answered the
// program is ended without any further notice.
SessionMessage sessionMessage(std::string_view eventType, const void* message) {
    if (eventType != "windows_generic_MSG" || message == nullptr) return SessionMessage::Other;
    const MSG& msg = *static_cast<const MSG*>(message);
    if (msg.message == WM_QUERYENDSESSION) return SessionMessage::QueryEnd;
    if (msg.message == WM_ENDSESSION && msg.wParam != FALSE) return SessionMessage::End;
    return SessionMessage::Other;
}

}  // namespace platform
