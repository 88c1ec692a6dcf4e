#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Isolated.h"

namespace platform {
namespace {

// Waits for the child until timeLimit has passed; answers whether it ended,
// with its status. Polls, as a child that ends has no descriptor to wait on
// together with a time-out.
bool waitWithin(pid_t child, std::chrono::milliseconds timeLimit, int& status) {
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    for (;;) {
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child) return true;
        if (ended < 0 && errno != EINTR) return true;  // nothing left to wait for
        if (std::chrono::steady_clock::now() >= deadline) return false;
        const timespec pause{0, 5'000'000};
        ::nanosleep(&pause, nullptr);
    }
}

}  // namespace

std::optional<std::string> endOfIsolatedRun(const std::function<void()>& work, std::chrono::milliseconds timeLimit) {
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        // A crash ends the child at once and quietly; the parent reports it.
        for (const int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) ::signal(signal, SIG_DFL);
        try {
            work();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    if (!waitWithin(child, timeLimit, status)) {
        // Work that hangs would hold the user's window for ever: end it, and
        // reap it so that no zombie stays behind.
        ::kill(child, SIGKILL);
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        return timeOutAfter(timeLimit);
    }
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) return "status " + std::to_string(WEXITSTATUS(status));
    return std::nullopt;
}

}  // namespace platform
