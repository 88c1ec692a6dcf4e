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

// The hidden temporary name of a save is longer than the file's own; for a
// name near the system's longest it is cut short instead of failing.
TEST(AtomicWrite, NamesUpToTheLongestTheSystemAllows) {
    TempDir dir;
    for (std::size_t length : {234u, 250u, 255u}) {
        const std::string path = dir / std::string(length - 4, 'n').append(".gsd");
        platform::writeFileAtomically(path, "first");
        platform::writeFileAtomically(path, "second");
        EXPECT_EQ(testing_support::readFile(path), "second") << length;
    }
    EXPECT_EQ(entriesIn(dir.path()), 3u);
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
