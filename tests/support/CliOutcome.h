#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/TessaroCli.h"

namespace testing_support {

// What a command of tessaro-cli, run in-process, reported on standard error,
// with its exit code.
struct CliOutcome {
    int exitCode;
    std::string err;
};

// Runs the command in-process; commands that only write files print nothing
// on standard output, which this checks too.
inline CliOutcome runQuietCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int exitCode = cli::runCli(args, out, err);
    EXPECT_EQ(out.str(), "");
    return {exitCode, err.str()};
}

}  // namespace testing_support
