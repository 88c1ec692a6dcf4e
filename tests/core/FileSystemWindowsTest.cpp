#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Spreadsheet.h"
#include "platform/WideTextWindows.h"
#include "support/TestFiles.h"

// The Windows file services: UTF-8 paths reach the system as UTF-16, and the
// atomic replace goes through a temporary file of its own.
namespace {

using platform::windows::widen;
using testing_support::entriesIn;
using testing_support::TempDir;

// "Anlage Süd °1" in UTF-8, and as the system must see it.
const std::string kProjectName =
    "Anlage S\xC3\xBC"
    "d \xC2\xB0"
    "1";
const std::wstring kProjectNameWide = L"Anlage S\u00FCd \u00B01";

TEST(WindowsFiles, NonAsciiNamesReachTheSystemAsUtf16) {
    TempDir dir;
    const std::string folder = dir / kProjectName;
    ASSERT_TRUE(platform::createFolder(folder));
    platform::writeFileAtomically(platform::joinPath(folder, "pargen.xml"), "<Par_Gen/>\r\n");

    const std::wstring wide = widen(dir.path()) + L"\\" + kProjectNameWide;
    const DWORD folderAttributes = GetFileAttributesW(wide.c_str());
    ASSERT_NE(folderAttributes, INVALID_FILE_ATTRIBUTES) << "the folder has the name the user gave";
    EXPECT_TRUE(folderAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(GetFileAttributesW((wide + L"\\pargen.xml").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_TRUE(platform::folderExists(folder));
    EXPECT_TRUE(platform::fileExists(platform::joinPath(folder, "pargen.xml")));
    EXPECT_FALSE(platform::fileExists(folder));
    EXPECT_EQ(platform::readFile(platform::joinPath(folder, "pargen.xml")), "<Par_Gen/>\r\n")
        << "bytes as written: CR LF stays CR LF";

    std::FILE* file = platform::openFile(platform::joinPath(folder, "bank1.bin"), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("a\nb", file);
    std::fclose(file);
    EXPECT_NE(GetFileAttributesW((wide + L"\\bank1.bin").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(platform::readFile(platform::joinPath(folder, "bank1.bin")), "a\nb") << "no text-mode translation";
}

// FreeXL opens its files with the narrow fopen: a workbook below a folder
// whose name the ANSI code page holds, and below one whose name it does not
// (Greek), must both open.
TEST(WindowsFiles, WorkbooksOpenBelowFoldersBeyondAscii) {
    const std::string workbook = testing_support::readFile(testing_support::testData("canopen/workbooks/sdopdo.xls"));
    for (const std::string& name : {kProjectName, std::string("\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 long name")}) {
        TempDir dir;
        const std::string path = dir / name + "\\sdopdo.xls";
        testing_support::writeFile(path, workbook);
        std::vector<std::string> tables;
        EXPECT_EQ(testing_support::failureOf([&] { tables = platform::Workbook(path).tableNames(); }), "no failure")
            << name;
        EXPECT_NE(std::find(tables.begin(), tables.end(), "sdopdo$"), tables.end()) << name;
    }
}

TEST(WindowsFiles, ProgramFolderIsTheExecutablesWithBackslashes) {
    const std::string folder = platform::executableDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(platform::fileExists(folder + "\\tessaro_core_tests.exe")) << folder;
}

TEST(WindowsFiles, AReplaceTheSystemRefusesLeavesThePreviousFileWhole) {
    TempDir dir;
    const std::string path = dir / "bank.bin";
    platform::writeFileAtomically(path, "previous content");
    {
        // Another program holds the file open and lets nobody delete or rename it.
        const platform::windows::OwnedHandle held(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held.valid());
        EXPECT_EQ(testing_support::failureOf([&] { platform::writeFileAtomically(path, "new content"); }),
                  "Cannot create file \"" + path + "\". Permission denied");
    }
    EXPECT_EQ(testing_support::readFile(path), "previous content");
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "the temporary file of the failed save is removed:\n"
                                         << testing_support::namesIn(dir.path());
}

TEST(WindowsFiles, RemovesTemporariesOfEndedSavesOfTheSameFile) {
    TempDir dir;
    // A process that has ended: the test's own child program.
    const auto ended = platform::startProgram(TESSARO_CHILD_PROGRAM, {});
    ASSERT_NE(ended, nullptr);
    ASSERT_TRUE(ended->waitForEnd(std::chrono::seconds(10)));
    const std::string endedSave = ".a.txt.saving-" + std::to_string(ended->processId()) + "-12345";
    const std::string runningSave = ".a.txt.saving-" + std::to_string(GetCurrentProcessId()) + "-67890";
    const std::string otherFile = ".b.txt.saving-" + std::to_string(ended->processId()) + "-13579";
    for (const std::string& name : {endedSave, runningSave, otherFile}) testing_support::writeFile(dir / name, "part");

    platform::writeFileAtomically(dir / "a.txt", "whole");

    EXPECT_FALSE(testing_support::exists(dir / endedSave));
    EXPECT_TRUE(testing_support::exists(dir / runningSave)) << "a save still running keeps its file";
    EXPECT_TRUE(testing_support::exists(dir / otherFile)) << "saves of other files are not touched";
    EXPECT_EQ(entriesIn(dir.path()), 3u);
}

TEST(WindowsFiles, ConcurrentSavesOfOneFileNeverShareATemporaryFile) {
    TempDir dir;
    const std::string path = dir / "pargen.xml";
    std::vector<std::thread> savers;
    for (const char* text : {"AAAA", "BBBB"}) {
        savers.emplace_back([&, text] {
            for (int i = 0; i < 40; ++i) {
                try {
                    platform::writeFileAtomically(path, std::string(1000, text[0]));
                } catch (const std::exception&) {
                    // A rename may meet the other saver's rename; what matters is
                    // that the file is always one save's whole text.
                }
            }
        });
    }
    for (std::thread& saver : savers) saver.join();
    const std::string text = testing_support::readFile(path);
    EXPECT_TRUE(text == std::string(1000, 'A') || text == std::string(1000, 'B'));
    EXPECT_EQ(entriesIn(dir.path()), 1u) << testing_support::namesIn(dir.path());
}

}  // namespace
