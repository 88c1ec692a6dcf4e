#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "documents/USetVar.h"
#include "support/CaseNames.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"

namespace {

using namespace testing_support;
using documents::TFSetVar;
namespace fs = std::filesystem;

const std::string kEmptyTables = "<Serial_to_ProfiBus><ProfiBUS_IN/><ProfiBUS_OUT/></Serial_to_ProfiBus>";

std::string row(const std::string& address, const std::string& high, const std::string& low,
                const std::string& mnemonic) {
    return "<row Address=\"" + address + "\" Add_Profi_Hi=\"" + high + "\" Add_Profi_Lo=\"" + low + "\" Mnemonic=\"" +
           mnemonic + "\"/>";
}

std::string tables(const std::string& in, const std::string& out) {
    auto group = [](const std::string& name, const std::string& rows) {
        return rows.empty() ? "<" + name + "/>" : "<" + name + ">" + rows + "</" + name + ">";
    };
    return "<Serial_to_ProfiBus>" + group("ProfiBUS_IN", in) + group("ProfiBUS_OUT", out) + "</Serial_to_ProfiBus>";
}

// Types a row into a grid: address, high, low, mnemonic.
void type(ui::Grid* grid, int r, const std::array<const char*, 4>& cells) {
    for (int column = 1; column <= 4; ++column) {
        grid->setCell(r - 1, column, QString::fromUtf8(cells[static_cast<std::size_t>(column - 1)]));
    }
}

class AccessWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }
    void areaSizes(const std::string& in, const std::string& out) {
        writeFile(project("pargen.xml"),
                  "<Par_Gen><Profi_NB_IN>" + in + "</Profi_NB_IN><Profi_NB_OUT>" + out + "</Profi_NB_OUT></Par_Gen>");
    }

    // Opens the window with "Set Access " and runs action on it; answers the dialog result.
    template <class Action>
    int open(Action action) {
        return pressAndAct<TFSetVar>(mainWindow().btn_Sdo, action);
    }
    // The stored run of a grid as the window shows it.
    static std::vector<std::string> rowsOf(const ui::Grid* grid) {
        std::vector<std::string> rows;
        for (int r = 1; r <= 244; ++r) {
            QStringList cells;
            for (int column = 1; column <= 4; ++column) cells << grid->cell(r - 1, column);
            if (cells.join(QString()).isEmpty()) continue;
            rows.push_back(std::to_string(r) + ":" + cells.join(QLatin1Char('|')).toStdString());
        }
        return rows;
    }
};

