// Measures one generation run of the firmware generator on a firmware of
// about 30 MB of S-record text (two passes, each counting the lines, then
// reading and writing the file) against a plain read-and-write copy of the
// same file, which is near the floor of what the passes must read and write.
// Prints the best of a few rounds of each, and their ratio; the run should
// take at most 4 times the copy. Works in a temporary folder it removes at the
// end. Measure an optimised build (Release or RelWithDebInfo): a Debug build
// spends its time in unoptimised line handling, not in reading and writing.
//
// Usage: tessaro-bench-firmware [MEGABYTES]

#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "firmware/FirmwareGenerator.h"
#include "workspace/Workspace.h"

namespace {

namespace fs = std::filesystem;

// Prints messages, and remembers when each bank was done.
class Timings final : public firmware::GenerationReport {
public:
    void message(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    void bankFinished(int, firmware::BankResult) override { done.push_back(std::chrono::steady_clock::now()); }
    std::vector<std::chrono::steady_clock::time_point> done;
    std::chrono::steady_clock::time_point start;
};

void write(const fs::path& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// S2 records of 32 bytes from address 0 upwards, through both banks, until the text holds bytes.
std::string firmwareText(std::size_t bytes) {
    std::string text = "S00F000068656C6C6F202020202000003C\r\n";
    std::vector<unsigned char> data(32);
    for (std::uint32_t address = 0; text.size() < bytes; address = (address + 32) & 0xFFFFFF) {
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(address + i * 7);
        text += firmware::bankRecord(address, data.data()) + "\r\n";
    }
    return text + "S9030000FC\r\n";
}

double seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Reads the file and writes it again, in large blocks.
void plainCopy(const fs::path& from, const fs::path& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = std::fopen(to.c_str(), "wb");
    if (!in || !out) std::exit(1);
    std::vector<char> buffer(1 << 20);
    std::size_t read;
    while ((read = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
        if (std::fwrite(buffer.data(), 1, read, out) != read) std::exit(1);
    }
    std::fclose(in);
    if (std::fclose(out) != 0) std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 30;
    const fs::path folder = fs::temp_directory_path() / ("tessaro-bench-firmware-" + std::to_string(::getpid()));
    fs::create_directories(folder / "bin");
    fs::create_directories(folder / "out");

    write(folder / firmware::kFirmwareFileName, firmwareText(megabytes * 1000 * 1000));
    for (int bank = 1; bank <= 2; ++bank)
        write(folder / "bin" / ("bank" + std::to_string(bank) + ".bin"), std::string(firmware::kBankBytes, '\x5A'));
    const auto size = fs::file_size(folder / firmware::kFirmwareFileName);

    const firmware::FirmwareRun run{folder.string(), firmware::kFirmwareFileName, (folder / "bin").string() + "/",
                                    std::string(firmware::kNewFirmwarePrefix) + firmware::kFirmwareFileName,
                                    (folder / "out").string() + "/"};
    std::array<bool, firmware::kBankCount> banks{};
    for (int bank = 1; bank <= firmware::kBankCount; ++bank)
        banks[bank - 1] = firmware::bankOffered(workspace::BoardVariant, bank);

    // Both are measured a few times, taking turns, and the best of each
    // counts: the machine is shared, and a slow moment should not decide.
    constexpr int kRounds = 3;
    double copy = 1e9, generation = 1e9;
    bool inserted = true;
    Timings report;
    for (int round = 0; round < kRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        plainCopy(folder / firmware::kFirmwareFileName, folder / "copy.sx");
        copy = std::min(copy, seconds(std::chrono::steady_clock::now() - start));
        fs::remove(folder / "copy.sx");

        Timings timings;
        start = std::chrono::steady_clock::now();
        const std::vector<firmware::BankOutcome> outcomes = firmware::GenerateFirmware(run, banks, timings);
        const double took = seconds(std::chrono::steady_clock::now() - start);
        for (const firmware::BankOutcome& outcome : outcomes)
            inserted = inserted && (!outcome.ran || outcome.result == firmware::BankResult::Inserted);
        if (took < generation) {
            generation = took;
            report = timings;
            report.start = start;
        }
        fs::remove(folder / "out" / run.NewFirmwareName);
    }

    std::printf("firmware:        %.1f MB of S-record text\n", static_cast<double>(size) / 1e6);
    std::printf("plain copy:      %.3f s\n", copy);
    std::printf("generation run:  %.3f s (two passes%s)\n", generation, inserted ? "" : ", A BANK WAS NOT INSERTED");
    auto previous = report.start;
    for (std::size_t bank = 0; bank < report.done.size(); ++bank) {
        std::printf("  bank %zu:        %.3f s\n", bank + 1, seconds(report.done[bank] - previous));
        previous = report.done[bank];
    }
    std::printf("ratio:           %.2f (at most 4 wanted)\n", generation / copy);
    bench::printFigure("firmware generation run, " + std::to_string(megabytes) + " MB, against a plain copy",
                       generation * 1000, "ms", copy * 1000, "ratio <= 4");

    std::error_code ec;
    fs::remove_all(folder, ec);
    return inserted ? 0 : 1;
}
