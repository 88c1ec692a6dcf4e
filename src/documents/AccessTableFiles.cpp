#include "documents/AccessTableFiles.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "base/IntegerText.h"
#include "base/LocatedError.h"
#include "base/XmlText.h"
#include "documents/CommunicationSettings.h"
#include "platform/CsvFile.h"
#include "platform/FileSystem.h"
#include "platform/Spreadsheet.h"

namespace documents {
namespace {

// A row of the file with its number there (the header is row 1).
struct FileRow {
    std::size_t number;
    std::vector<std::string> cells;
};

struct FileTable {
    std::vector<std::string> header;
    std::vector<FileRow> rows;
    // The number of the first filled row beyond those a table can hold, when
    // there is one: the reading stops there.
    std::optional<std::size_t> rowBeyond;
};

bool blank(const std::vector<std::string>& cells) {
    return std::all_of(cells.begin(), cells.end(), [](const std::string& cell) { return cell.empty(); });
}

// Takes the rows of a file one by one, keeping what a check can use: the
// header, kMaxAccessRows rows, and the first filled row after them. Answers
// whether more rows are wanted.
class RowCollector {
public:
    explicit RowCollector(FileTable& table) : m_table(table) {}
    bool take(std::size_t number, std::vector<std::string> cells) {
        if (number == 1) {
            m_table.header = std::move(cells);
            return true;
        }
        if (m_table.rows.size() < kMaxAccessRows) {
            m_table.rows.push_back({number, std::move(cells)});
            return true;
        }
        if (blank(cells)) return true;
        m_table.rowBeyond = number;
        return false;
    }

private:
    FileTable& m_table;
};

bool endsWithCsv(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".csv";
}

FileTable readCsvTable(const std::string& path) {
    FileTable table;
    RowCollector collector(table);
    try {
        platform::readCsvRecords(path, [&](std::size_t number, const std::vector<std::string>& fields) {
            return collector.take(number, fields);
        });
    } catch (const platform::CsvError& e) {
        throw AccessFileError(e.what());
    }
    return table;
}

FileTable readWorkbookTable(const std::string& path, const std::optional<std::string>& sheet) {
    FileTable table;
    RowCollector collector(table);
    try {
        const platform::Workbook workbook(path);
        const std::vector<std::string> names = workbook.tableNames();
        std::string tableName;
        if (sheet) {
            tableName = *sheet + "$";
            if (std::find(names.begin(), names.end(), tableName) == names.end())
                throw AccessFileError("'" + path + "' has no sheet \"" + base::shortenedForMessage(*sheet) + "\"");
        } else {
            if (names.empty()) throw AccessFileError("'" + path + "' has no sheet");
            tableName = names.front();
        }
        const platform::SheetQuery query = workbook.query(tableName);
        collector.take(1, query.columnNames());
        for (std::size_t record = 0; record < query.recordCount(); ++record) {
            std::vector<std::string> cells;
            cells.reserve(query.columnCount());
            for (std::size_t column = 0; column < query.columnCount(); ++column)
                cells.push_back(query.value(record, column).value_or(""));
            if (!collector.take(record + 2, std::move(cells))) break;
        }
    } catch (const platform::SpreadsheetError& e) {
        throw AccessFileError(e.what());
    }
    return table;
}

std::string columnName(std::size_t column) {
    if (column < kAccessColumnTitles.size()) return "\"" + std::string(kAccessColumnTitles[column]) + "\"";
    return std::to_string(column + 1);
}

[[noreturn]] void refuse(const std::string& path, std::size_t row, std::optional<std::size_t> column,
                         const std::string& what) {
    std::string message = path + ", row " + std::to_string(row);
    if (column) message += ", column " + columnName(*column);
    throw AccessFileError(message + ": " + what);
}

void checkHeader(const std::string& path, const std::vector<std::string>& header) {
    for (std::size_t column = 0; column < std::max(header.size(), kAccessColumnTitles.size()); ++column) {
        const std::string cell = column < header.size() ? header[column] : "";
        const std::string wanted = column < kAccessColumnTitles.size() ? kAccessColumnTitles[column] : "";
        if (cell == wanted) continue;
        refuse(path, 1, column,
               wanted.empty() ? "the header has four columns, this one must be empty"
                              : "the header must name the column \"" + wanted + "\", not \"" +
                                    base::shortenedForMessage(cell) + "\"");
    }
}

// Cells beyond the fourth column and text XML cannot hold are refused before
// anything else, so that no value is dropped or mangled in silence.
void checkCells(const std::string& path, const FileRow& row) {
    for (std::size_t column = 0; column < row.cells.size(); ++column) {
        const std::string& cell = row.cells[column];
        if (cell.empty()) continue;
        if (column >= kAccessColumnTitles.size())
            refuse(path, row.number, column, "a table has four columns, this one must be empty");
        if (const auto character = base::firstNonXmlCharacter(cell)) {
            throw AccessFileError(base::characterRefusal(
                path + ", row " + std::to_string(row.number) + ", column " + columnName(column), *character));
        }
    }
}

AccessRow accessRowOf(const FileRow& row) {
    const auto cell = [&](std::size_t column) { return column < row.cells.size() ? row.cells[column] : ""; };
    return AccessRow{cell(0), cell(1), cell(2), cell(3)};
}

std::vector<AccessRow> checkedRows(const std::string& path, const FileTable& table, std::int32_t areaSize) {
    checkHeader(path, table.header);
    std::size_t filled = table.rows.size();
    while (filled > 0 && blank(table.rows[filled - 1].cells)) --filled;

    std::vector<AccessRow> rows;
    for (std::size_t i = 0; i < filled; ++i) {
        const FileRow& row = table.rows[i];
        checkCells(path, row);
        if (!row.cells.empty() && !row.cells[0].empty()) {
            rows.push_back(accessRowOf(row));
            continue;
        }
        // The table would end at this row: what stands in it or below would be lost.
        if (!blank(row.cells)) refuse(path, row.number, 0, "empty in a filled row (the table would end here)");
        refuse(path, row.number, 0,
               "empty, but row " + std::to_string(table.rows[filled - 1].number) +
                   " below is filled (the table would end here)");
    }
    if (table.rowBeyond)
        refuse(path, *table.rowBeyond, std::nullopt,
               "a table holds at most " + std::to_string(kMaxAccessRows) + " rows");

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t number = table.rows[i].number;
        const std::string bound = "must be between 0 and ";
        if (!base::integerTextInRange(rows[i].address, 0, 65535)) refuse(path, number, 0, bound + "65535");
        if (!base::integerTextInRange(rows[i].high, 0, areaSize))
            refuse(path, number, 1, bound + std::to_string(areaSize));
        if (!base::integerTextInRange(rows[i].low, 0, areaSize))
            refuse(path, number, 2, bound + std::to_string(areaSize));
    }
    return rows;
}

std::vector<AccessRow>& tableOf(AccessTables& tables, AccessTableSide side) {
    return side == AccessTableSide::In ? tables.in : tables.out;
}

// Every stored row, or no rows where there is no sdo.xml yet.
AccessTables readStoredTables(const std::string& sdoPath) {
    return base::locatedAt(kSdoFileName, [&] {
        if (!platform::documentExists(sdoPath)) return AccessTables{};
        return readAccessTables(sdoPath, kEveryStoredRow).valueOrThrow();
    });
}

}  // namespace

