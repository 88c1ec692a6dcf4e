#pragma once

#include <string>
#include <string_view>

// The shared state of a run: the program folders, the current project and the
// paths of its documents. The main window owns the one Workspace; every other
// window reads it when it runs. All paths are held without a trailing separator.
namespace workspace {

// Build variant of the product, read by the auxiliary windows.
inline constexpr int BoardVariant = 2;

inline constexpr const char* kSettingsFileName = "Tessaro_Ru2Doror.ini";
inline constexpr const char* kSettingsSection = "lastproj";
inline constexpr const char* kSettingsKey = "projectname";

struct Workspace {
    std::string ProgramDir;
    std::string MasterDir;
    std::string ProjectsDir;
    // Name of the current project as the title shows it; with a leading
    // separator when set at start or by Open project, without one when set by
    // New project.
    std::string ProjectName;
    // Folder of the current project; empty when no valid project is set.
    std::string ProjectDir;

    std::string PargenPath;
    std::string SdoPath;
    std::string EmcydefPath;
    std::string EmcywordPath;
    std::string RpdodefPath;
    std::string SdopdoPath;
    std::string PdoPath;

    // Start-up: sets the program folders from programDir and creates MASTER
    // and PROJECTS when missing (failures ignored), reads the remembered
    // project from the settings file, makes it current when it names a folder
    // below PROJECTS (isProjectFolderName) that exists, else sets no
    // project (ProjectDir empty; ProjectName keeps the remembered text, which
    // closing writes back), and sets the document paths. Answers whether the
    // remembered project was opened. Never throws.
    bool startUp(const std::string& programDir);

    // Recomputes the seven document paths from ProjectDir.
    void SetDocumentPaths();

    // Makes folder the current project under name (as the title shows it),
    // and sets the document paths. Used by New project and Open project alike.
    void setCurrentProject(const std::string& name, const std::string& folder);

    std::string settingsPath() const;

    // Writes ProjectName verbatim to the settings file. Throws
    // std::runtime_error "Unable to write to <path>" when it cannot.
    void writeSettings() const;

    // Open project, before the chooser: empties ProjectDir when it names no
    // existing folder. Answers the folder to preselect (empty for none).
    std::string prepareOpenProject();

    // Open project, after the chooser: takes the chosen folder when the user
    // confirmed one, derives ProjectName from ProjectDir by cutting off the
    // length of ProjectsDir, and sets the document paths.
    void finishOpenProject(const std::string* chosenFolder);
};

// Whether a remembered name, after normaliseRememberedName, names a folder
// below PROJECTS: one optional leading separator, then one or more levels
// joined by this platform's separator, each not empty, not "." or "..", and
// holding no separator of the other platform and no NUL. Reads nothing.
bool isProjectFolderName(std::string_view name);

// A remembered name as this platform writes paths: separators of the other
// platform become this one's, and a leading separator is added.
std::string normaliseRememberedName(std::string name);

}  // namespace workspace
