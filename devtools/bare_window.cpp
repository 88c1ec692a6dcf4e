// The least Qt Widgets program that shows a window with a label and a button:
// the anchor of the start-up benchmark, built with the program's flags. It
// draws text, so font set-up is paid on both sides of the comparison. Ends
// once the window has been painted.
//
// Usage: tessaro-bare-window REPORT_FD

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "FirstPaint.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Serial line to PROFIBUS DP slave"), &window));
    layout->addWidget(new QPushButton(QStringLiteral("OK"), &window));
    window.resize(400, 300);
    window.show();
    bench::FirstPaintReporter reporter(window, bench::reportFdFrom(argc, argv));
    return QApplication::exec();
}
