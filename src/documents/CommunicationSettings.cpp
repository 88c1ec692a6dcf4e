#include "documents/CommunicationSettings.h"

#include "documents/IntegerText.h"
#include "platform/FileSystem.h"

namespace documents {
namespace {

bool inRange(std::string_view text, std::int32_t lowest, std::int32_t highest) {
    const std::optional<std::int32_t> value = parseIntegerText(text);
    return value && *value >= lowest && *value <= highest;
}

// The element's text, or fallback when the element is missing.
std::string textOr(const XmlNode& root, const char* name, const std::string& fallback) {
    const XmlNode element = root.childElement(name);
    return element ? element.text() : fallback;
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
    const std::array<const std::string*, 9> values = {&texts.Ser_Baud,   &texts.Ser_Par,     &texts.Ser_ID,
                                                      &texts.Ser_Type,   &texts.Ser_Prot,    &texts.Profi_ID,
                                                      &texts.Profi_Baud, &texts.Profi_NB_IN, &texts.Profi_NB_OUT};
    for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
        root.appendElement(kPargenElements[i]).setText(*values[i]);
    }
    document.save(path);
}

CommunicationTexts readStoredCommunicationTexts(XmlDocument& document, const std::string& path) {
    CommunicationTexts texts = defaultCommunicationTexts();
    if (!platform::fileExists(path)) return texts;
    document.load(path);
    const XmlNode root = document.firstNode();

    // The window stops at the first of these that it cannot show, so they are
    // looked at in its order: lists and codes need a number, the ID any text.
    const auto required = [&](const char* name, bool integer) {
        std::string text = requiredChild(root, name, path).text();
        if (integer) integerText(text);
        return text;
    };
    texts.Ser_Baud = required(kSerBaud, true);
    texts.Ser_Par = required(kSerPar, true);
    texts.Ser_ID = required(kSerId, false);
    texts.Ser_Type = required(kSerType, true);
    texts.Ser_Prot = required(kSerProt, true);
    texts.Profi_ID = textOr(root, kProfiId, texts.Profi_ID);
    texts.Profi_Baud = textOr(root, kProfiBaud, texts.Profi_Baud);
    texts.Profi_NB_IN = textOr(root, kProfiNbIn, texts.Profi_NB_IN);
    texts.Profi_NB_OUT = textOr(root, kProfiNbOut, texts.Profi_NB_OUT);
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
