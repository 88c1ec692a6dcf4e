#include "tools/FirmwareGenerator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "platform/FileSystem.h"
#include "platform/Process.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kFirstBankAddress = 0x388000;
constexpr std::uint32_t kBankDistance = 0x10000;
constexpr std::uint32_t kBankSpan = 0x3FFF;
constexpr std::size_t kBufferBytes = 1 << 20;

#ifdef _WIN32
constexpr const char* kDegree = "\xB0";
#else
constexpr const char* kDegree = "\xC2\xB0";
#endif

const char kHexDigits[] = "0123456789ABCDEF";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void failRead(const std::string& path, int error) {
    throw std::runtime_error("Cannot read file \"" + path + "\". " + std::strerror(error));
}
[[noreturn]] void failCreate(const std::string& path, int error) {
    throw std::runtime_error("Cannot create file \"" + path + "\". " + std::strerror(error));
}

File openForReading(const std::string& path) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) failRead(path, errno);
    return file;
}

File openForWriting(const std::string& path) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) failCreate(path, errno);
    return file;
}

// Deletes a file; folders and missing files are left alone.
void deleteFile(const std::string& path) {
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(path, ec)) || fs::is_symlink(fs::symlink_status(path, ec)))
        fs::remove(path, ec);
}

// Reads a text line by line, whichever of CR LF, LF or CR ends its lines.
class LineReader {
public:
    LineReader(std::FILE* file, const std::string& path) : m_file(file), m_path(path), m_buffer(kBufferBytes) {}

    // The next line without its end into line (or only past it when line is
    // null). Answers false at the end of the text. Throws on a read failure.
    bool next(std::string* line) {
        if (line) line->clear();
        bool any = false;
        for (;;) {
            if (m_position == m_end && !refill()) return any;
            if (m_skipLineFeed) {
                m_skipLineFeed = false;
                if (m_buffer[m_position] == '\n') {
                    ++m_position;
                    continue;
                }
            }
            const char* start = m_buffer.data() + m_position;
            const char* stop = m_buffer.data() + m_end;
            const char* cursor = start;
            while (cursor != stop && *cursor != '\n' && *cursor != '\r') ++cursor;
            if (line) line->append(start, cursor);
            any = true;
            m_position += static_cast<std::size_t>(cursor - start);
            if (cursor == stop) continue;
            m_skipLineFeed = *cursor == '\r';
            ++m_position;
            return true;
        }
    }

private:
    bool refill() {
        m_position = 0;
        m_end = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
        if (m_end == 0 && std::ferror(m_file)) failRead(m_path, errno);
        return m_end > 0;
    }

    std::FILE* m_file;
    const std::string& m_path;
    std::vector<char> m_buffer;
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    bool m_skipLineFeed = false;
};

class LineWriter {
public:
    LineWriter(std::FILE* file, const std::string& path) : m_file(file), m_path(path) {
        std::setvbuf(m_file, nullptr, _IOFBF, kBufferBytes);
    }
    void write(const std::string& line) {
        if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() || std::fwrite("\r\n", 1, 2, m_file) != 2)
            failCreate(m_path, errno);
    }
    void flush() {
        if (std::fflush(m_file) != 0) failCreate(m_path, errno);
    }

private:
    std::FILE* m_file;
    const std::string& m_path;
};

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    return -1;
}

// The address field of an S1 or S2 line: characters 5 to 10 as hexadecimal.
std::uint32_t addressOf(const std::string& line) {
    if (line.size() < 10) throw std::runtime_error("address field missing");
    std::uint32_t address = 0;
    for (std::size_t i = 4; i < 10; ++i) {
        const int digit = hexValue(line[i]);
        if (digit < 0) throw std::runtime_error("address field not hexadecimal");
        address = address * 16 + static_cast<std::uint32_t>(digit);
    }
    return address;
}

void appendHexByte(std::string& text, unsigned value) {
    text += kHexDigits[(value >> 4) & 0xF];
    text += kHexDigits[value & 0xF];
}

// Deletes Bin.sx when a pass ends, however it ends.
struct DeleteOnExit {
    std::string path;
    ~DeleteOnExit() { deleteFile(path); }
};

