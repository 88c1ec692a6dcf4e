#include "canopen/TranslatePdo.h"

#include "base/IntegerText.h"

namespace canopen {
namespace {

constexpr WriteOrder kTranslatePdoOrder{TieRule::LaterFirst};

bool flagSet(const PdoTranslationEntry& row) {
    return row[kTranslatePdoFlagCell] == "1";
}

void appendTableRows(std::vector<RowAttributes>& rows, const std::vector<PdoTranslationEntry>& table, bool firstTable) {
    const std::vector<PdoTranslationEntry> run(table.begin(),
                                               table.begin() + runLength(table, 0, kTranslatePdoEntries));
    appendOrdered<PdoTranslationEntry>(
        rows, run, kTranslatePdoOrder, [](const PdoTranslationEntry& row) { return std::vector<std::string>{row[0]}; },
        [firstTable](const PdoTranslationEntry& row) {
            RowAttributes attributes;
            for (std::size_t i = 0; i < kTranslatePdoValueColumns; ++i) {
                attributes.emplace_back(kTranslatePdoAttributes[i], row[i]);
            }
            attributes[kTranslatePdoFlagCell].second = std::to_string((firstTable ? 2 : 0) + (flagSet(row) ? 1 : 0));
            return attributes;
        });
}

void appendTableLines(std::vector<CsvLine>& lines, const std::vector<PdoTranslationEntry>& table, const char* flagClear,
                      const char* flagSet_) {
    CsvLine header(kTranslatePdoHeaderTexts.begin() + 1, kTranslatePdoHeaderTexts.end());
    header[kTranslatePdoFlagCell] = flagClear;
    lines.push_back(std::move(header));
    for (std::size_t r = 0; r < kTranslatePdoEntries; ++r) {
        CsvLine line = r < table.size() ? CsvLine(table[r].begin(), table[r].end())
                                        : CsvLine(kTranslatePdoValueColumns, std::string());
        line[kTranslatePdoFlagCell] = r < table.size() && flagSet(table[r]) ? flagSet_ : flagClear;
        lines.push_back(std::move(line));
    }
}

void placeEntry(PdoTranslationTables& tables, bool firstTable, bool flag, PdoTranslationEntry entry) {
    entry[kTranslatePdoFlagCell] = flag ? "1" : "0";
    placeWithin(firstTable ? tables.first : tables.second, kTranslatePdoEntries, std::move(entry), tables.leftOut);
}

}  // namespace

base::Reading<PdoTranslationTables> loadTranslatePdo(const std::string& path) {
    base::Reading<PdoTranslationTables> reading;
    reading.failure = readEditorDocument(path, kEditorDocumentMessages, [&](const DocumentRecord& record) {
        const std::int32_t code = record.integer("en_bypass");
        PdoTranslationEntry entry;
        for (std::size_t i = 0; i < kTranslatePdoValueColumns; ++i) {
            if (i != kTranslatePdoFlagCell) entry[i] = record.text(kTranslatePdoAttributes[i]);
        }
        placeEntry(reading.value, (code & 2) != 0, (code & 1) != 0, std::move(entry));
    });
    return reading;
}

void saveTranslatePdo(const std::string& path, const PdoTranslationTables& tables) {
    std::vector<RowAttributes> rows;
    appendTableRows(rows, tables.first, true);
    appendTableRows(rows, tables.second, false);
    writeEditorDocument(path, kRpdodefDocumentName, rows);
}

base::Reading<PdoTranslationTables> importTranslatePdo(const std::string& workbookPath) {
    base::Reading<PdoTranslationTables> reading;
    reading.failure = importSheet(
        workbookPath, kRpdodefDocumentName, kTranslatePdoImportColumns, [] {},
        [&](const SheetRecord& values) {
            const std::int32_t code = base::integerText(values[kTranslatePdoFlagCell]);
            PdoTranslationEntry entry;
            std::copy(values.begin(), values.end(), entry.begin());
            placeEntry(reading.value, (code & 2) == 0, (code & 1) != 0, std::move(entry));
        });
    return reading;
}

std::vector<CsvLine> exportTranslatePdo(const PdoTranslationTables& tables) {
    std::vector<CsvLine> lines;
    appendTableLines(lines, tables.first, "00", "01");
    appendTableLines(lines, tables.second, "10", "11");
    return lines;
}

}  // namespace canopen
