#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "ui/Dialogs.h"
#include "workspace/Workspace.h"

namespace ui {

// What a window may use of the run besides its own controls: the workspace
// strings, the settings of the workbook chooser of the import (whose initial
// folder follows the current project), the run-and-wait operation of the
// program and the one-line text editor. Windows get this instead of the main window.
struct WindowContext {
    workspace::Workspace& workspace;
    FileChooserSettings& OpenExcel;
    // Starts program with arguments and waits for its end (bounded); answers
    // how the run went, for the caller to report. hideWindow asks for the
    // program's window to be hidden.
    std::function<platform::RunOutcome(const std::string& program, const std::vector<std::string>& arguments,
                                       bool hideWindow)>
        RunAndWait;
    // Lets the user edit one line of text in the New project dialog (its text
    // mode): the edited text on OK, nothing on Cancel.
    std::function<std::optional<QString>(const QString& text)> EditText;
};

}  // namespace ui
