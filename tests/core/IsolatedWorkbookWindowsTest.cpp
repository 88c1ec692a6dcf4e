#include <gtest/gtest.h>

#include "platform/IsolatedWorkbook.h"
#include "platform/Spreadsheet.h"
#include "support/TestFiles.h"

// The trial reading of a workbook runs in a child process of its own on
// Windows (this test program, started again): a workbook that crashes the
// library is refused, and the program goes on.
namespace {

using testing_support::failureOf;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::testData;
using testing_support::writeFile;

// Folders whose names the child's command line must carry whole: blanks,
// letters beyond ASCII and beyond the ANSI code page.
const std::vector<std::string> kFolders = {
    "Anlage S\xC3\xBC"
    "d \xC2\xB0"
    "1",
    "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 two  blanks",
};

TEST(IsolatedWorkbookWindows, ACrashingWorkbookIsRefusedAndTheProgramGoesOn) {
    const std::string damaged = readFile(testData("canopen/workbooks/damaged/invalid-free.xls"));
    const std::string good = readFile(testData("canopen/workbooks/values.xls"));
    for (const std::string& folder : kFolders) {
        TempDir dir;
        const std::string damagedPath = dir / (folder + "/damaged workbook.xls");
        const std::string goodPath = dir / (folder + "/values.xls");
        writeFile(damagedPath, damaged);
        writeFile(goodPath, good);

        const std::optional<std::string> end = platform::endOfIsolatedWorkbookReading(
            damagedPath, [] { FAIL() << "Windows reads in a child program, not in a function of this one"; });
        ASSERT_TRUE(end.has_value()) << folder;
        EXPECT_EQ(end->rfind("exception 0x", 0), 0u) << *end;

        EXPECT_EQ(failureOf([&] {
                      platform::Workbook workbook(damagedPath);
                  }).rfind("'" + damagedPath + "' is not an Excel workbook (damaged file: the reader ended with ", 0),
                  0u);

        EXPECT_EQ(platform::endOfIsolatedWorkbookReading(goodPath, [] {}), std::nullopt) << folder;
        const platform::Workbook workbook(goodPath);
        EXPECT_EQ(workbook.tableNames(), (std::vector<std::string>{"Values$", "HeaderOnly$"}));
    }
}

TEST(IsolatedWorkbookWindows, AFileThatIsNoWorkbookEndsTheChildNormally) {
    TempDir dir;
    const std::string path = dir / "text.xls";
    writeFile(path, "no workbook\r\n");
    EXPECT_EQ(platform::endOfIsolatedWorkbookReading(path, [] {}), std::nullopt)
        << "the child's reading throws; that is the program's own message to give";
    EXPECT_EQ(
        failureOf([&] { platform::Workbook workbook(path); }).rfind("'" + path + "' is not an Excel workbook (", 0),
        0u);
}

}  // namespace
