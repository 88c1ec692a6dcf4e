// The spreadsheet service over real workbooks written by xlwt (tests/data/canopen/make_workbooks.py).
#include "platform/Spreadsheet.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestFiles.h"

namespace {

using platform::SpreadsheetError;
using platform::Workbook;
using testing_support::testData;

TEST(Spreadsheet, ListsSheetsAsTablesAndReadsValuesByPosition) {
    Workbook workbook(testData("canopen/workbooks/values.xls"));
    EXPECT_EQ(workbook.tableNames(), (std::vector<std::string>{"Values$", "HeaderOnly$"}));

    const platform::SheetQuery query = workbook.query("Values$");
    // The first row names the columns and is not a record.
    EXPECT_EQ(query.columnCount(), 4u);
    ASSERT_EQ(query.recordCount(), 3u);
    const std::vector<std::vector<std::optional<std::string>>> expected = {
        {"4096", "1.5", "0x1000", std::nullopt},
        {"0.1", "-3", "100000000000000000000", "Temp\xC3\xA9rature"},
        {std::nullopt, std::nullopt, std::nullopt, "2"},
    };
    for (std::size_t r = 0; r < expected.size(); ++r) {
        for (std::size_t c = 0; c < 4; ++c) EXPECT_EQ(query.value(r, c), expected[r][c]) << r << ":" << c;
    }
    EXPECT_THROW(query.value(0, 4), SpreadsheetError);
}

TEST(Spreadsheet, SheetWithOnlyColumnNamesHasNoRecords) {
    Workbook workbook(testData("canopen/workbooks/values.xls"));
    const platform::SheetQuery query = workbook.query("HeaderOnly$");
    EXPECT_EQ(query.recordCount(), 0u);
    EXPECT_EQ(query.columnCount(), 2u);
    EXPECT_THROW(workbook.query("Missing$"), SpreadsheetError);
}

TEST(Spreadsheet, FileThatIsNoWorkbookFailsToOpen) {
    const std::string text = testData("canopen/cases/rpdodef-import-notworkbook/input/workbook.xls");
    EXPECT_THROW(Workbook{text}, SpreadsheetError);
    EXPECT_THROW(Workbook{testData("canopen/workbooks/absent.xls")}, SpreadsheetError);
    EXPECT_EQ(testing_support::failureOf([&] { Workbook workbook(text); }).rfind("'" + text + "' is not an Excel", 0),
              0u);
}

// Workbooks that fuzzing damaged, whatever the damage made the library do:
// refused as no workbook, or read to the last sheet, and the program goes on.
TEST(Spreadsheet, DamagedWorkbooksAreRefusedOrRead) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"string-past-record.xls", true},  // the library reads past a buffer, then fails
        {"invalid-free.xls", true},        // the library frees what it never allocated
        {"leak-on-close.xls", false},
        {"rows-beyond-the-format.xls", false},  // a sheet claims 458754 rows, far more than .xls holds
    };
    for (const auto& [name, refused] : cases) {
        const std::string path = testData("canopen/workbooks/damaged/" + name);
        const std::string failure = testing_support::failureOf([&] {
            const Workbook workbook(path);
            for (const std::string& table : workbook.tableNames()) {
                try {
                    (void)workbook.query(table);
                } catch (const SpreadsheetError&) {
                }
            }
        });
        EXPECT_EQ(failure.rfind("'" + path + "' is not an Excel", 0) == 0, refused) << name << ": " << failure;
        if (!refused) {
            EXPECT_EQ(failure, "no failure") << name;
        }
    }
}

TEST(Spreadsheet, NumbersReadBackAsTheSameValue) {
    const std::vector<std::pair<double, std::string>> cases = {{0.0, "0"},
                                                               {-0.0, "0"},
                                                               {4096.0, "4096"},
                                                               {-3.0, "-3"},
                                                               {1.5, "1.5"},
                                                               {0.1, "0.1"},
                                                               {1.0 / 3.0, "0.3333333333333333"},
                                                               {1e20, "100000000000000000000"},
                                                               {2.5e-7, "0.00000025"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(platform::numberText(value), text);
        EXPECT_EQ(std::stod(platform::numberText(value)), value);
    }
}

}  // namespace
