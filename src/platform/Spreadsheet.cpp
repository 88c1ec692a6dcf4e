#include "platform/Spreadsheet.h"

#include <freexl.h>

#include "platform/IsolatedWorkbook.h"

#include <charconv>
#include <cmath>

#include "platform/FileSystem.h"

namespace platform {
namespace {

std::string reasonOf(int code) {
    switch (code) {
        case FREEXL_FILE_NOT_FOUND: return "file not found";
        case FREEXL_INSUFFICIENT_MEMORY: return "out of memory";
        case FREEXL_CFBF_READ_ERROR:
        case FREEXL_CFBF_SEEK_ERROR:
        case FREEXL_INVALID_CFBF_HEADER:
        case FREEXL_CFBF_INVALID_SIGNATURE: return "not a compound document";
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND: return "no workbook stream";
        case FREEXL_CRAFTED_FILE: return "damaged file";
        default: return "FreeXL error " + std::to_string(code);
    }
}

// Everything a workbook's import can ask of the library: every sheet queried
// (selected, with its dimensions and column names) and its cells, up to a
// bound no import comes near.
void readEverything(const Workbook& workbook) {
    constexpr std::size_t kCellsPerSheet = 1'000'000;
    for (const std::string& name : workbook.tableNames()) {
        try {
            const SheetQuery query = workbook.query(name);
            std::size_t cells = 0;
            for (std::size_t record = 0; record < query.recordCount() && cells < kCellsPerSheet; ++record) {
                for (std::size_t column = 0; column < query.columnCount() && cells < kCellsPerSheet; ++column, ++cells)
                    (void)query.value(record, column);
            }
        } catch (const SpreadsheetError&) {
        }
    }
}

}  // namespace

std::string numberText(double value) {
    if (value == 0.0) return "0";  // also -0
    char buffer[400];
    // Fixed notation in its shortest round-trip form: whole numbers come without
    // a decimal point, as the decimal text users expect.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc()) return std::to_string(value);
    return std::string(buffer, result.ptr);
}

Workbook::Workbook(const std::string& path) : m_path(path) {
    // The library would open a FIFO and wait for a writer; a folder or a
    // device is no workbook either. A missing file is the library's to report.
    const PathStatus status = examinePath(path);
    if (status.kind == PathKind::Folder) throw SpreadsheetError("'" + path + "' is not an Excel workbook (a folder)");
    if (status.kind == PathKind::Other || status.kind == PathKind::Unexaminable) {
        throw SpreadsheetError("'" + path + "' is not an Excel workbook (" + status.reason + ")");
    }
    // The library can crash on a damaged workbook (found by fuzzing: a free of
    // a pointer it never allocated). The whole reading is tried apart first,
    // through this same class; the reading in the program is then as safe as
    // the trial was.
    if (const std::optional<std::string> end = endOfIsolatedWorkbookReading(path, [&] { readWithoutTrial(path); }))
        throw SpreadsheetError("'" + path + "' is not an Excel workbook (damaged file: the reader ended with " + *end +
                               ")");
    open();
}

Workbook::Workbook(const std::string& path, Untried) : m_path(path) {
    open();
}

void Workbook::readWithoutTrial(const std::string& path) {
    readEverything(Workbook(path, Untried{}));
}

void Workbook::open() {
    const int code = freexl_open(narrowOpenPath(m_path).c_str(), &m_handle);
    if (code != FREEXL_OK) {
        if (m_handle) freexl_close(m_handle);
        m_handle = nullptr;
        throw SpreadsheetError("'" + m_path + "' is not an Excel workbook (" + reasonOf(code) + ")");
    }
}

Workbook::~Workbook() {
    if (m_handle) freexl_close(m_handle);
}

std::vector<std::string> Workbook::tableNames() const {
    unsigned int count = 0;
    if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) return {};
    std::vector<std::string> names;
    for (unsigned int index = 0; index < count; ++index) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(index), &name) != FREEXL_OK) continue;
        names.push_back(std::string(name ? name : "") + "$");
    }
    return names;
}

SheetQuery Workbook::query(std::string_view tableName) const {
    const std::vector<std::string> names = tableNames();
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (names[index] != tableName) continue;
        SheetQuery query(m_handle, names[index]);
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) != FREEXL_OK ||
            freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK) {
            throw SpreadsheetError("Sheet " + names[index] + " of '" + m_path + "' cannot be read");
        }
        if (rows > 0) {
            query.m_recordCount = rows - 1;
            query.m_columnCount = columns;
        }
        return query;
    }
    throw SpreadsheetError("'" + m_path + "' has no sheet " + std::string(tableName));
}

std::optional<std::string> SheetQuery::value(std::size_t record, std::size_t column) const {
    if (column >= columnCount()) {
        throw SpreadsheetError("Sheet " + m_sheet + " has " + std::to_string(columnCount()) + " columns, column " +
                               std::to_string(column + 1) + " is wanted");
    }
    if (record >= m_recordCount)
        throw SpreadsheetError("Sheet " + m_sheet + " has no record " + std::to_string(record));
    return cell(static_cast<unsigned>(record + 1), static_cast<unsigned short>(column));
}

std::optional<std::string> SheetQuery::cell(unsigned row, unsigned short column) const {
    FreeXL_CellValue cell;
    const int code = freexl_get_cell_value(m_handle, row, column, &cell);
    if (code != FREEXL_OK) {
        throw SpreadsheetError("Cell " + std::to_string(row + 1) + ":" + std::to_string(column + 1) + " of sheet " +
                               m_sheet + " cannot be read (" + reasonOf(code) + ")");
    }
    switch (cell.type) {
        case FREEXL_CELL_NULL: return std::nullopt;
        case FREEXL_CELL_INT: return std::to_string(cell.value.int_value);
        case FREEXL_CELL_DOUBLE: return numberText(cell.value.double_value);
        default: return std::string(cell.value.text_value ? cell.value.text_value : "");
    }
}

}  // namespace platform
