// Measures how long showing the Set Access window takes when both access
// tables are full (244 rows each, read from sdo.xml): the reading of
// pargen.xml and sdo.xml, the clearing and filling of both grids, and the
// window's first layout and paint. Offscreen; prints the median and the worst
// of a number of showings.
//
// Usage: tessaro-bench-set-access [SHOWINGS]

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/UForms.h"
#include "documents/USetVar.h"
#include "ui/Dialogs.h"
#include "ui/Style.h"

namespace {

void write(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QByteArray fullTables() {
    QByteArray text = "<Serial_to_ProfiBus>";
    for (const char* group : {"ProfiBUS_IN", "ProfiBUS_OUT"}) {
        text += QByteArray("<") + group + ">";
        for (int r = 1; r <= 244; ++r) {
            text += "<row Address=\"" + QByteArray::number(40000 + r) + "\" Add_Profi_Hi=\"" +
                    QByteArray::number(r % 244) + "\" Add_Profi_Lo=\"" + QByteArray::number((r + 1) % 244) +
                    "\" Mnemonic=\"Register " + QByteArray::number(r) + " of the line\"/>";
        }
        text += QByteArray("</") + group + ">";
    }
    return text + "</Serial_to_ProfiBus>";
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ui::applyLooks(application);
    const int showings = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;

    QTemporaryDir program;
    const QDir folder(program.path());
    folder.mkpath(QStringLiteral("PROJECTS/Plant1/bin"));
    write(folder.filePath(QStringLiteral("Tessaro_Ru2Doror.ini")), "[lastproj]\r\nprojectname=/Plant1\r\n");
    write(folder.filePath(QStringLiteral("PROJECTS/Plant1/pargen.xml")),
          "<Par_Gen><Profi_NB_IN>244</Profi_NB_IN><Profi_NB_OUT>244</Profi_NB_OUT></Par_Gen>");
    write(folder.filePath(QStringLiteral("PROJECTS/Plant1/sdo.xml")), fullTables());

    ui::Dialogs::startRecording();  // a failure would be recorded, never block
    app::TForms forms(program.path().toStdString());
    documents::TFSetVar& window = *forms.window<documents::TFSetVar>();

    std::vector<double> milliseconds;
    for (int i = 0; i < showings; ++i) {
        const auto start = std::chrono::steady_clock::now();
        window.show();
        window.repaint();
        const auto end = std::chrono::steady_clock::now();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        window.hide();
        QApplication::processEvents();
    }
    if (!ui::Dialogs::records().isEmpty() ||
        documents::TFSetVar::cell(window.Sgb, 4, 244) != QStringLiteral("Register 244 of the line")) {
        std::fprintf(stderr, "the tables were not loaded\n");
        return 1;
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("Set Access, two tables of 244 rows: median %.2f ms, worst %.2f ms over %d showings\n",
                milliseconds[milliseconds.size() / 2], milliseconds.back(), showings);
    return 0;
}
