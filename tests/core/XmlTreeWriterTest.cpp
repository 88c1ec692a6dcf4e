#include "xmltools/XmlTreeWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TestFiles.h"
#include "xmltools/XMLReader.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;
using xmltools::XmlTreeItem;

XmlTreeItem treeOfFile(const std::string& path) {
    std::unique_ptr<xmltools::TXMLNode> document = xmltools::readXmlText(readFile(path));
    document->FileName = fs::path(path).filename().string();
    return xmltools::treeItemOf(*document);
}

// Case folders below tests/data/xmlwrite: input.xml, read with the own reader
// and written back unchanged, and expected.xml, the file written; without
// expected.xml the tree cannot be written and no file may appear.
class XmlTreeWriter : public ::testing::TestWithParam<std::string> {};

TEST_P(XmlTreeWriter, WritesTheReadTreeBack) {
    const std::string folder = testing_support::testData("xmlwrite/" + GetParam());
    TempDir project;
    const XmlTreeItem top = treeOfFile(folder + "/input.xml");
    if (fs::exists(folder + "/expected.xml")) {
        EXPECT_EQ(xmltools::writeXmlTree(top, project.path()), project / "input.xml");
        EXPECT_EQ(readFile(project / "input.xml"), readFile(folder + "/expected.xml"));
    } else {
        EXPECT_THROW(xmltools::writeXmlTree(top, project.path()), std::runtime_error);
        EXPECT_TRUE(fs::is_empty(project.path())) << "no file, not even a partial one";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlTreeWriter, ::testing::ValuesIn(testing_support::caseFolders("xmlwrite")),
                         [](const auto& info) { return testing_support::caseName(info.param); });

XmlTreeItem edited() {
    return XmlTreeItem{xmltools::kXMLDocument,
                       "File: pargen.xml",
                       {XmlTreeItem{xmltools::kXMLElement,
                                    "Par_Gen",
                                    {XmlTreeItem{xmltools::kXMLElement, " Ser_Baud = 9600 = fast ", {}},
                                     XmlTreeItem{xmltools::kXMLAttribute, "v =", {}}}}}};
}

TEST(XmlTreeWriterEdits, TopItemNamesTheFileAndTextsAreSplitAtTheFirstEquals) {
    TempDir project;
    XmlTreeItem top = edited();
    top.Text = "File:  copy.xml ";
    EXPECT_EQ(xmltools::writeXmlTree(top, project.path()), project / "copy.xml");
    EXPECT_EQ(readFile(project / "copy.xml"), "<Par_Gen v=\"\"><Ser_Baud>9600 = fast</Ser_Baud></Par_Gen>");

    top.Text = "plain.xml";
    xmltools::writeXmlTree(top, project.path());
    EXPECT_TRUE(fs::exists(project / "plain.xml"));
}

TEST(XmlTreeWriterEdits, RefusedTreesLeaveTheOldFileWhole) {
    TempDir project;
    testing_support::writeFile(project / "pargen.xml", "<old/>");
    const auto refuses = [&](XmlTreeItem top, const std::string& projectDir) {
        EXPECT_THROW(xmltools::writeXmlTree(top, projectDir), std::runtime_error) << top.Text;
        EXPECT_EQ(readFile(project / "pargen.xml"), "<old/>");
    };
    XmlTreeItem top = edited();
    top.Children[0].Children.push_back(XmlTreeItem{xmltools::kXMLElement, "bad name = 1", {}});
    refuses(top, project.path());
    top = edited();
    top.Children[0].Children.push_back(XmlTreeItem{xmltools::kXMLAttribute, "= 1", {}});
    refuses(top, project.path());
    top = edited();
    top.Children.clear();
    refuses(top, project.path());

    for (const char* name : {"File: ../pargen.xml", "File: ", "File: ..", "File: a/b.xml"}) {
        top = edited();
        top.Text = name;
        refuses(top, project.path());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(project.path()), fs::directory_iterator()), 1);
    // No project set: nothing is written anywhere.
    refuses(edited(), "");
}

}  // namespace
