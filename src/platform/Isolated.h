#pragma once

// Runs work that may take the process down, on bytes from outside, where it
// cannot: a library that crashes on a damaged file must not end the program
// and lose what the user has not saved.

#include <functional>
#include <optional>
#include <string>

namespace platform {

// Runs work once apart from the program (on POSIX in a forked child, which
// shares nothing it could damage) and answers how it went: nothing when it
// returned or threw, else what ended it ("signal 11", "status 1"). Where the
// system offers no such child, or one cannot be made, work is not run and
// nothing is answered; the caller then does its work as usual. Whatever work
// does to memory stays with the child: its results are not seen.
std::optional<std::string> endOfIsolatedRun(const std::function<void()>& work);

}  // namespace platform
