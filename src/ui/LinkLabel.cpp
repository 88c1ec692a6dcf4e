#include "ui/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/Style.h"

namespace ui {

LinkLabel::LinkLabel(const QString& text, QWidget* parent, Look look) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    if (look == Look::WebLink) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, kLink);
        setPalette(colours);
    }
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

}  // namespace ui
