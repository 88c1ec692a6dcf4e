#include "documents/XmlDocument.h"

#include <pugixml.hpp>

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "platform/FileSystem.h"

namespace documents {
namespace {

// Parsed as a fragment so that text outside the document element is kept and
// can be refused below instead of being dropped unseen.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_pi | pugi::parse_comments |
                                   pugi::parse_declaration | pugi::parse_doctype | pugi::parse_fragment;

pugi::xml_node wrap(pugi::xml_node_struct* node) {
    return pugi::xml_node(node);
}

void collectText(const pugi::xml_node& node, std::string& out) {
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            out += child.value();
        } else if (child.type() == pugi::node_element) {
            collectText(child, out);
        }
    }
}

[[noreturn]] void failParse(std::string_view text, std::ptrdiff_t offset, std::string_view description,
                            std::string_view source) {
    offset = std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text.size()));
    const std::string_view before = text.substr(0, static_cast<std::size_t>(offset));
    const std::size_t line = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column = lineStart == std::string_view::npos ? before.size() + 1 : before.size() - lineStart;
    std::ostringstream message;
    message << description << " (line " << line << ", column " << column << ") in \"" << source << "\"";
    throw std::runtime_error(message.str());
}

}  // namespace

bool XmlNode::isElement() const {
    return m_node && wrap(m_node).type() == pugi::node_element;
}

std::string XmlNode::name() const {
    return m_node ? wrap(m_node).name() : std::string();
}

std::size_t XmlNode::childCount() const {
    if (!m_node) return 0;
    const auto children = wrap(m_node).children();
    return static_cast<std::size_t>(std::distance(children.begin(), children.end()));
}

XmlNode XmlNode::child(std::size_t index) const {
    if (!m_node) return {};
    for (pugi::xml_node node = wrap(m_node).first_child(); node; node = node.next_sibling()) {
        if (index-- == 0) return XmlNode(node.internal_object());
    }
    return {};
}

XmlNode XmlNode::childElement(std::string_view name) const {
    if (!m_node) return {};
    for (const pugi::xml_node& node : wrap(m_node).children()) {
        if (node.type() == pugi::node_element && name == node.name()) return XmlNode(node.internal_object());
    }
    return {};
}

XmlNode XmlNode::nextSibling() const {
    if (!m_node) return {};
    return XmlNode(wrap(m_node).next_sibling().internal_object());
}

std::string XmlNode::text() const {
    if (!m_node) throw std::runtime_error("The element to read does not exist");
    const pugi::xml_node node = wrap(m_node);
    if (node.type() != pugi::node_element) return node.value();
    std::string text;
    collectText(node, text);
    return text;
}

void XmlNode::setText(std::string_view text) {
    if (!m_node) throw std::runtime_error("The element to write does not exist");
    pugi::xml_node node = wrap(m_node);
    while (node.first_child()) node.remove_child(node.first_child());
    if (!text.empty()) node.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
}

std::optional<std::string> XmlNode::attribute(std::string_view name) const {
    if (!m_node) return std::nullopt;
    for (const pugi::xml_attribute& attribute : wrap(m_node).attributes()) {
        if (name == attribute.name()) return std::string(attribute.value());
    }
    return std::nullopt;
}

std::string XmlNode::attributeText(std::string_view name) const {
    if (auto value = attribute(name)) return *std::move(value);
    throw std::runtime_error("Could not convert variant of type (Null) into type (String)");
}

void XmlNode::setAttribute(std::string_view name, std::string_view value) {
    if (!m_node) throw std::runtime_error("The element to write does not exist");
    pugi::xml_node node = wrap(m_node);
    const std::string key(name);
    pugi::xml_attribute attribute = node.attribute(key.c_str());
    if (!attribute) attribute = node.append_attribute(key.c_str());
    attribute.set_value(std::string(value).c_str());
}

XmlNode XmlNode::appendElement(std::string_view name) {
    if (!m_node) throw std::runtime_error("The element to write does not exist");
    return XmlNode(wrap(m_node).append_child(std::string(name).c_str()).internal_object());
}

XmlNode requiredChild(const XmlNode& parent, std::string_view name, std::string_view where) {
    XmlNode child = parent.childElement(name);
    if (!child) {
        throw std::runtime_error("Element \"" + std::string(name) + "\" not found in \"" + std::string(where) + "\"");
    }
    return child;
}

XmlDocument::XmlDocument() : m_document(std::make_unique<pugi::xml_document>()) {}
XmlDocument::~XmlDocument() = default;

void XmlDocument::load(const std::string& path) {
    m_document->reset();
    loadText(platform::readFile(path), path);
}

void XmlDocument::loadText(std::string_view text, std::string_view source) {
    m_document->reset();
    const pugi::xml_parse_result result = m_document->load_buffer(text.data(), text.size(), kParseOptions);
    if (!result) {
        m_document->reset();
        failParse(text, result.offset, result.description(), source);
    }
    // The parser lets through a few things a document may not hold at its top.
    std::size_t elements = 0;
    for (const pugi::xml_node& node : m_document->children()) {
        // The parser places an element at its name; report the "<" before it.
        const std::ptrdiff_t offset = node.offset_debug() - (node.type() == pugi::node_element ? 1 : 0);
        if (node.type() == pugi::node_element && ++elements > 1) {
            m_document->reset();
            failParse(text, offset, "Only one top level element is allowed in an XML document", source);
        }
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            const std::string_view value = node.value();
            const std::size_t firstVisible = std::min(value.find_first_not_of(" \t\r\n"), value.size());
            m_document->reset();
            failParse(text, offset + static_cast<std::ptrdiff_t>(firstVisible),
                      "Text is not allowed outside the document element", source);
        }
    }
    if (elements == 0) {
        m_document->reset();
        failParse(text, static_cast<std::ptrdiff_t>(text.size()), "No document element found", source);
    }
}

XmlNode XmlDocument::firstNode() const {
    return XmlNode(m_document->first_child().internal_object());
}

XmlNode XmlDocument::documentElement() const {
    return XmlNode(m_document->document_element().internal_object());
}

void XmlDocument::clear() {
    m_document->reset();
}

XmlNode XmlDocument::appendRoot(std::string_view name) {
    return XmlNode(m_document->append_child(std::string(name).c_str()).internal_object());
}

std::string XmlDocument::toText() const {
    std::ostringstream out;
    m_document->save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

void XmlDocument::save(const std::string& path) const {
    platform::writeFileAtomically(path, toText());
}

}  // namespace documents
