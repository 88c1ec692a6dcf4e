#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// Which characters an XML 1.0 document can hold. The document service writes
// any other character as a character reference (&#1;) that no strict reader,
// this program's included, accepts again: a project would no longer open. So
// every text a window saves, and every value an import takes, is checked
// here first and refused with a message that says where it stands.
namespace base {

// Whether c may stand in an XML 1.0 document: tab, line feed, carriage
// return, U+0020 to U+D7FF, U+E000 to U+FFFD and U+10000 to U+10FFFF.
bool isXmlCharacter(char32_t c);

// The first character of a text that XML cannot hold: a code point (a lone
// surrogate is its own code), or a byte that does not begin or continue UTF-8
// text (a surrogate encoded in UTF-8 is such bytes).
struct NonXmlCharacter {
    char32_t code;
    bool notUtf8 = false;
};

// The first such character of utf8, or nothing. Reads nothing else.
std::optional<NonXmlCharacter> firstNonXmlCharacter(std::string_view utf8);
// The same for UTF-16 text, as the windows hold it.
std::optional<NonXmlCharacter> firstNonXmlCharacter(std::u16string_view utf16);

// "<where> holds the character U+0001, which cannot be saved" (for bytes
// that are not UTF-8: "<where> holds the byte 0xFF, which is not UTF-8 text
// and cannot be saved"), without a full stop, for the caller's own frame.
std::string characterRefusal(std::string_view where, NonXmlCharacter character);

// Whether a message is one of characterRefusal's, for a window that shows
// these refusals of an import and drops its other failures.
bool isCharacterRefusal(std::string_view message);

// A text that XML cannot hold, refused; what() is the user-facing message.
class CharacterRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace base
