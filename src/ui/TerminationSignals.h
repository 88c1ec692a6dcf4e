#pragma once

// When the desktop session ends, or a script stops the program, the windows
// are closed as the "X" button closes them, which keeps what closing
// guarantees: the settings file remembers the last project. On POSIX systems
// that is SIGTERM (or SIGHUP, SIGINT), taken up by the event loop so that no
// window code runs inside the signal handler; on Windows it is the end of the
// session (WM_ENDSESSION), after which the system ends the program. Installed
// once, before the windows are created.
namespace ui {

void closeWindowsOnTerminationSignals();

}  // namespace ui
