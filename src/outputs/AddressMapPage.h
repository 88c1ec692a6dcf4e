#pragma once

#include <string>

#include "outputs/AddressMap.h"

// The address map as one HTML page for the PLC programmer: a picture of each
// area as byte cells in rows of 16, the tables of the text report below them,
// then the warnings. The page needs nothing else (the picture is inline SVG,
// the looks inline CSS) and fits the width of an A4 sheet when printed.
namespace outputs {

// The page's text; lines end with CR LF. Texts from the documents are escaped.
// Reads nothing, never throws.
std::string addressMapPage(const AddressMap& map);

// Writes addressMapPage(map) to fileName, replacing the file atomically.
// Throws std::runtime_error ("Cannot create file "<fileName>". <reason>") and
// leaves any earlier file whole when it cannot be written.
void writeAddressMapPage(const AddressMap& map, const std::string& fileName);

}  // namespace outputs
