// Any bytes as an .xls workbook: the spreadsheet service opens it or fails
// with its message, and every cell of every sheet it offers can be read; then
// each editor's import reads the same workbook as its Import does.
// seeds: tests/data/canopen/**/*.xls

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzFolder.h"
#include "canopen/EmcyWord.h"
#include "canopen/SdoTranslation.h"
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
    readEverySheet(path);
    (void)canopen::importSdoTranslation(path);
    (void)canopen::importTranslatePdo(path);
    (void)canopen::importTranslateEmcy(path);
    (void)canopen::importEmcyWord(path);
    (void)canopen::importStorePdo(path, canopen::StorePdoPages{});
    return 0;
}
