#include "cli/FirmwareCommand.h"

#include <exception>
#include <filesystem>

#include "cli/TessaroCli.h"
#include "platform/FileSystem.h"
#include "tools/FirmwareGenerator.h"
#include "workspace/Workspace.h"

namespace cli {
namespace {

class ErrorStreamReport final : public tools::GenerationReport {
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
        tools::FirmwareRun run;
        run.FirmwareDir = platform::pathText(firmwarePath.parent_path());
        run.FirmwareName = platform::pathText(firmwarePath.filename());
        run.BinDir = tools::withTrailingSeparator(binDir);
        run.NewFirmwareName = tools::kNewFirmwarePrefix + run.FirmwareName;
        run.OutputDir = tools::withTrailingSeparator(outDir);

        std::array<bool, tools::kBankCount> takesPart{};
        for (int bank = 1; bank <= tools::kBankCount; ++bank)
            takesPart[static_cast<std::size_t>(bank - 1)] = tools::bankOffered(workspace::BoardVariant, bank);

        const std::vector<tools::BankOutcome> outcomes = tools::GenerateFirmware(run, takesPart, report);
        for (const tools::BankOutcome& outcome : outcomes) {
            if (outcome.ran && outcome.result != 1) return kExitFailure;
        }
        return outcomes.size() == static_cast<std::size_t>(tools::kBankCount) ? kExitSuccess : kExitFailure;
    } catch (const std::exception& failure) {
        err << failure.what() << "\n";
    }
    return kExitFailure;
}

}  // namespace cli
