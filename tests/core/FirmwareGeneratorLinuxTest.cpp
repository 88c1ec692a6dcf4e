#include "firmware/FirmwareGenerator.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "support/FileSizeLimit.h"
#include "support/FirmwareFixtures.h"
#include "support/ProgramRun.h"
#include "support/SerialTestSupport.h"
#include "support/TestFiles.h"

// The firmware generator's tests that need Linux: srecord's tools check the
// records, the system refuses to let a file grow, symbolic links, names
// longer than the file system takes, two real runs at once, and a shell
// script stands in for the flasher.
namespace {

using namespace firmware_test;
using testing_support::exists;
using testing_support::pathText;
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
    firmware::GenerateFirmware(f.run(), productBanks(), report);
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
        firmware::GenerateFirmware(f.run(), productBanks(), report);
    }
    EXPECT_EQ(report.messages, std::vector<std::string>{"File New Sx Not Create,Abort Procedure"});
    EXPECT_EQ(report.results, (std::vector<std::pair<int, int>>{{1, -1}}));
    EXPECT_EQ(readFile(f.result()), "earlier");
    EXPECT_EQ(folderEntries(f.out), std::vector<std::string>{"New_sx31570.sx"});
}

// ---------------------------------------------------------------------------
// Files of the run's own, and the result's rename.

// The firmware of these tests: a header, records outside the banks (their
// bytes made from seed), two records in each bank and the end.
std::string fillerRecords(std::uint32_t from, int count, int seed) {
    std::string lines;
    for (int record = 0; record < count; ++record) {
        std::string data(32, '\0');
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(record * 13 + i * 5 + seed * 71);
        lines += s2Record(from + static_cast<std::uint32_t>(record) * 32, data) + "\r\n";
    }
    return lines;
}

struct Firmware {
    std::string text;
    std::string expected;  // with the product's banks merged
};

Firmware firmwareOf(int seed, int fillerCount) {
    const std::string head = "S00F000068656C6C6F202020202000003C\r\n" + fillerRecords(0x100000, fillerCount, seed);
    const std::string middle = fillerRecords(0x200000, fillerCount, seed + 1);
    const std::string bank1 = s2Record(0x388000, std::string(32, 'a')) + "\r\n" +
                              s2Record(0x388020 + 32 * static_cast<std::uint32_t>(seed), std::string(32, 'b')) + "\r\n";
    const std::string bank2 =
        s2Record(0x398000, std::string(32, 'c')) + "\r\n" + s2Record(0x39BFE0, std::string(32, 'd')) + "\r\n";
    const std::string end = "S5030012EA\r\nS9030000FC\r\n";
    return {head + bank1 + middle + bank2 + end,
            head + bankLines(1, bankBytes(1, 16384)) + middle + bankLines(2, bankBytes(2, 16384)) + end};
}

struct CliRun {
    int exitCode;
    std::string out, err;
};

CliRun runCliProgram(const std::vector<std::string>& arguments, const std::string& outputs) {
    const int exitCode =
        testing_support::runProgram(TESSARO_CLI_PROGRAM, arguments, outputs + ".stdout", outputs + ".stderr");
    return {exitCode, readFile(outputs + ".stdout"), readFile(outputs + ".stderr")};
}

// A symbolic link at a fixed intermediate name is never written through: the
// file it points to (or the missing one) stays as it was, and the result
// replaces a link in its place.
struct LinkCase {
    const char* name;
    const char* link;  // below the run's folder
    bool victimExists;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareLinks : public ::testing::TestWithParam<LinkCase> {};

TEST_P(FirmwareLinks, AreNeverWrittenThrough) {
    const LinkCase& c = GetParam();
    RunFolders f;
    const Firmware firmware = firmwareOf(1, 3);
    writeFile(f.master + "/sx31570.sx", firmware.text);
    for (int bank : {1, 2}) writeFile(f.bin + "/bank" + std::to_string(bank) + ".bin", bankBytes(bank, 16384));
    const std::string victim = f.dir / "victim";
    if (c.victimExists) writeFile(victim, "the user's file");
    const std::string link = f.dir / c.link;
    fs::create_symlink(victim, link);

    const CliRun run = runCliProgram({"firmware", f.master + "/sx31570.sx", f.bin, f.out}, f.dir / "run");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(f.result()), firmware.expected);
    if (c.victimExists) {
        EXPECT_EQ(readFile(victim), "the user's file");
    } else {
        EXPECT_FALSE(fs::exists(fs::symlink_status(victim))) << "a file was made through the link";
    }
    if (link == f.result()) {
        EXPECT_FALSE(fs::is_symlink(link)) << "the result replaces the link";
    } else {
        EXPECT_TRUE(fs::is_symlink(link)) << "the link was removed";
    }
}

