#pragma once

#include <memory>

class QApplication;

namespace app {

struct TForms;

// Starts the program in application: sets its name and looks, lets the
// termination signals close the windows, creates every window for the folder
// of the running executable and shows the main window. The caller runs the
// event loop while the answer lives. Throws std::runtime_error when the
// system cannot tell the executable's folder.
std::unique_ptr<TForms> startProgram(QApplication& application);

}  // namespace app
