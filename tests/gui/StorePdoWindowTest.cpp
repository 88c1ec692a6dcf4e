// The "Define Store PDO" window driven as the user drives it, and its reading
// of what Translate PDO wrote.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>

#include "CanopenWindowTest.h"
#include "canopen/TranslatePdo.h"
#include "canopen/UInfoPdo.h"
#include "ui/GraphicButton.h"

namespace {

using namespace testing_support;
using canopen::TFInfopdo;

void type(TFInfopdo::Page& p, const char* index, const char* subindex, int high, int low) {
    p.index->setText(QString::fromUtf8(index));
    p.subindex->setText(QString::fromUtf8(subindex));
    p.high->button(high)->setChecked(true);
    p.low->button(low)->setChecked(true);
}

// The boxes and the checked items ("-1" for none).
std::string entryShown(const TFInfopdo::Page& p) {
    return p.index->text().toStdString() + "|" + p.subindex->text().toStdString() + "|" +
           std::to_string(p.high->checkedId()) + "|" + std::to_string(p.low->checkedId());
}

class StorePdoWindow : public CanopenWindow {
protected:
    template <class Action>
    int open(Action action) {
        return show<TFInfopdo>(action);
    }
    void copyCase(const std::string& folder, std::initializer_list<const char*> files) {
        for (const char* file : files) writeFile(project(file), readFile(caseFile(folder + "/input/" + file)));
    }
};

TEST_F(StorePdoWindow, PagesControlsAndTheThreeMessages) {
    open([](TFInfopdo& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Define Store PDO");
        // The designed size, grown only where the system's font needs more room for the controls.
        EXPECT_EQ(w.size(), QSize(463, 573).expandedTo(w.minimumSizeHint()));
        EXPECT_EQ(w.PageControl1->tabText(0).toStdString(), "CanA");
        EXPECT_EQ(w.PageControl1->tabText(1).toStdString(), "CanB");
        const std::vector<std::vector<std::string>> labels{
            {"Correlated", "SDO CANB", "Index PDO in CANA", "Index SDO CANB", "Subindex SDO CANB", "Traslate in",
             "High SDO Byte", "Trsalete in", "Low SDO Byte"},
            {"Correlated", "SDO CANA", "Index PDO in CANB", "Index SDO CANA", "Subindex SDO CANA", "Traslate in",
             "High SDO Byte", "Traslate in", "Low SDO Byte"}};
        for (std::size_t page = 0; page < 2; ++page) {
            QWidget* sheet = page == 0 ? w.TabSheet1 : w.TabSheet2;
            std::vector<std::string> seen;
            for (const QLabel* label : sheet->findChildren<QLabel*>()) seen.push_back(label->text().toStdString());
            std::vector<std::string> expected = labels[page];
            std::sort(seen.begin(), seen.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(seen, expected);
            const TFInfopdo::Page& p = w.pages[page];
            for (const QGroupBox* group : {p.highGroup, p.lowGroup}) {
                EXPECT_EQ(group->title().toStdString(), "Selected PDO Byte");
            }
            if (page == 0) {
                EXPECT_LT(p.highGroup->y(), p.lowGroup->y());
            }
            const std::vector<std::string> items{"none", "B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"};
            for (int i = 0; i < 9; ++i) EXPECT_EQ(p.high->button(i)->text().toStdString(), items[i]);
            EXPECT_EQ(p.high->checkedId(), 0);
            EXPECT_EQ(p.low->checkedId(), 0);
            std::vector<std::string> buttons;
            for (const QPushButton* b : {p.deleteButton, p.newButton, p.modifyButton, p.copyButton, p.pasteButton}) {
                buttons.push_back(b->text().toStdString());
            }
            EXPECT_EQ(buttons,
                      (std::vector<std::string>{"Delete SDO", "New SDO", "Modify SDO", "Copy SDO", "Paste SDO"}));
        }
        // From left to right: the stored-SDO list, the PDO list, the boxes.
        const TFInfopdo::Page& a = w.pages[0];
        EXPECT_LT(a.sdoList->mapTo(&w, QPoint()).x(), a.pdoList->mapTo(&w, QPoint()).x());
        EXPECT_LT(a.pdoList->mapTo(&w, QPoint()).x(), a.index->mapTo(&w, QPoint()).x());
        // Without PDOs the pages still work: New does nothing.
        w.pages[0].newButton->click();
        EXPECT_EQ(w.pages[0].sdoList->count(), 0);
        w.bitbtn2->click();
    });
    EXPECT_EQ(shown(),
              (std::vector<std::string>{"information: File SDO XML not found", "information: File PDO XML not found",
                                        "information: File SDOPDO XML not found"}));
}

TEST_F(StorePdoWindow, SelectionShowsEntriesAndOkWritesThem) {
    copyCase("sdopdo-load-three", {"sdo.xml", "rpdodef.xml", "sdopdo.xml"});
    const int result = open([this](TFInfopdo& w) {
        TFInfopdo::Page& a = w.pages[0];
        TFInfopdo::Page& b = w.pages[1];
        EXPECT_EQ(lines(a.pdoList), (std::vector<std::string>{"0x181", "0x182", "0x183"}));
        EXPECT_EQ(lines(b.pdoList), (std::vector<std::string>{"0x281", "0x282"}));
        EXPECT_EQ(a.pdoList->currentRow(), -1) << "no PDO is selected after showing";
        EXPECT_EQ(a.sdoList->count(), 0);
        clickLine(a.pdoList, 0);
        EXPECT_EQ(lines(a.sdoList), (std::vector<std::string>{"Sdo0", "Sdo1"}));
        clickLine(a.sdoList, 0);
        EXPECT_EQ(entryShown(a), "12288|1|1|2");
        // A poscomp of 144: the high nibble 9 checks no item of the upper group.
        clickLine(b.pdoList, 0);
        clickLine(b.sdoList, 0);
        EXPECT_EQ(entryShown(b), "0x3000|0|-1|0");
        // Selecting a PDO empties the boxes and sets the groups to "none".
        clickLine(a.pdoList, 2);
        EXPECT_EQ(entryShown(a), "||0|0");
        EXPECT_EQ(shown(), std::vector<std::string>{});
        clickLine(a.sdoList, 0);  // an empty poscomp
        EXPECT_EQ(shown(), std::vector<std::string>{"standard error: '' is not a valid integer value"});
        EXPECT_EQ(entryShown(a), "5|5|0|0");
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("sdopdo.xml")), readFile(caseFile("sdopdo-load-three/expected/sdopdo.xml")));
}

TEST_F(StorePdoWindow, NewModifyDeleteCopyPasteAndTheEntryCheck) {
    copyCase("sdopdo-load-three", {"sdo.xml", "rpdodef.xml", "sdopdo.xml"});
    const int result = open([this](TFInfopdo& w) {
        TFInfopdo::Page& a = w.pages[0];
        TFInfopdo::Page& b = w.pages[1];
        type(a, "8192", "1", 0, 0);
        a.newButton->click();
        EXPECT_EQ(a.sdoList->count(), 0) << "no PDO selected: nothing happens";
        clickLine(a.pdoList, 0);
        EXPECT_EQ(entryShown(a), "||0|0") << "selecting a PDO empties the boxes";
        type(a, "8192", "1", 0, 0);
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index or Subindex Not Valid,Sdo Already Exists"})
            << "8192 is the 0x2000 of sdo.xml's first table";
        type(a, "0x3000", "2", 0, 0);  // the entry of the second PDO
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index or Subindex Not Valid"});
        type(a, "0x2100", "0", 2, 3);  // a virtual index of the other table is free here
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{});
        EXPECT_EQ(lines(a.sdoList), (std::vector<std::string>{"Sdo0", "Sdo1", "Sdo2"}));
        EXPECT_EQ(a.sdoList->currentRow(), 2);
        // Delete Sdo1: the lines are not renumbered until the PDO is selected again.
        clickLine(a.sdoList, 1);
        a.deleteButton->click();
        EXPECT_EQ(lines(a.sdoList), (std::vector<std::string>{"Sdo0", "Sdo2"}));
        a.modifyButton->click();  // no entry selected: nothing happens
        clickLine(a.sdoList, 1);
        EXPECT_EQ(entryShown(a), "0x2100|0|2|3");
        a.subindex->setText(QStringLiteral("1"));
        a.high->button(8)->setChecked(true);
        a.modifyButton->click();  // its own index and subindex do not refuse it
        a.index->setText(QStringLiteral("12288"));
        a.modifyButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index or Subindex Not Valid"});
        clickLine(a.pdoList, 0);
        EXPECT_EQ(lines(a.sdoList), (std::vector<std::string>{"Sdo0", "Sdo1"}));
        // Paste before any copy on page CanB: the boxes are emptied, the groups stay.
        clickLine(b.pdoList, 1);
        type(b, "1", "2", 3, 4);
        b.pasteButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"standard error: '' is not a valid integer value"});
        EXPECT_EQ(entryShown(b), "||3|4");
        // Copy on CanA, paste on CanA; the clipboard of CanB stays empty.
        clickLine(a.sdoList, 1);
        a.copyButton->click();
        clickLine(a.pdoList, 1);
        a.pasteButton->click();
        EXPECT_EQ(entryShown(a), "0x2100|1|8|3");
        a.subindex->setText(QStringLiteral("2"));
        a.newButton->click();
        type(b, "0x2100", "0", 1, 0);  // the virtual index of sdo.xml's second table
        b.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index or Subindex Not Valid,Sdo Already Exists"});
        type(b, "0x2000", "1", 1, 0);
        b.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{});
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("sdopdo.xml")), golden("sdopdo-operations.xml"));
}

