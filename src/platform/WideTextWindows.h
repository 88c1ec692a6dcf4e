#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The program keeps its texts in UTF-8; Windows takes paths and command lines
// in UTF-16 through its wide-character calls. These convert at that border.
namespace platform::windows {

// UTF-8 to UTF-16; a byte sequence that is not UTF-8 becomes U+FFFD.
std::wstring widen(std::string_view utf8);
// UTF-8 to UTF-16 for a parameter string that may mix UTF-8 (paths, names)
// with single bytes of code page 1252 (the flasher's pilcrow 0xB6): a byte
// that does not belong to a well-formed UTF-8 sequence is read as the
// Windows-1252 character it stands for.
std::wstring widenParameters(std::string_view text);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string narrow(std::wstring_view utf16);
// UTF-8 to the ANSI code page of the system (CP_ACP); a character the code
// page lacks becomes its best fit or "?".
std::string toAnsiCodePage(std::string_view utf8);

// The errno value that stands for a Windows error code, so that messages
// read the same on every system ("No such file or directory").
int errnoOf(DWORD error);

// A handle closed when it goes out of scope.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : m_handle(handle) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : m_handle(other.release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = other.release();
        }
        return *this;
    }

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE release() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }
    void reset() {
        if (valid()) CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

}  // namespace platform::windows
