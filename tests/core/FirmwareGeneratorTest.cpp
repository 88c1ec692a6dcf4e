#include "firmware/FirmwareGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>

#include "cli/TessaroCli.h"
#include "support/FirmwareFixtures.h"
#include "support/ProgramRun.h"
#include "support/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using namespace firmware_test;
using testing_support::exists;
using testing_support::pathOf;
using testing_support::pathText;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

// text as a regular expression that matches it alone.
std::string quoted(const std::string& text) {
    std::string pattern;
    for (char c : text) {
        if (std::strchr("\\^$.|?*+()[]{}", c)) pattern += '\\';
        pattern += c;
    }
    return pattern;
}

// ---------------------------------------------------------------------------
// Golden cases: tests/data/firmware/<case>/ holds the firmware sx31570.sx,
// optionally "banks" (the bank files to make, "name length" a line; without
// it bank1.bin and bank2.bin of 16384 bytes), "outcome" (the results after
// each bank, then the messages, one a line) and, when the run writes a
// result, expected.sx, in which "<bankN.bin>" stands for that bank's records.

enum class Runner { Core, CliInProcess, CliProgram };

struct GoldenCase {
    std::string name;
    Runner runner;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<std::string> caseFolders() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(testing_support::testData("firmware")))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<GoldenCase> goldenCases() {
    std::vector<GoldenCase> cases;
    for (const std::string& name : caseFolders())
        for (Runner runner : {Runner::Core, Runner::CliInProcess, Runner::CliProgram}) cases.push_back({name, runner});
    return cases;
}

std::string goldenName(const ::testing::TestParamInfo<GoldenCase>& info) {
    std::string name;
    bool upper = true;
    for (char c : info.param.name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            upper = true;
            continue;
        }
        name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        upper = false;
    }
    const char* runners[] = {"_Core", "_CliInProcess", "_CliProgram"};
    return name + runners[static_cast<int>(info.param.runner)];
}

class FirmwareGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(FirmwareGolden, ResultFileResultsAndMessages) {
    const GoldenCase& c = GetParam();
    const std::string folder = testing_support::testData("firmware/" + c.name);
    RunFolders f;
    const std::string firmware = readFile(folder + "/sx31570.sx");
    writeFile(f.master + "/sx31570.sx", firmware);

    std::vector<std::pair<std::string, std::size_t>> banks{{"bank1.bin", 16384}, {"bank2.bin", 16384}};
    if (exists(folder + "/banks")) {
        banks.clear();
        std::istringstream list(readFile(folder + "/banks"));
        std::string name;
        std::size_t length;
        while (list >> name >> length) banks.emplace_back(name, length);
    }
    std::vector<std::string> bankNames;
    for (const auto& [name, length] : banks) {
        writeFile(f.bin + "/" + name, bankBytes(name[4] - '0', length));
        bankNames.push_back(name);
    }
    const bool expectResult = exists(folder + "/expected.sx");
    // A result of an earlier run stays when this one writes none.
    if (!expectResult) writeFile(f.result(), "earlier");

    std::istringstream outcome(readFile(folder + "/outcome"));
    std::string resultsLine, line;
    std::getline(outcome, resultsLine);
    std::vector<std::string> expectedMessages;
    while (std::getline(outcome, line)) expectedMessages.push_back(line);

    if (c.runner == Runner::Core) {
        RecordedReport report;
        const std::vector<firmware::BankOutcome> outcomes = firmware::GenerateFirmware(f.run(), productBanks(), report);
        std::string results = "results";
        for (const auto& [bank, result] : report.results) results += " " + std::to_string(result);
        EXPECT_EQ(results, resultsLine);
        EXPECT_EQ(report.messages, expectedMessages);
        ASSERT_EQ(outcomes.size(), report.results.size());
        for (const firmware::BankOutcome& o : outcomes) EXPECT_EQ(o.ran, o.bank <= 2) << o.bank;
    } else {
        const std::vector<std::string> args{"firmware", f.master + "/sx31570.sx", f.bin, f.out};
        const int expectedExit = resultsLine == "results 1 1 1 1 1" ? 0 : 1;
        std::string err;
        int exitCode = -1;
        if (c.runner == Runner::CliInProcess) {
            std::ostringstream out, errStream;
            exitCode = cli::runCli(args, out, errStream);
            EXPECT_EQ(out.str(), "");
            err = errStream.str();
        } else {
            exitCode = testing_support::runProgram(TESSARO_CLI_PROGRAM, args, f.dir / "stdout", f.dir / "stderr");
            EXPECT_EQ(readFile(f.dir / "stdout"), "");
            err = readFile(f.dir / "stderr");
        }
        EXPECT_EQ(exitCode, expectedExit);
        std::string expectedErr;
        for (const std::string& message : expectedMessages) expectedErr += message + "\n";
        EXPECT_EQ(err, expectedErr);
    }

