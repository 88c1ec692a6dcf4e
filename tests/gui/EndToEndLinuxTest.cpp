// The update wizard at the end of the steps hands the image to the updater:
// the port is a pseudo-terminal and the updater a shell script, both POSIX.
#include "gui/EndToEnd.h"
#include "support/SerialTestSupport.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

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

}  // namespace
