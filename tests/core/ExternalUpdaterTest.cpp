#include "update/ExternalUpdater.h"

#include <gtest/gtest.h>

#include "platform/Process.h"
#include "support/CaseNames.h"
#include "support/TestFiles.h"

namespace {

using testing_support::nativePath;
using update::UpdateOptions;

TEST(UpdaterProgram, LivesInTheProgramFolder) {
    EXPECT_EQ(update::updaterProgramPath(nativePath("/opt/tessaro")),
              nativePath("/opt/tessaro/Ser_48213_Update") + platform::kExecutableSuffix);
}

struct FlagCase {
    UpdateOptions options;
    std::string flags;  // the four flags of the parameter string
};

class UpdaterCommandLine : public ::testing::TestWithParam<FlagCase> {};

TEST_P(UpdaterCommandLine, CarriesTheFlagsInTheirPositions) {
    const FlagCase& c = GetParam();
    EXPECT_EQ(update::updaterParameters("COM3", c.options, "C:\\Tools\\MASTER", "C:\\Tools\\PROJECTS\\Plant1"),
              "\\\\.\\COM3 " + c.flags + "\"C:\\Tools\\MASTER\\sim48213.sim\" \"C:\\Tools\\PROJECTS\\Plant1\\bin\\\"");

    const std::string& flags = c.flags;
    EXPECT_EQ(update::updaterArguments("/dev/ttyUSB0", c.options, nativePath("/opt/t/MASTER"),
                                       nativePath("/opt/t/PROJECTS/Plant1")),
              (std::vector<std::string>{"/dev/ttyUSB0", flags.substr(0, 2), flags.substr(3, 2), flags.substr(6, 2),
                                        flags.substr(9, 2), nativePath("/opt/t/MASTER/sim48213.sim"),
                                        nativePath("/opt/t/PROJECTS/Plant1/bin/")}));
}

std::vector<FlagCase> allFlagCombinations() {
    std::vector<FlagCase> cases;
    for (int bits = 0; bits < 16; ++bits) {
        UpdateOptions options{(bits & 8) != 0, (bits & 4) != 0, (bits & 2) != 0, (bits & 1) != 0};
        cases.push_back({options, std::string(options.Firmware ? "FW " : "NO ") +
                                      (options.ReadFirmware ? "FR " : "NO ") + (options.Project ? "PW " : "NO ") +
                                      (options.ReadProject ? "PR " : "NO ")});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllSixteen, UpdaterCommandLine, ::testing::ValuesIn(allFlagCombinations()),
                         [](const auto& info) {
                             std::string flags = info.param.flags;
                             std::erase_if(flags, [](char c) { return c == ' ' || c == '\n'; });
                             return flags;
                         });

TEST(UpdaterCommandLine, TheExampleReadsAsDocumented) {
    EXPECT_EQ(update::updaterParameters("COM3", {}, "C:\\Tools\\MASTER", "C:\\Tools\\PROJECTS\\Plant1"),
              "\\\\.\\COM3 FW FR PW PR \"C:\\Tools\\MASTER\\sim48213.sim\" \"C:\\Tools\\PROJECTS\\Plant1\\bin\\\"");
    EXPECT_EQ(update::updaterParameters("COM1", {false, false, false, false}, "M", "P"),
              "\\\\.\\COM1 NO NO NO NO \"M\\sim48213.sim\" \"P\\bin\\\"");
}

TEST(UpdaterCommandLine, WithoutAProjectTheBinFolderStandsAlone) {
    EXPECT_EQ(update::updaterParameters("COM2", {}, "C:\\M", ""),
              "\\\\.\\COM2 FW FR PW PR \"C:\\M\\sim48213.sim\" \"\\bin\\\"");
    EXPECT_EQ(update::updaterArguments("/dev/ttyS0", {}, nativePath("/m"), "").back(), nativePath("/bin/"));
}

}  // namespace
