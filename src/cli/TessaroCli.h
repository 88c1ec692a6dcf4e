#pragma once

#include <ostream>
#include <string>
#include <vector>

// tessaro-cli: the project outputs and checks of the program without its
// windows, for scripts and build machines.
namespace cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs one command; args are the arguments after the program name:
//   image PROJECT_DIR      builds PROJECT_DIR/bin/bank.bin from pargen.xml and sdo.xml
//   gsd PROJECT_DIR FILE   writes the project's GSD file to FILE
//   check PROJECT_DIR      runs the checks the settings and access windows run
//                          before saving, on the stored documents
//   import PROJECT_DIR DOCUMENT WORKBOOK, export PROJECT_DIR DOCUMENT
//                          the CANopen editors' tables (cli/EditorCommands.h)
//   -h, --help             usage on out
// Answers kExitSuccess, writing nothing on out or err (but the usage); on a
// failure or a refused check the message on err and kExitFailure, with no
// file written; for a wrong call a usage message on err and kExitUsage.
// Reads and writes the project's files; never throws.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
