#include <QApplication>

#include "app/UForms.h"
#include "app/UTessaroneFirmWare.h"
#include "platform/FileSystem.h"
#include "ui/Style.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Firmware Tessaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Firmware Tessaro"));
    ui::applyLooks(application);

    app::TForms forms(platform::executableDirectory());
    forms.FTessaroneFirmWare->show();
    return QApplication::exec();
}
