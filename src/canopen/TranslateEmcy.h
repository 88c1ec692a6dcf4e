#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "canopen/EditorDocuments.h"

// The "Set Traslate EMCY" editor (TFemcy) and its document emcydef.xml: root
// emcydef, one row per EMCY translation entry, page "From CAN A" first, each
// page ordered by its list line (the id as the list shows it), equal lines
// later-first. Twelve attributes: the eleven texts id_dev to enmask_eq_m3 and
// bypass_set = alias × 2 + switch, + 32 on page "From CAN B".
namespace canopen {

inline constexpr const char* kEmcydefDocumentName = "emcydef";
inline constexpr const char* kEmcydefFileName = "emcydef.xml";
inline constexpr const char* kTranslateEmcyCaption = "Set Traslate EMCY";
inline constexpr std::array<const char*, 2> kTranslateEmcyPages = {"From CAN A", "From CAN B"};
inline constexpr const char* kIndexNotValid = "Index Not Valid";

inline constexpr std::size_t kEmcyFieldCount = 11;
inline constexpr std::size_t kEmcyImportColumns = 12;
inline constexpr std::int32_t kEmcySecondPageBit = 32;
// The attributes in the order they are written; the last is bypass_set.
inline constexpr std::array<const char*, kEmcyImportColumns> kEmcyAttributes = {
    "id_dev",       "mask_eq_ec",   "mask_eq_er",   "mask_eq_m1",   "mask_eq_m2",   "mask_eq_m3",
    "enmask_eq_ec", "enmask_eq_er", "enmask_eq_m1", "enmask_eq_m2", "enmask_eq_m3", "bypass_set"};

// An edit box of a page: its control names on both pages and its label, which
// is the name, a run of blanks, then the range (shown, never checked).
struct EmcyField {
    const char* editA;
    const char* editB;
    const char* label;
    const char* range;
};
// By field, in attribute order.
inline constexpr std::array<EmcyField, kEmcyFieldCount> kEmcyFields = {{
    {"Eid_devA", "Eid_devB", "ID_EMCY", "(1..127)"},
    {"Emask_eq_ecA", "Emask_eq_ecB", "Mask_error_code", "(0..65535)"},
    {"Emask_eq_erA", "Emask_eq_erB", "MAsk_error_Reg", "(0..255)"},
    {"Emask_eq_m1A", "Emask_eq_m1B", "Mask_Manu1", "(0..65535)"},
    {"Emask_eq_m2A", "Emask_eq_m2B", "Mask_Manu2", "(0..65535)"},
    {"Emask_eq_m3A", "Emask_eq_m3B", "Mask_Manu3", "(0..255)"},
    {"Eenmask_eq_ecA", "Eenmask_eq_ecB", "Enabled_mask_error_code", "(0..65535)"},
    {"Eenmask_eq_erA", "Eenmask_eq_erB", "Enabled_mask_error_Reg", "(0..255)"},
    {"Eenmask_eq_m1A", "Eenmask_eq_m1B", "Enabled_Mask_Manu1", "(0..65535)"},
    {"Eenmask_eq_m2A", "Eenmask_eq_m2B", "Enabled_Mask_Manu2", "(0..65535)"},
    {"Eenmask_eq_m3A", "Eenmask_eq_m3B", "Enabled_Mask_Manu3", "(0..255)"},
}};
// The boxes from top to bottom, as field indexes: id, then each mask above its enable mask.
inline constexpr std::array<std::size_t, kEmcyFieldCount> kEmcyBoxOrder = {0, 1, 6, 2, 7, 3, 8, 4, 9, 5, 10};

inline constexpr std::array<const char*, 2> kEmcySwitchCaptions = {"Enabled_Traslate to CANB",
                                                                   "Enabled_Traslate to CANA"};
inline constexpr const char* kEmcyAliasGroupCaption = "Allias use";
// The "Allias use" radio buttons from top to bottom; the value is the index.
inline constexpr std::array<std::array<const char*, 9>, 2> kEmcyAliasCaptions = {{
    {"No traslate ID CANA", "Error code byte  HIGH", "Error code byte LOW", "Error Reg", "Manu1 byte HIGH",
     "Manu1 byte LOW", "Manu2 byte HIGH", "Manu2 byte LOW", "Manu3"},
    {"No traslate ID CANB", "Error code byte  HIGH", "Error code byte LOW", "Error Reg", "Manu1 byte HIGH",
     "Manu1 byte LOW", "Manu2 byte HIGH", "Manu2 byte LOW", "Manu3"},
}};
inline constexpr std::array<std::array<const char*, 3>, 2> kEmcyAliasTexts = {{
    {"ID CANA EMCY ", "Traslate in", "CANB EMCY at:"},
    {"ID CANB EMCY ", "Traslate in", "CANA EMCY at:"},
}};
inline constexpr std::array<const char*, 2> kEmcyModifyCaptions = {"Modify ENCY", "Modify EMCY"};
inline constexpr const char* kEmcyNewCaption = "New EMCY";
inline constexpr const char* kEmcyDeleteCaption = "Delete EMCY";

// An EMCY translation entry. line is its line in the page's list: the id as
// typed, which stays empty where the stored id became "0".
struct TClEmcy {
    std::array<std::string, kEmcyFieldCount> fields;
    bool translate = false;
    int alias = 0;
    std::string line;
    bool operator==(const TClEmcy&) const = default;
};

// pages[0] "From CAN A", pages[1] "From CAN B", each in list order.
struct EmcyPages {
    std::array<std::vector<TClEmcy>, 2> pages;
};

// bypass_set of an entry on page: alias × 2 + switch, + 32 on the second page.
std::int32_t bypassSet(const TClEmcy& entry, std::size_t page);

// The parts of a bypass_set value: switch bit 0, alias bits 1 to 4, page bit 5.
struct BypassParts {
    bool translate;
    int alias;
    std::size_t page;
};
BypassParts bypassParts(std::int32_t bypassSet);

// Reads emcydef.xml at path: each child an entry with the eleven texts (an
// empty one as "0"), bypass_set giving switch, alias and page, the id its line.
// A missing file: "File XML not found"; a file that cannot be read, an absent
// attribute or a bypass_set that is not integer text: "Error in reading file
// XML", the entries before it kept. Never throws.
base::Reading<EmcyPages> loadTranslateEmcy(const std::string& path);

// Writes emcydef.xml to path. Throws std::runtime_error "'<text>' is not a valid
// integer value" for a list line that is not integer text (an empty one too),
// before anything is written, or when the file cannot be written.
void saveTranslateEmcy(const std::string& path, const EmcyPages& pages);

// The import of the sheet "emcydef": columns 0 to 10 as they come (empty
// cells stay empty), column 11 as integer text for switch, alias and page;
// the line is column 0. The failure is importSheet's cause (an empty or
// non-numeric column 11 ends the import); entries placed before it are kept.
base::Reading<EmcyPages> importTranslateEmcy(const std::string& workbookPath);

// The export: for each entry of "From CAN A", then "From CAN B", in list order,
// the eleven texts and bypass_set.
std::vector<CsvLine> exportTranslateEmcy(const EmcyPages& pages);

// The id check of "New EMCY" and "Modify": selectedLine is the selected line's
// text for Modify, nothing for a new entry. When the entry is new or the typed
// id differs from the selected line, an empty id gives kIndexNotValid and the
// lines are still compared as exact texts, the first equal one giving
// kIndexNotValid again. Answers the messages to show, in order; the id is
// refused when there is one.
std::vector<std::string> checkEmcyId(const std::vector<TClEmcy>& page, const std::string& typedId,
                                     const std::optional<std::string>& selectedLine);

// The entry "New EMCY" makes from the eleven boxes (in field order; an empty
// box gives "0", the line keeps the id box as typed), the check box and the
// checked alias button.
TClEmcy makeEmcyEntry(const std::array<std::string, kEmcyFieldCount>& boxes, bool translate, int alias);

// "Modify": replaces the entry's texts, line and switch from the boxes; the
// alias only when a button is checked (alias has a value).
void modifyEmcyEntry(TClEmcy& entry, const std::array<std::string, kEmcyFieldCount>& boxes, bool translate,
                     std::optional<int> alias);

// The alias button a value checks: the value for 0 to 8, else none (-1), and
// the one checked before stays checked.
int emcyAliasButton(int alias);

}  // namespace canopen
