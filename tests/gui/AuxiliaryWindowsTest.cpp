// The XML Reader & Writer, Select String and Help windows through their widgets.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "project/Unewp.h"
#include "support/GuiTest.h"
#include "tools/USELstringhe.h"
#include "tools/Uhelp.h"
#include "ui/GraphicButton.h"
#include "xmltools/UXML.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const std::string kPargen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<?rem hand made?>\r\n<Par_Gen>\r\n  <Ser_Baud>7</Ser_Baud>\r\n"
    "  <Ser_ID kind=\"hex\">$14</Ser_ID>\r\n  <Empty/>\r\n</Par_Gen>\r\n";

// The tree as "picture:text" lines, two blanks of indent per level.
void describeItem(const QTreeWidgetItem* item, int level, std::vector<std::string>& lines) {
    lines.push_back(std::string(level * 2, ' ') + std::to_string(xmltools::TFXML::pictureIndex(item)) + ":" +
                    item->text(0).toStdString());
    for (int i = 0; i < item->childCount(); ++i) describeItem(item->child(i), level + 1, lines);
}

std::vector<std::string> treeOf(const QTreeWidget* tree) {
    std::vector<std::string> lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) describeItem(tree->topLevelItem(i), 0, lines);
    return lines;
}

const std::vector<std::string> kPargenTree = {"0:File: pargen.xml",
                                              "  8:XMLDeclaration",
                                              "    4:version = 1.0",
                                              "    4:encoding = UTF-8",
                                              "  6:remProcessingInstruction = hand made",
                                              "  2:Par_Gen",
                                              "    2:Ser_Baud = 7",
                                              "    2:Ser_ID = $14",
                                              "      4:kind = hex",
                                              "    2:Empty"};

class XmlWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
        window().show();
    }
    xmltools::TFXML& window() { return *m_forms->window<xmltools::TFXML>(); }
    QTreeWidget* tree() { return window().TvXml; }
    std::string projectFile(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }

    // Opens a file of the given contents, named name, from a folder outside the project.
    void open(const std::string& name, const std::string& contents) {
        const std::string path = m_program / ("elsewhere/" + name);
        writeFile(path, contents);
        ui::Dialogs::queueAnswer(QString::fromStdString(path));
        QTest::mouseClick(window().btnopen, Qt::LeftButton);
    }
    QTreeWidgetItem* item(const QString& text) {
        const QList<QTreeWidgetItem*> found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    // Presses F2 on the selected item and answers the edit dialog with text (or Cancel).
    void editWithF2(const std::optional<QString>& text, const QString& expectedShown) {
        bool asked = false;
        whenModal<project::TFsaveproj>([&](project::TFsaveproj& dialog) {
            asked = true;
            EXPECT_EQ(dialog.windowTitle().toStdString(), "Edit XML");
            EXPECT_FALSE(dialog.Label1->isVisible());
            EXPECT_EQ(dialog.Edit1->text(), expectedShown);
            if (text) {
                dialog.Edit1->setText(*text);
                QTest::mouseClick(dialog.bitbtn1, Qt::LeftButton);
            } else {
                QTest::mouseClick(dialog.bitbtn2, Qt::LeftButton);
            }
        });
        QTest::keyClick(tree(), Qt::Key_F2);
        EXPECT_TRUE(asked);
    }
};

TEST_F(XmlWindow, OpenShowsEveryNodeWithItsTextAndPicture) {
    EXPECT_EQ(window().windowTitle().toStdString(), "XML Reader & Writer");
    EXPECT_EQ(window().btnopen->text().toStdString(), "Open ");
    EXPECT_EQ(window().size(), QSize(732, 560));
    open("pargen.xml", kPargen);
    EXPECT_EQ(treeOf(tree()), kPargenTree);
    EXPECT_TRUE(window().btnopen->isEnabled());

    const QList<Record> records = ui::Dialogs::takeRecords();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].kind, Kind::OpenFile);
    EXPECT_EQ(records[0].text.toStdString(), "Open XML File");
    EXPECT_EQ(records[0].chooser.filter.toStdString(), "XML Files (*.xml)");
    EXPECT_EQ(records[0].chooser.defaultSuffix.toStdString(), "xml");

    // Ten different pictures; an item shows its kind's pair.
    ASSERT_EQ(window().IiXml.size(), 10);
    for (int a = 0; a < 10; ++a) {
        for (int b = a + 1; b < 10; ++b) EXPECT_NE(window().IiXml[a].toImage(), window().IiXml[b].toImage()) << a << b;
    }
    const QIcon icon = item("Ser_Baud = 7")->icon(0);
    EXPECT_EQ(icon.pixmap(16, QIcon::Normal).toImage(), window().IiXml[2].toImage());
    EXPECT_EQ(icon.pixmap(16, QIcon::Selected).toImage(), window().IiXml[3].toImage());

    EXPECT_FALSE(item("Par_Gen")->isExpanded());
    QTest::mouseClick(window().btnFullExpand, Qt::LeftButton);
    for (const char* text : {"File: pargen.xml", "XMLDeclaration", "Par_Gen", "Ser_ID = $14"}) {
        EXPECT_TRUE(item(text)->isExpanded()) << text;
    }

    // Showing the window again empties the tree.
    window().hide();
    window().show();
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
}

