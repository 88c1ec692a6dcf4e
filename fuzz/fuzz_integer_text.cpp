// Integer text on any bytes: the three readings agree, and a value read gives
// itself back when written in decimal or in hexadecimal.
// seeds: fuzz/seeds/integer_text/*

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/IntegerText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> value = base::parseIntegerText(text);
    if (base::integerTextOr(text, 7) != (value ? *value : 7)) std::abort();
    try {
        if (base::integerText(text) != value.value_or(-1) || !value) std::abort();
    } catch (const std::runtime_error& e) {
        // what() ends at the first NUL of the text, as any C string would.
        if (value || std::strcmp(e.what(), base::notAnIntegerMessage(text).c_str()) != 0) std::abort();
    }
    if (!value) return 0;
    if (base::parseIntegerText(std::to_string(*value)) != value) std::abort();
    char hex[16];
    const std::int64_t wide = *value;
    std::snprintf(hex, sizeof hex, "%s$%llX", wide < 0 ? "-" : "",
                  static_cast<unsigned long long>(wide < 0 ? -wide : wide));
    if (base::parseIntegerText(hex) != value) std::abort();
    return 0;
}
