#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Process.h"

// The external updater program that takes the configuration image and the
// device firmware to the gateway, and its command line.
namespace update {

inline constexpr const char* kUpdaterProgramName = "Ser_48213_Update";
inline constexpr const char* kDeviceFileName = "sim48213.sim";

// The four update options; each gives a two-letter flag, or "NO" when off.
struct UpdateOptions {
    bool Firmware = true;      // "FW"
    bool ReadFirmware = true;  // "FR": read the firmware back when finished
    bool Project = true;       // "PW"
    bool ReadProject = true;   // "PR": read the project back when finished
};

// What the messages about the updater tell the user to do.
inline constexpr const char* kUpdaterAdvice = "Put Ser_48213_Update beside the program; see README";

// The updater in programDir, with the platform's executable suffix. Reads nothing.
std::string updaterProgramPath(const std::string& programDir);

// Why the updater cannot be run, or nothing: no file at its program path
// ("The updater <path> was not found. Put Ser_48213_Update beside the
// program; see README"), else no device file in masterDir ("The device file
// <path> was not found. Put sim48213.sim in MASTER beside the program; see
// README"). Reads the file system only.
std::optional<std::string> updaterRefusal(const std::string& programDir, const std::string& masterDir);

// What the wizard says after a run of the updater at program: that it could
// not be started ("The updater <path> could not be started. Put
// Ser_48213_Update beside the program; see README"), its exit code ("The
// updater ended with exit code 0."), or that it was still running after the
// wait of boundMilliseconds ("The updater was still running after 150 s; it
// goes on by itself."). Reads nothing.
std::string updaterRunReport(const std::string& program, const platform::RunOutcome& outcome,
                             std::uint32_t boundMilliseconds = platform::kRunAndWaitBound);
// Whether updaterRunReport's text tells of a failure (error box) rather than
// a success (information box): a start that failed, an exit code other than
// 0, or an updater still running.
bool updaterRunFailed(const platform::RunOutcome& outcome);

// The updater's single parameter string, as a Windows updater takes it:
// \\.\ + port + " " + the four flags each followed by a blank + the quoted
// path of the device file in masterDir + " " + the quoted bin folder of
// projectDir ending in a backslash. Reads nothing.
std::string updaterParameters(const std::string& port, const UpdateOptions& options, const std::string& masterDir,
                              const std::string& projectDir);

// The updater's arguments on Linux, one per parameter: the device path, the
// four flags ("FW"/"NO", "FR"/"NO", "PW"/"NO", "PR"/"NO"), the path of the
// device file in masterDir and the bin folder of projectDir with a trailing
// separator ("/bin/" for an empty projectDir). Reads nothing.
std::vector<std::string> updaterArguments(const std::string& devicePath, const UpdateOptions& options,
                                          const std::string& masterDir, const std::string& projectDir);

// What this system's updater is started with (platform::startProgram): on
// Windows the parameter string of updaterParameters as the one argument, on
// Linux the arguments of updaterArguments. port is the port list's entry.
// Reads nothing.
std::vector<std::string> updaterCommand(const std::string& port, const UpdateOptions& options,
                                        const std::string& masterDir, const std::string& projectDir);

}  // namespace update
