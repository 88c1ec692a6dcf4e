#include "outputs/ConfigurationImage.h"

#include <optional>
#include <stdexcept>
#include <string_view>

#include "base/IntegerText.h"
#include "base/LocatedError.h"
#include "documents/AccessTables.h"
#include "documents/CommunicationSettings.h"
#include "platform/FileSystem.h"

namespace outputs {
namespace {

constexpr std::size_t kCommunicationOffset = 8;
constexpr std::size_t kEntrySize = 4;

// Every row that fits the buffer also fits a 16-bit count.
static_assert((ConfigurationImage::kCapacity - kCommunicationOffset - 4) / kEntrySize <= 0xFFFF);

// The gateway knows two protocol classes: 1 for the ASCII framings (Modbus
// ASCII, ASCII), 0 for the binary ones. Like every byte of the block it looks
// at the low 8 bits of the stored value.
std::uint8_t protocolClass(std::int32_t serProt) {
    switch (documents::serialProtocolOf(serProt & 0xFF)) {
        case documents::SerialProtocol::ModbusRtu:
        case documents::SerialProtocol::Jbus:
        case documents::SerialProtocol::Binary: return 0;
        case documents::SerialProtocol::ModbusAscii:
        case documents::SerialProtocol::Ascii: break;
    }
    return 1;
}

// The gateway's interface flag means RS232, the document's code RS485.
std::uint8_t interfaceFlag(std::int32_t serType) {
    return documents::serialLineOf(serType & 0xFF) == documents::SerialLine::Rs485 ? 0 : 1;
}

}  // namespace

ConfigurationImage::ConfigurationImage() : m_buffer(kCapacity) {}

void ConfigurationImage::BuildConfigurationImage(const std::string& projectDir) {
    // A failed build must not leave a half image that a later write would store.
    m_length = 0;
    putLong(0, kCommunicationOffset);
    m_position = kCommunicationOffset;

    const std::string pargenPath = platform::joinPath(projectDir, documents::kPargenFileName);
    const std::optional<documents::StoredSettings> settings =
        base::locatedAt(documents::kPargenFileName, [&] { return documents::readStoredSettings(pargenPath); });
    if (settings) buildCommunicationBlock(*settings, pargenPath);
    putLong(4, static_cast<std::uint32_t>(m_position));

    const std::string sdoPath = platform::joinPath(projectDir, documents::kSdoFileName);
    if (base::locatedAt(documents::kSdoFileName, [&] { return platform::documentExists(sdoPath); })) {
        buildAccessBlock(sdoPath);
    }

    m_length = m_position;
}

void ConfigurationImage::buildCommunicationBlock(const documents::StoredSettings& settings,
                                                 const std::string& pargenPath) {
    const std::string file = documents::kPargenFileName;
    for (std::size_t i = 0; i < documents::kPargenElements.size(); ++i) {
        const char* name = documents::kPargenElements[i];
        const std::int32_t value = base::locatedAt(file + ", " + name, [&] {
            const std::optional<std::string>& text = settings.texts[i];
            if (!text) {
                throw std::runtime_error("Element \"" + std::string(name) + "\" not found in \"" + pargenPath + "\"");
            }
            return base::integerText(*text);
        });
        const std::string_view element(name);
        if (element == documents::kSerType) {
            putByte(interfaceFlag(value));
        } else if (element == documents::kSerProt) {
            putByte(protocolClass(value));
        } else {
            putByte(value);
        }
    }
}

void ConfigurationImage::buildAccessBlock(const std::string& sdoPath) {
    const std::string file = documents::kSdoFileName;
    // The rows come from the reader that check uses, so that what check
    // passes is what is packed: every stored row, the Mnemonic not needed.
    const base::Reading<documents::AccessTables> reading = documents::readAccessTables(sdoPath, documents::kImageRows);
    if (reading.failure) throw base::LocatedError(file, *reading.failure);
    const documents::AccessTables& tables = reading.value;

    const std::size_t room = (m_buffer.size() - m_position - 4) / kEntrySize;
    if (tables.in.size() + tables.out.size() > room) {
        throw base::LocatedError(
            file, "\"" + sdoPath + "\" holds " + std::to_string(tables.in.size() + tables.out.size()) +
                      " access rows; the configuration image has room for at most " + std::to_string(room) + ".");
    }
    putWord(static_cast<std::int32_t>(tables.in.size()));
    putWord(static_cast<std::int32_t>(tables.out.size()));

    const auto putRows = [&](const std::vector<documents::AccessRow>& rows, const char* groupName) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto number = [&](const char* attribute, const std::string& text) {
                return base::locatedAt(file + ", " + groupName + " row " + std::to_string(i + 1) + ", " + attribute,
                                       [&] { return base::integerText(text); });
            };
            putWord(number(documents::kAddressAttribute, rows[i].address));
            putByte(number(documents::kHighAttribute, rows[i].high));
            putByte(number(documents::kLowAttribute, rows[i].low));
        }
    };
    putRows(tables.in, documents::kInputGroup);
    putRows(tables.out, documents::kOutputGroup);
}

void ConfigurationImage::putByte(std::int32_t value) {
    m_buffer[m_position++] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFF);
}

void ConfigurationImage::putWord(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    m_buffer[m_position++] = static_cast<std::uint8_t>(bits & 0xFF);
    m_buffer[m_position++] = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
}

void ConfigurationImage::putLong(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) m_buffer[offset + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

void ConfigurationImage::WriteConfigurationImage(const std::string& projectDir) const {
    const std::string path = configurationImagePath(projectDir);
    if (m_length == 0) throw std::runtime_error("No configuration image has been built for \"" + path + "\"");
    platform::writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(m_buffer.data()), m_length));
}

std::string configurationImagePath(const std::string& projectDir) {
    return platform::joinPath(platform::joinPath(projectDir, "bin"), "bank.bin");
}

}  // namespace outputs
