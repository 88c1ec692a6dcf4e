#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "documents/CommunicationSettings.h"

// The GSD device description of the gateway for a PROFIBUS master: a fixed
// template in which only the data lengths, the modules (at most 64 bytes each)
// and the slots follow the project's area sizes.
namespace outputs {

// The lengths as the master sees them: the master's input is the gateway's
// output area and the other way round.
struct ProfibusLengths {
    std::int32_t inputLength = 0;   // the project's N Byte OUT
    std::int32_t outputLength = 0;  // the project's N Byte IN
    std::int32_t inputModules = 0;
    std::int32_t outputModules = 0;

    bool operator==(const ProfibusLengths&) const = default;
};

// Modules needed for length bytes: length / 64 rounded up; 0 for 0 or less.
std::int32_t moduleCount(std::int32_t length);

// Lengths and module counts from a length in each direction.
ProfibusLengths profibusLengths(std::int32_t inputLength, std::int32_t outputLength);

// One module of the GSD file, a piece of at most 64 bytes of one direction's
// data. The modules are numbered from 1 across both directions, the master's
// input modules (DI) first; the module lines, the slots and the address map
// all take their numbers from gsdModules.
struct GsdModule {
    enum class Direction { Input, Output };  // the master's: DI, DO

    Direction direction = Direction::Input;
    std::int32_t number = 0;     // m of "PORTm"
    std::int32_t firstByte = 0;  // where it starts in its direction's data
    std::int32_t size = 0;       // 1 to 64

    // The name the module line gives it: "DI  (PORT1)" or "DO  (PORT3)".
    std::string name() const;

    bool operator==(const GsdModule&) const = default;
};

// The modules for lengths, in the order of the module lines: one per started
// 64 bytes of the input length, then likewise of the output length. Reads
// nothing, never throws.
std::vector<GsdModule> gsdModules(const ProfibusLengths& lengths);

// Reads Profi_NB_IN and Profi_NB_OUT of projectDir/pargen.xml (0 when the
// file or an element is missing or its text is not integer text) and answers
// them swapped, with the module counts. A file that is not well-formed throws
// the XML service's message.
ProfibusLengths ReadProfibusLengths(const std::string& projectDir);

// Why the GSD file counts an area of the project as 0 bytes although
// pargen.xml exists, one message a size: the document's first node is not
// Par_Gen (a declaration, a comment or a document type comes first, so
// neither size is found: "pargen.xml: the first node of "<path>" is not the
// element Par_Gen, so Profi_NB_IN and Profi_NB_OUT were not found: the GSD
// file counts both areas as 0 bytes"), an element is missing, or its text is
// not integer text. Nothing for settings that were not stored. Reads
// nothing, never throws.
std::vector<std::string> unfoundSizeMessages(const std::optional<documents::StoredSettings>& settings,
                                             const std::string& pargenPath);

// The whole GSD text for the lengths, every line ended by CR LF. Lengths
// outside 0 to 244, which no master can take, throw std::runtime_error with
// the settings window's message for the area size at fault (N Byte IN first).
std::string gsdText(const ProfibusLengths& lengths);

// Writes the GSD text of the project in projectDir to fileName, replacing the
// file atomically. Throws std::runtime_error and writes nothing when pargen.xml
// is not well-formed, a length is out of range (gsdText), or the file cannot
// be written ("Cannot create file "<fileName>". <reason>").
void WriteGsdFile(const std::string& projectDir, const std::string& fileName);

}  // namespace outputs
