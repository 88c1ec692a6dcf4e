#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <filesystem>

#include "support/CaseNames.h"
#include "support/GuiTest.h"
#include "support/SerialTestSupport.h"
#include "ui/GraphicButton.h"
#include "update/CommPort.h"
#include "update/UBootSer.h"

namespace {

using namespace testing_support;
using serial_test::PseudoTerminal;
using update::TFBootSer;
namespace fs = std::filesystem;

class UpdateWizard : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
    }
    TFBootSer& wizard() { return *m_forms->window<update::TFBootSer>(); }
    std::string device(const std::string& name) { return m_program / ("devices/" + name); }
    void link(const PseudoTerminal& pty, const std::string& name) { fs::create_symlink(pty.slavePath(), device(name)); }
    // Ports open through stand-ins that take DTR, which a pseudo-terminal cannot.
    std::shared_ptr<serial_test::StandInScript> standIn() {
        auto script = std::make_shared<serial_test::StandInScript>();
        wizard().useSerialServices(std::make_shared<serial_test::StandInServices>(script));
        return script;
    }
    // The updater: a script that records the arguments it got, one per line,
    // and ends with exitCode; and the device file it is handed.
    void installUpdater(int exitCode = 0) {
        const std::string path = m_program / "Ser_48213_Update";
        writeFile(path,
                  "#!/bin/sh\nsleep 0.2\nprintf '%s\\n' \"$@\" > \"$0.args\"\nexit " + std::to_string(exitCode) + "\n");
        fs::permissions(path, fs::perms::owner_all);
        writeFile(m_program / "MASTER/sim48213.sim", "device");
    }
    // Connects, goes to the options page and presses "Execute update firmware".
    void execute() {
        PseudoTerminal pty;
        link(pty, "ttyUSB0");
        standIn();
        show([&](TFBootSer& w) {
            QTest::mouseClick(w.LbButton1, Qt::LeftButton);
            QTest::mouseClick(w.LbButton2, Qt::LeftButton);
            QTest::mouseClick(w.LbButton4, Qt::LeftButton);
            EXPECT_TRUE(onOptionsPage(w));
            w.reject();
        });
    }
    std::string updaterArguments() { return readFile(m_program / "Ser_48213_Update.args"); }

    template <class Action>
    void show(Action action) {
        whenModal<TFBootSer>([&](TFBootSer& w) { action(w); });
        wizard().exec();
    }
    static std::vector<std::string> ports(const TFBootSer& w) {
        std::vector<std::string> items;
        for (int i = 0; i < w.CB_Com->count(); ++i) items.push_back(w.CB_Com->itemText(i).toStdString());
        return items;
    }
    static bool onOptionsPage(const TFBootSer& w) {
        return w.Panel1->isVisible() && !w.Label1->isVisible() && !w.Label6->isVisible() && !w.LbButton5->isVisible();
    }
};

