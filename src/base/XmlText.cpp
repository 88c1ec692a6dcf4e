#include "base/XmlText.h"

#include <cstdint>
#include <cstdio>

namespace base {
namespace {

constexpr std::string_view kCannotBeSaved = ", which cannot be saved";
constexpr std::string_view kNotUtf8 = ", which is not UTF-8 text and cannot be saved";

}  // namespace

bool isXmlCharacter(char32_t c) {
    if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c <= 0xD7FF) return true;
    if (c < 0xE000) return false;
    if (c <= 0xFFFD) return true;
    return c >= 0x10000 && c <= 0x10FFFF;
}

std::optional<NonXmlCharacter> firstNonXmlCharacter(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            if (!isXmlCharacter(lead)) return NonXmlCharacter{lead};
            ++i;
            continue;
        }
        // The shortest form only, and no surrogates: what is left is exactly
        // the UTF-8 that a strict reader takes.
        std::size_t length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07, least = 0x10000;
        } else {
            return NonXmlCharacter{lead, true};
        }
        if (i + length > utf8.size()) return NonXmlCharacter{lead, true};
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return NonXmlCharacter{lead, true};
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return NonXmlCharacter{lead, true};
        if (!isXmlCharacter(code)) return NonXmlCharacter{code};
        i += length;
    }
    return std::nullopt;
}

std::optional<NonXmlCharacter> firstNonXmlCharacter(std::u16string_view utf16) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            ++i;  // a pair: a character from U+10000 on, which XML holds
            continue;
        }
        if (!isXmlCharacter(unit)) return NonXmlCharacter{unit};
    }
    return std::nullopt;
}

std::string characterRefusal(std::string_view where, NonXmlCharacter character) {
    char code[16];
    if (character.notUtf8) {
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(character.code));
        return std::string(where) + " holds the byte " + code + std::string(kNotUtf8);
    }
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character.code));
    return std::string(where) + " holds the character " + code + std::string(kCannotBeSaved);
}

bool isCharacterRefusal(std::string_view message) {
    return message.ends_with(kCannotBeSaved) || message.ends_with(kNotUtf8);
}

}  // namespace base
