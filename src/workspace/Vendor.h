#pragma once

// The vendor's details shown by the program: the web address that starts the
// main window's caption and the link labels, the product page they open, and
// the contact address (also in the header of the GSD file), and the program's
// version, which the build takes from the project version in CMakeLists.txt.
namespace workspace {

inline constexpr const char* kProgramVersion = TESSARO_VERSION;

inline constexpr const char* kVendorWebAddress = "www.orvenna.example";
inline constexpr const char* kProductPage = "https://www.orvenna.example/HOME/default.asp?frompg=TK48213";
inline constexpr const char* kVendorEmail = "info@orvenna.example";

}  // namespace workspace