TEST_F(UpdateWizard, StepsAndOptionsAsLaidOut) {
    TFBootSer& w = wizard();
    EXPECT_EQ(w.windowTitle().toStdString(), "Update Firmware from Serial (RS232)");
    EXPECT_EQ(w.font().pointSize(), 8);
    const std::vector<std::pair<QLabel*, std::string>> labels{
        {w.Label1, "Follow these steps to update the GW48213 from RS232:"},
        {w.Label2, "1 - Turn OFF the Device"},
        {w.Label3, "2 - Insert the Boot Jumper (see the manual)"},
        {w.Label4, "3 - Select the  COM port and press the connect button"},
        {w.Label5, "4 - Turn ON the Device"},
        {w.Label6, "5 - Check the BOOT led. It must blink quickly"},
        {w.Label7, "Update Device Options"}};
    for (const auto& [label, text] : labels) EXPECT_EQ(label->text().toStdString(), text);
    EXPECT_EQ(w.LbButton5->toolTip().toStdString(), "Update COM Port List");
    EXPECT_EQ(w.LbButton1->text().toStdString(), "Connect");
    EXPECT_EQ(w.LbButton2->text().toStdString(), "Next");
    EXPECT_EQ(w.LbButton2->glyph(), ui::GraphicButton::Glyph::ArrowRight);
    EXPECT_EQ(w.LbButton3->text().toStdString(), "Cancel");
    EXPECT_EQ(w.LbButton4->text().toStdString(), "Execute update firmware");
    const std::vector<std::pair<QCheckBox*, std::string>> options{{w.CB_Firm, "Firmware"},
                                                                  {w.CB_RFirm, "Read Firmware when finish"},
                                                                  {w.CB_Proj, "Project"},
                                                                  {w.CB_RProj, "Read Project when finish"}};
    for (const auto& [box, text] : options) {
        EXPECT_EQ(box->text().toStdString(), text);
        EXPECT_TRUE(box->isChecked()) << text;
    }
    EXPECT_FALSE(w.Panel2->isEnabled());
    EXPECT_TRUE(w.Panel2->isHidden());
    for (QCheckBox* unused : {w.CB_Par, w.CB_Var}) {
        EXPECT_TRUE(unused->isHidden());
        EXPECT_TRUE(unused->isChecked());
    }
    EXPECT_EQ(w.CB_Par->text().toStdString(), "Parameter");
    EXPECT_EQ(w.CB_Var->text().toStdString(), "List PGN");
    EXPECT_EQ(w.comm().DeviceName(), "Com2");
    EXPECT_TRUE(w.comm().MonitorEvents() == update::TCommEventTypes::all());
    EXPECT_TRUE(w.comm().Options().empty());
}

TEST_F(UpdateWizard, PortListComesFromTheProbeAndTheRefreshButton) {
    PseudoTerminal a, b, c;
    link(a, "ttyUSB0");
    link(b, "ttyS3");
    std::vector<std::string> shownFirst, shownAfterRefresh;
    std::string selected;
    show([&](TFBootSer& w) {
        shownFirst = ports(w);
        selected = w.CB_Com->currentText().toStdString();
        link(c, "ttyS1");
        QTest::mouseClick(w.LbButton5, Qt::LeftButton);
        shownAfterRefresh = ports(w);
        w.LbButton3->click();
    });
    EXPECT_EQ(shownFirst, (std::vector<std::string>{device("ttyS3"), device("ttyUSB0")}));
    EXPECT_EQ(selected, device("ttyS3"));
    EXPECT_EQ(shownAfterRefresh, (std::vector<std::string>{device("ttyS1"), device("ttyS3"), device("ttyUSB0")}));
}

TEST_F(UpdateWizard, ConnectFailsWhenDtrCannotBeRaised) {
    PseudoTerminal pty;
    link(pty, "ttyS0");
    bool tested = true;
    show([&](TFBootSer& w) {
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);  // a pseudo-terminal has no DTR line
        tested = w.PortTested;
        QTest::mouseClick(w.LbButton2, Qt::LeftButton);
        EXPECT_FALSE(onOptionsPage(w));
        w.LbButton3->click();
    });
    EXPECT_FALSE(tested);
    EXPECT_EQ(shown(),
              (std::vector<std::string>{"error: Error!! Com Port cannot be open.", "error: Select one port."}));
    EXPECT_EQ(serial_test::descriptorsOpenOn(pty.slavePath()), 1) << "the port was released";
}

TEST_F(UpdateWizard, NoPortPresent) {
    show([](TFBootSer& w) {
        EXPECT_EQ(w.CB_Com->count(), 0);
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);
        QTest::mouseClick(w.LbButton2, Qt::LeftButton);
        w.LbButton3->click();
    });
    EXPECT_EQ(shown(),
              (std::vector<std::string>{"error: Error!! Com Port cannot be open.", "error: Select one port."}));
}

