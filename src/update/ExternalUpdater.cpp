#include "update/ExternalUpdater.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"

namespace update {
namespace {

struct Flags {
    const char* firmware;
    const char* readFirmware;
    const char* project;
    const char* readProject;
};

Flags flagsOf(const UpdateOptions& options) {
    return {options.Firmware ? "FW" : "NO", options.ReadFirmware ? "FR" : "NO", options.Project ? "PW" : "NO",
            options.ReadProject ? "PR" : "NO"};
}

}  // namespace

std::string updaterProgramPath(const std::string& programDir) {
    return platform::joinPath(programDir, std::string(kUpdaterProgramName) + platform::kExecutableSuffix);
}

std::optional<std::string> updaterRefusal(const std::string& programDir, const std::string& masterDir) {
    const std::string program = updaterProgramPath(programDir);
    if (!platform::fileExists(program))
        return "The updater " + program + " was not found. " + std::string(kUpdaterAdvice);
    const std::string deviceFile = platform::joinPath(masterDir, kDeviceFileName);
    if (!platform::fileExists(deviceFile)) {
        return "The device file " + deviceFile + " was not found. Put " + std::string(kDeviceFileName) +
               " in MASTER beside the program; see README";
    }
    return std::nullopt;
}

std::string updaterRunReport(const std::string& program, const platform::RunOutcome& outcome,
                             std::uint32_t boundMilliseconds) {
    if (!outcome.started) return "The updater " + program + " could not be started. " + std::string(kUpdaterAdvice);
    if (outcome.exitCode) return "The updater ended with exit code " + std::to_string(*outcome.exitCode) + ".";
    return "The updater was still running after " + std::to_string(boundMilliseconds / 1000) +
           " s; it goes on by itself.";
}

bool updaterRunFailed(const platform::RunOutcome& outcome) {
    return !outcome.started || !outcome.exitCode || *outcome.exitCode != 0;
}

std::string updaterParameters(const std::string& port, const UpdateOptions& options, const std::string& masterDir,
                              const std::string& projectDir) {
    const Flags flags = flagsOf(options);
    std::string parameters = "\\\\.\\" + port + " ";
    for (const char* flag : {flags.firmware, flags.readFirmware, flags.project, flags.readProject})
        parameters += std::string(flag) + " ";
    parameters += "\"" + masterDir + "\\" + kDeviceFileName + "\" ";
    parameters += "\"" + projectDir + "\\bin\\\"";
    return parameters;
}

std::vector<std::string> updaterArguments(const std::string& devicePath, const UpdateOptions& options,
                                          const std::string& masterDir, const std::string& projectDir) {
    const Flags flags = flagsOf(options);
    const std::string binFolder = platform::joinPath(projectDir, "bin") + platform::kPathSeparator;
    return {devicePath,    flags.firmware,    flags.readFirmware,
            flags.project, flags.readProject, platform::joinPath(masterDir, kDeviceFileName),
            binFolder};
}

std::vector<std::string> updaterCommand(const std::string& port, const UpdateOptions& options,
                                        const std::string& masterDir, const std::string& projectDir) {
    if constexpr (platform::kArgumentsFormOneParameterString)
        return {updaterParameters(port, options, masterDir, projectDir)};
    else
        return updaterArguments(port, options, masterDir, projectDir);
}

}  // namespace update
