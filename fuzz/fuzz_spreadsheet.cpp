// Any bytes as an .xls workbook, read once per input as the program reads a
// workbook: either by the spreadsheet service, every cell of every sheet it
// offers, or by one editor's import as its Import does, chosen by the input's
// size. One reading per input keeps the time bound a bound on one reading:
// FreeXL alone spends a quarter of a second opening a damaged sheet that
// claims half a million rows, and the program opens each workbook twice.
// seeds: tests/data/canopen/**/*.xls

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzFolder.h"
#include "canopen/EmcyWord.h"
#include "canopen/SdoAccess.h"
#include "canopen/StorePdo.h"
#include "canopen/TranslateEmcy.h"
#include "canopen/TranslatePdo.h"
#include "platform/Spreadsheet.h"

namespace {

// A sheet may claim more cells than the input could hold; a few thousand
// are read, which is more than every import reads.
constexpr std::size_t kCellsRead = 4096;

void readEverySheet(const std::string& path) {
    try {
        const platform::Workbook workbook(path);
        for (const std::string& name : workbook.tableNames()) {
            try {
                const platform::SheetQuery query = workbook.query(name);
                const std::size_t columns = query.columnCount();
                std::size_t read = 0;
                for (std::size_t record = 0; record < query.recordCount() && read < kCellsRead; ++record) {
                    for (std::size_t column = 0; column < columns && read < kCellsRead; ++column, ++read)
                        (void)query.value(record, column);
                }
            } catch (const platform::SpreadsheetError&) {
            }
        }
    } catch (const platform::SpreadsheetError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path =
        fuzzing::placeInput("workbook.xls", std::string_view(reinterpret_cast<const char*>(data), size));
    switch (size % 6) {
        case 0: readEverySheet(path); break;
        case 1: (void)canopen::importSdoAccess(path); break;
        case 2: (void)canopen::importTranslatePdo(path); break;
        case 3: (void)canopen::importTranslateEmcy(path); break;
        case 4: (void)canopen::importEmcyWord(path); break;
        default: (void)canopen::importStorePdo(path, canopen::StorePdoPages{}); break;
    }
    return 0;
}
