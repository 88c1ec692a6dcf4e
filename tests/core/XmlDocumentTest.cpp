#include "documents/XmlDocument.h"

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

using documents::XmlDocument;
using documents::XmlNode;
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
    EXPECT_EQ(failureOf([&] { documents::requiredChild(doc.firstNode(), "Ser_Type", "pargen.xml"); }),
              "Element \"Ser_Type\" not found in \"pargen.xml\"");
    EXPECT_NE(failureOf([&] { doc.firstNode().childElement("missing").text(); }), "no failure");
}

struct BrokenCase {
    const char* text;
    const char* message;
};

class XmlDocumentBroken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(XmlDocumentBroken, ReportsTheErrorAndWhere) {
    TempDir dir;
    testing_support::writeFile(dir / "pargen.xml", GetParam().text);
    XmlDocument doc;
    doc.loadText("<old/>");
    const std::string message = failureOf([&] { doc.load(dir / "pargen.xml"); });
    EXPECT_EQ(message, std::string(GetParam().message) + " in \"" + (dir / "pargen.xml") + "\"");
    EXPECT_TRUE(doc.firstNode().isNull()) << "a failed load leaves the document empty";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlDocumentBroken,
    ::testing::Values(
        BrokenCase{"<Par_Gen>\n  <Ser_Baud>7</Ser_Bad>\n</Par_Gen>", "Start-end tags mismatch (line 2, column 16)"},
        BrokenCase{"<Par_Gen><Ser_Baud>7", "Start-end tags mismatch (line 1, column 20)"},
        BrokenCase{"", "No document element found (line 1, column 1)"},
        BrokenCase{"<a/><b/>", "Only one top level element is allowed in an XML document (line 1, column 5)"},
        BrokenCase{"<a/>\ntext", "Text is not allowed outside the document element (line 2, column 1)"}));

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
