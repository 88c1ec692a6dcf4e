#include "outputs/AddressMap.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "base/IntegerText.h"
#include "base/LocatedError.h"
#include "documents/CommunicationSettings.h"
#include "platform/FileSystem.h"

namespace outputs {
namespace {

constexpr std::int32_t kMaxRegister = 65535;

bool fitsArea(std::int32_t length) {
    return length >= 0 && length <= documents::kMaxAreaSize;
}

// A stored area size that is no number, lies outside 0 to 244 or is missing.
void checkStoredSize(const MapDocuments& documents, const std::optional<std::string>& text, const char* field,
                     const char* element, std::vector<std::string>& warnings) {
    if (!documents.settingsFound) return;
    const std::string name(field);
    if (!text) {
        warnings.push_back("warning: pargen.xml has no " + std::string(element) + ": the GSD file counts " + name +
                           " as 0 bytes, while SET COMMUNICATION shows 244");
        return;
    }
    const std::optional<std::int32_t> value = base::parseIntegerText(*text);
    if (!value) {
        warnings.push_back("warning: " + name + " \"" + base::shortenedForMessage(*text) +
                           "\" is not a number: the GSD file counts it as 0 bytes and SET COMMUNICATION refuses it");
    } else if (!fitsArea(*value)) {
        warnings.push_back("warning: " + name + " " + std::to_string(*value) +
                           " lies outside 0 to 244: SET COMMUNICATION refuses it, no GSD file can be written, and the "
                           "map counts the area as 0 bytes");
    }
}

std::string positionName(bool high) {
    return high ? "high byte position" : "low byte position";
}

// Every use of a position that could name a byte, inside the area or not.
using UsesByPosition = std::map<std::int32_t, std::vector<ByteUse>>;

// What the passes over one table share.
struct AreaPass {
    AreaMap& map;
    const ProfibusLengths& lengths;
    std::int32_t setAccessBound;  // the largest position Set Access accepts
    std::string prefix;           // "warning: " and the page caption
    std::vector<std::string>& warnings;
};

AreaMap emptyArea(AccessArea area, const ProfibusLengths& lengths) {
    AreaMap map;
    map.area = area;
    map.caption = area == AccessArea::In ? documents::kInputPageCaption : documents::kOutputPageCaption;
    map.size = std::max(0, area == AccessArea::In ? lengths.outputLength : lengths.inputLength);
    map.uses.resize(static_cast<std::size_t>(map.size));
    return map;
}

void checkRegister(const MappedRow& row, const std::string& rowPrefix, std::vector<std::string>& warnings) {
    if (!row.address) {
        warnings.push_back(rowPrefix + "Address Register \"" + row.addressText +
                           "\" is not a number: Set Access refuses it");
    } else if (*row.address < 0 || *row.address > kMaxRegister) {
        warnings.push_back(rowPrefix + "Address Register " + std::to_string(*row.address) +
                           " lies outside 0 to 65535: Set Access refuses it");
    }
}

// Places one of the two positions of row `index` and records the byte it uses.
void mapPosition(AreaPass& pass, std::size_t index, bool high, const std::string& text, MappedPosition& position,
                 const std::string& rowPrefix, UsesByPosition& usesByPosition) {
    AreaMap& map = pass.map;
    position.text = text;
    position.value = base::parseIntegerText(position.text);
    position.place = position.value ? placeOf(pass.lengths, map.area, *position.value) : std::nullopt;
    const std::string what = rowPrefix + positionName(high) + " ";
    if (!position.value) {
        pass.warnings.push_back(what + "\"" + position.text + "\" is not a number: Set Access refuses it");
        return;
    }
    const std::int32_t value = *position.value;
    if (value < 0) {
        pass.warnings.push_back(what + std::to_string(value) + " is negative: Set Access refuses it");
        return;
    }
    usesByPosition[value].push_back({index, high});
    if (value < map.size) {
        map.uses[static_cast<std::size_t>(value)].push_back({index, high});
        return;
    }
    // The window bounds a position by the size itself, so the first byte past
    // the end passes its check; and where it cannot read a size it allows 244
    // while the GSD file counts 0.
    const std::string bounds = std::to_string(map.size) + " bytes" +
                               (map.size > 0 ? " (0 to " + std::to_string(map.size - 1) + ")" : std::string());
    pass.warnings.push_back(
        what + std::to_string(value) + " lies outside the area of " + bounds +
        (value <= pass.setAccessBound ? ", although Set Access accepts it" : ": Set Access refuses it"));
}

// The run of the table, row by row, with the findings of each row in order.
UsesByPosition mapRows(AreaPass& pass, const std::vector<documents::AccessRow>& stored, std::size_t count) {
    UsesByPosition usesByPosition;
    for (std::size_t i = 0; i < count; ++i) {
        const documents::AccessRow& cells = stored[i];
        MappedRow row;
        row.number = i + 1;
        row.addressText = cells.address;
        row.address = base::parseIntegerText(cells.address);
        row.mnemonic = cells.mnemonic;
        const std::string rowPrefix = pass.prefix + " row " + std::to_string(row.number) + ": ";
        checkRegister(row, rowPrefix, pass.warnings);
        mapPosition(pass, i, true, cells.high, row.high, rowPrefix, usesByPosition);
        mapPosition(pass, i, false, cells.low, row.low, rowPrefix, usesByPosition);
        pass.map.rows.push_back(std::move(row));
    }
    return usesByPosition;
}

void warnDroppedRows(const AreaPass& pass, std::size_t stored, std::size_t count) {
    if (count >= stored) return;
    const std::size_t dropped = stored - count - 1;
    pass.warnings.push_back(pass.prefix + " row " + std::to_string(count + 1) +
                            " has no Address Register: the table ends there, and Set Access drops the " +
                            std::to_string(dropped) + (dropped == 1 ? " row" : " rows") + " after it at the next save");
}

void warnSharedBytes(const AreaPass& pass, const UsesByPosition& usesByPosition) {
    const AreaMap& map = pass.map;
    for (const auto& [position, uses] : usesByPosition) {
        if (uses.size() < 2) continue;
        std::string line = pass.prefix + ": byte " + std::to_string(position);
        if (const std::optional<ModulePlace> place =
                position < map.size ? placeOf(pass.lengths, map.area, position) : std::nullopt) {
            line += " (" + place->module + " offset " + std::to_string(place->offset) + ")";
        }
        line += " is used more than once:";
        for (std::size_t u = 0; u < uses.size(); ++u) {
            line += std::string(u == 0 ? " " : ", ") + "row " + std::to_string(map.rows[uses[u].row].number) +
                    (uses[u].high ? " high" : " low");
        }
        pass.warnings.push_back(line);
    }
}

// Bytes of the area no row uses, as ranges.
void warnUnusedBytes(const AreaPass& pass) {
    const AreaMap& map = pass.map;
    const auto unused = [&](std::int32_t byte) { return map.uses[static_cast<std::size_t>(byte)].empty(); };
    for (std::int32_t first = 0; first < map.size;) {
        if (!unused(first)) {
            ++first;
            continue;
        }
        std::int32_t last = first;
        while (last + 1 < map.size && unused(last + 1)) ++last;
        pass.warnings.push_back(pass.prefix + ": " +
                                (first == last
                                     ? "byte " + std::to_string(first) + " is"
                                     : "bytes " + std::to_string(first) + " to " + std::to_string(last) + " are") +
                                " used by no row");
        first = last + 1;
    }
}

// Maps one table and adds its findings to warnings, in row order, then by byte.
AreaMap mapArea(AccessArea area, const std::vector<documents::AccessRow>& stored, const ProfibusLengths& lengths,
                std::int32_t setAccessBound, std::vector<std::string>& warnings) {
    AreaMap map = emptyArea(area, lengths);
    AreaPass pass{map, lengths, setAccessBound, "warning: " + map.caption, warnings};
    const std::size_t count = documents::accessRunLength(stored);
    const UsesByPosition usesByPosition = mapRows(pass, stored, count);
    warnDroppedRows(pass, stored.size(), count);
    warnSharedBytes(pass, usesByPosition);
    warnUnusedBytes(pass);
    return map;
}

// A table of text columns, each as wide as its widest cell; the last column
// is not padded, so no line ends in blanks.
class TextTable {
public:
    explicit TextTable(std::vector<std::pair<std::string, bool>> columns) {
        std::vector<std::string> header;
        for (auto& [title, right] : columns) {
            header.push_back(std::move(title));
            m_rightAligned.push_back(right);
        }
        add(std::move(header));
    }
    void add(std::vector<std::string> cells) {
        for (std::string& cell : cells) cell = oneLine(std::move(cell));
        m_rows.push_back(std::move(cells));
    }

