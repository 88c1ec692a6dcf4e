#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Reading.h"

// The communication settings of a project, kept in pargen.xml: root Par_Gen
// with nine elements, each holding a text. Numbers stay as the user typed them
// and every reader converts them again as integer text.
namespace documents {

inline constexpr const char* kPargenFileName = "pargen.xml";
inline constexpr const char* kPargenRoot = "Par_Gen";

inline constexpr const char* kSerBaud = "Ser_Baud";
inline constexpr const char* kSerPar = "Ser_Par";
inline constexpr const char* kSerId = "Ser_ID";
inline constexpr const char* kSerType = "Ser_Type";
inline constexpr const char* kSerProt = "Ser_Prot";
inline constexpr const char* kProfiId = "Profi_ID";
inline constexpr const char* kProfiBaud = "Profi_Baud";
inline constexpr const char* kProfiNbIn = "Profi_NB_IN";
inline constexpr const char* kProfiNbOut = "Profi_NB_OUT";

// The nine elements in document order.
inline constexpr std::array<const char*, 9> kPargenElements = {kSerBaud, kSerPar,    kSerId,     kSerType,   kSerProt,
                                                               kProfiId, kProfiBaud, kProfiNbIn, kProfiNbOut};

// The messages of the four field checks, each with its closing blank.
inline constexpr const char* kSerialIdMessage = "Error!! CANOpen address must be between 1 and 255. ";
inline constexpr const char* kProfibusIdMessage = "Error!! ProfiBus address must be between 1 and 125. ";
inline constexpr const char* kNByteInMessage = "Error!! ProfiBus N Byte IN must be between 0 and 244. ";
inline constexpr const char* kNByteOutMessage = "Error!! ProfiBus N Byte OUT must be between 0 and 244. ";

// Largest area size the settings accept; also what Set Access assumes when
// the sizes cannot be read.
inline constexpr std::int32_t kMaxAreaSize = 244;

// Ser_Type: the serial line.
enum class SerialLine : std::int32_t { Rs232 = 0, Rs485 = 1 };
// The line a stored Ser_Type code stands for: 1 is RS485, any other RS232.
constexpr SerialLine serialLineOf(std::int32_t code) {
    return code == 1 ? SerialLine::Rs485 : SerialLine::Rs232;
}

// Ser_Prot: the serial protocol.
enum class SerialProtocol : std::int32_t { ModbusRtu = 0, ModbusAscii = 1, Jbus = 2, Binary = 3, Ascii = 4 };
// The protocol a stored Ser_Prot code stands for: a code the gateway does not
// know is ASCII, as the settings window shows it.
constexpr SerialProtocol serialProtocolOf(std::int32_t code) {
    return code >= 0 && code <= 3 ? static_cast<SerialProtocol>(code) : SerialProtocol::Ascii;
}

// The nine element texts of pargen.xml, in document order.
struct CommunicationTexts {
    std::string Ser_Baud, Ser_Par, Ser_ID, Ser_Type, Ser_Prot, Profi_ID, Profi_Baud, Profi_NB_IN, Profi_NB_OUT;

    // The texts in the order of kPargenElements.
    std::array<std::string*, 9> inOrder() {
        return {&Ser_Baud, &Ser_Par,    &Ser_ID,      &Ser_Type,    &Ser_Prot,
                &Profi_ID, &Profi_Baud, &Profi_NB_IN, &Profi_NB_OUT};
    }
    std::array<const std::string*, 9> inOrder() const {
        return {&Ser_Baud, &Ser_Par,    &Ser_ID,      &Ser_Type,    &Ser_Prot,
                &Profi_ID, &Profi_Baud, &Profi_NB_IN, &Profi_NB_OUT};
    }