TEST_F(XmlWindow, AReaderErrorKeepsTheEarlierTree) {
    open("pargen.xml", kPargen);
    shown();
    open("broken.xml", "<a><item></a>");
    EXPECT_EQ(shown(), (std::vector<std::string>{"open file: Open XML File",
                                                 "standard error: End tag name \"a\" does not match start tag "
                                                 "name \"item\""}));
    EXPECT_EQ(treeOf(tree()), kPargenTree);
    EXPECT_TRUE(window().btnopen->isEnabled());

    ui::Dialogs::queueAnswer(std::nullopt);
    QTest::mouseClick(window().btnopen, Qt::LeftButton);
    EXPECT_EQ(shown(), std::vector<std::string>{"open file: Open XML File"});
    EXPECT_EQ(treeOf(tree()), kPargenTree);
    EXPECT_TRUE(window().btnopen->isEnabled());
}

TEST_F(XmlWindow, F2AndTheRightButtonEditTheSelectedItem) {
    open("pargen.xml", kPargen);
    tree()->setCurrentItem(item("Ser_Baud = 7"));
    editWithF2(QStringLiteral("Ser_Baud = 9600"), QStringLiteral("Ser_Baud = 7"));
    EXPECT_NE(item("Ser_Baud = 9600"), nullptr);
    editWithF2(std::nullopt, QStringLiteral("Ser_Baud = 9600"));
    EXPECT_NE(item("Ser_Baud = 9600"), nullptr) << "Cancel keeps the text";

    // The right button acts on the selected item, not on the one under the pointer.
    QTreeWidgetItem* other = item("Par_Gen");
    bool asked = false;
    whenModal<project::TFsaveproj>([&](project::TFsaveproj& dialog) {
        asked = true;
        EXPECT_EQ(dialog.Edit1->text().toStdString(), "Ser_Baud = 9600");
        dialog.Edit1->setText(QString());
        QTest::mouseClick(dialog.bitbtn1, Qt::LeftButton);
    });
    QTest::mouseClick(tree()->viewport(), Qt::RightButton, {}, tree()->visualItemRect(other).center());
    EXPECT_TRUE(asked);
    EXPECT_EQ(tree()->currentItem(), item(""));
    EXPECT_EQ(other->text(0).toStdString(), "Par_Gen");
    EXPECT_EQ(shown(), std::vector<std::string>{"open file: Open XML File"}) << "editing shows no message";
}

TEST_F(XmlWindow, WriteSavesTheEditedTreeIntoTheProjectFolder) {
    open("pargen.xml", kPargen);
    tree()->setCurrentItem(item("Ser_Baud = 7"));
    editWithF2(QStringLiteral("Ser_Baud = 9600"), QStringLiteral("Ser_Baud = 7"));
    QTest::mouseClick(window().btnWrite, Qt::LeftButton);
    EXPECT_EQ(readFile(projectFile("pargen.xml")),
              "<Par_Gen><Ser_Baud>9600</Ser_Baud><Ser_ID kind=\"hex\">$14</Ser_ID><Empty/></Par_Gen>");
    EXPECT_TRUE(window().btnWrite->isEnabled());

    tree()->setCurrentItem(item("File: pargen.xml"));
    editWithF2(QStringLiteral("File: copy.xml"), QStringLiteral("File: pargen.xml"));
    QTest::mouseClick(window().btnWrite, Qt::LeftButton);
    EXPECT_TRUE(exists(projectFile("copy.xml")));
    EXPECT_EQ(shown(), std::vector<std::string>{"open file: Open XML File"});
}

