#include <QApplication>

#include "app/UForms.h"
#include "app/UTessaroneFirmWare.h"
#include "platform/FileSystem.h"
#include "ui/Style.h"
#include "ui/TerminationSignals.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The application's name is its title for the desktop (task bar, message
    // boxes); it is not set as the display name, which would be appended to
    // every window caption.
    QApplication::setApplicationName(QStringLiteral("Firmware Tessaro"));
    ui::applyLooks(application);
    ui::closeWindowsOnTerminationSignals();

    app::TForms forms(platform::executableDirectory());
    forms.FTessaroneFirmWare->show();
    return QApplication::exec();
}
