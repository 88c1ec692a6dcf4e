#pragma once

#include <string>
#include <string_view>

namespace platform {

// Appends utf8 to out in the system's 8-bit code page, the one the exported
// CSV files are written in: UTF-8 as it is on Linux; Windows-1252 on Windows,
// where a character that the code page lacks becomes "?". Reads nothing;
// never throws but for memory. Each system has its own file
// (ExportCodePagePosix.cpp, ExportCodePageWindows.cpp).
void appendInExportCodePage(std::string& out, std::string_view utf8);

}  // namespace platform
