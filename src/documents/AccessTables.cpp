#include "documents/AccessTables.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "base/IntegerText.h"

namespace documents {
namespace {

void readGroup(const base::XmlNode& group, const char* groupName, const std::string& path, AccessReadingRules rules,
               std::vector<AccessRow>& rows) {
    std::size_t row = 1;
    for (base::XmlNode node = group.child(0); node && row <= rules.rowLimit; node = node.nextSibling(), ++row) {
        AccessRow access;
        access.address = rowAttribute(node, kAddressAttribute, groupName, row, path);
        access.high = rowAttribute(node, kHighAttribute, groupName, row, path);
        access.low = rowAttribute(node, kLowAttribute, groupName, row, path);
        if (rules.mnemonicRequired || node.attribute(kMnemonicAttribute)) {
            access.mnemonic = rowAttribute(node, kMnemonicAttribute, groupName, row, path);
        }
        rows.push_back(std::move(access));
    }
}

std::optional<std::string> checkRowCount(const std::vector<AccessRow>& rows, const char* caption) {
    if (rows.size() <= kMaxAccessRows) return std::nullopt;
    return "Error!! [" + std::string(caption) + "] " + std::to_string(rows.size()) +
           " rows are stored; a table holds at most " + std::to_string(kMaxAccessRows) + ". ";
}

std::optional<std::string> validateTable(const std::vector<AccessRow>& rows, const char* caption,
                                         std::int32_t areaSize) {
    const std::size_t count = accessRunLength(rows);
    for (std::size_t i = 0; i < count; ++i) {
        const AccessRow& access = rows[i];
        const std::string prefix = "Error row " + std::to_string(i + 1) + "!! [" + caption + "] ";
        const std::string bound = std::to_string(areaSize) + ". ";
        if (!base::integerTextInRange(access.address, 0, 65535))
            return prefix + "Address Register must be between 0 and 65535. ";
        if (!base::integerTextInRange(access.high, 0, areaSize))
            return prefix + "Address Profibus High must be between 0 and " + bound;
        if (!base::integerTextInRange(access.low, 0, areaSize))
            return prefix + "Address Profibus Low must be between 0 and " + bound;
    }
    return std::nullopt;
}

void writeGroup(base::XmlNode& root, const char* groupName, const std::vector<AccessRow>& rows) {
    base::XmlNode group = root.appendElement(groupName);
    const std::size_t count = accessRunLength(rows);
    for (std::size_t i = 0; i < count; ++i) {
        base::XmlNode row = group.appendElement(kRowElement);
        row.setAttribute(kAddressAttribute, rows[i].address);
        row.setAttribute(kHighAttribute, rows[i].high);
        row.setAttribute(kLowAttribute, rows[i].low);
        row.setAttribute(kMnemonicAttribute, rows[i].mnemonic);
    }
}

}  // namespace

std::size_t accessRunLength(const std::vector<AccessRow>& rows) {
    const auto end = rows.begin() + static_cast<std::ptrdiff_t>(std::min(rows.size(), kMaxAccessRows));
    return static_cast<std::size_t>(
        std::find_if(rows.begin(), end, [](const AccessRow& row) { return row.address.empty(); }) - rows.begin());
}

std::string rowAttribute(const base::XmlNode& rowNode, std::string_view attribute, std::string_view group,
                         std::size_t row, std::string_view path) {
    if (std::optional<std::string> value = rowNode.attribute(attribute)) return *std::move(value);
    throw std::runtime_error("Row " + std::to_string(row) + " of \"" + std::string(group) + "\" in \"" +
                             std::string(path) + "\" has no attribute \"" + std::string(attribute) + "\"");
}

base::Reading<AccessTables> readAccessTables(const std::string& sdoPath, AccessReadingRules rules) {
    base::Reading<AccessTables> reading;
    try {
        base::XmlDocument document;
        document.load(sdoPath);
        const base::XmlNode root = document.firstNode();
        // The output group is looked up only after the input rows are in, so a
        // document without it still shows its input table.
        readGroup(base::requiredChild(root, kInputGroup, sdoPath), kInputGroup, sdoPath, rules, reading.value.in);
        readGroup(base::requiredChild(root, kOutputGroup, sdoPath), kOutputGroup, sdoPath, rules, reading.value.out);
    } catch (const std::exception& e) {
        reading.failure = e.what();
    }
    return reading;
}

std::optional<std::string> validateAccessTables(const AccessTables& tables, AreaSizes sizes) {
    if (auto message = validateTable(tables.in, kInputPageCaption, sizes.nByteIn)) return message;
    return validateTable(tables.out, kOutputPageCaption, sizes.nByteOut);
}

std::optional<std::string> checkStoredAccessTables(const AccessTables& tables, AreaSizes sizes) {
    if (auto message = checkRowCount(tables.in, kInputPageCaption)) return message;
    if (auto message = validateTable(tables.in, kInputPageCaption, sizes.nByteIn)) return message;
    if (auto message = checkRowCount(tables.out, kOutputPageCaption)) return message;
    return validateTable(tables.out, kOutputPageCaption, sizes.nByteOut);
}

void writeAccessTables(const std::string& sdoPath, const AccessTables& tables) {
    base::XmlDocument document;
    base::XmlNode root = document.appendRoot(kSdoRoot);
    writeGroup(root, kInputGroup, tables.in);
    writeGroup(root, kOutputGroup, tables.out);
    document.save(sdoPath);
}

}  // namespace documents
