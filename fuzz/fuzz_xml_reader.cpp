// The XML reader window's own reader on any bytes: a read either throws one of
// its messages or gives a tree whose texts can be shown.
// seeds: tests/data/**/*.xml fuzz/seeds/xml_reader/*

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "xmltools/XMLReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<xmltools::TXMLNode> document;
    try {
        document = xmltools::readXmlText(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::exception&) {
        return 0;
    }
    (void)xmltools::treeText(*document);
    for (const auto& child : document->Children) (void)xmltools::displayText(*child);
    return 0;
}