TEST_F(AccessWindow, GridsAsLaidOut) {
    open([](TFSetVar& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Set Access");
        EXPECT_EQ(w.size(), QSize(664, 538));
        EXPECT_EQ(w.PageControl1->count(), 2);
        EXPECT_EQ(w.PageControl1->tabText(0).toStdString(), "ProfiBus IN --> Serial Read");
        EXPECT_EQ(w.PageControl1->tabText(1).toStdString(), "Serial Write --> ProfiBus OUT");
        EXPECT_EQ(w.PageControl1->currentIndex(), 0);
        const std::vector<std::string> titles{"N\u00B0", "Address Register", "Address ProfiBus High",
                                              "Address ProfiBus Low", "Mnemonic"};
        const std::vector<int> widths{64, 101, 115, 115, 157};
        const std::vector<QColor> colours{QColor(0xF8, 0xF7, 0xED), QColor(0xE0, 0xFA, 0xFE), QColor(0xFC, 0xD6, 0xF4),
                                          QColor(0xFC, 0xD6, 0xF4), QColor(0xFF, 0xFF, 0xA8)};
        for (ui::Grid* grid : {w.sga, w.Sgb}) {
            EXPECT_EQ(grid->model()->rowCount(), 244);
            ASSERT_EQ(grid->model()->columnCount(), 5);
            for (int c = 0; c < 5; ++c) {
                EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString(), titles[c]);
                EXPECT_EQ(grid->columnWidth(c), widths[c]);
                EXPECT_EQ(grid->model()->index(243, c).data(Qt::BackgroundRole).value<QColor>(), colours[c]);
            }
            EXPECT_EQ(grid->rowHeight(0), 20);
            EXPECT_EQ(grid->cell(0, 0).toStdString(), "1");
            EXPECT_EQ(grid->cell(243, 0).toStdString(), "244");
            EXPECT_FALSE(grid->model()->flags(grid->model()->index(5, 0)) & Qt::ItemIsEditable)
                << "the numbers are fixed";
            EXPECT_TRUE(grid->model()->flags(grid->model()->index(5, 4)) & Qt::ItemIsEditable);
            EXPECT_EQ(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            EXPECT_EQ(grid->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
        }
        EXPECT_TRUE(w.sga->isAncestorOf(w.sga->viewport()));
        EXPECT_EQ(w.TabSheet1->findChild<ui::Grid*>(), w.sga);
        EXPECT_EQ(w.TabSheet2->findChild<ui::Grid*>(), w.Sgb);
        w.bitbtn2->click();
    });
}

// Tab goes from the tables to the bar, in the order the window reads.
TEST_F(AccessWindow, TabReachesTheGridsBeforeTheBar) {
    std::vector<QWidget*> order;
    open([&](TFSetVar& w) {
        for (QWidget* each = w.nextInFocusChain(); each != &w; each = each->nextInFocusChain()) {
            if (each == w.sga || each == w.Sgb || each == w.bitbtn1 || each == w.bitbtn2) order.push_back(each);
        }
        EXPECT_EQ(order, (std::vector<QWidget*>{w.sga, w.Sgb, w.bitbtn1, w.bitbtn2}));
        w.bitbtn2->click();
    });
    EXPECT_EQ(order.size(), 4u);
}

TEST_F(AccessWindow, CellsAreEditedInPlaceWithTheKeyboard) {
    std::string typed, number;
    open([&](TFSetVar& w) {
        w.activateWindow();
        w.sga->setFocus();
        w.sga->setCurrentIndex(w.sga->model()->index(0, 1));
        QTest::keyClick(w.sga, Qt::Key_4);  // typing starts the editor with the key
        ASSERT_NE(w.sga->indexWidget(w.sga->currentIndex()), nullptr) << "no editor opened";
        auto* editor = qobject_cast<QLineEdit*>(w.sga->indexWidget(w.sga->currentIndex()));
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text().toStdString(), "4");
        QTest::keyClicks(editor, "2");
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the grid takes the edited text over from its event queue
        typed = w.sga->cell(0, 1).toStdString();
        w.sga->setCurrentIndex(w.sga->model()->index(0, 0));
        QTest::keyClick(w.sga, Qt::Key_7);
        number = w.sga->cell(0, 0).toStdString();
        w.bitbtn2->click();
    });
    EXPECT_EQ(typed, "42");
    EXPECT_EQ(number, "1") << "the row numbers cannot be edited";
}

