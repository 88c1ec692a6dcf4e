#include "canopen/EmcyWord.h"

#include "base/IntegerText.h"

namespace canopen {
namespace {

constexpr WriteOrder kEmcyWordOrder{TieRule::LaterFirst};

// A word from the 52 values in attribute order; extdata (place 2) is the page.
void placeWord(EmcyWordPages& pages, const std::vector<std::string>& values, std::int32_t extdata) {
    if (extdata != 0 && extdata != 1) return;
    std::vector<TClWEmcy>& page = pages.pages[static_cast<std::size_t>(extdata)];
    TClWEmcy word;
    word.index_addrm = values[0];
    word.subindex = values[1];
    word.devid = values[3];
    for (std::size_t k = 0; k < kWordBits; ++k) {
        word.bits[k] = ClEbm{values[4 + 3 * k], values[5 + 3 * k], values[6 + 3 * k]};
    }
    word.number = static_cast<int>(page.size());
    page.push_back(std::move(word));
}

std::vector<std::string> wordValues(const TClWEmcy& word, std::size_t page) {
    std::vector<std::string> values{word.index_addrm, word.subindex, std::to_string(page), word.devid};
    for (const ClEbm& bit : word.bits) {
        values.push_back(bit.b0);
        values.push_back(bit.b1);
        values.push_back(bit.poscomp);
    }
    return values;
}

}  // namespace

const std::array<std::string, kEmcyWordColumns>& emcyWordAttributes() {
    static const std::array<std::string, kEmcyWordColumns> names = [] {
        std::array<std::string, kEmcyWordColumns> all{"index_addrm", "subindex", "extdata", "devid"};
        for (std::size_t k = 0; k < kWordBits; ++k) {
            const std::string bit = "bit" + std::to_string(k);
            all[4 + 3 * k] = bit + "_b0";
            all[5 + 3 * k] = bit + "_b1";
            all[6 + 3 * k] = bit + "_poscomp";
        }
        return all;
    }();
    return names;
}

base::Reading<EmcyWordPages> loadEmcyWord(const std::string& path) {
    base::Reading<EmcyWordPages> reading;
    reading.failure = readEditorDocument(path, kEditorDocumentMessages, [&](const DocumentRecord& record) {
        std::vector<std::string> values;
        values.reserve(kEmcyWordColumns);
        for (const std::string& name : emcyWordAttributes()) values.push_back(record.text(name));
        placeWord(reading.value, values, base::integerText(values[2]));
    });
    return reading;
}

void saveEmcyWord(const std::string& path, const EmcyWordPages& pages) {
    writePagesDocument<TClWEmcy>(
        path, kEmcywordDocumentName, pages.pages, emcyWordAttributes(), kEmcyWordOrder,
        [](const TClWEmcy& word) {
            return std::vector<std::string>{word.devid, word.index_addrm, word.subindex};
        },
        wordValues);
}

base::Reading<EmcyWordPages> importEmcyWord(const std::string& workbookPath) {
    base::Reading<EmcyWordPages> reading;
    reading.failure = importSheet(
        workbookPath, kEmcywordDocumentName, kEmcyWordColumns, [] {},
        [&](const SheetRecord& values) { placeWord(reading.value, values, base::integerText(values[2])); });
    return reading;
}

std::vector<CsvLine> exportEmcyWord(const EmcyWordPages& pages) {
    return pagesLines<TClWEmcy>(pages.pages, wordValues);
}

TreePlace treePlace(std::size_t position) {
    return {position / kNodesPerWord, position % kNodesPerWord};
}

std::string wordNodeText(const TClWEmcy& word) {
    return "W" + std::to_string(word.number);
}

std::string bitNodeText(std::size_t bit) {
    return "Bit" + std::to_string(bit);
}

std::string wordGroupCaption(std::size_t word) {
    return "Word n°" + std::to_string(word) + " Emcy Define ";
}

std::string bitGroupCaption(std::size_t position) {
    return "Mask BIT n°" + std::to_string(position) + " Define";
}

bool checkEmcyWord(const std::vector<TClWEmcy>& page, const std::string& index, const std::string& subindex,
                   const std::string& devid, std::optional<std::size_t> modified) {
    if (index.empty() || subindex.empty() || devid.empty()) return false;
    for (std::size_t w = 0; w < page.size(); ++w) {
        if (modified && *modified == w) continue;
        if (page[w].index_addrm == index && page[w].subindex == subindex && page[w].devid == devid) return false;
    }
    return true;
}

TClWEmcy newEmcyWord(const std::vector<TClWEmcy>& page, const std::string& index, const std::string& subindex,
                     const std::string& devid) {
    TClWEmcy word;
    word.index_addrm = index;
    word.subindex = subindex;
    word.devid = devid;
    word.number = page.empty() ? 0 : page.back().number + 1;
    return word;
}

std::string positionsField(const std::string& position1, const std::string& position2) {
    const std::int64_t p1 = base::integerText(position1);
    const std::int64_t p2 = base::integerText(position2);
    return std::to_string(static_cast<std::uint16_t>((p1 * 16 + p2) & 0xFFFF));
}

PositionBoxes positionBoxes(const std::string& field) {
    const std::uint16_t value = static_cast<std::uint16_t>(base::integerText(field));
    return {value >> 4, value % 16};
}

}  // namespace canopen