    std::string text() const {
        std::vector<std::size_t> widths(m_rightAligned.size(), 0);
        for (const auto& cells : m_rows) {
            for (std::size_t c = 0; c < cells.size(); ++c) widths[c] = std::max(widths[c], cells[c].size());
        }
        std::string text;
        for (const auto& cells : m_rows) {
            std::string line;
            for (std::size_t c = 0; c < cells.size(); ++c) {
                const std::string fill(widths[c] - cells[c].size(), ' ');
                if (c > 0) line += "  ";
                if (c + 1 == cells.size()) {
                    line += m_rightAligned[c] ? fill + cells[c] : cells[c];
                } else {
                    line += m_rightAligned[c] ? fill + cells[c] : cells[c] + fill;
                }
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            text += line + "\n";
        }
        return text;
    }

private:
    std::vector<bool> m_rightAligned;
    std::vector<std::vector<std::string>> m_rows;
};

}  // namespace

// Every read of a project document for the map happens here, so that a change
// in how the readers hand over what they read touches this function only.
MapDocuments readMapDocuments(const std::string& projectDir) {
    MapDocuments read;
    const std::string pargenPath = platform::joinPath(projectDir, documents::kPargenFileName);
    // One reading of pargen.xml serves the GSD lengths, the Set Access bounds
    // and the stored texts, as it serves check, the image and the GSD file.
    const std::optional<documents::StoredSettings> settings = documents::readStoredSettings(pargenPath);
    read.settingsFound = settings.has_value();
    const documents::AreaSizes gsdSizes = documents::areaSizesOf(settings, 0);
    read.lengths = profibusLengths(gsdSizes.nByteOut, gsdSizes.nByteIn);
    read.setAccessSizes = documents::areaSizesOf(settings, documents::kMaxAreaSize);
    if (settings) {
        read.firstNodeIsParGen = settings->firstNodeIsParGen;
        read.nByteInText = settings->text(documents::kProfiNbIn);
        read.nByteOutText = settings->text(documents::kProfiNbOut);
    }
    const std::string sdoPath = platform::joinPath(projectDir, documents::kSdoFileName);
    if (platform::documentExists(sdoPath)) read.tables = documents::readAccessTables(sdoPath).valueOrThrow();
    return read;
}

std::optional<ModulePlace> placeOf(const ProfibusLengths& lengths, AccessArea area, std::int32_t position) {
    // The gateway's input area is what the master outputs, and the other way round.
    const GsdModule::Direction direction =
        area == AccessArea::In ? GsdModule::Direction::Output : GsdModule::Direction::Input;
    for (const GsdModule& module : gsdModules(lengths)) {
        if (module.direction == direction && position >= module.firstByte &&
            position < module.firstByte + module.size) {
            return ModulePlace{module.name(), position - module.firstByte};
        }
    }
    return std::nullopt;
}

AddressMap buildAddressMap(const std::string& project, const MapDocuments& documents) {
    AddressMap map;
    map.project = project;
    // A size that no GSD file can carry gives the master no modules for it.
    const auto usable = [](std::int32_t length) { return fitsArea(length) ? length : 0; };
    map.lengths = profibusLengths(usable(documents.lengths.inputLength), usable(documents.lengths.outputLength));
    if (!documents.settingsFound) {
        map.warnings.push_back(
            "warning: no pargen.xml: the GSD file counts both areas as 0 bytes, so no position lies inside them");
    }
    if (documents.settingsFound && !documents.firstNodeIsParGen && !documents.nByteInText && !documents.nByteOutText) {
        map.warnings.push_back(
            "warning: the first node of pargen.xml is not the element Par_Gen (a declaration, a comment or a document "
            "type comes first), so the sizes were not found: the GSD file counts both areas as 0 bytes, and check, "
            "the image and SET COMMUNICATION find none of its settings");
    } else {
        checkStoredSize(documents, documents.nByteInText, "N Byte IN", documents::kProfiNbIn, map.warnings);
        checkStoredSize(documents, documents.nByteOutText, "N Byte OUT", documents::kProfiNbOut, map.warnings);
    }
    map.in = mapArea(AccessArea::In, documents.tables.in, map.lengths, documents.setAccessSizes.nByteIn, map.warnings);
    map.out =
        mapArea(AccessArea::Out, documents.tables.out, map.lengths, documents.setAccessSizes.nByteOut, map.warnings);
    return map;
}

std::string registerText(const MappedRow& row) {
    if (!row.address) return row.addressText;
    if (*row.address < 0 || *row.address > kMaxRegister) return std::to_string(*row.address);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(*row.address));
    return std::to_string(*row.address) + " (" + hex + ")";
}

std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }, ' ');
    return text;
}

