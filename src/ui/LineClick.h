#pragma once

#include <QListWidget>
#include <QTimer>
#include <functional>
#include <memory>

namespace ui {

// Calls handler when the user selects a line of list, by the keyboard or the
// mouse, and also when the mouse presses the line that is already selected
// (the handler shows that line's record again, as a click on it does).
// Lines the program selects with the list's signals blocked call nothing.
inline void onLineClick(QListWidget* list, QObject* context, const std::function<void()>& handler) {
    auto changed = std::make_shared<bool>(false);
    QObject::connect(list, &QListWidget::currentRowChanged, context, [changed, handler, list] {
        *changed = true;
        QTimer::singleShot(0, list, [changed] { *changed = false; });
        handler();
    });
    QObject::connect(list, &QAbstractItemView::pressed, context, [changed, handler] {
        if (*changed) {
            *changed = false;
            return;
        }
        handler();
    });
}

}  // namespace ui
