#pragma once

// What the CSV exports write for a UTF-8 text on this system, worked out with
// the system's own conversion rather than the program's, so that one set of
// golden files (kept in UTF-8) checks the exports of every system.

#include <string>

namespace testing_support {

// utf8 in the 8-bit code page the exports are written in: unchanged on
// Linux, Windows-1252 on Windows (a character it lacks becomes "?").
std::string exportText(const std::string& utf8);

}  // namespace testing_support
