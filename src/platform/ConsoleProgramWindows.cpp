// shellapi.h builds on what windows.h declares.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <shellapi.h>

#include <cstdio>

#include "platform/ConsoleProgram.h"
#include "platform/WideTextWindows.h"

namespace platform {

std::vector<std::string> consoleProgramArguments(int argc, char** argv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);

    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return argc < 1 ? std::vector<std::string>() : std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(windows::narrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

}  // namespace platform
