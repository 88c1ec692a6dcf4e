#include "platform/Process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/SerialTestSupport.h"
#include "support/TestFiles.h"

namespace {

using namespace std::chrono_literals;
using testing_support::TempDir;

class RunAndWaitTest : public ::testing::Test {
protected:
    // A shell script in the temporary folder; its folder is at hand as $dir.
    std::string script(const std::string& name, const std::string& body) {
        const std::string path = dir / name;
        testing_support::writeFile(path, "#!/bin/sh\ndir=$(dirname \"$0\")\n" + body);
        ::chmod(path.c_str(), 0755);
        return path;
    }
    static std::int64_t nowNanoseconds() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    }

    TempDir dir;
};

TEST_F(RunAndWaitTest, WaitsForTheProgramWhichGetsItsArgumentsAsGiven) {
    // The pause first: a wait that returned early would find no record.
    const std::string program = script("updater", R"(sleep 0.3
for argument in "$@"; do printf '%s\n' "$argument"; done > "$dir/args.tmp"
pwd > "$dir/folder"
mv "$dir/args.tmp" "$dir/args"
date +%s%N > "$dir/ended"
exit 3
)");
    const std::vector<std::string> arguments{"/dev/ttyUSB0", "FW", "NO", "with blank", "\"quoted\"", "$HOME", "*", ""};
    const auto start = std::chrono::steady_clock::now();
    platform::runAndWait(program, arguments, false);
    const std::int64_t returned = nowNanoseconds();

    ASSERT_TRUE(testing_support::exists(dir / "args")) << "returned before the program ended";
    EXPECT_EQ(testing_support::readFile(dir / "args"), "/dev/ttyUSB0\nFW\nNO\nwith blank\n\"quoted\"\n$HOME\n*\n\n");
    EXPECT_EQ(testing_support::readFile(dir / "folder"), std::filesystem::current_path().string() + "\n");
    const std::int64_t ended = std::stoll(testing_support::readFile(dir / "ended"));
    EXPECT_LT(returned - ended, std::chrono::nanoseconds(500ms).count()) << "the wait ends a few pauses after the end";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(RunAndWaitTest, TheBoundIsAnUnsignedTickDifferenceThatSurvivesTheWrap) {
    const std::string program = script("updater", "sleep 0.3\ntouch \"$dir/done\"\n");
    const auto start = std::chrono::steady_clock::now();
    auto tick = [start] {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        return static_cast<std::uint32_t>(0xFFFFFF00u + static_cast<std::uint32_t>(elapsed.count()));
    };
    platform::runAndWait(program, {}, true, platform::kRunAndWaitBound, tick);
    EXPECT_TRUE(testing_support::exists(dir / "done")) << "stopped waiting when the tick count wrapped";
}

bool isZombie(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, command, state;
    stat >> pidText >> command >> state;
    return state == "Z";
}

TEST_F(RunAndWaitTest, AtTheBoundTheProgramKeepsRunningAndIsReapedWhenItEnds) {
    const std::string program = script("updater", R"(echo $$ > "$dir/pid.tmp"
mv "$dir/pid.tmp" "$dir/pid"
count=0
while [ ! -e "$dir/release" ] && [ $count -lt 1000 ]; do sleep 0.02; count=$((count + 1)); done
)");
    const auto start = std::chrono::steady_clock::now();
    platform::runAndWait(program, {}, false, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

    ASSERT_TRUE(serial_test::eventually([&] { return testing_support::exists(dir / "pid"); }));
    const int pid = std::stoi(testing_support::readFile(dir / "pid"));
    const std::string procEntry = "/proc/" + std::to_string(pid);
    EXPECT_TRUE(testing_support::exists(procEntry));
    EXPECT_FALSE(isZombie(pid)) << "still running after the wait";

    testing_support::writeFile(dir / "release", "");
    EXPECT_TRUE(serial_test::eventually([&] { return !testing_support::exists(procEntry); }))
        << (isZombie(pid) ? "left behind as a zombie" : "still running");
}

TEST_F(RunAndWaitTest, AProgramThatCannotStartEndsTheWaitAtOnce) {
    testing_support::writeFile(dir / "plain", "not executable");
    const auto start = std::chrono::steady_clock::now();
    platform::runAndWait(dir / "missing", {"x"}, false);
    platform::runAndWait(dir / "plain", {}, false);
    platform::runAndWait(dir.path(), {}, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(platform::startProgram(dir / "missing", {}), nullptr);
}

TEST_F(RunAndWaitTest, AStartedProgramReportsItsEnd) {
    const std::string program = script("quick", "exit 0\n");
    const auto child = platform::startProgram(program, {});
    ASSERT_NE(child, nullptr);
    EXPECT_GT(child->processId(), 0);
    EXPECT_TRUE(child->waitForEnd(10s));
    EXPECT_TRUE(child->hasEnded());
    EXPECT_FALSE(testing_support::exists("/proc/" + std::to_string(child->processId())));
}

}  // namespace
