#include "firmware/FirmwareGenerator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/MappedFile.h"
#include "platform/Process.h"

namespace firmware {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kFirstBankAddress = 0x388000;
constexpr std::uint32_t kBankDistance = 0x10000;
constexpr std::uint32_t kBankSpan = 0x3FFF;
constexpr std::size_t kBufferBytes = 1 << 20;

// The degree sign in UTF-8, as every path the program keeps; on Windows the
// file functions hand it to the system as U+00B0, the byte 0xB0 of the ANSI
// code page.
constexpr const char* kDegree = "\xC2\xB0";

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
    File file(platform::openFile(path, "rb"));
    if (!file) failRead(path, errno);
    return file;
}

// Deletes a file; folders and missing files are left alone.
void deleteFile(const std::string& path) {
    std::error_code ec;
    const fs::path file = platform::fileSystemPath(path);
    if (fs::is_regular_file(fs::symlink_status(file, ec)) || fs::is_symlink(fs::symlink_status(file, ec)))
        fs::remove(file, ec);
}

// The files a run makes (the bank's records, the passes' outputs): each
// created exclusively under a name of its own in the folder of the fixed
// intermediate name (Bin.sx, °Bn°.sx), so that two runs sharing a folder never meet in a file and a link or a
// user's file of a fixed name is never written; deleted when the run ends,
// however it ends, but for the one put in place of the result.
class OwnFiles {
public:
    OwnFiles() = default;
    OwnFiles(const OwnFiles&) = delete;
    OwnFiles& operator=(const OwnFiles&) = delete;
    ~OwnFiles() {
        for (const std::string& path : m_paths) deleteFile(path);
    }

    // A new file for writing, named folder + stem + "-" + a unique ending + ".sx".
    File create(const std::string& folder, const std::string& stem, std::string& path) {
        File file(platform::createUniqueFile(folder + stem + "-", ".sx", path));
        if (!file) failCreate(path, errno);
        m_paths.push_back(path);
        return file;
    }
    // Deletes path now, when it is one of these files.
    void remove(const std::string& path) {
        const auto at = std::find(m_paths.begin(), m_paths.end(), path);
        if (at == m_paths.end()) return;
        deleteFile(path);
        m_paths.erase(at);
    }
    // path has been renamed into place: it is no longer this run's to delete.
    void release(const std::string& path) {
        m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
    }

private:
    std::vector<std::string> m_paths;
};

// The whole of a file, read, not mapped: another program may shorten a file
// while it is read, which would fault on a mapped page. Throws "Cannot read file".
std::string readWhole(const std::string& path) {
    const File file = openForReading(path);
    std::error_code ec;
    const std::uintmax_t expected = fs::file_size(platform::fileSystemPath(path), ec);
    std::string text;
    std::size_t chunk = ec ? kBufferBytes : static_cast<std::size_t>(expected) + 1;
    for (;;) {
        const std::size_t before = text.size();
        text.resize(before + chunk);
        const std::size_t read = std::fread(text.data() + before, 1, chunk, file.get());
        text.resize(before + read);
        if (read < chunk) break;
        chunk = kBufferBytes;
    }
    if (std::ferror(file.get())) failRead(path, errno);
    return text;
}

// The line-end characters of a block of text.
struct LineEnds {
    std::size_t lineFeeds = 0;
    std::size_t carriageReturns = 0;
    std::size_t pairs = 0;  // CR directly followed by LF
};

// Counted in rounds of byte-wide counters, one per lane, which the compiler
// turns into vector adds; a counter takes at most 255 rounds before it is summed.
LineEnds lineEndsOf(const char* begin, std::size_t size) {
    constexpr std::size_t kLanes = 32;
    constexpr std::size_t kRounds = 255;
    LineEnds ends;
    std::size_t i = 0;
    // Every byte of a round has the one after it in the block, for the pairs.
    while (size - i > kLanes) {
        const std::size_t rounds = std::min(kRounds, (size - i - 1) / kLanes);
        unsigned char lineFeeds[kLanes] = {}, carriageReturns[kLanes] = {}, pairs[kLanes] = {};
        for (std::size_t round = 0; round < rounds; ++round, i += kLanes) {
            for (std::size_t lane = 0; lane < kLanes; ++lane) {
                const char here = begin[i + lane];
                const char next = begin[i + lane + 1];
                lineFeeds[lane] += here == '\n';
                carriageReturns[lane] += here == '\r';
                pairs[lane] += (here == '\r') & (next == '\n');
            }
        }
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            ends.lineFeeds += lineFeeds[lane];
            ends.carriageReturns += carriageReturns[lane];
            ends.pairs += pairs[lane];
        }
    }
    for (; i < size; ++i) {
        ends.lineFeeds += begin[i] == '\n';
        ends.carriageReturns += begin[i] == '\r';
        if (i + 1 < size) ends.pairs += (begin[i] == '\r') & (begin[i + 1] == '\n');
    }
    return ends;
}

