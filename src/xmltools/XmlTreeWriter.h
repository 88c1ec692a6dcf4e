#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writing the XML window's tree back as a document.
namespace xmltools {

// An item of the window's tree: the kind of the node it was read from (see
// TXMLNodeKind) and its text as the user left it.
struct XmlTreeItem {
    std::uint8_t Kind = 0;
    std::string Text;
    std::vector<XmlTreeItem> Children;
};

struct TXMLNode;

// The items of the window's tree for a read node and all below it: the node's
// kind and display text. Never throws but for memory.
XmlTreeItem treeItemOf(const TXMLNode& node);

// Builds a document from the tree whose top item is top and saves it, through
// the document service, into projectDir under the name in the top item's text
// (the text after its first ":", blanks removed; the whole text without ":").
// The first element item below the top item is the document element, named by
// its whole text. Below it an element item "name = text" (or "name") becomes a
// child element, an attribute item "name = value" an attribute; other items are
// skipped. Answers the path written. Throws std::runtime_error, having written
// nothing, when the tree has no element item, a name is not an XML name (an
// attribute item without "=", a document element with text), the file name is
// not a plain name or projectDir is empty, or the file cannot be written.
std::string writeXmlTree(const XmlTreeItem& top, const std::string& projectDir);

}  // namespace xmltools
