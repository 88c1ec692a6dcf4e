#include "xmltools/XMLReader.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "support/TestFiles.h"

namespace {

using testing_support::repeated;

// An input and what reading it gives: the tree text of the window (top item
// "File: " as no file name is set), or "error: " and the reader's message.
struct ReaderCase {
    const char* name;
    std::string input;
    std::string expected;
};

void PrintTo(const ReaderCase& c, std::ostream* os) {
    *os << c.name;
}

std::string readTree(const std::string& input) {
    try {
        return xmltools::treeText(*xmltools::readXmlText(input));
    } catch (const std::exception& e) {
        return std::string("error: ") + e.what();
    }
}

class XMLReader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(XMLReader, ReadsTheTreeOrFailsWithItsMessage) {
    EXPECT_EQ(readTree(GetParam().input), GetParam().expected) << GetParam().input;
}

const ReaderCase kValid[] = {
    {"EmptyElement", "<a/>", "File: \n  a\n"},
    {"ElementWithText", "<Par_Gen><Ser_Baud>9600</Ser_Baud></Par_Gen>", "File: \n  Par_Gen\n    Ser_Baud = 9600\n"},
    {"Declaration", "<?xml version=\"1.0\" encoding='UTF-8' ?>\r\n<a/>",
     "File: \n  XMLDeclaration\n    version = 1.0\n    encoding = UTF-8\n  a\n"},
    {"DeclarationWithoutAttributes", "<?xml?><a/>", "File: \n  XMLDeclaration\n  a\n"},
    {"TextPiecesJoinedAroundChild", "<a> x <b/> y </a>", "File: \n  a = x  y\n    b\n"},
    {"AttributesBeforeChildren", "<a id = 'x\"y' n=\"2\"><b/></a>", "File: \n  a\n    id = x\"y\n    n = 2\n    b\n"},
    {"EmptyAttributeShowsBareName", "<a id=\"\"/>", "File: \n  a\n    id\n"},
    {"ValueStrippedOfTabLfCrBlank", "<a>\t\r\n x y \n\t</a>", "File: \n  a = x y\n"},
    {"AttributeValueKeepsBlanks", "<a v=\"  1 \"/>", "File: \n  a\n    v =   1 \n"},
    {"CommentsDropped", "<!-- top --><a><!-- in -->t<!----></a><!-- end -->", "File: \n  a = t\n"},
    {"CommentRunsToTheEnd", "<a/><!-- never closed", "File: \n  a\n"},
    {"CdataAddsItsBytes", "<a>x<![CDATA[<&]]]>y</a>", "File: \n  a = x<&]y\n"},
    {"ProcessingInstructions", "<?style  href=\"s\"?><a><?go now ?></a>",
     "File: \n  styleProcessingInstruction = href=\"s\"\n  a\n    goProcessingInstruction = now \n"},
    {"PiAfterElementKept", "<a/>\n<?tail x?>", "File: \n  a\n  tailProcessingInstruction = x\n"},
    {"PiWithoutData", "<a><?p?></a>", "File: \n  a\n    pProcessingInstruction\n"},
    {"XmlPrefixedPiNameInProlog", " <?xml-stylesheet a?><r/>",
     "File: \n  xml-stylesheetProcessingInstruction = a\n  r\n"},
    {"NamedReferences", "<a t=\"&lt;&amp;&gt;\">&quot;&apos;&amp;</a>", "File: \n  a = \"'&\n    t = <&>\n"},
    // A document without a declared encoding is UTF-8: a reference gives its
    // character as UTF-8, as the document's own text would hold it.
    {"CharacterReferencesGiveUtf8", "<a v='&#233;'>&#65;&#x42;&#x4a;&#323;&#x20AC;&#x1F600;</a>",
     "File: \n  a = ABJ\xC5\x83\xE2\x82\xAC\xF0\x9F\x98\x80\n    v = \xC3\xA9\n"},
    {"CharacterReferencesInADeclaredUtf8Document", "<?xml version='1.0' encoding='utf-8'?><a>&#233;</a>",
     "File: \n  XMLDeclaration\n    version = 1.0\n    encoding = utf-8\n  a = \xC3\xA9\n"},
    {"CharacterReferencesGiveTheLowByteInAOneByteEncoding",
     "<?xml version='1.0' encoding='ISO-8859-1'?><a v='&#233;'>\xE9&#233;&#323;</a>",
     "File: \n  XMLDeclaration\n    version = 1.0\n    encoding = ISO-8859-1\n  a = \xE9\xE9"
     "C\n    v = \xE9\n"},
    {"ACodeThatIsNoCharacterGivesTheLowByte", "<a>&#xD841;&#x110041;</a>", "File: \n  a = AA\n"},
    {"NamesWithDigitsDotsDashesColonsMiddleDot", "<_x:y.z-1\xB7><B9/></_x:y.z-1\xB7>",
     "File: \n  _x:y.z-1\xB7\n    B9\n"},
    {"EndTagWithBlanksBeforeBracket", "<a>1</a \n>", "File: \n  a = 1\n"},
    {"NestedOrder", "<r><x>1</x><y a=\"b\"><z/></y>2</r>", "File: \n  r = 2\n    x = 1\n    y\n      a = b\n      z\n"},
    {"SingleRightBracketsAllowed", "<a>]] ]>]</a>", "File: \n  a = ]] ]>]\n"},
    // Values longer than the reader's first buffers, and outer content that
    // must survive the deeper levels' buffers.
    {"LongValuesAroundDeepNesting",
     "<a>" + std::string(300, 'x') + "<b v='" + std::string(200, 'y') + "&amp;'>in<c><d><e>" + std::string(70, 'z') +
         "</e></d></c>mid</b> tail</a>",
     "File: \n  a = " + std::string(300, 'x') + " tail\n    b = inmid\n      v = " + std::string(200, 'y') +
         "&\n      c\n        d\n          e = " + std::string(70, 'z') + "\n"},
    {"NulByteInData", std::string("<a>x\0y</a>", 10), std::string("File: \n  a = x\0y\n", 17)},
};
INSTANTIATE_TEST_SUITE_P(Valid, XMLReader, ::testing::ValuesIn(kValid),
                         [](const auto& info) { return std::string(info.param.name); });

// Each of the reader's messages, provoked as a user's file would.
const ReaderCase kErrors[] = {
    {"EmptyInput", "", "error: Unexpected end of data"},
    {"EndInsideStartTag", "<a", "error: Unexpected end of data"},
    {"EndInsideAttributeValue", "<a b=\"1", "error: Unexpected end of data"},
    {"EndInsideReference", "<a>&amp", "error: Unexpected end of data"},
    {"EndInsideCdata", "<a><![CDATA[x]]", "error: Unexpected end of data"},
    {"EndAfterLessThan", "<a><", "error: Unexpected end of data"},
    {"EndInsideEndTag", "<a></a", "error: Unexpected end of data"},
    {"OnlyBlanks", " \r\n", "error: Missing element"},
    {"OnlyComment", "<!-- c -->", "error: Missing element"},
    {"TextInsteadOfElement", "hello", "error: Missing element"},
    {"NoNameAfterLessThan", "<1a/>", "error: Missing element"},
    {"DocType", "<?xml version=\"1.0\"?><!DOCTYPE a><a/>", "error: DocTypeDecl parsing not yet implemented"},
    {"DeclarationNotTerminated", "<?xml version=\"1.0\"><a/>", "error: XML declaration not terminated with \"?>\""},
    {"DeclarationQuestionMarkOnly", "<?xml version=\"1.0\"?<a/>", "error: XML declaration not terminated with \"?>\""},
    {"TagNotTerminated", "<a b=\"1\"/ >", "error: Tag not terminated properly"},
    {"TagWithStrayCharacter", "<a \"x\"></a>", "error: Tag not terminated properly"},
    {"NoEndingTag", "<item>text", "error: No ending tag for item"},
    {"NoEndingTagBeforeStrayMarkup", "<item><!DOCTYPE x></item>", "error: No ending tag for item"},
    {"NoEndingTagInChild", "<a><item></a>", "error: End tag name \"a\" does not match start tag name \"item\""},
    {"EndTagNameDiffers", "<a></b>", "error: End tag name \"b\" does not match start tag name \"a\""},
    {"EndTagComparedCaseSensitively", "<a></A>", "error: End tag name \"A\" does not match start tag name \"a\""},
    {"EndTagMissingBracket", "<a></a b>", "error: End tag missing \">\""},
    {"EqualsSignMissing", "<a id \"1\"/>", "error: Equals sign missing in attribute"},
    {"AttributeMissingValue", "<a id=1/>", "error: Attribute \"id\" missing value"},
    {"LessThanInAttributeValue", "<a v=\"<\"/>", "error: Invalid character \"<\" in attribute value"},
    {"CdataEndInCharacterData", "<a>x]]>y</a>", "error: Character data cannot contain \"]]>\""},
    {"CommentEndingInThreeDashes", "<a><!-- x ---></a>", "error: Comments cannot end in \"--->\""},
    {"PiWithoutName", "<a><? x?></a>", "error: Processing instruction does not contain valid name"},
    {"PiNamedXmlAfterProlog", "<?xml version=\"1.0\"?><?xml x?><a/>",
     "error: Processing instruction cannot have the reserved name \"xml\""},
    {"PiNamedXmlAfterLeadingBlank", " <?xml version=\"1.0\"?><a/>",
     "error: Processing instruction cannot have the reserved name \"xml\""},
    {"UnterminatedPi", "<a><?p data", "error: Unterminated processing instruction"},
    {"UnterminatedPiAfterElement", "<a/><?p data?", "error: Unterminated processing instruction"},
    {"BadDecimalReference", "<a>&#12a;</a>", "error: Invalid integer in reference &#12a;"},
    {"EmptyHexReference", "<a>&#x;</a>", "error: Invalid integer in reference &#x;"},
    {"NegativeReference", "<a v=\"&#-1;\"/>", "error: Invalid integer in reference &#-1;"},
    {"ReferenceTooLarge", "<a>&#99999999999;</a>", "error: Invalid integer in reference &#99999999999;"},
    {"UnknownEntity", "<a>&nbsp;</a>", "error: Unrecognized reference"},
    // Nothing but white space, comments and processing instructions may follow
    // the document element; what would be dropped is refused.
    {"TextAfterTheElement", "<a/><b>junk & more", "error: Extra content after the document element"},
    {"SecondElement", "<a/>\r\n<b/>", "error: Extra content after the document element"},
    {"SecondElementAfterComment", "<a>1</a><!-- c --><?p x?><a>2</a>",
     "error: Extra content after the document element"},
    {"NulByteAfterTheElement", std::string("<a/>\0junk", 9), "error: Extra content after the document element"},
    {"BytesAfterTheElement", "<a/>\r\nx", "error: Extra content after the document element"},
    {"EndTagAfterTheElement", "<a></a></a>", "error: Extra content after the document element"},
    {"LessThanAtTheEndAfterTheElement", "<a/> <", "error: Extra content after the document element"},
    {"EmptyEntity", "<a>&;</a>", "error: Unrecognized reference"},
};
INSTANTIATE_TEST_SUITE_P(Errors, XMLReader, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

// Levels of <a>, the innermost holding "x", each closed.
std::string nested(std::size_t levels) {
    return repeated("<a>", levels) + "x" + repeated("</a>", levels);
}

std::string nestedTree(std::size_t levels) {
    std::string tree = "File: \n";
    for (std::size_t level = 1; level <= levels; ++level) {
        tree += std::string(level * 2, ' ') + (level == levels ? "a = x\n" : "a\n");
    }
    return tree;
}

// Inputs at and beyond the reader's bounds: deep nesting and many nodes are
// read within bounded memory and without a call per level, or refused with a
// message; none may crash. The texts are made when a case runs.
struct BoundCase {
    const char* name;
    std::string (*input)();
    std::string (*expected)();
};

void PrintTo(const BoundCase& c, std::ostream* os) {
    *os << c.name;
}

std::string depthError() {
    return "error: Elements nested more than 1000 levels deep";
}

std::string nodesError() {
    return "error: More than 1000000 nodes in the document";
}

const BoundCase kBounds[] = {
    {"DeepestNestingIsRead", [] { return nested(xmltools::kMaxXmlDepth); },
     [] { return nestedTree(xmltools::kMaxXmlDepth); }},
    {"OneLevelTooDeep", [] { return nested(xmltools::kMaxXmlDepth + 1); }, depthError},
    {"ThirtyThousandLevels", [] { return nested(30000); }, depthError},
    {"FiftyThousandOpenTags", [] { return repeated("<a>", 50000); }, depthError},
    {"FiftyThousandOpenTagsWithText", [] { return repeated("<a> t", 50000); }, depthError},
    {"MostNodesAreRead", [] { return "<r>" + repeated("<a/>", xmltools::kMaxXmlNodes - 1) + "</r>"; },
     [] { return "File: \n  r\n" + repeated("    a\n", xmltools::kMaxXmlNodes - 1); }},
    {"OneNodeTooMany", [] { return "<r>" + repeated("<a/>", xmltools::kMaxXmlNodes) + "</r>"; }, nodesError},
    {"AttributesCountAsNodes", [] { return "<r " + repeated("a='1' ", xmltools::kMaxXmlNodes) + "/>"; }, nodesError},
};

// The texts are large: a difference is shown by its start only.
class XMLReaderBounds : public ::testing::TestWithParam<BoundCase> {};

TEST_P(XMLReaderBounds, ReadsOrRefusesWithoutCrashing) {
    const std::string got = readTree(GetParam().input());
    EXPECT_TRUE(got == GetParam().expected()) << got.substr(0, 200) << " ... (" << got.size() << " bytes)";
}

INSTANTIATE_TEST_SUITE_P(Bounds, XMLReaderBounds, ::testing::ValuesIn(kBounds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(XMLNode, DisplayTextByKind) {
    xmltools::TXMLNode document(xmltools::kXMLDocument);
    document.FileName = "pargen.xml";
    EXPECT_EQ(xmltools::displayText(document), "File: pargen.xml");
    document.Value = "v";
    EXPECT_EQ(xmltools::displayText(document), "File: pargen.xml = v");

    xmltools::TXMLNode pi(xmltools::kXMLProcessingInstruction, "go");
    EXPECT_EQ(xmltools::displayText(pi), "goProcessingInstruction");
    xmltools::TXMLNode declaration(xmltools::kXMLDeclaration);
    declaration.Value = "x";
    EXPECT_EQ(xmltools::displayText(declaration), "XMLDeclaration = x");
}

// The operations are the reader's only way to its input: a reader over a
// string of its own sees the same document as the string reader.
class CountingReader final : public xmltools::TXMLReader {
public:
    explicit CountingReader(std::string text) : m_text(std::move(text)) {}
    bool AtEnd() override { return m_position > m_text.size(); }
    void FreeState(xmltools::TXMLReaderState* state) override {
        ++m_freed;
        delete state;
    }
    void NextChar() override {
        ++m_position;
        m_current = m_position <= m_text.size() ? m_text[m_position - 1] : 0;
    }
    void RestoreState(xmltools::TXMLReaderState* state) override {
        m_position = static_cast<xmltools::TXMLStringReaderState*>(state)->Position;
        m_current = static_cast<xmltools::TXMLStringReaderState*>(state)->Current;
    }
    xmltools::TXMLReaderState* SaveState() override {
        ++m_saved;
        auto* state = new xmltools::TXMLStringReaderState;
        state->Position = m_position;
        state->Current = m_current;
        return state;
    }
    int m_saved = 0, m_freed = 0;

private:
    std::string m_text;
    std::size_t m_position = 0;
};

TEST(XMLReaderOperations, EverySavedStateIsFreedAlsoOnFailure) {
    for (const std::string input : {"<?xml a='1'?><!-- c --><?p?><r><!-- x --><![CDATA[y]]></r>", "<?xmx?><r>",
                                    "<!DOCTYPE r><r/>", "<r><!-x</r>"}) {
        CountingReader reader(input);
        const std::string expected = readTree(input);
        std::string got;
        try {
            got = xmltools::treeText(*reader.ReadDocument());
        } catch (const std::exception& e) {
            got = std::string("error: ") + e.what();
        }
        EXPECT_EQ(got, expected) << input;
        EXPECT_GT(reader.m_saved, 0) << input;
        EXPECT_EQ(reader.m_saved, reader.m_freed) << input;
    }
}

TEST(XMLStringReader, PositionIsOneBasedAndStopsPastTheEnd) {
    xmltools::TXMLStringReader reader("ab");
    EXPECT_EQ(reader.Position(), 0u);
    EXPECT_FALSE(reader.AtEnd());
    reader.NextChar();
    EXPECT_EQ(reader.Position(), 1u);
    EXPECT_EQ(reader.CurrentChar(), 'a');
    xmltools::TXMLReaderState* state = reader.SaveState();
    reader.NextChar();
    reader.NextChar();
    reader.NextChar();
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.CurrentChar(), 0);
    EXPECT_EQ(reader.Position(), 3u);
    reader.RestoreState(state);
    EXPECT_EQ(reader.Position(), 1u);
    EXPECT_EQ(reader.CurrentChar(), 'a');
    EXPECT_FALSE(reader.AtEnd());
    reader.FreeState(state);
    EXPECT_EQ(reader.SaveState(), state) << "freed states are reused";
}

}  // namespace
