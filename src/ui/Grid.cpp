#include "ui/Grid.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "ui/Style.h"
#include "ui/WrappingHeader.h"

namespace ui {

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
}

void Grid::keyPressEvent(QKeyEvent* event) {
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (erase && state() != EditingState && event->modifiers() == Qt::NoModifier) {
        for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
            m_model->setData(index, QString(), Qt::EditRole);
        }
        if (selectionModel()->selectedIndexes().isEmpty() && currentIndex().isValid()) {
            m_model->setData(currentIndex(), QString(), Qt::EditRole);
        }
        return;
    }
    QTableView::keyPressEvent(event);
    // The view leaves Enter to its window, whose default button would take it:
    // a second Enter after an edit, as in a spreadsheet, would close the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) event->accept();
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
