// A stand-in for the programs the core starts (the updater, the flasher), for
// the Windows process tests. Its environment tells it what to do:
//   TESSARO_CHILD_RECORD  file that receives, in UTF-8, the parameter string
//                         the program was given (its command line after its
//                         own name), written when the program ends
//   TESSARO_CHILD_SLEEP   milliseconds to run before that
//   TESSARO_CHILD_EXIT    the exit code
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::wstring variable(const wchar_t* name) {
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length == 0 || length >= 32768 ? std::wstring() : std::wstring(value, length);
}

// The command line after the program's own name, which comes first, quoted
// or not, and one blank.
std::wstring parameters() {
    const std::wstring line = GetCommandLineW();
    std::size_t at = 0;
    if (!line.empty() && line[0] == L'"') {
        at = line.find(L'"', 1);
        at = at == std::wstring::npos ? line.size() : at + 1;
    } else {
        at = line.find_first_of(L" \t");
        if (at == std::wstring::npos) at = line.size();
    }
    while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) ++at;
    return line.substr(at);
}

}  // namespace

int main() {
    const std::wstring sleep = variable(L"TESSARO_CHILD_SLEEP");
    if (!sleep.empty()) Sleep(static_cast<DWORD>(std::wcstoul(sleep.c_str(), nullptr, 10)));

    const std::wstring record = variable(L"TESSARO_CHILD_RECORD");
    if (!record.empty()) {
        const std::wstring text = parameters();
        std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(
                             CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr)),
                         '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr);
        // Written under another name first, so that the record appears whole.
        const std::wstring partial = record + L".partial";
        const HANDLE file =
            CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 120;
        DWORD written = 0;
        WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
        CloseHandle(file);
        if (!MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING)) return 121;
    }
    const std::wstring exitCode = variable(L"TESSARO_CHILD_EXIT");
    return exitCode.empty() ? 0 : static_cast<int>(std::wcstoul(exitCode.c_str(), nullptr, 10));
}
