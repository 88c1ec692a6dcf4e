// The program as it starts for a user, in the folder this executable lies in,
// ended once its main window has been painted. Spawned by
// tessaro-bench-startup, never run by hand.
//
// Usage: tessaro-startup-probe REPORT_FD

#include <QApplication>

#include "FirstPaint.h"
#include "app/UForms.h"
#include "app/UProgram.h"
#include "app/UTessaroneFirmWare.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const auto forms = app::startProgram(application);
    bench::FirstPaintReporter reporter(*forms->FTessaroneFirmWare, bench::reportFdFrom(argc, argv));
    return QApplication::exec();
}
