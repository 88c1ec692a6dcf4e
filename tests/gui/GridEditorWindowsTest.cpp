// The grid editors Set PDO Access, Set SDO Access and Translate PDO, driven
// through their widgets: what a showing places and says, OK, the checks of
// Set PDO Access, Import of a real workbook and Export. The Set SDO Access and
// Translate PDO cases of tests/data/canopen/cases are run through the windows
// and must give the golden files that the core gives.

#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "base/XmlText.h"
#include "canopen/EditorDocuments.h"
#include "canopen/USdo.h"
#include "canopen/USetPdo.h"
#include "canopen/Updo.h"
#include "support/ExportText.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;
using canopen::TFpdo;
using canopen::TFsdo;
using canopen::TFSetPdo;

const fs::path kCases = fs::path(TESSARO_TEST_DATA) / "canopen/cases";

std::string cell(const ui::Grid* grid, int row, int column) {
    return grid->cell(row, column).toStdString();
}

// Types texts into columns 1 and up of a grid row (row 0 is the first entry).
void type(ui::Grid* grid, int row, const std::vector<std::string>& cells) {
    for (std::size_t c = 0; c < cells.size(); ++c)
        grid->setCell(row, static_cast<int>(c) + 1, QString::fromStdString(cells[c]));
}

class GridEditorWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
        ui::Dialogs::takeRecords();
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }

    // Shows the program's window of class T modally and runs action on it; answers the result.
    template <class T, class Action>
    int open(Action action) {
        T* window = m_forms->window<T>();
        whenModal<T>([&](T& shownWindow) { action(shownWindow); });
        return window->exec();
    }
    // What was shown, without the workbook chooser.
    static std::vector<std::string> messages() {
        QList<Record> records = ui::Dialogs::takeRecords();
        records.removeIf([](const Record& each) { return each.kind == Kind::OpenFile; });
        return describe(records);
    }
};

// ---- Set PDO Access

class SetPdoWindow : public GridEditorWindow {
protected:
    void areaSizes(const std::string& in, const std::string& out) {
        writeFile(project("pargen.xml"),
                  "<Par_Gen><Profi_NB_IN>" + in + "</Profi_NB_IN><Profi_NB_OUT>" + out + "</Profi_NB_OUT></Par_Gen>");
    }
};

TEST_F(SetPdoWindow, GridsAreMadeAtTheFirstShowingAsLaidOut) {
    EXPECT_EQ(m_forms->window<TFSetPdo>()->sga, nullptr) << "no grid is made at start-up";
    open<TFSetPdo>([](TFSetPdo& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Set PDO Access");
        EXPECT_EQ(w.size(), QSize(721, 402));
        EXPECT_EQ(w.PageControl1->tabText(0).toStdString(), "ProfiBus IN --> Transmit PDO");
        EXPECT_EQ(w.PageControl1->tabText(1).toStdString(), "Recive PDO --> ProfiBub OUT");
        EXPECT_EQ(w.LbButton4->text().toStdString(), "OK");
        EXPECT_EQ(w.LbButton3->text().toStdString(), "Cancel");
        const std::vector<std::string> titles{"N\u00B0", "Cob-ID", "Dimension", "Address ProfiBus", "Mnemonic"};
        const std::vector<int> widths{64, 121, 84, 91, 305};
        const std::vector<QColor> colours{QColor(0xF8, 0xF7, 0xED), QColor(0xE0, 0xFA, 0xFE), QColor(0xE0, 0xFA, 0xFE),
                                          QColor(0xFC, 0xD6, 0xF4), QColor(0xFF, 0xFF, 0xA8)};
        for (auto [page, grid] : {std::pair{w.TabSheet1, w.sga}, std::pair{w.TabSheet2, w.sgb}}) {
            ASSERT_NE(grid, nullptr);
            EXPECT_EQ(page->findChild<ui::Grid*>(), grid);
            EXPECT_EQ(grid->model()->rowCount(), 10);
            ASSERT_EQ(grid->model()->columnCount(), 5);
            for (int c = 0; c < 5; ++c) {
                EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString(), titles[c]);
                EXPECT_EQ(grid->columnWidth(c), widths[c]);
                EXPECT_EQ(grid->model()->index(9, c).data(Qt::BackgroundRole).value<QColor>(), colours[c]);
            }
            EXPECT_EQ(cell(grid, 0, 0), "1");
            EXPECT_EQ(cell(grid, 9, 0), "10");
            EXPECT_EQ(grid->rowHeight(0), 20);
        }
        w.LbButton3->click();
    });
    EXPECT_EQ(messages(), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(project("pdo.xml"))) << "Cancel saves nothing";
}

