// A grid worked as a spreadsheet with real keys: moving with Enter and Tab,
// copy, cut and paste through the real clipboard, undo and redo.

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <array>
#include <functional>
#include <memory>

#include "ui/Dialogs.h"
#include "ui/Grid.h"
#include "ui/GridPages.h"

namespace {

using Row = std::array<std::string, 3>;
using Rows = std::vector<Row>;

// Four rows numbered from 1, a read-only column between two editable ones.
const ui::GridSpec kSpec{4,
                         {QStringLiteral("N\u00B0"), 40, QColor(0xF8, 0xF7, 0xED), false},
                         {{QStringLiteral("Register"), 80, QColor(Qt::white)},
                          {QStringLiteral("Fixed"), 60, QColor(0xE0, 0xE0, 0xE0), false},
                          {QStringLiteral("Mnemonic"), 80, QColor(Qt::white)}}};

const Rows kStart{{"1", "f1", "one"}, {"2", "f2", "two"}, {"3", "f3", "three"}, {"", "", ""}};

class GridWork : public ::testing::Test {
public:
    void SetUp() override {
        ui::Dialogs::startRecording();
        m_grid.reset(ui::makeGrid(kSpec, nullptr));
        ui::placeRecords(m_grid.get(), kStart);
        m_grid->resize(400, 200);
        m_grid->show();
        m_grid->activateWindow();
        m_grid->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override {
        m_grid.reset();
        ui::Dialogs::takeRecords();
        ui::Dialogs::stopRecording();
    }

    Rows rows() const { return ui::gridRecords<Row>(m_grid.get()); }
    void select(int top, int left, int bottom, int right) {
        m_grid->setCurrentIndex(m_grid->model()->index(top, left));
        m_grid->selectionModel()->select(
            QItemSelection(m_grid->model()->index(top, left), m_grid->model()->index(bottom, right)),
            QItemSelectionModel::ClearAndSelect);
    }
    // The widget a user's key reaches: the cell editor while one is open.
    QWidget* keyTarget() const {
        QWidget* editor = m_grid->indexWidget(m_grid->currentIndex());
        return editor ? editor : m_grid.get();
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(keyTarget(), key, modifiers);
        QApplication::processEvents();
    }
    void type(const char* text) {
        for (const char* c = text; *c; ++c) QTest::keyClick(keyTarget(), *c);
    }
    std::pair<int, int> current() const { return {m_grid->currentIndex().row(), m_grid->currentIndex().column()}; }
    static std::string clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }
    static void setClipboard(const std::string& text) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    }
    static std::vector<std::string> messages() {
        std::vector<std::string> texts;
        for (const ui::Dialogs::Record& record : ui::Dialogs::takeRecords()) texts.push_back(record.text.toStdString());
        return texts;
    }

    std::unique_ptr<ui::Grid> m_grid;
};

// Enter ends an edit and moves down, Tab moves right past the columns that
// take no text and wraps to the next row; Shift with either moves back.
TEST_F(GridWork, EnterAndTabMoveAsInASpreadsheet) {
    struct Move {
        std::pair<int, int> from;
        bool editFirst;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::pair<int, int> to;
    };
    const Move moves[] = {
        {{0, 1}, true, Qt::Key_Return, Qt::NoModifier, {1, 1}},
        {{0, 3}, false, Qt::Key_Return, Qt::NoModifier, {1, 3}},
        {{0, 3}, true, Qt::Key_Enter, Qt::KeypadModifier, {1, 3}},
        {{2, 1}, true, Qt::Key_Return, Qt::ShiftModifier, {1, 1}},
        {{2, 3}, false, Qt::Key_Return, Qt::ShiftModifier, {1, 3}},
        {{0, 1}, false, Qt::Key_Tab, Qt::NoModifier, {0, 3}},
        {{0, 1}, true, Qt::Key_Tab, Qt::NoModifier, {0, 3}},
        {{0, 3}, false, Qt::Key_Tab, Qt::NoModifier, {1, 1}},
        {{1, 1}, true, Qt::Key_Backtab, Qt::ShiftModifier, {0, 3}},
        {{0, 3}, false, Qt::Key_Backtab, Qt::ShiftModifier, {0, 1}},
    };
    for (const Move& move : moves) {
        m_grid->setCurrentIndex(m_grid->model()->index(move.from.first, move.from.second));
        if (move.editFirst) {
            type("x");
            ASSERT_NE(m_grid->indexWidget(m_grid->currentIndex()), nullptr) << "no editor opened";
        }
        press(move.key, move.modifiers);
        EXPECT_EQ(current(), move.to) << "from " << move.from.first << "," << move.from.second << " key " << move.key;
        EXPECT_EQ(QApplication::focusWidget(), m_grid.get()) << "an edit is still open";
        if (move.editFirst) {
            EXPECT_EQ(m_grid->cell(move.from.first, move.from.second).toStdString(), "x") << "the edit was not kept";
        }
    }
}

