#pragma once

#include <QDialog>

namespace ui {

// Window frames of the program's dialogs.
enum class FormFrame {
    FixedNoButtons,  // fixed size, no system buttons
    FixedCloseBox,   // fixed size with a close box
    Sizeable,        // resizable with system menu and maximise box
};

// A dialog window of the program: created once, reused, centred on the screen
// at every showing, and told of each showing through FormShow, which runs
// guarded (a failure is reported and the window opens all the same).
class Form : public QDialog {
    Q_OBJECT
public:
    Form(QWidget* parent, FormFrame frame, const QString& caption);

protected:
    virtual void FormShow() {}
    // Gives the keyboard focus to where the user types first; runs after
    // FormShow, also when that failed.
    virtual void FormFocus() {}
    void showEvent(QShowEvent* event) override;
};

}  // namespace ui