std::vector<AccessRow> readAccessTableFile(const std::string& path, const std::optional<std::string>& sheet,
                                           std::int32_t areaSize) {
    const FileTable table = endsWithCsv(path) ? readCsvTable(path) : readWorkbookTable(path, sheet);
    return checkedRows(path, table, areaSize);
}

std::string accessTableCsv(const std::vector<AccessRow>& rows) {
    std::string text = platform::csvLine({kAccessColumnTitles.begin(), kAccessColumnTitles.end()});
    for (const AccessRow& row : rows) text += platform::csvLine({row.address, row.high, row.low, row.mnemonic});
    return text;
}

void importAccessTable(const std::string& projectDir, AccessTableSide side, const std::string& file,
                       const std::optional<std::string>& sheet) {
    const AreaSizes sizes = base::locatedAt(
        kPargenFileName, [&] { return readAreaSizes(platform::joinPath(projectDir, kPargenFileName), kMaxAreaSize); });
    std::vector<AccessRow> rows =
        readAccessTableFile(file, sheet, side == AccessTableSide::In ? sizes.nByteIn : sizes.nByteOut);

    const std::string sdoPath = platform::joinPath(projectDir, kSdoFileName);
    AccessTables tables = readStoredTables(sdoPath);
    // The other table is written back as the run of its rows; stored rows a
    // save would leave out are not dropped behind the user's back.
    const AccessTableSide otherSide = side == AccessTableSide::In ? AccessTableSide::Out : AccessTableSide::In;
    const std::vector<AccessRow>& other = tableOf(tables, otherSide);
    if (accessRunLength(other) != other.size()) {
        throw base::LocatedError(kSdoFileName,
                                 std::string("the table \"") +
                                     (otherSide == AccessTableSide::In ? kInputPageCaption : kOutputPageCaption) +
                                     "\" holds " + std::to_string(other.size()) + " rows, of which a save keeps " +
                                     std::to_string(accessRunLength(other)) + "; mend it in Set Access first");
    }
    tableOf(tables, side) = std::move(rows);
    writeAccessTables(sdoPath, tables);
}

void exportAccessTable(const std::string& projectDir, AccessTableSide side, const std::string& file) {
    AccessTables tables = readStoredTables(platform::joinPath(projectDir, kSdoFileName));
    platform::writeFileAtomically(file, accessTableCsv(tableOf(tables, side)));
}

}  // namespace documents
