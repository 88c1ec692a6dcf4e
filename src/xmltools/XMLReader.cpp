#include "xmltools/XMLReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <deque>
#include <stdexcept>
#include <string_view>

namespace xmltools {

TXMLNode& TXMLNode::addChild(std::uint8_t kind, std::string name) {
    // Elements mostly have a few attributes or children; growing one by one
    // would cost three allocations for four children.
    if (Children.empty()) Children.reserve(4);
    Children.push_back(std::make_unique<TXMLNode>(kind, std::move(name)));
    return *Children.back();
}

std::string displayText(const TXMLNode& node) {
    std::string text;
    switch (node.Kind) {
        case kXMLDocument: text = "File: " + node.FileName; break;
        case kXMLProcessingInstruction: text = node.Name + "ProcessingInstruction"; break;
        case kXMLDeclaration: text = "XMLDeclaration"; break;
        default: text = node.Name; break;
    }
    if (!node.Value.empty()) text += " = " + node.Value;
    return text;
}

namespace {

void appendTree(const TXMLNode& node, int level, std::string& out) {
    out.append(static_cast<std::size_t>(level) * 2, ' ');
    out += displayText(node);
    out += '\n';
    for (const auto& child : node.Children) appendTree(*child, level + 1, out);
}

[[noreturn]] void fail(const std::string& message) {
    throw std::runtime_error(message);
}

// What each byte may be, looked up once per byte in the loops over names.
enum ByteClass : std::uint8_t { kWhiteSpace = 1, kNameStart = 2, kNameChar = 4 };

constexpr std::array<std::uint8_t, 256> byteClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
        const bool name = start || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 0xB7;
        const bool white = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        classes[c] = (white ? kWhiteSpace : 0) | (start ? kNameStart : 0) | (name ? kNameChar : 0);
    }
    return classes;
}
constexpr std::array<std::uint8_t, 256> kByteClasses = byteClasses();

bool isWhiteSpace(char c) {
    return kByteClasses[static_cast<unsigned char>(c)] & kWhiteSpace;
}

bool isNameStart(char c) {
    return kByteClasses[static_cast<unsigned char>(c)] & kNameStart;
}

bool isNameChar(char c) {
    return kByteClasses[static_cast<unsigned char>(c)] & kNameChar;
}

std::string_view stripped(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && isWhiteSpace(text[end - 1])) --end;
    std::size_t begin = 0;
    while (begin < end && isWhiteSpace(text[begin])) ++begin;
    return text.substr(begin, end - begin);
}

// The bytes a reference stands for: one byte, or up to four for a character
// in UTF-8.
struct ReferenceBytes {
    std::array<char, 4> bytes{};
    std::size_t size = 0;
};

