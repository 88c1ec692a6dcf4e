#include "canopen/PdoAccess.h"

#include <cstdio>
#include <exception>

#include "base/IntegerText.h"
#include "base/XmlDocument.h"
#include "documents/AccessTables.h"
#include "platform/FileSystem.h"

namespace canopen {
namespace {

// The texts that name a table in its check messages. The fourth message of the
// input table names "SDO in Read", as the users know it.
struct TableTexts {
    const char* page;
    const char* cobIdMustBe;
    const char* sumPage;
    const char* areaName;
};
constexpr TableTexts kInputTexts{kPdoInputPage, "CANOpen Cob-Id must", "ProfiBus IN --> SDO in Read", "N BYTE IN"};
constexpr TableTexts kOutputTexts{kPdoOutputPage, "CANOpen Cob-Id  must", kPdoOutputPage, "N BYTE OUT"};

std::optional<std::string> validateTable(const std::vector<PdoAccessRow>& rows, std::int32_t size,
                                         const TableTexts& texts) {
    const std::size_t run = runLength(rows, 0, kPdoAccessRows);
    for (std::size_t r = 0; r < run; ++r) {
        const std::string prefix = "Error row " + std::to_string(r + 1) + "!! [";
        const std::string table = prefix + texts.page + "] ";
        const std::int32_t cobId = base::integerTextOr(rows[r][0], -1);
        const std::int32_t dimension = base::integerTextOr(rows[r][1], -1);
        const std::int32_t position = base::integerTextOr(rows[r][2], -1);
        if (cobId < 1 || cobId > 2047) {
            return table + texts.cobIdMustBe + " be between 0x001 and 0x7FF. ";
        }
        if (dimension < 1 || dimension > 8) return table + "CANOpen Dimension must be between 1 and 8. ";
        if (position < 0 || position > size) {
            return table + "Address Profibus must be between 0 and " + std::to_string(size) + ". ";
        }
        if (static_cast<std::int64_t>(position) + dimension > size) {
            return prefix + texts.sumPage + "] Address Profibus plus Dimension is major of " + texts.areaName + " (" +
                   std::to_string(size) + "). ";
        }
    }
    return std::nullopt;
}

void readGroup(const base::XmlNode& root, const char* group, const std::string& path, std::vector<PdoAccessRow>& rows,
               std::size_t& leftOut) {
    const base::XmlNode groupNode = base::requiredChild(root, group, path);
    std::size_t k = 1;
    for (base::XmlNode child = groupNode.child(0); child; child = child.nextSibling(), ++k) {
        if (rows.size() == kPdoAccessRows) {
            ++leftOut;
            continue;
        }
        PdoAccessRow row;
        for (std::size_t i = 0; i < kPdoValueColumns; ++i) {
            row[i] = documents::rowAttribute(child, kPdoAttributes[i], group, k, path);
        }
        row[0] = cobIdDisplay(row[0]);
        rows.push_back(std::move(row));
    }
}

void appendGroup(base::XmlNode& root, const char* group, const std::vector<PdoAccessRow>& rows) {
    base::XmlNode groupNode = root.appendElement(group);
    const std::size_t run = runLength(rows, 0, kPdoAccessRows);
    for (std::size_t r = 0; r < run; ++r) {
        base::XmlNode row = groupNode.appendElement("row");
        for (std::size_t i = 0; i < kPdoValueColumns; ++i) row.setAttribute(kPdoAttributes[i], rows[r][i]);
    }
}

}  // namespace

documents::AreaSizes readPdoAreaSizes(const std::string& pargenPath) {
    return documents::readAreaSizes(pargenPath, kPdoDefaultAreaSize);
}

std::string cobIdDisplay(const std::string& text) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03X", static_cast<std::uint32_t>(base::integerTextOr(text, 0)));
    return std::string("$") + digits;
}

base::Reading<PdoAccessTables> loadPdoAccess(const std::string& path) {
    base::Reading<PdoAccessTables> reading;
    if (!platform::fileExists(path)) return reading;
    try {
        base::XmlDocument document;
        document.load(path);
        const base::XmlNode root = document.firstNode();
        readGroup(root, kPdoInputGroup, path, reading.value.first, reading.value.leftOut);
        readGroup(root, kPdoOutputGroup, path, reading.value.second, reading.value.leftOut);
    } catch (const std::exception& e) {
        reading.failure = e.what();
    }
    return reading;
}

std::optional<std::string> ValidatePdoTables(const PdoAccessTables& tables, documents::AreaSizes sizes) {
    if (auto message = validateTable(tables.first, sizes.nByteIn, kInputTexts)) return message;
    return validateTable(tables.second, sizes.nByteOut, kOutputTexts);
}

void savePdoAccess(const std::string& path, const PdoAccessTables& tables) {
    base::XmlDocument document;
    base::XmlNode root = document.appendRoot(kPdoRoot);
    appendGroup(root, kPdoInputGroup, tables.first);
    appendGroup(root, kPdoOutputGroup, tables.second);
    document.save(path);
}

}  // namespace canopen
