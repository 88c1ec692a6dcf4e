#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The firmware generator: merges up to five 16 KiB bank files into the
// device firmware, a Motorola S-record text, and starts the flasher on the
// result. The window and tessaro-cli both run it through these functions.
namespace firmware {

inline constexpr int kBankCount = 5;
inline constexpr std::size_t kBankBytes = 16384;
inline constexpr int kBankRecordCount = 512;
inline constexpr std::size_t kBankRecordDataBytes = 32;
// "S224", six address digits, 64 data digits, two checksum digits.
inline constexpr std::size_t kBankRecordLength = 76;

inline constexpr const char* kFirmwareFileName = "sx31570.sx";
inline constexpr const char* kNewFirmwarePrefix = "New_";
// The bank being merged as S-records, in the bank files' folder while a pass
// runs: "Bin-<unique ending>.sx", a name of the run's own.
inline constexpr const char* kBankRecordsStem = "Bin";
inline constexpr const char* kFlasherProgramName = "FlashWrite";

inline constexpr const char* kFirmwareNotFound = "File *.Sx Not Found,Abort Procedure";
inline constexpr const char* kNewNameMissing = "File New *.Sx Not Found,Abort Procedure";
inline constexpr const char* kBinDirNotFound = "Directory Bin Not Found,Abort Procedure";
inline constexpr const char* kMergeFailed = "File New Sx Not Create,Abort Procedure";
inline constexpr const char* kFlasherNotFound = "FlashWrite.exe Not Found, Procedure Aborted";

// One row of the bank table.
struct Bank {
    int number;                  // 1 to 5
    std::uint32_t firstAddress;  // 0x388000 + (number - 1) * 0x10000
    std::uint32_t lastAddress;   // firstAddress + 0x3FFF
    std::string fileName;        // "bank1.bin" to "bank5.bin"
};

// The table row of bank number (1 to 5). Reads nothing.
Bank bankOf(int number);

// The intermediate file name of bank number: the degree sign, "B", the digit,
// the degree sign, ".sx" (the degree sign in the platform's file-name
// encoding: UTF-8 on Linux, the ANSI code page on Windows). A run's own
// intermediates carry a unique ending between the stem (the name without
// ".sx") and ".sx": "°B1°-<process>-<ending>.sx". Reads nothing.
std::string intermediateName(int number);
std::string intermediateStem(int number);

// Whether bank number takes part in a run of this board variant: banks 1 and 2
// alone for the variants 2 and 3, all five otherwise. Reads nothing.
bool bankOffered(int boardVariant, int number);

// The S2 record of 32 bank bytes at address: "S224", the address as six
// upper-case hexadecimal digits, the data bytes, the checksum (ones'
// complement of the low byte of the sum of the byte count, the address bytes
// and the data bytes). Reads nothing.
std::string bankRecord(std::uint32_t address, const unsigned char* data);

// folder with one trailing separator added when it has none; an empty folder
// stays empty. Reads nothing.
std::string withTrailingSeparator(std::string folder);

// How a bank pass ended, with the code a result has in reports (-1, 0, 1).
enum class BankResult {
    Failed = -1,      // a check failed or the input was refused: the run ends
    NotInserted = 0,  // the S9 record came before any record of the bank's range
    Inserted = 1,     // the bank's records stand in place of its range
};

// What a run is told of, as it goes: the plain message boxes of the window,
// the progress of the current pass, and each bank's result.
class GenerationReport {
public:
    virtual ~GenerationReport() = default;
    virtual void message(const std::string& text) = 0;
    // The progress of the current pass: set to 0 when it starts, then its
    // maximum once its input is counted, then advanced line by line.
    virtual void progressRange(int maximum) { (void)maximum; }
    virtual void progress(int position) { (void)position; }
    // After each bank, run or skipped: the result the run holds then.
    virtual void bankFinished(int bank, BankResult result) {
        (void)bank;
        (void)result;
    }
};

// The files of one run.
struct FirmwareRun {
    std::string FirmwareDir;      // where FirmwareName is read from by the first pass
    std::string FirmwareName;     // file name of the firmware to start from
    std::string BinDir;           // folder of the bank files, with a trailing separator
    std::string NewFirmwareName;  // file name of the result
    std::string OutputDir;        // folder of the result and the intermediates, with a trailing separator
};

// The path of the firmware file the first pass reads. Reads nothing.
std::string firmwarePath(const FirmwareRun& run);

// One bank pass: writes the bank file's 512 records to a file of its own in
// run.BinDir ("Bin-<unique ending>.sx", created exclusively), then copies
// inputPath line by line (lines may end in CR LF, LF or CR; every line is
// written with CR LF) to a new file of its own in run.OutputDir
// ("°Bn°-<unique ending>.sx", created exclusively; its path is set in
// outputPath, and the caller deletes it), putting the bank's records in place
// of the first S1 or S2 record whose address (characters 5 to 10) lies in the
// bank and dropping every later one. The input is read, never mapped, and
// never written. Answers Inserted when an S9 record came after the insertion,
// NotInserted when an S9 record came without one, Failed when a check failed
// or the input was refused. A missing input, an empty run.NewFirmwareName, a missing
// run.BinDir, a missing or short bank file are reported through
// report.message and answer Failed before anything is written. Every line must be
// a whole S-record (type S0 to S9 but S4, hexadecimal digits, a byte count
// that matches the length, the checksum) and the S9 record must be the last
// line: the first line that is not is reported with its number and the input's
// file name, followed by kMergeFailed, and answers Failed; so does a write
// failure (kMergeFailed alone). An input without an S9 record is reported
// ("File <name> has no S9 record,Abort Procedure", or "... is empty ..."), and
// answers Failed. The Bin file is deleted at the end. Throws std::runtime_error
// ("Cannot read file ..." / "Cannot create file ...") when the Bin file, the
// input or the output cannot be created or read; nothing of its own is left
// then.
BankResult InsertBank(const Bank& bank, const std::string& inputPath, std::string& outputPath, const FirmwareRun& run,
                      GenerationReport& report);

// What became of a bank in a run.
struct BankOutcome {
    int bank;
    bool ran;           // false: skipped
    BankResult result;  // the result the run held after this bank
};

// A generation run: a pass for every bank that takes part (takesPart[0] is
// bank 1), each reading the previous one's output; a skipped bank hands the
// file on as it is (when no bank takes part, a copy of the firmware). Every
// intermediate is a file of the run's own (see InsertBank), so runs sharing a
// folder never meet and a file or a link of a fixed name is never written or
// deleted. When every bank has been reached, the last file is renamed in
// place of run.NewFirmwareName in run.OutputDir, in one step (a link there is
// replaced, not followed), so no one ever sees it half-written. A result of
// Failed ends the run, and no result is written. The run's own files are deleted
// at the end, also when a failure ends the run. Answers the outcome of every
// bank that was reached. Throws what InsertBank throws, std::runtime_error
// "Cannot create file "<result>". <reason>" when the rename fails (a folder
// in the way, a name too long), and "Project not valid" for an empty
// run.OutputDir.
std::vector<BankOutcome> GenerateFirmware(const FirmwareRun& run, const std::array<bool, kBankCount>& takesPart,
                                          GenerationReport& report);

// The flasher beside the program, with the platform's executable suffix. Reads nothing.
std::string flasherProgramPath(const std::string& programDir);

// The flasher's single parameter string, as a Windows flasher takes it: the
// quoted outputDir + newFirmwareName, the pilcrow (byte 0xB6 of code page
// 1252), the zero-based port index in decimal. Reads nothing.
std::string flasherParameters(const std::string& outputDir, const std::string& newFirmwareName, int portIndex);

// The flasher's arguments on Linux: the path of the result and the port index. Reads nothing.
std::vector<std::string> flasherArguments(const std::string& outputDir, const std::string& newFirmwareName,
                                          int portIndex);

// What startProgram is given for the flasher on this platform: the parameter
// string as its one argument where a program gets one (Windows), else the
// two arguments. Reads nothing.
std::vector<std::string> flasherCommand(const std::string& outputDir, const std::string& newFirmwareName,
                                        int portIndex);

// Starts the flasher in programDir on outputDir + newFirmwareName and the
// port, without waiting for it. A missing result (kFirmwareNotFound) or
// flasher (kFlasherNotFound) is reported through report.message and nothing
// is started. Answers whether the flasher was started. Never throws.
bool StartFlasher(const std::string& programDir, const std::string& outputDir, const std::string& newFirmwareName,
                  int portIndex, GenerationReport& report);

}  // namespace firmware
