// A bare Qt Widgets program that shows one empty window: the anchor of the
// start-up benchmark, built with the program's flags. Ends once the window has
// been painted.
//
// Usage: tessaro-bare-window REPORT_FD

#include <QApplication>
#include <QWidget>

#include "FirstPaint.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(400, 300);
    window.show();
    bench::FirstPaintReporter reporter(window, bench::reportFdFrom(argc, argv));
    return QApplication::exec();
}
