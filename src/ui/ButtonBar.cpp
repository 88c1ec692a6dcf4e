#include "ui/ButtonBar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>

#include "ui/Guard.h"

namespace ui {
namespace {

bool isEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// An editor that an item view opened on a cell, line or item: a widget
// inside a view's viewport.
bool isItemEditor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        if (auto* view = qobject_cast<const QAbstractItemView*>(parent ? parent->parentWidget() : nullptr)) {
            if (parent == view->viewport()) return true;
        }
        if (w->isWindow()) break;
    }
    return false;
}

}  // namespace

ButtonBar::ButtonBar(QDialog* window, QWidget* parent)
    : QWidget(parent ? parent : window), m_window(window), m_row(new QHBoxLayout(this)) {
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->addStretch();
    window->installEventFilter(this);
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

// The item views' editors leave Enter to their window once they have taken
// the edit in; the window must not take it as a press of its default button.
bool ButtonBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && isEnter(event) && isItemEditor(QApplication::focusWidget())) return true;
    return QWidget::eventFilter(watched, event);
}

}  // namespace ui
