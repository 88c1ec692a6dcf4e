#include "update/ComPortList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "SerialTestSupport.h"
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

TEST(ComPortList, AnEmptyFolderGivesAnEmptyList) {
    TempDir folder;
    EXPECT_TRUE(update::EnumerateComPorts(folder.path()).empty());
    EXPECT_TRUE(update::EnumerateComPorts(folder / "missing").empty());
}

}  // namespace
