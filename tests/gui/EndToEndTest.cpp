// A project made and carried through the steps of the main window the way a
// user does it, and the outputs it leaves on disk.

#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "documents/USetVar.h"
#include "documents/Upargen.h"
#include "project/Unewp.h"
#include "support/GuiTest.h"
#include "support/SerialTestSupport.h"
#include "ui/GraphicButton.h"
#include "update/UBootSer.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

std::string bytes(std::initializer_list<unsigned> values) {
    std::string text;
    for (unsigned value : values) text.push_back(static_cast<char>(value));
    return text;
}

class EndToEnd : public GuiTest {
protected:
    std::string projectFile(const std::string& name) { return workspace().ProjectDir + "/" + name; }

    void makeProject() {
        whenModal<project::TFsaveproj>([](project::TFsaveproj& dialog) {
            dialog.Edit1->setText(QStringLiteral("Plant2"));
            QTest::mouseClick(dialog.bitbtn1, Qt::LeftButton);
        });
        mainWindow().New->click();
        whenModal<documents::TFpargen>([](documents::TFpargen& w) {
            w.E_Pro_ID->setText(QStringLiteral("20"));
            w.E_PRo_IN->setText(QStringLiteral("20"));
            w.E_PRo_Out->setText(QStringLiteral("100"));
            QTest::mouseClick(w.bitbtn1, Qt::LeftButton);
        });
        mainWindow().btn_Prm_Gen->click();
        whenModal<documents::TFSetVar>([](documents::TFSetVar& w) {
            documents::TFSetVar::setCell(w.sga, 1, 1, QStringLiteral("100"));
            documents::TFSetVar::setCell(w.sga, 2, 1, QStringLiteral("0"));
            documents::TFSetVar::setCell(w.sga, 3, 1, QStringLiteral("1"));
            documents::TFSetVar::setCell(w.sga, 4, 1, QStringLiteral("Level"));
            documents::TFSetVar::setCell(w.Sgb, 1, 1, QStringLiteral("$C8"));
            documents::TFSetVar::setCell(w.Sgb, 2, 1, QStringLiteral("2"));
            documents::TFSetVar::setCell(w.Sgb, 3, 1, QStringLiteral("3"));
            QTest::mouseClick(w.bitbtn1, Qt::LeftButton);
        });
        mainWindow().btn_Sdo->click();
    }

    // Presses "Update Device"; answers whether the update wizard was shown.
    bool updateDevice() {
        bool wizardShown = false;
        QTimer::singleShot(0, [&] {
            if (auto* wizard = qobject_cast<update::TFBootSer*>(QApplication::activeModalWidget())) {
                wizardShown = true;
                wizard->done(QDialog::Rejected);
            }
        });
        mainWindow().CreateBin->click();
        QApplication::processEvents();
        return wizardShown;
    }
};

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

TEST_F(EndToEnd, UpdateDeviceHandsTheImageToTheUpdater) {
    startProgram();
    makeProject();
    ui::Dialogs::queueAnswer(QString::fromStdString(projectFile("Plant2.gsd")));
    mainWindow().btn_Gds->click();

    serial_test::PseudoTerminal pty;
    fs::create_symlink(pty.slavePath(), m_program / "devices/ttyUSB0");
    m_forms->window<update::TFBootSer>()->useSerialServices(
        std::make_shared<serial_test::StandInServices>(std::make_shared<serial_test::StandInScript>()));
    // The updater records its arguments and what it found in the bin folder.
    writeFile(m_program / "Ser_48213_Update",
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\nls \"$7\" >> \"$0.args\"\n");
    fs::permissions(m_program / "Ser_48213_Update", fs::perms::owner_all);
    writeFile(m_program / "MASTER/sim48213.sim", "device");

    whenModal<update::TFBootSer>([](update::TFBootSer& wizard) {
        QTest::mouseClick(wizard.LbButton1, Qt::LeftButton);
        QTest::mouseClick(wizard.LbButton2, Qt::LeftButton);
        QTest::mouseClick(wizard.LbButton4, Qt::LeftButton);
        wizard.reject();
    });
    mainWindow().CreateBin->click();

    EXPECT_EQ(readFile(m_program / "Ser_48213_Update.args"), (m_program / "devices/ttyUSB0") + "\nFW\nFR\nPW\nPR\n" +
                                                                 (m_program / "MASTER/sim48213.sim") + "\n" +
                                                                 projectFile("bin/") + "\nbank.bin\n");
    EXPECT_EQ(readFile(projectFile("bin/bank.bin")).size(), 29u);
    EXPECT_EQ(shown(), (std::vector<std::string>{"save file: ", "information: The updater ended with exit code 0."}));
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
