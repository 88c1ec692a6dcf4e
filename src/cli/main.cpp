#include <iostream>
#include <string>
#include <vector>

#include "cli/TessaroCli.h"
#include "platform/ConsoleProgram.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args = platform::consoleProgramArguments(argc, argv);
    return cli::runCli(args, std::cout, std::cerr);
}
