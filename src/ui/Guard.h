#pragma once

#include <QAbstractButton>
#include <QString>
#include <exception>
#include <utility>

#include "ui/Dialogs.h"

namespace ui {

// Runs a window handler; a failure that the handler did not catch ends it and
// is shown in the standard error box, and the program goes on. No exception
// crosses the Qt event loop.
template <class Handler>
void guarded(QWidget* window, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& failure) {
        Dialogs::standardError(window, QString::fromUtf8(failure.what()));
    } catch (...) {
        Dialogs::standardError(window, QStringLiteral("Unknown failure"));
    }
}

// Binds a button's click to a guarded handler of its window.
template <class Window, class Handler>
void onClicked(QAbstractButton* button, Window* window, Handler handler) {
    QObject::connect(button, &QAbstractButton::clicked, window,
                     [window, handler]() { guarded(window, [&] { handler(); }); });
}

}  // namespace ui
