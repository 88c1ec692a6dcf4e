#pragma once

#include <string>
#include <vector>

// Making a new project folder, the work behind OK of the New project dialog.
namespace project {

inline constexpr const char* kDestinationNotValid = "directory destination not valid";
inline constexpr const char* kNameNotValid = "Name project not valid";
inline constexpr const char* kNameExists = "Name project not valid because directory already exists";

struct NewProjectOutcome {
    // Messages to show, in order; empty when the folder was made, and also
    // when it could not be created for a reason of the system.
    std::vector<std::string> messages;
    // True when the project folder was made; the dialog may close.
    bool created = false;
    // The new project folder, when created.
    std::string projectDir;
};

// True for a name that makes a folder directly inside the destination: not
// empty, not "." or "..", without a path separator of either platform, and
// UTF-8 text without control characters (tab and line ends included).
bool isUsableProjectName(const std::string& name);

// Checks destinationDir and name (both messages can come, in order), then
// makes destinationDir/name and its "bin" sub-folder (whose failure is
// ignored). Reads and creates folders; never throws.
NewProjectOutcome createProject(const std::string& destinationDir, const std::string& name);

}  // namespace project