    bool operator==(const CommunicationTexts&) const = default;
};

// The settings of a project without pargen.xml: 115200 baud, no parity,
// serial ID 1, RS485, Modbus RTU, PROFIBUS ID 1, Auto Baudrate, 244 and 244.
CommunicationTexts defaultCommunicationTexts();

// The four field checks run before saving, in this order: serial ID 1 to 255,
// PROFIBUS ID 1 to 125, N Byte IN 0 to 244, N Byte OUT 0 to 244. A text that
// is not integer text is out of range. Answers the message of the first
// failing check, or nothing when all pass. Reads nothing, never throws.
std::optional<std::string> checkCommunicationValues(std::string_view serialId, std::string_view profibusId,
                                                    std::string_view nByteIn, std::string_view nByteOut);

// Builds a document with the root Par_Gen and the nine elements in order
// holding the texts verbatim, and saves it to path, replacing the file
// atomically. Throws std::runtime_error when the file cannot be written; the
// previous file then stays whole.
void writeCommunicationSettings(const std::string& path, const CommunicationTexts& texts);

// The codes of the lists, as README's table of pargen.xml gives them:
// Ser_Baud 0 to 7 or -1 (none chosen), Ser_Par 0 to 2 or -1, Profi_Baud 10
// (Auto Baudrate, the only entry the window offers). Ser_Type and Ser_Prot
// take any number (1 is RS485, any other RS232; 0 to 3 name a protocol, any
// other ASCII). Answers the message for the first stored code that its list
// does not hold, e.g. "Error!! Ser_Baud must be a code of its list: 0 to 7,
// or -1 for none ('19200' is stored). ", or nothing. An empty Profi_Baud
// stands for one that is not stored. Reads nothing, never throws.
std::optional<std::string> checkCommunicationCodes(const CommunicationTexts& texts);

// What pargen.xml holds, read once for every reader (the settings window,
// Set Access, check, the image, the GSD file, the address map): the texts of
// the nine elements found as children of the document's first node, the
// root as the windows take it. A document that begins with a declaration, a
// comment or a document type has another first node, and none of the nine
// is found below it.
struct StoredSettings {
    bool firstNodeIsParGen = false;  // the first node is the element Par_Gen
    // In the order of kPargenElements; nothing for an element not found.
    std::array<std::optional<std::string>, 9> texts;

    // The text of one of the nine elements, or nothing.
    const std::optional<std::string>& text(std::string_view element) const;
};

// Loads pargenPath and answers what it holds; nothing when no file is there.
// Throws std::runtime_error: the XML service's message for a document that
// is not well-formed or cannot be read, and "Cannot read file "<path>". It
// is <what>" for a folder, a FIFO, a device or a link to nothing, which are
// no missing file (platform::documentExists).
std::optional<StoredSettings> readStoredSettings(const std::string& pargenPath);

// The texts the settings window shows: those of the first `count` elements in
// the order of kPargenElements come from the file (or are the defaults when
// there is none); the others hold the defaults and were not read.
struct StoredCommunicationTexts {
    CommunicationTexts texts = defaultCommunicationTexts();
    std::size_t count = 0;
};

// Reads the stored texts as the settings window loads them from path, in the
// order of kPargenElements: the defaults when no file exists; otherwise
// Ser_Baud, Ser_Par, Ser_ID, Ser_Type and Ser_Prot must be children of the
// first node (else the failure "Element "<name>" not found in "<path>"") and
// all of them but Ser_ID must hold integer text (else "'<text>' is not a valid
// integer value"); Profi_ID, Profi_Baud, Profi_NB_IN and Profi_NB_OUT fall
// back to their defaults when missing. A file that is not well-formed or
// cannot be read fails with the XML service's message and nothing read.
// Never throws: the failure comes back with the texts read before it. Texts
// are returned as stored; mapping codes onto controls is the window's business.
base::Reading<StoredCommunicationTexts> readStoredCommunicationTexts(const std::string& path);

// PROFIBUS input and output area sizes in bytes.
struct AreaSizes {
    std::int32_t nByteIn;
    std::int32_t nByteOut;

    bool operator==(const AreaSizes&) const = default;
};

// The area sizes of stored settings: Profi_NB_IN and Profi_NB_OUT as
// integer text, each fallback when there are no settings, the element is
// missing or its text is not integer text. Reads nothing, never throws.
AreaSizes areaSizesOf(const std::optional<StoredSettings>& settings, std::int32_t fallback);

// areaSizesOf(readStoredSettings(pargenPath), fallback); throws as
// readStoredSettings does.
AreaSizes readAreaSizes(const std::string& pargenPath, std::int32_t fallback);

}  // namespace documents
