// The "Define EMCY Word" window driven as the user drives it.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "CanopenWindowTest.h"
#include "canopen/UWemcy.h"
#include "ui/GraphicButton.h"

namespace {

using namespace testing_support;
using canopen::TFWemcy;

std::vector<std::string> words(const QTreeWidget* tree) {
    std::vector<std::string> texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) texts.push_back(tree->topLevelItem(i)->text(0).toStdString());
    return texts;
}

// Selects the node at place q of word w (0 the word node, 1 to 16 its bits).
void select(QTreeWidget* tree, int w, int q) {
    QTreeWidgetItem* word = tree->topLevelItem(w);
    tree->setCurrentItem(q == 0 ? word : word->child(q - 1));
}

void typeWord(TFWemcy::Page& p, const char* index, const char* subindex, const char* devid) {
    p.index->setText(QString::fromUtf8(index));
    p.subindex->setText(QString::fromUtf8(subindex));
    p.devid->setText(QString::fromUtf8(devid));
}

std::vector<std::string> bitBoxes(const TFWemcy::Page& p) {
    return {p.mask1->text().toStdString(), p.mask2->text().toStdString(), p.position1->text().toStdString(),
            p.position2->text().toStdString()};
}

class EmcyWordWindow : public CanopenWindow {
protected:
    template <class Action>
    int open(Action action) {
        return show<TFWemcy>(action);
    }
    // The label of a box, as its buddy.
    static std::string labelOf(const QWidget* page, const QLineEdit* box) {
        for (const QLabel* label : page->findChildren<QLabel*>()) {
            if (label->buddy() == box) return label->text().toStdString();
        }
        return "(none)";
    }
};

TEST_F(EmcyWordWindow, PagesControlsAndTexts) {
    open([](TFWemcy& w) {
        EXPECT_EQ(w.windowTitle().toStdString(), "Define EMCY Word");
        EXPECT_EQ(w.size(), QSize(455, 464));
        EXPECT_EQ(w.PageControl1->tabText(0).toStdString(), "CanA");
        EXPECT_EQ(w.PageControl1->tabText(1).toStdString(), "CanB");
        EXPECT_EQ(w.TWCanA->objectName().toStdString(), "TWCanA");
        EXPECT_EQ(w.TWCanB->objectName().toStdString(), "TWCanB");
        const std::vector<std::vector<std::string>> expected{
            {"Eindex_addrmA", "Index SDO BUS B", "EsubindexA", "Subindex SDO BUS B", "EdevidA", "ID EMCY BUS A", "Eb0A",
             "Mask Byte 1", "Eb1A", "Mask byte 2", "EposcompA", "Emcy byte 1", "EposcompA2", "Emcy Byte 2"},
            {"Eindex_addrmB", "Index SDO BUS A", "EsubindexB", "Subindex SDO BUS A", "EdevidB", "ID EMCY BUS B", "Eb0B",
             "Mask Byte 1", "Eb1B", "Mask Byte 2", "EposcompB", "Emcy byte 1", "EposcompB2", "Emcy Byte 2"}};
        for (std::size_t page = 0; page < 2; ++page) {
            const TFWemcy::Page& p = w.pages[page];
            QWidget* sheet = page == 0 ? w.TabSheet1 : w.TabSheet2;
            std::vector<std::string> seen;
            for (const QLineEdit* box : {p.index, p.subindex, p.devid, p.mask1, p.mask2, p.position1, p.position2}) {
                seen.push_back(box->objectName().toStdString());
                seen.push_back(labelOf(sheet, box));
            }
            EXPECT_EQ(seen, expected[page]);
            EXPECT_EQ(p.wordGroup->title().toStdString(), "Word n°  Emcy Define");
            EXPECT_EQ(p.bitGroup->title().toStdString(), "Mask BIT n°  Define");
            EXPECT_TRUE(p.wordGroup->isAncestorOf(p.bitGroup));
            EXPECT_TRUE(p.bitGroup->isAncestorOf(p.position2));
            EXPECT_EQ(p.deleteButton->text().toStdString(), "Delete");
            EXPECT_EQ(p.newButton->text().toStdString(), "New");
            EXPECT_EQ(p.modifyButton->text().toStdString(), "Modify");
        }
        EXPECT_LT(w.TWCanA->mapTo(&w, QPoint()).x(), w.pages[0].wordGroup->mapTo(&w, QPoint()).x());
        w.bitbtn2->click();
    });
    EXPECT_EQ(shown(), std::vector<std::string>{"information: File XML not found"});
}

