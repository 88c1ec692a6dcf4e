// The access tables to and from spreadsheet files, through tessaro-cli in
// process and as the real program: round trips of both tables through CSV,
// .xls, .xlsx and .ods files written by a spreadsheet program
// (tests/data/access/make_fixtures.sh), and the failures that leave sdo.xml
// as it was.
#include "documents/AccessTableFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <sstream>

#include "cli/TessaroCli.h"
#include "platform/CsvFile.h"
#include "support/CliOutcome.h"
#include "support/ProgramRun.h"
#include "support/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using documents::AccessRow;
using testing_support::TempDir;

using Outcome = testing_support::CliOutcome;
constexpr auto& run = testing_support::runQuietCli;

std::string accessData(const std::string& file) {
    return testing_support::testData("access/" + file);
}

// A project whose pargen.xml gives 20 input and 10 output bytes, and whose
// sdo.xml stores one input row and two output rows.
void copyProject(const TempDir& project) {
    fs::copy(testing_support::pathOf(accessData("project")), testing_support::pathOf(project.path()),
             fs::copy_options::recursive);
}

const std::vector<AccessRow> kStoredIn = {{"1", "0", "1", "stored in"}};
const std::vector<AccessRow> kStoredOut = {{"$10", "2", "3", "stored out"}, {"17", "4", "5", ""}};

const std::vector<AccessRow> kFileIn = {{"100", "0", "1", "Temp\xC3\xA9rature moteur"},
                                        {"0x1A", "2", "3", "Speed, actual"},
                                        {"65535", "20", "19", "He said \"go\""},
                                        {"$FF", "4", "5", ""},
                                        {"7", "6", "7", "Pump 2"}};
const std::vector<AccessRow> kFileOut = {{"200", "0", "1", "Setpoint"}, {"201", "10", "9", "Mode"}};

const char* const kHeaderLine = "Address Register,Address ProfiBus High,Address ProfiBus Low,Mnemonic\r\n";

const std::string kExportIn = std::string(kHeaderLine) +
                              "100,0,1,Temp\xC3\xA9rature moteur\r\n"
                              "0x1A,2,3,\"Speed, actual\"\r\n"
                              "65535,20,19,\"He said \"\"go\"\"\"\r\n"
                              "$FF,4,5,\r\n"
                              "7,6,7,Pump 2\r\n";
const std::string kExportOut = std::string(kHeaderLine) + "200,0,1,Setpoint\r\n201,10,9,Mode\r\n";

documents::AccessTables storedTables(const TempDir& project) {
    const auto reading = documents::readAccessTables(project / "sdo.xml", documents::kEveryStoredRow);
    EXPECT_FALSE(reading.failure) << *reading.failure;
    return reading.value;
}

struct RoundTrip {
    const char* table;  // access-in or access-out
    const char* file;   // below tests/data/access
};

void PrintTo(const RoundTrip& trip, std::ostream* os) {
    *os << trip.table << " from " << trip.file;
}

class AccessRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Import replaces that one table and keeps the other; export writes the
// table as RFC 4180 CSV with CR LF; importing that export gives the same
// document again.
TEST_P(AccessRoundTrip, ImportThenExportThenImportAgain) {
    const RoundTrip& trip = GetParam();
    const bool input = std::string(trip.table) == "access-in";
    TempDir project;
    copyProject(project);

    const Outcome imported = run({"import", project.path(), trip.table, accessData(trip.file)});
    ASSERT_EQ(imported.exitCode, cli::kExitSuccess) << imported.err;
    EXPECT_EQ(imported.err, "");
    const documents::AccessTables tables = storedTables(project);
    EXPECT_EQ(tables.in, input ? kFileIn : kStoredIn);
    EXPECT_EQ(tables.out, input ? kStoredOut : kFileOut);

    TempDir exports;
    const Outcome exported = run({"export", project.path(), trip.table, exports / "table.csv"});
    ASSERT_EQ(exported.exitCode, cli::kExitSuccess) << exported.err;
    EXPECT_EQ(testing_support::readFile(exports / "table.csv"), input ? kExportIn : kExportOut);

    TempDir again;
    copyProject(again);
    ASSERT_EQ(run({"import", again.path(), trip.table, exports / "table.csv"}).exitCode, cli::kExitSuccess);
    EXPECT_EQ(testing_support::readFile(again / "sdo.xml"), testing_support::readFile(project / "sdo.xml"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, AccessRoundTrip,
    ::testing::Values(RoundTrip{"access-in", "table-in.csv"}, RoundTrip{"access-in", "table-in.xlsx"},
                      RoundTrip{"access-in", "table-in.ods"}, RoundTrip{"access-in", "table-in.xls"},
                      RoundTrip{"access-out", "table-out.csv"}, RoundTrip{"access-out", "table-out.xlsx"},
                      RoundTrip{"access-out", "table-out.ods"}, RoundTrip{"access-out", "table-out.xls"}),
    [](const ::testing::TestParamInfo<RoundTrip>& info) {
        std::string name = std::string(info.param.table) + "_" + info.param.file;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(AccessImport, RealProgramImportsAWorkbookAndExportsIt) {
    TempDir project, scratch;
    copyProject(project);
    EXPECT_EQ(testing_support::runProgram(TESSARO_CLI_PROGRAM,
                                          {"import", project.path(), "access-in", accessData("table-in.xlsx")},
                                          scratch / "out", scratch / "err"),
              cli::kExitSuccess);
    EXPECT_EQ(testing_support::readFile(scratch / "err"), "");
    EXPECT_EQ(
        testing_support::runProgram(TESSARO_CLI_PROGRAM, {"export", project.path(), "access-in", scratch / "in.csv"},
                                    scratch / "out", scratch / "err"),
        cli::kExitSuccess);
    EXPECT_EQ(testing_support::readFile(scratch / "in.csv"), kExportIn);
}

TEST(AccessImport, SheetOptionChoosesTheSheetAndAWorkbookUnderAnotherEndingOpens) {
    TempDir project;
    copyProject(project);
    // The .xlsx workbook saved as .xls: the opener of its real kind reads it.
    // Its one sheet is named after the file the spreadsheet program read.
    fs::copy_file(testing_support::pathOf(accessData("table-out.xlsx")),
                  testing_support::pathOf(project / "renamed.xls"));
    const Outcome outcome =
        run({"import", project.path(), "access-out", project / "renamed.xls", "--sheet", "out.csv"});
    ASSERT_EQ(outcome.exitCode, cli::kExitSuccess) << outcome.err;
    EXPECT_EQ(storedTables(project).out, kFileOut);
}

TEST(AccessImport, WithoutSdoXmlTheOtherTableIsEmptyAndWithoutPargenTheLimitIs244) {
    TempDir project;
    testing_support::writeFile(project / "in.csv", std::string(kHeaderLine) + "1,244,0,\r\n");
    const Outcome outcome = run({"import", project.path(), "access-in", project / "in.csv"});
    ASSERT_EQ(outcome.exitCode, cli::kExitSuccess) << outcome.err;
    const documents::AccessTables tables = storedTables(project);
    EXPECT_EQ(tables.in, (std::vector<AccessRow>{{"1", "244", "0", ""}}));
    EXPECT_TRUE(tables.out.empty());
}

TEST(AccessExport, NoSdoXmlGivesTheHeaderAlone) {
    TempDir project;
    ASSERT_EQ(run({"export", project.path(), "access-out", project / "out.csv"}).exitCode, cli::kExitSuccess);
    EXPECT_EQ(testing_support::readFile(project / "out.csv"), kHeaderLine);
}

// A failure names the file, the row as the file numbers it and the column;
// it exits 1 and writes nothing.
struct ImportFailure {
    const char* name;
    std::string csv;  // written to the project as file (or "table.csv"); empty: file below tests/data/access
    const char* file;
    std::vector<std::string> extra;
    std::string message;  // "<file>" stands for the path of the file given
};

void PrintTo(const ImportFailure& failure, std::ostream* os) {
    *os << failure.name;
}

std::string rows(std::initializer_list<const char*> lines) {
    std::string text = kHeaderLine;
    for (const char* line : lines) text += std::string(line) + "\r\n";
    return text;
}

std::string manyRows(std::size_t count) {
    std::string text = kHeaderLine;
    for (std::size_t i = 0; i < count; ++i) text += std::to_string(i) + ",1,2,r\r\n";
    return text;
}

class AccessImportFailure : public ::testing::TestWithParam<ImportFailure> {};

TEST_P(AccessImportFailure, NamesThePlaceAndWritesNothing) {
    const ImportFailure& failure = GetParam();
    TempDir project;
    copyProject(project);
    const std::string before = testing_support::readFile(project / "sdo.xml");
    std::string file = accessData(failure.file ? failure.file : "");
    if (!failure.csv.empty()) {
        file = project / (failure.file ? failure.file : "table.csv");
        testing_support::writeFile(file, failure.csv);
    }
    std::vector<std::string> args = {"import", project.path(), "access-in", file};
    args.insert(args.end(), failure.extra.begin(), failure.extra.end());

    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.exitCode, cli::kExitFailure);
    std::string message = failure.message;
    message.replace(message.find("<file>"), 6, file);
    EXPECT_EQ(outcome.err, message + "\n");
    EXPECT_EQ(testing_support::readFile(project / "sdo.xml"), before);
    EXPECT_FALSE(testing_support::exists(project / "sdo.xml.bak"));
}

const ImportFailure kImportFailures[] = {
    {"HighBeyondTheInputArea",
     rows({"1,0,1,a", "2,21,3,b"}),
     nullptr,
     {},
     "<file>, row 3, column \"Address ProfiBus High\": must be between 0 and 20"},
    {"LowNotIntegerText",
     rows({"1,0,x,a"}),
     nullptr,
     {},
     "<file>, row 2, column \"Address ProfiBus Low\": must be between 0 and 20"},
    {"AddressBeyond65535",
     rows({"65536,0,1,a"}),
     nullptr,
     {},
     "<file>, row 2, column \"Address Register\": must be between 0 and 65535"},
    {"EmptyAddressFollowedByFilledRows",
     rows({"1,0,1,a", ",,,", "3,0,1,c"}),
     nullptr,
     {},
     "<file>, row 3, column \"Address Register\": empty, but row 4 below is filled (the table would end here)"},
    {"EmptyAddressInAFilledRow",
     rows({"1,0,1,a", ",0,1,lost"}),
     nullptr,
     {},
     "<file>, row 3, column \"Address Register\": empty in a filled row (the table would end here)"},
    {"MoreThan244Rows", manyRows(245), nullptr, {}, "<file>, row 246: a table holds at most 244 rows"},
    {"WrongHeader",
     "Address,High,Low,Mnemonic\r\n1,0,1,a\r\n",
     nullptr,
     {},
     "<file>, row 1, column \"Address Register\": the header must name the column \"Address Register\", not "
     "\"Address\""},
    {"FifthColumnFilled",
     rows({"1,0,1,a,extra"}),
     nullptr,
     {},
     "<file>, row 2, column 5: a table has four columns, this one must be empty"},
    {"CharacterXmlCannotHold",
     rows({"1,0,1,a\x01"}),
     nullptr,
     {},
     "<file>, row 2, column \"Mnemonic\" holds the character U+0001, which cannot be saved"},
    {"QuoteNotClosed",
     rows({"1,0,1,\"open"}),
     nullptr,
     {},
     "'<file>', row 2: a quoted field is not closed (not a CSV file)"},
    {"MissingFile", "", "absent.csv", {}, "'<file>' cannot be read (file not found)"},
    {"MissingSheet", "", "table-in.xlsx", {"--sheet", "Nope"}, "'<file>' has no sheet \"Nope\""},
    {"NotAWorkbook",
     rows({"1,0,1,a"}),
     "table.xlsx",
     {},
     "'<file>' is not an Excel workbook (not an .xlsx or .ods workbook)"},
};

INSTANTIATE_TEST_SUITE_P(Cases, AccessImportFailure, ::testing::ValuesIn(kImportFailures),
                         [](const ::testing::TestParamInfo<ImportFailure>& info) { return info.param.name; });

TEST(AccessImport, OtherTableWithRowsASaveWouldDropIsNotRewritten) {
    TempDir project;
    copyProject(project);
    const std::string stored =
        "<Serial_to_ProfiBus><ProfiBUS_IN/><ProfiBUS_OUT><row Address=\"1\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" "
        "Mnemonic=\"\"/><row Address=\"\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" Mnemonic=\"\"/><row Address=\"3\" "
        "Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" Mnemonic=\"kept\"/></ProfiBUS_OUT></Serial_to_ProfiBus>";
    testing_support::writeFile(project / "sdo.xml", stored);
    const Outcome outcome = run({"import", project.path(), "access-in", accessData("table-in.csv")});
    EXPECT_EQ(outcome.exitCode, cli::kExitFailure);
    EXPECT_EQ(outcome.err,
              "sdo.xml: the table \"Serial Write --> ProfiBus OUT\" holds 3 rows, of which a save keeps 1; mend it "
              "in Set Access first\n");
    EXPECT_EQ(testing_support::readFile(project / "sdo.xml"), stored);
}

TEST(AccessCommandsCall, WrongCallsAreUsageErrors) {
    TempDir project;
    const std::vector<std::vector<std::string>> calls = {
        {"import", project.path(), "access-in"},
        {"export", project.path(), "access-out"},
        {"import", project.path(), "access-in", "a.csv", "--sheet"},
        {"export", project.path(), "access-in", "a.csv", "--sheet", "x"},
        {"import", project.path(), "rpdodef", "a.xls", "--sheet", "x"},
        {"import", project.path(), "access-in", "a.csv", "--sheet", "x", "--sheet", "y"},
    };
    for (const auto& call : calls) {
        EXPECT_EQ(run(call).exitCode, cli::kExitUsage) << call.size();
    }
}

// What spreadsheet programs write: LF or CR LF, a blank line that is a row of
// its own, a byte order mark, an unended last line, blanks kept.
TEST(CsvFile, ReadsRecordsWithTheirNumbersInTheFile) {
    TempDir folder;
    testing_support::writeFile(folder / "a.csv",
                               "\xEF\xBB\xBF"
                               "a,b\r\n\r\n\"x\r\ny\", z \n\nlast,\"q\"\"\"");
    std::vector<std::pair<std::size_t, std::vector<std::string>>> records;
    platform::readCsvRecords(folder / "a.csv", [&](std::size_t number, const std::vector<std::string>& fields) {
        records.emplace_back(number, fields);
        return true;
    });
    const std::vector<std::pair<std::size_t, std::vector<std::string>>> expected = {
        {1, {"a", "b"}}, {2, {""}}, {3, {"x\r\ny", " z "}}, {4, {""}}, {5, {"last", "q\""}}};
    EXPECT_EQ(records, expected);
}

TEST(CsvFile, LinesQuoteWhatNeedsQuoting) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"plain", "", "1"}, "plain,,1\r\n"},
        {{"a,b"}, "\"a,b\"\r\n"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
        {{"two\nlines", "cr\r"}, "\"two\nlines\",\"cr\r\"\r\n"},
        {{" lead", "trail "}, "\" lead\",\"trail \"\r\n"},
        {{"Temp\xC3\xA9rature"}, "Temp\xC3\xA9rature\r\n"},
    };
    for (const auto& [fields, line] : cases) EXPECT_EQ(platform::csvLine(fields), line);
}

}  // namespace