// The lines of a text, whichever of CR LF, LF or CR ends them.
class TextLines {
public:
    explicit TextLines(std::string_view text) : m_text(text), m_ends(lineEndsOf(text.data(), text.size())) {}

    // How many lines next() hands out.
    int count() const {
        std::size_t count = m_ends.lineFeeds + m_ends.carriageReturns - m_ends.pairs;
        if (!m_text.empty() && m_text.back() != '\n' && m_text.back() != '\r') ++count;
        return static_cast<int>(count);
    }

    // The next line without its end. Answers false at the end of the text.
    bool next(std::string_view& line) {
        if (m_skipLineFeed) {
            m_skipLineFeed = false;
            if (m_position < m_text.size() && m_text[m_position] == '\n') ++m_position;
        }
        if (m_position == m_text.size()) return false;
        const std::size_t stop = lineEnd();
        line = m_text.substr(m_position, stop - m_position);
        if (stop < m_text.size() && m_text[stop] == '\r') {
            m_skipLineFeed = true;
        } else if (everyCarriageReturnPaired() && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        m_position = stop == m_text.size() ? stop : stop + 1;
        return true;
    }

private:
    bool everyCarriageReturnPaired() const { return m_ends.carriageReturns == m_ends.pairs; }
    // Where the line that starts at m_position ends (the size of the text for
    // none). When every CR is part of a CR LF the LFs alone end lines (the CR
    // is taken off the line), without LFs the CRs do; otherwise the next of
    // each is remembered, so that neither is looked for again before it.
    std::size_t lineEnd() {
        if (everyCarriageReturnPaired()) return find('\n');
        if (m_ends.lineFeeds == 0) return find('\r');
        if (m_nextCarriageReturn <= m_position) m_nextCarriageReturn = find('\r');
        if (m_nextLineFeed <= m_position) m_nextLineFeed = find('\n');
        return std::min(m_nextCarriageReturn, m_nextLineFeed);
    }
    std::size_t find(char c) const {
        const void* at = std::memchr(m_text.data() + m_position, c, m_text.size() - m_position);
        return at ? static_cast<std::size_t>(static_cast<const char*>(at) - m_text.data()) : m_text.size();
    }

    std::string_view m_text;
    LineEnds m_ends;
    std::size_t m_position = 0;
    std::size_t m_nextCarriageReturn = 0;
    std::size_t m_nextLineFeed = 0;
    bool m_skipLineFeed = false;
};

// A text that could not be written whole.
struct WriteFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class LineWriter {
public:
    LineWriter(std::FILE* file, const std::string& path) : m_file(file), m_path(path) {
        m_buffer.reserve(kBufferBytes);
    }
    void write(std::string_view line) {
        writeRun();
        if (m_buffer.size() + line.size() + 2 > kBufferBytes) drain();
        m_buffer.append(line);
        m_buffer.append("\r\n", 2);
    }
    // A line of source written as it stands there: when it already ends in
    // CR LF it joins the run of such lines before it, which goes out in one
    // write straight from source, without a copy through the buffer.
    void writeFrom(std::string_view source, std::string_view line) {
        const std::size_t after = static_cast<std::size_t>(line.data() - source.data()) + line.size();
        if (after + 2 > source.size() || source[after] != '\r' || source[after + 1] != '\n') return write(line);
        if (line.data() != m_runEnd) {
            writeRun();
            m_runBegin = line.data();
        }
        m_runEnd = source.data() + after + 2;
    }
    void flush() {
        writeRun();
        drain();
        if (std::fflush(m_file) != 0) fail();
    }

private:
    void drain() {
        if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) fail();
        m_buffer.clear();
    }
    void writeRun() {
        if (m_runBegin == m_runEnd) return;
        drain();
        const char* begin = m_runBegin;
        const auto size = static_cast<std::size_t>(m_runEnd - m_runBegin);
        m_runBegin = m_runEnd = nullptr;
        if (std::fwrite(begin, 1, size, m_file) != size) fail();
    }
    [[noreturn]] void fail() const {
        throw WriteFailure("Cannot create file \"" + m_path + "\". " + std::strerror(errno));
    }

