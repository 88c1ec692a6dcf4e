#include "ui/Grid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/Dialogs.h"
#include "ui/Style.h"
#include "ui/WrappingHeader.h"

namespace ui {

namespace {

// "1 row", "3 rows": counts in messages read as a sentence.
QString counted(int count, const char* noun) {
    return QString::number(count) + QLatin1Char(' ') + QString::fromLatin1(noun) +
           (count == 1 ? QString() : QStringLiteral("s"));
}

// The grid's cell editor: the keys that end an edit move as they do outside
// an edit, and what the user typed becomes one step of the grid's history.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(Grid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (!(model->flags(index) & Qt::ItemIsEditable)) return;
        const QString typed = editor->property(editor->metaObject()->userProperty().name()).toString();
        m_grid->change({{index.row(), index.column(), model->data(index, Qt::EditRole).toString(), typed}});
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool shift = key->modifiers() & Qt::ShiftModifier;
            std::optional<Grid::Step> step;
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                !(key->modifiers() & Qt::ControlModifier))
                step = shift ? Grid::Step::Up : Grid::Step::Down;
            else if (key->key() == Qt::Key_Tab && !shift)
                step = Grid::Step::Next;
            else if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && shift))
                step = Grid::Step::Previous;
            if (step) {
                auto* editor = static_cast<QWidget*>(watched);
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                m_grid->step(*step);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    Grid* m_grid;
};

bool needsQuotes(const QString& cell) {
    return cell.contains(QLatin1Char('\t')) || cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r')) ||
           cell.contains(QLatin1Char('"'));
}

}  // namespace

QString clipboardText(const std::vector<std::vector<QString>>& rows) {
    QString text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0) text += QLatin1Char('\n');
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (c > 0) text += QLatin1Char('\t');
            const QString& cell = rows[r][c];
            if (!needsQuotes(cell)) {
                text += cell;
                continue;
            }
            QString quoted = cell;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            text += QLatin1Char('"') + quoted + QLatin1Char('"');
        }
    }
    return text;
}

std::vector<std::vector<QString>> clipboardCells(const QString& text) {
    std::vector<std::vector<QString>> rows;
    if (text.isEmpty()) return rows;
    std::vector<QString> row;
    QString cell;
    bool quoted = false, atCellStart = true;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch != QLatin1Char('"')) {
                cell += ch;
            } else if (i + 1 < size && text[i + 1] == QLatin1Char('"')) {
                cell += ch;
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (ch == QLatin1Char('"') && atCellStart) {
            quoted = true;
            atCellStart = false;
        } else if (ch == QLatin1Char('\t')) {
            row.push_back(std::exchange(cell, {}));
            atCellStart = true;
        } else if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) {
            if (ch == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n')) ++i;
            row.push_back(std::exchange(cell, {}));
            rows.push_back(std::exchange(row, {}));
            atCellStart = true;
        } else {
            cell += ch;
            atCellStart = false;
        }
    }
    // A text that ends with a line end has no row after it.
    if (!atCellStart || !row.empty()) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

GridModel::GridModel(GridSpec gridSpec, QObject* parent) : QAbstractTableModel(parent), m_spec(std::move(gridSpec)) {}

const GridColumn& GridModel::column(int column) const {
    return column == 0 ? m_spec.numbered : m_spec.columns[static_cast<std::size_t>(column - 1)];
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_spec.rows;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_spec.columns.size()) + 1;
}

QString GridModel::text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return {};
    if (column == 0) return QString::number(m_spec.firstNumber + row);
    if (m_cells.empty()) return {};
    return m_cells[static_cast<std::size_t>(row * columnCount() + column)];
}

