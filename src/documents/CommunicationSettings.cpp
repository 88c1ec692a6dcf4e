#include "documents/CommunicationSettings.h"

#include "documents/IntegerText.h"
#include "documents/XmlDocument.h"
#include "platform/FileSystem.h"

namespace documents {
namespace {}  // namespace

CommunicationTexts defaultCommunicationTexts() {
    return {"7", "0", "1", "1", "0", "1", "10", "244", "244"};
}

std::optional<std::string> checkCommunicationValues(std::string_view serialId, std::string_view profibusId,
                                                    std::string_view nByteIn, std::string_view nByteOut) {
    if (!integerTextInRange(serialId, 1, 255)) return kSerialIdMessage;
    if (!integerTextInRange(profibusId, 1, 125)) return kProfibusIdMessage;
    if (!integerTextInRange(nByteIn, 0, kMaxAreaSize)) return kNByteInMessage;
    if (!integerTextInRange(nByteOut, 0, kMaxAreaSize)) return kNByteOutMessage;
    return std::nullopt;
}

void writeCommunicationSettings(const std::string& path, const CommunicationTexts& texts) {
    XmlDocument document;
    XmlNode root = document.appendRoot(kPargenRoot);
    const std::array<const std::string*, 9> values = texts.inOrder();
    for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
        root.appendElement(kPargenElements[i]).setText(*values[i]);
    }
    document.save(path);
}

Reading<StoredCommunicationTexts> readStoredCommunicationTexts(const std::string& path) {
    Reading<StoredCommunicationTexts> reading;
    StoredCommunicationTexts& stored = reading.value;
    if (!platform::fileExists(path)) {
        stored.count = kPargenElements.size();
        return reading;
    }
    const std::array<std::string*, 9> fields = stored.texts.inOrder();
    try {
        XmlDocument document;
        document.load(path);
        const XmlNode root = document.firstNode();
        // The serial elements must be there (lists and codes need a number,
        // the ID any text); the PROFIBUS ones have defaults.
        for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
            const std::string_view name = kPargenElements[i];
            if (i < 5) {
                std::string text = requiredChild(root, name, path).text();
                if (name != kSerId) integerText(text);
                *fields[i] = std::move(text);
            } else if (const XmlNode element = root.childElement(name)) {
                *fields[i] = element.text();
            }
            stored.count = i + 1;
        }
    } catch (const std::exception& e) {
        reading.failure = e.what();
    }
    return reading;
}

AreaSizes readAreaSizes(const std::string& pargenPath, std::int32_t fallback) {
    if (!platform::fileExists(pargenPath)) return {fallback, fallback};
    XmlDocument document;
    document.load(pargenPath);
    const XmlNode root = document.firstNode();
    const auto size = [&](const char* name) {
        const XmlNode element = root.childElement(name);
        return element ? integerTextOr(element.text(), fallback) : fallback;
    };
    const std::int32_t nByteIn = size(kProfiNbIn);
    return {nByteIn, size(kProfiNbOut)};
}

}  // namespace documents
