#include "ui/TerminationSignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace ui {

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here; a full pipe means a close is pending anyway.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

void closeWindowsOnTerminationSignals() {
    if (g_signalPipe[0] >= 0) return;
    if (::pipe(g_signalPipe) != 0) return;
    for (const int end : g_signalPipe) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, O_NONBLOCK);
    }

    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        // Modal windows first, so their event loops end before the main window
        // closes and writes the settings.
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
            if (QApplication::activeModalWidget() == modal) break;
        }
        QApplication::closeAllWindows();
    });

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
}

}  // namespace ui