    std::FILE* m_file;
    const std::string& m_path;
    std::string m_buffer;
    const char* m_runBegin = nullptr;  // the run of source lines not yet written
    const char* m_runEnd = nullptr;
};

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    return -1;
}

// The address field of an S1 or S2 line: characters 5 to 10 as hexadecimal.
std::uint32_t addressOf(std::string_view line) {
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

// What makes a line no whole S-record.
enum class RecordFault { None, NotARecord, NotHexadecimal, Length, TooShort, Checksum };

// The value of every byte as a hexadecimal digit, -1 for none.
constexpr std::array<signed char, 256> kDigitValues = [] {
    std::array<signed char, 256> values{};
    for (int c = 0; c < 256; ++c) {
        values[static_cast<std::size_t>(c)] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                                       : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                       : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                                              : -1);
    }
    return values;
}();

// The address bytes of the record types S0 to S9; S4 is no type.
constexpr int kAddressBytes[10] = {2, 2, 3, 4, -1, 2, 3, 4, 3, 2};

// A line is a record when it is "S", the type digit, then pairs of
// hexadecimal digits: the byte count, which counts the pairs after it, the
// address, the data and the checksum, whose ones' complement is the low byte
// of the sum of the bytes before it. Reads only the line, at most 514
// characters of it, however long it is.
RecordFault faultOf(std::string_view line) {
    if (line.size() < 4 || line[0] != 'S' || line[1] < '0' || line[1] > '9' || kAddressBytes[line[1] - '0'] < 0)
        return RecordFault::NotARecord;
    const int high = hexValue(line[2]), low = hexValue(line[3]);
    if (high < 0 || low < 0) return RecordFault::NotHexadecimal;
    const unsigned count = static_cast<unsigned>(high * 16 + low);
    if (line.size() != 4 + 2 * static_cast<std::size_t>(count)) return RecordFault::Length;
    if (count < static_cast<unsigned>(kAddressBytes[line[1] - '0']) + 1) return RecordFault::TooShort;
    // Every line of a firmware passes here: a table look-up per digit, no branch.
    const auto* digit = reinterpret_cast<const unsigned char*>(line.data());
    unsigned sum = count;
    int digits = 0;
    for (std::size_t i = 4; i < line.size(); i += 2) {
        const int first = kDigitValues[digit[i]], second = kDigitValues[digit[i + 1]];
        digits |= first | second;
        sum += static_cast<unsigned>(first * 16 + second);
    }
    if (digits < 0) return RecordFault::NotHexadecimal;
    return (sum & 0xFF) == 0xFF ? RecordFault::None : RecordFault::Checksum;
}

std::string lineRefused(std::size_t number, const std::string& file, RecordFault fault) {
    const std::string line = "Line " + std::to_string(number) + " of " + file;
    switch (fault) {
        case RecordFault::NotARecord: return line + " is not an S-record,Abort Procedure";
        case RecordFault::NotHexadecimal:
            return line + " is not a valid S-record (a character that is not a hexadecimal digit),Abort Procedure";
        case RecordFault::Length:
            return line + " is not a valid S-record (its byte count does not match its length),Abort Procedure";
        case RecordFault::TooShort:
            return line + " is not a valid S-record (too short for its address),Abort Procedure";
        case RecordFault::Checksum: return line + " is not a valid S-record (wrong checksum),Abort Procedure";
        case RecordFault::None: break;
    }
    return line;
}

// The file's name without its folder, as the messages name it.
std::string fileNameOf(const std::string& path) {
    return platform::pathText(platform::fileSystemPath(path).filename());
}

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

void writeBankRecords(std::FILE* file, const std::string& path, const Bank& bank,
                      const std::vector<unsigned char>& data) {
    LineWriter writer(file, path);
    for (int record = 0; record < kBankRecordCount; ++record) {
        const std::size_t offset = static_cast<std::size_t>(record) * kBankRecordDataBytes;
        writer.write(bankRecord(bank.firstAddress + static_cast<std::uint32_t>(offset), data.data() + offset));
    }
    writer.flush();
}