    if (expectResult) {
        std::string expected = readFile(folder + "/expected.sx");
        for (const auto& [name, length] : banks) {
            const std::string marker = "<" + name + ">\r\n";
            const auto at = expected.find(marker);
            if (at != std::string::npos)
                expected.replace(at, marker.size(), bankLines(name[4] - '0', bankBytes(name[4] - '0', length)));
        }
        ASSERT_TRUE(exists(f.result()));
        EXPECT_EQ(readFile(f.result()), expected);
    } else {
        EXPECT_EQ(readFile(f.result()), "earlier");
    }
    EXPECT_EQ(folderEntries(f.out), std::vector<std::string>{"New_sx31570.sx"}) << "intermediates left behind";
    EXPECT_EQ(folderEntries(f.bin), bankNames) << "Bin.sx left behind";
    EXPECT_EQ(readFile(f.master + "/sx31570.sx"), firmware);
}

INSTANTIATE_TEST_SUITE_P(Cases, FirmwareGolden, ::testing::ValuesIn(goldenCases()), goldenName);

// ---------------------------------------------------------------------------

TEST(FirmwareBanks, TableRecordAndNames) {
    const std::vector<std::tuple<int, std::uint32_t, std::uint32_t, std::string>> table{
        {1, 0x388000, 0x38BFFF, "bank1.bin"},
        {2, 0x398000, 0x39BFFF, "bank2.bin"},
        {3, 0x3A8000, 0x3ABFFF, "bank3.bin"},
        {4, 0x3B8000, 0x3BBFFF, "bank4.bin"},
        {5, 0x3C8000, 0x3CBFFF, "bank5.bin"}};
    for (const auto& [number, first, last, file] : table) {
        const firmware::Bank bank = firmware::bankOf(number);
        EXPECT_EQ(bank.firstAddress, first) << number;
        EXPECT_EQ(bank.lastAddress, last) << number;
        EXPECT_EQ(bank.fileName, file) << number;
        EXPECT_EQ(firmware::intermediateName(number), kDegree + "B" + std::to_string(number) + kDegree + ".sx");
        EXPECT_EQ(firmware::bankOffered(2, number), number <= 2);
        EXPECT_EQ(firmware::bankOffered(3, number), number <= 2);
        EXPECT_TRUE(firmware::bankOffered(1, number));
    }

    const std::string ones(32, '\xFF');
    const std::string record = firmware::bankRecord(0x388000, reinterpret_cast<const unsigned char*>(ones.data()));
    EXPECT_EQ(record, "S224388000" + std::string(64, 'F') + "43");
    EXPECT_EQ(record.size(), firmware::kBankRecordLength);
    const std::string mixed = bankBytes(3, 32);
    EXPECT_EQ(firmware::bankRecord(0x3AB5E0, reinterpret_cast<const unsigned char*>(mixed.data())),
              s2Record(0x3AB5E0, mixed));
}

// A firmware of whole banks' worth of records, as the device's is: the run
TEST(FirmwareRun, ProgressAdvancesByOnePerLineUpToItsMaximum) {
    RunFolders f;
    writeFile(f.master + "/sx31570.sx",
              "S0030000FC\r\n" + s2Record(0x388000, std::string(32, 'a')) + "\r\nS9030000FC\r\n");
    writeFile(f.bin + "/bank1.bin", bankBytes(1, 16384));
    RecordedReport report;
    std::string output;
    const firmware::BankResult result =
        firmware::InsertBank(firmware::bankOf(1), f.master + "/sx31570.sx", output, f.run(), report);
    EXPECT_EQ(result, firmware::BankResult::Inserted);
    EXPECT_EQ(folderEntries(f.out), std::vector<std::string>{pathText(pathOf(output).filename())});
    EXPECT_EQ(folderEntries(f.bin), std::vector<std::string>{"bank1.bin"}) << "the bank's records left behind";
    EXPECT_EQ(report.maximum, 512 + 3);
    EXPECT_EQ(report.last, report.maximum);
    EXPECT_EQ(report.jumps, 0);
    // 0, one step for each of the 3 lines read and the 512 records copied, then the maximum once more.
    EXPECT_EQ(report.steps, 1 + 3 + 512 + 1);
}

