#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestFiles.h"

namespace {

using testing_support::entriesIn;
using testing_support::TempDir;

TEST(AtomicWrite, CreatesAndReplaces) {
    TempDir dir;
    platform::writeFileAtomically(dir / "a.txt", "first");
    platform::writeFileAtomically(dir / "a.txt", "second");
    EXPECT_EQ(testing_support::readFile(dir / "a.txt"), "second");
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "no temporary file is left behind";
}

TEST(AtomicWrite, MissingFolderGivesTheSystemReason) {
    TempDir dir;
    try {
        platform::writeFileAtomically(dir / "no/such.txt", "x");
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + (dir / "no/such.txt") + "\". No such file or directory");
    }
}

TEST(Folders, CreateOneLevelOnly) {
    TempDir dir;
    EXPECT_TRUE(platform::createFolder(dir / "a"));
    EXPECT_FALSE(platform::createFolder(dir / "a"));
    EXPECT_FALSE(platform::createFolder(dir / "b/c"));
    EXPECT_TRUE(platform::folderExists(dir / "a"));
    EXPECT_FALSE(platform::folderExists(dir / "b"));
    EXPECT_FALSE(platform::fileExists(dir / "a"));
}

}  // namespace