TEST_F(SetPdoWindow, ShowingPlacesTheRowsAndSaysHowManyWereLeftOut) {
    fs::copy_file(kCases / "pdo-load-display/input/pdo.xml", project("pdo.xml"));
    std::vector<std::string> first, last;
    open<TFSetPdo>([&](TFSetPdo& w) {
        for (int c = 1; c <= 4; ++c) first.push_back(cell(w.sga, 0, c));
        for (int c = 1; c <= 4; ++c) last.push_back(cell(w.sgb, 9, c));
        EXPECT_EQ(cell(w.sga, 1, 1), "$000");
        EXPECT_EQ(cell(w.sga, 3, 1), "") << "the rows below the document's are empty";
        w.LbButton3->click();
    });
    EXPECT_EQ(first, (std::vector<std::string>{"$181", "8", "12", "Drive 1 status"}));
    EXPECT_EQ(last, (std::vector<std::string>{"$1000", "1", "1", "10"}));
    EXPECT_EQ(messages(), std::vector<std::string>{"information: " + canopen::leftOutMessage(1)});
}

TEST_F(SetPdoWindow, DamagedDocumentShowsItsMessageAndTheRowsBeforeIt) {
    writeFile(project("pdo.xml"),
              "<Profibus_to_PDO><Profi_IN_to_TPDO><row Cob_Id=\"7\" Dimension=\"1\" Pos_PRofi=\"0\" Mnemonic=\"a\"/>"
              "</Profi_IN_to_TPDO></Profibus_to_PDO>");
    std::string placed;
    open<TFSetPdo>([&](TFSetPdo& w) {
        placed = cell(w.sga, 0, 1) + "|" + cell(w.sga, 0, 4);
        w.LbButton3->click();
    });
    EXPECT_EQ(placed, "$007|a");
    const std::vector<std::string> shownMessages = messages();
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].rfind("standard error: ", 0), 0u) << shownMessages[0];
}

TEST_F(SetPdoWindow, OkSavesTheRunOfEachTableAsTyped) {
    areaSizes("20", "10");
    open<TFSetPdo>([](TFSetPdo& w) {
        type(w.sga, 0, {"385", "8", "12", "Drive <1> & co"});
        type(w.sga, 1, {"$7FF", "1", "0", ""});
        type(w.sga, 3, {"99", "1", "1", "below the gap"});
        type(w.sgb, 0, {"$181", "2", "8", "out"});
        QTest::mouseClick(w.LbButton4, Qt::LeftButton);
    });
    EXPECT_EQ(messages(), std::vector<std::string>{});
    EXPECT_EQ(readFile(project("pdo.xml")),
              "<Profibus_to_PDO><Profi_IN_to_TPDO>"
              "<row Cob_Id=\"385\" Dimension=\"8\" Pos_PRofi=\"12\" Mnemonic=\"Drive &lt;1> &amp; co\"/>"
              "<row Cob_Id=\"$7FF\" Dimension=\"1\" Pos_PRofi=\"0\" Mnemonic=\"\"/></Profi_IN_to_TPDO>"
              "<Profi_OUT_to_TPDO><row Cob_Id=\"$181\" Dimension=\"2\" Pos_PRofi=\"8\" Mnemonic=\"out\"/>"
              "</Profi_OUT_to_TPDO></Profibus_to_PDO>");

    // Shown again, the COB-ID typed as 385 reads $181 and is saved so.
    open<TFSetPdo>([](TFSetPdo& w) {
        EXPECT_EQ(cell(w.sga, 0, 1), "$181");
        w.LbButton4->click();
    });
    EXPECT_NE(readFile(project("pdo.xml")).find("<row Cob_Id=\"$181\" Dimension=\"8\""), std::string::npos);
}

