#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "documents/AccessTables.h"
#include "outputs/GsdFile.h"

// The address map that whoever commissions a gateway hands to the PLC
// programmer: every access row with its byte positions in the master's terms
// (the module of the GSD file that holds a position, and the offset in it),
// and the findings of checking the rows against each other and the areas.
namespace outputs {

// The two access tables and the area each one's positions lie in. The input
// table's area, N Byte IN, is what the master outputs (its DO modules); the
// output table's, N Byte OUT, is what it inputs (DI modules).
enum class AccessArea { In, Out };

// Where a byte of an area lies for the master.
struct ModulePlace {
    std::string module;       // as the GSD file names it: "DO  (PORT3)"
    std::int32_t offset = 0;  // inside the module, from 0

    bool operator==(const ModulePlace&) const = default;
};

// The module and offset that hold position of area, from the GSD writer's own
// modules for lengths; nothing when the position lies outside the area
// (negative, or at or past its size). Reads nothing, never throws.
std::optional<ModulePlace> placeOf(const ProfibusLengths& lengths, AccessArea area, std::int32_t position);

// What the map takes from the project's documents.
struct MapDocuments {
    bool settingsFound = false;  // pargen.xml exists
    // Its first node is the element Par_Gen; when a declaration, a comment or
    // a document type comes first, no reader finds a setting below it.
    bool firstNodeIsParGen = true;
    // The stored texts of Profi_NB_IN and Profi_NB_OUT; nothing when absent.
    std::optional<std::string> nByteInText, nByteOutText;
    // The lengths the GSD writer reads from the same file.
    ProfibusLengths lengths;
    // The bounds Set Access checks positions against (244 where it cannot read a size).
    documents::AreaSizes setAccessSizes{documents::kMaxAreaSize, documents::kMaxAreaSize};
    // The rows as Set Access loads them from sdo.xml (none without the file).
    documents::AccessTables tables;
};

// Reads projectDir/pargen.xml and projectDir/sdo.xml as the GSD writer and
// Set Access read them. Writes nothing. Throws std::runtime_error with the
// program's message when a document is present but cannot be read (not
// well-formed, a group or a row attribute missing from sdo.xml).
MapDocuments readMapDocuments(const std::string& projectDir);

// One of a row's two byte positions.
struct MappedPosition {
    std::string text;                   // as stored
    std::optional<std::int32_t> value;  // when the text is integer text
    std::optional<ModulePlace> place;   // when the value lies inside the area
};

struct MappedRow {
    std::size_t number = 0;  // row number in the table, from 1
    std::string addressText;
    std::optional<std::int32_t> address;  // when the text is integer text
    MappedPosition high, low;
    std::string mnemonic;
};

// Which row uses a byte of an area, and with which of its two positions.
struct ByteUse {
    std::size_t row = 0;  // index into AreaMap::rows
    bool high = false;

    bool operator==(const ByteUse&) const = default;
};

struct AreaMap {
    AccessArea area = AccessArea::In;
    std::string caption;    // the page caption of Set Access
    std::int32_t size = 0;  // bytes in the area, as the GSD file counts them
    std::vector<MappedRow> rows;
    // For each byte of the area, the rows that use it, in row order.
    std::vector<std::vector<ByteUse>> uses;
};

struct AddressMap {
    std::string project;      // the project folder, as given
    ProfibusLengths lengths;  // as the GSD file states them
    AreaMap in, out;
    std::vector<std::string> warnings;  // each line begins "warning: "
};

// Maps the rows of both tables (the run that Set Access keeps of each) onto
// the modules of the GSD file and collects the findings: stored area sizes the
// settings window would refuse, stored cells Set Access would refuse, positions
// at or past the size of their area, bytes used more than once, and bytes no
// row uses, as ranges. Reads nothing, never throws.
AddressMap buildAddressMap(const std::string& project, const MapDocuments& documents);

// Cell texts that the report and the page share. The register in decimal and,
// when it is one, as a 16-bit hex number: "100 (0x0064)"; a text that is no
// number as stored.
std::string registerText(const MappedRow& row);
// A position in decimal, or its stored text when it is no number.
std::string positionText(const MappedPosition& position);
// The module that holds a position, "outside" the area, or "-" for no number.
std::string moduleText(const MappedPosition& position);
// The offset inside the module, or "-".
std::string offsetText(const MappedPosition& position);
// The text with control characters (line breaks, tabs) turned into blanks.
std::string oneLine(std::string text);

// The plain-text report: a table per area, one line per row with the register
// in decimal and hex and both positions with their module and offset, then the
// warnings. Lines end with "\n" (it goes to a terminal). Never throws.
std::string addressMapText(const AddressMap& map);

}  // namespace outputs
