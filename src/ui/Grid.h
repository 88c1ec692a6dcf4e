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

    // One cell's text to write.
    struct CellText {
        int row;
        int column;
        QString text;
    };
    // Writes the texts and tells the views once, over the rows and columns
    // they span.
    void setCells(const std::vector<CellText>& texts);

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

// A grid from a GridSpec, edited as a spreadsheet:
// - typing starts an edit of the current cell with the key typed (a key never
//   searches the grid); double-click and F2 edit in place;
// - Enter (ending an edit or not) moves down, Tab moves right to the next cell
//   that can be edited, wrapping to the next row; Shift with either moves
//   back; Enter never reaches the window's default button;
// - Delete (and Backspace when not editing) empties the selected editable
//   cells;
// - Ctrl+C copies the selected cells as tab-separated text, Ctrl+X copies and
//   empties them, Ctrl+V pastes tab-separated text at the top left of the
//   selection (one value over a selection fills it);
// - Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo what the user typed, deleted,
//   cut and pasted since the history was last forgotten.
// Texts written by the program (setCell, cells()->setTexts) are not part of
// the history. Its column titles are its header. Rows and columns are counted
// from 0 as the view shows them; row 0 is the first row under the titles.
class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(const GridSpec& gridSpec, QWidget* parent = nullptr);

    GridModel* cells() const { return m_model; }
    QString cell(int row, int column) const { return m_model->text(row, column); }
    void setCell(int row, int column, const QString& text) { m_model->setText(row, column, text); }
    // Empties the cells and forgets the history.
    void clear();

    // A new showing of the window: what was done before cannot be undone.
    void forgetHistory();
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    void undo();
    void redo();

    void copy();
    void cut();
    // Pastes the clipboard's text; a block that does not fit pastes nothing
    // and an information box says how much did not fit.
    void paste();
    // Empties the selected editable cells, or the current one.
    void erase();

    // Ends an edit in progress, keeping the text typed so far.
    void finishEdit();

    // Does nothing: a typed key edits the current cell and never jumps to
    // another row that begins with it.
    void keyboardSearch(const QString& search) override;

    enum class Step { Down, Up, Next, Previous };
    // Makes the cell one step away the current one, alone selected; answers
    // false when there is none.
    bool step(Step step);

    // A user's change of one cell, kept for undo.
    struct Change {
        int row;
        int column;
        QString before;
        QString after;
    };
    // Writes the changes as one step of the history.
    void change(std::vector<Change> changes);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    // The cell one step away from the current one, or none.
    QModelIndex target(Step step) const;
    // The top left cell of the selection, else the current cell.
    QModelIndex anchor() const;
    // The editable cells of the selection, else the current one when editable.
    QModelIndexList editableSelection() const;
    void apply(const std::vector<Change>& changes, bool forward);
    bool editable(int column) const;

    GridModel* m_model;
    std::vector<std::vector<Change>> m_undo;
    std::vector<std::vector<Change>> m_redo;
};

// Cells as spreadsheet programs put them on the clipboard: a tab between
// cells, a line end between rows, a cell holding a tab, a line end or a quote
// quoted with its quotes doubled.
QString clipboardText(const std::vector<std::vector<QString>>& rows);
// The rows of cells in such a text: LF or CR LF between rows, a trailing line
// end ending the last row, quoted cells unquoted.
std::vector<std::vector<QString>> clipboardCells(const QString& text);

// The column layout of a grid numbered from 0 whose columns all take width pixels:
// titles[0] heads the numbered column, titles[c] column c; the columns before
// firstShaded are cyan, the others rose.
GridSpec evenGrid(int rows, std::span<const char* const> titles, int width, std::size_t firstShaded);

// A grid laid out as the program's grids are: fixed-height rows, the
// numbered column, titles that wrap, no horizontal scroll bar.
Grid* makeGrid(const GridSpec& gridSpec, QWidget* parent);

}  // namespace ui
