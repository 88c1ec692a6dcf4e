#include "documents/CommunicationSettings.h"

#include "documents/IntegerText.h"
#include "platform/FileSystem.h"

namespace documents {
namespace {

bool inRange(std::string_view text, std::int32_t lowest, std::int32_t highest) {
    const std::optional<std::int32_t> value = parseIntegerText(text);
    return value && *value >= lowest && *value <= highest;
}

}  // namespace

CommunicationTexts defaultCommunicationTexts() {
    return {"7", "0", "1", "1", "0", "1", "10", "244", "244"};
}

std::optional<std::string> checkCommunicationValues(std::string_view serialId, std::string_view profibusId,
                                                    std::string_view nByteIn, std::string_view nByteOut) {
    if (!inRange(serialId, 1, 255)) return kSerialIdMessage;
    if (!inRange(profibusId, 1, 125)) return kProfibusIdMessage;
    if (!inRange(nByteIn, 0, kMaxAreaSize)) return kNByteInMessage;
    if (!inRange(nByteOut, 0, kMaxAreaSize)) return kNByteOutMessage;
    return std::nullopt;
}

void writeCommunicationSettings(XmlDocument& document, const std::string& path, const CommunicationTexts& texts) {
    document.clear();
    XmlNode root = document.appendRoot(kPargenRoot);
    const std::array<const std::string*, 9> values = texts.inOrder();
    for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
        root.appendElement(kPargenElements[i]).setText(*values[i]);
    }
    document.save(path);
}

void readStoredCommunicationTexts(XmlDocument& document, const std::string& path, const StoredTextSink& take) {
    const CommunicationTexts defaults = defaultCommunicationTexts();
    const std::array<const std::string*, 9> fallbacks = defaults.inOrder();
    if (!platform::fileExists(path)) {
        for (std::size_t i = 0; i < kPargenElements.size(); ++i) take(kPargenElements[i], *fallbacks[i]);
        return;
    }
    document.load(path);
    const XmlNode root = document.firstNode();
    // The serial elements must be there (lists and codes need a number, the
    // ID any text); the PROFIBUS ones have defaults.
    for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
        const std::string_view name = kPargenElements[i];
        std::string text;
        if (i < 5) {
            text = requiredChild(root, name, path).text();
            if (name != kSerId) integerText(text);
        } else {
            const XmlNode element = root.childElement(name);
            text = element ? element.text() : *fallbacks[i];
        }
        take(name, text);
    }
}

CommunicationTexts readStoredCommunicationTexts(XmlDocument& document, const std::string& path) {
    CommunicationTexts texts;
    const std::array<std::string*, 9> fields = texts.inOrder();
    std::size_t next = 0;
    readStoredCommunicationTexts(document, path,
                                 [&](std::string_view, const std::string& text) { *fields[next++] = text; });
    return texts;
}

AreaSizes readAreaSizes(XmlDocument& document, const std::string& pargenPath, std::int32_t fallback) {
    if (!platform::fileExists(pargenPath)) return {fallback, fallback};
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
