#include "base/XmlDocument.h"
#include "documents/AccessTables.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace {

using base::XmlDocument;
using documents::AccessRow;
using documents::AccessTables;
using documents::AreaSizes;
using testing_support::failureOf;
using testing_support::TempDir;

AccessRow row(std::string address, std::string high, std::string low, std::string mnemonic = "") {
    return {std::move(address), std::move(high), std::move(low), std::move(mnemonic)};
}

// count valid rows, the last of which is replaced by last.
std::vector<AccessRow> rowsEndingWith(std::size_t count, const AccessRow& last) {
    std::vector<AccessRow> rows(count - 1, row("1", "0", "0"));
    rows.push_back(last);
    return rows;
}

const std::string kIn = "!! [ProfiBus IN --> Serial Read] ";
const std::string kOut = "!! [Serial Write --> ProfiBus OUT] ";

struct ValidationCase {
    const char* name;
    AccessTables tables;
    AreaSizes sizes;
    std::optional<std::string> message;
};

void PrintTo(const ValidationCase& c, std::ostream* os) {
    *os << c.name;
}

class AccessTablesValidation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(AccessTablesValidation, AnswersTheFirstError) {
    const ValidationCase& c = GetParam();
    EXPECT_EQ(documents::validateAccessTables(c.tables, c.sizes), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AccessTablesValidation,
    ::testing::Values(
        ValidationCase{"BothEmpty", {}, {0, 0}, std::nullopt},
        ValidationCase{
            "PositionEqualToTheAreaSize", {{row("1", "20", "20")}, {row("2", "5", "5")}}, {20, 5}, std::nullopt},
        ValidationCase{"HighOneBeyond",
                       {{row("1", "0", "0"), row("1", "21", "0")}, {}},
                       {20, 244},
                       "Error row 2" + kIn + "Address Profibus High must be between 0 and 20. "},
        ValidationCase{"LowOneBeyond",
                       {{row("1", "20", "21")}, {}},
                       {20, 244},
                       "Error row 1" + kIn + "Address Profibus Low must be between 0 and 20. "},
        ValidationCase{"NByteInZeroAcceptsOnlyZero", {{row("1", "0", "0")}, {}}, {0, 0}, std::nullopt},
        ValidationCase{"NByteInZeroRefusesOne",
                       {{row("1", "0", "1")}, {}},
                       {0, 0},
                       "Error row 1" + kIn + "Address Profibus Low must be between 0 and 0. "},
        ValidationCase{"HexAndTopAddressesAccepted",
                       {{row("$FF", "0", "0"), row("65535", "$14", " 0x14"), row("0", "0", "0")}, {}},
                       {20, 0},
                       std::nullopt},
        ValidationCase{"Address65536",
                       {{row("65536", "0", "0")}, {}},
                       {244, 244},
                       "Error row 1" + kIn + "Address Register must be between 0 and 65535. "},
        ValidationCase{"AddressMinusOne",
                       {{row("-1", "0", "0")}, {}},
                       {244, 244},
                       "Error row 1" + kIn + "Address Register must be between 0 and 65535. "},
        ValidationCase{"AddressNotANumber",
                       {{row("abc", "999", "999")}, {}},
                       {244, 244},
                       "Error row 1" + kIn + "Address Register must be between 0 and 65535. "},
        ValidationCase{"EmptyHighCell",
                       {{row("1", "", "0")}, {}},
                       {244, 244},
                       "Error row 1" + kIn + "Address Profibus High must be between 0 and 244. "},
        ValidationCase{"EmptyLowCell",
                       {{}, {row("1", "3", "")}},
                       {244, 10},
                       "Error row 1" + kOut + "Address Profibus Low must be between 0 and 10. "},
        ValidationCase{"TheWorkedExample",
                       {rowsEndingWith(7, row("10", "25", "1")), {}},
                       {20, 244},
                       "Error row 7!! [ProfiBus IN --> Serial Read] Address Profibus High must be between 0 and 20. "},
        ValidationCase{"InputReportedBeforeOutput",
                       {{row("1", "0", "0"), row("1", "0", "30")}, {row("x", "0", "0")}},
                       {20, 20},
                       "Error row 2" + kIn + "Address Profibus Low must be between 0 and 20. "},
        ValidationCase{"OutputCheckedAfterInputPassed",
                       {{row("1", "0", "0")}, {row("1", "0", "0"), row("1", "0", "0"), row("1", "0", "11")}},
                       {244, 10},
                       "Error row 3" + kOut + "Address Profibus Low must be between 0 and 10. "},
        ValidationCase{"OutputAddress",
                       {{}, {row("70000", "0", "0")}},
                       {244, 244},
                       "Error row 1" + kOut + "Address Register must be between 0 and 65535. "},
        ValidationCase{"OutputHigh",
                       {{}, {row("7", "245", "0")}},
                       {244, 244},
                       "Error row 1" + kOut + "Address Profibus High must be between 0 and 244. "},
        ValidationCase{"Row244IsChecked",
                       {rowsEndingWith(244, row("1", "0", "245")), {}},
                       {244, 244},
                       "Error row 244" + kIn + "Address Profibus Low must be between 0 and 244. "},
        ValidationCase{
            "RowsBeyond244AreNotChecked", {rowsEndingWith(245, row("bad", "", "")), {}}, {244, 244}, std::nullopt},
        ValidationCase{"RowsAfterAnEmptyAddressAreNotChecked",
                       {{row("1", "0", "0"), row("", "bad", "bad"), row("bad", "", "")}, {}},
                       {244, 244},
                       std::nullopt}),
    [](const ::testing::TestParamInfo<ValidationCase>& info) { return info.param.name; });

TEST(AccessTablesRun, EndsBeforeTheFirstEmptyAddressAndAt244) {
    EXPECT_EQ(documents::accessRunLength({}), 0u);
    EXPECT_EQ(documents::accessRunLength({row("", "1", "1"), row("1", "1", "1")}), 0u);
    EXPECT_EQ(documents::accessRunLength({row("1", "", ""), row(" ", "", ""), row("", "", "")}), 2u);
    EXPECT_EQ(documents::accessRunLength(rowsEndingWith(300, row("1", "0", "0"))), 244u);
}

// Damaged documents: the rows read before the failure stay in the tables.
struct DamagedCase {
    const char* name;
    std::string sdo;
    std::size_t inRows, outRows;
    std::string message;  // "{path}" stands for the document's path, "{xml}" for the XML service's message
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.name;
}

class AccessTablesDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(AccessTablesDamaged, KeepsTheRowsReadBeforeTheFailure) {
    const DamagedCase& c = GetParam();
    TempDir dir;
    const std::string path = dir / "sdo.xml";
    testing_support::writeFile(path, c.sdo);
    std::string expected = c.message;
    if (const auto at = expected.find("{path}"); at != std::string::npos) expected.replace(at, 6, path);
    if (expected == "{xml}") {
        XmlDocument reference;
        expected = failureOf([&] { reference.load(path); });
        ASSERT_NE(expected, "no failure");
    }