TEST_F(EmcyWordWindow, ShowBuildsTheTreesAndSelectionFillsTheBoxes) {
    writeFile(project("emcyword.xml"), readFile(caseFile("emcyword-load-pages/input/emcyword.xml")));
    const int result = open([this](TFWemcy& w) {
        EXPECT_EQ(words(w.TWCanA), (std::vector<std::string>{"W0", "W1", "W2"}));
        EXPECT_EQ(words(w.TWCanB), (std::vector<std::string>{"W0", "W1", "W2"}));
        QTreeWidgetItem* second = w.TWCanA->topLevelItem(1);
        ASSERT_EQ(second->childCount(), 16);
        EXPECT_EQ(second->child(0)->text(0).toStdString(), "Bit0");
        EXPECT_EQ(second->child(15)->text(0).toStdString(), "Bit15");
        EXPECT_EQ(TFWemcy::stateIndex(second), 0);
        EXPECT_EQ(TFWemcy::stateIndex(second->child(3)), 1);
        EXPECT_EQ(w.TWCanA->currentItem(), nullptr) << "nothing is selected after showing";
        // Bit3 of the second word stands at position 21: the bit group shows 21, not 3.
        select(w.TWCanA, 1, 4);
        for (const TFWemcy::Page& p : w.pages) {
            EXPECT_EQ(p.wordGroup->title().toStdString(), "Word n°1 Emcy Define ");
            EXPECT_EQ(p.bitGroup->title().toStdString(), "Mask BIT n°21 Define");
        }
        EXPECT_EQ(w.pages[0].index->text().toStdString(), "20");
        EXPECT_EQ(w.pages[0].devid->text().toStdString(), "1");
        EXPECT_EQ(bitBoxes(w.pages[0]), (std::vector<std::string>{"5", "0x03", "3", "3"}));
        EXPECT_EQ(w.pages[1].index->text().toStdString(), "") << "the other page's boxes stay";
        select(w.TWCanA, 1, 0);
        EXPECT_EQ(bitBoxes(w.pages[0]), (std::vector<std::string>{"", "", "", ""}));
        EXPECT_EQ(w.pages[0].bitGroup->title().toStdString(), "Mask BIT n°17 Define");
        select(w.TWCanB, 2, 0);
        EXPECT_EQ(w.pages[1].devid->text().toStdString(), "$7");
        EXPECT_EQ(shown(), std::vector<std::string>{});
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("emcyword.xml")), readFile(caseFile("emcyword-load-pages/expected/emcyword.xml")));
}

