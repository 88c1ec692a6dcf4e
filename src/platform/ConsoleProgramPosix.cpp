#include "platform/ConsoleProgram.h"

namespace platform {

std::vector<std::string> consoleProgramArguments(int argc, char** argv) {
    if (argc < 1) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace platform