void GridModel::setText(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column <= 0 || column >= columnCount()) return;
    if (!store(row, column, text)) return;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void GridModel::setTexts(int rows, int columns,
                         const std::function<std::optional<QString>(int row, int column)>& textOf) {
    rows = std::min(rows, rowCount());
    columns = std::min(columns, columnCount() - 1);
    int lastRow = -1, lastColumn = -1;
    for (int row = 0; row < rows; ++row) {
        for (int column = 1; column <= columns; ++column) {
            std::optional<QString> text = textOf(row, column - 1);
            if (!text || !store(row, column, std::move(*text))) continue;
            lastRow = std::max(lastRow, row);
            lastColumn = std::max(lastColumn, column);
        }
    }
    if (lastRow >= 0) emit dataChanged(index(0, 1), index(lastRow, lastColumn), {Qt::DisplayRole, Qt::EditRole});
}

bool GridModel::store(int row, int column, QString text) {
    if (m_cells.empty()) {
        if (text.isEmpty()) return false;
        m_cells.resize(static_cast<std::size_t>(rowCount() * columnCount()));
    }
    QString& cell = m_cells[static_cast<std::size_t>(row * columnCount() + column)];
    if (cell == text) return false;
    cell = std::move(text);
    return true;
}

void GridModel::setCells(const std::vector<CellText>& texts) {
    int top = rowCount(), left = columnCount(), bottom = -1, right = -1;
    for (const CellText& each : texts) {
        if (each.row < 0 || each.row >= rowCount() || each.column <= 0 || each.column >= columnCount()) continue;
        if (!store(each.row, each.column, each.text)) continue;
        top = std::min(top, each.row);
        bottom = std::max(bottom, each.row);
        left = std::min(left, each.column);
        right = std::max(right, each.column);
    }
    if (bottom >= 0) emit dataChanged(index(top, left), index(bottom, right), {Qt::DisplayRole, Qt::EditRole});
}

