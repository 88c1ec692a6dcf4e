#pragma once

// Runs work that may take the process down, on bytes from outside, where it
// cannot: a library that crashes on a damaged file must not end the program
// and lose what the user has not saved.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// How long isolated work may run before it counts as hanging.
inline constexpr std::chrono::milliseconds kIsolatedRunTimeLimit{30000};

// Runs work once apart from the program (on POSIX in a forked child, which
// shares nothing it could damage) and answers how it went: nothing when it
// returned or threw, else what ended it ("signal 11", "status 1", or "a
// time-out after 30 s" when it was still running after timeLimit; the child is then
// killed and reaped, so nothing of it stays behind). Where the system offers
// no such child, or one cannot be made, work is not run and nothing is
// answered; the caller then does its work as usual. Whatever work does to
// memory stays with the child: its results are not seen.
std::optional<std::string> endOfIsolatedRun(const std::function<void()>& work,
                                            std::chrono::milliseconds timeLimit = kIsolatedRunTimeLimit);

// "a time-out after <limit>": the limit in whole seconds ("30 s"), else in
// milliseconds ("200 ms").
inline std::string timeOutAfter(std::chrono::milliseconds timeLimit) {
    if (timeLimit.count() % 1000 == 0) return "a time-out after " + std::to_string(timeLimit.count() / 1000) + " s";
    return "a time-out after " + std::to_string(timeLimit.count()) + " ms";
}

}  // namespace platform
