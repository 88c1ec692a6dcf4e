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
#include "firmware/FirmwareGenerator.h"
#include "workspace/Workspace.h"

namespace {

class Quiet final : public firmware::GenerationReport {
public:
    void message(const std::string&) override {}
};

void placeBanks() {
    std::filesystem::create_directories(fuzzing::fuzzFolder() + "/bin");
    for (int bank = 1; bank <= 2; ++bank) {
        std::string bytes(firmware::kBankBytes, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + bank);
        fuzzing::placeInput("bin/bank" + std::to_string(bank) + ".bin", bytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool banksPlaced = (placeBanks(), true);
    (void)banksPlaced;
    const std::string folder = fuzzing::fuzzFolder() + "/";
    fuzzing::placeInput(firmware::kFirmwareFileName, std::string_view(reinterpret_cast<const char*>(data), size));

    const firmware::FirmwareRun run{folder, firmware::kFirmwareFileName, folder + "bin/",
                                    std::string(firmware::kNewFirmwarePrefix) + firmware::kFirmwareFileName, folder};
    std::array<bool, firmware::kBankCount> banks{};
    for (int bank = 1; bank <= firmware::kBankCount; ++bank)
        banks[bank - 1] = firmware::bankOffered(workspace::BoardVariant, bank);
    Quiet report;
    try {
        (void)firmware::GenerateFirmware(run, banks, report);
    } catch (const std::exception&) {
    }
    // The run's own files (the bank's records, the passes' outputs) are gone:
    // only the firmware, the bank folder and the result may stay.
    for (const std::string& inside : {folder, folder + "bin/"}) {
        for (const auto& entry : std::filesystem::directory_iterator(inside)) {
            const std::string name = entry.path().filename().string();
            if (name != firmware::kFirmwareFileName && name != run.NewFirmwareName && name != "bin" &&
                name != "bank1.bin" && name != "bank2.bin")
                std::abort();
        }
    }
    fuzzing::removeInput(run.NewFirmwareName);
    return 0;
}