TEST_F(SetPdoWindow, EmptyTablesSaveBothGroups) {
    EXPECT_EQ(open<TFSetPdo>([](TFSetPdo& w) { w.LbButton4->click(); }), QDialog::Accepted);
    EXPECT_EQ(readFile(project("pdo.xml")),
              "<Profibus_to_PDO><Profi_IN_to_TPDO/><Profi_OUT_to_TPDO/></Profibus_to_PDO>");
}

TEST_F(SetPdoWindow, FailedSaveKeepsTheWindowOpen) {
    fs::create_directory(project("pdo.xml"));  // a folder where the document should be
    bool stayedOpen = false;
    open<TFSetPdo>([&](TFSetPdo& w) {
        type(w.sga, 0, {"1", "1", "0", ""});
        w.LbButton4->click();
        stayedOpen = w.isVisible();
        w.LbButton3->click();
    });
    EXPECT_TRUE(stayedOpen);
    const std::vector<std::string> shownMessages = messages();
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].rfind("standard error: ", 0), 0u) << shownMessages[0];
}

struct PdoCheckCase {
    const char* name;
    std::string in, out;  // N Byte IN and OUT; empty: no pargen.xml (244 each)
    std::vector<std::vector<std::string>> inputRows, outputRows;
    std::string message;  // the error shown, or empty when the tables are saved
};

void PrintTo(const PdoCheckCase& c, std::ostream* out) {
    *out << c.name;
}

class SetPdoChecks : public SetPdoWindow, public ::testing::WithParamInterface<PdoCheckCase> {};

TEST_P(SetPdoChecks, ShowTheFirstErrorAndKeepTheWindow) {
    const PdoCheckCase& c = GetParam();
    if (!c.in.empty()) areaSizes(c.in, c.out);
    bool stayedOpen = false;
    open<TFSetPdo>([&](TFSetPdo& w) {
        for (std::size_t r = 0; r < c.inputRows.size(); ++r) type(w.sga, static_cast<int>(r), c.inputRows[r]);
        for (std::size_t r = 0; r < c.outputRows.size(); ++r) type(w.sgb, static_cast<int>(r), c.outputRows[r]);
        w.LbButton4->click();
        stayedOpen = w.isVisible();
        if (stayedOpen) w.LbButton3->click();
    });
    EXPECT_EQ(stayedOpen, !c.message.empty());
    EXPECT_EQ(messages(),
              c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{"error: " + c.message});
    EXPECT_EQ(fs::exists(project("pdo.xml")), c.message.empty());
}

const std::string kIn = "!! [ProfiBus IN --> Transmit PDO] ";
const std::string kOut = "!! [Recive PDO --> ProfiBub OUT] ";
const std::vector<std::string> kFine{"1", "1", "0", ""};

