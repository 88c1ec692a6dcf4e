#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace base {

// A failure while reading a project document that knows where it happened,
// e.g. "pargen.xml, Ser_Baud". what() stays the exact text the windows show;
// where() is for callers that report to scripts and name the place first.
class LocatedError : public std::runtime_error {
public:
    LocatedError(std::string where, const std::string& message)
        : std::runtime_error(message), m_where(std::move(where)) {}

    const std::string& where() const { return m_where; }

private:
    std::string m_where;
};

// User text as a message quotes it: whole when it is short, else its first
// limit characters and "…", cut between UTF-8 characters, so that a huge
// value (a 100 MB attribute) never floods a message box or a terminal.
inline std::string shortenedForMessage(std::string_view text, std::size_t limit = 60) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == limit) return std::string(text.substr(0, i)) + "\xE2\x80\xA6";
    }
    return std::string(text);
}

// Runs read; a failure that does not know its place yet is thrown again as a
// LocatedError at where. Answers what read answers.
template <class Read>
auto locatedAt(const std::string& where, Read&& read) -> decltype(read()) {
    try {
        return read();
    } catch (const LocatedError&) {
        throw;
    } catch (const std::exception& e) {
        throw LocatedError(where, e.what());
    }
}

}  // namespace base
