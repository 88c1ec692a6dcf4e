#include "base/XmlDocument.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "support/NotWellFormed.h"
#include "support/TestFiles.h"

namespace {

using base::XmlDocument;
using base::XmlNode;
using testing_support::TempDir;

std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no failure";
}

TEST(XmlDocument, BuildSaveAndLoadRoundTrip) {
    TempDir dir;
    XmlDocument doc;
    XmlNode root = doc.appendRoot("Serial_to_ProfiBus");
    XmlNode group = root.appendElement("ProfiBUS_IN");
    XmlNode row = group.appendElement("row");
    row.setAttribute("Address", "$10");
    row.setAttribute("Add_Profi_Hi", "0");
    row.setAttribute("Mnemonic", "");
    row.setAttribute("Add_Profi_Hi", "1");  // replaced in place, order kept
    root.appendElement("Note").setText("Pump & valve <ü> \"x\"");
    root.appendElement("ProfiBUS_OUT");
    doc.save(dir / "sdo.xml");

    const std::string text = testing_support::readFile(dir / "sdo.xml");
    EXPECT_EQ(text,
              "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"$10\" Add_Profi_Hi=\"1\" Mnemonic=\"\"/></ProfiBUS_IN>"
              "<Note>Pump &amp; valve &lt;\xC3\xBC&gt; \"x\"</Note><ProfiBUS_OUT/></Serial_to_ProfiBus>");

    XmlDocument again;
    again.load(dir / "sdo.xml");
    XmlNode loaded = again.firstNode();
    EXPECT_EQ(loaded.name(), "Serial_to_ProfiBus");
    ASSERT_EQ(loaded.childCount(), 3u);
    EXPECT_EQ(loaded.child(0).child(0).attributeText("Address"), "$10");
    EXPECT_EQ(loaded.child(0).child(0).attributeText("Mnemonic"), "");
    EXPECT_EQ(loaded.childElement("Note").text(), "Pump & valve <\xC3\xBC> \"x\"");
    EXPECT_EQ(loaded.childElement("ProfiBUS_OUT").childCount(), 0u);
    EXPECT_TRUE(loaded.child(3).isNull());
}

TEST(XmlDocument, BlanksAndMarkupInValuesReadBackAsWritten) {
    const std::string value = "a\tb\nc\r\nd & <e> \"f\" 'g' ]]>";
    XmlDocument doc;
    XmlNode root = doc.appendRoot("Par_Gen");
    root.setAttribute("Mnemonic", value);
    root.appendElement("Note").setText(value);
    XmlDocument again;
    again.loadText(doc.toText());
    EXPECT_EQ(again.firstNode().attributeText("Mnemonic"), value);
    EXPECT_EQ(again.firstNode().childElement("Note").text(), value);
}

TEST(XmlDocument, IndentationBetweenElementsIsDropped) {
    XmlDocument doc;
    doc.loadText("<Par_Gen>\r\n  <Ser_Baud>7</Ser_Baud>\n\t<Ser_ID> 1 </Ser_ID>\n</Par_Gen>\n");
    XmlNode root = doc.firstNode();
    EXPECT_EQ(root.childCount(), 2u);
    EXPECT_EQ(root.child(0).name(), "Ser_Baud");
    EXPECT_EQ(root.childElement("Ser_ID").text(), " 1 ");  // text inside an element stays as it is
}

TEST(XmlDocument, AbsentAttributeAndElement) {
    XmlDocument doc;
    doc.loadText("<a><row Address=\"1\"/></a>");
    XmlNode row = doc.firstNode().child(0);
    EXPECT_FALSE(row.attribute("Mnemonic").has_value());
    EXPECT_EQ(failureOf([&] { row.attributeText("Mnemonic"); }),
              "Could not convert variant of type (Null) into type (String)");
    EXPECT_TRUE(doc.firstNode().childElement("missing").isNull());
    EXPECT_EQ(failureOf([&] { base::requiredChild(doc.firstNode(), "Ser_Type", "pargen.xml"); }),
              "Element \"Ser_Type\" not found in \"pargen.xml\"");
    EXPECT_NE(failureOf([&] { doc.firstNode().childElement("missing").text(); }), "no failure");
}

class XmlDocumentNotWellFormed : public ::testing::TestWithParam<testing_support::NotWellFormed> {};

