#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <filesystem>

#include "firmware/FirmwareGenerator.h"
#include "firmware/UModifyFileSx.h"
#include "support/GuiTest.h"
#include "support/SerialTestSupport.h"
#include "ui/GraphicButton.h"
#include "ui/Style.h"

namespace {

using namespace testing_support;
using firmware::TFModifyFileSx;
namespace fs = std::filesystem;

const QColor kRed(0xFF, 0x00, 0x00);

std::string bankBytes(int bank) {
    std::string bytes(16384, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 3 + bank * 41) & 0xFF);
    return bytes;
}

std::string bankRecords(int bank) {
    const std::string bytes = bankBytes(bank);
    std::string lines;
    for (int record = 0; record < 512; ++record)
        lines += firmware::bankRecord(firmware::bankOf(bank).firstAddress + record * 32,
                                      reinterpret_cast<const unsigned char*>(bytes.data()) + record * 32) +
                 "\r\n";
    return lines;
}

// Two lines of bank 1 and one of bank 2, between the header and the end.
const std::string kFirmware =
    "S0030000FC\r\n"
    "S2143880000102030405060708090A0B0C0D0E0F10AB\r\n"
    "S21410000000000000000000000000000000000000DB\r\n"
    "S21438BFF00102030405060708090A0B0C0D0E0F107C\r\n"
    "S2143980000102030405060708090A0B0C0D0E0F10AA\r\n"
    "S9030000FC\r\n";

class FirmwareWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
        writeFirmware(kFirmware);
        for (int bank : {1, 2}) writeFile(project() / ("bin/bank" + std::to_string(bank) + ".bin"), bankBytes(bank));
    }
    void TearDown() override {
        window().hide();
        GuiTest::TearDown();
    }
    TFModifyFileSx& window() { return *m_forms->window<TFModifyFileSx>(); }
    fs::path project() { return fs::path(m_program / "PROJECTS/Plant1"); }
    std::string result() { return (project() / "New_sx31570.sx").string(); }
    void writeFirmware(const std::string& text) { writeFile(m_program / "MASTER/sx31570.sx", text); }
    // A stand-in flasher that records its arguments, one a line.
    void installFlasher() {
        const std::string path = m_program / "FlashWrite";
        writeFile(path, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\"\nmv \"$0.tmp\" \"$0.args\"\n");
        fs::permissions(path, fs::perms::owner_all);
    }
    std::string flasherArguments() {
        if (!serial_test::eventually([&] { return exists(m_program / "FlashWrite.args"); })) return "not started";
        return readFile(m_program / "FlashWrite.args");
    }
    static std::vector<std::string> leftIn(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> leftInProject() { return leftIn(project()); }
    TFModifyFileSx& showWindow() {
        window().show();
        return window();
    }
    static QColor colourOf(const QWidget* box) { return box->palette().color(QPalette::Window); }
};

