// Grids made from a column table: numbering, editable columns, rows as texts.

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

#include "ui/Grid.h"
#include "ui/GridPages.h"

namespace {

using Row = std::array<std::string, 2>;
using Rows = std::vector<Row>;

// A grid numbered from 0 with a read-only column, as the CANopen tables have.
const ui::GridSpec kSpec{
    3,
    {QStringLiteral("N"), 40, QColor(0xF8, 0xF7, 0xED), false},
    {{QStringLiteral("cobid"), 80, QColor(Qt::white)}, {QStringLiteral("fixed"), 60, QColor(0xE0, 0xE0, 0xE0), false}},
    0};

TEST(Grid, NumbersRowsAndReadsAndWritesRowTexts) {
    ui::Grid* grid = ui::makeGrid(kSpec, nullptr);
    EXPECT_EQ(grid->cell(0, 0).toStdString(), "0");
    EXPECT_EQ(grid->cell(2, 0).toStdString(), "2");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString().toStdString(), "cobid");
    EXPECT_EQ(grid->columnWidth(2), 60);
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 2)) & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);

    // Rows beyond the grid are dropped; the numbers are not the grid's to write.
    ui::placeRecords(grid, Rows{{"0x181", "a"}, {"0x182", "b"}, {"0x183", "c"}, {"0x184", "d"}});
    grid->setCell(1, 0, QStringLiteral("99"));
    EXPECT_EQ(ui::gridRecords<Row>(grid), (Rows{{"0x181", "a"}, {"0x182", "b"}, {"0x183", "c"}}));
    EXPECT_EQ(grid->cell(1, 0).toStdString(), "1");
    // The user cannot type into a read-only column.
    EXPECT_FALSE(grid->model()->setData(grid->model()->index(0, 2), QStringLiteral("x"), Qt::EditRole));
    EXPECT_EQ(grid->cell(0, 2).toStdString(), "a");

    grid->clear();
    EXPECT_EQ(ui::gridRecords<Row>(grid), (Rows{{"", ""}, {"", ""}, {"", ""}}));
    delete grid;
}

// Filling a block tells the views once, over the cells that changed; rows
// below the records placed keep their texts.
TEST(Grid, RowTextsAreWrittenWithOneChangeSignal) {
    ui::Grid* grid = ui::makeGrid(kSpec, nullptr);
    grid->setCell(2, 2, QStringLiteral("kept"));
    QSignalSpy changes(grid->cells(), &QAbstractItemModel::dataChanged);
    ui::placeRecords(grid, Rows{{"0x181", "a"}, {"0x182", ""}});
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0][0].toModelIndex(), grid->model()->index(0, 1));
    EXPECT_EQ(changes[0][1].toModelIndex(), grid->model()->index(1, 2));
    EXPECT_EQ(ui::gridRecords<Row>(grid), (Rows{{"0x181", "a"}, {"0x182", ""}, {"", "kept"}}));
    // The same texts again change nothing, so nothing is signalled.
    ui::placeRecords(grid, Rows{{"0x181", "a"}});
    EXPECT_EQ(changes.size(), 1);
    delete grid;
}

// Delete empties every selected editable cell, and only those.
TEST(Grid, DeleteEmptiesTheSelectedCells) {
    ui::Grid* grid = ui::makeGrid(kSpec, nullptr);
    ui::placeRecords(grid, Rows{{"1", "a"}, {"2", "b"}, {"3", "c"}});
    grid->selectionModel()->select(QItemSelection(grid->model()->index(0, 1), grid->model()->index(1, 2)),
                                   QItemSelectionModel::Select);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(ui::gridRecords<Row>(grid), (Rows{{"", "a"}, {"", "b"}, {"3", "c"}}));
    delete grid;
}

}  // namespace