TEST_F(UpdateWizard, ConnectThenNextShowsTheOptionsAndFreesThePort) {
    PseudoTerminal pty;
    link(pty, "ttyUSB2");
    const auto script = standIn();
    show([&](TFBootSer& w) {
        EXPECT_FALSE(w.Panel1->isVisible());
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);
        EXPECT_TRUE(w.PortTested);
        EXPECT_TRUE(w.comm().IsOpen()) << "the tested port stays open until Next";
        EXPECT_EQ(w.comm().DeviceName(), device("ttyUSB2"));
        QTest::mouseClick(w.LbButton2, Qt::LeftButton);
        EXPECT_TRUE(onOptionsPage(w));
        EXPECT_EQ(w.Panel1->geometry(), w.rect());
        EXPECT_FALSE(w.comm().IsOpen()) << "the updater needs the port";
        w.reject();  // the close box
    });
    EXPECT_EQ(script->escapes, std::vector<std::uint32_t>{platform::commescape::kSetDtr});
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

TEST_F(UpdateWizard, SecondConnectRetestsThePort) {
    PseudoTerminal pty;
    link(pty, "ttyS4");
    standIn();
    bool firstTest = false, secondTest = true;
    show([&](TFBootSer& w) {
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);
        firstTest = w.PortTested;
        fs::remove(device("ttyS4"));  // the adapter is unplugged
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);
        secondTest = w.PortTested;
        EXPECT_FALSE(w.comm().IsOpen());
        w.LbButton3->click();
    });
    EXPECT_TRUE(firstTest);
    EXPECT_FALSE(secondTest);
    EXPECT_EQ(shown(), std::vector<std::string>{"error: Error!! Com Port cannot be open."});
}

TEST_F(UpdateWizard, ClosingTheWizardClosesThePortAndReopeningStartsOver) {
    PseudoTerminal pty;
    link(pty, "ttyS5");
    standIn();
    show([&](TFBootSer& w) {
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);
        w.LbButton3->click();
    });
    EXPECT_FALSE(wizard().comm().IsOpen());

    show([&](TFBootSer& w) {
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);
        QTest::mouseClick(w.LbButton2, Qt::LeftButton);
        w.CB_RFirm->setChecked(false);
        w.reject();
    });
    PseudoTerminal later;
    link(later, "ttyACM0");
    show([&](TFBootSer& w) {
        EXPECT_FALSE(w.PortTested);
        EXPECT_FALSE(w.Panel1->isVisible());
        EXPECT_TRUE(w.Label1->isVisible());
        EXPECT_TRUE(w.LbButton5->isVisible());
        EXPECT_EQ(ports(w), (std::vector<std::string>{device("ttyS5"), device("ttyACM0")}));
        EXPECT_FALSE(w.CB_RFirm->isChecked()) << "the options keep their state for the whole run";
        EXPECT_TRUE(w.CB_Firm->isChecked());
        w.LbButton3->click();
    });
}

struct OptionsCase {
    bool firmware, readFirmware, project, readProject;
    std::string flags;
};

class UpdateWizardOptions : public UpdateWizard, public ::testing::WithParamInterface<OptionsCase> {};

TEST_P(UpdateWizardOptions, ExecuteHandsTheUpdaterItsArguments) {
    const OptionsCase& c = GetParam();
    PseudoTerminal pty;
    link(pty, "ttyUSB0");
    standIn();
    installUpdater();
    show([&](TFBootSer& w) {
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);
        QTest::mouseClick(w.LbButton2, Qt::LeftButton);
        w.CB_Firm->setChecked(c.firmware);
        w.CB_RFirm->setChecked(c.readFirmware);
        w.CB_Proj->setChecked(c.project);
        w.CB_RProj->setChecked(c.readProject);
        QTest::mouseClick(w.LbButton4, Qt::LeftButton);
        // The wizard waited for the updater's end and stays on its options page.
        EXPECT_TRUE(fs::exists(m_program / "Ser_48213_Update.args"));
        EXPECT_TRUE(onOptionsPage(w));
        w.reject();
    });
    EXPECT_EQ(updaterArguments(), device("ttyUSB0") + "\n" + c.flags + (m_program / "MASTER/sim48213.sim") + "\n" +
                                      (m_program / "PROJECTS/Plant1/bin/") + "\n");
    EXPECT_EQ(shown(), std::vector<std::string>{"information: The updater ended with exit code 0."});
}

