#pragma once

#include <memory>
#include <string>

class QApplication;

namespace app {

struct TForms;

// Starts the program in application: sets its name and looks, lets the
// termination signals close the windows, creates the main window for the
// folder of the running executable and shows it; the event loop creates the
// other windows right after its first paint. The caller runs the event loop
// while the answer lives. Throws std::runtime_error when the system cannot
// tell the executable's folder.
std::unique_ptr<TForms> startProgram(QApplication& application);
// The same for the program folder programDir.
std::unique_ptr<TForms> startProgram(QApplication& application, const std::string& programDir);

}  // namespace app