INSTANTIATE_TEST_SUITE_P(
    Cases, SetPdoChecks,
    ::testing::Values(
        PdoCheckCase{"HighestCobIdAndFullArea", "20", "10", {{"$7FF", "8", "12", ""}}, {{"2047", "2", "8", ""}}, ""},
        PdoCheckCase{"CobIdTooHigh",
                     "",
                     "",
                     {kFine, {"$800", "1", "0", ""}},
                     {},
                     "Error row 2" + kIn + "CANOpen Cob-Id must be between 0x001 and 0x7FF. "},
        PdoCheckCase{"CobIdZero",
                     "",
                     "",
                     {{"0", "1", "0", ""}},
                     {},
                     "Error row 1" + kIn + "CANOpen Cob-Id must be between 0x001 and 0x7FF. "},
        PdoCheckCase{"CobIdNotANumber",
                     "",
                     "",
                     {{"1a", "1", "0", ""}},
                     {},
                     "Error row 1" + kIn + "CANOpen Cob-Id must be between 0x001 and 0x7FF. "},
        PdoCheckCase{"DimensionNine",
                     "",
                     "",
                     {{"1", "9", "0", ""}},
                     {},
                     "Error row 1" + kIn + "CANOpen Dimension must be between 1 and 8. "},
        PdoCheckCase{"AddressAboveArea",
                     "20",
                     "10",
                     {{"1", "1", "21", ""}},
                     {},
                     "Error row 1" + kIn + "Address Profibus must be between 0 and 20. "},
        PdoCheckCase{
            "AddressPlusDimensionAboveArea",
            "20",
            "10",
            {{"1", "8", "13", ""}},
            {},
            "Error row 1!! [ProfiBus IN --> SDO in Read] Address Profibus plus Dimension is major of N BYTE IN "
            "(20). "},
        PdoCheckCase{
            "AddressAtAreaSize",
            "20",
            "10",
            {{"1", "1", "20", ""}},
            {},
            "Error row 1!! [ProfiBus IN --> SDO in Read] Address Profibus plus Dimension is major of N BYTE IN "
            "(20). "},
        PdoCheckCase{"RowTenIsChecked", "", "", std::vector<std::vector<std::string>>(9, kFine),
                     std::vector<std::vector<std::string>>{
                         kFine, kFine, kFine, kFine, kFine, kFine, kFine, kFine, kFine, {"1", "0", "0", ""}},
                     "Error row 10" + kOut + "CANOpen Dimension must be between 1 and 8. "},
        PdoCheckCase{"OutputCobIdTwoBlanks",
                     "",
                     "",
                     {},
                     {{"4096", "1", "0", ""}},
                     "Error row 1" + kOut + "CANOpen Cob-Id  must be between 0x001 and 0x7FF. "},
        PdoCheckCase{"OutputAddressFromItsOwnGrid",
                     "20",
                     "10",
                     {{"1", "1", "19", ""}},
                     {{"1", "1", "11", ""}},
                     "Error row 1" + kOut + "Address Profibus must be between 0 and 10. "},
        PdoCheckCase{"OutputAreaZero",
                     "20",
                     "0",
                     {},
                     {{"1", "1", "0", ""}},
                     "Error row 1" + kOut + "Address Profibus plus Dimension is major of N BYTE OUT (0). "}),
    [](const ::testing::TestParamInfo<PdoCheckCase>& info) { return std::string(info.param.name); });

// ---- Set SDO Access