void GridModel::clear() {
    if (m_cells.empty()) return;
    beginResetModel();
    m_cells.clear();
    endResetModel();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return text(index.row(), index.column());
        case Qt::BackgroundRole: return column(index.column()).colour;
        default: return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    setText(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (index.column() == 0) return Qt::ItemIsEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (column(index.column()).editable) flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + m_spec.firstNumber;
    if (section < 0 || section >= columnCount()) return {};
    return column(section).title;
}

Grid::Grid(const GridSpec& gridSpec, QWidget* parent) : QTableView(parent), m_model(new GridModel(gridSpec, this)) {
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
}

void Grid::clear() {
    m_model->clear();
    forgetHistory();
}

void Grid::forgetHistory() {
    m_undo.clear();
    m_redo.clear();
}

bool Grid::editable(int column) const {
    return column > 0 && column < m_model->columnCount() &&
           m_model->gridSpec().columns[static_cast<std::size_t>(column - 1)].editable;
}

void Grid::change(std::vector<Change> changes) {
    std::erase_if(changes, [](const Change& each) { return each.before == each.after; });
    if (changes.empty()) return;
    apply(changes, true);
    m_undo.push_back(std::move(changes));
    m_redo.clear();
}

void Grid::apply(const std::vector<Change>& changes, bool forward) {
    std::vector<GridModel::CellText> texts;
    texts.reserve(changes.size());
    for (const Change& each : changes) texts.push_back({each.row, each.column, forward ? each.after : each.before});
    m_model->setCells(texts);
}

void Grid::undo() {
    if (m_undo.empty()) return;
    finishEdit();
    std::vector<Change> last = std::move(m_undo.back());
    m_undo.pop_back();
    apply(last, false);
    setCurrentIndex(m_model->index(last.front().row, last.front().column));
    m_redo.push_back(std::move(last));
}

void Grid::redo() {
    if (m_redo.empty()) return;
    finishEdit();
    std::vector<Change> next = std::move(m_redo.back());
    m_redo.pop_back();
    apply(next, true);
    setCurrentIndex(m_model->index(next.front().row, next.front().column));
    m_undo.push_back(std::move(next));
}

void Grid::finishEdit() {
    if (state() != EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

QModelIndex Grid::anchor() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return currentIndex();
    int top = m_model->rowCount(), left = m_model->columnCount();
    for (const QModelIndex& each : selected) {
        top = std::min(top, each.row());
        left = std::min(left, each.column());
    }
    return m_model->index(top, left);
}

QModelIndexList Grid::editableSelection() const {
    QModelIndexList cells;
    for (const QModelIndex& each : selectionModel()->selectedIndexes()) {
        if (editable(each.column())) cells << each;
    }
    if (cells.isEmpty() && currentIndex().isValid() && editable(currentIndex().column())) cells << currentIndex();
    return cells;
}

void Grid::erase() {
    std::vector<Change> changes;
    for (const QModelIndex& each : editableSelection()) {
        changes.push_back({each.row(), each.column(), cell(each.row(), each.column()), QString()});
    }
    change(std::move(changes));
}

void Grid::copy() {
    QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty() && currentIndex().isValid()) selected << currentIndex();
    if (selected.isEmpty()) return;
    int top = m_model->rowCount(), left = m_model->columnCount(), bottom = -1, right = -1;
    for (const QModelIndex& each : selected) {
        top = std::min(top, each.row());
        bottom = std::max(bottom, each.row());
        left = std::min(left, each.column());
        right = std::max(right, each.column());
    }
    // Cells of the rectangle that are not selected are copied empty, as spreadsheet programs do.
    std::vector<std::vector<QString>> rows(static_cast<std::size_t>(bottom - top + 1),
                                           std::vector<QString>(static_cast<std::size_t>(right - left + 1)));
    for (const QModelIndex& each : selected) {
        rows[static_cast<std::size_t>(each.row() - top)][static_cast<std::size_t>(each.column() - left)] =
            cell(each.row(), each.column());
    }
    QGuiApplication::clipboard()->setText(clipboardText(rows));
}

void Grid::cut() {
    copy();
    erase();
}

void Grid::paste() {
    const std::vector<std::vector<QString>> block = clipboardCells(QGuiApplication::clipboard()->text());
    if (block.empty()) return;
    std::vector<Change> changes;
    if (block.size() == 1 && block.front().size() == 1 && selectionModel()->selectedIndexes().size() > 1) {
        for (const QModelIndex& each : editableSelection()) {
            changes.push_back({each.row(), each.column(), cell(each.row(), each.column()), block.front().front()});
        }
        change(std::move(changes));
        return;
    }
    const QModelIndex at = anchor();
    if (!at.isValid()) return;
    const int rows = static_cast<int>(block.size());
    int columns = 0;
    for (const auto& row : block) columns = std::max(columns, static_cast<int>(row.size()));
    const int rowsPast = std::max(0, at.row() + rows - m_model->rowCount());
    const int columnsPast = std::max(0, at.column() + columns - m_model->columnCount());
    const QString blockText = counted(rows, "row") + QStringLiteral(" and ") + counted(columns, "column");
    if (rowsPast > 0 || columnsPast > 0) {
        QStringList past;
        if (rowsPast > 0) past << counted(rowsPast, "row") + QStringLiteral(" past the last row");
        if (columnsPast > 0) past << counted(columnsPast, "column") + QStringLiteral(" past the last column");
        Dialogs::information(window(), QStringLiteral("Nothing was pasted: the block of %1 does not fit, it runs %2.")
                                           .arg(blockText, past.join(QStringLiteral(" and "))));
        return;
    }
    for (int c = at.column(); c < at.column() + columns; ++c) {
        if (editable(c)) continue;
        Dialogs::information(
            window(),
            QStringLiteral("Nothing was pasted: the block of %1 would cover the column %2, which "
                           "cannot be edited.")
                .arg(blockText, m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().simplified()));
        return;
    }
    changes.reserve(static_cast<std::size_t>(rows * columns));
    for (int r = 0; r < rows; ++r) {
        const auto& row = block[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            const int gridRow = at.row() + r, gridColumn = at.column() + c;
            changes.push_back({gridRow, gridColumn, cell(gridRow, gridColumn), row[static_cast<std::size_t>(c)]});
        }
    }
    change(std::move(changes));
    selectionModel()->select(QItemSelection(at, m_model->index(at.row() + rows - 1, at.column() + columns - 1)),
                             QItemSelectionModel::ClearAndSelect);
}

bool Grid::step(Step step) {
    const QModelIndex to = target(step);
    if (!to.isValid()) return false;
    setCurrentIndex(to);
    return true;
}

QModelIndex Grid::target(Step step) const {
    const QModelIndex from = currentIndex();
    if (!from.isValid()) return {};
    int row = from.row(), column = from.column();
    const int rows = m_model->rowCount(), columns = m_model->columnCount();
    switch (step) {
        case Step::Down: ++row; break;
        case Step::Up: --row; break;
        case Step::Next:
            do {
                if (++column >= columns) column = 0, ++row;
            } while (row < rows && !editable(column));
            break;
        case Step::Previous:
            do {
                if (--column < 0) column = columns - 1, --row;
            } while (row >= 0 && !editable(column));
            break;
    }
    if (row < 0 || row >= rows) return {};
    return m_model->index(row, column);
}

QModelIndex Grid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    if (cursorAction != MoveNext && cursorAction != MovePrevious)
        return QTableView::moveCursor(cursorAction, modifiers);
    // The numbered column takes no text: Tab passes it by.
    if (!currentIndex().isValid()) return QTableView::moveCursor(cursorAction, modifiers);
    return target(cursorAction == MoveNext ? Step::Next : Step::Previous);
}

