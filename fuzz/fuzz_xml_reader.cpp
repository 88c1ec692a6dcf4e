// The XML reader window's own reader on any bytes: a read either throws one of
// its messages or gives a tree whose texts can be shown.
// seeds: tests/data/**/*.xml fuzz/seeds/xml_reader/*

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "tools/XMLReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<tools::TXMLNode> document;
    try {
        document = tools::readXmlText(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::exception&) {
        return 0;
    }
    (void)tools::treeText(*document);
    for (const auto& child : document->Children) (void)tools::displayText(*child);
    return 0;
}