INSTANTIATE_TEST_SUITE_P(Firmware, FirmwareLinks,
                         ::testing::Values(LinkCase{"BankRecordsToAFile", "bin/Bin.sx", true},
                                           LinkCase{"BankRecordsToNoFile", "bin/Bin.sx", false},
                                           LinkCase{"FirstPassToAFile",
                                                    "out/\xC2\xB0"
                                                    "B1\xC2\xB0.sx",
                                                    true},
                                           LinkCase{"SecondPassToNoFile",
                                                    "out/\xC2\xB0"
                                                    "B2\xC2\xB0.sx",
                                                    false},
                                           LinkCase{"LastNameToAFile",
                                                    "out/\xC2\xB0"
                                                    "B5\xC2\xB0.sx",
                                                    true},
                                           LinkCase{"ResultToAFile", "out/New_sx31570.sx", true},
                                           LinkCase{"ResultToNoFile", "out/New_sx31570.sx", false}),
                         [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

// A result that cannot be put in place is a failure that names it, and the
// run leaves nothing behind.
struct RenameCase {
    const char* name;
    std::string firmwareName;
    bool resultIsAFolder;
    std::string reason;
};

void PrintTo(const RenameCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareResultRename : public ::testing::TestWithParam<RenameCase> {};

TEST_P(FirmwareResultRename, FailsWithAMessageNamingTheResult) {
    const RenameCase& c = GetParam();
    RunFolders f;
    const std::string firmwarePath = f.master + "/" + c.firmwareName;
    writeFile(firmwarePath, firmwareOf(2, 3).text);
    for (int bank : {1, 2}) writeFile(f.bin + "/bank" + std::to_string(bank) + ".bin", bankBytes(bank, 16384));
    const std::string result = f.out + "/New_" + c.firmwareName;
    if (c.resultIsAFolder) writeFile(result + "/inside", "kept");
    const std::vector<std::string> outBefore = folderEntries(f.out);

    const CliRun run = runCliProgram({"firmware", firmwarePath, f.bin, f.out}, f.dir / "run");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Cannot create file \"" + result + "\". " + c.reason + "\n");
    EXPECT_EQ(folderEntries(f.out), outBefore) << "left behind";
    EXPECT_EQ(folderEntries(f.bin), (std::vector<std::string>{"bank1.bin", "bank2.bin"})) << "left behind";
    if (c.resultIsAFolder) {
        EXPECT_EQ(readFile(result + "/inside"), "kept");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Firmware, FirmwareResultRename,
    ::testing::Values(RenameCase{"ResultIsAFolder", "sx31570.sx", true, "Is a directory"},
                      // "New_" makes the result's name 256 bytes long, one more than the system takes.
                      RenameCase{"NameOf252Characters", std::string(249, 'f') + ".sx", false, "File name too long"}),
    [](const ::testing::TestParamInfo<RenameCase>& info) { return std::string(info.param.name); });

// Two real runs at once, round after round, sharing the bank files' folder
// and the output folder, with firmwares of their own: each run's result is
// exactly its firmware with the banks merged, or the run failed and said so.
// In odd rounds both results have one name: it then holds one of the two.
TEST(FirmwareRunsAtOnce, NeverMixTheirFiles) {
    TempDir dir;
    const std::string bin = dir / "bin", out = dir / "out";
    for (int bank : {1, 2}) writeFile(bin + "/bank" + std::to_string(bank) + ".bin", bankBytes(bank, 16384));
    fs::create_directories(out);
    const std::array<Firmware, 2> firmwares{firmwareOf(3, 1200), firmwareOf(4, 1200)};

    constexpr int kRounds = 200;
    int failures = 0;
    for (int round = 0; round < kRounds && !HasFailure(); ++round) {
        const bool oneName = round % 2 == 1;
        std::array<std::string, 2> firmwarePaths, results;
        for (int side = 0; side < 2; ++side) {
            const std::string name = oneName ? "sx31570.sx" : std::string(side == 0 ? "first" : "second") + ".sx";
            firmwarePaths[side] = dir / (std::string(side == 0 ? "a/" : "b/") + name);
            results[side] = out + "/New_" + name;
            writeFile(firmwarePaths[side], firmwares[side].text);
        }
        std::array<CliRun, 2> runs{};
        std::array<std::thread, 2> threads;
        for (int side = 0; side < 2; ++side)
            threads[side] = std::thread([&, side] {
                runs[side] =
                    runCliProgram({"firmware", firmwarePaths[side], bin, out}, dir / ("run" + std::to_string(side)));
            });
        for (std::thread& thread : threads) thread.join();

        std::vector<std::string> expectedResults;
        for (int side = 0; side < 2; ++side) {
            const CliRun& run = runs[side];
            ASSERT_TRUE(run.exitCode == 0 || run.exitCode == 1) << "round " << round << ": exit " << run.exitCode;
            if (run.exitCode == 0) {
                EXPECT_EQ(run.err, "") << "round " << round;
                expectedResults.push_back(firmwares[side].expected);
            } else {
                EXPECT_NE(run.err, "") << "round " << round << ": a failure without a word";
                ++failures;
            }
        }
        for (int side = 0; side < 2; ++side) {
            if (!oneName && runs[side].exitCode == 0) {
                EXPECT_TRUE(readFile(results[side]) == firmwares[side].expected)
                    << "round " << round << ", run " << side;
            }
        }
        if (oneName && !expectedResults.empty()) {
            ASSERT_TRUE(exists(results[0])) << "round " << round << ": no result";
            const std::string result = readFile(results[0]);
            EXPECT_TRUE(std::find(expectedResults.begin(), expectedResults.end(), result) != expectedResults.end())
                << "round " << round << ": a result neither run wrote";
        }
        std::vector<std::string> expectedEntries;
        for (int side = 0; side < 2; ++side)
            if (runs[side].exitCode == 0 && (side == 0 || !oneName || expectedEntries.empty()))
                expectedEntries.push_back(pathText(fs::path(results[side]).filename()));
        std::sort(expectedEntries.begin(), expectedEntries.end());
        EXPECT_EQ(folderEntries(out), expectedEntries) << "round " << round << ": left behind";
        EXPECT_EQ(folderEntries(bin), (std::vector<std::string>{"bank1.bin", "bank2.bin"})) << "round " << round;
        for (const std::string& result : results) fs::remove(result);
    }
    // Runs that share nothing of their own have no reason to fail.
    EXPECT_EQ(failures, 0);
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
    EXPECT_TRUE(firmware::StartFlasher(dir.path(), dir / "out/", "New_sx31570.sx", 4, report));
    EXPECT_FALSE(exists(dir / "FlashWrite.args")) << "waited for the flasher";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    ASSERT_TRUE(serial_test::eventually([&] { return exists(dir / "FlashWrite.args"); }));
    EXPECT_EQ(readFile(dir / "FlashWrite.args"), dir / "out/New_sx31570.sx\n4\n");
    EXPECT_EQ(report.messages, std::vector<std::string>{});
}

TEST_F(Flasher, NothingStartsWithoutTheResultOrTheFlasher) {
    installFlasher();
    EXPECT_FALSE(firmware::StartFlasher(dir.path(), dir / "out/", "New_sx31570.sx", 0, report));
    EXPECT_FALSE(firmware::StartFlasher(dir.path(), "", "New_sx31570.sx", 0, report));
    writeFile(dir / "out/New_sx31570.sx", "S9030000FC\r\n");
    EXPECT_FALSE(firmware::StartFlasher(dir / "elsewhere", dir / "out/", "New_sx31570.sx", 0, report));
    EXPECT_EQ(report.messages,
              (std::vector<std::string>{"File *.Sx Not Found,Abort Procedure", "File *.Sx Not Found,Abort Procedure",
                                        "FlashWrite.exe Not Found, Procedure Aborted"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(exists(dir / "FlashWrite.args"));
}

}  // namespace
