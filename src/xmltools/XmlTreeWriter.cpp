#include "xmltools/XmlTreeWriter.h"

#include <stdexcept>
#include <string_view>

#include "base/XmlDocument.h"
#include "platform/FileSystem.h"
#include "xmltools/XMLReader.h"

namespace xmltools {
namespace {

std::string trimBlanks(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return std::string(text.substr(begin, text.find_last_not_of(' ') - begin + 1));
}

// The document service takes any text as a name and would write a document
// that no reader accepts, so names are checked here. Bytes from 0x80 are
// letters of UTF-8 names.
void requireXmlName(const std::string& name) {
    const auto isStart = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
    };
    bool valid = !name.empty() && isStart(static_cast<unsigned char>(name[0]));
    for (std::size_t i = 1; valid && i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        valid = isStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
    }
    if (!valid) throw std::runtime_error("\"" + name + "\" is not a valid XML name");
}

void writeChildren(const XmlTreeItem& item, base::XmlNode element) {
    for (const XmlTreeItem& child : item.Children) {
        const std::size_t equals = child.Text.find('=');
        const bool hasValue = equals != std::string::npos;
        if (child.Kind == kXMLElement) {
            const std::string name = hasValue ? trimBlanks(child.Text.substr(0, equals)) : child.Text;
            requireXmlName(name);
            base::XmlNode written = element.appendElement(name);
            if (hasValue) {
                const std::string text = trimBlanks(std::string_view(child.Text).substr(equals + 1));
                if (!text.empty()) written.setText(text);
            }
            writeChildren(child, written);
        } else if (child.Kind == kXMLAttribute) {
            // Without "=" there is no name before it.
            const std::string name = hasValue ? trimBlanks(child.Text.substr(0, equals)) : std::string();
            requireXmlName(name);
            element.setAttribute(name, hasValue ? trimBlanks(std::string_view(child.Text).substr(equals + 1)) : "");
        }
    }
}

// The top item's text names the file; it must stay a file of the project folder.
std::string fileNameOf(const std::string& topText) {
    const std::size_t colon = topText.find(':');
    const std::string name = colon == std::string::npos ? topText : trimBlanks(topText.substr(colon + 1));
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
        throw std::runtime_error("\"" + name + "\" is not a file name");
    }
    return name;
}

}  // namespace

XmlTreeItem treeItemOf(const TXMLNode& node) {
    XmlTreeItem item{node.Kind, displayText(node), {}};
    item.Children.reserve(node.Children.size());
    for (const auto& child : node.Children) item.Children.push_back(treeItemOf(*child));
    return item;
}

std::string writeXmlTree(const XmlTreeItem& top, const std::string& projectDir) {
    if (projectDir.empty()) throw std::runtime_error("No project folder");
    const std::string path = platform::joinPath(projectDir, fileNameOf(top.Text));

    const XmlTreeItem* rootItem = nullptr;
    for (const XmlTreeItem& child : top.Children) {
        if (child.Kind == kXMLElement) {
            rootItem = &child;
            break;
        }
    }
    if (!rootItem) throw std::runtime_error("No element to write");
    requireXmlName(rootItem->Text);

    base::XmlDocument document;
    writeChildren(*rootItem, document.appendRoot(rootItem->Text));
    document.save(path);
    return path;
}

}  // namespace xmltools
