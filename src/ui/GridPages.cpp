#include "ui/GridPages.h"

#include <QDialog>
#include <QEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <stdexcept>

#include "ui/Dialogs.h"
#include "ui/GridText.h"

namespace ui {

GridPages::GridPages(QDialog* window, QTabWidget* pages, const GridSpec& gridSpec, int headingRoom)
    : QObject(window), m_window(window), m_pages(pages), m_spec(gridSpec), m_headingRoom(headingRoom) {}

void GridPages::make() {
    if (made()) return;
    for (int page = 0; page < 2; ++page) {
        QWidget* sheet = m_pages->widget(page);
        Grid* grid = makeGrid(m_spec, sheet);
        grid->setAccessibleName(m_pages->tabText(page));
        auto* pageLayout = new QVBoxLayout(sheet);
        pageLayout->setContentsMargins(4, 4 + m_headingRoom, 4, 4);
        pageLayout->setSpacing(0);
        pageLayout->addWidget(grid);
        m_grids[static_cast<std::size_t>(page)] = grid;
    }
    // Only now: a resize hook may look at both grids.
    for (Grid* grid : m_grids) grid->installEventFilter(this);
}

Grid* GridPages::shown() const {
    return grid(m_pages->currentIndex() == 0 ? 0 : 1);
}

bool GridPages::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && m_resized && (watched == m_grids[0] || watched == m_grids[1])) {
        m_resized(static_cast<Grid*>(watched));
    }
    return QObject::eventFilter(watched, event);
}

void GridPages::clear() {
    for (Grid* each : m_grids) each->clear();
}

void GridPages::focusFirstCell() {
    if (!made()) return;
    Grid* grid = shown();
    grid->setCurrentIndex(grid->cells()->index(0, 1));
    grid->setFocus();
}

std::optional<std::string> GridPages::characterRefusal() const {
    if (!made()) return std::nullopt;
    for (int page = 0; page < 2; ++page) {
        if (const std::optional<QString> refusal = characterRefusalIn(grid(page), m_spec.rows, m_pages->tabText(page)))
            return ss(*refusal);
    }
    return std::nullopt;
}

void GridPages::show(UnreadDocument& unread, const std::string& path,
                     const std::function<std::optional<std::string>()>& load) {
    unread.clear();
    make();
    // Undo reaches back to the start of this showing, not into an earlier one.
    for (Grid* each : m_grids) each->forgetHistory();
    try {
        if (const std::optional<std::string> failure = load()) throw std::runtime_error(*failure);
    } catch (const std::exception& failure) {
        unread.set(path, failure.what());
        throw;
    }
}

bool GridPages::passes(const std::optional<std::string>& failure) const {
    if (failure) Dialogs::error(m_window, qs(*failure));
    return !failure;
}

bool GridPages::mayAccept(const UnreadDocument& unread) const {
    return passes(characterRefusal()) && unread.mayReplace(m_window);
}

void GridPages::inform(const std::string& message) const {
    Dialogs::information(m_window, qs(message));
}

}  // namespace ui