void Grid::keyPressEvent(QKeyEvent* event) {
    const bool editing = state() == EditingState;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (!editing) {
        const bool control = modifiers == Qt::ControlModifier;
        const bool controlShift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
        if (event->matches(QKeySequence::Copy)) return copy();
        if (event->matches(QKeySequence::Cut)) return cut();
        if (event->matches(QKeySequence::Paste)) return paste();
        if ((control && key == Qt::Key_Z)) return undo();
        if ((control && key == Qt::Key_Y) || (controlShift && key == Qt::Key_Z)) return redo();
        if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) && modifiers == Qt::NoModifier) return erase();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(modifiers & Qt::ControlModifier)) {
            step(modifiers & Qt::ShiftModifier ? Step::Up : Step::Down);
            // The view leaves Enter to its window, whose default button would take it:
            // a second Enter after an edit, as in a spreadsheet, would close the window.
            event->accept();
            return;
        }
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            const bool back = key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
            // At either end of the grid Tab leaves it, as it leaves any control.
            if (step(back ? Step::Previous : Step::Next)) {
                event->accept();
            } else {
                event->ignore();
            }
            return;
        }
    }
    QTableView::keyPressEvent(event);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) event->accept();
}

void Grid::keyboardSearch(const QString&) {}

GridSpec evenGrid(int rows, std::span<const char* const> titles, int width, std::size_t firstShaded) {
    GridSpec made{rows, {QString::fromUtf8(titles[0]), width, kGridFixed, false}, {}, 0};
    for (std::size_t c = 1; c < titles.size(); ++c) {
        made.columns.push_back({QString::fromUtf8(titles[c]), width, c < firstShaded ? kGridCyan : kGridRose});
    }
    return made;
}

Grid* makeGrid(const GridSpec& gridSpec, QWidget* parent) {
    auto* grid = new Grid(gridSpec, parent);
    grid->setHorizontalHeader(new WrappingHeader(grid));
    // The area right of the last column shows the grid's own colour.
    QPalette colours = grid->palette();
    colours.setColor(QPalette::Base, gridSpec.numbered.colour);
    grid->setPalette(colours);
    for (int column = 0; column < grid->cells()->columnCount(); ++column) {
        grid->setColumnWidth(column, column == 0 ? gridSpec.numbered.width
                                                 : gridSpec.columns[static_cast<std::size_t>(column - 1)].width);
    }
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(gridSpec.rowHeight);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // No edit on a click of the selected cell: that edit waits the double-click
    // interval, and keys typed meanwhile would go elsewhere instead of into it.
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    grid->setTabKeyNavigation(true);
    grid->setWordWrap(false);
    return grid;
}

}  // namespace ui
