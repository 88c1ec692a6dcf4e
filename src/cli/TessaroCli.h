#pragma once

#include <optional>
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
//   import PROJECT_DIR access-in|access-out FILE [--sheet NAME],
//   export PROJECT_DIR access-in|access-out FILE
//                          the access tables of sdo.xml (cli/AccessCommands.h)
//   -h, --help             usage on out
// Answers kExitSuccess, writing nothing on out or err (but the usage); on a
// failure or a refused check the message on err and kExitFailure, with no
// file written; for a wrong call a usage message on err and kExitUsage.
// Reads and writes the project's files; never throws.
// Standard output is flushed after the command; when it cannot be written
// (a full disk, >/dev/full) the answer is kExitFailure with a message on err.
// "--" ends the options, so that a folder named "-h" can be given.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// What stands in the way of using projectDir as a project folder: "Project
// folder "<dir>" not found", "... is not a folder", "... is not a folder: it
// is <what>" or "... cannot be examined: <reason>" (a name or path too long,
// a parent without search permission); nothing when it is a folder. Never
// throws.
std::optional<std::string> projectFolderProblem(const std::string& projectDir);

}  // namespace cli
