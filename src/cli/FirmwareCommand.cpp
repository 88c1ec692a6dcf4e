#include "cli/FirmwareCommand.h"

#include <exception>
#include <filesystem>

#include "cli/TessaroCli.h"
#include "firmware/FirmwareGenerator.h"
#include "platform/FileSystem.h"
#include "workspace/Workspace.h"

namespace cli {
namespace {

class ErrorStreamReport final : public firmware::GenerationReport {
public:
    explicit ErrorStreamReport(std::ostream& err) : m_err(err) {}
    void message(const std::string& text) override { m_err << text << "\n"; }

private:
    std::ostream& m_err;
};

}  // namespace

int runFirmwareCommand(const std::string& firmware, const std::string& binDir, const std::string& outDir,
                       std::ostream& err) {
    ErrorStreamReport report(err);
    try {
        const std::filesystem::path firmwarePath = platform::fileSystemPath(firmware);
        firmware::FirmwareRun run;
        run.FirmwareDir = platform::pathText(firmwarePath.parent_path());
        run.FirmwareName = platform::pathText(firmwarePath.filename());
        run.BinDir = firmware::withTrailingSeparator(binDir);
        run.NewFirmwareName = firmware::kNewFirmwarePrefix + run.FirmwareName;
        run.OutputDir = firmware::withTrailingSeparator(outDir);

        std::array<bool, firmware::kBankCount> takesPart{};
        for (int bank = 1; bank <= firmware::kBankCount; ++bank)
            takesPart[static_cast<std::size_t>(bank - 1)] = firmware::bankOffered(workspace::BoardVariant, bank);

        const std::vector<firmware::BankOutcome> outcomes = firmware::GenerateFirmware(run, takesPart, report);
        for (const firmware::BankOutcome& outcome : outcomes) {
            if (outcome.ran && outcome.result != firmware::BankResult::Inserted) return kExitFailure;
        }
        return outcomes.size() == static_cast<std::size_t>(firmware::kBankCount) ? kExitSuccess : kExitFailure;
    } catch (const std::exception& failure) {
        err << failure.what() << "\n";
    }
    return kExitFailure;
}

}  // namespace cli
