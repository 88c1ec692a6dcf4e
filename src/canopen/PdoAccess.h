#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "canopen/EditorDocuments.h"
#include "documents/CommunicationSettings.h"

// The "Set PDO Access" window (TFSetPdo) and its document pdo.xml: root
// Profibus_to_PDO with the groups Profi_IN_to_TPDO (transmit PDOs fed from the
// PROFIBUS input area) and Profi_OUT_to_TPDO (receive PDOs feeding the output
// area), one row element per PDO with Cob_Id, Dimension, Pos_PRofi, Mnemonic,
// each the cell's text as typed.
namespace canopen {

inline constexpr const char* kPdoDocumentName = "pdo";  // names its file; it has no sheet or CSV file
inline constexpr const char* kPdoFileName = "pdo.xml";
inline constexpr const char* kPdoRoot = "Profibus_to_PDO";
inline constexpr const char* kPdoInputGroup = "Profi_IN_to_TPDO";
inline constexpr const char* kPdoOutputGroup = "Profi_OUT_to_TPDO";
inline constexpr const char* kSetPdoCaption = "Set PDO Access";
inline constexpr const char* kPdoInputPage = "ProfiBus IN --> Transmit PDO";
inline constexpr const char* kPdoOutputPage = "Recive PDO --> ProfiBub OUT";

inline constexpr std::size_t kPdoAccessRows = 10;  // grid rows 1 to 10
inline constexpr std::int32_t kPdoDefaultAreaSize = 244;
// Grid columns 1 to 4: Cob-ID, Dimension, Address ProfiBus, Mnemonic.
inline constexpr std::size_t kPdoValueColumns = 4;
inline constexpr std::array<const char*, kPdoValueColumns> kPdoAttributes = {"Cob_Id", "Dimension", "Pos_PRofi",
                                                                             "Mnemonic"};

using PdoAccessRow = GridRow<kPdoValueColumns>;
// first: the input table (sga), second: the output table (sgb).
using PdoAccessTables = GridTables<kPdoValueColumns>;

// The area sizes N Byte IN and N Byte OUT from pargen.xml at pargenPath, as
// Set Access reads them: each kPdoDefaultAreaSize when its element is missing
// or not integer text, both when the file is missing. A file that is not
// well-formed throws the XML service's message, as it does for Set Access.
documents::AreaSizes readPdoAreaSizes(const std::string& pargenPath);

// A Cob-ID as the grid shows it after reading: "$" and the value of the text
// in upper-case hexadecimal, at least three digits; text that is not integer
// text counts as 0 ("$000").
std::string cobIdDisplay(const std::string& text);

// Reads pdo.xml at path: the rows of each group, at most kPdoAccessRows (more
// are counted in leftOut), Cob_Id as cobIdDisplay shows it, the other cells
// verbatim. A missing file: empty tables, no failure. A file that is not
// well-formed, a missing group or a row without an attribute: the failure's
// message, the rows read before it kept. Never throws.
base::Reading<PdoAccessTables> loadPdoAccess(const std::string& path);

// The checks run before saving, first table then second, row by row over the
// run of each (rows before the first empty Cob-ID, at most kPdoAccessRows):
// Cob-ID 1 to 2047, Dimension 1 to 8, Address ProfiBus 0 to the area size,
// and Address ProfiBus + Dimension at most the area size (a cell that is not
// integer text counts as -1). Answers the message of the first failure, e.g.
// "Error row 3!! [ProfiBus IN --> Transmit PDO] CANOpen Dimension must be
// between 1 and 8. ", or nothing. Reads nothing, never throws.
std::optional<std::string> ValidatePdoTables(const PdoAccessTables& tables, documents::AreaSizes sizes);

// Writes pdo.xml to path from the run of each table, both groups always
// present. Throws std::runtime_error when the file cannot be written; the
// previous file then stays whole.
void savePdoAccess(const std::string& path, const PdoAccessTables& tables);

}  // namespace canopen
