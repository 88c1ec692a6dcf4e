#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "project/NewProject.h"
#include "support/CaseNames.h"
#include "support/TestFiles.h"

namespace {

using testing_support::nativePath;
using testing_support::TempDir;

void remember(const TempDir& program, const std::string& name) {
    testing_support::writeFile(program / "Tessaro_Ru2Doror.ini", "[lastproj]\r\nprojectname=" + name + "\r\n");
}

// Without a remembered project nothing is current: the documents would
// otherwise land in PROJECTS itself.
TEST(WorkspaceStartUp, FirstStartMakesTheFoldersAndSetsNoProject) {
    TempDir program;
    workspace::Workspace ws;
    EXPECT_FALSE(ws.startUp(program.path() + platform::kPathSeparator));
    EXPECT_EQ(ws.ProgramDir, program.path());
    EXPECT_EQ(ws.MasterDir, program / "MASTER");
    EXPECT_EQ(ws.ProjectsDir, program / "PROJECTS");
    EXPECT_TRUE(testing_support::exists(program / "MASTER"));
    EXPECT_TRUE(testing_support::exists(program / "PROJECTS"));
    EXPECT_EQ(ws.ProjectName, "");
    EXPECT_EQ(ws.ProjectDir, "");
    EXPECT_EQ(ws.PargenPath, nativePath("/pargen.xml"));
    EXPECT_EQ(ws.PdoPath, nativePath("/pdo.xml"));
}

struct RememberedCase {
    std::string stored;       // value in the settings file
    std::string folder;       // folder made below PROJECTS, or empty
    std::string projectName;  // expected ProjectName
    bool opened;              // expected: the remembered project became current
};

class WorkspaceRemembered : public ::testing::TestWithParam<RememberedCase> {};

TEST_P(WorkspaceRemembered, StartsOnTheRememberedProject) {
    const RememberedCase& c = GetParam();
    TempDir program;
    if (!c.folder.empty()) std::filesystem::create_directories(program / ("PROJECTS/" + c.folder));
    remember(program, c.stored);

    workspace::Workspace ws;
    EXPECT_EQ(ws.startUp(program.path()), c.opened);
    EXPECT_EQ(ws.ProjectName, nativePath(c.projectName));
    EXPECT_EQ(ws.ProjectDir, c.opened ? ws.ProjectsDir + nativePath(c.projectName) : std::string());
    EXPECT_EQ(ws.SdoPath, ws.ProjectDir + nativePath("/sdo.xml"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkspaceRemembered,
    ::testing::Values(RememberedCase{"Plant1", "Plant1", "/Plant1", true},
                      RememberedCase{"/Plant1", "Plant1", "/Plant1", true},
                      RememberedCase{"\\Plant1", "Plant1", "/Plant1", true},
                      RememberedCase{"/Plant1", "", "/Plant1", false}, RememberedCase{"", "Plant1", "", false},
                      // Names that step out of PROJECTS, or into PROJECTS
                      // itself, set no project, also when the folder exists.
                      RememberedCase{"\\Area\\Plant1", "Area/Plant1", "/Area/Plant1", true},
                      RememberedCase{"\\Area\\\\Plant1", "Area/Plant1", "/Area//Plant1", false},
                      RememberedCase{"..", "Plant1", "/..", false}, RememberedCase{".", "Plant1", "/.", false},
                      RememberedCase{"/", "Plant1", "/", false},
                      RememberedCase{"../../elsewhere", "Plant1", "/../../elsewhere", false},
                      RememberedCase{"Plant1/..", "Plant1", "/Plant1/..", false},
                      RememberedCase{"\\..\\MASTER", "Plant1", "/../MASTER", false}),
    [](const auto& info) {
        return testing_support::caseName({{"Case", std::to_string(info.index)}, {"_Stored", info.param.stored}});
    });

TEST(WorkspaceSettings, WritesTheNameVerbatimOrReportsThePath) {
    TempDir program;
    workspace::Workspace ws;
    ws.startUp(program.path());
    ws.ProjectName = "Plant2";
    ws.writeSettings();
    EXPECT_EQ(testing_support::readFile(program / "Tessaro_Ru2Doror.ini"), "[lastproj]\r\nprojectname=Plant2\r\n");

    std::filesystem::remove(program / "Tessaro_Ru2Doror.ini");
    std::filesystem::create_directory(program / "Tessaro_Ru2Doror.ini");  // cannot be replaced by a file
    try {
        ws.writeSettings();
        FAIL() << "expected a failure";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + (program / "Tessaro_Ru2Doror.ini"));
    }
}

// New project makes its folder current through the same operation as Open project.
TEST(WorkspaceCurrentProject, SetsNameFolderAndEveryDocumentPath) {
    workspace::Workspace ws;
    ws.ProjectDir = "/old";
    ws.SetDocumentPaths();
    ws.setCurrentProject("Plant2", "/programs/PROJECTS/Plant2");
    EXPECT_EQ(ws.ProjectName, "Plant2");
    EXPECT_EQ(ws.ProjectDir, "/programs/PROJECTS/Plant2");
    const std::vector<std::string> paths{ws.PargenPath,  ws.SdoPath,    ws.EmcydefPath, ws.EmcywordPath,
                                         ws.RpdodefPath, ws.SdopdoPath, ws.PdoPath};
    const std::vector<std::string> names{"pargen.xml",  "sdo.xml",    "emcydef.xml", "emcyword.xml",
                                         "rpdodef.xml", "sdopdo.xml", "pdo.xml"};
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(paths[i], "/programs/PROJECTS/Plant2" + nativePath("/") + names[i]);
}

TEST(WorkspaceOpenProject, DerivesTheNameByLength) {
    TempDir program;
    std::filesystem::create_directories(program / "PROJECTS/Area/Plant1");
    workspace::Workspace ws;
    ws.startUp(program.path());

    EXPECT_EQ(ws.prepareOpenProject(), "") << "no project is set at a first start";
    const std::string nested = ws.ProjectsDir + nativePath("/Area/Plant1");
    ws.finishOpenProject(&nested);
    EXPECT_EQ(ws.ProjectName, nativePath("/Area/Plant1"));
    EXPECT_EQ(ws.PargenPath, nested + nativePath("/pargen.xml"));

    ws.finishOpenProject(&ws.ProjectsDir);
    EXPECT_EQ(ws.ProjectName, "");

    // A project made by New project carries no separator; a cancelled Open
    // project derives it again from the folder.
    ws.ProjectDir = nested;
    ws.ProjectName = "Plant1";
    EXPECT_EQ(ws.prepareOpenProject(), nested);
    ws.finishOpenProject(nullptr);
    EXPECT_EQ(ws.ProjectName, nativePath("/Area/Plant1"));

    std::filesystem::remove_all(testing_support::pathOf(nested));
    EXPECT_EQ(ws.prepareOpenProject(), "");
    ws.finishOpenProject(nullptr);
    EXPECT_EQ(ws.ProjectDir, "");
    EXPECT_EQ(ws.ProjectName, "");
    EXPECT_EQ(ws.PargenPath, nativePath("/pargen.xml"));
}

struct NewProjectCase {
    std::string destination;
    std::string name;
    std::vector<std::string> messages;
    bool created;
};

class NewProjectNames : public ::testing::TestWithParam<NewProjectCase> {};

TEST_P(NewProjectNames, ChecksThenCreates) {
    const NewProjectCase& c = GetParam();
    TempDir program;
    std::filesystem::create_directories(program / "PROJECTS/Existing");
    const std::string destination = c.destination.empty() ? "" : program / c.destination;

    const project::NewProjectOutcome outcome = project::createProject(destination, c.name);
    EXPECT_EQ(outcome.messages, c.messages);
    EXPECT_EQ(outcome.created, c.created);
    if (c.created) {
        EXPECT_EQ(outcome.projectDir, platform::joinPath(destination, c.name));
        EXPECT_TRUE(testing_support::exists(outcome.projectDir + "/bin"));
    }
    // Nothing is ever made outside the destination.
    EXPECT_FALSE(testing_support::exists(program / "evil"));
    EXPECT_FALSE(testing_support::exists(program / "PROJECTS/a"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewProjectNames,
    ::testing::Values(NewProjectCase{"PROJECTS", "Plant2", {}, true},
                      NewProjectCase{"PROJECTS", "Plant 2 (\xC3\xA9)", {}, true},
                      NewProjectCase{"PROJECTS", "", {project::kNameNotValid}, false},
                      NewProjectCase{"", "", {project::kDestinationNotValid, project::kNameNotValid}, false},
                      NewProjectCase{"", "Plant2", {project::kDestinationNotValid}, false},
                      NewProjectCase{"PROJECTS", "Existing", {project::kNameExists}, false},
                      NewProjectCase{"PROJECTS", "../evil", {project::kNameNotValid}, false},
                      NewProjectCase{"PROJECTS", "a/b", {project::kNameNotValid}, false},
                      NewProjectCase{"PROJECTS", "a\\b", {project::kNameNotValid}, false},
                      NewProjectCase{"PROJECTS", ".", {project::kNameNotValid}, false},
                      NewProjectCase{"PROJECTS", "..", {project::kNameNotValid}, false},
                      // Pasted control characters and bytes that are no UTF-8 never reach
                      // a folder name, the settings file or a title.
                      NewProjectCase{"PROJECTS", "Plant\x01", {project::kNameNotValid}, false},
                      NewProjectCase{"PROJECTS", "Plant\n2", {project::kNameNotValid}, false},
                      NewProjectCase{"PROJECTS", "Plant\t2", {project::kNameNotValid}, false},
                      NewProjectCase{"PROJECTS", "Plant\xFF", {project::kNameNotValid}, false},
                      // The system refuses the folder: no message, nothing made.
                      NewProjectCase{"PROJECTS/missing", "Plant2", {}, false},
                      NewProjectCase{"PROJECTS", std::string(300, 'n'), {}, false}),
    [](const auto& info) {
        return testing_support::caseName(
            {{"Case", std::to_string(info.index)}, {"_", info.param.destination}, {"_", info.param.name}});
    });

}  // namespace