TEST_F(AccessWindow, EmptyTablesSaveBothGroups) {
    EXPECT_EQ(open([](TFSetVar& w) { QTest::mouseClick(w.bitbtn1, Qt::LeftButton); }), QDialog::Accepted);
    EXPECT_EQ(readFile(project("sdo.xml")), kEmptyTables);
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

TEST_F(AccessWindow, RowsAfterTheFirstEmptyAddressAreDropped) {
    areaSizes("20", "10");
    open([](TFSetVar& w) {
        type(w.sga, 1, {"100", "0", "1", "Pump"});
        type(w.sga, 2, {"$FF", "20", "20", ""});
        type(w.sga, 3, {"65535", "$14", "x3", "  two  blanks "});
        type(w.sga, 4, {"", "999", "999", "ignored"});
        type(w.sga, 5, {"abc", "999", "999", "never checked"});
        type(w.Sgb, 1, {"7", "10", "0", "R&D <\u00E9t\u00E9>"});
        w.bitbtn1->click();
    });
    EXPECT_EQ(shown(), std::vector<std::string>{});
    EXPECT_EQ(readFile(project("sdo.xml")), tables(row("100", "0", "1", "Pump") + row("$FF", "20", "20", "") +
                                                       row("65535", "$14", "x3", "  two  blanks "),
                                                   row("7", "10", "0", "R&amp;D &lt;\u00E9t\u00E9>")));

    std::vector<std::string> in, out;
    open([&](TFSetVar& w) {
        in = rowsOf(w.sga);
        out = rowsOf(w.Sgb);
        w.bitbtn2->click();
    });
    EXPECT_EQ(in, (std::vector<std::string>{"1:100|0|1|Pump", "2:$FF|20|20|", "3:65535|$14|x3|  two  blanks "}));
    EXPECT_EQ(out, std::vector<std::string>{"1:7|10|0|R&D <\u00E9t\u00E9>"});
}

struct CheckCase {
    std::string in, out;  // N Byte IN and OUT in pargen.xml; empty: no pargen.xml
    std::vector<std::array<const char*, 4>> inputRows, outputRows;
    std::string message;  // shown error, or empty when the tables are saved
};

class AccessChecks : public AccessWindow, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(AccessChecks, ReportTheFirstErrorAndKeepTheWindow) {
    const CheckCase& c = GetParam();
    if (!c.in.empty()) areaSizes(c.in, c.out);
    writeFile(project("sdo.xml"), kEmptyTables);
    bool stayedOpen = false;
    open([&](TFSetVar& w) {
        for (std::size_t i = 0; i < c.inputRows.size(); ++i) type(w.sga, static_cast<int>(i) + 1, c.inputRows[i]);
        for (std::size_t i = 0; i < c.outputRows.size(); ++i) type(w.Sgb, static_cast<int>(i) + 1, c.outputRows[i]);
        QTest::mouseClick(w.bitbtn1, Qt::LeftButton);
        stayedOpen = w.isVisible();
        if (stayedOpen) {
            EXPECT_EQ(w.sga->cell(0, 1).toStdString(), c.inputRows.empty() ? "" : c.inputRows[0][0]);
            w.bitbtn2->click();
        }
    });
    EXPECT_EQ(stayedOpen, !c.message.empty());
    EXPECT_EQ(shown(),
              c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{"error: " + c.message});
    if (!c.message.empty()) {
        EXPECT_EQ(readFile(project("sdo.xml")), kEmptyTables);
    }
}

const char* kIn = "!! [ProfiBus IN --> Serial Read] ";
const char* kOut = "!! [Serial Write --> ProfiBus OUT] ";

INSTANTIATE_TEST_SUITE_P(
    Cases, AccessChecks,
    ::testing::Values(CheckCase{"20", "10", {{"1", "20", "20", ""}}, {{"1", "10", "10", ""}}, ""},
                      CheckCase{"20",
                                "10",
                                {{"1", "0", "0", ""}, {"2", "21", "0", ""}},
                                {},
                                std::string("Error row 2") + kIn + "Address Profibus High must be between 0 and 20. "},
                      CheckCase{"20",
                                "10",
                                {{"1", "0", "", ""}},
                                {},
                                std::string("Error row 1") + kIn + "Address Profibus Low must be between 0 and 20. "},
                      CheckCase{"0",
                                "0",
                                {{"1", "0", "1", ""}},
                                {},
                                std::string("Error row 1") + kIn + "Address Profibus Low must be between 0 and 0. "},
                      // The input table is reported even when the output table is wrong too.
                      CheckCase{"20",
                                "10",
                                {{"65536", "0", "0", ""}},
                                {{"-1", "0", "0", ""}},
                                std::string("Error row 1") + kIn + "Address Register must be between 0 and 65535. "},
                      CheckCase{"20",
                                "10",
                                {{"1", "0", "0", ""}},
                                {{"1", "0", "0", ""}, {"abc", "0", "0", ""}},
                                std::string("Error row 2") + kOut + "Address Register must be between 0 and 65535. "},
                      CheckCase{"20",
                                "$0A",
                                {},
                                {{"1", "11", "0", ""}},
                                std::string("Error row 1") + kOut + "Address Profibus High must be between 0 and 10. "},
                      // Without pargen.xml the limits are 244; an unreadable size is 244 too.
                      CheckCase{
                          "",
                          "",
                          {{"1", "244", "244", ""}},
                          {{"1", "245", "0", ""}},
                          std::string("Error row 1") + kOut + "Address Profibus High must be between 0 and 244. "},
                      CheckCase{"lots",
                                "12",
                                {{"1", "244", "0", ""}},
                                {{"1", "12", "13", ""}},
                                std::string("Error row 1") + kOut + "Address Profibus Low must be between 0 and 12. "}),
    [](const auto& info) {
        return testing_support::caseName(
            {{"Case", std::to_string(info.index)}, {info.param.message.empty() ? "_Saved" : "_Refused", ""}});
    });

TEST_F(AccessWindow, TheLastRowIsCheckedAndSaved) {
    areaSizes("244", "244");
    open([](TFSetVar& w) {
        for (int r = 1; r <= 244; ++r) type(w.sga, r, {"1", "2", "3", ""});
        type(w.sga, 244, {"1", "2", "245", "last"});
        w.bitbtn1->click();
        EXPECT_TRUE(w.isVisible());
        type(w.sga, 244, {"1", "2", "244", "last"});
        w.bitbtn1->click();
    });
    EXPECT_EQ(shown(), std::vector<std::string>{std::string("error: Error row 244") + kIn +
                                                "Address Profibus Low must be between 0 and 244. "});
    const std::string saved = readFile(project("sdo.xml"));
    EXPECT_NE(saved.find(row("1", "2", "244", "last") + "</ProfiBUS_IN>"), std::string::npos);
}

TEST_F(AccessWindow, CancelKeepsTheStoredTables) {
    const std::string stored = tables(row("1", "2", "3", "A"), row("4", "5", "6", "B"));
    writeFile(project("sdo.xml"), stored);
    EXPECT_EQ(open([](TFSetVar& w) {
                  type(w.sga, 1, {"9", "9", "9", "changed"});
                  type(w.sga, 2, {"10", "9", "9", "added"});
                  w.bitbtn2->click();
              }),
              QDialog::Rejected);
    EXPECT_EQ(readFile(project("sdo.xml")), stored);
    std::vector<std::string> in;
    open([&](TFSetVar& w) {
        in = rowsOf(w.sga);
        w.bitbtn2->click();
    });
    EXPECT_EQ(in, std::vector<std::string>{"1:1|2|3|A"});
}

TEST_F(AccessWindow, MoreThan244StoredRowsShowAndSaveTheFirst244) {
    std::string many;
    for (int i = 1; i <= 250; ++i) many += row(std::to_string(i), "0", "0", "");
    writeFile(project("sdo.xml"), tables(many, ""));
    open([](TFSetVar& w) {
        EXPECT_EQ(w.sga->cell(243, 1).toStdString(), "244");
        w.bitbtn1->click();
    });
    const std::string saved = readFile(project("sdo.xml"));
    EXPECT_NE(saved.find(row("244", "0", "0", "") + "</ProfiBUS_IN>"), std::string::npos);
    EXPECT_EQ(saved.find("\"245\""), std::string::npos);
}

TEST_F(AccessWindow, DamagedSdoShowsTheRowsBeforeTheDamage) {
    writeFile(project("sdo.xml"), "<Serial_to_ProfiBus><ProfiBUS_IN>" + row("1", "2", "3", "A") +
                                      "<row Address=\"4\" Add_Profi_Hi=\"5\" Mnemonic=\"B\"/>" +
                                      row("7", "8", "9", "C") + "</ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>");
    std::vector<std::string> in;
    open([&](TFSetVar& w) {
        in = rowsOf(w.sga);
        w.bitbtn2->click();
    });
    EXPECT_EQ(in, std::vector<std::string>{"1:1|2|3|A"});
    const std::vector<std::string> messages = shown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "standard error: Row 2 of \"ProfiBUS_IN\" in \"" + project("sdo.xml") +
                               "\" has no attribute \"Add_Profi_Lo\"");

    // A missing group: the input rows are shown, the error names the group.
    writeFile(project("sdo.xml"),
              "<Serial_to_ProfiBus><ProfiBUS_IN>" + row("1", "2", "3", "A") + "</ProfiBUS_IN></Serial_to_ProfiBus>");
    open([&](TFSetVar& w) {
        in = rowsOf(w.sga);
        w.bitbtn2->click();
    });
    EXPECT_EQ(in, std::vector<std::string>{"1:1|2|3|A"});
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: Element \"ProfiBUS_OUT\" not found in \"" +
                                                project("sdo.xml") + "\""});
}

