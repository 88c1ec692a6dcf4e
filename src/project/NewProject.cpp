#include "project/NewProject.h"

#include "base/XmlText.h"
#include "platform/FileSystem.h"

namespace project {

bool isUsableProjectName(const std::string& name) {
    // A separator or a dot name would put the folder outside the destination,
    // and a backslash would be read back as a separator from the settings file.
    // The name is also written to the settings file, a line of text, and
    // shown in titles: a control character (a line end above all) or bytes
    // that are no UTF-8 would break the one and garble the other.
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && !base::firstNonXmlCharacter(name) &&
           name.find_first_of("\t\n\r") == std::string::npos;
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
