#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The program's own small XML reader, used by the XML reader and writer
// window and by `tessaro-cli tree`. It reads bytes, not characters: texts and
// names come back as the bytes of the input. A character reference gives its
// character in UTF-8 when the document is UTF-8 (no encoding declared, or
// UTF-8), else the low byte of its code. It is separate from the document
// service and lenient where the window needs it (comments may run to the end
// of the input), but after the document element it allows only white space,
// comments and processing instructions.
namespace xmltools {

// The deepest nesting of elements the reader accepts; deeper input is refused
// with "Elements nested more than 1000 levels deep". It keeps the printed and
// shown tree, whose lines are indented by level, in proportion to the input.
inline constexpr std::size_t kMaxXmlDepth = 1000;
// The most nodes (elements, attributes, processing instructions, the
// declaration) a read document may have; more is refused with "More than
// 1000000 nodes in the document". It bounds the memory of the tree and of the
// window's items whatever the size of the file.
inline constexpr std::size_t kMaxXmlNodes = 1000000;

enum TXMLNodeKind : std::uint8_t {
    kXMLDocument = 0,
    kXMLElement = 1,
    kXMLAttribute = 2,
    kXMLProcessingInstruction = 3,
    kXMLDeclaration = 4,
};

// A node of a read document. A node owns its children; freeing it frees them.
struct TXMLNode {
    explicit TXMLNode(std::uint8_t kind, std::string name = {}) : Name(std::move(name)), Kind(kind) {}

    // Text content, attribute value or processing-instruction data; empty if none.
    std::string Value;
    // Element, attribute or processing-instruction name; empty for the document
    // and the XML declaration.
    std::string Name;
    std::vector<std::unique_ptr<TXMLNode>> Children;
    std::uint8_t Kind;
    // Document node only: the name of the file read, without folder.
    std::string FileName;

    TXMLNode& addChild(std::uint8_t kind, std::string name = {});
};

// The text of a node as the window's tree shows it: "File: " + FileName for the
// document, the name for an element or attribute, the name followed by
// "ProcessingInstruction", or "XMLDeclaration"; then " = " and the value when
// the value is not empty. Reads and writes nothing; never throws.
std::string displayText(const TXMLNode& node);

// The tree of a document as text: one display text a line ("\n"), depth first
// in document order, indented by two blanks per level. Never throws.
std::string treeText(const TXMLNode& document);

// A saved reading position of a reader; what it holds is the reader's own.
class TXMLReaderState {
public:
    virtual ~TXMLReaderState() = default;
};

// The reader's grammar over a source of bytes. A concrete reader supplies the
// five operations below (kept in this order); the grammar sees the current
// byte through CurrentChar(), which is 0 before the first NextChar and past
// the end.
class TXMLReader {
public:
    virtual ~TXMLReader() = default;

    // True when the position is past the last byte (the current byte is then 0).
    virtual bool AtEnd() = 0;
    // Releases a state answered by SaveState.
    virtual void FreeState(TXMLReaderState* state) = 0;
    // Advances one byte; past the end the current byte becomes 0.
    virtual void NextChar() = 0;
    // Goes back to a saved position and its current byte; the state stays valid.
    virtual void RestoreState(TXMLReaderState* state) = 0;
    // Remembers the position and the current byte until FreeState.
    virtual TXMLReaderState* SaveState() = 0;

    // Reads the input from the reader's position (a new reader's is before the
    // first byte) to its end and answers the document node, which the caller
    // owns. Throws std::runtime_error with the reader's message ("Unexpected end
    // of data", "Missing element", "No ending tag for item", "Extra content
    // after the document element", the limits above, ...) on input it cannot
    // read; no tree is answered then. Uses no machine stack per nesting level.
    std::unique_ptr<TXMLNode> ReadDocument();

    char CurrentChar() const { return m_current; }

protected:
    char m_current = 0;

private:
    class Grammar;
};

// The state of a TXMLStringReader: the 1-based position and the byte there.
class TXMLStringReaderState : public TXMLReaderState {
public:
    std::size_t Position = 0;
    char Current = 0;
};

// A reader over one in-memory byte string. Position 0 is before the first byte,
// 1 the first byte. Saved states are pooled, so saving costs no allocation
// after the first few.
class TXMLStringReader final : public TXMLReader {
public:
    explicit TXMLStringReader(std::string text);

    bool AtEnd() override;
    void FreeState(TXMLReaderState* state) override;
    void NextChar() override;
    void RestoreState(TXMLReaderState* state) override;
    TXMLReaderState* SaveState() override;

    std::size_t Position() const { return m_position; }

private:
    std::string m_text;
    std::size_t m_position = 0;
    std::vector<std::unique_ptr<TXMLStringReaderState>> m_states;
    std::vector<TXMLStringReaderState*> m_freeStates;
};

// Reads text with a TXMLStringReader. Throws as TXMLReader::ReadDocument.
std::unique_ptr<TXMLNode> readXmlText(std::string text);

}  // namespace xmltools
