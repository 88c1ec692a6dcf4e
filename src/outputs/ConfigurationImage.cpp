#include "outputs/ConfigurationImage.h"

#include <stdexcept>
#include <string_view>

#include "documents/AccessTables.h"
#include "documents/CommunicationSettings.h"
#include "documents/IntegerText.h"
#include "documents/LocatedError.h"
#include "platform/FileSystem.h"

namespace outputs {
namespace {

using documents::XmlNode;

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

// The document is released after every block, also when the block fails.
class ReleaseAfterUse {
public:
    explicit ReleaseAfterUse(documents::XmlDocument& document) : m_document(document) {}
    ~ReleaseAfterUse() { m_document.clear(); }
    ReleaseAfterUse(const ReleaseAfterUse&) = delete;
    ReleaseAfterUse& operator=(const ReleaseAfterUse&) = delete;

private:
    documents::XmlDocument& m_document;
};

}  // namespace

ConfigurationImage::ConfigurationImage() : m_buffer(kCapacity) {}

void ConfigurationImage::BuildConfigurationImage(const std::string& projectDir) {
    // A failed build must not leave a half image that a later write would store.
    m_length = 0;
    putLong(0, kCommunicationOffset);
    m_position = kCommunicationOffset;

    const std::string pargenPath = platform::joinPath(projectDir, documents::kPargenFileName);
    if (platform::fileExists(pargenPath)) buildCommunicationBlock(pargenPath);
    putLong(4, static_cast<std::uint32_t>(m_position));

    const std::string sdoPath = platform::joinPath(projectDir, documents::kSdoFileName);
    if (platform::fileExists(sdoPath)) buildAccessBlock(sdoPath);

    m_length = m_position;
}

void ConfigurationImage::buildCommunicationBlock(const std::string& pargenPath) {
    ReleaseAfterUse release(m_document);
    const std::string file = documents::kPargenFileName;
    documents::locatedAt(file, [&] { m_document.load(pargenPath); });
    const XmlNode root = m_document.firstNode();
    for (const char* name : documents::kPargenElements) {
        const std::int32_t value = documents::locatedAt(file + ", " + name, [&] {
            return documents::integerText(documents::requiredChild(root, name, pargenPath).text());
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
    ReleaseAfterUse release(m_document);
    const std::string file = documents::kSdoFileName;
    documents::locatedAt(file, [&] { m_document.load(sdoPath); });
    const XmlNode root = m_document.firstNode();
    // Both groups are found before the counts go in, so a missing one stops
    // the build before any of the block is written.
    const auto group = [&](const char* name) {
        return documents::locatedAt(file + ", " + name, [&] { return documents::requiredChild(root, name, sdoPath); });
    };
    const XmlNode input = group(documents::kInputGroup);
    const XmlNode output = group(documents::kOutputGroup);
    const std::size_t inputRows = input.childCount();
    const std::size_t outputRows = output.childCount();

    const std::size_t room = (m_buffer.size() - m_position - 4) / kEntrySize;
    if (inputRows + outputRows > room) {
        throw documents::LocatedError(file, "\"" + sdoPath + "\" holds " + std::to_string(inputRows + outputRows) +
                                                " access rows; the configuration image has room for at most " +
                                                std::to_string(room) + ".");
    }
    putWord(static_cast<std::int32_t>(inputRows));
    putWord(static_cast<std::int32_t>(outputRows));

    const auto putRows = [&](const XmlNode& group, const char* groupName) {
        std::size_t row = 1;
        for (XmlNode node = group.child(0); node; node = node.nextSibling(), ++row) {
            const auto number = [&](const char* attribute) {
                return documents::locatedAt(file + ", " + groupName + " row " + std::to_string(row) + ", " + attribute,
                                            [&] {
                                                return documents::integerText(
                                                    documents::rowAttribute(node, attribute, groupName, row, sdoPath));
                                            });
            };
            putWord(number(documents::kAddressAttribute));
            putByte(number(documents::kHighAttribute));
            putByte(number(documents::kLowAttribute));
        }
    };
    putRows(input, documents::kInputGroup);
    putRows(output, documents::kOutputGroup);
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