// The first kBankBytes of the bank file, or nothing (after the message) when it is shorter.
bool readBank(const std::string& path, const Bank& bank, std::vector<unsigned char>& data, GenerationReport& report) {
    const File file = openForReading(path);
    data.assign(kBankBytes, 0);
    const std::size_t read = std::fread(data.data(), 1, kBankBytes, file.get());
    if (read == kBankBytes) return true;
    if (std::ferror(file.get())) failRead(path, errno);
    report.message("File " + bank.fileName + " is shorter than 16384 bytes,Abort Procedure");
    return false;
}

void writeBankRecords(const std::string& path, const Bank& bank, const std::vector<unsigned char>& data) {
    const File file = openForWriting(path);
    LineWriter writer(file.get(), path);
    for (int record = 0; record < kBankRecordCount; ++record) {
        const std::size_t offset = static_cast<std::size_t>(record) * kBankRecordDataBytes;
        writer.write(bankRecord(bank.firstAddress + static_cast<std::uint32_t>(offset), data.data() + offset));
    }
    writer.flush();
}

std::vector<std::string> readLines(const std::string& path) {
    const File file = openForReading(path);
    LineReader reader(file.get(), path);
    std::vector<std::string> lines;
    std::string line;
    while (reader.next(&line)) lines.push_back(line);
    return lines;
}

int countLines(const std::string& path) {
    const File file = openForReading(path);
    LineReader reader(file.get(), path);
    int count = 0;
    while (reader.next(nullptr)) ++count;
    return count;
}

// Puts from in place of to; a missing from leaves no to behind.
void handOn(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (fs::is_regular_file(from, ec)) {
        fs::rename(from, to, ec);
    } else {
        deleteFile(to);
    }
}

}  // namespace

Bank bankOf(int number) {
    const std::uint32_t first = kFirstBankAddress + static_cast<std::uint32_t>(number - 1) * kBankDistance;
    return {number, first, first + kBankSpan, "bank" + std::to_string(number) + ".bin"};
}

std::string intermediateName(int number) {
    return std::string(kDegree) + "B" + std::to_string(number) + kDegree + ".sx";
}

bool bankOffered(int boardVariant, int number) {
    if (boardVariant == 2 || boardVariant == 3) return number <= 2;
    return true;
}

std::string bankRecord(std::uint32_t address, const unsigned char* data) {
    constexpr unsigned kByteCount = 3 + kBankRecordDataBytes + 1;
    std::string record = "S2";
    record.reserve(kBankRecordLength);
    appendHexByte(record, kByteCount);
    unsigned sum = kByteCount;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const unsigned byte = (address >> shift) & 0xFF;
        appendHexByte(record, byte);
        sum += byte;
    }
    for (std::size_t i = 0; i < kBankRecordDataBytes; ++i) {
        appendHexByte(record, data[i]);
        sum += data[i];
    }
    appendHexByte(record, ~sum & 0xFF);
    return record;
}

std::string withTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != platform::kPathSeparator) folder += platform::kPathSeparator;
    return folder;
}

std::string firmwarePath(const FirmwareRun& run) {
    return run.FirmwareDir.empty() ? run.FirmwareName : platform::joinPath(run.FirmwareDir, run.FirmwareName);
}

int InsertBank(const Bank& bank, const std::string& inputPath, const std::string& outputPath, const FirmwareRun& run,
               GenerationReport& report) {
    report.progress(0);
    int result = -1;

    const std::string bankPath = run.BinDir + bank.fileName;
    if (!platform::fileExists(inputPath)) {
        report.message(kFirmwareNotFound);
        return result;
    }
    if (run.NewFirmwareName.empty()) {
        report.message(kNewNameMissing);
        return result;
    }
    if (!platform::folderExists(run.BinDir)) {
        report.message(kBinDirNotFound);
        return result;
    }
    if (!platform::fileExists(bankPath)) {
        report.message("File " + bank.fileName + " Not Found,Abort Procedure");
        return result;
    }
    // A short bank file would leave records that were never in it.
    std::vector<unsigned char> data;
    if (!readBank(bankPath, bank, data, report)) return result;

    const DeleteOnExit bankRecordsFile{run.BinDir + kBankRecordsFileName};
    writeBankRecords(bankRecordsFile.path, bank, data);
    const std::vector<std::string> bankLines = readLines(bankRecordsFile.path);

    const int maximum = kBankRecordCount + countLines(inputPath);
    report.progressRange(maximum);

    const File input = openForReading(inputPath);
    const File output = openForWriting(outputPath);
    LineReader reader(input.get(), inputPath);
    LineWriter writer(output.get(), outputPath);
    int position = 0;
    bool inserted = false;
    try {
        std::string line;
        while (reader.next(&line)) {
            report.progress(++position);
            if (line.empty()) throw std::runtime_error("empty line");
            if (line.size() > 1 && line[0] == 'S' && (line[1] == '1' || line[1] == '2')) {
                const std::uint32_t address = addressOf(line);
                if (address >= bank.firstAddress && address <= bank.lastAddress) {
                    if (!inserted) {
                        for (const std::string& bankLine : bankLines) {
                            writer.write(bankLine);
                            report.progress(++position);
                        }
                        inserted = true;
                    }
                    continue;
                }
            } else if (line.size() > 1 && line[0] == 'S' && line[1] == '9') {
                result = inserted ? 1 : 0;
            }
            writer.write(line);
        }
        writer.flush();
    } catch (const std::exception&) {
        report.message(kMergeFailed);
    }
    report.progress(maximum);
    return result;
}

