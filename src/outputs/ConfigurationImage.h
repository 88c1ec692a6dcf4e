#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "documents/CommunicationSettings.h"

// The configuration image: a project's pargen.xml and sdo.xml packed into the
// binary bank.bin that the gateway loads. Little-endian throughout:
//   0  4  offset of the communication block, always 8
//   4  4  offset A of the access block: 17 with pargen.xml, else 8
//   8  9  with pargen.xml: the nine settings, one byte each (low 8 bits;
//         byte 11 holds 0 for RS485 and 1 otherwise, byte 12 the protocol class)
//   A  4  with sdo.xml: input and output row counts, 2 bytes each,
//         then 4 bytes a row: register (low 16 bits), high and low position
namespace outputs {

class ConfigurationImage {
public:
    // Room of the one buffer that every build reuses.
    static constexpr std::size_t kCapacity = 100000;

    ConfigurationImage();

    // Builds the image of the project in projectDir from projectDir/pargen.xml
    // and projectDir/sdo.xml, each left out when the file does not exist.
    // Every number must be integer text. Throws std::runtime_error with the
    // user-facing text and leaves no image on the first failure: a document
    // that is not well-formed (the XML service's message), a missing element
    // or group, a row without one of its numeric attributes, a text that is
    // not integer text ("'<text>' is not a valid integer value"), or more rows
    // than the buffer holds.
    void BuildConfigurationImage(const std::string& projectDir);

    // Writes the built image to projectDir/bin/bank.bin, replacing the file
    // atomically. Creates no folder. Throws std::runtime_error ("Cannot create
    // file "<path>". <reason>") when it cannot write, and when no image has
    // been built; bank.bin then keeps its previous content.
    void WriteConfigurationImage(const std::string& projectDir) const;

    // The bytes of the last successful build; empty when there is none.
    std::span<const std::uint8_t> image() const { return {m_buffer.data(), m_length}; }

private:
    void buildCommunicationBlock(const documents::StoredSettings& settings, const std::string& pargenPath);
    void buildAccessBlock(const std::string& sdoPath);
    void putByte(std::int32_t value);
    void putWord(std::int32_t value);
    void putLong(std::size_t offset, std::uint32_t value);

    std::vector<std::uint8_t> m_buffer;
    std::size_t m_length = 0;
    std::size_t m_position = 0;
};

// Path of the image file of a project: projectDir/bin/bank.bin.
std::string configurationImagePath(const std::string& projectDir);

}  // namespace outputs
