#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ui/Grid.h"
#include "ui/QtText.h"

class QDialog;
class QTabWidget;

namespace ui {

class UnreadDocument;

// Which text of a record stands in which grid column: cell c of the record in
// column c + 1. A record that is an array of texts needs nothing more; a
// record with named texts says their order through MemberCells.
template <typename Row>
struct RecordCells {
    static constexpr std::size_t count = std::tuple_size_v<Row>;
    static std::string& at(Row& row, std::size_t c) { return row[c]; }
    static const std::string& at(const Row& row, std::size_t c) { return row[c]; }
};

template <typename Row, std::string Row::*... Members>
struct MemberCells {
    static constexpr std::size_t count = sizeof...(Members);
    static constexpr std::array<std::string Row::*, count> kMembers{Members...};
    static std::string& at(Row& row, std::size_t c) { return row.*kMembers[c]; }
    static const std::string& at(const Row& row, std::size_t c) { return row.*kMembers[c]; }
};

// The records of a grid: row r is record r, every row, empty ones included
// (core finds the run of a table it checks and keeps).
template <typename Row>
std::vector<Row> gridRecords(const Grid* grid) {
    using Cells = RecordCells<Row>;
    if (!grid) return {};  // a grid made at the first showing, not shown yet
    std::vector<Row> rows(static_cast<std::size_t>(grid->cells()->rowCount()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < Cells::count; ++c) Cells::at(rows[r], c) = ss(grid->cell(int(r), int(c) + 1));
    }
    return rows;
}

// Writes records into a grid from the top row; rows below them keep their
// texts, records beyond the last row are left out. The views are told once.
template <typename Row>
void placeRecords(Grid* grid, const std::vector<Row>& rows) {
    using Cells = RecordCells<Row>;
    grid->cells()->setTexts(static_cast<int>(rows.size()), static_cast<int>(Cells::count), [&rows](int r, int c) {
        return std::optional<QString>(qs(Cells::at(rows[static_cast<std::size_t>(r)], static_cast<std::size_t>(c))));
    });
}

// The two grids of a window with two grid pages (sga on the first page, the
// second grid on the other), one per table: made once, each filling its page
// and named after it, the first cell of the page shown taking the focus, and
// rows converted to and from core's records here only.
class GridPages : public QObject {
    Q_OBJECT
public:
    // pages holds the two pages; the grids are made from gridSpec by make().
    // headingRoom leaves that many pixels above each grid for the window's
    // own headings.
    GridPages(QDialog* window, QTabWidget* pages, const GridSpec& gridSpec, int headingRoom = 0);

    // Makes the grids the first time; later calls do nothing.
    void make();
    bool made() const { return m_grids[0] != nullptr; }
    Grid* grid(int page) const { return m_grids[static_cast<std::size_t>(page)]; }
    // The grid of the page shown.
    Grid* shown() const;
    // Runs resized with a grid whenever it is resized.
    void onResize(std::function<void(Grid*)> resized) { m_resized = std::move(resized); }

    void clear();
    // The user types first into column 1 of the top row of the page shown.
    void focusFirstCell();

    template <typename Row>
    std::vector<Row> records(int page) const {
        return gridRecords<Row>(grid(page));
    }
    // Both tables of a record type with the members first and second.
    template <typename Tables>
    Tables tables() const {
        Tables both{};
        both.first = records<typename decltype(both.first)::value_type>(0);
        both.second = records<typename decltype(both.second)::value_type>(1);
        return both;
    }
    template <typename Row>
    void place(const std::vector<Row>& first, const std::vector<Row>& second) {
        placeRecords(grid(0), first);
        placeRecords(grid(1), second);
    }
    // Places both tables and, when some entries found no row, tells the user
    // in one information box with the text leftOutText gives for their number.
    template <typename Tables>
    void placeTables(const Tables& tables, std::string (*leftOutText)(std::size_t)) {
        place(tables.first, tables.second);
        if (tables.leftOut > 0) inform(leftOutText(tables.leftOut));
    }

    // The first text of the run of either table, first page first, that
    // holds a character XML cannot hold, as characterRefusalIn words it with
    // the page's caption, or nothing.
    std::optional<std::string> characterRefusal() const;

    // A showing of the window: forgets what the last one could not read,
    // makes the grids and runs load, which reads the document into them. A
    // failure that load throws or answers marks path unread (OK then asks
    // before it replaces the document) and is thrown on to the guard.
    void show(UnreadDocument& unread, const std::string& path, const std::function<std::optional<std::string>()>& load);
    // Shows a check's failure in the error box; answers whether there was none.
    bool passes(const std::optional<std::string>& failure) const;
    // OK's checks after the window's own: a text the document cannot hold
    // (shown in the error box), then, when the showing could not read the
    // document, the user's answer whether to replace it. Answers whether OK
    // may save.
    bool mayAccept(const UnreadDocument& unread) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void inform(const std::string& message) const;

    QDialog* m_window;
    QTabWidget* m_pages;
    GridSpec m_spec;
    int m_headingRoom;
    std::array<Grid*, 2> m_grids{};
    std::function<void(Grid*)> m_resized;
};

}  // namespace ui
