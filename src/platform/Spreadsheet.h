#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Read access to the sheets of an .xls workbook (BIFF5/BIFF8), built on FreeXL.
// The editors' import goes through these steps, each kept as one call:
//   open the connection on the workbook  -> Workbook(path): freexl_open; a file
//                                           that is not a workbook fails here
//   the table names, with "$" appended   -> Workbook::tableNames(): the worksheet
//                                           names (freexl_get_worksheet_name)
//   "select * from [name$]"              -> Workbook::query(): selects the sheet
//                                           and takes its dimensions, so the record
//                                           count is known before the first record
//   a record's values by column position -> SheetQuery::value(): freexl_get_cell_value;
//                                           an empty cell is null
//   close the query, then the connection -> ~SheetQuery (nothing to release),
//                                           ~Workbook: freexl_close
// As a data-access service does by default, the first row of a sheet holds the
// column names and is not a record.
namespace platform {

// A failure of the spreadsheet service; what() says what went wrong.
class SpreadsheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SheetQuery;

class Workbook {
public:
    // Opens the workbook at path, after reading all of it once apart from
    // the program (see platform/IsolatedWorkbook.h). Throws SpreadsheetError
    // "'<path>' is not an Excel workbook (<reason>)" when the file is missing
    // or not a workbook, also when that trial reading crashed.
    explicit Workbook(const std::string& path);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // The sheets' names, each followed by "$", in workbook order.
    std::vector<std::string> tableNames() const;

    // The records of the sheet whose table name (sheet name + "$") is tableName,
    // exactly as tableNames() gives it. Throws SpreadsheetError when there is no
    // such sheet or it cannot be read. The query reads the workbook, which must
    // outlive it; a workbook serves one query at a time (a new query selects
    // another sheet for both).
    SheetQuery query(std::string_view tableName) const;

    // Reads all of the workbook at path in this process, as the trial reading
    // does, without a trial of its own: the trial itself, run in the child.
    // Throws SpreadsheetError when the file is missing or not a workbook.
    static void readWithoutTrial(const std::string& path);

private:
    struct Untried {};
    // Opens without the trial reading: the trial's own workbook.
    Workbook(const std::string& path, Untried);
    void open();

    const void* m_handle = nullptr;
    std::string m_path;
};

class SheetQuery {
public:
    // Records below the row of column names.
    std::size_t recordCount() const { return m_recordCount; }
    // Columns of the sheet, as wide as its widest row.
    std::size_t columnCount() const { return m_columnCount; }

    // The value of the record (from 0) in column (from 0) as text, or nothing
    // for an empty cell. Whole numbers give their decimal text, other numbers
    // the shortest decimal text that reads back as the same number; texts,
    // dates and times come as the workbook holds them (UTF-8). Throws
    // SpreadsheetError for a column at or beyond columnCount() or a cell
    // that cannot be read.
    std::optional<std::string> value(std::size_t record, std::size_t column) const;

private:
    friend class Workbook;
    SheetQuery(const void* handle, std::string sheet) : m_handle(handle), m_sheet(std::move(sheet)) {}
    std::optional<std::string> cell(unsigned row, unsigned short column) const;

    const void* m_handle;
    std::string m_sheet;
    std::size_t m_recordCount = 0;
    std::size_t m_columnCount = 0;
};

// Text of a number as the import shows it: decimal digits for a whole number,
// else the shortest decimal text that reads back as the same double.
std::string numberText(double value);

}  // namespace platform
