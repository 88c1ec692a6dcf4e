#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/TessaroCli.h"
#include "support/ProgramRun.h"
#include "support/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::repeated;
using testing_support::TempDir;

struct TreeOutcome {
    int exitCode;
    std::string out, err;
};

TreeOutcome treeInProcess(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int exitCode = cli::runCli(args, out, err);
    return {exitCode, out.str(), err.str()};
}

// The real companion, as a script would call it.
TreeOutcome treeProgram(const std::string& file) {
    TempDir scratch;
    const int exitCode =
        testing_support::runProgram(TESSARO_CLI_PROGRAM, {"tree", file}, scratch / "out", scratch / "err");
    if (exitCode < 0) {
        ADD_FAILURE() << "tessaro-cli did not run to its end";
        return {-1, "", ""};
    }
    return {exitCode, readFile(scratch / "out"), readFile(scratch / "err")};
}

// Case folders below tests/data/tree: input.xml and either expected.txt (the
// tree on standard output) or expected-error.txt (the message on standard error).
class TreeCommand : public ::testing::TestWithParam<std::string> {};

TEST_P(TreeCommand, PrintsTheTreeOrTheReadersMessage) {
    const std::string folder = testing_support::testData("tree/" + GetParam());
    const std::string input = folder + "/input.xml";
    const bool fails = fs::exists(folder + "/expected-error.txt");
    const std::string expected = readFile(folder + (fails ? "/expected-error.txt" : "/expected.txt"));

    for (const TreeOutcome& outcome : {treeInProcess({"tree", input}), treeProgram(input)}) {
        if (fails) {
            EXPECT_EQ(outcome.exitCode, 1);
            EXPECT_EQ(outcome.err, expected);
            EXPECT_EQ(outcome.out, "") << "nothing on standard output after a failure";
        } else {
            EXPECT_EQ(outcome.exitCode, 0);
            EXPECT_EQ(outcome.out, expected);
            EXPECT_EQ(outcome.err, "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeCommand, ::testing::ValuesIn(testing_support::caseFolders("tree")),
                         [](const auto& info) { return testing_support::caseName(info.param); });

// Hostile files through the real program: each ends with the reader's message
// and exit 1, never with a crash; nothing reaches standard output.
struct HostileFile {
    const char* name;
    std::string (*contents)();
    const char* message;
};

void PrintTo(const HostileFile& c, std::ostream* os) {
    *os << c.name;
}

const HostileFile kHostileFiles[] = {
    {"ThirtyThousandLevels", [] { return repeated("<a>", 30000) + repeated("</a>", 30000); },
     "Elements nested more than 1000 levels deep\n"},
    {"FiftyThousandLevels", [] { return repeated("<a>", 50000) + repeated("</a>", 50000); },
     "Elements nested more than 1000 levels deep\n"},
    {"TwoMillionSiblings", [] { return "<r>" + repeated("<a/>", 2000000) + "</r>"; },
     "More than 1000000 nodes in the document\n"},
    {"SecondRoot", [] { return std::string("<a/><a/>"); }, "Extra content after the document element\n"},
};

class TreeCommandHostile : public ::testing::TestWithParam<HostileFile> {};

TEST_P(TreeCommandHostile, RefusesWithTheReadersMessage) {
    TempDir dir;
    const std::string file = dir / "hostile.xml";
    testing_support::writeFile(file, GetParam().contents());
    const TreeOutcome outcome = treeProgram(file);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, GetParam().message);
    EXPECT_EQ(outcome.out.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Files, TreeCommandHostile, ::testing::ValuesIn(kHostileFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// A stream buffer that takes nothing, as a full disk or a closed pipe would.
class RefusingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(TreeCommandCall, AnOutputThatCannotBeWrittenFails) {
    const std::string input = testing_support::testData("tree/pargen/input.xml");
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    EXPECT_EQ(cli::runCli({"tree", input}, out, err), 1);
    EXPECT_EQ(err.str(), "Cannot write the tree to standard output\n");

// Windows has no device that is always full.
#ifndef _WIN32
    // The real program on a device that is always full.
    TempDir scratch;
    EXPECT_EQ(testing_support::runProgram(TESSARO_CLI_PROGRAM, {"tree", input}, "/dev/full", scratch / "err"), 1);
    EXPECT_EQ(readFile(scratch / "err"), "Cannot write the tree to standard output\n");
#endif
}

TEST(TreeCommandCall, MissingFileAndWrongCalls) {
    TempDir dir;
    const TreeOutcome missing = treeInProcess({"tree", dir / "none.xml"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("Cannot read file \"" + (dir / "none.xml") + "\".", 0), 0u) << missing.err;

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"tree"}, std::vector<std::string>{"tree", "a.xml", "b.xml"}}) {
        const TreeOutcome wrong = treeInProcess(args);
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_EQ(wrong.out, "");
        EXPECT_NE(wrong.err.find("'tree' takes FILE"), std::string::npos) << wrong.err;
    }

    const TreeOutcome help = treeInProcess({"--help"});
    EXPECT_NE(help.out.find("\n  tree FILE "), std::string::npos) << help.out;
}

}  // namespace
