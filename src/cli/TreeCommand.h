#pragma once

#include <ostream>
#include <string>

namespace cli {

// tessaro-cli tree FILE: reads FILE with the program's own XML reader and
// writes the items of the XML window's tree on out, one a line, depth first in
// order, indented by two blanks per level, the top item "File: <name>" at
// level 0; texts are the bytes as read. Answers kExitSuccess. When the file
// cannot be read or the reader fails: its message on err, nothing on out, and
// kExitFailure; also kExitFailure, with "Cannot write the tree to standard
// output" on err, when out fails. Never throws.
int runTree(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace cli
