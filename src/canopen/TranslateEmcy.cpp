#include "canopen/TranslateEmcy.h"

#include "base/IntegerText.h"

namespace canopen {
namespace {

constexpr WriteOrder kEmcyOrder{TieRule::LaterFirst};

void placeEntry(EmcyPages& pages, std::array<std::string, kEmcyFieldCount> fields, std::int32_t bypass) {
    const BypassParts parts = bypassParts(bypass);
    TClEmcy entry;
    entry.line = fields[0];
    entry.fields = std::move(fields);
    entry.translate = parts.translate;
    entry.alias = parts.alias;
    pages.pages[parts.page].push_back(std::move(entry));
}

void copyBoxes(TClEmcy& entry, const std::array<std::string, kEmcyFieldCount>& boxes) {
    for (std::size_t i = 0; i < kEmcyFieldCount; ++i) entry.fields[i] = boxes[i].empty() ? "0" : boxes[i];
    entry.line = boxes[0];
}

// The twelve values of an entry on page, in attribute order.
std::vector<std::string> emcyValues(const TClEmcy& entry, std::size_t page) {
    std::vector<std::string> values(entry.fields.begin(), entry.fields.end());
    values.push_back(std::to_string(bypassSet(entry, page)));
    return values;
}

}  // namespace

std::int32_t bypassSet(const TClEmcy& entry, std::size_t page) {
    return entry.alias * 2 + (entry.translate ? 1 : 0) + (page == 1 ? kEmcySecondPageBit : 0);
}

BypassParts bypassParts(std::int32_t bypassSet) {
    return {(bypassSet & 1) != 0, (bypassSet >> 1) & 15, (bypassSet & kEmcySecondPageBit) ? 1u : 0u};
}

base::Reading<EmcyPages> loadTranslateEmcy(const std::string& path) {
    base::Reading<EmcyPages> reading;
    reading.failure = readEditorDocument(path, kEditorDocumentMessages, [&](const DocumentRecord& record) {
        std::array<std::string, kEmcyFieldCount> fields;
        for (std::size_t i = 0; i < kEmcyFieldCount; ++i) {
            fields[i] = record.text(kEmcyAttributes[i]);
            if (fields[i].empty()) fields[i].push_back('0');
        }
        placeEntry(reading.value, std::move(fields), record.integer(kEmcyAttributes[kEmcyFieldCount]));
    });
    return reading;
}

void saveTranslateEmcy(const std::string& path, const EmcyPages& pages) {
    writePagesDocument<TClEmcy>(
        path, kEmcydefDocumentName, pages.pages, kEmcyAttributes, kEmcyOrder,
        [](const TClEmcy& entry) { return std::vector<std::string>{entry.line}; }, emcyValues);
}

base::Reading<EmcyPages> importTranslateEmcy(const std::string& workbookPath) {
    base::Reading<EmcyPages> reading;
    reading.failure = importSheet(
        workbookPath, kEmcydefDocumentName, kEmcyImportColumns, [] {},
        [&](const SheetRecord& values) {
            const std::int32_t bypass = base::integerText(values[kEmcyFieldCount]);
            std::array<std::string, kEmcyFieldCount> fields;
            std::copy(values.begin(), values.begin() + kEmcyFieldCount, fields.begin());
            placeEntry(reading.value, std::move(fields), bypass);
        });
    return reading;
}

std::vector<CsvLine> exportTranslateEmcy(const EmcyPages& pages) {
    return pagesLines<TClEmcy>(pages.pages, emcyValues);
}

std::vector<std::string> checkEmcyId(const std::vector<TClEmcy>& page, const std::string& typedId,
                                     const std::optional<std::string>& selectedLine) {
    std::vector<std::string> messages;
    if (selectedLine && typedId == *selectedLine) return messages;
    if (typedId.empty()) messages.push_back(kIndexNotValid);
    for (const TClEmcy& entry : page) {
        if (entry.line == typedId) {
            messages.push_back(kIndexNotValid);
            break;
        }
    }
    return messages;
}

TClEmcy makeEmcyEntry(const std::array<std::string, kEmcyFieldCount>& boxes, bool translate, int alias) {
    TClEmcy entry;
    copyBoxes(entry, boxes);
    entry.translate = translate;
    entry.alias = alias;
    return entry;
}

void modifyEmcyEntry(TClEmcy& entry, const std::array<std::string, kEmcyFieldCount>& boxes, bool translate,
                     std::optional<int> alias) {
    copyBoxes(entry, boxes);
    entry.translate = translate;
    if (alias) entry.alias = *alias;
}

int emcyAliasButton(int alias) {
    return alias >= 0 && alias <= 8 ? alias : -1;
}

}  // namespace canopen