TEST_F(FirmwareWindow, ControlsAsTheyAreShown) {
    TFModifyFileSx& w = showWindow();
    EXPECT_EQ(w.windowTitle().toStdString(), "Generate Firmware");
    EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(colourOf(&w), ui::kBackground);
    EXPECT_EQ(w.palette().color(QPalette::WindowText), ui::kText);
    EXPECT_EQ(w.font().family(), ui::fontFamily());
    const QRect screen = w.screen()->geometry();
    EXPECT_EQ(w.frameGeometry().top(), screen.height() / 2 - w.frameGeometry().height());
    EXPECT_EQ(w.frameGeometry().left(), screen.width() / 2 - w.frameGeometry().width() / 2);

    const std::vector<std::tuple<QWidget*, std::string, bool>> controls{
        {w.LbButton1, "X", true},
        {w.LbButton2, "Execute update firmware", true},
        {w.Avanzamento, "", true},
        {w.Shape1, "", true},
        {w.Label3, "Name new Firmware:", false},
        {w.NewFileSx, "New_sx31570.sx", false},
        {w.OpenFile, "Open Firmware", false},
        {w.Options, "Options >>", false},
        {w.GbBank, "", false},
        {w.DirFileBin, "Directory File Bin", false},
        {w.ExeModFileSx, "Execute Modify File Sx", false},
        {w.ExeUpdateFir, "Execute update firmware", false}};
    for (const auto& [control, text, visible] : controls) {
        EXPECT_EQ(control->isVisible(), visible) << control->metaObject()->className() << " " << text;
        QString caption;
        if (auto* button = qobject_cast<QAbstractButton*>(control)) caption = button->text();
        if (auto* label = qobject_cast<QLabel*>(control)) caption = label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(control)) caption = edit->text();
        EXPECT_EQ(caption.toStdString(), text);
    }
    EXPECT_TRUE(w.LbButton2->isEnabled());
    std::vector<std::string> ports;
    for (int i = 0; i < w.cbport->count(); ++i) ports.push_back(w.cbport->itemText(i).toStdString());
    EXPECT_EQ(ports, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}));
    EXPECT_FALSE(w.cbport->isEditable());
    EXPECT_EQ(w.cbport->currentIndex(), 0);
    EXPECT_EQ(w.Avanzamento->value(), 0);
    const QList<QCheckBox*> boxes = w.bankBoxes();
    for (int bank = 1; bank <= 5; ++bank) {
        QCheckBox* box = boxes[bank - 1];
        EXPECT_EQ(box->text().toStdString(), "Bank " + std::to_string(bank));
        EXPECT_EQ(box->isHidden(), bank > 2) << bank;
        EXPECT_TRUE(box->isChecked()) << bank;
        EXPECT_EQ(colourOf(box), ui::kBackground) << bank;
    }
    EXPECT_EQ(w.FirmwareDir, m_program / "MASTER");
    EXPECT_EQ(w.FirmwareName, "sx31570.sx");
    EXPECT_EQ(w.NewFirmwareName, "New_sx31570.sx");
    EXPECT_EQ(w.OutputDir, (project() / "").string());
    EXPECT_EQ(w.BinDir, (project() / "bin/").string());
    EXPECT_EQ(GuiTest::shown(), std::vector<std::string>{});

    // What a showing sets again.
    w.cbport->setCurrentIndex(4);
    w.OptionsClick();
    w.Cbbank2->setChecked(false);
    w.Avanzamento->setValue(50);
    w.hide();
    w.show();
    EXPECT_EQ(w.cbport->currentIndex(), 0);
    EXPECT_EQ(w.Options->text().toStdString(), "Options >>");
    EXPECT_TRUE(w.GbBank->isHidden());
    EXPECT_TRUE(w.DirFileBin->isHidden());
    EXPECT_TRUE(w.Cbbank2->isChecked());
    EXPECT_EQ(w.Avanzamento->value(), 0);

    w.LbButton1->click();
    EXPECT_FALSE(w.isVisible());
}

struct MissingCase {
    const char* name;
    const char* removed;  // below the program folder
    const char* message;
};

void PrintTo(const MissingCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareWindowMissing : public FirmwareWindow, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(FirmwareWindowMissing, ShowsAnErrorAndOffersNoRun) {
    fs::remove_all(m_program / GetParam().removed);
    TFModifyFileSx& w = showWindow();
    EXPECT_EQ(GuiTest::shown(), std::vector<std::string>{std::string("error: ") + GetParam().message});
    EXPECT_FALSE(w.LbButton2->isEnabled());

    // Open Firmware starts in MASTER while it exists, else in the program folder; a cancel changes nothing.
    ui::Dialogs::queueAnswer(std::nullopt);
    w.OpenFile->click();
    const QList<ui::Dialogs::Record> records = ui::Dialogs::takeRecords();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].chooser.initialFolder.toStdString(),
              fs::exists(m_program / "MASTER") ? m_program / "MASTER" : m_program.path());
    EXPECT_FALSE(w.LbButton2->isEnabled());
    EXPECT_EQ(w.FirmwareName, "");
}

