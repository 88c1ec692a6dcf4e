// Shows one window of the program for a review, also one that no button opens.
// Usage: tessaro-window CLASS   (for example tessaro-window TFSetVar)
//
// Runs the program's whole start-up with the folder of this executable as the
// program folder (MASTER, PROJECTS, the settings file, the current project,
// every window), then shows the window of class CLASS modally instead of the
// main window. The run ends when that window closes; the settings file is
// never written.

#include <QApplication>
#include <QDialog>
#include <cstdio>

#include "app/UForms.h"
#include "app/UTessaroneFirmWare.h"
#include "platform/FileSystem.h"
#include "ui/Style.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: tessaro-window CLASS\nclasses:");
    for (const app::WindowEntry& each : app::windowList()) std::fprintf(stderr, " %s", qPrintable(each.className));
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Firmware Tessaro"));
    if (argc != 2 || !app::findWindow(QString::fromLocal8Bit(argv[1]))) return usage();
    ui::applyLooks(application);

    app::TForms forms(platform::executableDirectory());
    forms.FTessaroneFirmWare->keepSettingsFile();
    QWidget* window = forms.byClass(QString::fromLocal8Bit(argv[1]));
    if (auto* dialog = qobject_cast<QDialog*>(window)) return dialog->exec() >= 0 ? 0 : 1;
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return QApplication::exec();
}
