#pragma once

// When the desktop session ends, or a script stops the program, it is sent
// SIGTERM (or SIGHUP, SIGINT). Closing the windows then, as the "X" button
// does, keeps what closing guarantees: the settings file remembers the last
// project. Installed once, before the windows are created; the signal is taken
// up by the event loop, so no window code runs inside the signal handler.
namespace ui {

void closeWindowsOnTerminationSignals();

}  // namespace ui
