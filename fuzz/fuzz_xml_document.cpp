// The XML document service on any bytes: a load either fails with a message or
// gives a document that every reading call can walk, and what the service
// writes of it loads again to the same text.
// seeds: tests/data/**/*.xml

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "base/XmlDocument.h"

namespace {

void walk(const base::XmlNode& node, int depth) {
    if (depth > 200) return;  // the walk, not the service, would run out of stack
    (void)node.name();
    (void)node.isElement();
    (void)node.attribute("Address");
    (void)node.childElement("row");
    (void)node.child(node.childCount());
    for (base::XmlNode child = node.child(0); child; child = child.nextSibling()) {
        (void)child.text();
        walk(child, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    base::XmlDocument document;
    try {
        document.loadText(bytes, "fuzz.xml");
    } catch (const std::runtime_error&) {
        return 0;
    }
    walk(document.firstNode(), 0);
    walk(document.documentElement(), 0);

    const std::string written = document.toText();
    base::XmlDocument again;
    try {
        again.loadText(written, "written.xml");
    } catch (const std::runtime_error&) {
        std::abort();  // the service wrote a document it cannot read
    }
    if (again.toText() != written) std::abort();
    return 0;
}
