#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>

#include "platform/Isolated.h"
#include "support/TestFiles.h"

namespace {

using namespace std::chrono_literals;

// The child's process id, written by the work itself before it does the rest.
pid_t childOf(const std::string& pidFile) {
    return static_cast<pid_t>(std::stol(testing_support::readFile(pidFile)));
}

void writeOwnPid(const std::string& pidFile) {
    testing_support::writeFile(pidFile, std::to_string(::getpid()));
}

// Work that never ends is ended after the time limit: the child is killed and
// reaped (no process, not even a zombie, is left), and the answer says why.
TEST(IsolatedRun, WorkThatHangsIsEndedAfterTheTimeLimit) {
    testing_support::TempDir folder;
    const std::string pidFile = folder / "pid";
    const std::optional<std::string> end = platform::endOfIsolatedRun(
        [&] {
            writeOwnPid(pidFile);
            for (;;) ::pause();
        },
        200ms);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(*end, "a time-out after 200 ms");
    const pid_t child = childOf(pidFile);
    const int signalled = ::kill(child, 0);
    const int signalError = errno;
    EXPECT_EQ(signalled, -1) << "the child still exists";
    EXPECT_EQ(signalError, ESRCH);
    const int waited = ::waitpid(child, nullptr, WNOHANG);
    const int waitError = errno;
    EXPECT_EQ(waited, -1) << "the child was not reaped";
    EXPECT_EQ(waitError, ECHILD);
}

// Work that ignores the polite signals is ended all the same.
TEST(IsolatedRun, WorkThatIgnoresTerminationIsEndedToo) {
    testing_support::TempDir folder;
    const std::string pidFile = folder / "pid";
    const std::optional<std::string> end = platform::endOfIsolatedRun(
        [&] {
            for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::signal(signal, SIG_IGN);
            writeOwnPid(pidFile);
            for (;;) ::pause();
        },
        300ms);
    EXPECT_EQ(end, std::optional<std::string>("a time-out after 300 ms"));
    EXPECT_EQ(::kill(childOf(pidFile), 0), -1);
}

struct EndCase {
    const char* name;
    void (*work)();
    std::optional<std::string> end;
};

class IsolatedRunEnds : public ::testing::TestWithParam<EndCase> {};

// Work within the limit answers as it always did.
TEST_P(IsolatedRunEnds, AnswersHowTheWorkEnded) {
    EXPECT_EQ(platform::endOfIsolatedRun(GetParam().work), GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(Cases, IsolatedRunEnds,
                         ::testing::Values(EndCase{"Returns", [] {}, std::nullopt},
                                           EndCase{"Throws", [] { throw std::runtime_error("damaged"); }, std::nullopt},
                                           EndCase{"Exits", [] { ::_exit(3); }, "status 3"},
                                           EndCase{"Crashes", [] { std::raise(SIGSEGV); }, "signal 11"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
