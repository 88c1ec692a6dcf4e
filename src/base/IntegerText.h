#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How the program reads a number from text (a grid cell, an element's text, an
// attribute): optional leading blanks, one optional sign, then decimal digits,
// or hexadecimal digits in either case after "$", "x", "X", "0x" or "0X".
// Nothing may follow, an empty text is no number, and the value must fit a
// signed 32-bit integer. Documents keep what the user typed ("$14" stays
// "$14"), so every reader converts again.
namespace base {

// The value, or nothing when the text is not integer text.
std::optional<std::int32_t> parseIntegerText(std::string_view text);

// Strict reading: throws std::runtime_error "'<text>' is not a valid integer
// value", a long text cut short (shortenedForMessage).
std::int32_t integerText(std::string_view text);

// Reading with a default: fallback when the text is not integer text.
std::int32_t integerTextOr(std::string_view text, std::int32_t fallback);

// Whether the text is integer text with a value from lowest to highest.
bool integerTextInRange(std::string_view text, std::int32_t lowest, std::int32_t highest);

// The message of a failed strict reading.
std::string notAnIntegerMessage(std::string_view text);

}  // namespace base
