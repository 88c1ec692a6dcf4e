#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "platform/Isolated.h"
#include "platform/IsolatedWorkbook.h"
#include "platform/Spreadsheet.h"
#include "platform/WideTextWindows.h"

namespace platform {
namespace {

using windows::narrow;
using windows::OwnedHandle;
using windows::widen;

// One argument of a command line as the C run-time and CommandLineToArgvW
// split it again: quoted, backslashes doubled where a quote follows them.
std::wstring quotedArgument(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring ownProgram() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// A crash in the child ends it at once with the exception's code, quietly:
// no error box, no debugger asked to attach.
LONG WINAPI endOnException(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void readInChild(const std::string& path) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endOnException);
    try {
        Workbook::readWithoutTrial(path);
    } catch (...) {
        // What the program's own reading then reports.
    }
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);
}

// The child is this program again; it is recognised before main runs (and
// before anything of the program starts: no window, no settings), reads, and
// ends. Every program that reads workbooks links this unit, so each of them
// can be its own child, the test programs included.
[[maybe_unused]] const bool g_isChild = [] {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return false;
    const bool child = count == 3 && narrow(arguments[1]) == kIsolatedWorkbookArgument;
    const std::string path = child ? narrow(arguments[2]) : std::string();
    LocalFree(arguments);
    if (child) readInChild(path);
    return false;
}();

std::string exceptionText(DWORD code) {
    char text[32];
    std::snprintf(text, sizeof text, "exception 0x%08lx", static_cast<unsigned long>(code));
    return text;
}

}  // namespace

// Windows has no fork; work given as a function cannot run in another process.
// The one reading that must (the workbook's) goes through
// endOfIsolatedWorkbookReading, which starts a program of its own.
std::optional<std::string> endOfIsolatedRun(const std::function<void()>&, std::chrono::milliseconds) {
    return std::nullopt;
}

std::optional<std::string> endOfIsolatedWorkbookReading(const std::string& path, const std::function<void()>&) {
    const std::wstring program = ownProgram();
    if (program.empty()) return std::nullopt;
    std::wstring commandLine =
        quotedArgument(program) + L" " + widen(kIsolatedWorkbookArgument) + L" " + quotedArgument(widen(path));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // No handles are inherited and no console window is shown: the child
    // only reads and ends.
    // Wine now and then refuses a start with ERROR_INTERNAL_ERROR before
    // anything of the program ran; starting again is then the same as the
    // first try.
    bool created = false;
    for (int attempt = 0; attempt < 5 && !created; ++attempt) {
        created = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                 CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &startup, &started);
        if (!created && GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (!created) return std::nullopt;
    const OwnedHandle process(started.hProcess);
    const OwnedHandle thread(started.hThread);
    const DWORD bound = static_cast<DWORD>(kIsolatedRunTimeLimit.count());
    if (WaitForSingleObject(process.get(), bound) != WAIT_OBJECT_0) {
        // A reading that does not end is ended here; the workbook is refused.
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
        return timeOutAfter(kIsolatedRunTimeLimit);
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code)) return std::nullopt;
    if (code == 0) return std::nullopt;
    if (code >= 0xC0000000) return exceptionText(code);
    return "status " + std::to_string(code);
}

}  // namespace platform
