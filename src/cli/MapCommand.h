#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

// tessaro-cli map: the address map of a project for the PLC programmer.
namespace cli {

struct MapCall {
    std::string projectDir;
    std::optional<std::string> htmlFile;  // --html FILE
};

// The call from the arguments after "map": PROJECT_DIR and, before or after
// it, an optional "--html FILE", whose FILE may not look like an option
// ("--html --html" is a wrong call, not a file named "--html"; "--html
// ./-x.html" gives such a name). "--" ends the options. Answers the call, or
// the problem with the arguments as a text for the usage message. Reads
// nothing, never throws.
std::variant<MapCall, std::string> parseMapArguments(const std::vector<std::string>& args);

// Reads the project's pargen.xml and sdo.xml, writes the page to the --html
// file (replacing it atomically) and then the text report with its warnings to
// out. Answers nothing: warnings are part of the report, not a failure. Throws
// std::runtime_error with the program's message, having written nothing on out,
// when a document cannot be read or the page cannot be written.
std::optional<std::string> runMap(const MapCall& call, std::ostream& out);

}  // namespace cli
