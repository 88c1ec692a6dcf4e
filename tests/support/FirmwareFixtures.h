#pragma once

// What the firmware generator's tests share: bank files whose bytes differ
// from record to record, the S2 records that hold them, worked out here on
// their own, and a program folder as a run meets it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "firmware/FirmwareGenerator.h"
#include "support/TestFiles.h"
#include "workspace/Workspace.h"

namespace firmware_test {

namespace fs = std::filesystem;
using testing_support::TempDir;

inline const std::string kDegree = "\xC2\xB0";

// The bytes of a generated bank file: they differ from record to record and from bank to bank.
inline std::string bankBytes(int bank, std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251 + bank * 29) & 0xFF);
    return bytes;
}

// An S2 record of 32 bytes, worked out here on its own.
inline std::string s2Record(std::uint32_t address, const std::string& data) {
    std::ostringstream record;
    record << std::uppercase << std::hex;
    unsigned sum = 0x24 + (address >> 16 & 0xFF) + (address >> 8 & 0xFF) + (address & 0xFF);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06X", address);
    std::string text = std::string("S224") + digits;
    for (unsigned char byte : data.substr(0, 32)) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
        sum += byte;
    }
    std::snprintf(digits, sizeof digits, "%02X", ~sum & 0xFF);
    return text + digits;
}

// The 512 records of a bank, one line each.
inline std::string bankLines(int bank, const std::string& data) {
    std::string lines;
    const std::uint32_t first = 0x388000 + static_cast<std::uint32_t>(bank - 1) * 0x10000;
    for (std::size_t record = 0; record < 512; ++record)
        lines += s2Record(first + static_cast<std::uint32_t>(record * 32), data.substr(record * 32, 32)) + "\r\n";
    return lines;
}

inline std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(testing_support::pathOf(folder)))
        names.push_back(testing_support::pathText(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// Everything a run reports, as the window would show it.
class RecordedReport : public firmware::GenerationReport {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    void progressRange(int value) override { maximum = value; }
    void progress(int position) override {
        if (position != 0 && position != last + 1 && position != maximum) ++jumps;
        last = position;
        ++steps;
    }
    void bankFinished(int bank, firmware::BankResult result) override {
        results.emplace_back(bank, static_cast<int>(result));
    }

    std::vector<std::string> messages;
    std::vector<std::pair<int, int>> results;
    int maximum = -1, last = -1, steps = 0, jumps = 0;
};

// A program folder as a run meets it: the firmware in master/, bank files in bin/, results in out/.
struct RunFolders {
    TempDir dir;
    std::string master = dir / "master", bin = dir / "bin", out = dir / "out";
    RunFolders() {
        for (const std::string& folder : {master, bin, out}) fs::create_directories(folder);
    }
    firmware::FirmwareRun run() const {
        return {master, firmware::kFirmwareFileName, bin + "/", std::string("New_") + firmware::kFirmwareFileName,
                out + "/"};
    }
    std::string result() const { return out + "/New_sx31570.sx"; }
};

inline std::array<bool, firmware::kBankCount> productBanks() {
    std::array<bool, firmware::kBankCount> banks{};
    for (int bank = 1; bank <= firmware::kBankCount; ++bank)
        banks[bank - 1] = firmware::bankOffered(workspace::BoardVariant, bank);
    return banks;
}

}  // namespace firmware_test