std::string positionText(const MappedPosition& position) {
    return position.value ? std::to_string(*position.value) : position.text;
}

std::string moduleText(const MappedPosition& position) {
    if (position.place) return position.place->module;
    return position.value ? "outside" : "-";
}

std::string offsetText(const MappedPosition& position) {
    return position.place ? std::to_string(position.place->offset) : "-";
}

std::string addressMapText(const AddressMap& map) {
    std::string text = "Address map of " + map.project + "\n";
    text += "GSD file: Max_Input_Len=" + std::to_string(map.lengths.inputLength) +
            " (N Byte OUT), Max_Output_Len=" + std::to_string(map.lengths.outputLength) + " (N Byte IN)\n";
    for (const AreaMap* area : {&map.in, &map.out}) {
        const bool in = area->area == AccessArea::In;
        text +=
            "\n" + area->caption + ": " + std::to_string(area->size) + " bytes of " +
            (in ? "N Byte IN, the master's output (DO modules)\n" : "N Byte OUT, the master's input (DI modules)\n");
        if (area->rows.empty()) {
            text += "(no rows)\n";
            continue;
        }
        TextTable table({{"Row", true},
                         {"Register", false},
                         {"High", true},
                         {"Module", false},
                         {"Offset", true},
                         {"Low", true},
                         {"Module", false},
                         {"Offset", true},
                         {"Mnemonic", false}});
        for (const MappedRow& row : area->rows) {
            table.add({std::to_string(row.number), registerText(row), positionText(row.high), moduleText(row.high),
                       offsetText(row.high), positionText(row.low), moduleText(row.low), offsetText(row.low),
                       row.mnemonic});
        }
        text += table.text();
    }
    if (!map.warnings.empty()) {
        text += "\n";
        for (const std::string& warning : map.warnings) text += oneLine(warning) + "\n";
    }
    return text;
}

}  // namespace outputs
