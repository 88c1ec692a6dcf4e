#include "update/ComPortList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "support/SerialTestSupport.h"
#include "support/TestFiles.h"

namespace {

using serial_test::PseudoTerminal;
using testing_support::TempDir;

TEST(ComPortList, ListsTheDevicesPresentFamilyByFamilyInNumberOrder) {
    TempDir folder;
    PseudoTerminal a, b, c, d, e;
    // Made out of order, with numbers whose text order differs from their value.
    std::filesystem::create_symlink(a.slavePath(), folder / "ttyACM12");
    std::filesystem::create_symlink(b.slavePath(), folder / "ttyS10");
    std::filesystem::create_symlink(c.slavePath(), folder / "ttyUSB0");
    std::filesystem::create_symlink(d.slavePath(), folder / "ttyS2");
    std::filesystem::create_symlink(e.slavePath(), folder / "ttyS255");
    std::filesystem::create_symlink(folder / "gone", folder / "ttyS3");  // dangling: absent
    std::filesystem::create_directory(folder / "ttyUSB1");               // not openable for writing: absent
    std::filesystem::create_symlink(a.slavePath(), folder / "ttyS256");  // beyond the probed numbers
    std::filesystem::create_symlink(a.slavePath(), folder / "ttyAMA0");  // not a probed family

    EXPECT_EQ(update::EnumerateComPorts(folder.path()),
              (std::vector<std::string>{folder / "ttyS2", folder / "ttyS10", folder / "ttyS255", folder / "ttyUSB0",
                                        folder / "ttyACM12"}));
    for (const PseudoTerminal* pty : {&a, &b, &c, &d, &e})
        EXPECT_EQ(serial_test::descriptorsOpenOn(pty->slavePath()), 1) << "every probed device is closed again";
    EXPECT_FALSE(a.exclusive());
}

// A device that another program holds exclusively, or that the user may not
// open, is still there: the probe lists it. Root opens anything, so as root
// the probe runs in a child process that has given up its rights.
TEST(ComPortList, HeldOrForbiddenDevicesAreListed) {
    TempDir folder;
    std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
    PseudoTerminal held, forbidden;
    ASSERT_EQ(ioctl(held.slave(), TIOCEXCL), 0);
    ASSERT_EQ(chmod(forbidden.slavePath().c_str(), 0), 0);
    std::filesystem::create_symlink(held.slavePath(), folder / "ttyS1");
    std::filesystem::create_symlink(forbidden.slavePath(), folder / "ttyUSB4");
    std::filesystem::create_symlink(folder / "gone", folder / "ttyS2");

    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        std::string listed;
        for (const std::string& port : update::EnumerateComPorts(folder.path())) listed += port + "\n";
        const bool written = write(channel[1], listed.data(), listed.size()) == static_cast<ssize_t>(listed.size());
        _exit(written ? 0 : 3);
    }
    close(channel[1]);
    std::string listed;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        listed.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the probing child failed";
    EXPECT_EQ(listed, folder / "ttyS1" + "\n" + folder / "ttyUSB4" + "\n");
}

TEST(ComPortList, AnEmptyFolderGivesAnEmptyList) {
    TempDir folder;
    EXPECT_TRUE(update::EnumerateComPorts(folder.path()).empty());
    EXPECT_TRUE(update::EnumerateComPorts(folder / "missing").empty());
}

}  // namespace
