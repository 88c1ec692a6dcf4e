#include "base/IntegerText.h"

#include <stdexcept>

#include "base/LocatedError.h"

namespace base {

std::optional<std::int32_t> parseIntegerText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;

    // The magnitude may reach 2^31 only for a negative number.
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string notAnIntegerMessage(std::string_view text) {
    return "'" + shortenedForMessage(text) + "' is not a valid integer value";
}

std::int32_t integerText(std::string_view text) {
    if (const auto value = parseIntegerText(text)) return *value;
    throw std::runtime_error(notAnIntegerMessage(text));
}

std::int32_t integerTextOr(std::string_view text, std::int32_t fallback) {
    return parseIntegerText(text).value_or(fallback);
}

bool integerTextInRange(std::string_view text, std::int32_t lowest, std::int32_t highest) {
    const std::optional<std::int32_t> value = parseIntegerText(text);
    return value && *value >= lowest && *value <= highest;
}

}  // namespace base