TEST_F(AccessWindow, DamagedPargenLeavesTheGridsAsTheyWere) {
    writeFile(project("sdo.xml"), tables(row("1", "2", "3", "A"), ""));
    open([](TFSetVar& w) {
        type(w.sga, 2, {"5", "5", "5", "left over"});
        w.bitbtn2->click();
    });
    writeFile(project("pargen.xml"), "<Par_Gen><Profi_NB_IN>20</Profi_NB_OUT></Par_Gen>");
    std::vector<std::string> in;
    open([&](TFSetVar& w) {
        in = rowsOf(w.sga);
        w.bitbtn2->click();
    });
    EXPECT_EQ(in, (std::vector<std::string>{"1:1|2|3|A", "2:5|5|5|left over"}));
    const std::vector<std::string> messages = shown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("(line 1, column"), std::string::npos) << messages[0];
}

TEST_F(AccessWindow, ActivePageIsKeptBetweenShowings) {
    open([](TFSetVar& w) {
        w.PageControl1->setCurrentIndex(1);
        w.bitbtn2->click();
    });
    int page = -1;
    open([&](TFSetVar& w) {
        page = w.PageControl1->currentIndex();
        w.bitbtn2->click();
    });
    EXPECT_EQ(page, 1);
}

}  // namespace

