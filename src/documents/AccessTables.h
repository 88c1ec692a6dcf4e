#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Reading.h"
#include "base/XmlDocument.h"
#include "documents/CommunicationSettings.h"

// The two access tables of a project, kept in sdo.xml: root Serial_to_ProfiBus
// with the groups ProfiBUS_IN and ProfiBUS_OUT, one row element per access row.
// Cells are kept as the user typed them and converted again by every reader.
namespace documents {

inline constexpr const char* kSdoFileName = "sdo.xml";
inline constexpr const char* kSdoRoot = "Serial_to_ProfiBus";
inline constexpr const char* kInputGroup = "ProfiBUS_IN";
inline constexpr const char* kOutputGroup = "ProfiBUS_OUT";
inline constexpr const char* kRowElement = "row";
inline constexpr const char* kAddressAttribute = "Address";
inline constexpr const char* kHighAttribute = "Add_Profi_Hi";
inline constexpr const char* kLowAttribute = "Add_Profi_Lo";
inline constexpr const char* kMnemonicAttribute = "Mnemonic";

// Page captions, which also name the table in check messages.
inline constexpr const char* kInputPageCaption = "ProfiBus IN --> Serial Read";
inline constexpr const char* kOutputPageCaption = "Serial Write --> ProfiBus OUT";

// Rows of one table; also the largest area size.
inline constexpr std::size_t kMaxAccessRows = 244;

// One access row: a 16-bit register and the byte positions of its high and low
// byte in the PROFIBUS area, as cell texts, and the user's label.
struct AccessRow {
    std::string address, high, low, mnemonic;

    bool operator==(const AccessRow&) const = default;
};

struct AccessTables {
    std::vector<AccessRow> in, out;
};

// Number of rows that make up the table: those before the first row whose
// address is empty, at most kMaxAccessRows. Rows after it are neither checked
// nor stored.
std::size_t accessRunLength(const std::vector<AccessRow>& rows);

// How much of sdo.xml a reader takes. Set Access shows the first
// kMaxAccessRows rows of each group and needs all four attributes; check and
// the configuration image take every stored row, the image needing no
// Mnemonic (it does not pack it).
struct AccessReadingRules {
    std::size_t rowLimit = kMaxAccessRows;
    bool mnemonicRequired = true;
};
inline constexpr AccessReadingRules kSetAccessRows{};
inline constexpr AccessReadingRules kEveryStoredRow{SIZE_MAX, true};
inline constexpr AccessReadingRules kImageRows{SIZE_MAX, false};

// Loads sdoPath and reads its rows: the children of ProfiBUS_IN into in, then
// those of ProfiBUS_OUT into out, in document order, at most rules.rowLimit
// per group (further rows are ignored). A Mnemonic that is not required and
// absent reads as empty. Never throws: the first failure comes back with the
// rows read before it: a document that is not well-formed or cannot be read
// (the XML service's message), a missing group ("Element "<group>" not found
// in "<path>""), or a row without one of its attributes (rowAttribute's
// message).
base::Reading<AccessTables> readAccessTables(const std::string& sdoPath, AccessReadingRules rules = kSetAccessRows);

// The attribute of the row-th child (counted from 1) of group in the document
// at path. Throws std::runtime_error "Row <row> of "<group>" in "<path>" has no
// attribute "<attribute>"" when it is absent.
std::string rowAttribute(const base::XmlNode& rowNode, std::string_view attribute, std::string_view group,
                         std::size_t row, std::string_view path);

// The checks run before saving, on the run of each table (accessRunLength):
// the input table row by row (address 0 to 65535, high and low 0 to
// sizes.nByteIn; text that is not integer text is out of range), then the
// output table with sizes.nByteOut. Answers the message of the first failure,
// e.g. "Error row 7!! [ProfiBus IN --> Serial Read] Address Profibus High must
// be between 0 and 20. ", or nothing. Reads nothing, never throws.
std::optional<std::string> validateAccessTables(const AccessTables& tables, AreaSizes sizes);

// The check of stored tables (all rows read, kEveryStoredRow): a group with
// more rows than a table holds ("Error!! [ProfiBus IN --> Serial Read] 300
// rows are stored; a table holds at most 244. "), then validateAccessTables.
// Reads nothing, never throws.
std::optional<std::string> checkStoredAccessTables(const AccessTables& tables, AreaSizes sizes);

// Builds sdo.xml from the run of each table (both groups
// always present, attributes Address, Add_Profi_Hi, Add_Profi_Lo, Mnemonic
// holding the texts verbatim) and saves it to sdoPath, replacing the file
// atomically. Throws std::runtime_error when the file cannot be written; the
// previous file then stays whole.
void writeAccessTables(const std::string& sdoPath, const AccessTables& tables);

}  // namespace documents
