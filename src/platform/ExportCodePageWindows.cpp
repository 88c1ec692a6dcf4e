#include <algorithm>
#include <iterator>

#include "platform/ExportCodePage.h"

namespace platform {

void appendInExportCodePage(std::string& out, std::string_view utf8) {
    // The characters of bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
    static const char16_t specials[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                          0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
        i += length;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        const auto special = std::find(std::begin(specials), std::end(specials), code);
        out += special != std::end(specials) && code != 0 ? static_cast<char>(0x80 + (special - specials)) : '?';
    }
}

}  // namespace platform
