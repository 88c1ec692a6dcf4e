#pragma once

#include <QList>
#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace ui {
struct WindowContext;
}

namespace app {

class TFTessaroneFirmWare;

// One window of the program as start-up creates it.
struct WindowEntry {
    // The window's class without its namespace ("TFSetVar"), as
    // tessaro-window and the dispatcher name it.
    QString className;
    // The name of the one instance ("FSetVar"); also the window's object
    // name, from which the renderer names its picture.
    QString objectName;
    // Creates the window as a child of the main window; null for the main
    // window itself, which runs the start-up procedure.
    QWidget* (*create)(QWidget* mainWindow, const ui::WindowContext& context);
};

// The sixteen windows in the order of their creation, the main window first.
// A new window is added here and nowhere else.
const std::vector<WindowEntry>& windowList();
// The entry of a class name, or null.
const WindowEntry* findWindow(const QString& className);

// Every window of the program, created once, in the order of windowList(),
// and living until the end of the run. The main window comes first and runs
// the start-up procedure before any other window exists; the others are its
// children. They are created together by createAll(), which the program runs
// right after the main window's first paint so that the user sees it without
// waiting for fifteen windows nobody has asked for yet; any earlier question
// for a window creates them all first, so the order of creation never changes.
struct TForms {
    explicit TForms(const std::string& programDir);
    ~TForms();
    TForms(const TForms&) = delete;
    TForms& operator=(const TForms&) = delete;

    // Creates the windows after the main window, unless done already.
    void createAll() const;
    // Whether createAll() has run.
    bool allCreated() const { return m_windows.size() > 1; }

    // All sixteen windows in the order of their creation.
    QList<QWidget*> all() const {
        createAll();
        return m_windows;
    }
    // The window of a class name ("TFSetVar"), or null.
    QWidget* byClass(const QString& className) const;
    // The one window of class T.
    template <class T>
    T* window() const {
        for (QWidget* each : all()) {
            if (auto* found = qobject_cast<T*>(each)) return found;
        }
        return nullptr;
    }

    TFTessaroneFirmWare* FTessaroneFirmWare;

private:
    mutable QList<QWidget*> m_windows;
};

}  // namespace app
