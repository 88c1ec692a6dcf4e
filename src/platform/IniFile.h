#pragma once

#include <string>

// Windows-style initialisation files: "[section]" lines followed by
// "key=value" lines. Section and key names compare without regard to case.
namespace platform {

// Value of key in section of the file at path; empty when the file, the
// section or the key is missing or the file cannot be read. Blanks around the
// value are dropped, and one pair of double quotes around it is removed.
std::string readIniValue(const std::string& path, const std::string& section, const std::string& key);

// Sets key in section to value, creating the file, the section or the key as
// needed and keeping every other line. A value with blanks at either end, or
// one wrapped in double quotes, is written inside double quotes so that
// readIniValue gives it back unchanged. Lines end with CR LF. The file is
// replaced atomically; throws std::runtime_error when it cannot be written.
void writeIniValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace platform
