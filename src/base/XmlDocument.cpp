#include "base/XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <climits>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/LocatedError.h"
#include "platform/FileSystem.h"

namespace base {
namespace {

// No option that fetches or substitutes anything: entities stay references,
// no DTD is loaded and no default attribute is taken from one, nothing goes
// to the network. Well-formedness is all that is checked.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOWARNING;

const xmlChar* xml(const std::string& text) {
    return reinterpret_cast<const xmlChar*>(text.c_str());
}

std::string fromXml(const xmlChar* text) {
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

// Names as written in the document, prefix included, the way callers look them up.
std::string qualifiedName(const xmlChar* name, const xmlNs* ns) {
    if (ns && ns->prefix) return fromXml(ns->prefix) + ":" + fromXml(name);
    return fromXml(name);
}

xmlAttr* findAttribute(xmlNode* node, std::string_view name) {
    for (xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
        if (qualifiedName(attribute->name, attribute->ns) == name) return attribute;
    }
    return nullptr;
}

bool isBlank(const xmlChar* text) {
    for (; text && *text; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
    }
    return true;
}

// Whitespace-only text is dropped everywhere, so an indented file reads like
// one the program wrote.
void dropBlankText(xmlNode* parent) {
    xmlNode* node = parent->children;
    while (node) {
        xmlNode* next = node->next;
        if (node->type == XML_TEXT_NODE && isBlank(node->content)) {
            xmlUnlinkNode(node);
            xmlFreeNode(node);
        } else if (node->type == XML_ELEMENT_NODE) {
            dropBlankText(node);
        }
        node = next;
    }
}

// The declaration is not a node for the parser, but the windows take the
// first top-level node as the root and a declaration counts as one, so it is
// put back as the processing instruction it looks like.
void keepDeclaration(xmlDoc* document) {
    // The parser leaves standalone at -1 only when there was no declaration.
    if (document->standalone == -1) return;
    std::string content = "version=\"" + fromXml(document->version ? document->version : xml("1.0")) + "\"";
    // The tree holds UTF-8 whatever the file was in, and is written as such.
    if (document->encoding) content += " encoding=\"UTF-8\"";
    if (document->standalone >= 0) content += document->standalone ? " standalone=\"yes\"" : " standalone=\"no\"";
    xmlNode* declaration = xmlNewDocPI(document, xml("xml"), xml(content));
    if (document->children) {
        xmlAddPrevSibling(document->children, declaration);
    } else {
        xmlAddChild(reinterpret_cast<xmlNode*>(document), declaration);
    }
}

// libxml2 2.9 refuses nested entity expansion but not the flat kind: one
// 100 KB entity used thousands of times is parsed in an instant, and then
// expands to gigabytes when the text is read. The references are counted
// after the parse, before anything is expanded, and the document refused
// when they would bring in more than this many characters, which no
// document of the program comes near.
constexpr std::size_t kEntityExpansionBound = 1000000;

// What an entity expands to, in characters, saturating just past bound.
// Entities in entities were bounded by the parser; they are added up here,
// once each.
std::size_t expandedSize(xmlDoc* document, const xmlChar* name, std::map<std::string, std::size_t>& known,
                         std::size_t bound) {
    const std::string key = fromXml(name);
    if (const auto found = known.find(key); found != known.end()) return found->second;
    known[key] = 0;  // a reference to itself (which the parser refuses) adds nothing
    const xmlEntity* entity = xmlGetDocEntity(document, name);
    std::size_t size = 0;
    const xmlChar* content = entity ? entity->content : nullptr;
    for (const xmlChar* c = content; c && *c && size <= bound; ++c) {
        if (*c == '&' && c[1] != '#') {
            const xmlChar* end = c + 1;
            while (*end && *end != ';') ++end;
            if (!*end) break;
            const std::string inner(reinterpret_cast<const char*>(c + 1), static_cast<std::size_t>(end - c - 1));
            size += expandedSize(document, xml(inner), known, bound);
            c = end;
        } else {
            ++size;
        }
    }
    size = std::min(size, bound + 1);
    known[key] = size;
    return size;
}

// The name of the entity whose reference takes the expansion of the whole
// document past kEntityExpansionBound, or nothing. Walks the tree without
// recursion, attributes included.
std::optional<std::string> entityBeyondBound(xmlDoc* document) {
    std::map<std::string, std::size_t> known;
    std::size_t total = 0;
    const auto count = [&](const xmlNode* node) -> std::optional<std::string> {
        if (node->type != XML_ENTITY_REF_NODE) return std::nullopt;
        total += expandedSize(document, node->name, known, kEntityExpansionBound);
        if (total > kEntityExpansionBound) return fromXml(node->name);
        return std::nullopt;
    };
    std::vector<const xmlNode*> pending{document->children};
    while (!pending.empty()) {
        const xmlNode* node = pending.back();
        pending.pop_back();
        for (; node; node = node->next) {
            if (auto name = count(node)) return name;
            if (node->type != XML_ELEMENT_NODE) continue;
            for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
                for (const xmlNode* part = attribute->children; part; part = part->next) {
                    if (auto name = count(part)) return name;
                }
            }
            if (node->children) pending.push_back(node->children);
        }
    }
    return std::nullopt;
}

// The first error of one parse, collected by a handler that belongs to that
// parse alone, so nothing reaches standard error and nothing is shared.
struct ParseErrors {
    std::string description;
    int line = 0;
    int column = 0;
    bool found = false;
};

void collectError(void* data, xmlErrorPtr error) {
    auto* errors = static_cast<ParseErrors*>(static_cast<xmlParserCtxt*>(data)->_private);
    if (errors->found || !error || error->level < XML_ERR_ERROR) return;
    // A namespace error leaves the document well-formed XML; only a broken
    // document is refused.
    if (error->domain == XML_FROM_NAMESPACE) return;
    std::string description = error->message ? error->message : "Unknown XML error";
    for (char& c : description) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    while (!description.empty() && description.back() == ' ') description.pop_back();
    // Messages quote names and text from the document, which may be huge.
    errors->description = shortenedForMessage(description, 200);
    errors->line = error->line;
    errors->column = error->int2;
    errors->found = true;
}

[[noreturn]] void failParse(const ParseErrors& errors, std::string_view source) {
    const std::string description = errors.found ? errors.description : "Document is not well-formed";
    throw std::runtime_error(description + " (line " + std::to_string(errors.found ? std::max(errors.line, 1) : 1) +
                             ", column " + std::to_string(errors.found ? std::max(errors.column, 1) : 1) + ") in \"" +
                             std::string(source) + "\"");
}

// The written form of a text: markup characters and control characters as
// references, everything else as the UTF-8 it is. Blanks that reading would
// change (any CR, and tabs and line feeds in attribute values) are written as
// references too, so that a saved text reads back as it was.
void writeEscaped(std::string& out, const xmlChar* text, bool inAttribute) {
    for (; text && *text; ++text) {
        const unsigned char c = *text;
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>':
                if (inAttribute) {
                    out += '>';
                } else {
                    out += "&gt;";
                }
                break;
            case '"':
                if (inAttribute) {
                    out += "&quot;";
                } else {
                    out += '"';
                }
                break;
            default:
                if (c < 0x20 && (inAttribute || (c != '\t' && c != '\n'))) {
                    out += "&#" + std::to_string(c) + ";";
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
}

void writeNode(std::string& out, xmlDoc* document, const xmlNode* node) {
    switch (node->type) {
        case XML_ELEMENT_NODE: {
            const std::string name = qualifiedName(node->name, node->ns);
            out += "<" + name;
            for (const xmlNs* ns = node->nsDef; ns; ns = ns->next) {
                out += ns->prefix ? " xmlns:" + fromXml(ns->prefix) + "=\"" : std::string(" xmlns=\"");
                writeEscaped(out, ns->href, true);
                out += '"';
            }
            for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
                out += " " + qualifiedName(attribute->name, attribute->ns) + "=\"";
                xmlChar* value = xmlNodeListGetString(document, attribute->children, 1);
                writeEscaped(out, value, true);
                xmlFree(value);
                out += '"';
            }
            if (!node->children) {
                out += "/>";
                return;
            }
            out += '>';
            for (const xmlNode* child = node->children; child; child = child->next) writeNode(out, document, child);
            out += "</" + name + ">";
            return;
        }
        case XML_TEXT_NODE: writeEscaped(out, node->content, false); return;
        case XML_CDATA_SECTION_NODE: out += "<![CDATA[" + fromXml(node->content) + "]]>"; return;
        case XML_COMMENT_NODE: out += "<!--" + fromXml(node->content) + "-->"; return;
        case XML_PI_NODE:
            out += "<?" + fromXml(node->name) + (node->content && *node->content ? " " + fromXml(node->content) : "") +
                   "?>";
            return;
        case XML_ENTITY_REF_NODE: out += "&" + fromXml(node->name) + ";"; return;
        case XML_DTD_NODE: {
            xmlBuffer* buffer = xmlBufferCreate();
            if (!buffer) throw std::bad_alloc();
            xmlNodeDump(buffer, document, const_cast<xmlNode*>(node), 0, 0);
            out.append(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                       static_cast<std::size_t>(xmlBufferLength(buffer)));
            xmlBufferFree(buffer);
            return;
        }
        default: return;
    }
}

void initialiseParser() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace

bool XmlNode::isElement() const {
    return m_node && m_node->type == XML_ELEMENT_NODE;
}

std::string XmlNode::name() const {
    if (!m_node) return {};
    switch (m_node->type) {
        case XML_ELEMENT_NODE: return qualifiedName(m_node->name, m_node->ns);
        case XML_PI_NODE:
        case XML_ENTITY_REF_NODE:
        case XML_DTD_NODE: return fromXml(m_node->name);
        default: return {};
    }
}

std::size_t XmlNode::childCount() const {
    if (!m_node || m_node->type == XML_ENTITY_REF_NODE) return 0;
    std::size_t count = 0;
    for (xmlNode* node = m_node->children; node; node = node->next) ++count;
    return count;
}

XmlNode XmlNode::child(std::size_t index) const {
    if (!m_node || m_node->type == XML_ENTITY_REF_NODE) return {};
    for (xmlNode* node = m_node->children; node; node = node->next) {
        if (index-- == 0) return XmlNode(node);
    }
    return {};
}

XmlNode XmlNode::childElement(std::string_view name) const {
    if (!m_node || m_node->type == XML_ENTITY_REF_NODE) return {};
    for (xmlNode* node = m_node->children; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && qualifiedName(node->name, node->ns) == name) return XmlNode(node);
    }
    return {};
}

XmlNode XmlNode::nextSibling() const {
    if (!m_node) return {};
    return XmlNode(m_node->next);
}

std::string XmlNode::text() const {
    if (!m_node) throw std::runtime_error("The element to read does not exist");
    if (m_node->type == XML_DTD_NODE) return {};
    xmlChar* content = xmlNodeGetContent(m_node);
    std::string text = fromXml(content);
    xmlFree(content);
    return text;
}

void XmlNode::setText(std::string_view text) {
    if (!m_node) throw std::runtime_error("The element to write does not exist");
    while (m_node->children) {
        xmlNode* child = m_node->children;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
    }
    if (!text.empty()) {
        const std::string value(text);
        xmlAddChild(m_node, xmlNewDocTextLen(m_node->doc, xml(value), static_cast<int>(value.size())));
    }
}

std::optional<std::string> XmlNode::attribute(std::string_view name) const {
    if (!m_node || m_node->type != XML_ELEMENT_NODE) return std::nullopt;
    xmlAttr* attribute = findAttribute(m_node, name);
    if (!attribute) return std::nullopt;
    xmlChar* value = xmlNodeListGetString(m_node->doc, attribute->children, 1);
    std::string text = fromXml(value);
    xmlFree(value);
    return text;
}

std::string XmlNode::attributeText(std::string_view name) const {
    if (auto value = attribute(name)) return *std::move(value);
    throw std::runtime_error("Could not convert variant of type (Null) into type (String)");
}

void XmlNode::setAttribute(std::string_view name, std::string_view value) {
    if (!m_node || m_node->type != XML_ELEMENT_NODE) throw std::runtime_error("The element to write does not exist");
    const std::string text(value);
    if (xmlAttr* attribute = findAttribute(m_node, name)) {
        // Replaced in place, so the attribute keeps its position.
        xmlNode* old = attribute->children;
        attribute->children = attribute->last = nullptr;
        xmlFreeNodeList(old);
        xmlNode* child = xmlNewDocTextLen(m_node->doc, xml(text), static_cast<int>(text.size()));
        child->parent = reinterpret_cast<xmlNode*>(attribute);
        attribute->children = attribute->last = child;
        return;
    }
    xmlNewProp(m_node, xml(std::string(name)), xml(text));
}

XmlNode XmlNode::appendElement(std::string_view name) {
    if (!m_node) throw std::runtime_error("The element to write does not exist");
    // Not xmlNewChild: that would hand the parent's namespace to the child.
    xmlNode* element = xmlNewDocNode(m_node->doc, nullptr, xml(std::string(name)), nullptr);
    xmlAddChild(m_node, element);
    return XmlNode(element);
}

XmlNode requiredChild(const XmlNode& parent, std::string_view name, std::string_view where) {
    XmlNode child = parent.childElement(name);
    if (!child) {
        throw std::runtime_error("Element \"" + std::string(name) + "\" not found in \"" + std::string(where) + "\"");
    }
    return child;
}

void XmlDocument::Release::operator()(xmlDoc* document) const {
    xmlFreeDoc(document);
}

XmlDocument::XmlDocument() {
    initialiseParser();
    clear();
}

XmlDocument::~XmlDocument() = default;

void XmlDocument::load(const std::string& path) {
    clear();
    loadText(platform::readFile(path), path);
}

void XmlDocument::loadText(std::string_view text, std::string_view source) {
    clear();
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        throw std::runtime_error("Document is too large in \"" + std::string(source) + "\"");
    }
    xmlParserCtxt* context = xmlNewParserCtxt();
    if (!context) throw std::runtime_error("Out of memory while reading \"" + std::string(source) + "\"");
    ParseErrors errors;
    context->_private = &errors;
    context->sax->serror = collectError;
    // The parser never reads a file or URL by itself; a name is passed only
    // for its own messages.
    xmlDoc* parsed = xmlCtxtReadMemory(context, text.empty() ? "" : text.data(), static_cast<int>(text.size()), nullptr,
                                       nullptr, kParseOptions);
    bool wellFormed = context->wellFormed != 0;
    // The parser takes a NUL character for the end of its input and accepts
    // whatever follows it; a document ends where its text ends.
    if (wellFormed && context->input && context->input->cur < context->input->end) {
        errors.description = "Content after the end of the document (a NUL character)";
        errors.line = context->input->line;
        errors.column = context->input->col;
        errors.found = true;
        wellFormed = false;
    }
    xmlFreeParserCtxt(context);
    if (!parsed || !wellFormed || !xmlDocGetRootElement(parsed)) {
        xmlFreeDoc(parsed);
        failParse(errors, source);
    }
    if (const std::optional<std::string> entity = entityBeyondBound(parsed)) {
        xmlFreeDoc(parsed);
        throw std::runtime_error("Entity references expand to more than " + std::to_string(kEntityExpansionBound) +
                                 " characters (entity \"" + shortenedForMessage(*entity) + "\") in \"" +
                                 std::string(source) + "\"");
    }
    m_document.reset(parsed);
    dropBlankText(reinterpret_cast<xmlNode*>(parsed));
    keepDeclaration(parsed);
}

XmlNode XmlDocument::firstNode() const {
    return XmlNode(m_document->children);
}

XmlNode XmlDocument::documentElement() const {
    return XmlNode(xmlDocGetRootElement(m_document.get()));
}

void XmlDocument::clear() {
    xmlDoc* document = xmlNewDoc(xml("1.0"));
    if (!document) throw std::bad_alloc();
    m_document.reset(document);
}

XmlNode XmlDocument::appendRoot(std::string_view name) {
    xmlNode* root = xmlNewDocNode(m_document.get(), nullptr, xml(std::string(name)), nullptr);
    xmlAddChild(reinterpret_cast<xmlNode*>(m_document.get()), root);
    return XmlNode(root);
}

std::string XmlDocument::toText() const {
    std::string text;
    for (const xmlNode* node = m_document->children; node; node = node->next) writeNode(text, m_document.get(), node);
    return text;
}

namespace {

// The previous file stays beside the new one as <name>.bak, so that an OK
// that saved the wrong content can be undone by hand. A link at the .bak name
// is replaced, never written through; when the file cannot be kept nothing is
// replaced.
void keepPreviousFile(const std::string& path) {
    if (platform::examinePath(path).kind != platform::PathKind::File) return;
    const std::string backup = path + ".bak";
    try {
        platform::keepPreviousVersion(path, backup);
    } catch (const std::exception& e) {
        throw std::runtime_error("Cannot keep the previous file as \"" + backup + "\", so \"" + path +
                                 "\" was not replaced: " + e.what());
    }
}

}  // namespace

void XmlDocument::save(const std::string& path) const {
    const std::string text = toText();
    keepPreviousFile(path);
    platform::writeFileAtomically(path, text);
}

}  // namespace base
