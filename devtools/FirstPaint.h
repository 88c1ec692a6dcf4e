#pragma once

// For the start-up benchmark: once window has finished its first paint, writes
// one byte to the file descriptor given as the program's first argument and
// ends the program. The measuring parent times from its spawn to that byte.

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace bench {

class FirstPaintReporter : public QObject {
public:
    FirstPaintReporter(QWidget& window, int reportFd) : m_reportFd(reportFd) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // After the paint event itself has run.
            QTimer::singleShot(0, [fd = m_reportFd] {
                if (::write(fd, "p", 1) != 1) std::_Exit(1);
                QApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int m_reportFd;
    bool m_seen = false;
};

inline int reportFdFrom(int argc, char* argv[]) {
    return argc > 1 ? std::atoi(argv[1]) : STDOUT_FILENO;
}

}  // namespace bench
