#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "firmware/FirmwareGenerator.h"
#include "platform/Process.h"
#include "platform/WideTextWindows.h"
#include "support/TestFiles.h"
#include "update/ExternalUpdater.h"

// Starting programs on Windows, with a real child program (ChildProgramWindows.cpp).
namespace {

using namespace std::chrono_literals;
using platform::windows::widen;
using testing_support::TempDir;

class WindowsProcessTest : public ::testing::Test {
protected:
    void SetUp() override { set(L"TESSARO_CHILD_RECORD", dir / "record"); }
    void TearDown() override {
        for (const wchar_t* name : {L"TESSARO_CHILD_RECORD", L"TESSARO_CHILD_SLEEP", L"TESSARO_CHILD_EXIT"})
            SetEnvironmentVariableW(name, nullptr);
    }
    static void set(const wchar_t* name, const std::string& value) {
        SetEnvironmentVariableW(name, widen(value).c_str());
    }
    bool recorded() const { return testing_support::exists(dir / "record"); }
    std::string record() const { return testing_support::readFile(dir / "record"); }

    TempDir dir;
    const std::string child = TESSARO_CHILD_PROGRAM;
};

TEST_F(WindowsProcessTest, TheUpdaterGetsItsParameterStringAsItIsAndIsWaitedFor) {
    set(L"TESSARO_CHILD_SLEEP", "300");
    // A project name beyond ASCII, and the bin folder's backslash before the closing quote.
    const std::string project =
        "C:\\Tools\\PROJECTS\\Anlage S\xC3\xBC"
        "d";
    const std::vector<std::string> command =
        update::updaterCommand("COM3", {true, false, true, false}, "C:\\Tools\\MASTER", project);
    ASSERT_EQ(command.size(), 1u) << "one parameter string on Windows";

    const auto start = std::chrono::steady_clock::now();
    platform::runAndWait(child, command, false);
    ASSERT_TRUE(recorded()) << "returned before the program ended";
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(record(), "\\\\.\\COM3 FW NO PW NO \"C:\\Tools\\MASTER\\sim48213.sim\" \"" + project + "\\bin\\\"");
}

// Records the messages of a flasher start; a start reports nothing else.
class FlasherReport : public firmware::GenerationReport {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    void progressRange(int) override {}
    void progress(int) override {}
    void bankFinished(int, firmware::BankResult) override {}
    std::vector<std::string> messages;
};

TEST_F(WindowsProcessTest, TheFlasherGetsThePilcrowInItsParameterStringAndIsNotWaitedFor) {
    const std::string program = dir / "program";
    const std::string project = dir /
                                "PROJECTS\\Anlage S\xC3\xBC"
                                "d\\";
    std::filesystem::create_directories(testing_support::pathOf(program));
    std::filesystem::copy_file(testing_support::pathOf(child), testing_support::pathOf(program + "\\FlashWrite.exe"));
    testing_support::writeFile(project + "New_sx31570.sx", "S9030000FC\r\n");
    // Long enough that a start which waited cannot pass for one that did not,
    // however slowly the system starts programs.
    set(L"TESSARO_CHILD_SLEEP", "2000");
    FlasherReport report;

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(firmware::StartFlasher(program, project, "New_sx31570.sx", 4, report));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms) << "waited for the flasher";
    EXPECT_FALSE(recorded()) << "waited for the flasher";
    for (int i = 0; i < 500 && !recorded(); ++i) std::this_thread::sleep_for(20ms);
    // The record is UTF-8: the pilcrow, byte 0xB6 of code page 1252, reached
    // the flasher as the character U+00B6.
    EXPECT_EQ(record(), "\"" + project + "New_sx31570.sx\"\xC2\xB6" + "4");
    EXPECT_EQ(report.messages, std::vector<std::string>{});
}

TEST_F(WindowsProcessTest, AProgramEndingWithTheStillActiveCodeEndsTheWait) {
    set(L"TESSARO_CHILD_EXIT", "259");
    const auto start = std::chrono::steady_clock::now();
    platform::runAndWait(child, {"x"}, true);
    EXPECT_TRUE(recorded());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "waited for the bound";
}

TEST_F(WindowsProcessTest, AtTheBoundTheProgramIsLeftRunning) {
    set(L"TESSARO_CHILD_SLEEP", "1500");
    const auto start = std::chrono::steady_clock::now();
    platform::runAndWait(child, {}, false, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1200ms);
    EXPECT_FALSE(recorded()) << "still running when the wait ended";
    for (int i = 0; i < 500 && !recorded(); ++i) std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(recorded()) << "ran to its end on its own";
}

TEST_F(WindowsProcessTest, TheBoundIsAnUnsignedTickDifferenceThatSurvivesTheWrap) {
    set(L"TESSARO_CHILD_SLEEP", "300");
    const auto start = std::chrono::steady_clock::now();
    auto tick = [start] {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        return static_cast<std::uint32_t>(0xFFFFFF00u + static_cast<std::uint32_t>(elapsed.count()));
    };
    platform::runAndWait(child, {}, true, platform::kRunAndWaitBound, tick);
    EXPECT_TRUE(recorded()) << "stopped waiting when the tick count wrapped";
}

TEST_F(WindowsProcessTest, AStartedProgramReportsItsEnd) {
    const auto started = platform::startProgram(child, {"one", "two"});
    ASSERT_NE(started, nullptr);
    EXPECT_GT(started->processId(), 0);
    EXPECT_TRUE(started->waitForEnd(10s));
    EXPECT_TRUE(started->hasEnded());
    EXPECT_EQ(record(), "one two");
}

TEST_F(WindowsProcessTest, AProgramThatCannotStartEndsTheWaitAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    platform::runAndWait(dir / "Ser_48213_Update.exe", {"x"}, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(platform::startProgram(dir / "missing.exe", {}), nullptr);
}

}  // namespace
