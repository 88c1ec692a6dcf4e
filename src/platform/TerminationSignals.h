#pragma once

#include <string_view>

// How this system asks a program to end: POSIX systems send a signal
// (SIGTERM, SIGHUP, SIGINT), Windows sends the end of the session as a window
// message. The windows' side (ui/TerminationSignals) turns either into closing
// the windows.
namespace platform {

// POSIX: installs handlers for SIGTERM, SIGHUP and SIGINT that only make a
// pipe readable, and answers the pipe's read end (close-on-exec, non-blocking);
// a second call answers the same end. Answers -1 where the system sends no
// such signals (Windows) or no pipe could be made.
int watchTerminationSignals();

// Reads what the signals left in the pipe of watchTerminationSignals, so that
// it is readable again only at the next signal.
void drainTerminationSignals(int descriptor);

// What a native window message of eventType means for the session.
enum class SessionMessage {
    Other,     // not about the end of the session
    QueryEnd,  // the system asks whether the session may end: answer yes
    End,       // the session ends: whatever closing keeps must be written now
};
// Windows: reads the MSG at message (WM_QUERYENDSESSION, WM_ENDSESSION with
// wParam true); POSIX: always Other.
SessionMessage sessionMessage(std::string_view eventType, const void* message);

}  // namespace platform