std::vector<BankOutcome> GenerateFirmware(const FirmwareRun& run, const std::array<bool, kBankCount>& takesPart,
                                          GenerationReport& report) {
    // With no project the outputs would land in the root folder.
    if (run.OutputDir.empty()) throw std::runtime_error("Project not valid");
    const auto intermediate = [&](int number) { return run.OutputDir + intermediateName(number); };
    const auto deleteIntermediates = [&] {
        for (int number = 1; number <= kBankCount; ++number) deleteFile(intermediate(number));
    };

    std::vector<BankOutcome> outcomes;
    int result = 0;
    try {
        for (int number = 1; number <= kBankCount; ++number) {
            const bool last = number == kBankCount;
            const std::string previous = number == 1 ? firmwarePath(run) : intermediate(number - 1);
            const std::string target = last ? run.OutputDir + run.NewFirmwareName : intermediate(number);
            const bool ran = takesPart[static_cast<std::size_t>(number - 1)];
            if (ran) {
                // The last pass writes beside the result and the rename puts it in place.
                const std::string output = intermediate(number);
                deleteFile(output);
                result = InsertBank(bankOf(number), previous, output, run, report);
                if (last && !run.NewFirmwareName.empty()) {
                    std::error_code ec;
                    if (fs::is_regular_file(output, ec)) fs::rename(output, target, ec);
                }
            } else if (target != run.OutputDir) {
                if (number == 1) {
                    // The firmware itself is copied: it may be the user's own
                    // file, which a rename would take away.
                    std::error_code ec;
                    deleteFile(target);
                    fs::copy_file(previous, target, fs::copy_options::overwrite_existing, ec);
                } else {
                    handOn(previous, target);
                }
            }
            outcomes.push_back({number, ran, result});
            report.bankFinished(number, result);
            if (result == -1) break;
        }
    } catch (...) {
        deleteIntermediates();
        throw;
    }
    deleteIntermediates();
    return outcomes;
}

std::string flasherProgramPath(const std::string& programDir) {
    return platform::joinPath(programDir, std::string(kFlasherProgramName) + platform::kExecutableSuffix);
}

std::string flasherParameters(const std::string& outputDir, const std::string& newFirmwareName, int portIndex) {
    return "\"" + outputDir + newFirmwareName + "\"" + "\xB6" + std::to_string(portIndex);
}

std::vector<std::string> flasherArguments(const std::string& outputDir, const std::string& newFirmwareName,
                                          int portIndex) {
    return {outputDir + newFirmwareName, std::to_string(portIndex)};
}

bool StartFlasher(const std::string& programDir, const std::string& outputDir, const std::string& newFirmwareName,
                  int portIndex, GenerationReport& report) {
    if (outputDir.empty() || newFirmwareName.empty() || !platform::fileExists(outputDir + newFirmwareName)) {
        report.message(kFirmwareNotFound);
        return false;
    }
    const std::string program = flasherProgramPath(programDir);
    if (!platform::fileExists(program)) {
        report.message(kFlasherNotFound);
        return false;
    }
    return platform::startWithoutWaiting(program, flasherArguments(outputDir, newFirmwareName, portIndex));
}

}  // namespace tools
