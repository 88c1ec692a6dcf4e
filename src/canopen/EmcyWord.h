#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "canopen/EditorDocuments.h"

// The "Define EMCY Word" editor (TFWemcy) and its document emcyword.xml: root
// emcyword, one row per EMCY word, page "CanA" first, each page ordered by
// (devid, index_addrm, subindex), equal keys later-first. 52 attributes:
// index_addrm, subindex, extdata ("0" page "CanA", "1" page "CanB"), devid,
// then for bit k = 0 to 15 bitk_b0, bitk_b1, bitk_poscomp.
namespace canopen {

inline constexpr const char* kEmcywordDocumentName = "emcyword";
inline constexpr const char* kEmcywordFileName = "emcyword.xml";
inline constexpr const char* kEmcyWordCaption = "Define EMCY Word";
inline constexpr std::array<const char*, 2> kEmcyWordPages = {"CanA", "CanB"};
inline constexpr std::size_t kWordBits = 16;
inline constexpr std::size_t kNodesPerWord = 1 + kWordBits;
inline constexpr std::size_t kEmcyWordColumns = 4 + 3 * kWordBits;  // 52

// The labels of a page's boxes.
struct EmcyWordPageTexts {
    const char* indexLabel;
    const char* subindexLabel;
    const char* devidLabel;
    const char* mask2Label;
};
inline constexpr std::array<EmcyWordPageTexts, 2> kEmcyWordPageTexts = {{
    {"Index SDO BUS B", "Subindex SDO BUS B", "ID EMCY BUS A", "Mask byte 2"},
    {"Index SDO BUS A", "Subindex SDO BUS A", "ID EMCY BUS B", "Mask Byte 2"},
}};
inline constexpr const char* kEmcyWordMask1Label = "Mask Byte 1";
inline constexpr const char* kEmcyWordPosition1Label = "Emcy byte 1";
inline constexpr const char* kEmcyWordPosition2Label = "Emcy Byte 2";
// The group captions before any node is selected.
inline constexpr const char* kWordGroupCaption = "Word n°  Emcy Define";
inline constexpr const char* kBitGroupCaption = "Mask BIT n°  Define";

// Bit definition of a word: two mask bytes and the positions field
// (16 × p1 + p2 as decimal text).
struct ClEbm {
    std::string b0, b1, poscomp;
    bool operator==(const ClEbm&) const = default;
};

// An EMCY word; number is the one its word node shows ("W" + number).
struct TClWEmcy {
    std::string index_addrm, subindex, devid;
    std::array<ClEbm, kWordBits> bits;
    int number = 0;
    bool operator==(const TClWEmcy&) const = default;
};

// pages[0] "CanA", pages[1] "CanB", each in tree order.
struct EmcyWordPages {
    std::array<std::vector<TClWEmcy>, 2> pages;
};

// The 52 attribute names in the order they are written, which is also the
// column order of the import and the export.
const std::array<std::string, kEmcyWordColumns>& emcyWordAttributes();

// Reads emcyword.xml at path: each child a word on page extdata (0 or 1; any
// other value drops the word), numbered by the words its page had before it.
// A missing file: "File XML not found"; a file that cannot be read, an absent
// attribute (any of the 52) or an extdata that is not integer text: "Error in
// reading file XML", the words before it kept. Never throws.
base::Reading<EmcyWordPages> loadEmcyWord(const std::string& path);

// Writes emcyword.xml to path. Throws std::runtime_error "'<text>' is not a valid
// integer value" for a device id, index or subindex that is not integer text,
// before anything is written, or when the file cannot be written.
void saveEmcyWord(const std::string& path, const EmcyWordPages& pages);

// The import of the sheet "emcyword": 52 columns as they come, column 2 as
// integer text for the page (0 or 1; other values drop the word). The failure
// is importSheet's cause; words placed before it are kept.
base::Reading<EmcyWordPages> importEmcyWord(const std::string& workbookPath);

// The export: one line per word, "CanA" then "CanB", in list order, in the
// columns the import reads ("0" or "1" in the third place).
std::vector<CsvLine> exportEmcyWord(const EmcyWordPages& pages);

// A node of a tree by its absolute position p (all nodes in tree order): word
// p div 17 and place p mod 17 (0 the word node, 1 to 16 bits 0 to 15).
struct TreePlace {
    std::size_t word;
    std::size_t place;
};
TreePlace treePlace(std::size_t position);

// "W" + number, and "Bit" + k.
std::string wordNodeText(const TClWEmcy& word);
std::string bitNodeText(std::size_t bit);
// The captions a selection gives: "Word n°" + w + " Emcy Define " and
// "Mask BIT n°" + p + " Define" (the absolute position, not the bit number).
std::string wordGroupCaption(std::size_t word);
std::string bitGroupCaption(std::size_t position);

// The word check of "New" and of "Modify" on a word node: refused (false) when
// one of the three texts is empty or another word of page (modified excepted)
// has exactly the same three texts, compared as texts. The message is
// kIndexNotValid of TranslateEmcy.h, "Index Not Valid".
bool checkEmcyWord(const std::vector<TClWEmcy>& page, const std::string& index, const std::string& subindex,
                   const std::string& devid, std::optional<std::size_t> modified);

// The word "New" appends to page: the three texts, 16 empty bit definitions,
// numbered one above the page's last word (0 for an empty page).
TClWEmcy newEmcyWord(const std::vector<TClWEmcy>& page, const std::string& index, const std::string& subindex,
                     const std::string& devid);

// The positions field from the two boxes: (p1 × 16 + p2) mod 65536 as decimal
// text. Throws "'<text>' is not a valid integer value" for a box that is not
// integer text.
std::string positionsField(const std::string& position1, const std::string& position2);

// The two boxes' values from a positions field v (taken as 16-bit unsigned):
// v >> 4 and v mod 16. Throws as positionsField, also for the empty text.
struct PositionBoxes {
    int position1;
    int position2;
};
PositionBoxes positionBoxes(const std::string& field);

}  // namespace canopen