TEST_F(GridEditorWindow, SdoEditorShowsTwoEmptyNumberedTablesWithoutAMessage) {
    EXPECT_EQ(m_forms->window<TFsdo>()->sga, nullptr) << "no grid is made at start-up";
    const int result = open<TFsdo>([](TFsdo& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Set SDO Access");
        EXPECT_EQ(w.size(), QSize(615, 547));
        EXPECT_EQ(w.PageControl1->tabText(0).toStdString(), "SDO from CAN A request to CAN B");
        EXPECT_EQ(w.PageControl1->tabText(1).toStdString(), "SDO from CAN B request to CAN A");
        EXPECT_EQ(w.Label1->text().toStdString(), "Define virtual index SDO in CAN A");
        EXPECT_EQ(w.Label2->text().toStdString(), "Input index address SDO in CAN B");
        EXPECT_EQ(w.Label3->text().toStdString(), "Define virtual index SDO in CAN B");
        EXPECT_EQ(w.Label4->text().toStdString(), "Input index address SDO in CAN A");
        const std::vector<std::string> titles{"N\u00B0", "RW",       "Index", "SubIndex", "devID",
                                              "Index",   "SubIndex", "nbyte", "mnemonico"};
        for (ui::Grid* grid : {w.sga, w.sgb}) {
            EXPECT_EQ(grid->model()->rowCount(), 1500);
            ASSERT_EQ(grid->model()->columnCount(), 9);
            for (int c = 0; c < 9; ++c) {
                EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString(), titles[c]);
            }
            EXPECT_EQ(cell(grid, 0, 0), "0");
            EXPECT_EQ(cell(grid, 1499, 0), "1499");
            EXPECT_EQ(cell(grid, 1499, 8), "");
            EXPECT_NE(grid->model()->index(0, 4).data(Qt::BackgroundRole),
                      grid->model()->index(0, 3).data(Qt::BackgroundRole))
                << "the address on the other network is shaded";
        }
        // Every resize: columns of both grids a tenth of the grid's width, the headings over columns 0-3 and the rest.
        for (QSize size : {QSize(900, 600), QSize(615, 547)}) {
            w.resize(size);
            QApplication::processEvents();
            const int tenth = w.sga->width() / 10;
            for (ui::Grid* grid : {w.sga, w.sgb}) {
                for (int c = 0; c < 9; ++c) EXPECT_EQ(grid->columnWidth(c), tenth) << size.width() << " column " << c;
            }
            EXPECT_EQ(w.Label1->width(), 4 * tenth);
            EXPECT_EQ(w.Label2->x(), w.sga->x() + 4 * tenth + 1);
            EXPECT_EQ(w.Label2->geometry().right(), w.sga->geometry().right());
            EXPECT_TRUE(w.Label2->isVisible());
        }
        // The second page's headings follow its grid once it is shown.
        w.PageControl1->setCurrentIndex(1);
        QApplication::processEvents();
        const int tenth = w.sgb->width() / 10;
        EXPECT_EQ(w.sgb->columnWidth(8), tenth);
        EXPECT_EQ(w.Label3->width(), 4 * tenth);
        EXPECT_EQ(w.Label4->x(), w.sgb->x() + 4 * tenth + 1);
        EXPECT_EQ(w.Label4->geometry().right(), w.sgb->geometry().right());
        EXPECT_TRUE(w.Label4->isVisible());
        w.PageControl1->setCurrentIndex(0);
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(messages(), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(project("sdo.xml"))) << "OK writes nothing";
    EXPECT_FALSE(fs::exists(project("sdo.csv")));
}

TEST_F(GridEditorWindow, SdoEditorPlacesEntriesByDirectionAndReportsThoseBeyond1500) {
    std::ostringstream document;
    document << "<sdo><e conf=\"17\" IndexA=\"0x2000\" SubindexA=\"1\" devIDB=\"5\" IndexB=\"0x6000\" SubindexB=\"2\""
                " nbyteB=\"4\"/>";
    for (int i = 0; i < 1502; ++i) {
        document << "<e conf=\"0\" IndexA=\"" << i << "\" SubindexA=\"0\" devIDB=\"1\" IndexB=\"1\" SubindexB=\"0\""
                 << " nbyteB=\"1\" mnemonico=\"m" << i << "\"/>";
    }
    document << "</sdo>";
    writeFile(project("sdo-table.xml"), document.str());
    m_forms->window<TFsdo>()->documentPath = project("sdo-table.xml");
    open<TFsdo>([](TFsdo& w) {
        EXPECT_EQ(cell(w.sgb, 0, 1), "1");
        EXPECT_EQ(cell(w.sgb, 0, 2), "0x2000");
        EXPECT_EQ(cell(w.sgb, 0, 7), "4");
        EXPECT_EQ(cell(w.sgb, 0, 8), "") << "an entry without mnemonico";
        EXPECT_EQ(cell(w.sga, 0, 1), "0");
        EXPECT_EQ(cell(w.sga, 1499, 2), "1499");
        EXPECT_EQ(cell(w.sga, 1499, 8), "m1499");
        w.bitbtn2->click();
    });
    EXPECT_EQ(messages(), std::vector<std::string>{"information: " + canopen::leftOutMessage(2)});
}

TEST_F(GridEditorWindow, SdoExportCodesTheRwFlagOnlyForExactlyOne) {
    open<TFsdo>([](TFsdo& w) {
        type(w.sga, 0, {"1", "0x2000", "1", "5", "0x6000", "2", "4", "first"});
        type(w.sga, 1, {"01", "a"});
        type(w.sgb, 0, {"1", "b"});
        type(w.sgb, 1, {"yes", "c"});
        w.BtnExport->click();
        EXPECT_TRUE(w.isVisible()) << "Export leaves the window open";
        w.bitbtn2->click();
    });
    EXPECT_EQ(messages(), std::vector<std::string>{});
    std::ifstream csv(project("sdo.csv"), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(csv, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3002u);
    EXPECT_EQ(lines[0], "0,Index,Subindex,devID,Index,Subindex,nbyte,mnemonico,\r");
    EXPECT_EQ(lines[1], "16,0x2000,1,5,0x6000,2,4,first,\r");
    EXPECT_EQ(lines[2], "0,a,,,,,,,\r");
    EXPECT_EQ(lines[1501], "1,Index,Subindex,devID,Index,Subindex,nbyte,mnemonico,\r");
    EXPECT_EQ(lines[1502], "17,b,,,,,,,\r");
    EXPECT_EQ(lines[1503], "1,c,,,,,,,\r");
    EXPECT_EQ(lines[3001], "1,,,,,,,,\r");
}

// ---- Translate PDO

TEST_F(GridEditorWindow, TranslatePdoLaidOutWithItsResizeRule) {
    writeFile(project("rpdodef.xml"), "<rpdodef/>");
    EXPECT_EQ(m_forms->window<TFpdo>()->sga, nullptr) << "no grid is made at start-up";
    open<TFpdo>([](TFpdo& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Define Traslate PDO");
        EXPECT_EQ(w.size(), QSize(463, 564));
        EXPECT_EQ(w.PageControl1->tabText(0).toStdString(), "PDO From CanA to CanB");
        EXPECT_EQ(w.PageControl1->tabText(1).toStdString(), "PDO From CanB to CanA");
        const std::vector<std::string> titles{"N\u00B0", "cobid", "id_dev_orig", "en_traslate", "posid", "n_tPDO"};
        for (ui::Grid* grid : {w.sga, w.sgb}) {
            EXPECT_EQ(grid->model()->rowCount(), 10);
            ASSERT_EQ(grid->model()->columnCount(), 6);
            for (int c = 0; c < 6; ++c) {
                EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString(), titles[c]);
            }
            EXPECT_EQ(cell(grid, 0, 0), "0");
            EXPECT_EQ(cell(grid, 9, 0), "9");
        }
        for (QSize size : {QSize(700, 500), QSize(463, 564)}) {
            w.resize(size);
            QApplication::processEvents();
            const int width = static_cast<int>(std::lround(w.sga->width() / 6.0)) - 5;
            for (int c = 0; c < 6; ++c) EXPECT_EQ(w.sga->columnWidth(c), width) << size.width() << " column " << c;
        }
        w.bitbtn2->click();
    });
    EXPECT_EQ(messages(), std::vector<std::string>{});
}

TEST_F(GridEditorWindow, TranslatePdoMissingDocumentSaysSoAndOkWritesWhatWasTyped) {
    open<TFpdo>([](TFpdo& w) {
        type(w.sga, 0, {"0x181", "1", "1", "4", "5"});
        type(w.sga, 1, {"385", "2", "yes", "", "6"});
        type(w.sgb, 0, {"$2A0", "", "0", "1", "2"});
        w.bitbtn1->click();
    });
    EXPECT_EQ(messages(), std::vector<std::string>{"information: File XML not found"});
    EXPECT_EQ(readFile(project("rpdodef.xml")),
              "<rpdodef><row cobid=\"385\" id_dev_orig=\"2\" en_bypass=\"2\" posind=\"\" n_tpdo=\"6\"/>"
              "<row cobid=\"0x181\" id_dev_orig=\"1\" en_bypass=\"3\" posind=\"4\" n_tpdo=\"5\"/>"
              "<row cobid=\"$2A0\" id_dev_orig=\"\" en_bypass=\"0\" posind=\"1\" n_tpdo=\"2\"/></rpdodef>");
}

TEST_F(GridEditorWindow, TranslatePdoBadCobidKeepsTheWindowAndTheDocument) {
    writeFile(project("rpdodef.xml"), "<rpdodef/>");
    bool stayedOpen = false;
    open<TFpdo>([&](TFpdo& w) {
        type(w.sgb, 0, {"abc", "1", "1", "1", "1"});
        w.bitbtn1->click();
        stayedOpen = w.isVisible();
        EXPECT_EQ(cell(w.sgb, 0, 1), "abc");
        w.bitbtn2->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages(), std::vector<std::string>{"standard error: 'abc' is not a valid integer value"});
    EXPECT_EQ(readFile(project("rpdodef.xml")), "<rpdodef/>");
}

// ---- The golden cases of Translate PDO and Set SDO Access through the windows

struct WindowCase {
    std::string name;
};

void PrintTo(const WindowCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<WindowCase> windowCases() {
    std::vector<WindowCase> cases;
    for (const fs::directory_entry& entry : fs::directory_iterator(kCases)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("rpdodef-", 0) == 0 || name.rfind("sdo-", 0) == 0) cases.push_back({name});
    }
    std::sort(cases.begin(), cases.end(), [](const WindowCase& a, const WindowCase& b) { return a.name < b.name; });
    return cases;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The messages a window shows for a case: a load's failure and the entries left out.
std::vector<std::string> expectedMessages(const fs::path& expected, bool imported) {
    std::vector<std::string> shownMessages;
    std::istringstream content(fileText(expected / "content.txt"));
    for (std::string line; std::getline(content, line);) {
        if (line.rfind("failure: ", 0) == 0 && !imported) shownMessages.push_back("information: " + line.substr(9));
        // An import fails silently, except for characters no document can hold.
        if (line.rfind("failure: ", 0) == 0 && imported && base::isCharacterRefusal(line.substr(9)))
            shownMessages.push_back("error: " + line.substr(9));
        if (line.rfind("left out: ", 0) == 0) {
            shownMessages.push_back("information: " + canopen::leftOutMessage(std::stoul(line.substr(10))));
        }
    }
    return shownMessages;
}

class GridEditorCases : public GridEditorWindow, public ::testing::WithParamInterface<WindowCase> {
protected:
    // Shows the editor on the case's project, imports its workbook if it has one, exports, then presses OK.
    template <class T>
    void run(const std::string& document, const std::function<void(T&)>& prepare) {
        const fs::path folder = kCases / GetParam().name;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder / "input")) {
            if (entry.path().filename() != "workbook.xls")
                fs::copy_file(entry.path(), pathOf(project(pathText(entry.path().filename()))));
        }
        const bool imported = fs::exists(folder / "input/workbook.xls");
        if (imported)
            writeFile(project("rpdodef.xml"), "<rpdodef/>");  // the import starts from a project with a document
        prepare(*m_forms->window<T>());
        // A document that was there but could not be read whole is replaced
        // only after the question, answered Yes here (Translate PDO saves; the
        // SDO editor saves nothing and never asks).
        std::string loadFailure;
        {
            std::istringstream content(fileText(folder / "expected/content.txt"));
            std::string line;
            if (std::getline(content, line) && line.rfind("failure: ", 0) == 0) loadFailure = line.substr(9);
        }
        const bool asks =
            !imported && document == "rpdodef" && !loadFailure.empty() && loadFailure != canopen::kXmlFileNotFound;
        bool stayedOpen = false;
        open<T>([&](T& w) {
            if (imported) {
                ui::Dialogs::queueAnswer(QString::fromStdString((folder / "input/workbook.xls").string()));
                w.BtnImport->click();
            }
            w.BtnExport->click();
            if (asks) ui::Dialogs::queueQuestionAnswer(true);
            w.bitbtn1->click();
            stayedOpen = w.isVisible();
            if (stayedOpen) w.bitbtn2->click();
        });
        std::vector<std::string> expected = expectedMessages(folder / "expected", imported);
        if (asks) {
            expected.push_back("question: " + testing_support::nativePath(project(document + ".xml")) +
                               " could not be read: " + loadFailure +
                               ". Saving replaces it with what the window shows. Save anyway?");
        }
        const fs::path failure = folder / "expected/save-failure.txt";
        std::string saveFailure = fs::exists(failure) ? fileText(failure) : "";
        while (!saveFailure.empty() && (saveFailure.back() == '\n' || saveFailure.back() == '\r'))
            saveFailure.pop_back();
        if (!saveFailure.empty()) expected.push_back("standard error: " + saveFailure);
        EXPECT_EQ(messages(), expected);
        EXPECT_EQ(stayedOpen, !saveFailure.empty());
        // The export is written in the system's 8-bit code page; the golden file is UTF-8.
        EXPECT_EQ(fileText(project(document + ".csv")),
                  exportText(fileText(folder / ("expected/" + document + ".csv"))));
        if (fs::exists(folder / ("expected/" + document + ".xml"))) {
            EXPECT_EQ(fileText(project(document + ".xml")), fileText(folder / ("expected/" + document + ".xml")));
        }
    }
};

TEST_P(GridEditorCases, GiveTheGoldenFiles) {
    if (GetParam().name.rfind("sdo-", 0) == 0) {
        const std::string documentPath = project("sdo.xml");
        run<TFsdo>("sdo", [&](TFsdo& w) { w.documentPath = documentPath; });
    } else {
        run<TFpdo>("rpdodef", [](TFpdo&) {});
    }
}

INSTANTIATE_TEST_SUITE_P(Golden, GridEditorCases, ::testing::ValuesIn(windowCases()),
                         [](const ::testing::TestParamInfo<WindowCase>& info) {
                             std::string name;
                             for (char c : info.param.name)
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

}  // namespace
