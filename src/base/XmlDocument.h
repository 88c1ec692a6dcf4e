#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct _xmlNode;
struct _xmlDoc;

// The XML document service through which every project document is read and
// written. Texts are UTF-8.
namespace base {

// A node of an XmlDocument; a light handle, valid while its document lives and
// is not rebuilt. A default node is the null node ("not found").
class XmlNode {
public:
    XmlNode() = default;

    bool isNull() const { return m_node == nullptr; }
    explicit operator bool() const { return m_node != nullptr; }
    bool isElement() const;
    std::string name() const;

    // All child nodes (elements, comments, text) in document order.
    std::size_t childCount() const;
    // Child at index in document order; the null node when out of range.
    XmlNode child(std::size_t index) const;
    // First child element with that name, or the null node.
    XmlNode childElement(std::string_view name) const;
    // The node after this one below the same parent, or the null node; walks
    // long child lists in one pass where child(index) would start over each time.
    XmlNode nextSibling() const;

    // Character data of the element and its descendants, empty if none.
    // Throws std::runtime_error on the null node.
    std::string text() const;
    // Replaces the element's content by the text.
    void setText(std::string_view text);

    // The attribute's value, or nothing when the element has no such attribute.
    std::optional<std::string> attribute(std::string_view name) const;
    // The attribute's value as text; an absent attribute throws
    // std::runtime_error "Could not convert variant of type (Null) into type (String)".
    std::string attributeText(std::string_view name) const;
    // Adds the attribute or replaces its value; new attributes go last.
    void setAttribute(std::string_view name, std::string_view value);

    // Appends a new child element and answers it.
    XmlNode appendElement(std::string_view name);

private:
    friend class XmlDocument;
    explicit XmlNode(_xmlNode* node) : m_node(node) {}
    _xmlNode* m_node = nullptr;
};

// First child element of parent with that name. Throws std::runtime_error
// naming the element and the document (where) when there is none.
XmlNode requiredChild(const XmlNode& parent, std::string_view name, std::string_view where);

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Parses the whole file, replacing the content. Text made only of
    // whitespace between elements is dropped; comments, the declaration and
    // processing instructions are kept as nodes. A file that is not
    // well-formed throws std::runtime_error "<description> (line L, column C)
    // in \"<path>\"" with the parser's description of the first error; the
    // document is then empty (the description is cut short where it quotes
    // long text). Nothing is fetched: no network, no external entity, no
    // external DTD. Also refused: entity references that together expand to
    // more than a million characters ("Entity references expand to more
    // than 1000000 characters (entity "<name>") in "<path>""), a flat
    // expansion that libxml2 2.9 does not bound, and anything after a NUL
    // character. A path that is no regular file (a FIFO, a device, a folder)
    // is refused without waiting on it.
    void load(const std::string& path);
    // As load, from text; source names it in error messages.
    void loadText(std::string_view text, std::string_view source = "document");

    // The first top-level node, whatever its kind: the root as the windows take it.
    XmlNode firstNode() const;
    // The document element: the root as the editors take it.
    XmlNode documentElement() const;

    // Removes all top-level nodes.
    void clear();
    // Appends a top-level element and answers it.
    XmlNode appendRoot(std::string_view name);

    // The document as the program writes it: no declaration, no indentation or
    // line breaks between elements, UTF-8.
    std::string toText() const;
    // Writes toText() to path, replacing the file atomically. A regular file
    // at path is first kept as path + ".bak" (replacing an older one). Throws
    // std::runtime_error when the file cannot be written, or when the
    // previous file cannot be kept ("Cannot keep the previous file as
    // "<path>.bak", so "<path>" was not replaced: <reason>"); path is then
    // unchanged.
    void save(const std::string& path) const;

private:
    struct Release {
        void operator()(_xmlDoc* document) const;
    };
    std::unique_ptr<_xmlDoc, Release> m_document;
};

}  // namespace base