INSTANTIATE_TEST_SUITE_P(
    Firmware, FirmwareWindowMissing,
    ::testing::Values(MissingCase{"FileMissing", "MASTER/sx31570.sx",
                                  "Error! Firmware File not Found! Please reinstall the software."},
                      MissingCase{"FolderMissing", "MASTER",
                                  "Error! Firmware Directory not Found! Please reinstall the software."}),
    [](const ::testing::TestParamInfo<MissingCase>& info) { return std::string(info.param.name); });

TEST_F(FirmwareWindow, ExecuteGeneratesTheFirmwareThenStartsTheFlasherOnThePort) {
    installFlasher();
    TFModifyFileSx& w = showWindow();
    w.cbport->setCurrentIndex(4);
    QTest::mouseClick(w.LbButton2, Qt::LeftButton);

    EXPECT_EQ(GuiTest::shown(), std::vector<std::string>{});
    EXPECT_EQ(readFile(result()), "S0030000FC\r\n" + bankRecords(1) +
                                      "S21410000000000000000000000000000000000000DB\r\n" + bankRecords(2) +
                                      "S9030000FC\r\n");
    EXPECT_EQ(leftInProject(), (std::vector<std::string>{"New_sx31570.sx", "bin"}));
    EXPECT_EQ(leftIn(project() / "bin"), (std::vector<std::string>{"bank1.bin", "bank2.bin"}));
    // The second pass read the first pass's output: the header, the bank, two records and the end.
    EXPECT_EQ(w.Avanzamento->maximum(), 512 + 1 + 512 + 2 + 1);
    EXPECT_EQ(w.Avanzamento->value(), w.Avanzamento->maximum());
    EXPECT_EQ(flasherArguments(), result() + "\n4\n");
    for (QCheckBox* box : w.bankBoxes()) EXPECT_EQ(colourOf(box), ui::kBackground);
}

TEST_F(FirmwareWindow, ABankNotInsertedTurnsRedAndTheFlasherStillStarts) {
    installFlasher();
    writeFirmware("S2143880000102030405060708090A0B0C0D0E0F10AB\r\nS9030000FC\r\n");
    TFModifyFileSx& w = showWindow();
    w.LbButton2->click();
    EXPECT_EQ(GuiTest::shown(), std::vector<std::string>{});
    EXPECT_EQ(colourOf(w.Cbbank1), ui::kBackground);
    EXPECT_EQ(colourOf(w.Cbbank2), kRed);
    EXPECT_EQ(readFile(result()), bankRecords(1) + "S9030000FC\r\n");
    EXPECT_EQ(flasherArguments(), result() + "\n0\n");

    // The next run starts with the window's colour again.
    writeFirmware(kFirmware);
    w.ExeModFileSx->click();
    EXPECT_EQ(colourOf(w.Cbbank2), ui::kBackground);
}

TEST_F(FirmwareWindow, AStoppedRunHandsTheEarlierResultToTheFlasher) {
    installFlasher();
    writeFirmware("S2143880000102030405060708090A0B0C0D0E0F10AB\r\n");
    writeFile(result(), "earlier");
    showWindow().LbButton2->click();
    EXPECT_EQ(GuiTest::shown(),
              std::vector<std::string>{"information: File sx31570.sx has no S9 record,Abort Procedure"});
    EXPECT_EQ(readFile(result()), "earlier");
    EXPECT_EQ(leftInProject(), (std::vector<std::string>{"New_sx31570.sx", "bin"}));
    EXPECT_EQ(flasherArguments(), result() + "\n0\n");
}

