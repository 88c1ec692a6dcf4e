#pragma once

#include <stdexcept>
#include <string>

namespace documents {

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

}  // namespace documents
