// How a run of the updater ended, from a real child program, and what the
// wizard says about it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/Process.h"
#include "support/TestFiles.h"
#include "update/ExternalUpdater.h"

namespace {

using testing_support::TempDir;

std::string script(const TempDir& dir, const std::string& name, const std::string& body) {
    const std::string path = dir / name;
    testing_support::writeFile(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
    return path;
}

struct RunCase {
    const char* name;
    std::string body;
    std::uint32_t bound;
    platform::RunOutcome outcome;
    std::string report;
    bool failed;
};

class UpdaterRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(UpdaterRun, OutcomeAndReport) {
    const RunCase& c = GetParam();
    TempDir dir;
    const std::string program = script(dir, "Ser_48213_Update", c.body);
    const platform::RunOutcome outcome = platform::runAndWait(program, {"x"}, false, c.bound);
    EXPECT_EQ(outcome.started, c.outcome.started);
    EXPECT_EQ(outcome.exitCode, c.outcome.exitCode);
    EXPECT_EQ(update::updaterRunReport(program, outcome), c.report);
    EXPECT_EQ(update::updaterRunFailed(outcome), c.failed);
}

INSTANTIATE_TEST_SUITE_P(Cases, UpdaterRun,
                         ::testing::Values(RunCase{"EndsWell",
                                                   "exit 0\n",
                                                   platform::kRunAndWaitBound,
                                                   {true, 0},
                                                   "The updater ended with exit code 0.",
                                                   false},
                                           RunCase{"Fails",
                                                   "exit 7\n",
                                                   platform::kRunAndWaitBound,
                                                   {true, 7},
                                                   "The updater ended with exit code 7.",
                                                   true},
                                           RunCase{"Killed",
                                                   "kill -9 $$\n",
                                                   platform::kRunAndWaitBound,
                                                   {true, 137},
                                                   "The updater ended with exit code 137.",
                                                   true},
                                           // Still running at the bound: the wizard speaks of its own wait of 150 s.
                                           RunCase{"StillRunning",
                                                   "sleep 3\n",
                                                   100,
                                                   {true, std::nullopt},
                                                   "The updater was still running after 150 s; it goes on by itself.",
                                                   true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UpdaterRunStart, AProgramThatCannotStartIsReportedWithItsPath) {
    TempDir dir;
    testing_support::writeFile(dir / "Ser_48213_Update", "not executable");
    const std::string program = dir / "Ser_48213_Update";
    const platform::RunOutcome outcome = platform::runAndWait(program, {}, false);
    EXPECT_FALSE(outcome.started);
    EXPECT_TRUE(update::updaterRunFailed(outcome));
    EXPECT_EQ(update::updaterRunReport(program, outcome),
              "The updater " + program + " could not be started. Put Ser_48213_Update beside the program; see README");
}

// The updater, then the device file: the first one missing is named.
TEST(UpdaterRefusal, NamesTheMissingToolWithItsPath) {
    TempDir program;
    const std::string master = program / "MASTER";
    std::filesystem::create_directory(master);
    EXPECT_EQ(update::updaterRefusal(program.path(), master),
              "The updater " + (program / "Ser_48213_Update") +
                  " was not found. Put Ser_48213_Update beside the program; see README");
    testing_support::writeFile(program / "Ser_48213_Update", "");
    EXPECT_EQ(update::updaterRefusal(program.path(), master),
              "The device file " + (master + "/sim48213.sim") +
                  " was not found. Put sim48213.sim in MASTER beside the program; see README");
    testing_support::writeFile(master + "/sim48213.sim", "");
    EXPECT_EQ(update::updaterRefusal(program.path(), master), std::nullopt);
}

}  // namespace
