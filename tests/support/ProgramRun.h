#pragma once

// Runs a real program the way a script would, on every system.

#include <string>
#include <vector>

namespace testing_support {

// Runs program with arguments (each reaching it as it is, on Windows through
// a command line quoted for the C run-time's parser), standard input empty,
// standard output and standard error into the files outPath and errPath.
// Answers its exit code once it has ended, or -1 when it could not be run.
int runProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& outPath,
               const std::string& errPath);

}  // namespace testing_support
