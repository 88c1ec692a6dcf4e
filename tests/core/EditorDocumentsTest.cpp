// What the CANopen editors share: the ordered write-out, the CSV writer, the
// document reader's messages and the sheet import's causes.
#include "canopen/EditorDocuments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/ExportText.h"
#include "support/TestFiles.h"

namespace {

using canopen::TieRule;
using canopen::WriteOrder;
using testing_support::TempDir;

struct OrderCase {
    const char* name;
    std::vector<std::vector<std::string>> keys;
    TieRule tie;
    std::vector<std::size_t> expected;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.name;
}

class OrderedWriteOut : public ::testing::TestWithParam<OrderCase> {};

TEST_P(OrderedWriteOut, OrdersByKeysThenTieRule) {
    const OrderCase& c = GetParam();
    EXPECT_EQ(canopen::orderedWriteOut(c.keys, WriteOrder{c.tie}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OrderedWriteOut,
    ::testing::Values(
        OrderCase{"LaterFirstReversesEqualKeys",
                  {{"5"}, {"0x181"}, {"385"}, {"$181"}, {"1"}},
                  TieRule::LaterFirst,
                  {4, 0, 3, 2, 1}},
        OrderCase{"EarlierFirstKeepsListOrder",
                  {{"5"}, {"0x181"}, {"385"}, {"$181"}, {"1"}},
                  TieRule::EarlierFirst,
                  {4, 0, 1, 2, 3}},
        OrderCase{"ThreeKeysComparedInTurn",
                  {{"2", "10", "0"}, {"1", "20", "0"}, {"1", "10", "1"}, {"1", "10", "0"}},
                  TieRule::LaterFirst,
                  {3, 2, 1, 0}},
        OrderCase{"KeysAboveStartValueStay", {{"20000000"}, {"-1"}, {"10066329"}}, TieRule::LaterFirst, {1, 2, 0}},
        OrderCase{"Empty", {}, TieRule::EarlierFirst, {}}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST(OrderedWriteOutFailure, FirstKeyThatIsNoIntegerTextIsTheMessage) {
    EXPECT_EQ(testing_support::failureOf([] {
                  canopen::orderedWriteOut({{"1", "2"}, {"3", "x"}, {"", "4"}}, WriteOrder{TieRule::LaterFirst});
              }),
              "'x' is not a valid integer value");
}

TEST(CsvExport, EveryValueFollowedByCommaUnquotedLinesEndedByCrLf) {
    TempDir project;
    EXPECT_EQ(canopen::csvPath(project.path(), "emcydef"), project.path() + "/emcydef.csv");
    testing_support::writeFile(project / "emcydef.csv", std::string(5000, 'x'));
    // Beyond ASCII: Latin-1, a character of Windows-1252's own (the euro sign) and one it lacks (omega).
    canopen::writeCsv(project.path(), "emcydef",
                      {{"a,b", "", "\"q\""}, {}, {"Temp\xC3\xA9rature", "5 \xE2\x82\xAC", "\xCE\xA9"}});
    EXPECT_EQ(testing_support::readFile(project / "emcydef.csv"),
              testing_support::exportText("a,b,,\"q\",\r\n\r\nTemp\xC3\xA9rature,5 \xE2\x82\xAC,\xCE\xA9,\r\n"));
}

TEST(CsvExport, FolderThatIsMissingFailsWithTheFilesMessage) {
    TempDir project;
    const std::string missing = project / "gone";
    const std::string failure = testing_support::failureOf([&] { canopen::writeCsv(missing, "rpdodef", {{"1"}}); });
    EXPECT_EQ(failure.rfind("Cannot create file \"" + missing + "/rpdodef.csv\"", 0), 0u) << failure;
}

TEST(EditorDocumentReader, MessagesAndRecordsBeforeTheFailure) {
    TempDir project;
    std::vector<std::string> placed;
    const auto place = [&](const canopen::DocumentRecord& record) { placed.push_back(record.text("a")); };
    EXPECT_EQ(canopen::readEditorDocument(project / "none.xml", canopen::kEditorDocumentMessages, place),
              "File XML not found");

    // A comment before the root and whitespace between rows read normally; the
    // third row lacks its attribute.
    testing_support::writeFile(
        project / "doc.xml",
        "<?xml version=\"1.0\"?><!-- c --><x>\n  <r a=\"1\"/>\n  <q a=\"2\"/><r b=\"3\"/><r a=\"4\"/></x>");
    EXPECT_EQ(canopen::readEditorDocument(project / "doc.xml", canopen::kEditorDocumentMessages, place),
              "Error in reading file XML");
    EXPECT_EQ(placed, (std::vector<std::string>{"1", "2"}));
}

// A strings document as the Select String window reads it. file names what
// lies at the path: nothing, a folder, or a file with the contents.
struct StringsCase {
    const char* name;
    enum { NoPath, Nothing, Folder, File } file;
    const char* contents;
    std::size_t limit;
    std::vector<std::string> strings;
    std::optional<std::string> failure;
};

void PrintTo(const StringsCase& c, std::ostream* os) {
    *os << c.name;
}

class StringsDocument : public ::testing::TestWithParam<StringsCase> {};

TEST_P(StringsDocument, ListsTheChildrenOfTheDocumentElementOrSaysWhyNot) {
    const StringsCase& c = GetParam();
    TempDir program;
    std::string path = program / "strings.xml";
    if (c.file == StringsCase::NoPath) path.clear();
    if (c.file == StringsCase::Folder) std::filesystem::create_directory(path);
    if (c.file == StringsCase::File) testing_support::writeFile(path, c.contents);
    const base::Reading<std::vector<std::string>> read = canopen::readStringsDocument(path, c.limit);
    EXPECT_EQ(read.value, c.strings);
    EXPECT_EQ(read.failure, c.failure);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringsDocument,
    ::testing::Values(
        StringsCase{"NoPathGiven", StringsCase::NoPath, "", 1000, {}, "File strings XML not found"},
        StringsCase{"NoFileThere", StringsCase::Nothing, "", 1000, {}, "File strings XML not found"},
        StringsCase{"AFolderIsNoStringsFile", StringsCase::Folder, "", 1000, {}, "File strings XML not found"},
        StringsCase{"ChildrenInOrderWithTheTextBelowThem",
                    StringsCase::File,
                    "<?xml version=\"1.0\"?><!-- c --><strings>\n <s>one</s>\n <s>t<b>w</b>o</s><s/></strings>",
                    1000,
                    {"one", "two", ""},
                    std::nullopt},
        StringsCase{"StringsPastTheLimitAreLeftOut",
                    StringsCase::File,
                    "<strings><s>a</s><s>b</s><s>c</s></strings>",
                    2,
                    {"a", "b"},
                    std::nullopt},
        StringsCase{"NotWellFormed",
                    StringsCase::File,
                    "<strings><s>one</s><s>two</strings>",
                    1000,
                    {},
                    "Error in reading file XML"},
        StringsCase{"EmptyFile", StringsCase::File, "", 1000, {}, "Error in reading file XML"}),
    [](const ::testing::TestParamInfo<StringsCase>& info) { return std::string(info.param.name); });

TEST(SheetImport, CausesOfAFailedImportAreReturnedWithTheRecordsPlaced) {
    const auto cause = [](const std::string& caseName, std::size_t columns, std::vector<std::string>* placed,
                          bool* opened) {
        return canopen::importSheet(
            testing_support::testData("canopen/cases/" + caseName + "/input/workbook.xls"), "rpdodef", columns,
            [&] { *opened = true; },
            [&](const canopen::SheetRecord& values) {
                ASSERT_EQ(values.size(), columns);
                if (values[2] == "yes") throw std::runtime_error("'yes' is not a valid integer value");
                placed->push_back(values[0]);
            });
    };
    std::vector<std::string> placed;
    bool opened = false;
    EXPECT_EQ(cause("rpdodef-import-badcode", 5, &placed, &opened),
              "Row 4 of sheet rpdodef: 'yes' is not a valid integer value");
    EXPECT_TRUE(opened);
    EXPECT_EQ(placed, (std::vector<std::string>{"1", "2"}));

    placed.clear();
    opened = false;
    EXPECT_EQ(cause("rpdodef-import-fewcolumns", 5, &placed, &opened),
              "The sheet rpdodef has 4 columns, fewer than the 5 that are imported");
    EXPECT_TRUE(placed.empty());

    opened = false;
    const std::string noSheet = testing_support::testData("canopen/cases/rpdodef-import-nosheet/input/workbook.xls");
    EXPECT_EQ(cause("rpdodef-import-nosheet", 5, &placed, &opened),
              "The workbook '" + noSheet + "' has no sheet rpdodef");
    EXPECT_FALSE(opened);
}

}  // namespace
