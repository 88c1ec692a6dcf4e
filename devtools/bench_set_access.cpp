// Measures how long showing the Set Access window takes when both access
// tables are full (244 rows each, read from sdo.xml): the reading of
// pargen.xml and sdo.xml, the clearing and filling of both grids, and the
// window's first layout and paint. Offscreen; prints the median (as a figure
// line, see BenchFigure.h) and the worst of a number of showings.
//
// Usage: tessaro-bench-set-access [SHOWINGS]

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "BenchFigure.h"
#include "BenchProgram.h"
#include "app/UForms.h"
#include "documents/USetVar.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"
#include "ui/Style.h"

namespace {

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
    bench::useOffscreenPlatform();
    QApplication application(argc, argv);
    ui::applyLooks(application);
    const int showings = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;

    const bench::ProgramFolder program(
        {{QStringLiteral("pargen.xml"),
          "<Par_Gen><Profi_NB_IN>244</Profi_NB_IN><Profi_NB_OUT>244</Profi_NB_OUT></Par_Gen>"},
         {QStringLiteral("sdo.xml"), fullTables()}});
    app::TForms forms(program.path());
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
    if (!ui::Dialogs::records().isEmpty() || window.Sgb->cell(243, 4) != QStringLiteral("Register 244 of the line")) {
        std::fprintf(stderr, "the tables were not loaded\n");
        return 1;
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("Set Access, two tables of 244 rows: median %.2f ms, worst %.2f ms over %d showings\n",
                bench::median(milliseconds), milliseconds.back(), showings);
    bench::printFigure("Set Access shown, 2 x 244 rows", bench::median(milliseconds), "ms", std::nullopt, "<= 20");
    return 0;
}
