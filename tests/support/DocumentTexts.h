#pragma once

// Texts of small project documents for tests that need a project of given
// area sizes.

#include <string>

namespace testing_support {

// A complete pargen.xml with N Byte IN and N Byte OUT as given, the other
// settings as a new project has them.
inline std::string pargenWithSizes(const std::string& nByteIn, const std::string& nByteOut) {
    return "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>1</Ser_Type>"
           "<Ser_Prot>0</Ser_Prot><Profi_ID>1</Profi_ID><Profi_Baud>10</Profi_Baud><Profi_NB_IN>" +
           nByteIn + "</Profi_NB_IN><Profi_NB_OUT>" + nByteOut + "</Profi_NB_OUT></Par_Gen>";
}

}  // namespace testing_support