TEST_F(StorePdoWindow, ClipboardsLiveAcrossShowings) {
    copyCase("sdopdo-load-three", {"sdo.xml", "rpdodef.xml", "sdopdo.xml"});
    open([](TFInfopdo& w) {
        type(w.pages[1], "0x6000", "3", 2, 1);
        w.pages[1].copyButton->click();
        w.bitbtn2->click();
    });
    std::string pasted, other;
    open([&](TFInfopdo& w) {
        EXPECT_EQ(entryShown(w.pages[1]), "||0|0") << "every showing starts afresh";
        w.pages[1].pasteButton->click();
        pasted = entryShown(w.pages[1]);
        w.bitbtn2->click();
    });
    EXPECT_EQ(pasted, "0x6000|3|2|1");
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

TEST_F(StorePdoWindow, ImportKeepsThePdosAndExportWritesInListOrder) {
    copyCase("sdopdo-load-three", {"sdo.xml", "sdopdo.xml"});
    copyCase("sdopdo-import-entries", {"rpdodef.xml"});
    const int result = open([this](TFInfopdo& w) {
        clickLine(w.pages[0].pdoList, 0);
        ui::Dialogs::queueAnswer(QString::fromStdString(caseFile("sdopdo-import-entries/input/workbook.xls")));
        w.BtnImport->click();
        EXPECT_EQ(lines(w.pages[0].pdoList), (std::vector<std::string>{"0x181", "0x182", "0x183"}));
        EXPECT_EQ(w.pages[0].sdoList->count(), 0);
        clickLine(w.pages[0].pdoList, 1);
        clickLine(w.pages[0].pdoList, 0);
        EXPECT_EQ(lines(w.pages[0].sdoList), std::vector<std::string>{"Sdo0"});
        w.BtnExport->click();
        EXPECT_EQ(readFile(project("sdopdo.csv")), readFile(caseFile("sdopdo-import-entries/expected/sdopdo.csv")));
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("sdopdo.xml")), readFile(caseFile("sdopdo-import-entries/expected/sdopdo.xml")));
    EXPECT_EQ(shown(), std::vector<std::string>{"open file: "});
}

// What Translate PDO writes is what Store PDO reads: its first table is page
// CanB here, its second page CanA, in the order it wrote them.
TEST_F(StorePdoWindow, ReadsTheTranslatePdoDocumentAndWritesEntriesOfBothPages) {
    canopen::PdoTranslationTables tables;
    tables.first = {{"0x1A1", "1", "1", "0", "1"}, {"0x1A0", "2", "", "0", "1"}};
    tables.second = {{"0x2B0", "3", "1", "0", "1"}, {"0x2B2", "4", "", "0", "2"}, {"0x2B1", "5", "", "1", "1"}};
    canopen::saveTranslatePdo(workspace().RpdodefPath, tables);
    writeFile(project("sdo.xml"), "<sdo/>");
    const int result = open([this](TFInfopdo& w) {
        TFInfopdo::Page& a = w.pages[0];
        TFInfopdo::Page& b = w.pages[1];
        EXPECT_EQ(lines(a.pdoList), (std::vector<std::string>{"0x2B0", "0x2B1", "0x2B2"}));
        EXPECT_EQ(lines(b.pdoList), (std::vector<std::string>{"0x1A0", "0x1A1"}));
        clickLine(a.pdoList, 2);
        type(a, "0x3000", "1", 1, 2);
        a.newButton->click();
        type(a, "0x2000", "0", 0, 8);
        a.newButton->click();
        clickLine(a.pdoList, 0);
        type(a, "0x3000", "0", 3, 4);
        a.newButton->click();
        clickLine(b.pdoList, 1);
        type(b, "16", "1", 5, 0);
        b.newButton->click();
        clickLine(b.pdoList, 0);
        type(b, "0x10", "2", 6, 7);
        b.newButton->click();
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(shown(), std::vector<std::string>{"information: File SDOPDO XML not found"});
    EXPECT_EQ(readFile(project("sdopdo.xml")), golden("sdopdo-end-to-end.xml"));
}

}  // namespace
