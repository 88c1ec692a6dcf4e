#pragma once

#include <string>
#include <vector>

// The start of a console program such as tessaro-cli.
namespace platform {

// The program's arguments after its own name, in UTF-8 (on Windows taken
// from the wide-character command line, not from the ANSI argv). Also puts
// the standard streams in binary mode where the system has a text mode, so
// that the program writes the same bytes on every system, and asks a Windows
// console to show UTF-8. Call once at the start of main. Never throws.
std::vector<std::string> consoleProgramArguments(int argc, char** argv);

}  // namespace platform
