#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "platform/TerminationSignals.h"

namespace platform {

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here; a full pipe means a close is pending anyway.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

int watchTerminationSignals() {
    if (g_signalPipe[0] >= 0) return g_signalPipe[0];
    if (::pipe(g_signalPipe) != 0) {
        g_signalPipe[0] = g_signalPipe[1] = -1;
        return -1;
    }
    for (const int end : g_signalPipe) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, O_NONBLOCK);
    }
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
    return g_signalPipe[0];
}

void drainTerminationSignals(int descriptor) {
    char bytes[16];
    while (::read(descriptor, bytes, sizeof bytes) > 0) {
    }
}

SessionMessage sessionMessage(std::string_view, const void*) {
    return SessionMessage::Other;
}

}  // namespace platform