// The character a code stands for as UTF-8; nothing for a code that is no
// Unicode scalar value.
bool appendUtf8(std::uint32_t code, ReferenceBytes& out) {
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    auto byte = [](std::uint32_t value) { return static_cast<char>(static_cast<unsigned char>(value)); };
    if (code < 0x80) {
        out.bytes[out.size++] = byte(code);
    } else if (code < 0x800) {
        out.bytes[out.size++] = byte(0xC0 | (code >> 6));
        out.bytes[out.size++] = byte(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out.bytes[out.size++] = byte(0xE0 | (code >> 12));
        out.bytes[out.size++] = byte(0x80 | ((code >> 6) & 0x3F));
        out.bytes[out.size++] = byte(0x80 | (code & 0x3F));
    } else {
        out.bytes[out.size++] = byte(0xF0 | (code >> 18));
        out.bytes[out.size++] = byte(0x80 | ((code >> 12) & 0x3F));
        out.bytes[out.size++] = byte(0x80 | ((code >> 6) & 0x3F));
        out.bytes[out.size++] = byte(0x80 | (code & 0x3F));
    }
    return true;
}

// The bytes a reference stands for; text is what stood between "&" and ";".
// In a UTF-8 document a character reference gives the character's UTF-8
// bytes, so that it reads as the same character as the document's own text;
// in a document of a one-byte encoding, and for a code that is no character,
// it gives the code's low byte.
ReferenceBytes referencedBytes(const std::string& text, bool utf8) {
    ReferenceBytes out;
    auto one = [&out](char c) {
        out.bytes[0] = c;
        out.size = 1;
        return out;
    };
    if (text == "amp") return one('&');
    if (text == "lt") return one('<');
    if (text == "gt") return one('>');
    if (text == "quot") return one('"');
    if (text == "apos") return one('\'');
    if (text.empty() || text[0] != '#') fail("Unrecognized reference");

    const bool hex = text.size() > 1 && text[1] == 'x';
    const std::string_view digits = std::string_view(text).substr(hex ? 2 : 1);
    std::int32_t code = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
    // from_chars accepts a leading minus for decimals; a code never has one.
    if (digits.empty() || digits[0] == '-' || error != std::errc() || end != digits.data() + digits.size()) {
        fail("Invalid integer in reference &" + text + ";");
    }
    if (utf8 && appendUtf8(static_cast<std::uint32_t>(code), out)) return out;
    return one(static_cast<char>(code & 0xFF));
}

// An encoding name of the declaration that means UTF-8.
bool namesUtf8(std::string_view name) {
    std::string lower;
    for (char c : name) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower == "utf-8" || lower == "utf8";
}

// A growing run of bytes that keeps its room when cleared. Values are
// collected in these and copied once into their node, so a long value is not
// regrown byte by byte and no room is cleared or filled that is not used.
class TextBuffer {
public:
    void clear() { m_size = 0; }
    void dropLast(std::size_t count) { m_size -= count; }
    std::string_view view() const { return {m_data.get(), m_size}; }
    void push(char c) {
        if (m_size == m_capacity) grow();
        m_data[m_size++] = c;
    }

private:
    friend class Appender;
    void grow() {
        const std::size_t capacity = m_capacity ? m_capacity * 2 : 64;
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        std::copy_n(m_data.get(), m_size, data.get());
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// Appends to a buffer through pointers of its own, so the loops that copy
// bytes one by one keep them in registers across the reader's calls.
class Appender {
public:
    explicit Appender(TextBuffer& buffer) : m_buffer(buffer) { aim(); }
    ~Appender() { m_buffer.m_size = static_cast<std::size_t>(m_next - m_buffer.m_data.get()); }
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;

    void add(char c) {
        if (m_next == m_end) {
            m_buffer.m_size = m_buffer.m_capacity;
            m_buffer.grow();
            aim();
        }
        *m_next++ = c;
    }

private:
    void aim() {
        m_next = m_buffer.m_data.get() + m_buffer.m_size;
        m_end = m_buffer.m_data.get() + m_buffer.m_capacity;
    }

    TextBuffer& m_buffer;
    char* m_next;
    char* m_end;
};

}  // namespace

std::string treeText(const TXMLNode& document) {
    std::string out;
    appendTree(document, 0, out);
    return out;
}

// The grammar reads through the reader's operations only; the current byte is
// read directly, so the one virtual call per byte is NextChar. Nested elements
// are read with a stack of their own instead of a call per level, so no input
// can exhaust the machine's stack; the limits on depth and on the number of
// nodes keep the tree, and every tree shown or printed from it, within bounds.
class TXMLReader::Grammar {
public:
    explicit Grammar(TXMLReader& reader) : r(reader) {}

    std::unique_ptr<TXMLNode> document() {
        r.NextChar();
        if (atEnd()) fail("Unexpected end of data");
        auto document = std::make_unique<TXMLNode>(kXMLDocument);

        if (startsDeclaration()) declaration(*document);
        miscellaneous(*document, Place::Prolog);
        if (startsDocType()) fail("DocTypeDecl parsing not yet implemented");
        miscellaneous(*document, Place::Prolog);

        if (cur() != '<') fail("Missing element");
        next();
        need();
        if (!isNameStart(cur())) fail("Missing element");
        element(*document);
        miscellaneous(*document, Place::AfterElement);
        // A second element or stray bytes would be dropped without a word, and
        // the file would seem to hold only what came before them.
        if (!atEnd()) fail("Extra content after the document element");
        return document;
    }

private:
    enum class Place { Prolog, AfterElement };

    // Saves the position on construction and frees it on every way out.
    class SavedState {
    public:
        explicit SavedState(TXMLReader& reader) : m_reader(reader), m_state(reader.SaveState()) {}
        ~SavedState() { m_reader.FreeState(m_state); }
        SavedState(const SavedState&) = delete;
        SavedState& operator=(const SavedState&) = delete;
        void restore() { m_reader.RestoreState(m_state); }

    private:
        TXMLReader& m_reader;
        TXMLReaderState* m_state;
    };

    char cur() const { return r.m_current; }
    void next() { r.NextChar(); }
    // A 0 byte is only the end when the reader says so; the input may hold one.
    bool atEnd() { return r.m_current == 0 && r.AtEnd(); }
    // The grammar still needs a byte here.
    void need() {
        if (atEnd()) fail("Unexpected end of data");
    }
    // Consumes the bytes of literal if the input continues with them; else
    // leaves the position where it was.
    bool consume(std::string_view literal) {
        if (cur() != literal.front()) return false;
        SavedState saved(r);
        for (char expected : literal) {
            if (cur() != expected) {
                saved.restore();
                return false;
            }
            next();
        }
        return true;
    }

    void skipWhiteSpace() {
        while (isWhiteSpace(cur())) next();
    }

    std::string name() {
        m_name.clear();
        {
            Appender text(m_name);
            while (isNameChar(cur())) {
                text.add(cur());
                next();
            }
        }
        return std::string(m_name.view());
    }

    TXMLNode& addNode(TXMLNode& parent, std::uint8_t kind, std::string nodeName = {}) {
        if (++m_nodes > kMaxXmlNodes) {
            fail("More than " + std::to_string(kMaxXmlNodes) + " nodes in the document");
        }
        return parent.addChild(kind, std::move(nodeName));
    }

    bool startsDeclaration() { return consume("<?xml"); }
    bool startsDocType() { return consume("<!DOCTYPE"); }

    void declaration(TXMLNode& document) {
        TXMLNode& node = addNode(document, kXMLDeclaration);
        attributes(node);
        need();
        if (cur() != '?') fail("XML declaration not terminated with \"?>\"");
        next();
        need();
        if (cur() != '>') fail("XML declaration not terminated with \"?>\"");
        next();
        for (const auto& attribute : node.Children) {
            if (attribute->Name == "encoding") m_utf8 = namesUtf8(attribute->Value);
        }
    }

    // White space, comments and processing instructions. In the prolog a "<"
    // that starts none of them is left for the element; after the element it
    // is refused, and so is, by the caller, any other byte.
    void miscellaneous(TXMLNode& parent, Place place) {
        for (;;) {
            skipWhiteSpace();
            if (cur() != '<') return;
            SavedState saved(r);
            next();
            if (cur() == '?') {
                next();
                processingInstruction(parent);
            } else if (cur() == '!' && consumeAfterBang("--")) {
                comment();
            } else {
                if (place == Place::AfterElement) fail("Extra content after the document element");
                saved.restore();
                return;
            }
        }
    }

    // Called on "!": consumes it and the rest of a markup opener when it follows.
    bool consumeAfterBang(std::string_view rest) {
        SavedState saved(r);
        next();
        if (consume(rest)) return true;
        saved.restore();
        return false;
    }

    // Attributes of a start tag or the declaration, each after optional white space.
    void attributes(TXMLNode& owner) {
        for (;;) {
            skipWhiteSpace();
            if (!isNameStart(cur())) return;
            TXMLNode& attribute = addNode(owner, kXMLAttribute, name());
            skipWhiteSpace();
            need();
            if (cur() != '=') fail("Equals sign missing in attribute");
            next();
            skipWhiteSpace();
            need();
            const char quote = cur();
            if (quote != '"' && quote != '\'') fail("Attribute \"" + attribute.Name + "\" missing value");
            next();
            m_attributeValue.clear();
            {
                Appender value(m_attributeValue);
                for (;;) {
                    need();
                    const char c = cur();
                    if (c == quote) break;
                    if (c == '<') fail("Invalid character \"<\" in attribute value");
                    if (c == '&') {
                        const ReferenceBytes referenced = reference();
                        for (std::size_t i = 0; i < referenced.size; ++i) value.add(referenced.bytes[i]);
                    } else {
                        value.add(c);
                        next();
                    }
                }
            }
            attribute.Value = m_attributeValue.view();
            next();
        }
    }

    // Called with "<" consumed and a name start current: reads the element and
    // everything within it. m_open holds the elements whose end tag is still
    // to come, innermost last; the content of each collects in the buffer of
    // its level.
    void element(TXMLNode& parent) {
        m_open.clear();
        startTag(parent);
        while (!m_open.empty()) {
            TXMLNode& node = *m_open.back();
            TextBuffer& value = m_buffers[m_open.size() - 1];
            switch (content(value, node)) {
                case ContentEnd::ChildElement: startTag(node); break;
                case ContentEnd::EndTag: endTag(node, value); break;
                case ContentEnd::Other: fail("No ending tag for " + node.Name);
            }
        }
    }

    // Reads a start tag from its name on; an element with content is opened.
    void startTag(TXMLNode& parent) {
        TXMLNode& node = addNode(parent, kXMLElement, name());
        attributes(node);
        need();
        if (cur() == '/') {
            next();
            need();
            if (cur() != '>') fail("Tag not terminated properly");
            next();
            return;
        }
        if (cur() != '>') fail("Tag not terminated properly");
        next();
        if (m_open.size() >= kMaxXmlDepth) {
            fail("Elements nested more than " + std::to_string(kMaxXmlDepth) + " levels deep");
        }
        m_open.push_back(&node);
        if (m_buffers.size() < m_open.size()) m_buffers.resize(m_open.size());
        m_buffers[m_open.size() - 1].clear();
    }

    // Called with "</" consumed: the end tag of the innermost open element.
    void endTag(TXMLNode& node, const TextBuffer& value) {
        node.Value = stripped(value.view());
        const std::string endName = name();
        if (endName != node.Name) {
            fail("End tag name \"" + endName + "\" does not match start tag name \"" + node.Name + "\"");
        }
        skipWhiteSpace();
        need();
        if (cur() != '>') fail("End tag missing \">\"");
        next();
        m_open.pop_back();
    }

    enum class ContentEnd { ChildElement, EndTag, Other };

    // Reads content up to a child element (its "<" consumed, its name start
    // current), an end tag ("</" consumed) or anything else.
    ContentEnd content(TextBuffer& value, TXMLNode& node) {
        for (;;) {
            const char c = cur();
            if (c == '<') {
                next();
                need();
                switch (cur()) {
                    case '/': next(); return ContentEnd::EndTag;
                    case '?':
                        next();
                        processingInstruction(node);
                        continue;
                    case '!':
                        if (consumeAfterBang("--")) {
                            comment();
                            continue;
                        }
                        if (consumeAfterBang("[CDATA[")) {
                            cdata(value);
                            continue;
                        }
                        return ContentEnd::Other;
                    default: return isNameStart(cur()) ? ContentEnd::ChildElement : ContentEnd::Other;
                }
            }
            if (c == '&') {
                const ReferenceBytes referenced = reference();
                for (std::size_t i = 0; i < referenced.size; ++i) value.push(referenced.bytes[i]);
                continue;
            }
            if (atEnd()) return ContentEnd::Other;
            characterData(value);
        }
    }

    // Bytes up to the next "<", "&" or the end.
    void characterData(TextBuffer& text) {
        Appender value(text);
        int closingBrackets = 0;  // "]" just read, for "]]>"
        for (char c = cur(); c != '<' && c != '&'; c = cur()) {
            if (c == 0 && r.AtEnd()) return;
            if (c == '>' && closingBrackets >= 2) fail("Character data cannot contain \"]]>\"");
            closingBrackets = c == ']' ? closingBrackets + 1 : 0;
            value.add(c);
            next();
        }
    }

    // After "<![CDATA[": the bytes up to "]]>" go to the value.
    void cdata(TextBuffer& value) {
        int closingBrackets = 0;
        for (;;) {
            need();
            const char c = cur();
            next();
            if (c == '>' && closingBrackets >= 2) {
                value.dropLast(2);
                return;
            }
            closingBrackets = c == ']' ? closingBrackets + 1 : 0;
            value.push(c);
        }
    }

    // After "<!--": up to and including "-->", or to the end of the input.
    void comment() {
        int dashes = 0;  // "-" just read inside the comment
        while (!atEnd()) {
            const char c = cur();
            next();
            if (c == '>' && dashes >= 2) {
                if (dashes > 2) fail("Comments cannot end in \"--->\"");
                return;
            }
            dashes = c == '-' ? dashes + 1 : 0;
        }
    }

    // After "<?": a named instruction whose value runs up to "?>".
    void processingInstruction(TXMLNode& parent) {
        need();
        if (!isNameStart(cur())) fail("Processing instruction does not contain valid name");
        std::string target = name();
        if (target == "xml") fail("Processing instruction cannot have the reserved name \"xml\"");
        TXMLNode& node = addNode(parent, kXMLProcessingInstruction, std::move(target));
        skipWhiteSpace();
        for (;;) {
            if (atEnd()) fail("Unterminated processing instruction");
            const char c = cur();
            next();
            if (c == '?' && cur() == '>') {
                next();
                return;
            }
            node.Value += c;
        }
    }

    // On "&": consumes the reference up to ";" and answers its bytes.
    ReferenceBytes reference() {
        next();
        m_reference.clear();
        for (;;) {
            need();
            if (cur() == ';') break;
            m_reference += cur();
            next();
        }
        next();
        return referencedBytes(m_reference, m_utf8);
    }

    TXMLReader& r;
    // The content of each open element, by level; a buffer keeps its room
    // from element to element, and the deque keeps the outer levels' buffers
    // in place as it grows.
    std::deque<TextBuffer> m_buffers;
    std::vector<TXMLNode*> m_open;
    TextBuffer m_attributeValue;
    TextBuffer m_name;
    std::string m_reference;
    std::size_t m_nodes = 0;
    // The declaration's encoding; a document without one is UTF-8.
    bool m_utf8 = true;
};

std::unique_ptr<TXMLNode> TXMLReader::ReadDocument() {
    return Grammar(*this).document();
}

TXMLStringReader::TXMLStringReader(std::string text) : m_text(std::move(text)) {}

bool TXMLStringReader::AtEnd() {
    return m_position > m_text.size();
}

void TXMLStringReader::FreeState(TXMLReaderState* state) {
    m_freeStates.push_back(static_cast<TXMLStringReaderState*>(state));
}

void TXMLStringReader::NextChar() {
    if (m_position < m_text.size()) {
        m_current = m_text[m_position];
        ++m_position;
    } else {
        m_current = 0;
        m_position = m_text.size() + 1;
    }
}

void TXMLStringReader::RestoreState(TXMLReaderState* state) {
    const auto* saved = static_cast<TXMLStringReaderState*>(state);
    m_position = saved->Position;
    m_current = saved->Current;
}

TXMLReaderState* TXMLStringReader::SaveState() {
    TXMLStringReaderState* state;
    if (m_freeStates.empty()) {
        m_states.push_back(std::make_unique<TXMLStringReaderState>());
        state = m_states.back().get();
    } else {
        state = m_freeStates.back();
        m_freeStates.pop_back();
    }
    state->Position = m_position;
    state->Current = m_current;
    return state;
}

std::unique_ptr<TXMLNode> readXmlText(std::string text) {
    TXMLStringReader reader(std::move(text));
    return reader.ReadDocument();
}

}  // namespace xmltools