// The checks of a pass, in their order: each refuses the pass before anything is written.
struct CheckCase {
    const char* name;
    std::function<void(RunFolders&, firmware::FirmwareRun&)> arrange;
    std::string message;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(FirmwareChecks, RefuseThePassBeforeWriting) {
    const CheckCase& c = GetParam();
    RunFolders f;
    writeFile(f.master + "/sx31570.sx", "S9030000FC\r\n");
    writeFile(f.bin + "/bank1.bin", bankBytes(1, 16384));
    writeFile(f.bin + "/bank2.bin", bankBytes(2, 16384));
    firmware::FirmwareRun run = f.run();
    c.arrange(f, run);
    const std::vector<std::string> binBefore =
        fs::is_directory(f.bin) ? folderEntries(f.bin) : std::vector<std::string>{};

    RecordedReport report;
    const std::vector<firmware::BankOutcome> outcomes = firmware::GenerateFirmware(run, productBanks(), report);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].result, firmware::BankResult::Failed);
    EXPECT_EQ(report.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(folderEntries(f.out), std::vector<std::string>{});
    EXPECT_EQ(folderEntries(f.bin), binBefore) << "the bank's records left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Pass, FirmwareChecks,
    ::testing::Values(
        CheckCase{"FirmwareMissing",
                  [](RunFolders& f, firmware::FirmwareRun&) { fs::remove(f.master + "/sx31570.sx"); },
                  "File *.Sx Not Found,Abort Procedure"},
        CheckCase{"FirmwareIsAFolder",
                  [](RunFolders& f, firmware::FirmwareRun& run) {
                      run.FirmwareName = "sub";
                      fs::create_directories(f.master + "/sub");
                  },
                  "File *.Sx Not Found,Abort Procedure"},
        CheckCase{"FirmwareMissingComesBeforeTheBinFolder",
                  [](RunFolders& f, firmware::FirmwareRun& run) {
                      fs::remove(f.master + "/sx31570.sx");
                      run.BinDir = f.dir / "none/";
                  },
                  "File *.Sx Not Found,Abort Procedure"},
        CheckCase{"NoNewName", [](RunFolders&, firmware::FirmwareRun& run) { run.NewFirmwareName.clear(); },
                  "File New *.Sx Not Found,Abort Procedure"},
        CheckCase{"BinFolderMissing", [](RunFolders& f, firmware::FirmwareRun& run) { run.BinDir = f.dir / "none/"; },
                  "Directory Bin Not Found,Abort Procedure"},
        CheckCase{"BankFileMissing", [](RunFolders& f, firmware::FirmwareRun&) { fs::remove(f.bin + "/bank1.bin"); },
                  "File bank1.bin Not Found,Abort Procedure"},
        CheckCase{"BankFileEmpty", [](RunFolders& f, firmware::FirmwareRun&) { writeFile(f.bin + "/bank1.bin", ""); },
                  "File bank1.bin is shorter than 16384 bytes,Abort Procedure"}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(FirmwareRun, SkippedBanksHandTheFileOnAndTheFirmwareStays) {
    RunFolders f;
    const std::string firmware = "S0030000FC\n" + s2Record(0x3A8000, std::string(32, 'x')) + "\nS9030000FC\n";
    writeFile(f.master + "/sx31570.sx", firmware);
    writeFile(f.bin + "/bank3.bin", bankBytes(3, 16384));
    // Bank 3 alone: bank 1 copies the firmware on, 2 renames it on, 3 merges, 4 and 5 rename to the result.
    RecordedReport report;
    const std::vector<firmware::BankOutcome> outcomes =
        firmware::GenerateFirmware(f.run(), {false, false, true, false, false}, report);
    ASSERT_EQ(outcomes.size(), 5u);
    for (const firmware::BankOutcome& o : outcomes) {
        EXPECT_EQ(o.ran, o.bank == 3) << o.bank;
        EXPECT_EQ(o.result, o.bank < 3 ? firmware::BankResult::NotInserted : firmware::BankResult::Inserted) << o.bank;
    }
    EXPECT_EQ(readFile(f.result()), "S0030000FC\r\n" + bankLines(3, bankBytes(3, 16384)) + "S9030000FC\r\n");
    EXPECT_EQ(readFile(f.master + "/sx31570.sx"), firmware);

    // Nothing takes part, with the firmware in the output folder itself: the
    // result is a copy, and the user's firmware is neither moved nor deleted.
    writeFile(f.out + "/sx31570.sx", firmware);
    firmware::FirmwareRun run = f.run();
    run.FirmwareDir = f.out;
    RecordedReport none;
    firmware::GenerateFirmware(run, {false, false, false, false, false}, none);
    EXPECT_EQ(readFile(f.result()), firmware);
    EXPECT_EQ(readFile(f.out + "/sx31570.sx"), firmware);
    EXPECT_EQ(folderEntries(f.out), (std::vector<std::string>{"New_sx31570.sx", "sx31570.sx"}));
}

TEST(FirmwareRun, AllFiveBanksMergeAndTheLastPassIsRenamedIntoPlace) {
    RunFolders f;
    std::string firmware = "S0030000FC\r\n", expected = firmware;
    for (int bank = 1; bank <= 5; ++bank) {
        const std::uint32_t first = 0x388000 + (bank - 1) * 0x10000;
        firmware +=
            s2Record(first + 0x100, std::string(32, 'q')) + "\r\n" + s2Record(first, std::string(32, 'r')) + "\r\n";
        writeFile(f.bin + "/bank" + std::to_string(bank) + ".bin", bankBytes(bank, 16384));
        expected += bankLines(bank, bankBytes(bank, 16384));
    }
    firmware += "S9030000FC\r\n";
    expected += "S9030000FC\r\n";
    writeFile(f.master + "/sx31570.sx", firmware);
    writeFile(f.result(), "earlier");
    RecordedReport report;
    firmware::GenerateFirmware(f.run(), {true, true, true, true, true}, report);
    EXPECT_EQ(report.results, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));
    EXPECT_EQ(readFile(f.result()), expected);
    EXPECT_EQ(folderEntries(f.out), std::vector<std::string>{"New_sx31570.sx"});
}

TEST(FirmwareRun, AFileThatCannotBeCreatedEndsTheRunAndCleansUp) {
    RunFolders f;
    writeFile(f.master + "/sx31570.sx", s2Record(0x388000, std::string(32, 'a')) + "\r\nS9030000FC\r\n");
    writeFile(f.bin + "/bank1.bin", bankBytes(1, 16384));
    writeFile(f.bin + "/bank2.bin", bankBytes(2, 16384));
    firmware::FirmwareRun run = f.run();
    run.OutputDir = f.dir / "none/";
    RecordedReport report;
    const std::string failure =
        testing_support::failureOf([&] { firmware::GenerateFirmware(run, productBanks(), report); });
    EXPECT_TRUE(std::regex_match(failure,
                                 std::regex(quoted("Cannot create file \"" + run.OutputDir + kDegree + "B1" + kDegree) +
                                            "-[0-9]+-[0-9a-f]+" + quoted(".sx\". No such file or directory"))))
        << failure;
    EXPECT_EQ(folderEntries(f.bin), (std::vector<std::string>{"bank1.bin", "bank2.bin"}))
        << "the bank's records left behind";

    run.OutputDir.clear();
    EXPECT_EQ(testing_support::failureOf([&] { firmware::GenerateFirmware(run, productBanks(), report); }),
              "Project not valid");
}

// The fixed intermediate names (Bin.sx, °Bn°.sx) belong to the user: a file
// stored under one of them, the firmware itself or any other, is neither
// written nor deleted by a run, which makes names of its own.
struct FixedNameCase {
    const char* name;
    std::string file;  // below the run's folder
    bool isTheFirmware;
};

void PrintTo(const FixedNameCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareFixedNames : public ::testing::TestWithParam<FixedNameCase> {};

TEST_P(FirmwareFixedNames, StayAsTheyAre) {
    const FixedNameCase& c = GetParam();
    RunFolders f;
    const std::string firmware = "S0030000FC\r\n" + s2Record(0x388000, std::string(32, 'a')) + "\r\n" +
                                 s2Record(0x398000, std::string(32, 'b')) + "\r\nS9030000FC\r\n";
    const std::string expected =
        "S0030000FC\r\n" + bankLines(1, bankBytes(1, 16384)) + bankLines(2, bankBytes(2, 16384)) + "S9030000FC\r\n";
    for (int bank : {1, 2}) writeFile(f.bin + "/bank" + std::to_string(bank) + ".bin", bankBytes(bank, 16384));
    const std::string stored = f.dir / c.file;
    const std::string storedText = c.isTheFirmware ? firmware : "the user's own";
    writeFile(stored, storedText);
    if (!c.isTheFirmware) writeFile(f.master + "/sx31570.sx", firmware);
    const std::string firmwarePath = c.isTheFirmware ? stored : f.master + "/sx31570.sx";
    const std::string resultName = "New_" + pathText(pathOf(firmwarePath).filename());
    const std::vector<std::string> binBefore = folderEntries(f.bin);
    std::vector<std::string> outAfter = folderEntries(f.out);
    outAfter.push_back(resultName);
    std::sort(outAfter.begin(), outAfter.end());

    std::ostringstream out, err;
    EXPECT_EQ(cli::runCli({"firmware", firmwarePath, f.bin, f.out}, out, err), cli::kExitSuccess);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(readFile(f.out + "/" + resultName), expected);
    EXPECT_EQ(readFile(stored), storedText);
    EXPECT_EQ(folderEntries(f.bin), binBefore);
    EXPECT_EQ(folderEntries(f.out), outAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Firmware, FirmwareFixedNames,
    ::testing::Values(FixedNameCase{"FirmwareAsBankRecords", "bin/Bin.sx", true},
                      FixedNameCase{"FirmwareAsFirstPass", "out/" + kDegree + "B1" + kDegree + ".sx", true},
                      FixedNameCase{"FirmwareAsSecondPass", "out/" + kDegree + "B2" + kDegree + ".sx", true},
                      FixedNameCase{"FirmwareAsFifthName", "out/" + kDegree + "B5" + kDegree + ".sx", true},
                      FixedNameCase{"FileAsBankRecords", "bin/Bin.sx", false},
                      FixedNameCase{"FileAsFirstPass", "out/" + kDegree + "B1" + kDegree + ".sx", false},
                      FixedNameCase{"FileAsThirdPass", "out/" + kDegree + "B3" + kDegree + ".sx", false}),
    [](const ::testing::TestParamInfo<FixedNameCase>& info) { return std::string(info.param.name); });

TEST(FlasherCommand, ParameterStringOfTheWindowsFlasherAndArgumentsOfTheLinuxOne) {
    EXPECT_EQ(firmware::flasherParameters("C:\\Tessaro\\PROJECTS\\Plant1\\", "New_sx31570.sx", 4),
              "\"C:\\Tessaro\\PROJECTS\\Plant1\\New_sx31570.sx\"\xB6"
              "4");
    EXPECT_EQ(firmware::flasherArguments("/p/Plant1/", "New_sx31570.sx", 0),
              (std::vector<std::string>{"/p/Plant1/New_sx31570.sx", "0"}));
}

TEST(FirmwareCommand, WrongCallsAndAFailedRun) {
    std::ostringstream out, err;
    EXPECT_EQ(cli::runCli({"firmware", "a", "b"}, out, err), cli::kExitUsage);
    EXPECT_EQ(err.str().rfind("tessaro-cli: 'firmware' takes FIRMWARE, BIN_DIR and OUT_DIR\n", 0), 0u) << err.str();

    RunFolders f;
    writeFile(f.master + "/sx31570.sx", "S9030000FC\r\n");
    writeFile(f.bin + "/bank1.bin", bankBytes(1, 16384));
    std::ostringstream failed;
    EXPECT_EQ(cli::runCli({"firmware", f.master + "/sx31570.sx", f.bin, f.dir / "none"}, out, failed),
              cli::kExitFailure);
    EXPECT_TRUE(
        std::regex_match(failed.str(), std::regex(quoted("Cannot create file \"" + f.dir / "none" +
                                                         platform::kPathSeparator + kDegree + "B1" + kDegree) +
                                                  "-[0-9]+-[0-9a-f]+" + quoted(".sx\". No such file or directory\n"))))
        << failed.str();
    EXPECT_EQ(out.str(), "");
}

}  // namespace
