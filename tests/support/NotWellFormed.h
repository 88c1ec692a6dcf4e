#pragma once

// Documents that are not well-formed XML, one broken rule each, with the
// parser's description of the first error and where it is. Every reader of a
// project document must refuse each of them and write nothing.

#include <string>
#include <vector>

namespace testing_support {

struct NotWellFormed {
    const char* name;
    std::string text;
    const char* message;  // description (line L, column C)
};

inline const std::vector<NotWellFormed>& notWellFormedDocuments() {
    static const std::vector<NotWellFormed> documents = {
        {"BareAmpersandInAttribute", "<Par_Gen a=\"A & B\"/>", "xmlParseEntityRef: no name (line 1, column 16)"},
        {"LessThanInAttribute", "<Par_Gen a=\"x<y\"/>",
         "Unescaped '<' not allowed in attributes values (line 1, column 14)"},
        {"RepeatedAttribute", "<Par_Gen a=\"1\" a=\"2\"/>", "Attribute a redefined (line 1, column 21)"},
        {"UndefinedEntity", "<Par_Gen>&unknown;</Par_Gen>", "Entity 'unknown' not defined (line 1, column 19)"},
        {"CharacterReferenceZero", "<Par_Gen>&#0;</Par_Gen>",
         "xmlParseCharRef: invalid xmlChar value 0 (line 1, column 14)"},
        {"CharacterReferenceSurrogate", "<Par_Gen>&#xD800;</Par_Gen>",
         "xmlParseCharRef: invalid xmlChar value 55296 (line 1, column 18)"},
        {"CdataEndInText", "<Par_Gen>a ]]> b</Par_Gen>", "Sequence ']]>' not allowed in content (line 1, column 12)"},
        {"DoubleHyphenInComment", "<Par_Gen><!-- a -- b --></Par_Gen>",
         "Double hyphen within comment: <!-- a (line 1, column 17)"},
        {"SecondDeclaration", "<?xml version=\"1.0\"?><?xml version=\"1.0\"?><Par_Gen/>",
         "XML declaration allowed only at the start of the document (line 1, column 27)"},
        {"MismatchedTags", "<Par_Gen>\n  <Ser_Baud>7</Ser_Bad>\n</Par_Gen>",
         "Opening and ending tag mismatch: Ser_Baud line 2 and Ser_Bad (line 2, column 24)"},
        {"UnclosedTag", "<Par_Gen><Ser_Baud>7", "Premature end of data in tag Ser_Baud line 1 (line 1, column 21)"},
        {"UnquotedAttribute", "<Par_Gen a=1/>", "AttValue: \" or ' expected (line 1, column 12)"},
        {"AttributeWithoutValue", "<Par_Gen a/>", "Specification mandates value for attribute a (line 1, column 11)"},
        {"NoBlankBetweenAttributes", "<Par_Gen a=\"1\"b=\"2\"/>", "attributes construct error (line 1, column 15)"},
        {"BadElementName", "<1Par/>", "StartTag: invalid element name (line 1, column 2)"},
        {"TextAfterDocumentElement", "<Par_Gen/>text", "Extra content at the end of the document (line 1, column 11)"},
        {"TextBeforeDocumentElement", "text<Par_Gen/>", "Start tag expected, '<' not found (line 1, column 1)"},
        {"SecondDocumentElement", "<a/><b/>", "Extra content at the end of the document (line 1, column 5)"},
        {"Truncated", "<Par_Gen><Ser_Baud>7</Ser_", "expected '>' (line 1, column 27)"},
        {"Empty", "", "Document is empty (line 1, column 1)"},
        {"OnlyWhitespace", "   \n", "Start tag expected, '<' not found (line 2, column 1)"},
        {"NotUtf8", "<Par_Gen>\xE9</Par_Gen>",
         "Input is not proper UTF-8, indicate encoding ! Bytes: 0xE9 0x3C 0x2F 0x50 (line 1, column 10)"},
        {"ControlCharacter", "<Par_Gen>\x01</Par_Gen>", "PCDATA invalid Char value 1 (line 1, column 10)"},
        {"EntityWithoutSemicolon", "<Par_Gen>&amp</Par_Gen>", "EntityRef: expecting ';' (line 1, column 14)"},
    };
    return documents;
}

}  // namespace testing_support