TEST_P(XmlDocumentNotWellFormed, IsRefusedWithTheParsersDescription) {
    TempDir dir;
    testing_support::writeFile(dir / "pargen.xml", GetParam().text);
    XmlDocument doc;
    doc.loadText("<old/>");
    const std::string message = failureOf([&] { doc.load(dir / "pargen.xml"); });
    EXPECT_EQ(message, std::string(GetParam().message) + " in \"" + (dir / "pargen.xml") + "\"");
    EXPECT_TRUE(doc.firstNode().isNull()) << "a failed load leaves the document empty";
}

INSTANTIATE_TEST_SUITE_P(Table, XmlDocumentNotWellFormed,
                         ::testing::ValuesIn(testing_support::notWellFormedDocuments()),
                         [](const auto& info) { return std::string(info.param.name); });

struct WellFormedCase {
    const char* name;
    const char* text;
    const char* rootText;
};

class XmlDocumentWellFormed : public ::testing::TestWithParam<WellFormedCase> {};

TEST_P(XmlDocumentWellFormed, Loads) {
    XmlDocument doc;
    doc.loadText(GetParam().text);
    EXPECT_EQ(doc.documentElement().name(), "Par_Gen");
    EXPECT_EQ(doc.documentElement().text(), GetParam().rootText);
}

