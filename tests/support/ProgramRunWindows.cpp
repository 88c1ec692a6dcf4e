#include "platform/WideTextWindows.h"
#include "support/ProgramRun.h"

#include <cstdio>

namespace testing_support {
namespace {

using platform::windows::OwnedHandle;
using platform::windows::widen;

// One argument as the C run-time's parser reads it back: quoted when it is
// empty or holds blanks or quotes, with the backslashes before a quote, and
// those before the closing quote, doubled.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') backslashes = backslashes * 2 + 1;
        text.append(backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, L'\\');
    return text + L"\"";
}

OwnedHandle inheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return OwnedHandle(CreateFileW(widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

int runProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& outPath,
               const std::string& errPath) {
    std::wstring commandLine = quoted(widen(program));
    for (const std::string& argument : arguments) commandLine += L" " + quoted(widen(argument));

    OwnedHandle in = inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    OwnedHandle out = inheritable(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    OwnedHandle err = inheritable(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    if (!in.valid() || !out.valid() || !err.valid()) return -1;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION started{};
    // Wine now and then refuses to start a process with ERROR_INTERNAL_ERROR
    // (about once in a few thousand starts here) before anything of the
    // program has run; starting it again is then the same as the first try.
    bool created = false;
    for (int attempt = 0; attempt < 5 && !created; ++attempt) {
        created = CreateProcessW(widen(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &startup, &started);
        if (!created && GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (!created) {
        std::fprintf(stderr, "CreateProcessW failed for %s: error %lu\n", program.c_str(), GetLastError());
        return -1;
    }
    OwnedHandle process(started.hProcess);
    OwnedHandle thread(started.hThread);
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &exitCode))
        return -1;
    return static_cast<int>(exitCode);
}

}  // namespace testing_support
