// Any bytes as the device firmware, merged with two fixed bank files by a
// whole generation run: a run either gives its result and messages or throws
// one of its messages, and never leaves a file of its own behind.
// seeds: tests/data/firmware/**/*.sx

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzFolder.h"
#include "tools/FirmwareGenerator.h"
#include "workspace/Workspace.h"

namespace {

class Quiet final : public tools::GenerationReport {
public:
    void message(const std::string&) override {}
};

void placeBanks() {
    std::filesystem::create_directories(fuzzing::fuzzFolder() + "/bin");
    for (int bank = 1; bank <= 2; ++bank) {
        std::string bytes(tools::kBankBytes, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + bank);
        fuzzing::placeInput("bin/bank" + std::to_string(bank) + ".bin", bytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool banksPlaced = (placeBanks(), true);
    (void)banksPlaced;
    const std::string folder = fuzzing::fuzzFolder() + "/";
    fuzzing::placeInput(tools::kFirmwareFileName, std::string_view(reinterpret_cast<const char*>(data), size));

    const tools::FirmwareRun run{folder, tools::kFirmwareFileName, folder + "bin/",
                                 std::string(tools::kNewFirmwarePrefix) + tools::kFirmwareFileName, folder};
    std::array<bool, tools::kBankCount> banks{};
    for (int bank = 1; bank <= tools::kBankCount; ++bank)
        banks[bank - 1] = tools::bankOffered(workspace::BoardVariant, bank);
    Quiet report;
    try {
        (void)tools::GenerateFirmware(run, banks, report);
    } catch (const std::exception&) {
    }
    // The run's own files (the bank's records, the passes' outputs) are gone:
    // only the firmware, the bank folder and the result may stay.
    for (const std::string& inside : {folder, folder + "bin/"}) {
        for (const auto& entry : std::filesystem::directory_iterator(inside)) {
            const std::string name = entry.path().filename().string();
            if (name != tools::kFirmwareFileName && name != run.NewFirmwareName && name != "bin" &&
                name != "bank1.bin" && name != "bank2.bin")
                std::abort();
        }
    }
    fuzzing::removeInput(run.NewFirmwareName);
    return 0;
}
