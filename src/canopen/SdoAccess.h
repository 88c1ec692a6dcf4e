#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "canopen/EditorDocuments.h"

// The SDO translation table of the "Set SDO Access" editor (TFsdo): per
// direction the virtual index and subindex that a client on one network uses
// and the device, index, subindex and size they stand for on the other. Its
// document has a root of any name whose children, of any name, are the entries
// with the attributes conf, IndexA, SubindexA, devIDB, IndexB, SubindexB,
// nbyteB and an optional mnemonico; bit 0 of conf is the direction (0: first
// table, CAN A requests), bit 4 the RW flag. The editor writes no document.
namespace canopen {

inline constexpr const char* kSdoDocumentName = "sdo";
// The file the table's document has when one is read: the program itself
// reads none into the window (TFsdo::documentPath stays empty).
inline constexpr const char* kSdoTableFileName = "sdo.xml";
inline constexpr const char* kSdoCaption = "Set SDO Access";
inline constexpr const char* kSdoFirstPage = "SDO from CAN A request to CAN B";
inline constexpr const char* kSdoSecondPage = "SDO from CAN B request to CAN A";
// Entry rows per table (grid rows 1 to 1500, below the header row).
inline constexpr std::size_t kSdoTableEntries = 1500;
inline constexpr std::size_t kSdoColumnCount = 9;  // with the fixed column 0
// Grid columns 1 to 8: RW, then IndexA, SubindexA, devIDB, IndexB, SubindexB, nbyteB, mnemonico.
inline constexpr std::size_t kSdoValueColumns = 8;
inline constexpr std::array<const char*, kSdoColumnCount> kSdoColumnTitles = {
    "N°", "RW", "Index", "SubIndex", "devID", "Index", "SubIndex", "nbyte", "mnemonico"};
// What the header row's cells hold; the export writes them.
inline constexpr std::array<const char*, kSdoColumnCount> kSdoHeaderTexts = {
    "N", "RW", "Index", "Subindex", "devID", "Index", "Subindex", "nbyte", "mnemonico"};
inline constexpr std::array<const char*, 6> kSdoAddressAttributes = {"IndexA", "SubindexA", "devIDB",
                                                                     "IndexB", "SubindexB", "nbyteB"};
inline constexpr const char* kSdoConfAttribute = "conf";
inline constexpr const char* kSdoMnemonicAttribute = "mnemonico";
// Spreadsheet columns the import reads: conf, then grid columns 2 to 8.
inline constexpr std::size_t kSdoImportColumns = 8;

using SdoAccessEntry = GridRow<kSdoValueColumns>;
using SdoAccessTables = GridTables<kSdoValueColumns>;

// Reads the document at path into the two tables, at most kSdoTableEntries
// each (more are counted in leftOut). An empty path or a missing file: empty
// tables and no failure. A file that cannot be read, an absent attribute other
// than mnemonico, or a conf that is not integer text: the failure "Error in
// reading file XML", the entries before it kept. Never throws.
base::Reading<SdoAccessTables> loadSdoAccess(const std::string& path);

// The import of the sheet "sdo" of workbookPath: column 0 read as integer text
// gives the table (bit 0) and RW (bit 4), columns 1 to 7 the other cells. The
// failure is importSheet's cause; entries placed before it are kept.
base::Reading<SdoAccessTables> importSdoAccess(const std::string& workbookPath);

// The export: for each table the header row and kSdoTableEntries rows (missing
// rows are empty), each as its conf code ("16"/"0" in the first table, "17"/"1"
// in the second, the flag set only by an RW cell of exactly "1") and the cells
// of grid columns 2 to 8: always 3002 lines. Rows beyond kSdoTableEntries are
// not written. Reads and writes nothing.
std::vector<CsvLine> exportSdoAccess(const SdoAccessTables& tables);

}  // namespace canopen
