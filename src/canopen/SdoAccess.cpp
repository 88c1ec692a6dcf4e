#include "canopen/SdoAccess.h"

#include "base/IntegerText.h"
#include "platform/FileSystem.h"

namespace canopen {
namespace {

// The entry and its table from conf and the address cells.
void placeSdoEntry(SdoAccessTables& tables, std::int32_t conf, SdoAccessEntry entry) {
    entry[0] = (conf & 16) ? "1" : "0";
    placeWithin(conf & 1 ? tables.second : tables.first, kSdoTableEntries, std::move(entry), tables.leftOut);
}

void appendSdoLines(std::vector<CsvLine>& lines, const std::vector<SdoAccessEntry>& rows, int directionCode) {
    CsvLine header{std::to_string(directionCode)};
    header.insert(header.end(), kSdoHeaderTexts.begin() + 2, kSdoHeaderTexts.end());
    lines.push_back(std::move(header));
    for (std::size_t r = 0; r < kSdoTableEntries; ++r) {
        if (r >= rows.size()) {
            lines.push_back(CsvLine(kSdoValueColumns, std::string()));
            lines.back()[0] = std::to_string(directionCode);
            continue;
        }
        const SdoAccessEntry& row = rows[r];
        CsvLine line{std::to_string(directionCode + (row[0] == "1" ? 16 : 0))};
        line.insert(line.end(), row.begin() + 1, row.end());
        lines.push_back(std::move(line));
    }
}

}  // namespace

base::Reading<SdoAccessTables> loadSdoAccess(const std::string& path) {
    base::Reading<SdoAccessTables> reading;
    if (path.empty() || !platform::fileExists(path)) return reading;
    reading.failure = readEditorDocument(path, kEditorDocumentMessages, [&](const DocumentRecord& record) {
        const std::int32_t conf = record.integer(kSdoConfAttribute);
        SdoAccessEntry entry;
        for (std::size_t i = 0; i < kSdoAddressAttributes.size(); ++i) {
            entry[i + 1] = record.text(kSdoAddressAttributes[i]);
        }
        entry[7] = record.optionalText(kSdoMnemonicAttribute).value_or("");
        placeSdoEntry(reading.value, conf, std::move(entry));
    });
    return reading;
}

base::Reading<SdoAccessTables> importSdoAccess(const std::string& workbookPath) {
    base::Reading<SdoAccessTables> reading;
    reading.failure = importSheet(
        workbookPath, kSdoDocumentName, kSdoImportColumns, [] {},
        [&](const SheetRecord& values) {
            const std::int32_t conf = base::integerText(values[0]);
            SdoAccessEntry entry;
            for (std::size_t i = 1; i < kSdoImportColumns; ++i) entry[i] = values[i];
            placeSdoEntry(reading.value, conf, std::move(entry));
        });
    return reading;
}

std::vector<CsvLine> exportSdoAccess(const SdoAccessTables& tables) {
    std::vector<CsvLine> lines;
    lines.reserve(2 * (kSdoTableEntries + 1));
    appendSdoLines(lines, tables.first, 0);
    appendSdoLines(lines, tables.second, 1);
    return lines;
}

}  // namespace canopen
