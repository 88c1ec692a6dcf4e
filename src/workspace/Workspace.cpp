#include "workspace/Workspace.h"

#include <algorithm>
#include <stdexcept>

#include "canopen/Editors.h"
#include "documents/AccessTables.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"

namespace workspace {

using platform::joinPath;
using platform::kPathSeparator;

std::string normaliseRememberedName(std::string name) {
    // A settings file carried over from Windows holds "\Plant1", one from
    // Linux "/Plant1".
    const char otherSeparator = kPathSeparator == '/' ? '\\' : '/';
    std::replace(name.begin(), name.end(), otherSeparator, kPathSeparator);
    if (!name.empty() && name.front() != kPathSeparator) name.insert(name.begin(), kPathSeparator);
    return name;
}

bool Workspace::startUp(const std::string& programDir) {
    ProgramDir = programDir;
    while (ProgramDir.size() > 1 && ProgramDir.back() == kPathSeparator) ProgramDir.pop_back();

    MasterDir = joinPath(ProgramDir, "MASTER");
    if (!platform::folderExists(MasterDir)) platform::createFolder(MasterDir);
    ProjectsDir = joinPath(ProgramDir, "PROJECTS");
    if (!platform::folderExists(ProjectsDir)) platform::createFolder(ProjectsDir);

    ProjectName = normaliseRememberedName(platform::readIniValue(settingsPath(), kSettingsSection, kSettingsKey));

    // The settings file is plain text anyone can edit: a name that does not
    // lead to a folder below PROJECTS would let the windows read and write
    // elsewhere (above PROJECTS, in the program folder, in PROJECTS itself),
    // so it sets no project at all and the windows refuse to open.
    const bool remembered = isProjectFolderName(ProjectName) && platform::folderExists(ProjectsDir + ProjectName);
    ProjectDir = remembered ? ProjectsDir + ProjectName : std::string();
    SetDocumentPaths();
    return remembered;
}

bool isProjectFolderName(std::string_view name) {
    if (!name.empty() && name.front() == kPathSeparator) name.remove_prefix(1);
    if (name.empty()) return false;
    // Open project may pick a folder below a folder of PROJECTS, so a name may
    // have several levels; each must be a plain name, never a step up or aside.
    while (true) {
        const std::size_t end = name.find(kPathSeparator);
        const std::string_view level = name.substr(0, end);
        if (level.empty() || level == "." || level == "..") return false;
        if (level.find_first_of("/\\") != std::string_view::npos || level.find('\0') != std::string_view::npos)
            return false;
        if (end == std::string_view::npos) return true;
        name.remove_prefix(end + 1);
    }
}

void Workspace::SetDocumentPaths() {
    PargenPath = joinPath(ProjectDir, "pargen.xml");
    SdoPath = joinPath(ProjectDir, documents::kSdoFileName);
    // The editors' documents under the names their descriptors give them.
    const auto editorPath = [&](const canopen::EditorDescriptor& editor) { return joinPath(ProjectDir, editor.file); };
    EmcydefPath = editorPath(canopen::kTranslateEmcyEditor);
    EmcywordPath = editorPath(canopen::kEmcyWordEditor);
    RpdodefPath = editorPath(canopen::kTranslatePdoEditor);
    SdopdoPath = editorPath(canopen::kStorePdoEditor);
    PdoPath = editorPath(canopen::kPdoEditor);
}

std::string Workspace::settingsPath() const {
    return joinPath(ProgramDir, kSettingsFileName);
}

void Workspace::writeSettings() const {
    const std::string path = settingsPath();
    try {
        platform::writeIniValue(path, kSettingsSection, kSettingsKey, ProjectName);
    } catch (const std::exception&) {
        throw std::runtime_error("Unable to write to " + path);
    }
}

std::string Workspace::prepareOpenProject() {
    if (!platform::folderExists(ProjectDir)) ProjectDir.clear();
    return ProjectDir;
}

void Workspace::setCurrentProject(const std::string& name, const std::string& folder) {
    ProjectName = name;
    ProjectDir = folder;
    SetDocumentPaths();
}

void Workspace::finishOpenProject(const std::string* chosenFolder) {
    const std::string folder = chosenFolder ? *chosenFolder : ProjectDir;
    // The cut is by length alone, as the chooser is rooted at ProjectsDir.
    setCurrentProject(folder.size() > ProjectsDir.size() ? folder.substr(ProjectsDir.size()) : std::string(), folder);
}

}  // namespace workspace
