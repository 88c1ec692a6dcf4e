#include "canopen/StorePdo.h"

#include <stdexcept>

#include "base/IntegerText.h"
#include "canopen/TranslatePdo.h"
#include "documents/AccessTables.h"
#include "platform/FileSystem.h"

namespace canopen {
namespace {

constexpr WriteOrder kStorePdoOrder{TieRule::EarlierFirst};

// The page and the PDO number that nrpdo codes.
struct PdoNumber {
    std::size_t page;
    std::size_t number;
};
PdoNumber pdoNumberOf(std::int32_t nrpdo) {
    return {(nrpdo & 128) ? kCanB : kCanA, static_cast<std::size_t>(nrpdo & 127)};
}

// Appends entry to the PDO that nrpdo names; answers false for PDO number 0,
// which ends a reading or an import. A number above the page's count is skipped.
bool attachEntry(StorePdoPages& pages, std::int32_t nrpdo, TClSdo entry) {
    const PdoNumber target = pdoNumberOf(nrpdo);
    if (target.number == 0) return false;
    std::vector<TClPdo>& pdos = pages.pages[target.page].pdos;
    if (target.number <= pdos.size()) pdos[target.number - 1].entries.push_back(std::move(entry));
    return true;
}

std::optional<std::string> readPdos(const std::string& projectDir, StorePdoPages& pages) {
    return readEditorDocument(
        platform::joinPath(projectDir, kRpdodefFileName), DocumentMessages{kPdoXmlNotFound, kPdoXmlUnreadable},
        [&](const DocumentRecord& record) {
            const std::int32_t code = record.integer("en_bypass");
            pages.pages[(code & 2) ? kCanB : kCanA].pdos.push_back(TClPdo{record.text("cobid"), {}});
        });
}

bool sameInteger(const std::string& a, const std::string& b) {
    return base::integerText(a) == base::integerText(b);
}

std::int32_t pdoNumberText(std::size_t page, std::size_t position) {
    return static_cast<std::int32_t>(position + 1) + (page == kCanB ? kCanBPdoOffset : 0);
}

}  // namespace

std::vector<std::string> StorePdoReading::messages() const {
    std::vector<std::string> all;
    for (const auto* failure : {&sdoFailure, &pdoFailure, &entriesFailure}) {
        if (*failure) all.push_back(**failure);
    }
    return all;
}

StorePdoReading loadStorePdo(const std::string& projectDir, const std::string& sdopdoPath) {
    StorePdoReading reading;
    StorePdoPages& pages = reading.value;
    reading.sdoFailure = readEditorDocument(
        platform::joinPath(projectDir, documents::kSdoFileName), DocumentMessages{kSdoXmlNotFound, kSdoXmlUnreadable},
        [&](const DocumentRecord& record) {
            SdoCheckEntry entry{record.text("IndexA"), record.text("SubindexA")};
            pages.pages[(record.integer("conf") & 1) ? kCanB : kCanA].sdoChecks.push_back(std::move(entry));
        });
    reading.pdoFailure = readPdos(projectDir, pages);
    reading.entriesFailure = readEditorDocument(
        sdopdoPath, DocumentMessages{kSdopdoXmlNotFound, kSdopdoXmlUnreadable}, [&](const DocumentRecord& record) {
            const PdoNumber target = pdoNumberOf(record.integer("nrpdo"));
            if (target.number == 0) throw std::runtime_error("PDO number 0");
            std::vector<TClPdo>& pdos = pages.pages[target.page].pdos;
            // A row for a PDO the page lacks is skipped unread.
            if (target.number > pdos.size()) return;
            pdos[target.number - 1].entries.push_back(
                TClSdo{record.text("index"), record.text("subindex"), record.text("poscomp")});
        });
    return reading;
}

base::Reading<StorePdoPages> loadStorePdoPdos(const std::string& projectDir) {
    base::Reading<StorePdoPages> reading;
    reading.failure = readPdos(projectDir, reading.value);
    return reading;
}

void saveStorePdo(const std::string& path, const StorePdoPages& pages) {
    struct Placed {
        const TClSdo* entry;
        std::int32_t nrpdo;
    };
    std::vector<RowAttributes> rows;
    for (std::size_t page = 0; page < pages.pages.size(); ++page) {
        std::vector<Placed> placed;
        const std::vector<TClPdo>& pdos = pages.pages[page].pdos;
        for (std::size_t p = 0; p < pdos.size(); ++p) {
            for (const TClSdo& entry : pdos[p].entries) placed.push_back({&entry, pdoNumberText(page, p)});
        }
        appendOrdered<Placed>(
            rows, placed, kStorePdoOrder,
            [](const Placed& item) {
                return std::vector<std::string>{item.entry->index, item.entry->subindex};
            },
            [](const Placed& item) {
                return RowAttributes{{"index", item.entry->index},
                                     {"subindex", item.entry->subindex},
                                     {"nrpdo", std::to_string(item.nrpdo)},
                                     {"poscomp", item.entry->poscomp}};
            });
    }
    writeEditorDocument(path, kSdopdoDocumentName, rows);
}

base::Reading<StorePdoPages> importStorePdo(const std::string& workbookPath, StorePdoPages pages) {
    base::Reading<StorePdoPages> reading;
    reading.value = std::move(pages);
    reading.failure = importSheet(
        workbookPath, kSdopdoDocumentName, kStorePdoImportColumns,
        [&] {
            for (StorePdoPage& page : reading.value.pages) {
                for (TClPdo& pdo : page.pdos) pdo.entries.clear();
            }
        },
        [&](const SheetRecord& values) {
            if (!attachEntry(reading.value, base::integerText(values[2]), TClSdo{values[0], values[1], values[3]})) {
                throw std::runtime_error("PDO number 0 ends the import");
            }
        });
    return reading;
}

std::vector<CsvLine> exportStorePdo(const StorePdoPages& pages) {
    std::vector<CsvLine> lines;
    for (std::size_t page = 0; page < pages.pages.size(); ++page) {
        const std::vector<TClPdo>& pdos = pages.pages[page].pdos;
        for (std::size_t p = 0; p < pdos.size(); ++p) {
            for (const TClSdo& entry : pdos[p].entries) {
                lines.push_back({entry.index, entry.subindex, std::to_string(pdoNumberText(page, p)), entry.poscomp});
            }
        }
    }
    return lines;
}

std::optional<std::string> checkStoredSdo(const StorePdoPage& page, const std::string& index,
                                          const std::string& subindex, std::optional<EntryPosition> modified) {
    for (const SdoCheckEntry& check : page.sdoChecks) {
        if (sameInteger(check.IndexA, index) && sameInteger(check.SubindexA, subindex)) return kSdoAlreadyExists;
    }
    for (std::size_t p = 0; p < page.pdos.size(); ++p) {
        const std::vector<TClSdo>& entries = page.pdos[p].entries;
        for (std::size_t e = 0; e < entries.size(); ++e) {
            if (modified && modified->pdo == p && modified->entry == e) continue;
            if (sameInteger(entries[e].index, index) && sameInteger(entries[e].subindex, subindex)) {
                return kIndexOrSubindexNotValid;
            }
        }
    }
    return std::nullopt;
}

std::string poscompText(PoscompNibbles nibbles) {
    return std::to_string(16 * nibbles.high + nibbles.low);
}

PoscompNibbles poscompNibbles(const std::string& poscomp) {
    const std::int32_t value = base::integerText(poscomp);
    return {(value >> 4) & 15, value & 15};
}

int poscompRadioItem(int nibble) {
    return nibble >= 0 && nibble < static_cast<int>(kPoscompItems.size()) ? nibble : -1;
}

int poscompNibbleOfItem(int checkedItem) {
    return checkedItem < 0 ? 0 : checkedItem;
}

std::string storedSdoLine(std::size_t i) {
    return "Sdo" + std::to_string(i);
}

}  // namespace canopen
