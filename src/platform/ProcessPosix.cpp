#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/Process.h"

extern char** environ;

namespace platform {
namespace {

class PosixProcess final : public StartedProcess {
public:
    enum class Phase { Starting, Failed, Running, Ended };

    int processId() const override {
        std::lock_guard lock(m_lock);
        return m_pid;
    }
    bool hasEnded() const override {
        std::lock_guard lock(m_lock);
        return m_phase == Phase::Ended;
    }
    bool waitForEnd(std::chrono::milliseconds timeout) const override {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, timeout, [this] { return m_phase == Phase::Ended; });
    }
    std::optional<int> exitCode() const override {
        std::lock_guard lock(m_lock);
        if (m_phase != Phase::Ended) return std::nullopt;
        return m_exitCode;
    }

    void enter(Phase phase, pid_t pid = -1, int exitCode = 0) {
        {
            std::lock_guard lock(m_lock);
            m_phase = phase;
            if (pid > 0) m_pid = pid;
            m_exitCode = exitCode;
        }
        m_changed.notify_all();
    }
    Phase awaitStart() const {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return m_phase != Phase::Starting; });
        return m_phase;
    }

private:
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    Phase m_phase = Phase::Starting;
    pid_t m_pid = -1;
    int m_exitCode = 0;
};

int spawn(const std::string& program, const std::vector<std::string>& arguments, pid_t& pid) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The child starts with no blocked signals and SIGPIPE at its default,
    // whatever this program's threads have set up for themselves.
    posix_spawnattr_t attributes;
    if (const int error = ::posix_spawnattr_init(&attributes)) return error;
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int error = ::posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv.data(), environ);
    ::posix_spawnattr_destroy(&attributes);
    return error;
}

// Runs on a thread of its own: starts the program, then waits for its end,
// which also reaps it.
void startAndReap(const std::shared_ptr<PosixProcess>& process, const std::string& program,
                  const std::vector<std::string>& arguments) {
    pid_t pid = -1;
    if (spawn(program, arguments, pid) != 0) {
        process->enter(PosixProcess::Phase::Failed);
        return;
    }
    process->enter(PosixProcess::Phase::Running, pid);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const int exitCode = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    process->enter(PosixProcess::Phase::Ended, -1, exitCode);
}

}  // namespace

std::uint32_t tickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::shared_ptr<StartedProcess> startProgram(const std::string& program, const std::vector<std::string>& arguments) {
    try {
        auto process = std::make_shared<PosixProcess>();
        // The thread exists before the child does, so no child is ever left
        // without somebody to reap it.
        std::thread(startAndReap, process, program, arguments).detach();
        if (process->awaitStart() == PosixProcess::Phase::Failed) return nullptr;
        return process;
    } catch (...) {
        return nullptr;
    }
}

bool startWithoutWaiting(const std::string& program, const std::vector<std::string>& arguments) {
    return startProgram(program, arguments) != nullptr;
}

RunOutcome runAndWait(const std::string& program, const std::vector<std::string>& arguments,
                      [[maybe_unused]] bool hideWindow, std::uint32_t boundMilliseconds,
                      const std::function<std::uint32_t()>& tick) {
    RunOutcome outcome;
    try {
        const std::shared_ptr<StartedProcess> child = startProgram(program, arguments);
        if (!child) return outcome;
        outcome.started = true;
        const std::uint32_t start = tick();
        const std::chrono::milliseconds pause(kRunAndWaitPause);
        for (;;) {
            if (child->hasEnded()) {
                std::this_thread::sleep_for(pause);
                outcome.exitCode = child->exitCode();
                return outcome;
            }
            if (static_cast<std::uint32_t>(tick() - start) >= boundMilliseconds) return outcome;
            child->waitForEnd(pause);
        }
    } catch (...) {
        // What was learnt before the failure is answered.
    }
    return outcome;
}

}  // namespace platform