TEST_F(EmcyWordWindow, NewModifyDeleteAndTheWordCheck) {
    const int result = open([this](TFWemcy& w) {
        shown();
        TFWemcy::Page& a = w.pages[0];
        typeWord(a, "0x2000", "", "1");
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index Not Valid"}) << "an empty box";
        typeWord(a, "0x2000", "1", "1");
        a.newButton->click();
        typeWord(a, "0x2000", "2", "1");
        a.newButton->click();
        typeWord(a, "8192", "1", "1");  // a different text of the same number passes
        a.newButton->click();
        typeWord(a, "0x2000", "2", "1");
        a.newButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index Not Valid"});
        EXPECT_EQ(words(a.tree), (std::vector<std::string>{"W0", "W1", "W2"}));
        EXPECT_EQ(a.tree->currentItem(), nullptr) << "the new node is not selected";
        // Delete needs a word node; after deleting W1 a new word is W3.
        select(a.tree, 1, 2);
        EXPECT_EQ(shown(), std::vector<std::string>{"standard error: '' is not a valid integer value"})
            << "a new word's bits have empty positions";
        a.deleteButton->click();
        EXPECT_EQ(words(a.tree), (std::vector<std::string>{"W0", "W1", "W2"}));
        select(a.tree, 1, 0);
        a.deleteButton->click();
        EXPECT_EQ(words(a.tree), (std::vector<std::string>{"W0", "W2"}));
        EXPECT_EQ(a.tree->currentItem(), nullptr);
        a.modifyButton->click();  // nothing selected: nothing happens
        typeWord(a, "0x2000", "3", "2");
        a.newButton->click();
        EXPECT_EQ(words(a.tree), (std::vector<std::string>{"W0", "W2", "W3"}));
        EXPECT_EQ(shown(), std::vector<std::string>{});
        // The position boxes keep what they held.
        a.position1->setText(QStringLiteral("9"));
        select(a.tree, 2, 3);
        EXPECT_EQ(shown(), std::vector<std::string>{"standard error: '' is not a valid integer value"});
        EXPECT_EQ(bitBoxes(a), (std::vector<std::string>{"", "", "9", ""}));
        // Bit 2 of W3: positions 2 and 5 give 37.
        a.mask1->setText(QStringLiteral("0x80"));
        a.mask2->setText(QStringLiteral("1"));
        a.position1->setText(QStringLiteral("2"));
        a.position2->setText(QStringLiteral("5"));
        a.modifyButton->click();
        select(a.tree, 2, 0);
        select(a.tree, 2, 3);
        EXPECT_EQ(bitBoxes(a), (std::vector<std::string>{"0x80", "1", "2", "5"}));
        // A position that is not a number: the masks are replaced all the same.
        select(a.tree, 2, 16);
        a.mask1->setText(QStringLiteral("7"));
        a.position1->setText(QStringLiteral("x"));
        a.modifyButton->click();
        EXPECT_EQ(shown(), (std::vector<std::string>{"standard error: '' is not a valid integer value",
                                                     "standard error: 'x' is not a valid integer value"}));
        // Modify of a word node: refused when it equals another word, the word itself excepted.
        select(a.tree, 0, 0);
        a.devid->setText(QStringLiteral("1"));
        a.modifyButton->click();
        typeWord(a, "0x2000", "3", "2");
        a.modifyButton->click();
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Index Not Valid"});
        typeWord(a, "0x2000", "1", "5");
        a.modifyButton->click();
        EXPECT_EQ(words(a.tree), (std::vector<std::string>{"W0", "W2", "W3"})) << "the node text stays";
        // Page CanB is apart.
        TFWemcy::Page& b = w.pages[1];
        typeWord(b, "0x2000", "1", "5");
        b.newButton->click();
        EXPECT_EQ(words(b.tree), std::vector<std::string>{"W0"});
        EXPECT_EQ(shown(), std::vector<std::string>{});
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("emcyword.xml")), golden("emcyword-operations.xml"));
}

TEST_F(EmcyWordWindow, ImportExportAndAFailedWrite) {
    bool stayed = false;
    open([&](TFWemcy& w) {
        shown();
        typeWord(w.pages[0], "1", "1", "1");
        w.pages[0].newButton->click();
        ui::Dialogs::queueAnswer(QString::fromStdString(caseFile("emcyword-import-pages/input/workbook.xls")));
        w.BtnImport->click();
        EXPECT_EQ(words(w.TWCanA), (std::vector<std::string>{"W0", "W1"}));
        EXPECT_EQ(words(w.TWCanB), std::vector<std::string>{"W0"});
        EXPECT_EQ(w.pages[0].index->text().toStdString(), "") << "the import clears the boxes";
        w.BtnExport->click();
        EXPECT_EQ(readFile(project("emcyword.csv")), readFile(caseFile("emcyword-import-pages/expected/emcyword.csv")));
        w.bitbtn1->click();
        EXPECT_EQ(readFile(project("emcyword.xml")), readFile(caseFile("emcyword-import-pages/expected/emcyword.xml")));
    });
    // A device id that is not a number fails the write; the window stays.
    open([&](TFWemcy& w) {
        shown();
        typeWord(w.pages[1], "1", "1", "one");
        w.pages[1].newButton->click();
        w.bitbtn1->click();
        stayed = w.isVisible();
        w.bitbtn2->click();
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: 'one' is not a valid integer value"});
    EXPECT_EQ(readFile(project("emcyword.xml")), readFile(caseFile("emcyword-import-pages/expected/emcyword.xml")));
}

}  // namespace
