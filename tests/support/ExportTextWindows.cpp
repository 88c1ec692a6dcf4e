#include "platform/WideTextWindows.h"
#include "support/ExportText.h"

namespace testing_support {

std::string exportText(const std::string& utf8) {
    const std::wstring wide = platform::windows::widen(utf8);
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    // No best fit: a character that Windows-1252 lacks is written as "?".
    const int length = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), size, text.data(), length, "?", nullptr);
    return text;
}

}  // namespace testing_support