std::vector<std::string> readLines(const std::string& path) {
    const std::string text = readWhole(path);
    TextLines lines(text);
    std::vector<std::string> read;
    std::string_view line;
    while (lines.next(line)) read.emplace_back(line);
    return read;
}

}  // namespace

Bank bankOf(int number) {
    const std::uint32_t first = kFirstBankAddress + static_cast<std::uint32_t>(number - 1) * kBankDistance;
    return {number, first, first + kBankSpan, "bank" + std::to_string(number) + ".bin"};
}

std::string intermediateStem(int number) {
    return std::string(kDegree) + "B" + std::to_string(number) + kDegree;
}

std::string intermediateName(int number) {
    return intermediateStem(number) + ".sx";
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

namespace {

// The checks before a pass writes anything, in their order: each failure is
// reported and ends the pass.
bool passCanStart(const Bank& bank, const std::string& inputPath, const FirmwareRun& run, GenerationReport& report) {
    if (!platform::fileExists(inputPath)) {
        report.message(kFirmwareNotFound);
        return false;
    }
    if (run.NewFirmwareName.empty()) {
        report.message(kNewNameMissing);
        return false;
    }
    if (!platform::folderExists(run.BinDir)) {
        report.message(kBinDirNotFound);
        return false;
    }
    if (!platform::fileExists(run.BinDir + bank.fileName)) {
        report.message("File " + bank.fileName + " Not Found,Abort Procedure");
        return false;
    }
    return true;
}

// The bank's records as lines, written to a Bin file of the run's own in
// run.BinDir and read back, as the merge inserts them; the Bin file is gone
// when this returns.
std::vector<std::string> bankRecordLines(const Bank& bank, const std::vector<unsigned char>& data,
                                         const FirmwareRun& run, OwnFiles& files) {
    std::string bankRecordsPath;
    {
        const File bankRecords = files.create(run.BinDir, kBankRecordsStem, bankRecordsPath);
        writeBankRecords(bankRecords.get(), bankRecordsPath, bank, data);
    }
    std::vector<std::string> bankLines = readLines(bankRecordsPath);
    files.remove(bankRecordsPath);
    return bankLines;
}

// Copies the input's lines (read from lines) to writer, the bank's lines in place of the first
// record in the bank's range; position counts the progress. Throws
// std::runtime_error for a line that is no whole record or one after the S9
// record, and WriteFailure when the output cannot be written.
BankResult mergeLines(const Bank& bank, std::string_view input, TextLines& lines, const std::string& inputName,
                      bool ownInput, const std::vector<std::string>& bankLines, LineWriter& writer,
                      GenerationReport& report, int& position) {
    std::size_t lineNumber = 0;
    bool inserted = false;
    bool ended = false;  // the S9 record was read
    std::string_view line;
    while (lines.next(line)) {
        report.progress(++position);
        ++lineNumber;
        // A loader stops at the S9 record: whatever follows would never reach the device.
        if (ended)
            throw std::runtime_error("Line " + std::to_string(lineNumber) + " of " + inputName +
                                     " follows the S9 record,Abort Procedure");
        const RecordFault fault = ownInput ? RecordFault::None : faultOf(line);
        if (fault != RecordFault::None) throw std::runtime_error(lineRefused(lineNumber, inputName, fault));
        if (line[1] == '1' || line[1] == '2') {
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
        } else if (line[1] == '9') {
            ended = true;
        }
        writer.writeFrom(input, line);
    }
    if (!ended) {
        report.message("File " + inputName + (input.empty() ? " is empty" : " has no S9 record") + ",Abort Procedure");
        return BankResult::Failed;
    }
    writer.flush();
    return inserted ? BankResult::Inserted : BankResult::NotInserted;
}

// A bank pass whose files are among files: Bin.sx's records, then the output,
// created in run.OutputDir, its path in outputPath. Bin.sx is deleted when
// the pass ends; the output stays among files for the caller.
BankResult passOf(const Bank& bank, const std::string& inputPath, bool ownInput, std::string& outputPath,
                  const FirmwareRun& run, GenerationReport& report, OwnFiles& files) {
    report.progress(0);
    if (!passCanStart(bank, inputPath, run, report)) return BankResult::Failed;
    // A short bank file would leave records that were never in it.
    std::vector<unsigned char> data;
    if (!readBank(run.BinDir + bank.fileName, bank, data, report)) return BankResult::Failed;
    const std::vector<std::string> bankLines = bankRecordLines(bank, data, run, files);

    // Read once for the count and once for the merge, from memory. Only a
    // file of this run's own, which no one else knows of, is mapped; its
    // lines were checked when the pass before wrote them.
    std::string inputText;
    std::optional<platform::MappedFile> mapped;
    if (ownInput)
        mapped.emplace(inputPath);
    else
        inputText = readWhole(inputPath);
    const std::string_view input = ownInput ? mapped->bytes() : std::string_view(inputText);
    TextLines lines(input);
    const int maximum = kBankRecordCount + lines.count();
    report.progressRange(maximum);

    const File output = files.create(run.OutputDir, intermediateStem(bank.number), outputPath);
    LineWriter writer(output.get(), outputPath);
    int position = 0;
    BankResult result = BankResult::Failed;
    try {
        result = mergeLines(bank, input, lines, fileNameOf(inputPath), ownInput, bankLines, writer, report, position);
    } catch (const WriteFailure&) {
        // The lines are written in blocks, so a failure shows late; the output
        // is incomplete whatever the lines before it said.
        report.message(kMergeFailed);
    } catch (const std::exception& refused) {
        // A firmware with a line that is no whole record is damaged: none of
        // it goes on to the device.
        report.message(refused.what());
        report.message(kMergeFailed);
    }
    report.progress(maximum);
    return result;
}

// The run's final file put in place of the result, in one step.
void putInPlace(const std::string& file, const std::string& result, OwnFiles& files) {
    if (const int error = platform::replaceByRename(file, result))
        throw std::runtime_error("Cannot create file \"" + result + "\". " + std::strerror(error));
    files.release(file);
}

}  // namespace

BankResult InsertBank(const Bank& bank, const std::string& inputPath, std::string& outputPath, const FirmwareRun& run,
                      GenerationReport& report) {
    OwnFiles files;
    outputPath.clear();
    const BankResult result = passOf(bank, inputPath, false, outputPath, run, report, files);
    files.release(outputPath);
    return result;
}

std::vector<BankOutcome> GenerateFirmware(const FirmwareRun& run, const std::array<bool, kBankCount>& takesPart,
                                          GenerationReport& report) {
    // With no project the outputs would land in the root folder.
    if (run.OutputDir.empty()) throw std::runtime_error("Project not valid");

    OwnFiles files;
    // What the next pass reads: the firmware, then the last pass's output. A
    // skipped bank hands it on as it is.
    std::string current = firmwarePath(run);
    bool passed = false;
    std::vector<BankOutcome> outcomes;
    BankResult result = BankResult::NotInserted;
    for (int number = 1; number <= kBankCount; ++number) {
        const bool ran = takesPart[static_cast<std::size_t>(number - 1)];
        if (ran) {
            std::string output;
            result = passOf(bankOf(number), current, passed, output, run, report, files);
            if (passed) files.remove(current);
            current = output;
            passed = true;
        }
        outcomes.push_back({number, ran, result});
        report.bankFinished(number, result);
        if (result == BankResult::Failed) return outcomes;
    }

    if (run.NewFirmwareName.empty()) {
        report.message(kNewNameMissing);
        return outcomes;
    }
    if (!passed) {
        // No pass ran: the result is a copy of the firmware, which may be the
        // user's own file in the output folder and must stay.
        const std::string firmware = readWhole(current);
        const File copy = files.create(run.OutputDir, intermediateStem(kBankCount), current);
        if (std::fwrite(firmware.data(), 1, firmware.size(), copy.get()) != firmware.size() ||
            std::fflush(copy.get()) != 0)
            failCreate(current, errno);
    }
    putInPlace(current, run.OutputDir + run.NewFirmwareName, files);
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

std::vector<std::string> flasherCommand(const std::string& outputDir, const std::string& newFirmwareName,
                                        int portIndex) {
    if constexpr (platform::kArgumentsFormOneParameterString)
        return {flasherParameters(outputDir, newFirmwareName, portIndex)};
    else
        return flasherArguments(outputDir, newFirmwareName, portIndex);
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
    return platform::startWithoutWaiting(program, flasherCommand(outputDir, newFirmwareName, portIndex));
}

}  // namespace firmware