TEST_F(XmlWindow, ATreeThatCannotBeWrittenWritesNothingAndSaysNothing) {
    writeFile(projectFile("rows.xml"), "<old/>");
    open("rows.xml", "<rows><row id=\"\" n=\"1\"/></rows>");
    EXPECT_NE(item("id"), nullptr) << "an empty attribute shows as its bare name";
    QTest::mouseClick(window().btnWrite, Qt::LeftButton);
    EXPECT_EQ(readFile(projectFile("rows.xml")), "<old/>");

    open("text.xml", "<root>text<b/></root>");
    QTest::mouseClick(window().btnWrite, Qt::LeftButton);
    EXPECT_FALSE(exists(projectFile("text.xml")));
    EXPECT_EQ(shown(), (std::vector<std::string>{"open file: Open XML File", "open file: Open XML File"}));
    EXPECT_TRUE(window().btnWrite->isEnabled());
}

// Files the reader refuses, the window refuses with the reader's message in
// the standard error box, keeping the earlier tree.
TEST_F(XmlWindow, RefusesWhatTheReaderRefuses) {
    const auto repeated = [](const std::string& piece, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += piece;
        return text;
    };
    const std::pair<std::string, std::string> files[] = {
        {"<Par_Gen/>\r\n<Par_Gen><Ser_Baud>4</Ser_Baud></Par_Gen>", "Extra content after the document element"},
        {"<Par_Gen/>\r\njunk", "Extra content after the document element"},
        {repeated("<a>", 50000) + repeated("</a>", 50000), "Elements nested more than 1000 levels deep"},
        {"<r>" + repeated("<a/>", 1000001) + "</r>", "More than 1000000 nodes in the document"},
    };
    open("pargen.xml", kPargen);
    shown();
    for (const auto& [contents, message] : files) {
        open("hostile.xml", contents);
        EXPECT_EQ(shown(), (std::vector<std::string>{"open file: Open XML File", "standard error: " + message}));
        EXPECT_EQ(treeOf(tree()), kPargenTree);
    }
}

// The tree shows the characters of the file, decoded as its declaration says
// (UTF-8 without one, a byte that is no UTF-8 as Windows-1252), and Write
// saves those same characters, as UTF-8. (A document element with text cannot
// be written, so the texts are one level down.)
TEST_F(XmlWindow, ShowsAndWritesBackTheCharactersRead) {
    struct Case {
        const char* name;
        std::string contents;
        QString element, attribute;
        std::string written;
    };
    const Case cases[] = {
        {"utf8.xml", "<r><Mnemo t=\"caf\xC3\xA9\">&#233;t\xC3\xA9 \xE9\x80 &#x20AC;&#65;</Mnemo></r>",
         QString::fromUtf8("Mnemo = \xC3\xA9t\xC3\xA9 \xC3\xA9\xE2\x82\xAC \xE2\x82\xAC"
                           "A"),
         QString::fromUtf8("t = caf\xC3\xA9"),
         "<r><Mnemo t=\"caf\xC3\xA9\">\xC3\xA9t\xC3\xA9 \xC3\xA9\xE2\x82\xAC \xE2\x82\xAC"
         "A</Mnemo></r>"},
        {"latin1.xml",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r><Mnemo t=\"\xFC\">\xE9&#233;\xC3\xA9</Mnemo></r>",
         QString::fromUtf8("Mnemo = \xC3\xA9\xC3\xA9\xC3\x83\xC2\xA9"), QString::fromUtf8("t = \xC3\xBC"),
         "<r><Mnemo t=\"\xC3\xBC\">\xC3\xA9\xC3\xA9\xC3\x83\xC2\xA9</Mnemo></r>"},
        {"cp1252.xml", "<?xml version='1.0' encoding='windows-1252'?><r><Mnemo t='\x80'>\x93x\x94</Mnemo></r>",
         QString::fromUtf8("Mnemo = \xE2\x80\x9Cx\xE2\x80\x9D"), QString::fromUtf8("t = \xE2\x82\xAC"),
         "<r><Mnemo t=\"\xE2\x82\xAC\">\xE2\x80\x9Cx\xE2\x80\x9D</Mnemo></r>"},
    };
    for (const Case& c : cases) {
        open(c.name, c.contents);
        EXPECT_NE(item(c.element), nullptr) << c.name;
        EXPECT_NE(item(c.attribute), nullptr) << c.name;
        QTest::mouseClick(window().btnWrite, Qt::LeftButton);
        EXPECT_EQ(readFile(projectFile(c.name)), c.written) << c.name;

        // What was written reads back as the same characters.
        open(std::string("again-") + c.name, readFile(projectFile(c.name)));
        EXPECT_NE(item(c.element), nullptr) << c.name;
        EXPECT_NE(item(c.attribute), nullptr) << c.name;
    }
    EXPECT_EQ(shown().size(), 6u) << "only the six file choosers";
}

class SelectStringWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgram();
    }
    tools::TFSELstringhe& window() { return *m_forms->window<tools::TFSELstringhe>(); }
    std::string cell(int row, int column) {
        const QTableWidgetItem* item = window().sg->item(row, column);
        return item ? item->text().toStdString() : "";
    }
    void showAgain() {
        window().hide();
        window().show();
    }
};

TEST_F(SelectStringWindow, WithoutStringsFileOnlyTheIndexColumnIsFilled) {
    window().show();
    EXPECT_EQ(shown(), std::vector<std::string>{"information: File strings XML not found"});
    QTableWidget* grid = window().sg;
    EXPECT_EQ(window().windowTitle().toStdString(), "Select String");
    ASSERT_EQ(grid->rowCount(), 1000);
    ASSERT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text().toStdString(), "Index");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text().toStdString(), "String");
    EXPECT_EQ(cell(0, 0), "0");
    EXPECT_EQ(cell(999, 0), "999");
    EXPECT_EQ(cell(0, 1), "");
    EXPECT_EQ(grid->columnWidth(0), 40);
    EXPECT_EQ(grid->columnWidth(1), grid->width() - 70);
    EXPECT_EQ(window().Label1->text().toStdString(), "Sel str: 0");
    EXPECT_EQ(grid->currentRow(), 0);
}

TEST_F(SelectStringWindow, ListsTheFirstThousandStringsAndKeepsThePick) {
    std::string strings = "<strings>";
    for (int i = 0; i < 1200; ++i) strings += "<s>text " + std::to_string(i) + "</s>";
    writeFile(m_program / "strings.xml", strings + "</strings>");
    window().StringsFile = m_program / "strings.xml";
    window().show();
    EXPECT_EQ(shown(), std::vector<std::string>{});
    EXPECT_EQ(cell(0, 1), "text 0");
    EXPECT_EQ(cell(999, 1), "text 999");

    // Row 5 of the grid, the header row counted, holds string 4.
    QTest::mouseClick(window().sg->viewport(), Qt::LeftButton, {},
                      window().sg->visualItemRect(window().sg->item(4, 1)).center());
    EXPECT_EQ(window().SelectedStringIndex, 4);
    EXPECT_EQ(window().Label1->text().toStdString(), "Sel str: 4");

    writeFile(m_program / "strings.xml", "<strings><s>only</s></strings>");
    showAgain();
    EXPECT_EQ(window().sg->currentRow(), 4);
    EXPECT_EQ(window().Label1->text().toStdString(), "Sel str: 4");
    EXPECT_EQ(cell(0, 1), "only");
    EXPECT_EQ(cell(1, 1), "") << "the grid is rebuilt at every showing";
}

TEST_F(SelectStringWindow, ABrokenStringsDocumentIsReported) {
    writeFile(m_program / "strings.xml", "<strings><s>one</s><s>two</strings>");
    window().StringsFile = m_program / "strings.xml";
    window().show();
    EXPECT_EQ(shown(), std::vector<std::string>{"information: Error in reading file XML"});
    EXPECT_EQ(cell(3, 0), "3");
    window().StringsFile = m_program / "missing.xml";
    showAgain();
    EXPECT_EQ(shown(), std::vector<std::string>{"information: File strings XML not found"});
}

TEST_F(SelectStringWindow, OkAndCancelCloseWithTheirResults) {
    window().show();
    QTest::mouseClick(window().bitbtn1, Qt::LeftButton);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(window().result(), QDialog::Accepted);
    window().show();
    QTest::mouseClick(window().bitbtn2, Qt::LeftButton);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(window().result(), QDialog::Rejected);
}

class HelpWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgram();
    }
    tools::TFHelp& window() { return *m_forms->window<tools::TFHelp>(); }
};

TEST_F(HelpWindow, ShowsTheHelpFileReadAgainAtEveryShowing) {
    writeFile(m_program / "help2.dat", "Firmware Tessaro\r\nSchritt 1: Projekt w\xC3\xA4hlen\r\n");
    window().show();
    EXPECT_EQ(window().windowTitle().toStdString(), "Help");
    EXPECT_EQ(window().RichEdit1->toPlainText().toStdString(), "Firmware Tessaro\nSchritt 1: Projekt w\xC3\xA4hlen\n");
    EXPECT_TRUE(window().RichEdit1->isReadOnly());
    EXPECT_EQ(shown(), std::vector<std::string>{});

    window().hide();
    fs::remove(m_program / "help2.dat");
    window().show();
    EXPECT_EQ(window().RichEdit1->toPlainText().toStdString(), "");
    EXPECT_EQ(shown(), std::vector<std::string>{"information: Impossible to read file Help"});
}

}  // namespace

// F1 in a window opens Help at the section headed by that window's caption, in
// the help file the program ships; the main window opens it at the top.
class HelpOnF1 : public HelpWindow, public ::testing::WithParamInterface<const char*> {};

TEST_P(HelpOnF1, OpensTheShippedHelpAtTheWindowsSection) {
    fs::copy_file(TESSARO_HELP_FILE, m_program / "help2.dat");
    const QString className = QString::fromLatin1(GetParam());
    QWidget* shownWindow = m_forms->byClass(className);
    ASSERT_NE(shownWindow, nullptr);
    const bool isMain = shownWindow == &mainWindow();
    if (!isMain) shownWindow->show();
    shown();  // what showing the window itself reported is not the test's concern
    const QString caption = shownWindow->windowTitle();
    QString topLine, cursorLine;
    bool cursorInView = false;
    int modals = 0;
    whenModal<tools::TFHelp>([&](tools::TFHelp& help) {
        ++modals;
        QTextEdit& text = *help.RichEdit1;
        topLine = text.cursorForPosition(QPoint(2, 2)).block().text().trimmed();
        cursorLine = text.textCursor().block().text().trimmed();
        cursorInView = text.viewport()->rect().contains(text.cursorRect());
        help.reject();
    });
    QWidget* target = shownWindow->focusWidget() ? shownWindow->focusWidget() : shownWindow;
    QTest::keyClick(target, Qt::Key_F1);
    EXPECT_EQ(modals, 1);
    const QString heading = isMain ? QStringLiteral("Firmware Tessaro - GW48213 gateway configuration") : caption;
    EXPECT_EQ(cursorLine.toStdString(), heading.toStdString());
    EXPECT_TRUE(cursorInView);
    // Sections before the last screenful start at the top of the box.
    if (className == QLatin1String("TFTessaroneFirmWare") || className == QLatin1String("TFSetVar")) {
        EXPECT_EQ(topLine.toStdString(), heading.toStdString());
    }
    EXPECT_EQ(shown(), std::vector<std::string>{});
    if (!isMain) shownWindow->hide();
}

INSTANTIATE_TEST_SUITE_P(Windows, HelpOnF1,
                         ::testing::Values("TFTessaroneFirmWare", "TFsaveproj", "TFAbout", "TFpargen", "TFSetVar",
                                           "TFBootSer", "TFSetPdo", "TFsdo", "TFpdo", "TFInfopdo", "TFemcy", "TFWemcy",
                                           "TFModifyFileSx", "TFXML", "TFSELstringhe"));

TEST_F(HelpWindow, F1InsideHelpDoesNotOpenItAgain) {
    fs::copy_file(TESSARO_HELP_FILE, m_program / "help2.dat");
    window().show();
    int nested = 0;
    QTimer::singleShot(0, [&] {
        if (QApplication::activeModalWidget() == &window() && window().isVisible()) return;
        ++nested;
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    QTest::keyClick(window().RichEdit1, Qt::Key_F1);
    QCoreApplication::processEvents();
    EXPECT_EQ(nested, 0);
    EXPECT_TRUE(window().isVisible());
}
