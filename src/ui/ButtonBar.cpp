#include "ui/ButtonBar.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QShortcut>

#include "ui/Grid.h"

#include "ui/Guard.h"

namespace ui {

ButtonBar::ButtonBar(QDialog* window, QWidget* parent)
    : QWidget(parent ? parent : window), m_window(window), m_row(new QHBoxLayout(this)) {
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->addStretch();
}

GraphicButton* ButtonBar::add(const QString& caption, Side side, Glyph glyph) {
    auto* button = new GraphicButton(caption, this, glyph);
    if (side == Side::Left) {
        m_row->insertWidget(m_leftCount++, button);
    } else {
        m_row->addWidget(button);
    }
    return button;
}

GraphicButton* ButtonBar::accept(const QString& caption, std::function<void()> handler, Side side, Glyph glyph) {
    m_accept = add(caption, side, glyph);
    onClicked(m_accept, m_window, std::move(handler));
    if (isVisibleTo(m_window)) m_accept->setDefault(true);
    // In a window with grids Ctrl+Enter presses OK from any control, a cell
    // being edited included: the edit is kept first, as a click on OK keeps it.
    for (const QKeySequence keys : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            // Only where a grid is, whose Enter moves between cells; elsewhere Enter itself presses OK.
            const QList<Grid*> grids = m_window->findChildren<Grid*>();
            if (grids.isEmpty()) return;
            for (Grid* grid : grids) grid->finishEdit();
            if (m_accept->isVisible() && m_accept->isEnabled()) m_accept->click();
        });
    }
    return m_accept;
}

GraphicButton* ButtonBar::reject(const QString& caption, Side side) {
    GraphicButton* button = add(caption, side, Glyph::None);
    connect(button, &QAbstractButton::clicked, m_window, &QDialog::reject);
    return button;
}

GraphicButton* ButtonBar::action(const QString& caption, std::function<void()> handler, Side side, Glyph glyph) {
    GraphicButton* button = add(caption, side, glyph);
    onClicked(button, m_window, std::move(handler));
    return button;
}

// A window has one default button; the bar of the page being shown holds it.
void ButtonBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_accept) m_accept->setDefault(true);
}

}  // namespace ui
