#pragma once

// The trial reading of a workbook apart from the program (see Isolated.h),
// on every system: a run of work in a forked child where there is fork, and
// where there is none (Windows) a child process of its own, which is this
// same program started again with kIsolatedWorkbookArgument and the path.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// The internal argument of the child that reads a workbook: a program started
// as "<program> --tessaro-read-workbook <path>" reads it whole, without a
// trial of its own, and ends before its main function runs.
inline constexpr const char* kIsolatedWorkbookArgument = "--tessaro-read-workbook";

// Reads the workbook at path whole apart from the program and answers how that
// ended: nothing when the reading returned or threw, else what ended it
// ("signal 11", "exception 0xc0000005", "a time-out after 30 s", after kIsolatedRunTimeLimit). Where there is
// fork, reading (which reads path) is run in the forked child; on Windows the
// child is this program, started with kIsolatedWorkbookArgument and path.
// When no child can be made, nothing is run and nothing is answered; the
// caller then reads as usual. Never throws.
std::optional<std::string> endOfIsolatedWorkbookReading(const std::string& path, const std::function<void()>& reading);

}  // namespace platform
