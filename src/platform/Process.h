#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Starting other programs, and waiting for them with a bound.
namespace platform {

#ifdef _WIN32
inline constexpr const char* kExecutableSuffix = ".exe";
// A Windows program gets one parameter string and splits it itself: the
// arguments are joined with one blank between them, each as it is, so a
// caller that wants quotes writes them. They are UTF-8, but a byte that is not
// is taken as a character of code page 1252 (the flasher's pilcrow 0xB6).
inline constexpr bool kArgumentsFormOneParameterString = true;
#else
inline constexpr const char* kExecutableSuffix = "";
inline constexpr bool kArgumentsFormOneParameterString = false;
#endif

// Milliseconds of a steady clock as an unsigned 32-bit tick count: it wraps
// around, so only differences taken as unsigned 32-bit values mean anything.
std::uint32_t tickCount();

// A program started by startProgram. Once it ends it is reaped, whether or
// not anybody waits for it, so it never stays behind as a zombie.
class StartedProcess {
public:
    virtual ~StartedProcess() = default;
    virtual int processId() const = 0;
    virtual bool hasEnded() const = 0;
    // Waits at most timeout for the end; answers whether the program has ended.
    virtual bool waitForEnd(std::chrono::milliseconds timeout) const = 0;
    // The program's exit code once it has ended (on POSIX a program ended by
    // signal n gives 128 + n, as shells say it); nothing while it runs.
    virtual std::optional<int> exitCode() const = 0;
};

// Starts program directly (no shell) with arguments; it inherits the current
// folder, the environment and the standard streams. On Windows the program is
// started with the system's default action on the file (ShellExecuteEx, its
// window shown normally) and the arguments form its parameter string (see
// kArgumentsFormOneParameterString). Answers null when it cannot be started
// (missing, not executable, no resources). Never throws.
std::shared_ptr<StartedProcess> startProgram(const std::string& program, const std::vector<std::string>& arguments);

// Starts program with arguments as startProgram does and does not wait for
// it; it is reaped when it ends. Answers whether it started. Never throws.
bool startWithoutWaiting(const std::string& program, const std::vector<std::string>& arguments);

// The bound of runAndWait, in milliseconds.
inline constexpr std::uint32_t kRunAndWaitBound = 150000;
// One pause of runAndWait's waiting loop, in milliseconds.
inline constexpr int kRunAndWaitPause = 10;

// How a run of runAndWait went: whether the program started, and its exit
// code when it ended within the bound (nothing when it was still running).
struct RunOutcome {
    bool started = false;
    std::optional<int> exitCode;
};

// Starts program with arguments and waits until it has ended (then one pause
// more) or until boundMilliseconds have passed on tick (an unsigned 32-bit
// difference), looking every pause; the program's end cuts a pause short. A
// program still running at the bound is left running. A failed start returns
// at once. Answers how the run went, for the caller to report. hideWindow
// asks for the program's window to be hidden on platforms where programs get
// one. Never throws.
RunOutcome runAndWait(const std::string& program, const std::vector<std::string>& arguments, bool hideWindow,
                      std::uint32_t boundMilliseconds = kRunAndWaitBound,
                      const std::function<std::uint32_t()>& tick = tickCount);

}  // namespace platform
