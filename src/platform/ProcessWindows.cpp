// shellapi.h builds on what windows.h declares.
#include <windows.h>

#include <shellapi.h>

#include "platform/Process.h"
#include "platform/WideTextWindows.h"

namespace platform {
namespace {

using windows::OwnedHandle;
using windows::widen;

class WindowsProcess final : public StartedProcess {
public:
    explicit WindowsProcess(HANDLE process) : m_process(process) {}

    int processId() const override { return static_cast<int>(GetProcessId(m_process.get())); }
    bool hasEnded() const override { return WaitForSingleObject(m_process.get(), 0) == WAIT_OBJECT_0; }
    bool waitForEnd(std::chrono::milliseconds timeout) const override {
        const auto count = timeout.count() < 0 ? 0 : timeout.count();
        const DWORD milliseconds = count >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(count);
        return WaitForSingleObject(m_process.get(), milliseconds) == WAIT_OBJECT_0;
    }
    std::optional<int> exitCode() const override {
        DWORD code = 0;
        if (!hasEnded() || !GetExitCodeProcess(m_process.get(), &code)) return std::nullopt;
        return static_cast<int>(code);
    }
    HANDLE handle() const { return m_process.get(); }

private:
    OwnedHandle m_process;
};

std::string parameterString(const std::vector<std::string>& arguments) {
    std::string parameters;
    for (const std::string& argument : arguments) {
        if (!parameters.empty()) parameters += ' ';
        parameters += argument;
    }
    return parameters;
}

std::shared_ptr<WindowsProcess> start(const std::string& program, const std::vector<std::string>& arguments,
                                      bool hideWindow) {
    const std::wstring file = widen(program);
    const std::wstring parameters = windows::widenParameters(parameterString(arguments));
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    // The handle of the started process is kept; the start is complete when
    // the call returns, and a failure shows no message box of the system's.
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.hwnd = nullptr;
    request.lpVerb = nullptr;  // the file's default action
    request.lpFile = file.c_str();
    request.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    request.lpDirectory = nullptr;  // the program inherits this program's current folder
    request.nShow = hideWindow ? SW_HIDE : SW_SHOWNORMAL;
    if (!ShellExecuteExW(&request)) return nullptr;
    // A document opened in a program that was already running gives no
    // process to wait for.
    if (request.hProcess == nullptr) return nullptr;
    return std::make_shared<WindowsProcess>(request.hProcess);
}

}  // namespace

std::uint32_t tickCount() {
    return GetTickCount();
}

std::shared_ptr<StartedProcess> startProgram(const std::string& program, const std::vector<std::string>& arguments) {
    try {
        return start(program, arguments, false);
    } catch (...) {
        return nullptr;
    }
}

bool startWithoutWaiting(const std::string& program, const std::vector<std::string>& arguments) {
    return startProgram(program, arguments) != nullptr;
}

RunOutcome runAndWait(const std::string& program, const std::vector<std::string>& arguments, bool hideWindow,
                      std::uint32_t boundMilliseconds, const std::function<std::uint32_t()>& tick) {
    RunOutcome outcome;
    try {
        // The event paces the loop: a pause is a wait on it, which the
        // program's end cuts short.
        OwnedHandle pacing(CreateEventW(nullptr, FALSE, FALSE, L"HandleCed"));
        const std::shared_ptr<WindowsProcess> child = start(program, arguments, hideWindow);
        if (!child) return outcome;
        outcome.started = true;
        if (pacing.valid()) ResetEvent(pacing.get());
        const std::uint32_t startTick = tick();
        const HANDLE pauseEnds[] = {child->handle(), pacing.get()};
        const DWORD handles = pacing.valid() ? 2 : 1;
        for (;;) {
            // The process handle tells the end, not the exit code: a program
            // may end with the code that also means "still active" (259).
            if (child->hasEnded()) {
                Sleep(kRunAndWaitPause);
                outcome.exitCode = child->exitCode();
                return outcome;
            }
            if (static_cast<std::uint32_t>(tick() - startTick) >= boundMilliseconds) return outcome;
            WaitForMultipleObjects(handles, pauseEnds, FALSE, kRunAndWaitPause);
        }
    } catch (...) {
        // What was learnt before the failure is answered.
    }
    return outcome;
}

}  // namespace platform