    const base::Reading<AccessTables> reading = documents::readAccessTables(path);
    EXPECT_EQ(reading.failure.value_or("no failure"), expected);
    const AccessTables& tables = reading.value;
    ASSERT_EQ(tables.in.size(), c.inRows);
    ASSERT_EQ(tables.out.size(), c.outRows);
    for (std::size_t i = 0; i < tables.in.size(); ++i) EXPECT_EQ(tables.in[i].address, std::to_string(i + 1));
    for (std::size_t i = 0; i < tables.out.size(); ++i) EXPECT_EQ(tables.out[i].address, std::to_string(i + 101));
}

const std::string kInRows =
    "<row Address=\"1\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" Mnemonic=\"a\"/>"
    "<row Address=\"2\" Add_Profi_Hi=\"2\" Add_Profi_Lo=\"3\" Mnemonic=\"\"/>";
const std::string kOutRow = "<row Address=\"101\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" Mnemonic=\"\"/>";

INSTANTIATE_TEST_SUITE_P(
    Cases, AccessTablesDamaged,
    ::testing::Values(
        DamagedCase{"NoOutputGroup",
                    "<Serial_to_ProfiBus><ProfiBUS_IN>" + kInRows + "</ProfiBUS_IN></Serial_to_ProfiBus>", 2, 0,
                    "Element \"ProfiBUS_OUT\" not found in \"{path}\""},
        DamagedCase{"NoInputGroup",
                    "<Serial_to_ProfiBus><ProfiBUS_OUT>" + kOutRow + "</ProfiBUS_OUT></Serial_to_ProfiBus>", 0, 0,
                    "Element \"ProfiBUS_IN\" not found in \"{path}\""},
        DamagedCase{"InputRowWithoutMnemonic",
                    "<Serial_to_ProfiBus><ProfiBUS_IN>" + kInRows +
                        "<row Address=\"3\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\"/></ProfiBUS_IN><ProfiBUS_OUT/>"
                        "</Serial_to_ProfiBus>",
                    2, 0, "Row 3 of \"ProfiBUS_IN\" in \"{path}\" has no attribute \"Mnemonic\""},
        DamagedCase{"OutputRowWithoutHigh",
                    "<Serial_to_ProfiBus><ProfiBUS_IN>" + kInRows + "</ProfiBUS_IN><ProfiBUS_OUT>" + kOutRow +
                        "<row Address=\"102\" Add_Profi_Lo=\"1\" Mnemonic=\"\"/></ProfiBUS_OUT></Serial_to_ProfiBus>",
                    2, 1, "Row 2 of \"ProfiBUS_OUT\" in \"{path}\" has no attribute \"Add_Profi_Hi\""},
        DamagedCase{"NotWellFormed", "<Serial_to_ProfiBus><ProfiBUS_IN>" + kInRows + "</ProfiBUS_OUT>", 0, 0, "{xml}"}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return info.param.name; });

TEST(AccessTablesReading, StopsAt244RowsPerGroup) {
    TempDir dir;
    std::string rows;
    for (int i = 1; i <= 244; ++i) {
        rows += "<row Address=\"" + std::to_string(i) + "\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" Mnemonic=\"\"/>";
    }
    rows += "<row Address=\"245\"/>";  // beyond the table: not read, so not reported
    testing_support::writeFile(dir / "sdo.xml", "<Serial_to_ProfiBus><ProfiBUS_IN>" + rows +
                                                    "</ProfiBUS_IN><ProfiBUS_OUT>" + kOutRow +
                                                    "</ProfiBUS_OUT></Serial_to_ProfiBus>");
    const AccessTables tables = documents::readAccessTables(dir / "sdo.xml").valueOrThrow();
    ASSERT_EQ(tables.in.size(), 244u);
    EXPECT_EQ(tables.in.back(), row("244", "0", "1"));
    ASSERT_EQ(tables.out.size(), 1u);
    EXPECT_EQ(tables.out[0], row("101", "0", "1"));
}

TEST(AccessTablesWriting, RoundTripKeepsEveryCellVerbatim) {
    TempDir dir;
    AccessTables written;
    written.in = {row("$FF", " 2", "0x03", ""), row("100", "0", "1", "  two  blanks  "),
                  row("7", "8", "9", "Pump & valve <1> \"on\" 'x'")};
    written.out = {row("65535", "244", "244", "Temp\xC3\xA9rature \xE6\xB8\xA9\xE5\xBA\xA6")};

    documents::writeAccessTables(dir / "sdo.xml", written);
    const AccessTables read = documents::readAccessTables(dir / "sdo.xml").valueOrThrow();
    EXPECT_EQ(read.in, written.in);
    EXPECT_EQ(read.out, written.out);
}

TEST(AccessTablesWriting, StoresOnlyTheRunOfEachTable) {
    TempDir dir;
    AccessTables tables;
    tables.in = {row("1", "0", "1"), row("2", "0", "1"), row("3", "0", "1"), row("", "5", "5", "lost"),
                 row("5", "0", "1")};
    tables.out = rowsEndingWith(250, row("9", "0", "0"));

    documents::writeAccessTables(dir / "sdo.xml", tables);
    const AccessTables read = documents::readAccessTables(dir / "sdo.xml").valueOrThrow();
    EXPECT_EQ(read.in, std::vector<AccessRow>(tables.in.begin(), tables.in.begin() + 3));
    EXPECT_EQ(read.out.size(), 244u);

    XmlDocument raw;
    raw.load(dir / "sdo.xml");
    EXPECT_EQ(raw.firstNode().childElement("ProfiBUS_OUT").childCount(), 244u);
}

TEST(AccessTablesWriting, FailedWriteThrowsTheFileName) {
    TempDir dir;
    const std::string path = dir / "gone/sdo.xml";
    EXPECT_EQ(failureOf([&] { documents::writeAccessTables(path, {}); }),
              "Cannot create file \"" + path + "\". No such file or directory");
}

}  // namespace
