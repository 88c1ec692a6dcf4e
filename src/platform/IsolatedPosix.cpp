#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Isolated.h"

namespace platform {

std::optional<std::string> endOfIsolatedRun(const std::function<void()>& work) {
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
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) return "status " + std::to_string(WEXITSTATUS(status));
    return std::nullopt;
}

}  // namespace platform
