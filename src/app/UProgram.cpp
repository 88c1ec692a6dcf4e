#include "app/UProgram.h"

#include <QApplication>

#include "app/UForms.h"
#include "app/UTessaroneFirmWare.h"
#include "platform/FileSystem.h"
#include "ui/Style.h"
#include "ui/TerminationSignals.h"

namespace app {

std::unique_ptr<TForms> startProgram(QApplication& application) {
    // The application's name is its title for the desktop (task bar, message
    // boxes); it is not set as the display name, which would be appended to
    // every window caption.
    QApplication::setApplicationName(QStringLiteral("Firmware Tessaro"));
    ui::applyLooks(application);
    ui::closeWindowsOnTerminationSignals();

    auto forms = std::make_unique<TForms>(platform::executableDirectory());
    forms->FTessaroneFirmWare->show();
    return forms;
}

}  // namespace app
