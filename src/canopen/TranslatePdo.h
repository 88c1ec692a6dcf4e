#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "canopen/EditorDocuments.h"

// The "Define Traslate PDO" editor (TFpdo) and its document rpdodef.xml: root
// rpdodef, one row per PDO translation entry, those of the first table (CanA to
// CanB) first, each table in ascending cobid, equal cobids later-first.
// Attributes cobid, id_dev_orig, en_bypass, posind, n_tpdo; en_bypass codes the
// table and the translation flag: 3/2 first table, 1/0 second (bit 1 set means
// the first table). In the spreadsheet and the CSV file the codes are 01/00 and
// 11/10 instead, read as decimal numbers: there bit 1 set means the second table.
namespace canopen {

inline constexpr const char* kRpdodefDocumentName = "rpdodef";
inline constexpr const char* kRpdodefFileName = "rpdodef.xml";
inline constexpr const char* kTranslatePdoCaption = "Define Traslate PDO";
inline constexpr const char* kTranslatePdoFirstPage = "PDO From CanA to CanB";
inline constexpr const char* kTranslatePdoSecondPage = "PDO From CanB to CanA";

inline constexpr std::size_t kTranslatePdoEntries = 10;  // grid rows 1 to 10
inline constexpr std::size_t kTranslatePdoColumnCount = 6;
// Grid columns 1 to 5: cobid, id_dev_orig, the translation flag ("1"/"0"), posind, n_tpdo.
inline constexpr std::size_t kTranslatePdoValueColumns = 5;
inline constexpr std::size_t kTranslatePdoFlagCell = 2;
inline constexpr std::array<const char*, kTranslatePdoColumnCount> kTranslatePdoColumnTitles = {
    "N°", "cobid", "id_dev_orig", "en_traslate", "posid", "n_tPDO"};
inline constexpr std::array<const char*, kTranslatePdoColumnCount> kTranslatePdoHeaderTexts = {
    "N", "cobid", "id_dev_orig", "en_bypass", "posind", "n_tpdo"};
// Attributes in the order they are written; en_bypass holds the document code.
inline constexpr std::array<const char*, kTranslatePdoValueColumns> kTranslatePdoAttributes = {
    "cobid", "id_dev_orig", "en_bypass", "posind", "n_tpdo"};
inline constexpr std::size_t kTranslatePdoImportColumns = 5;

using PdoTranslationEntry = GridRow<kTranslatePdoValueColumns>;
using PdoTranslationTables = GridTables<kTranslatePdoValueColumns>;

// Reads rpdodef.xml at path: each child goes to the first table when bit 1 of
// en_bypass is set, else to the second, with the flag "1" when bit 0 is set;
// at most kTranslatePdoEntries per table (more are counted in leftOut). A
// missing file: "File XML not found"; a file that cannot be read, an absent
// attribute or an en_bypass that is not integer text: "Error in reading file
// XML", the entries before it kept. Never throws.
base::Reading<PdoTranslationTables> loadTranslatePdo(const std::string& path);

// Writes rpdodef.xml to path from the run of each table (rows before the first
// empty cobid, at most kTranslatePdoEntries), ordered by cobid later-first, the
// flag cell of exactly "1" as 3 or 1, anything else as 2 or 0. Throws
// std::runtime_error "'<text>' is not a valid integer value" for a cobid that
// is not integer text, before anything is written, or when the file cannot be
// written (the previous file stays whole).
void saveTranslatePdo(const std::string& path, const PdoTranslationTables& tables);

// The import of the sheet "rpdodef": column 2 read as integer text gives the
// table (bit 1 clear: first) and the flag (bit 0); the other columns are taken
// as they come. The failure is importSheet's cause; entries placed before it
// are kept, at most kTranslatePdoEntries per table.
base::Reading<PdoTranslationTables> importTranslatePdo(const std::string& workbookPath);

// The export: per table the header row and kTranslatePdoEntries rows (missing
// rows empty) as cobid, id_dev_orig, the spreadsheet code ("01"/"00" first
// table, "11"/"10" second; the header row with the code of a cleared flag),
// posind, n_tpdo: always 22 lines. Reads and writes nothing.
std::vector<CsvLine> exportTranslatePdo(const PdoTranslationTables& tables);

}  // namespace canopen
