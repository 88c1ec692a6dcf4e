// The "Set Traslate EMCY" window driven as the user drives it.

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "CanopenWindowTest.h"
#include "canopen/Uemcy.h"
#include "ui/GraphicButton.h"

namespace {

using namespace testing_support;
using canopen::TFemcy;

// The boxes' texts of a page from top to bottom (id, then each mask above its enable mask).
std::vector<std::string> boxes(const TFemcy::Page& p) {
    std::vector<std::string> texts;
    for (std::size_t field : canopen::kEmcyBoxOrder) texts.push_back(p.boxes[field]->text().toStdString());
    return texts;
}

// Types the id and the error-code mask, leaving the other boxes as they are.
void type(TFemcy::Page& p, const char* id, const char* mask) {
    p.boxes[0]->setText(QString::fromUtf8(id));
    p.boxes[1]->setText(QString::fromUtf8(mask));
}

class TranslateEmcyWindow : public CanopenWindow {
protected:
    template <class Action>
    int open(Action action) {
        return show<TFemcy>(action);
    }
};

TEST_F(TranslateEmcyWindow, PagesControlsAndTexts) {
    open([](TFemcy& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Set Traslate EMCY");
        EXPECT_EQ(w.size(), QSize(553, 556));
        EXPECT_EQ(w.PageControl1->tabText(0).toStdString(), "From CAN A");
        EXPECT_EQ(w.PageControl1->tabText(1).toStdString(), "From CAN B");
        EXPECT_EQ(w.LBCanA->objectName().toStdString(), "LBCanA");
        EXPECT_EQ(w.LBCanB->objectName().toStdString(), "LBCanB");
        EXPECT_TRUE(w.TabSheet1->isAncestorOf(w.LBCanA));
        EXPECT_TRUE(w.TabSheet2->isAncestorOf(w.LBCanB));
        for (const char* name : {"Eid_devA", "Emask_eq_ecA", "Eenmask_eq_m3A", "Eid_devB", "Emask_eq_m2B"}) {
            EXPECT_NE(w.findChild<QLineEdit*>(QString::fromLatin1(name)), nullptr) << name;
        }
        // Each box has its label (name and range) to its right, in the order id, mask and enable mask by field.
        const std::vector<std::string> labels{"ID_EMCY",
                                              "Mask_error_code",
                                              "Enabled_mask_error_code",
                                              "MAsk_error_Reg",
                                              "Enabled_mask_error_Reg",
                                              "Mask_Manu1",
                                              "Enabled_Mask_Manu1",
                                              "Mask_Manu2",
                                              "Enabled_Mask_Manu2",
                                              "Mask_Manu3",
                                              "Enabled_Mask_Manu3"};
        std::vector<std::string> shownLabels;
        int lastY = -1;
        for (std::size_t field : canopen::kEmcyBoxOrder) {
            QLineEdit* box = w.pages[0].boxes[field];
            for (QLabel* label : w.TabSheet1->findChildren<QLabel*>()) {
                if (label->buddy() != box) continue;
                shownLabels.push_back(label->text().toStdString());
                EXPECT_GT(label->mapTo(&w, QPoint()).x(), box->mapTo(&w, QPoint()).x());
            }
            EXPECT_GT(box->mapTo(&w, QPoint()).y(), lastY);
            lastY = box->mapTo(&w, QPoint()).y();
        }
        EXPECT_EQ(shownLabels, labels);
        const std::vector<std::string> ranges{"(1..127)", "(0..65535)", "(0..255)"};
        for (const std::string& range : ranges) {
            bool found = false;
            for (QLabel* label : w.TabSheet1->findChildren<QLabel*>()) found |= label->text().toStdString() == range;
            EXPECT_TRUE(found) << range;
        }
        EXPECT_EQ(w.pages[0].translate->text().toStdString(), "Enabled_Traslate to CANB");
        EXPECT_EQ(w.pages[1].translate->text().toStdString(), "Enabled_Traslate to CANA");
        EXPECT_EQ(w.pages[0].aliasGroup->title().toStdString(), "Allias use");
        const std::vector<std::string> alias{"No traslate ID CANB", "Error code byte  HIGH", "Error code byte LOW",
                                             "Error Reg",           "Manu1 byte HIGH",       "Manu1 byte LOW",
                                             "Manu2 byte HIGH",     "Manu2 byte LOW",        "Manu3"};
        for (std::size_t i = 0; i < alias.size(); ++i) {
            EXPECT_EQ(w.pages[1].aliasButtons[i]->text().toStdString(), alias[i]);
            if (i > 0) {
                EXPECT_GT(w.pages[0].aliasButtons[i]->y(), w.pages[0].aliasButtons[i - 1]->y());
            }
        }
        EXPECT_EQ(w.pages[0].aliasButtons[0]->text().toStdString(), "No traslate ID CANA");
        EXPECT_TRUE(w.pages[0].aliasButtons[0]->isChecked());
        for (const char* text : {"ID CANA EMCY ", "Traslate in", "CANB EMCY at:"}) {
            bool found = false;
            for (QLabel* label : w.pages[0].aliasGroup->findChildren<QLabel*>()) found |= label->text() == text;
            EXPECT_TRUE(found) << text;
        }
        EXPECT_EQ(w.pages[0].deleteButton->text().toStdString(), "Delete EMCY");
        EXPECT_EQ(w.pages[0].newButton->text().toStdString(), "New EMCY");
        EXPECT_EQ(w.pages[0].modifyButton->text().toStdString(), "Modify ENCY");
        EXPECT_EQ(w.pages[1].modifyButton->text().toStdString(), "Modify EMCY");
        w.bitbtn2->click();
    });
    EXPECT_EQ(shown(), std::vector<std::string>{"information: File XML not found"});
}

TEST_F(TranslateEmcyWindow, ShowSelectsTheFirstLinesAndOkWritesByLine) {
    writeFile(project("emcydef.xml"), readFile(caseFile("emcydef-load-pages/input/emcydef.xml")));
    const int result = open([](TFemcy& w) {
        EXPECT_EQ(lines(w.LBCanA), (std::vector<std::string>{"5", "3", "0x10", "0"}));
        EXPECT_EQ(lines(w.LBCanB), (std::vector<std::string>{"3", "2", "3"}));
        EXPECT_EQ(w.LBCanA->currentRow(), 0);
        EXPECT_EQ(boxes(w.pages[0]),
                  (std::vector<std::string>{"5", "0", "6", "255", "7", "0xFF", "8", "4", "9", "5", "0"}))
            << "empty attributes read as 0";
        // bypass_set 35: page "From CAN B", switch on, alias 1.
        EXPECT_EQ(w.LBCanB->currentRow(), 0);
        EXPECT_TRUE(w.pages[1].translate->isChecked());
        EXPECT_TRUE(w.pages[1].aliasButtons[1]->isChecked());
        // Alias 15 checks no button: the one checked before stays.
        clickLine(w.LBCanB, 1);
        EXPECT_EQ(w.pages[1].alias->checkedId(), 1);
        clickLine(w.LBCanA, 2);
        EXPECT_EQ(w.pages[0].alias->checkedId(), 8);
        EXPECT_EQ(w.pages[0].boxes[0]->text().toStdString(), "0x10");
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("emcydef.xml")), readFile(caseFile("emcydef-load-pages/expected/emcydef.xml")));
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

TEST_F(TranslateEmcyWindow, NewModifyDeleteAndTheIdCheck) {
    const int result = open([this](TFemcy& w) {
        shown();
        TFemcy::Page& a = w.pages[0];
        // An empty list: no check at all.
        type(a, "5", "");
        a.translate->setChecked(true);
        a.aliasButtons[3]->setChecked(true);
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{});
        EXPECT_EQ(a.list->currentRow(), 0) << "the new line is selected";
        // The new line is selected, so the same id is refused now; ids are compared as texts.
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index Not Valid"});
        type(a, "05", "0xFF00");
        a.translate->setChecked(false);
        a.aliasButtons[0]->setChecked(true);
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{});
        // Only the masks change: the id check passes without a message.
        clickLine(a.list, 0);
        EXPECT_TRUE(a.translate->isChecked());
        EXPECT_EQ(a.alias->checkedId(), 3);
        a.boxes[2]->setText(QStringLiteral("7"));
        a.modifyButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{});
        // A new id already in the list is refused by Modify.
        a.boxes[0]->setText(QStringLiteral("05"));
        a.modifyButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index Not Valid"});
        // An empty id is refused; no line is empty, so only once.
        a.boxes[0]->setText(QString());
        a.modifyButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index Not Valid"});
        a.boxes[0]->setText(QStringLiteral("9"));
        a.modifyButton->click();
        EXPECT_EQ(lines(a.list), (std::vector<std::string>{"9", "05"}));
        // Delete leaves no line selected, so Modify does nothing and New is not checked.
        clickLine(a.list, 1);
        a.deleteButton->click();
        EXPECT_EQ(lines(a.list), std::vector<std::string>{"9"});
        EXPECT_EQ(a.list->currentRow(), -1);
        a.boxes[0]->setText(QStringLiteral("8"));
        a.modifyButton->click();
        a.deleteButton->click();
        type(a, "9", "");
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{});
        // Page "From CAN B": its own list, the id 9 again is fine there.
        TFemcy::Page& b = w.pages[1];
        w.PageControl1->setCurrentIndex(1);
        type(b, "9", "1");
        b.aliasButtons[1]->setChecked(true);
        b.newButton->click();
        EXPECT_EQ(lines(a.list), (std::vector<std::string>{"9", "9"}));
        EXPECT_EQ(lines(b.list), std::vector<std::string>{"9"});
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("emcydef.xml")), golden("emcydef-operations.xml"));
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

