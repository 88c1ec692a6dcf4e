// A project made and carried through the steps of the main window the way a
// user does it, and the outputs it leaves on disk.

#include "gui/EndToEnd.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

TEST_F(EndToEnd, StepsWriteTheImageAndTheGsdFile) {
    startProgram();
    makeProject();
    ASSERT_EQ(workspace().ProjectDir, m_program / "PROJECTS/Plant2");

    ui::Dialogs::queueAnswer(QString::fromStdString(projectFile("Plant2.gsd")));
    mainWindow().btn_Gds->click();
    EXPECT_EQ(readFile(projectFile("Plant2.gsd")), readFile(testData("gsd/worked-example/expected.gsd")));

    EXPECT_TRUE(updateDevice());
    EXPECT_EQ(readFile(projectFile("bin/bank.bin")),
              bytes({0x08, 0,    0,    0, 0x11, 0, 0,    0, 0x07, 0x00, 0x01, 0x00, 0x00, 0x14, 0x0A,
                     0x14, 0x64, 0x01, 0, 0x01, 0, 0x64, 0, 0x00, 0x01, 0xC8, 0,    0x02, 0x03}));
    ASSERT_EQ(shown(), std::vector<std::string>{"save file: "});
}

TEST_F(EndToEnd, UpdateDeviceStopsOnADamagedDocument) {
    startProgram();
    makeProject();
    writeFile(projectFile("bin/bank.bin"), "earlier");
    writeFile(projectFile("sdo.xml"),
              "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"ten\" Add_Profi_Hi=\"0\" "
              "Add_Profi_Lo=\"0\" Mnemonic=\"\"/></ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>");
    EXPECT_FALSE(updateDevice());
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: 'ten' is not a valid integer value"});
    EXPECT_EQ(readFile(projectFile("bin/bank.bin")), "earlier");
}

TEST_F(EndToEnd, UpdateDeviceReportsAnImageThatCannotBeWritten) {
    startProgram();
    makeProject();
    fs::remove_all(projectFile("bin"));
    EXPECT_FALSE(updateDevice()) << "the updater would be handed a stale image";
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: Cannot create file \"" + projectFile("bin/bank.bin") +
                                                "\". No such file or directory"});
}

TEST_F(EndToEnd, UpdateDeviceWithoutAProjectBuildsButWritesNothing) {
    startProgramOn("Plant1");
    fs::remove_all(m_program / "PROJECTS/Plant1");
    ui::Dialogs::queueAnswer(std::nullopt);
    mainWindow().open->click();
    ASSERT_EQ(workspace().ProjectDir, "");
    ui::Dialogs::takeRecords();

    EXPECT_FALSE(updateDevice());
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: Project not valid"});
}

// The state is reached by picking PROJECTS itself in Open project; a start
// without a remembered project sets no project at all.
TEST_F(EndToEnd, ProjectsFolderStateWorksOnTheProjectsFolder) {
    startProgram();
    ui::Dialogs::queueAnswer(QString::fromStdString(m_program / "PROJECTS"));
    mainWindow().open->click();
    ASSERT_EQ(workspace().ProjectDir, m_program / "PROJECTS");
    ui::Dialogs::takeRecords();
    fs::create_directories(m_program / "PROJECTS/bin");
    EXPECT_TRUE(updateDevice());
    EXPECT_EQ(readFile(m_program / "PROJECTS/bin/bank.bin"), bytes({8, 0, 0, 0, 8, 0, 0, 0}));
}

}  // namespace