INSTANTIATE_TEST_SUITE_P(
    Table, XmlDocumentWellFormed,
    ::testing::Values(
        WellFormedCase{"Cdata", "<Par_Gen><![CDATA[<x> & ]]>y</Par_Gen>", "<x> & y"},
        WellFormedCase{"CharacterReferences", "<Par_Gen>&#65;&#x42;&lt;&amp;&gt;&quot;&apos;</Par_Gen>", "AB<&>\"'"},
        WellFormedCase{"Comment", "<Par_Gen>a<!-- - b - -->c</Par_Gen>", "ac"},
        WellFormedCase{"LeadingDeclaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Par_Gen>1</Par_Gen>", "1"},
        WellFormedCase{"LeadingComment", "<!-- settings -->\n<Par_Gen>1</Par_Gen>\n<!-- end -->", "1"},
        WellFormedCase{"SingleQuotedAttribute", "<Par_Gen a='say \"hi\"'>1</Par_Gen>", "1"},
        WellFormedCase{"ByteOrderMark", "\xEF\xBB\xBF<Par_Gen>1</Par_Gen>", "1"},
        WellFormedCase{"Latin1Declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Par_Gen>\xE9</Par_Gen>",
                       "\xC3\xA9"},
        WellFormedCase{"InternalEntity", "<!DOCTYPE Par_Gen [<!ENTITY e \"x\">]><Par_Gen>&e;</Par_Gen>", "x"},
        WellFormedCase{"UndeclaredNamespacePrefix", "<Par_Gen><p:a>1</p:a></Par_Gen>", "1"},
        WellFormedCase{"GreaterThanInText", "<Par_Gen>a > b ]] ></Par_Gen>", "a > b ]] >"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlDocument, SingleQuotedAndNamespacedAttributesRead) {
    XmlDocument doc;
    doc.loadText("<Par_Gen xmlns:p=\"urn:x\" a='say \"hi\"' p:b=\"2\"><p:c/></Par_Gen>");
    EXPECT_EQ(doc.documentElement().attributeText("a"), "say \"hi\"");
    EXPECT_EQ(doc.documentElement().attributeText("p:b"), "2");
    EXPECT_FALSE(doc.documentElement().childElement("p:c").isNull());
}

// Nothing outside the text is read: no external entity, no external DTD (so
// no default attribute from one), no network.
TEST(XmlDocument, FetchesNothing) {
    TempDir dir;
    testing_support::writeFile(dir / "secret.txt", "SECRET");
    testing_support::writeFile(dir / "outside.dtd",
                               "<!ATTLIST Par_Gen fetched CDATA \"yes\"><!ENTITY inside \"SECRET\">");
    // A file URL of the folder: "file:///tmp/x", "file:///C:/Users/x".
    std::string url = dir.path();
    std::replace(url.begin(), url.end(), '\\', '/');
    url = (url.front() == '/' ? "file://" : "file:///") + url;
    for (const std::string& text : {
             "<!DOCTYPE Par_Gen [<!ENTITY e SYSTEM \"" + url + "/secret.txt\">]><Par_Gen>&e;</Par_Gen>",
             "<!DOCTYPE Par_Gen SYSTEM \"" + url + "/outside.dtd\"><Par_Gen/>",
             "<!DOCTYPE Par_Gen [<!ENTITY % p SYSTEM \"" + url + "/outside.dtd\"> %p;]><Par_Gen/>",
             std::string("<!DOCTYPE Par_Gen SYSTEM \"http://127.0.0.1:9/x.dtd\"><Par_Gen/>"),
         }) {
        XmlDocument doc;
        doc.loadText(text);
        EXPECT_EQ(doc.documentElement().text().find("SECRET"), std::string::npos) << text;
        EXPECT_FALSE(doc.documentElement().attribute("fetched")) << text;
    }
}

// An entity that grows without bound is refused instead of being expanded.
TEST(XmlDocument, EntityExpansionBombIsRefused) {
    std::string dtd = "<!ENTITY l0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        std::string body;
        for (int i = 0; i < 10; ++i) body += "&l" + std::to_string(level - 1) + ";";
        dtd += "<!ENTITY l" + std::to_string(level) + " \"" + body + "\">";
    }
    XmlDocument doc;
    EXPECT_NE(failureOf([&] { doc.loadText("<!DOCTYPE Par_Gen [" + dtd + "]><Par_Gen>&l9;</Par_Gen>"); }),
              "no failure");
}

// Each parse keeps its errors to itself: nothing goes to standard error and a
// failure does not stick to the next document.
TEST(XmlDocument, ErrorsStayWithTheirParse) {
    TempDir dir;
    fflush(stderr);
    const int saved = dup(2);
    const int captured = open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(captured, 0);
    dup2(captured, 2);
    XmlDocument doc;
    const std::string first = failureOf([&] { doc.loadText("<a><b></a>", "one"); });
    const std::string warned = failureOf([&] { doc.loadText("<a xmlns=\"not absolute\"><p:b/></a>", "two"); });
    const std::string second = failureOf([&] { doc.loadText("<a>&x;</a>", "three"); });
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(captured);
    EXPECT_EQ(first, "Opening and ending tag mismatch: b line 1 and a (line 1, column 11) in \"one\"");
    EXPECT_EQ(warned, "no failure");
    EXPECT_EQ(second, "Entity 'x' not defined (line 1, column 7) in \"three\"");
    EXPECT_EQ(testing_support::readFile(dir / "stderr"), "");
}

TEST(XmlDocument, MissingFileIsReported) {
    TempDir dir;
    XmlDocument doc;
    EXPECT_EQ(failureOf([&] { doc.load(dir / "none.xml"); }).rfind("Cannot read file \"" + dir.path(), 0), 0u);
}

TEST(XmlDocument, DeclarationOrCommentFirstIsTheWindowsRoot) {
    for (const char* text : {"<?xml version=\"1.0\"?><Par_Gen><Ser_Baud>3</Ser_Baud></Par_Gen>",
                             "<!-- settings --><Par_Gen><Ser_Baud>3</Ser_Baud></Par_Gen>"}) {
        XmlDocument doc;
        doc.loadText(text);
        // The windows look below the first node and find nothing ...
        EXPECT_FALSE(doc.firstNode().isElement()) << text;
        EXPECT_TRUE(doc.firstNode().childElement("Ser_Baud").isNull()) << text;
        // ... the editors take the document element and read normally.
        EXPECT_EQ(doc.documentElement().childElement("Ser_Baud").text(), "3") << text;
    }
    XmlDocument plain;
    plain.loadText("<Par_Gen><Ser_Baud>3</Ser_Baud></Par_Gen>");
    EXPECT_TRUE(plain.firstNode().isElement());
}

// A flat expansion (one big entity used many times) is refused before it is
// expanded, in text and in attributes; a few small entities still read.
TEST(XmlDocument, FlatEntityExpansionIsRefused) {
    const std::string declaration = "<!DOCTYPE Par_Gen [<!ENTITY e \"" + std::string(100000, 'a') + "\">]>";
    std::string uses;
    for (int i = 0; i < 2000; ++i) uses += "&e;";
    const std::string message = "Entity references expand to more than 1000000 characters (entity \"e\") in \"doc\"";
    for (const std::string& body : {"<Par_Gen a=\"" + uses + "\"/>", "<Par_Gen><x>" + uses + "</x></Par_Gen>",
                                    "<Par_Gen><x b=\"&e;\"/><y>" + uses.substr(0, 30) + "</y></Par_Gen>"}) {
        XmlDocument doc;
        EXPECT_EQ(failureOf([&] { doc.loadText(declaration + body, "doc"); }), message) << body.substr(0, 40);
        EXPECT_FALSE(doc.documentElement());
    }
    // Entities in entities count with their whole expansion.
    XmlDocument nested;
    EXPECT_EQ(failureOf([&] {
                  nested.loadText("<!DOCTYPE Par_Gen [<!ENTITY e \"" + std::string(400000, 'a') +
                                      "\"><!ENTITY f \"&e;&e;&e;\">]><Par_Gen>&f;</Par_Gen>",
                                  "doc");
              }),
              "Entity references expand to more than 1000000 characters (entity \"f\") in \"doc\"");
    XmlDocument small;
    small.loadText("<!DOCTYPE Par_Gen [<!ENTITY e \"" + std::string(1000, 'a') + "\">]><Par_Gen a=\"&e;&e;\">" +
                   uses.substr(0, 300) + "</Par_Gen>");
    EXPECT_EQ(small.documentElement().text().size(), 100000u);
    EXPECT_EQ(small.documentElement().attributeText("a").size(), 2000u);
}

// The parser stops at a NUL character as if the text ended there; whatever
// follows it makes the document not well-formed.
TEST(XmlDocument, NulAfterTheRootIsRefused) {
    for (const std::string& text : {std::string("<Par_Gen/>\0<junk", 17), std::string("<Par_Gen/>\0", 11),
                                    std::string("<Par_Gen/>\n\0\0\0", 14)}) {
        XmlDocument doc;
        EXPECT_EQ(failureOf([&] {
                      doc.loadText(text, "doc");
                  }).rfind("Content after the end of the document (a NUL character) (line ", 0),
                  0u)
            << text.size();
    }
}

// A parse error that quotes a huge name or text is cut short.
TEST(XmlDocument, ParseErrorsQuoteLongTextShort) {
    XmlDocument doc;
    const std::string message = failureOf([&] { doc.loadText("<" + std::string(10000, 'a') + "></b>", "doc"); });
    EXPECT_LT(message.size(), 300u) << message.substr(0, 300);
    EXPECT_NE(message.find("\xE2\x80\xA6"), std::string::npos) << message;
}

// Before a save replaces a document the previous file is kept as <name>.bak.
TEST(XmlDocumentSave, KeepsThePreviousFileBesideIt) {
    TempDir dir;
    const std::string path = dir / "pargen.xml";
    XmlDocument doc;
    doc.appendRoot("first");
    doc.save(path);
    EXPECT_FALSE(testing_support::exists(path + ".bak")) << "nothing to keep before the first save";
    doc.clear();
    doc.appendRoot("second");
    doc.save(path);
    EXPECT_EQ(testing_support::readFile(path + ".bak"), "<first/>");
    doc.clear();
    doc.appendRoot("third");
    doc.save(path);
    EXPECT_EQ(testing_support::readFile(path), "<third/>");
    EXPECT_EQ(testing_support::readFile(path + ".bak"), "<second/>");
    EXPECT_EQ(testing_support::entriesIn(dir.path()), 2u);
}

// When the previous file cannot be kept, nothing is replaced.
TEST(XmlDocumentSave, NothingIsReplacedWhenTheBackupFails) {
    TempDir dir;
    const std::string path = dir / "sdo.xml";
    testing_support::writeFile(path, "<earlier/>");
    testing_support::writeFile(dir / "sdo.xml.bak/occupied", "x");  // a folder in the way
    XmlDocument doc;
    doc.appendRoot("later");
    EXPECT_EQ(failureOf([&] { doc.save(path); })
                  .rfind("Cannot keep the previous file as \"" + path + ".bak\", so \"" + path +
                             "\" was not replaced: Cannot create file",
                         0),
              0u);
    EXPECT_EQ(testing_support::readFile(path), "<earlier/>");
}

TEST(XmlDocument, ClearAndRebuildReplacesEverything) {
    TempDir dir;
    XmlDocument doc;
    doc.loadText("<?xml version=\"1.0\"?><!-- c --><Par_Gen><x>1</x></Par_Gen>");
    doc.clear();
    doc.appendRoot("Par_Gen").appendElement("Ser_Baud").setText("7");
    EXPECT_EQ(doc.toText(), "<Par_Gen><Ser_Baud>7</Ser_Baud></Par_Gen>");
}

}  // namespace
