// Saving is crash-safe: a process killed at any moment of a save, or a save
// that meets a full disk, leaves the document as it was or as it was to
// become, whole, and no temporary file that could pass for a document.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "crash/SaveKinds.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"

namespace crash_safety {
void PrintTo(const SaveKind& kind, std::ostream* os) {
    *os << kind.name;
}
}  // namespace crash_safety

namespace {

using crash_safety::SaveKind;
using testing_support::TempDir;

constexpr int kKills = 200;

std::string nameOf(const ::testing::TestParamInfo<SaveKind>& info) {
    return info.param.name;
}

// Files beside the document other than the document itself, its previous
// version kept as <name>.bak, and the sources.
std::vector<std::string> strayFiles(const std::string& folder, const std::string& document) {
    std::vector<std::string> stray;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name == document || name == document + ".bak" || name == "bin" || name.rfind("source", 0) == 0) continue;
        stray.push_back(name);
    }
    return stray;
}

// A temporary file must be hidden and must not end as a document does.
bool couldPassForADocument(const std::string& name) {
    for (const char* ending : {".xml", ".bin", ".gsd", ".csv", ".ini", ".sx", ".xls"}) {
        const std::string e(ending);
        if (name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0) return true;
    }
    return name.empty() || name.front() != '.';
}

struct Child {
    pid_t pid = -1;
    int output = -1;
};

Child startSaveLoop(const SaveKind& kind, const std::string& folder) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execl(TESSARO_SAVE_LOOP_PROGRAM, TESSARO_SAVE_LOOP_PROGRAM, kind.name, folder.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    return {pid, pipeEnds[0]};
}

class CrashSafety : public ::testing::TestWithParam<SaveKind> {};

TEST_P(CrashSafety, KilledMidSaveLeavesOldOrNewContentWhole) {
    const SaveKind& kind = GetParam();
    TempDir dir;
    kind.prepare(dir.path());
    const std::string document = dir / kind.document;
    const std::string documentFolder = std::filesystem::path(document).parent_path().string();
    const std::string documentName = std::filesystem::path(document).filename().string();

    const crash_safety::Save save = kind.saver(dir.path());
    save(1);
    const std::string newContent = testing_support::readFile(document);
    save(0);
    const std::string oldContent = testing_support::readFile(document);
    ASSERT_NE(oldContent, newContent);

    std::mt19937 random(20261210);
    // On a busy machine one save can take longer than the kills' window, so
    // every kill would land in the first save; the window then widens until
    // kills have landed on both sides of a replace.
    int windowMicroseconds = 5000;
    bool sawOld = false, sawNew = false;
    for (int kill = 1; kill <= kKills || (!(sawOld && sawNew) && kill <= 4 * kKills); ++kill) {
        if (kill > kKills && kill % 50 == 1) windowMicroseconds *= 2;
        std::uniform_int_distribution<int> delayMicroseconds(0, windowMicroseconds);
        const Child child = startSaveLoop(kind, dir.path());
        char started = 0;
        const ssize_t got = ::read(child.output, &started, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child.pid, SIGKILL);
        int status = 0;
        ::waitpid(child.pid, &status, 0);
        ::close(child.output);
        ASSERT_EQ(got, 1) << "the child did not start saving (exit status " << status << ")";
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child ended on its own";

        const std::string content = testing_support::readFile(document);
        ASSERT_TRUE(content == oldContent || content == newContent)
            << "kill " << kill << " left " << content.size() << " bytes, neither content whole";
        sawOld = sawOld || content == oldContent;
        sawNew = sawNew || content == newContent;
        const std::vector<std::string> stray = strayFiles(documentFolder, documentName);
        // Only the temporary file of the save just killed may remain; the next
        // save removes it.
        ASSERT_LE(stray.size(), 1u) << "kill " << kill << ": temporary files pile up, first " << stray.front();
        for (const std::string& name : stray) {
            ASSERT_FALSE(couldPassForADocument(name)) << "kill " << kill << " left " << name;
        }
    }
    EXPECT_TRUE(sawOld && sawNew) << "the kills did not land across the saves";
}

TEST_P(CrashSafety, FullDiskReportsAnErrorAndKeepsTheOldFile) {
    const SaveKind& kind = GetParam();
    TempDir dir;
    kind.prepare(dir.path());
    const std::string document = dir / kind.document;
    const std::string documentFolder = std::filesystem::path(document).parent_path().string();
    const crash_safety::Save save = kind.saver(dir.path());
    save(0);
    const std::string oldContent = testing_support::readFile(document);

    std::string failure;
    {
        testing_support::FileSizeLimit diskFull(4);
        failure = testing_support::failureOf([&] { save(1); });
    }
    EXPECT_EQ(failure, "Cannot create file \"" + document + "\". File too large");
    EXPECT_EQ(testing_support::readFile(document), oldContent);
    EXPECT_EQ(strayFiles(documentFolder, std::filesystem::path(document).filename().string()),
              std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Documents, CrashSafety, ::testing::ValuesIn(crash_safety::saveKinds()), nameOf);

}  // namespace