TEST_F(FirmwareWindow, ADamagedFirmwareOrAResultThatCannotBePutInPlaceIsSaidSo) {
    TFModifyFileSx& w = showWindow();
    // The checksum of the bank 1 record is one too high.
    writeFirmware("S0030000FC\r\nS2143880000102030405060708090A0B0C0D0E0F10AC\r\nS9030000FC\r\n");
    w.ExeModFileSx->click();
    EXPECT_EQ(GuiTest::shown(),
              (std::vector<std::string>{
                  "information: Line 2 of sx31570.sx is not a valid S-record (wrong checksum),Abort Procedure",
                  "information: File New Sx Not Create,Abort Procedure"}));
    EXPECT_FALSE(exists(result()));
    EXPECT_EQ(leftInProject(), std::vector<std::string>{"bin"});

    writeFirmware("S0030000FC\r\n");
    w.ExeModFileSx->click();
    EXPECT_EQ(GuiTest::shown(),
              std::vector<std::string>{"information: File sx31570.sx has no S9 record,Abort Procedure"});
    EXPECT_FALSE(exists(result()));

    writeFirmware(kFirmware);
    fs::create_directories(result());
    w.ExeModFileSx->click();
    EXPECT_EQ(GuiTest::shown(),
              std::vector<std::string>{"standard error: Cannot create file \"" + result() + "\". Is a directory"});
    EXPECT_TRUE(fs::is_directory(result()));
    EXPECT_EQ(leftInProject(), (std::vector<std::string>{"New_sx31570.sx", "bin"}));
    EXPECT_EQ(leftIn(project() / "bin"), (std::vector<std::string>{"bank1.bin", "bank2.bin"}));
    EXPECT_TRUE(w.ExeModFileSx->isEnabled());
}

TEST_F(FirmwareWindow, MessagesOfTheRunAndOfTheFlasherStartInPlainBoxes) {
    fs::remove(project() / "bin/bank2.bin");
    TFModifyFileSx& w = showWindow();
    w.LbButton2->click();
    EXPECT_EQ(GuiTest::shown(), (std::vector<std::string>{"information: File bank2.bin Not Found,Abort Procedure",
                                                          "information: File *.Sx Not Found,Abort Procedure"}));
    EXPECT_FALSE(exists(result()));

    writeFile(project() / "bin/bank2.bin", bankBytes(2));
    w.LbButton2->click();
    EXPECT_EQ(GuiTest::shown(), std::vector<std::string>{"information: FlashWrite.exe Not Found, Procedure Aborted"});
    EXPECT_TRUE(exists(result()));
}

TEST_F(FirmwareWindow, OptionsShowTheBankPanelAndTheBinFolderChooser) {
    TFModifyFileSx& w = showWindow();
    w.Options->show();
    w.Options->click();
    EXPECT_FALSE(w.GbBank->isHidden());
    EXPECT_FALSE(w.DirFileBin->isHidden());
    EXPECT_EQ(w.Options->text().toStdString(), "<< Options");
    w.Options->click();
    EXPECT_TRUE(w.GbBank->isHidden());
    EXPECT_TRUE(w.DirFileBin->isHidden());
    EXPECT_EQ(w.Options->text().toStdString(), "Options >>");

    // Bank files from another folder of the project.
    fs::create_directories(project() / "other");
    fs::rename(project() / "bin/bank1.bin", project() / "other/bank1.bin");
    fs::rename(project() / "bin/bank2.bin", project() / "other/bank2.bin");
    ui::Dialogs::queueAnswer(QString::fromStdString((project() / "other").string()));
    w.DirFileBin->click();
    const QList<ui::Dialogs::Record> records = ui::Dialogs::takeRecords();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].kind, Kind::Folder);
    EXPECT_EQ(records[0].text.toStdString(), "Select Directory Bin");
    EXPECT_EQ(records[0].chooser.initialFolder.toStdString(), project().string());
    EXPECT_EQ(records[0].preselected.toStdString(), "");
    EXPECT_EQ(w.BinDir, (project() / "other/").string());
    ui::Dialogs::queueAnswer(std::nullopt);
    w.DirFileBin->click();
    EXPECT_EQ(w.BinDir, (project() / "other/").string()) << "a cancel keeps the folder";
    ui::Dialogs::takeRecords();

    // Bank 2 left out: only bank 1 is merged.
    w.Cbbank2->setChecked(false);
    w.ExeModFileSx->click();
    EXPECT_EQ(GuiTest::shown(), std::vector<std::string>{});
    EXPECT_EQ(readFile(result()), "S0030000FC\r\n" + bankRecords(1) +
                                      "S21410000000000000000000000000000000000000DB\r\n"
                                      "S2143980000102030405060708090A0B0C0D0E0F10AA\r\nS9030000FC\r\n");
    EXPECT_EQ(colourOf(w.Cbbank2), ui::kBackground) << "a skipped bank keeps the result of the pass before it";
}