TEST_F(TranslateEmcyWindow, EmptyIdsAreRefusedTwiceAndFailTheWrite) {
    bool stayed = false;
    open([&](TFemcy& w) {
        shown();
        TFemcy::Page& b = w.pages[1];
        b.newButton->click();  // empty list: accepted, the line stays empty, the id is stored as 0
        EXPECT_EQ(lines(b.list), std::vector<std::string>{""});
        b.newButton->click();
        EXPECT_EQ(shown(), (std::vector<std::string>{"information: Index Not Valid", "information: Index Not Valid"}));
        w.bitbtn1->click();
        stayed = w.isVisible();
        w.bitbtn2->click();
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: '' is not a valid integer value"});
    EXPECT_FALSE(exists(project("emcydef.xml")));
}

TEST_F(TranslateEmcyWindow, ImportPlacesByPageAndExportWritesInListOrder) {
    writeFile(project("emcydef.xml"), readFile(caseFile("emcydef-load-pages/input/emcydef.xml")));
    const int result = open([this](TFemcy& w) {
        ui::Dialogs::queueAnswer(QString::fromStdString(caseFile("emcydef-import-pages/input/workbook.xls")));
        w.BtnImport->click();
        EXPECT_EQ(lines(w.LBCanA), (std::vector<std::string>{"5", "3"}));
        EXPECT_EQ(lines(w.LBCanB), (std::vector<std::string>{"0x10", "4"}));
        // The import ended at a record without bypass_set: nothing is selected.
        EXPECT_EQ(w.LBCanA->currentRow(), -1);
        EXPECT_EQ(w.LBCanB->currentRow(), -1);
        EXPECT_EQ(readFile(project("emcydef.xml")), readFile(caseFile("emcydef-load-pages/input/emcydef.xml")));
        w.BtnExport->click();
        EXPECT_EQ(readFile(project("emcydef.csv")), readFile(caseFile("emcydef-import-pages/expected/emcydef.csv")));
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("emcydef.xml")), readFile(caseFile("emcydef-import-pages/expected/emcydef.xml")));
    const std::vector<std::string> seen = shown();
    EXPECT_EQ(seen, std::vector<std::string>{"open file: "}) << "a failed import is silent";
}

}  // namespace
