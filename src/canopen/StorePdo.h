#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "canopen/EditorDocuments.h"

// The "Define Store PDO" editor (TFInfopdo) and its document sdopdo.xml: root
// sdopdo, one row per stored-SDO entry with index, subindex, nrpdo, poscomp.
// An entry belongs to a PDO by its position in the page's PDO list (nrpdo bits
// 0 to 6, from 1), not by the COB-ID, and bit 7 of nrpdo is the page. The PDOs
// come from rpdodef.xml: page "CanA" lists those whose en_bypass has bit 1
// clear (the second Translate PDO table), page "CanB" those with bit 1 set; the
// virtual SDO indexes of sdo.xml (bit 0 of conf: the page) must not be reused.
namespace canopen {

inline constexpr const char* kSdopdoDocumentName = "sdopdo";
inline constexpr const char* kSdopdoFileName = "sdopdo.xml";
inline constexpr const char* kStorePdoCaption = "Define Store PDO";

inline constexpr const char* kSdoXmlNotFound = "File SDO XML not found";
inline constexpr const char* kSdoXmlUnreadable = "Error in reading file SDO XML";
inline constexpr const char* kPdoXmlNotFound = "File PDO XML not found";
inline constexpr const char* kPdoXmlUnreadable = "Error in reading file PDO XML";
inline constexpr const char* kSdopdoXmlNotFound = "File SDOPDO XML not found";
inline constexpr const char* kSdopdoXmlUnreadable = "Error in reading file SDOPDO XML";
inline constexpr const char* kSdoAlreadyExists = "Index or Subindex Not Valid,Sdo Already Exists";
inline constexpr const char* kIndexOrSubindexNotValid = "Index or Subindex Not Valid";

inline constexpr std::size_t kCanA = 0;
inline constexpr std::size_t kCanB = 1;
inline constexpr std::int32_t kCanBPdoOffset = 128;

// The texts of one page of the window.
struct StorePdoPageTexts {
    const char* caption;
    const char* sdoListLabel;
    const char* pdoListLabel;
    const char* indexLabel;
    const char* subindexLabel;
    const char* lowerTranslateText;  // beside the lower radio group
};
inline constexpr std::array<StorePdoPageTexts, 2> kStorePdoPageTexts = {{
    {"CanA", "SDO CANB", "Index PDO in CANA", "Index SDO CANB", "Subindex SDO CANB", "Trsalete in"},
    {"CanB", "SDO CANA", "Index PDO in CANB", "Index SDO CANA", "Subindex SDO CANA", "Traslate in"},
}};
inline constexpr const char* kStorePdoCorrelated = "Correlated";
inline constexpr const char* kStorePdoGroupCaption = "Selected PDO Byte";
inline constexpr const char* kStorePdoUpperTranslateText = "Traslate in";
inline constexpr const char* kStorePdoHighText = "High SDO Byte";
inline constexpr const char* kStorePdoLowText = "Low SDO Byte";
inline constexpr std::array<const char*, 9> kPoscompItems = {"none", "B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"};
inline constexpr std::size_t kStorePdoImportColumns = 4;

// A stored-SDO entry: texts as typed or read.
struct TClSdo {
    std::string index, subindex, poscomp;
    bool operator==(const TClSdo&) const = default;
};

// A PDO of a page: its COB-ID text (its line in the PDO list) and its entries.
// Its PDO number is its position in the page's list + 1.
struct TClPdo {
    std::string cobid;
    std::vector<TClSdo> entries;
};

// A virtual SDO index of sdo.xml that an entry may not reuse.
struct SdoCheckEntry {
    std::string IndexA, SubindexA;
};

struct StorePdoPage {
    std::vector<TClPdo> pdos;
    std::vector<SdoCheckEntry> sdoChecks;
};

// pages[kCanA] and pages[kCanB].
struct StorePdoPages {
    std::array<StorePdoPage, 2> pages;
};

// What showing the window reads, with each document's message apart: the
// check lists of sdo.xml, the PDOs of rpdodef.xml, the entries of sdopdo.xml.
struct StorePdoReading {
    StorePdoPages value;
    std::optional<std::string> sdoFailure, pdoFailure, entriesFailure;
    // The messages in the order the window shows them.
    std::vector<std::string> messages() const;
};

// Reads, as showing the window does, projectDir/sdo.xml (messages "File SDO XML
// not found", "Error in reading file SDO XML"), projectDir/rpdodef.xml ("File
// PDO XML not found", "Error in reading file PDO XML") and sdopdoPath ("File
// SDOPDO XML not found", "Error in reading file SDOPDO XML", also for a row
// whose PDO number is 0, which ends the reading). A row whose PDO number is
// above the page's PDO count is skipped. What was read before a failure stays.
// Never throws.
StorePdoReading loadStorePdo(const std::string& projectDir, const std::string& sdopdoPath);

// Only the PDOs of projectDir/rpdodef.xml, with no entries, as tessaro-cli's
// import starts from; the failure as loadStorePdo's pdoFailure.
base::Reading<StorePdoPages> loadStorePdoPdos(const std::string& projectDir);

// Writes sdopdo.xml to path: page "CanA" then "CanB", each page's entries of
// all its PDOs ordered by (index, subindex), earlier first (of an earlier PDO,
// or earlier in the same PDO's list), nrpdo the PDO number (+ 128 on "CanB").
// Throws std::runtime_error "'<text>' is not a valid integer value" for an
// index or subindex that is not integer text, before anything is written, or
// when the file cannot be written.
void saveStorePdo(const std::string& path, const StorePdoPages& pages);

// The import of the sheet "sdopdo" into pages: once the sheet is opened every
// PDO loses its entries; each record's column 2 (integer text) gives the page
// (bit 7) and the PDO number (bits 0 to 6); numbers above the page's count are
// skipped, number 0 ends the import (the failure "Row <r> of sheet sdopdo: PDO
// number 0 ends the import"). Entries are not checked. Answers the pages with
// what was placed, and importSheet's cause as the failure.
base::Reading<StorePdoPages> importStorePdo(const std::string& workbookPath, StorePdoPages pages);

// The export: for each PDO of "CanA" in list order and each of its entries,
// index, subindex, the PDO number, poscomp; then "CanB" with the number + 128.
std::vector<CsvLine> exportStorePdo(const StorePdoPages& pages);

// Where an entry stands on its page: the PDO's position in the list (from 0)
// and the entry's position in that PDO's list.
struct EntryPosition {
    std::size_t pdo;
    std::size_t entry;
};

// The entry check of "New SDO" and "Modify SDO" on page: the typed index and
// subindex must not equal (as integer text) a check entry of sdo.xml
// (kSdoAlreadyExists) nor another entry of the page, the modified one excepted
// (kIndexOrSubindexNotValid). Answers the one message, or nothing to accept.
// Values are converted only when there is something to compare them with; one
// that is not integer text then throws "'<text>' is not a valid integer value".
std::optional<std::string> checkStoredSdo(const StorePdoPage& page, const std::string& index,
                                          const std::string& subindex, std::optional<EntryPosition> modified);

// poscomp: the PDO byte that becomes the high byte of the object (upper radio
// group, item 0 "none", 1 to 8 "B1" to "B8") and the low byte (lower group).
struct PoscompNibbles {
    int high;
    int low;
};
// The decimal text of 16 × high + low.
std::string poscompText(PoscompNibbles nibbles);
// Reads poscomp as integer text: high := (value >> 4) AND 15, low := value AND
// 15. Throws "'<text>' is not a valid integer value" (also for the empty text).
PoscompNibbles poscompNibbles(const std::string& poscomp);
// The radio item that shows a nibble: the nibble itself for 0 to 8, else -1
// (no item checked).
int poscompRadioItem(int nibble);
// The nibble a radio group stands for: its checked item, 0 ("none") when no
// item is checked (-1).
int poscompNibbleOfItem(int checkedItem);

// The line of entry i (from 0) in the stored-SDO list: "Sdo" + i.
std::string storedSdoLine(std::size_t i);

// What "Copy SDO" keeps for "Paste SDO", per page for the whole run.
struct StoredSdoClipboard {
    std::string index, subindex, poscomp;
};

}  // namespace canopen
