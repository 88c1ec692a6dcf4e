#include "documents/CommunicationSettings.h"

#include <stdexcept>

#include "base/IntegerText.h"
#include "base/LocatedError.h"
#include "base/XmlDocument.h"
#include "platform/FileSystem.h"

namespace documents {
CommunicationTexts defaultCommunicationTexts() {
    return {"7", "0", "1", "1", "0", "1", "10", "244", "244"};
}

std::optional<std::string> checkCommunicationValues(std::string_view serialId, std::string_view profibusId,
                                                    std::string_view nByteIn, std::string_view nByteOut) {
    if (!base::integerTextInRange(serialId, 1, 255)) return kSerialIdMessage;
    if (!base::integerTextInRange(profibusId, 1, 125)) return kProfibusIdMessage;
    if (!base::integerTextInRange(nByteIn, 0, kMaxAreaSize)) return kNByteInMessage;
    if (!base::integerTextInRange(nByteOut, 0, kMaxAreaSize)) return kNByteOutMessage;
    return std::nullopt;
}

void writeCommunicationSettings(const std::string& path, const CommunicationTexts& texts) {
    base::XmlDocument document;
    base::XmlNode root = document.appendRoot(kPargenRoot);
    const std::array<const std::string*, 9> values = texts.inOrder();
    for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
        root.appendElement(kPargenElements[i]).setText(*values[i]);
    }
    document.save(path);
}

std::optional<std::string> checkCommunicationCodes(const CommunicationTexts& texts) {
    const auto refused = [](const char* element, std::string_view list, const std::string& text) {
        return "Error!! " + std::string(element) + " must be a code of its list: " + std::string(list) + " ('" +
               base::shortenedForMessage(text) + "' is stored). ";
    };
    const auto listed = [](const std::string& text, std::int32_t highest) {
        const std::optional<std::int32_t> code = base::parseIntegerText(text);
        return code && *code >= -1 && *code <= highest;
    };
    if (!listed(texts.Ser_Baud, 7)) return refused(kSerBaud, "0 to 7, or -1 for none", texts.Ser_Baud);
    if (!listed(texts.Ser_Par, 2)) return refused(kSerPar, "0 to 2, or -1 for none", texts.Ser_Par);
    if (!base::parseIntegerText(texts.Ser_Type))
        return refused(kSerType, "1 for RS485, any other number RS232", texts.Ser_Type);
    if (!base::parseIntegerText(texts.Ser_Prot))
        return refused(kSerProt, "0 to 4, any other number ASCII", texts.Ser_Prot);
    if (!texts.Profi_Baud.empty() && base::parseIntegerText(texts.Profi_Baud) != 10)
        return refused(kProfiBaud, "10 (Auto Baudrate)", texts.Profi_Baud);
    return std::nullopt;
}

const std::optional<std::string>& StoredSettings::text(std::string_view element) const {
    for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
        if (element == kPargenElements[i]) return texts[i];
    }
    static const std::optional<std::string> none;
    return none;
}

std::optional<StoredSettings> readStoredSettings(const std::string& pargenPath) {
    if (!platform::documentExists(pargenPath)) return std::nullopt;
    base::XmlDocument document;
    document.load(pargenPath);
    const base::XmlNode root = document.firstNode();
    StoredSettings settings;
    settings.firstNodeIsParGen = root.isElement() && root.name() == kPargenRoot;
    for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
        if (const base::XmlNode element = root.childElement(kPargenElements[i])) settings.texts[i] = element.text();
    }
    return settings;
}

base::Reading<StoredCommunicationTexts> readStoredCommunicationTexts(const std::string& path) {
    base::Reading<StoredCommunicationTexts> reading;
    StoredCommunicationTexts& stored = reading.value;
    const std::array<std::string*, 9> fields = stored.texts.inOrder();
    try {
        const std::optional<StoredSettings> settings = readStoredSettings(path);
        if (!settings) {
            stored.count = kPargenElements.size();
            return reading;
        }
        // The serial elements must be there (lists and codes need a number,
        // the ID any text); the PROFIBUS ones have defaults.
        for (std::size_t i = 0; i < kPargenElements.size(); ++i) {
            const std::string_view name = kPargenElements[i];
            const std::optional<std::string>& text = settings->texts[i];
            if (i < 5) {
                if (!text) {
                    throw std::runtime_error("Element \"" + std::string(name) + "\" not found in \"" + path + "\"");
                }
                if (name != kSerId) base::integerText(*text);
                *fields[i] = *text;
            } else if (text) {
                *fields[i] = *text;
            }
            stored.count = i + 1;
        }
    } catch (const std::exception& e) {
        reading.failure = e.what();
    }
    return reading;
}

AreaSizes areaSizesOf(const std::optional<StoredSettings>& settings, std::int32_t fallback) {
    if (!settings) return {fallback, fallback};
    const auto size = [&](const char* name) {
        const std::optional<std::string>& text = settings->text(name);
        return text ? base::integerTextOr(*text, fallback) : fallback;
    };
    const std::int32_t nByteIn = size(kProfiNbIn);
    return {nByteIn, size(kProfiNbOut)};
}

AreaSizes readAreaSizes(const std::string& pargenPath, std::int32_t fallback) {
    return areaSizesOf(readStoredSettings(pargenPath), fallback);
}

}  // namespace documents
