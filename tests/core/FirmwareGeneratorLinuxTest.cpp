#include "tools/FirmwareGenerator.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/FileSizeLimit.h"
#include "support/FirmwareFixtures.h"
#include "support/SerialTestSupport.h"
#include "support/TestFiles.h"

// The firmware generator's tests that need Linux: srecord's tools check the
// records, the system refuses to let a file grow, and a shell script stands
// in for the flasher.
namespace {

using namespace firmware_test;
using testing_support::exists;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

std::string shellQuoted(const std::string& text) {
    return "'" + text + "'";
}

// A firmware of whole banks' worth of records, as the device's is: the run
// must write valid S-records that hold the bank files' bytes at the banks.
TEST(FirmwareRun, WritesValidRecordsThatHoldTheBanks) {
    RunFolders f;
    std::string firmware = "S0030000FC\r\n";
    const std::string filler(32, '\x11');
    for (std::uint32_t address = 0x380000; address < 0x3A0000; address += 32)
        firmware += s2Record(address, filler) + "\r\n";
    firmware += "S9030000FC\r\n";
    writeFile(f.master + "/sx31570.sx", firmware);
    for (int bank : {1, 2}) writeFile(f.bin + "/bank" + std::to_string(bank) + ".bin", bankBytes(bank, 16384));

    RecordedReport report;
    tools::GenerateFirmware(f.run(), productBanks(), report);
    ASSERT_TRUE(exists(f.result()));
    EXPECT_EQ(report.messages, std::vector<std::string>{});

    const std::string result = shellQuoted(f.result());
    const std::string warnings = f.dir / "warnings";
    EXPECT_EQ(std::system(("srec_info " + result + " >/dev/null 2>" + shellQuoted(warnings)).c_str()), 0);
    EXPECT_EQ(readFile(warnings), "") << "srec_info found fault with the result";
    for (int bank : {1, 2}) {
        const std::string binary = f.dir / ("bank" + std::to_string(bank) + ".check");
        const std::uint32_t first = 0x388000 + (bank - 1) * 0x10000;
        char command[1024];
        std::snprintf(command, sizeof command, "srec_cat %s -crop 0x%X 0x%X -offset -0x%X -o %s -binary",
                      result.c_str(), first, first + 0x4000, first, shellQuoted(binary).c_str());
        ASSERT_EQ(std::system(command), 0) << command;
        EXPECT_EQ(readFile(binary), bankBytes(bank, 16384)) << "bank " << bank;
    }
    // The records around the banks are the firmware's own.
    const std::string text = readFile(f.result());
    EXPECT_NE(text.find(s2Record(0x387FE0, filler)), std::string::npos);
    EXPECT_NE(text.find(s2Record(0x38C000, filler)), std::string::npos);
    EXPECT_EQ(text.find(s2Record(0x388000, filler)), std::string::npos);
}

TEST(FirmwareRun, AnOutputThatCannotBeWrittenWholeStopsTheRun) {
    RunFolders f;
    std::string firmware = s2Record(0x388000, std::string(32, 'a')) + "\r\n";
    for (std::uint32_t address = 0; address < 400 * 32; address += 32)
        firmware += s2Record(address, std::string(32, 'b')) + "\r\n";
    writeFile(f.master + "/sx31570.sx", firmware + "S9030000FC\r\n");
    writeFile(f.bin + "/bank1.bin", bankBytes(1, 16384));
    writeFile(f.bin + "/bank2.bin", bankBytes(2, 16384));
    writeFile(f.result(), "earlier");
    RecordedReport report;
    {
        // Room for Bin.sx (512 records), not for a whole pass output.
        const testing_support::FileSizeLimit limit(50000);
        tools::GenerateFirmware(f.run(), productBanks(), report);
    }
    EXPECT_EQ(report.messages, std::vector<std::string>{"File New Sx Not Create,Abort Procedure"});
    EXPECT_EQ(report.results, (std::vector<std::pair<int, int>>{{1, -1}}));
    EXPECT_EQ(readFile(f.result()), "earlier");
    EXPECT_EQ(folderEntries(f.out), std::vector<std::string>{"New_sx31570.sx"});
}

// ---------------------------------------------------------------------------

class Flasher : public ::testing::Test {
protected:
    // A stand-in flasher that records its arguments, one a line, a moment after it starts.
    void installFlasher() {
        const std::string path = dir / "FlashWrite";
        writeFile(path, "#!/bin/sh\nsleep 0.3\nprintf '%s\\n' \"$@\" > \"$0.tmp\"\nmv \"$0.tmp\" \"$0.args\"\n");
        ::chmod(path.c_str(), 0755);
    }
    TempDir dir;
    RecordedReport report;
};

TEST_F(Flasher, StartsWithoutWaitingOnTheResultAndThePort) {
    installFlasher();
    fs::create_directories(dir / "out");
    writeFile(dir / "out/New_sx31570.sx", "S9030000FC\r\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(tools::StartFlasher(dir.path(), dir / "out/", "New_sx31570.sx", 4, report));
    EXPECT_FALSE(exists(dir / "FlashWrite.args")) << "waited for the flasher";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    ASSERT_TRUE(serial_test::eventually([&] { return exists(dir / "FlashWrite.args"); }));
    EXPECT_EQ(readFile(dir / "FlashWrite.args"), dir / "out/New_sx31570.sx\n4\n");
    EXPECT_EQ(report.messages, std::vector<std::string>{});
}

TEST_F(Flasher, NothingStartsWithoutTheResultOrTheFlasher) {
    installFlasher();
    EXPECT_FALSE(tools::StartFlasher(dir.path(), dir / "out/", "New_sx31570.sx", 0, report));
    EXPECT_FALSE(tools::StartFlasher(dir.path(), "", "New_sx31570.sx", 0, report));
    writeFile(dir / "out/New_sx31570.sx", "S9030000FC\r\n");
    EXPECT_FALSE(tools::StartFlasher(dir / "elsewhere", dir / "out/", "New_sx31570.sx", 0, report));
    EXPECT_EQ(report.messages,
              (std::vector<std::string>{"File *.Sx Not Found,Abort Procedure", "File *.Sx Not Found,Abort Procedure",
                                        "FlashWrite.exe Not Found, Procedure Aborted"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(exists(dir / "FlashWrite.args"));
}

}  // namespace