INSTANTIATE_TEST_SUITE_P(Cases, UpdateWizardOptions,
                         ::testing::Values(OptionsCase{true, true, true, true, "FW\nFR\nPW\nPR\n"},
                                           OptionsCase{false, true, true, true, "NO\nFR\nPW\nPR\n"},
                                           OptionsCase{true, false, true, true, "FW\nNO\nPW\nPR\n"},
                                           OptionsCase{true, true, false, true, "FW\nFR\nNO\nPR\n"},
                                           OptionsCase{true, true, true, false, "FW\nFR\nPW\nNO\n"},
                                           OptionsCase{false, false, false, false, "NO\nNO\nNO\nNO\n"}),
                         [](const auto& info) {
                             std::string flags = info.param.flags;
                             std::erase_if(flags, [](char c) { return c == ' ' || c == '\n'; });
                             return flags;
                         });

// A missing tool is named with its path and what to do, and nothing is started.
TEST_F(UpdateWizard, MissingUpdaterIsReported) {
    writeFile(m_program / "MASTER/sim48213.sim", "device");
    execute();
    EXPECT_EQ(shown(), std::vector<std::string>{"error: The updater " + (m_program / "Ser_48213_Update") +
                                                " was not found. Put Ser_48213_Update beside the program; see README"});
}

TEST_F(UpdateWizard, MissingDeviceFileIsReportedAndTheUpdaterNotStarted) {
    installUpdater();
    fs::remove(m_program / "MASTER/sim48213.sim");
    execute();
    EXPECT_EQ(shown(), std::vector<std::string>{"error: The device file " + (m_program / "MASTER/sim48213.sim") +
                                                " was not found. Put sim48213.sim in MASTER beside the program; "
                                                "see README"});
    EXPECT_FALSE(fs::exists(m_program / "Ser_48213_Update.args"));
}

TEST_F(UpdateWizard, UpdaterThatCannotStartIsReported) {
    installUpdater();
    fs::permissions(m_program / "Ser_48213_Update", fs::perms::owner_read | fs::perms::owner_write);
    execute();
    EXPECT_EQ(shown(), std::vector<std::string>{"error: The updater " + (m_program / "Ser_48213_Update") +
                                                " could not be started. Put Ser_48213_Update beside the program; "
                                                "see README"});
}

// The wizard says how the updater ended: a failure as an error.
TEST_F(UpdateWizard, UpdaterExitCodeIsReported) {
    installUpdater(3);
    execute();
    EXPECT_TRUE(fs::exists(m_program / "Ser_48213_Update.args"));
    EXPECT_EQ(shown(), std::vector<std::string>{"error: The updater ended with exit code 3."});
}

}  // namespace

namespace {

// The steps page's controls lie under the options page; once it is shown,
// Tab walks the options page alone, and Enter means "Execute update firmware".
TEST_F(UpdateWizard, OptionsPageAloneIsReachable) {
    PseudoTerminal pty;
    link(pty, "ttyUSB0");
    standIn();
    std::vector<QWidget*> walked;
    bool nextWasDefault = false, executeIsDefault = false;
    show([&](TFBootSer& w) {
        w.activateWindow();
        QApplication::processEvents();
        nextWasDefault = w.LbButton2->isDefault();
        QTest::mouseClick(w.LbButton1, Qt::LeftButton);
        QTest::keyClick(w.CB_Com, Qt::Key_Return);
        ASSERT_TRUE(onOptionsPage(w)) << "Enter pressed Next";
        executeIsDefault = w.LbButton4->isDefault();
        for (int i = 0; i < 12; ++i) {
            walked.push_back(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        w.reject();
    });
    EXPECT_TRUE(nextWasDefault);
    EXPECT_TRUE(executeIsDefault);
    TFBootSer& w = wizard();
    const std::vector<QWidget*> own{w.CB_Firm, w.CB_RFirm, w.CB_Proj, w.CB_RProj, w.LbButton4};
    for (QWidget* each : walked) {
        EXPECT_NE(std::find(own.begin(), own.end(), each), own.end())
            << "Tab reached " << (each ? each->metaObject()->className() : "nothing") << " "
            << (each ? each->accessibleName().toStdString() : "");
    }
    for (QWidget* each : own) EXPECT_NE(std::find(walked.begin(), walked.end(), each), walked.end());
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

}  // namespace
