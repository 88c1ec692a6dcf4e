#pragma once

// Fixture and helpers of the window tests: a fresh program folder per test,
// the Dialogs facade in recording mode, and a way to act on a modal window
// the way a user meets it (shown with exec(), driven from a zero-delay timer).

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <string>

#include "app/UForms.h"
#include "app/UTessaroneFirmWare.h"
#include "support/TestFiles.h"
#include "ui/Dialogs.h"

namespace testing_support {

using Record = ui::Dialogs::Record;
using Kind = ui::Dialogs::Kind;

// "kind: text" lines of what the facade showed, for readable comparisons.
std::vector<std::string> describe(const QList<Record>& records);
std::string describe(Kind kind);

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates every window of the program for the test's program folder.
    app::TForms& startProgram();
    // Makes PROJECTS/<project> with its bin folder, remembers it as the last
    // project and starts the program on it.
    app::TForms& startProgramOn(const std::string& project);
    app::TFTessaroneFirmWare& mainWindow() { return *m_forms->FTessaroneFirmWare; }
    workspace::Workspace& workspace() { return mainWindow().workspace(); }
    // Everything the facade showed since the last call, as describe() lines.
    std::vector<std::string> shown() { return describe(ui::Dialogs::takeRecords()); }
    // Presses "Update Device"; answers whether the update wizard was shown (and
    // then closes it).
    bool updateDevice();

    TempDir m_program;
    std::unique_ptr<app::TForms> m_forms;
};

// Acts on the modal window of type T once it is shown. A window that the
// action leaves open is closed after a few seconds and fails the test, so a
// test never hangs on a modal window.
template <class T, class Action>
void whenModal(Action action) {
    QTimer::singleShot(0, [action]() mutable {
        QWidget* active = QApplication::activeModalWidget();
        T* window = qobject_cast<T*>(active);
        if (!window) {
            ADD_FAILURE() << "expected a modal " << T::staticMetaObject.className() << ", found "
                          << (active ? active->metaObject()->className() : "none");
            if (auto* dialog = qobject_cast<QDialog*>(active)) dialog->done(QDialog::Rejected);
            return;
        }
        QPointer<QDialog> guard(window);
        action(*window);
        QTimer::singleShot(5000, [guard]() {
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << guard->metaObject()->className() << " was left open";
                guard->done(QDialog::Rejected);
            }
        });
    });
}

// Presses a button that shows the modal window T, acts on the window, and
// answers the window's result (-1 when it was not shown).
template <class T, class Action>
int pressAndAct(QAbstractButton* button, Action action) {
    QPointer<T> shownWindow;
    whenModal<T>([&](T& window) {
        shownWindow = &window;
        action(window);
    });
    button->click();
    return shownWindow ? shownWindow->result() : -1;
}

}  // namespace testing_support
