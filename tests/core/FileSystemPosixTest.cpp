#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/XmlDocument.h"
#include "platform/FileSystem.h"
#include "support/TestFiles.h"

// What only a POSIX system shows of the atomic replace: file modes, a write
// refused half-way through the file size limit, and the clean-up of the
// temporary files of saves whose process has ended.
namespace {

using testing_support::entriesIn;
using testing_support::TempDir;

TEST(AtomicWrite, NewFileGetsTheUsualMode) {
    TempDir dir;
    const mode_t old = ::umask(022);
    platform::writeFileAtomically(dir / "a.txt", "x");
    ::umask(old);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "a.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AtomicWrite, FailureMidWriteLeavesThePreviousFileWhole) {
    TempDir dir;
    testing_support::writeFile(dir / "bank.bin", "previous content");
    // Let the system refuse the write half-way, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    try {
        platform::writeFileAtomically(dir / "bank.bin", std::string(100000, 'x'));
    } catch (const std::exception& e) {
        error = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, "Cannot create file \"" + (dir / "bank.bin") + "\". File too large");
    EXPECT_EQ(testing_support::readFile(dir / "bank.bin"), "previous content");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicWrite, RemovesTemporariesOfEndedSavesOfTheSameFile) {
    TempDir dir;
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    const std::string endedSave = ".a.txt.saving-" + std::to_string(ended) + "-Ab12Cd";
    const std::string runningSave = ".a.txt.saving-" + std::to_string(::getpid()) + "-Ef34Gh";
    const std::string otherFile = ".b.txt.saving-" + std::to_string(ended) + "-Ij56Kl";
    for (const std::string& name : {endedSave, runningSave, otherFile}) testing_support::writeFile(dir / name, "part");

    platform::writeFileAtomically(dir / "a.txt", "whole");

    EXPECT_FALSE(testing_support::exists(dir / endedSave));
    EXPECT_TRUE(testing_support::exists(dir / runningSave)) << "a save still running keeps its file";
    EXPECT_TRUE(testing_support::exists(dir / otherFile)) << "saves of other files are not touched";
    EXPECT_EQ(entriesIn(dir.path()), 3u);
}

// A document that is no regular file is neither missing nor read: reading a
// FIFO would wait for a writer, a device would never end.
TEST(DocumentFiles, OnlyRegularFilesAreDocuments) {
    TempDir dir;
    testing_support::writeFile(dir / "file.xml", "<a/>");
    ASSERT_EQ(::mkfifo((dir / "fifo.xml").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.xml");
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling.xml");
    std::filesystem::create_symlink("/dev/zero", dir / "device.xml");
    std::filesystem::create_symlink(dir / "file.xml", dir / "link.xml");

    EXPECT_FALSE(platform::documentExists(dir / "absent.xml"));
    EXPECT_TRUE(platform::documentExists(dir / "file.xml"));
    EXPECT_TRUE(platform::documentExists(dir / "link.xml"));
    const std::string longName = dir / std::string(300, 'n');
    const std::vector<std::pair<std::string, std::string>> refused = {
        {dir / "fifo.xml", "It is a FIFO, not a file"},
        {dir / "folder.xml", "It is a folder"},
        {dir / "dangling.xml", "It is a symbolic link to nothing"},
        {dir / "device.xml", "It is a device, not a file"},
        {longName, "File name too long"}};
    for (const auto& refusal : refused) {
        EXPECT_EQ(testing_support::failureOf([&] { platform::documentExists(refusal.first); }),
                  "Cannot read file \"" + refusal.first + "\". " + refusal.second);
    }
    EXPECT_EQ(testing_support::failureOf([&] { platform::readFile(dir / "fifo.xml"); }),
              "Cannot read file \"" + (dir / "fifo.xml") + "\". It is not a regular file");
    EXPECT_EQ(testing_support::failureOf([&] { platform::readFile(dir / "folder.xml"); }),
              "Cannot read file \"" + (dir / "folder.xml") + "\". It is a folder");
    EXPECT_EQ(platform::readFile(dir / "link.xml"), "<a/>");
}

// The kept copy of a saved document is written like any file: a link at
// its name is replaced, and the file it pointed to is left alone.
TEST(DocumentFiles, BackupNeverWritesThroughALink) {
    TempDir dir;
    testing_support::writeFile(dir / "elsewhere.txt", "precious");
    testing_support::writeFile(dir / "pdo.xml", "<earlier/>");
    std::filesystem::create_symlink(dir / "elsewhere.txt", dir / "pdo.xml.bak");
    base::XmlDocument doc;
    doc.appendRoot("later");
    doc.save(dir / "pdo.xml");
    EXPECT_EQ(testing_support::readFile(dir / "elsewhere.txt"), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "pdo.xml.bak"));
    EXPECT_EQ(testing_support::readFile(dir / "pdo.xml.bak"), "<earlier/>");
    EXPECT_EQ(testing_support::readFile(dir / "pdo.xml"), "<later/>");
}

}  // namespace
