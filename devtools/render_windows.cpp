// Renders every window of the program to PNG files, for a review of the looks.
// Usage: tessaro-render OUTPUT_FOLDER (run with QT_QPA_PLATFORM=offscreen).
// The windows work on a throw-away program folder with one sample project.

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/UForms.h"
#include "app/UTessaroneFirmWare.h"
#include "project/Unewp.h"
#include "ui/Dialogs.h"
#include "ui/Style.h"
#include "ui/UFolderChooser.h"
#include "update/UBootSer.h"

namespace {

int g_failures = 0;

void render(QWidget* window, const QString& folder, const QString& name) {
    window->show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (window->grab().save(path)) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++g_failures;
    }
    window->hide();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Firmware Tessaro"));
    ui::applyLooks(application);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaro-render OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    QTemporaryDir program;
    QDir(program.path()).mkpath(QStringLiteral("PROJECTS/Plant1/bin"));
    QDir(program.path()).mkpath(QStringLiteral("PROJECTS/Area/Line2"));
    QFile settings(QDir(program.path()).filePath(QStringLiteral("Tessaro_Ru2Doror.ini")));
    if (settings.open(QIODevice::WriteOnly)) settings.write("[lastproj]\r\nprojectname=/Plant1\r\n");
    settings.close();

    // Windows whose showing would ask the user something answer from here.
    ui::Dialogs::startRecording();

    // The firmware delivered with the program, so that "Generate Firmware" can run.
    QDir(program.path()).mkpath(QStringLiteral("MASTER"));
    QFile firmware(QDir(program.path()).filePath(QStringLiteral("MASTER/sx31570.sx")));
    if (firmware.open(QIODevice::WriteOnly)) firmware.write("S9030000FC\r\n");
    firmware.close();

    app::TForms forms(program.path().toStdString());
    // The port list comes from a folder of its own: the machine's devices are
    // never probed.
    QDir(program.path()).mkpath(QStringLiteral("devices"));
    forms.FBootSer->DeviceFolder = QDir(program.path()).filePath(QStringLiteral("devices")).toStdString();
    // One pseudo-terminal stands for a USB serial adapter in the port list.
    const int adapter = posix_openpt(O_RDWR | O_NOCTTY);
    if (adapter >= 0 && grantpt(adapter) == 0 && unlockpt(adapter) == 0) {
        QFile::link(QString::fromLocal8Bit(ptsname(adapter)),
                    QDir(program.path()).filePath(QStringLiteral("devices/ttyUSB0")));
    }
    const QStringList names{QStringLiteral("01-main-window"),
                            QStringLiteral("02-new-project"),
                            QStringLiteral("03-help"),
                            QStringLiteral("04-about"),
                            QStringLiteral("05-select-string"),
                            QStringLiteral("06-generate-firmware"),
                            QStringLiteral("07-set-communication"),
                            QStringLiteral("08-sdo-access"),
                            QStringLiteral("09-translate-pdo"),
                            QStringLiteral("10-translate-emcy"),
                            QStringLiteral("11-emcy-word"),
                            QStringLiteral("12-xml-reader-writer"),
                            QStringLiteral("13-store-pdo"),
                            QStringLiteral("14-set-access"),
                            QStringLiteral("15-set-pdo-access"),
                            QStringLiteral("16-update-wizard")};
    const QList<QWidget*> windows = forms.all();
    for (int i = 0; i < windows.size(); ++i) render(windows[i], out, names[i]);

    ui::TFFolderChooser chooser(forms.FTessaroneFirmWare, QStringLiteral("Select directory of project"),
                                QDir(program.path()).filePath(QStringLiteral("PROJECTS")),
                                QDir(program.path()).filePath(QStringLiteral("PROJECTS/Area/Line2")));
    render(&chooser, out, QStringLiteral("17-folder-chooser"));

    update::TFBootSer& wizard = *forms.FBootSer;
    wizard.show();
    wizard.PortTested = true;  // as after a successful Connect
    wizard.LbButton2Click();
    render(&wizard, out, QStringLiteral("18-update-wizard-options"));

    ui::Dialogs::stopRecording();
    if (adapter >= 0) close(adapter);
    return g_failures == 0 ? 0 : 1;
}
