#include "project/NewProject.h"

#include "platform/FileSystem.h"

namespace project {

bool isUsableProjectName(const std::string& name) {
    // A separator or a dot name would put the folder outside the destination,
    // and a backslash would be read back as a separator from the settings file.
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

NewProjectOutcome createProject(const std::string& destinationDir, const std::string& name) {
    NewProjectOutcome outcome;
    if (destinationDir.empty()) outcome.messages.emplace_back(kDestinationNotValid);
    if (!isUsableProjectName(name)) outcome.messages.emplace_back(kNameNotValid);
    if (!outcome.messages.empty()) return outcome;

    const std::string folder = platform::joinPath(destinationDir, name);
    if (platform::folderExists(folder)) {
        outcome.messages.emplace_back(kNameExists);
        return outcome;
    }
    if (!platform::createFolder(folder)) return outcome;
    platform::createFolder(platform::joinPath(folder, "bin"));
    outcome.created = true;
    outcome.projectDir = folder;
    return outcome;
}

}  // namespace project