TEST_F(FirmwareWindow, AnotherFirmwareUnderANameOfItsOwn) {
    installFlasher();
    fs::create_directories(m_program / "elsewhere");
    writeFile(m_program / "elsewhere/dev.Sx", "S2143980000102030405060708090A0B0C0D0E0F10AA\r\nS9030000FC\r\n");
    TFModifyFileSx& w = showWindow();
    ui::Dialogs::queueAnswer(QString::fromStdString(m_program / "elsewhere/dev.Sx"));
    w.OpenFile->click();
    const QList<ui::Dialogs::Record> records = ui::Dialogs::takeRecords();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].kind, Kind::OpenFile);
    EXPECT_EQ(records[0].chooser.filter.toStdString(), "File Sx (*.Sx)");
    EXPECT_EQ(records[0].chooser.initialFolder.toStdString(), m_program / "MASTER");
    EXPECT_EQ(w.FirmwareName, "dev.Sx");
    EXPECT_EQ(w.FirmwareDir, m_program / "elsewhere");
    EXPECT_EQ(w.NewFileSx->text().toStdString(), "New_dev.Sx");
    EXPECT_TRUE(w.LbButton2->isEnabled());

    w.NewFileSx->setText(QStringLiteral("Plant1.sx"));
    EXPECT_EQ(w.NewFirmwareName, "Plant1.sx");
    w.ExeModFileSx->click();
    EXPECT_EQ(GuiTest::shown(), std::vector<std::string>{});
    EXPECT_EQ(colourOf(w.Cbbank1), kRed) << "no record of bank 1";
    EXPECT_EQ(readFile(project() / "Plant1.sx"), bankRecords(2) + "S9030000FC\r\n");
    EXPECT_FALSE(exists(m_program / "FlashWrite.args")) << "the run alone starts no flasher";
    w.cbport->setCurrentIndex(7);
    w.ExeUpdateFir->click();
    EXPECT_EQ(flasherArguments(), (project() / "Plant1.sx").string() + "\n7\n");
}

TEST_F(FirmwareWindow, TheRunButtonIsDisabledWhileItRunsAndComesBackAfterAFailure) {
    TFModifyFileSx& w = showWindow();
    std::vector<bool> enabledDuringRun;
    QObject::connect(w.Avanzamento, &QProgressBar::valueChanged,
                     [&] { enabledDuringRun.push_back(w.ExeModFileSx->isEnabled()); });
    w.ExeModFileSx->click();
    ASSERT_FALSE(enabledDuringRun.empty());
    EXPECT_EQ(std::count(enabledDuringRun.begin(), enabledDuringRun.end(), true), 0);
    EXPECT_TRUE(w.ExeModFileSx->isEnabled());

    // The project folder is gone: the first output cannot be created.
    w.BinDir = m_program / "bin-elsewhere/";
    fs::create_directories(w.BinDir);
    fs::copy(project() / "bin", w.BinDir);
    fs::remove_all(project());
    w.ExeModFileSx->click();
    const std::vector<std::string> messages = GuiTest::shown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("standard error: Cannot create file \"" + w.OutputDir, 0), 0u) << messages[0];
    EXPECT_TRUE(w.ExeModFileSx->isEnabled());
    EXPECT_EQ(leftIn(w.BinDir), (std::vector<std::string>{"bank1.bin", "bank2.bin"}));
}

}  // namespace