// Ctrl+C puts the selected block on the clipboard as spreadsheet programs do;
// cells not selected inside it are copied empty.
TEST_F(GridWork, CopyPutsTheBlockOnTheClipboardAsTabSeparatedText) {
    ui::placeRecords(m_grid.get(), Rows{{"1", "f1", "say \"hi\""}, {"2", "f2", "a\tb"}, {"3", "f3", "x\ny"}});
    select(0, 1, 2, 3);
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), "1\tf1\t\"say \"\"hi\"\"\"\n2\tf2\t\"a\tb\"\n3\tf3\t\"x\ny\"");
    // A copied column pastes back as the same texts, into another column.
    select(0, 3, 2, 3);
    press(Qt::Key_C, Qt::ControlModifier);
    select(1, 1, 1, 1);
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(
        rows(),
        (Rows{{"1", "f1", "say \"hi\""}, {"say \"hi\"", "f2", "a\tb"}, {"a\tb", "f3", "x\ny"}, {"x\ny", "", ""}}));
    EXPECT_EQ(messages(), std::vector<std::string>{});
}

// Ctrl+V reads what spreadsheet programs put on the clipboard and pastes it at
// the top left of the selection; a block that does not fit pastes nothing and
// says how much did not fit.
TEST_F(GridWork, PasteWritesABlockOrNothing) {
    struct Paste {
        const char* name;
        std::string text;
        std::array<int, 4> selection;  // top, left, bottom, right
        Rows rows;
        std::vector<std::string> messages;
    };
    const Paste cases[] = {
        {"line feeds",
         "7\n8",
         {1, 1, 1, 1},
         {{"1", "f1", "one"}, {"7", "f2", "two"}, {"8", "f3", "three"}, {"", "", ""}},
         {}},
        {"carriage returns and a trailing line end",
         "a\r\nb\r\n",
         {2, 3, 2, 3},
         {{"1", "f1", "one"}, {"2", "f2", "two"}, {"3", "f3", "a"}, {"", "", "b"}},
         {}},
        {"quoted cells",
         "\"x\"\"1\tz\"\n\"two\nlines\"",
         {0, 3, 0, 3},
         {{"1", "f1", "x\"1\tz"}, {"2", "f2", "two\nlines"}, {"3", "f3", "three"}, {"", "", ""}},
         {}},
        {"one value over a selection",
         "0x10\n",
         {1, 1, 2, 3},
         {{"1", "f1", "one"}, {"0x10", "f2", "0x10"}, {"0x10", "f3", "0x10"}, {"", "", ""}},
         {}},
        {"past the last row",
         "a\nb\nc",
         {2, 1, 2, 1},
         kStart,
         {"Nothing was pasted: the block of 3 rows and 1 column does not fit, it runs 1 row past the last row."}},
        {"past the last column",
         "a\tb",
         {0, 3, 0, 3},
         kStart,
         {"Nothing was pasted: the block of 1 row and 2 columns does not fit, it runs 1 column past the last "
          "column."}},
        {"over a read-only column",
         "a\tb",
         {0, 1, 0, 1},
         kStart,
         {"Nothing was pasted: the block of 1 row and 2 columns would cover the column Fixed, which cannot be "
          "edited."}},
    };
    for (const Paste& paste : cases) {
        ui::placeRecords(m_grid.get(), kStart);
        setClipboard(paste.text);
        select(paste.selection[0], paste.selection[1], paste.selection[2], paste.selection[3]);
        press(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(rows(), paste.rows) << paste.name;
        EXPECT_EQ(messages(), paste.messages) << paste.name;
    }
}

// Every change a user makes is one step back with Ctrl+Z and forward again
// with Ctrl+Y or Ctrl+Shift+Z; texts the program writes are not undone.
TEST_F(GridWork, UndoAndRedoTakeBackTypingDeleteCutAndPaste) {
    struct Work {
        const char* name;
        std::function<void(GridWork&)> act;
        Rows after;
    };
    const Work works[] = {
        {"typing",
         [](GridWork& t) {
             t.m_grid->setCurrentIndex(t.m_grid->model()->index(1, 3));
             t.type("new");
             t.press(Qt::Key_Return);
         },
         {{"1", "f1", "one"}, {"2", "f2", "new"}, {"3", "f3", "three"}, {"", "", ""}}},
        {"delete",
         [](GridWork& t) {
             t.select(0, 1, 1, 3);
             t.press(Qt::Key_Delete);
         },
         {{"", "f1", ""}, {"", "f2", ""}, {"3", "f3", "three"}, {"", "", ""}}},
        {"cut",
         [](GridWork& t) {
             t.select(1, 3, 2, 3);
             t.press(Qt::Key_X, Qt::ControlModifier);
             EXPECT_EQ(clipboard(), "two\nthree");
         },
         {{"1", "f1", "one"}, {"2", "f2", ""}, {"3", "f3", ""}, {"", "", ""}}},
        {"paste",
         [](GridWork& t) {
             setClipboard("9\r\n10\r\n");
             t.select(2, 1, 2, 1);
             t.press(Qt::Key_V, Qt::ControlModifier);
         },
         {{"1", "f1", "one"}, {"2", "f2", "two"}, {"9", "f3", "three"}, {"10", "", ""}}},
    };
    const std::pair<Qt::Key, Qt::KeyboardModifiers> redoKeys[] = {{Qt::Key_Y, Qt::ControlModifier},
                                                                  {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier}};
    for (const Work& work : works) {
        for (const auto& [redoKey, redoModifiers] : redoKeys) {
            m_grid->clear();
            ui::placeRecords(m_grid.get(), kStart);
            work.act(*this);
            EXPECT_EQ(rows(), work.after) << work.name;
            press(Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(rows(), kStart) << work.name << " undone";
            // Nothing older to undo: the texts placed by the program stay.
            press(Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(rows(), kStart) << work.name << " undone twice";
            press(redoKey, redoModifiers);
            EXPECT_EQ(rows(), work.after) << work.name << " redone";
        }
    }
    EXPECT_EQ(messages(), std::vector<std::string>{});
}

// Steps are undone newest first; a new change ends what could be redone, and
// forgetting the history (a new showing) leaves nothing to undo.
TEST_F(GridWork, UndoGoesBackStepByStepWithinOneHistory) {
    select(0, 1, 0, 1);
    press(Qt::Key_Delete);
    select(1, 1, 1, 1);
    press(Qt::Key_Delete);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rows(), (Rows{{"", "f1", "one"}, {"2", "f2", "two"}, {"3", "f3", "three"}, {"", "", ""}}));
    select(2, 1, 2, 1);
    press(Qt::Key_Delete);
    press(Qt::Key_Y, Qt::ControlModifier);  // nothing to redo after a new change
    EXPECT_EQ(rows(), (Rows{{"", "f1", "one"}, {"2", "f2", "two"}, {"", "f3", "three"}, {"", "", ""}}));

    m_grid->forgetHistory();
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rows(), (Rows{{"", "f1", "one"}, {"2", "f2", "two"}, {"", "f3", "three"}, {"", "", ""}}));
    EXPECT_FALSE(m_grid->canUndo());
}

}  // namespace
