// Renders every window of the program to PNG files, for a review of the looks.
// Usage: tessaro-render OUTPUT_FOLDER (run with QT_QPA_PLATFORM=offscreen).
// The windows work on a throw-away program folder with one sample project.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "RenderAdapter.h"
#include "app/UForms.h"
#include "app/UTessaroneFirmWare.h"
#include "documents/Upargen.h"
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
    forms.window<update::TFBootSer>()->DeviceFolder =
        QDir(program.path()).filePath(QStringLiteral("devices")).toStdString();
    // One stand-in serial adapter in the port list, where the system allows.
    const StandInAdapter adapter(QDir(program.path()).filePath(QStringLiteral("devices")));
    // Pictures are named by creation order and object name: 14-FSetVar.png.
    const QList<QWidget*> windows = forms.all();
    for (int i = 0; i < windows.size(); ++i) {
        render(windows[i], out,
               QStringLiteral("%1-%2").arg(i + 1, 2, 10, QLatin1Char('0')).arg(windows[i]->objectName()));
    }

    ui::TFFolderChooser chooser(forms.FTessaroneFirmWare, QStringLiteral("Select directory of project"),
                                QDir(program.path()).filePath(QStringLiteral("PROJECTS")),
                                QDir(program.path()).filePath(QStringLiteral("PROJECTS/Area/Line2")));
    render(&chooser, out, QStringLiteral("17-FolderChooser"));

    update::TFBootSer& wizard = *forms.window<update::TFBootSer>();
    wizard.show();
    wizard.PortTested = true;  // as after a successful Connect
    wizard.LbButton2Click();
    render(&wizard, out, QStringLiteral("18-FBootSer-options"));

    // The open Baudrate list with the pointer over an item.
    documents::TFpargen& pargen = *forms.window<documents::TFpargen>();
    pargen.show();
    QApplication::processEvents();
    pargen.CB_Ser_Baud->showPopup();
    QApplication::processEvents();
    QAbstractItemView* list = pargen.CB_Ser_Baud->view();
    const QPoint pointer = list->visualRect(list->model()->index(2, 0)).center();
    QMouseEvent move(QEvent::MouseMove, pointer, list->viewport()->mapToGlobal(pointer), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    QApplication::processEvents();
    const QString listPath = QDir(out).filePath(QStringLiteral("19-Fpargen-open-list.png"));
    if (list->window()->grab().save(listPath)) {
        std::printf("%s\n", qPrintable(listPath));
    } else {
        ++g_failures;
    }
    pargen.CB_Ser_Baud->hidePopup();
    pargen.hide();

    ui::Dialogs::stopRecording();
    return g_failures == 0 ? 0 : 1;
}
