#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QTableView>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace ui {

// One column of a grid.
struct GridColumn {
    QString title;
    int width = 64;
    QColor colour;
    bool editable = true;
};

// A grid as data: the number of rows, the fixed numbered column 0 (its
// title, width and colour; it shows firstNumber, firstNumber + 1, ... from
// the top row) and the other columns, from column 1 on.
struct GridSpec {
    int rows = 0;
    GridColumn numbered;
    std::vector<GridColumn> columns;
    int firstNumber = 1;
    int rowHeight = 20;
};

// The cells of a grid: texts, held only once something was written, so a
// large grid costs nothing until it is used. Column 0 is the row number.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(GridSpec gridSpec, QObject* parent = nullptr);

    const GridSpec& gridSpec() const { return m_spec; }
    QString text(int row, int column) const;
    void setText(int row, int column, const QString& text);
    // Writes textOf(row, c) into column c + 1 of the rows [0, rows), for c in
    // [0, columns), as far as the grid reaches, and tells the views once: a
    // signal per cell would cost more than the writing. A cell for which
    // textOf answers nothing keeps its text.
    void setTexts(int rows, int columns, const std::function<std::optional<QString>(int row, int column)>& textOf);
    // Empties every cell of columns 1 and up.
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const GridColumn& column(int column) const;
    // Puts text in a cell inside the grid; answers whether the cell changed.
    bool store(int row, int column, QString text);

    GridSpec m_spec;
    std::vector<QString> m_cells;  // rows × (columns + 1), empty until the first text
};

// A grid from a GridSpec, edited as a spreadsheet: typing starts an edit of
// the current cell with the key typed (a key never searches the grid), Tab
// and the arrow keys move between cells, Delete (and Backspace when not
// editing) empties the selected editable cells, and Enter stays in the grid:
// it never reaches the window's default button. Its column titles are its
// header. Rows and columns are counted from 0 as the view shows them; row 0
// is the first row under the titles.
class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(const GridSpec& gridSpec, QWidget* parent = nullptr);

    GridModel* cells() const { return m_model; }
    QString cell(int row, int column) const { return m_model->text(row, column); }
    void setCell(int row, int column, const QString& text) { m_model->setText(row, column, text); }
    void clear() { m_model->clear(); }

    // Does nothing: a typed key edits the current cell and never jumps to
    // another row that begins with it.
    void keyboardSearch(const QString& search) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    GridModel* m_model;
};

// The spec of a grid numbered from 0 whose columns all take width pixels:
// titles[0] heads the numbered column, titles[c] column c; the columns before
// firstShaded are cyan, the others rose.
GridSpec evenGrid(int rows, std::span<const char* const> titles, int width, std::size_t firstShaded);

// A grid laid out as the program's grids are: fixed-height rows, the
// numbered column, titles that wrap, no horizontal scroll bar.
Grid* makeGrid(const GridSpec& gridSpec, QWidget* parent);

}  // namespace ui
