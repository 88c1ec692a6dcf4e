#pragma once

#include <QWidget>
#include <cstddef>
#include <vector>

#include "canopen/EditorDocuments.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"
#include "ui/QtText.h"

// The conversion between the two grids of a grid editor (Set PDO Access, Set
// SDO Access, Translate PDO) and core's tables: grid row r holds entry r, grid
// column c + 1 holds cell c of the entry.
namespace canopen {

// Every row of the grid, empty ones included: core finds the run it writes.
template <std::size_t N>
std::vector<GridRow<N>> gridRows(const ui::Grid* grid) {
    const int count = grid->cells()->rowCount();
    std::vector<GridRow<N>> rows(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) {
        for (std::size_t c = 0; c < N; ++c) rows[static_cast<std::size_t>(r)][c] = ui::ss(grid->cell(r, int(c) + 1));
    }
    return rows;
}

template <std::size_t N>
GridTables<N> gridTables(const ui::Grid* first, const ui::Grid* second) {
    GridTables<N> tables;
    tables.first = gridRows<N>(first);
    tables.second = gridRows<N>(second);
    return tables;
}

// Writes the entries into the grids from the top and tells the user, in one
// information box, how many entries found no row.
template <std::size_t N>
void placeTables(QWidget* window, ui::Grid* first, ui::Grid* second, const GridTables<N>& tables) {
    for (auto [grid, rows] : {std::pair{first, &tables.first}, std::pair{second, &tables.second}}) {
        grid->cells()->setTexts(static_cast<int>(rows->size()), static_cast<int>(N), [rows](int r, int c) {
            return std::optional<QString>(ui::qs((*rows)[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
        });
    }
    if (tables.leftOut > 0) ui::Dialogs::information(window, ui::qs(leftOutMessage(tables.leftOut)));
}

}  // namespace canopen
