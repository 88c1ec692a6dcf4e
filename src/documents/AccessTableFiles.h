#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "documents/AccessTables.h"

// The access tables to and from the files spreadsheet users keep them in: a
// header row with the grid's column titles, then one row per access row, the
// cells as stored texts. CSV files (RFC 4180, UTF-8, CR LF) are read and
// written; workbooks (.xls, .xlsx, .ods) are read.
namespace documents {

// The two tables of sdo.xml, as the commands name them.
enum class AccessTableSide { In, Out };

// The header row: the grid's column titles, in the grid's order.
inline constexpr std::array<const char*, 4> kAccessColumnTitles = {"Address Register", "Address ProfiBus High",
                                                                   "Address ProfiBus Low", "Mnemonic"};

// A file whose table cannot be taken; what() names the file, the row as
// numbered in the file and the column where it can, e.g. "in.csv, row 8,
// column "Address ProfiBus High": must be between 0 and 20".
class AccessFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the table in the file at path: a CSV file when its name ends in
// ".csv" (any case), else a workbook read through platform::Workbook, its
// first sheet or the sheet named sheet. The first row must hold the four
// column titles and is not taken; blank rows at the end are dropped. The
// rows pass the checks of Set Access's OK with areaSize as the byte
// positions' bound, and besides: at most kMaxAccessRows rows; no filled row
// (or a filled cell) after a row with an empty Address Register, since the
// table would end there; nothing beyond the fourth column; only text that
// an XML document can hold. Reads only the file; throws AccessFileError at
// the first failure (also for a file that cannot be read, a missing sheet).
std::vector<AccessRow> readAccessTableFile(const std::string& path, const std::optional<std::string>& sheet,
                                           std::int32_t areaSize);

// The CSV text of rows: the header row, then one line per row with its four
// texts, quoted where RFC 4180 needs it, lines ended by CR LF. Never throws.
std::string accessTableCsv(const std::vector<AccessRow>& rows);

// tessaro-cli import: reads the area sizes from the project's pargen.xml as
// Set Access does (244 where there are none), the table from file
// (readAccessTableFile, with the size of that side's area), and the other
// table as sdo.xml stores it, then writes sdo.xml with the new table in place
// of the old one. Throws AccessFileError for the file, base::LocatedError for
// pargen.xml or sdo.xml (also when the other table holds rows that a save
// would not keep), std::runtime_error when sdo.xml cannot be written; nothing
// is written on any failure.
void importAccessTable(const std::string& projectDir, AccessTableSide side, const std::string& file,
                       const std::optional<std::string>& sheet);

// tessaro-cli export: writes every stored row of that table of the project's
// sdo.xml (none when there is no sdo.xml) to file as accessTableCsv, replacing
// it atomically. Throws base::LocatedError for a sdo.xml that cannot be read,
// std::runtime_error when file cannot be written (the previous file stays).
void exportAccessTable(const std::string& projectDir, AccessTableSide side, const std::string& file);

}  // namespace documents
