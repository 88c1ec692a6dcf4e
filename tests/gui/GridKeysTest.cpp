// Keys typed into a grid, as a user types them in Set Access: typing right
// after a click edits the clicked cell, and Enter never closes the window.

#include <QApplication>
#include <QTest>

#include "documents/USetVar.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"

namespace {

using namespace testing_support;
using documents::TFSetVar;

const std::string kStored =
    "<Serial_to_ProfiBus><ProfiBUS_IN>"
    "<row Address=\"7\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" Mnemonic=\"Tank level\"/>"
    "<row Address=\"100\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"12\" Mnemonic=\"Level set\"/>"
    "</ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>";

class GridKeys : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
        writeFile(project("pargen.xml"),
                  "<Par_Gen><Profi_NB_IN>32</Profi_NB_IN><Profi_NB_OUT>32</Profi_NB_OUT></Par_Gen>");
        writeFile(project("sdo.xml"), kStored);
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }

    // Keys as the user types them: each to the widget that has the focus.
    static void typeKeys(const std::vector<Qt::Key>& keys) {
        for (Qt::Key key : keys) QTest::keyClick(QApplication::focusWidget(), key);
    }
};

// A click on the cell that is already current, then keys at once: the keys
// are that cell's new text; no other row changes.
TEST_F(GridKeys, TypingRightAfterAClickOnTheCurrentCellEditsThatCell) {
    struct Typed {
        int column;
        std::vector<Qt::Key> keys;
        std::vector<std::string> rows;
    };
    // Each first key is what the second row's text begins with, where a search would jump.
    const Typed cases[] = {
        {1, {Qt::Key_1, Qt::Key_0, Qt::Key_5}, {"105|0|1|Tank level", "100|0|12|Level set"}},
        {3, {Qt::Key_1, Qt::Key_2}, {"7|0|12|Tank level", "100|0|12|Level set"}},
        {4, {Qt::Key_L, Qt::Key_O, Qt::Key_W}, {"7|0|1|low", "100|0|12|Level set"}},
    };
    for (const Typed& typed : cases) {
        std::vector<std::string> rows;
        pressAndAct<TFSetVar>(mainWindow().btn_Sdo, [&](TFSetVar& w) {
            w.activateWindow();
            w.sga->setFocus();
            QApplication::processEvents();
            const QModelIndex first = w.sga->model()->index(0, typed.column);
            w.sga->setCurrentIndex(first);
            QTest::mouseClick(w.sga->viewport(), Qt::LeftButton, {}, w.sga->visualRect(first).center());
            typeKeys(typed.keys);
            typeKeys({Qt::Key_Return});
            QApplication::processEvents();
            for (int r = 1; r <= 2; ++r) {
                QStringList cells;
                for (int column = 1; column <= 4; ++column) cells << w.sga->cell(r - 1, column);
                rows.push_back(cells.join(QLatin1Char('|')).toStdString());
            }
            w.bitbtn2->click();
        });
        EXPECT_EQ(rows, typed.rows) << "column " << typed.column;
    }
    EXPECT_EQ(readFile(project("sdo.xml")), kStored);
}

// Enter ends the edit and then stays in the grid: pressed twice, as in a
// spreadsheet, it neither closes the window nor saves.
TEST_F(GridKeys, EnterTwiceLeavesTheWindowOpenAndSavesNothing) {
    bool open = false;
    std::string typed;
    const int result = pressAndAct<TFSetVar>(mainWindow().btn_Sdo, [&](TFSetVar& w) {
        w.activateWindow();
        w.sga->setFocus();
        QApplication::processEvents();
        // A valid row, so that an OK would save it.
        w.sga->setCurrentIndex(w.sga->model()->index(0, 4));
        typeKeys({Qt::Key_X, Qt::Key_Return});
        QApplication::processEvents();
        typeKeys({Qt::Key_Return});
        QApplication::processEvents();
        typeKeys({Qt::Key_Enter});
        QApplication::processEvents();
        open = w.isVisible();
        typed = w.sga->cell(0, 4).toStdString();
        if (open) w.bitbtn2->click();
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(typed, "x");
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(readFile(project("sdo.xml")), kStored);
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

// Ctrl+Enter presses OK from the grid, an edit in progress included: the
// text being typed is saved with the rest.
TEST_F(GridKeys, ControlEnterPressesOkAndKeepsTheEditInProgress) {
    struct Press {
        const char* name;
        bool editing;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Press presses[] = {
        {"while editing", true, Qt::Key_Return, Qt::ControlModifier},
        {"keypad Enter while editing", true, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier},
        {"on the grid", false, Qt::Key_Return, Qt::ControlModifier},
    };
    for (const Press& press : presses) {
        writeFile(project("sdo.xml"), kStored);
        const int result = pressAndAct<TFSetVar>(mainWindow().btn_Sdo, [&](TFSetVar& w) {
            w.activateWindow();
            w.sga->setFocus();
            QApplication::processEvents();
            w.sga->setCurrentIndex(w.sga->model()->index(1, 4));
            if (press.editing) {
                typeKeys({Qt::Key_P, Qt::Key_U, Qt::Key_M, Qt::Key_P});
            } else {
                w.sga->setCell(1, 4, QStringLiteral("pump"));
            }
            QTest::keyClick(QApplication::focusWidget(), press.key, press.modifiers);
            QApplication::processEvents();
            if (w.isVisible()) w.bitbtn2->click();
        });
        EXPECT_EQ(result, QDialog::Accepted) << press.name;
        EXPECT_NE(readFile(project("sdo.xml")).find("Mnemonic=\"pump\""), std::string::npos) << press.name;
        EXPECT_EQ(shown(), std::vector<std::string>{}) << press.name;
    }
}

// Undo and redo reach back to the start of the window's showing: what was
// typed and undone in a showing that was cancelled cannot be redone in the
// next one, and Cancel still discards.
TEST_F(GridKeys, UndoWorksWithinOneShowing) {
    std::string typed, undone, nextShowing, redoneThere;
    pressAndAct<TFSetVar>(mainWindow().btn_Sdo, [&](TFSetVar& w) {
        w.activateWindow();
        w.sga->setFocus();
        QApplication::processEvents();
        w.sga->setCurrentIndex(w.sga->model()->index(0, 4));
        typeKeys({Qt::Key_P, Qt::Key_U, Qt::Key_M, Qt::Key_P, Qt::Key_Return});
        typed = w.sga->cell(0, 4).toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        undone = w.sga->cell(0, 4).toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        w.bitbtn2->click();
    });
    pressAndAct<TFSetVar>(mainWindow().btn_Sdo, [&](TFSetVar& w) {
        w.activateWindow();
        w.sga->setFocus();
        QApplication::processEvents();
        nextShowing = w.sga->cell(0, 4).toStdString();
        w.sga->setCurrentIndex(w.sga->model()->index(0, 4));
        QTest::keyClick(w.sga, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.sga, Qt::Key_Y, Qt::ControlModifier);
        redoneThere = w.sga->cell(0, 4).toStdString();
        w.bitbtn2->click();
    });
    EXPECT_EQ(typed, "pump");
    EXPECT_EQ(undone, "Tank level");
    EXPECT_EQ(nextShowing, "Tank level");
    EXPECT_EQ(redoneThere, "Tank level");
    EXPECT_EQ(readFile(project("sdo.xml")), kStored);
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

}  // namespace