namespace {

using namespace testing_support;
using documents::TFSetVar;

class AccessKeys : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
    }
};

// Enter in a cell editor ends the edit and stays in the window; Delete and
// Backspace empty the selected cells as in a spreadsheet.
TEST_F(AccessKeys, EnterEndsTheEditAndDeleteEmptiesTheCells) {
    std::string afterEnter, afterDelete, afterBackspace, other;
    bool stayed = false;
    pressAndAct<TFSetVar>(mainWindow().btn_Sdo, [&](TFSetVar& w) {
        w.activateWindow();
        QApplication::processEvents();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);  // starts the editor
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_7);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        stayed = w.isVisible();
        afterEnter = w.sga->cell(0, 1).toStdString();
        w.sga->setCell(0, 2, QStringLiteral("5"));
        w.sga->setCell(0, 3, QStringLiteral("6"));
        w.sga->setCurrentIndex(w.sga->model()->index(0, 1));
        QTest::keyClick(w.sga, Qt::Key_Delete);
        afterDelete = w.sga->cell(0, 1).toStdString();
        QTest::keyClick(w.sga, Qt::Key_Right);
        QTest::keyClick(w.sga, Qt::Key_Backspace);
        afterBackspace = w.sga->cell(0, 2).toStdString();
        other = w.sga->cell(0, 3).toStdString();
        w.bitbtn2->click();
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(afterEnter, "17");
    EXPECT_EQ(afterDelete, "");
    EXPECT_EQ(afterBackspace, "");
    EXPECT_EQ(other, "6") << "only the selected cell is emptied";
}

}  // namespace
