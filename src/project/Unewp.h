#pragma once

#include <QString>
#include <optional>
#include <string>

#include "ui/Form.h"

class QLabel;
class QLineEdit;

namespace ui {
class GraphicButton;
}

namespace project {

// The New project dialog. In mode 0 it makes a project folder below
// DestinationDir; in mode 1 it is a one-line text editor for the XML reader
// and writer window.
class TFsaveproj : public ui::Form {
    Q_OBJECT
public:
    explicit TFsaveproj(QWidget* parent);

    // Mode 0: asks for a name and makes the project folder below destination
    // (with its bin folder); answers that folder, or nothing when the user
    // cancelled. The name is enteredName() afterwards.
    std::optional<std::string> askNewProject(const std::string& destination);
    // Mode 1: lets the user change text; answers the new text, or nothing
    // when the user cancelled.
    std::optional<QString> editText(const QString& text);

    // 0: new project; 1: edit a text.
    int DialogMode = 0;
    // Folder in which the new project folder is made.
    std::string DestinationDir;
    // What the close query answers: a button whose handler left it false
    // does not close the dialog.
    bool CloseAllowed = false;

    const std::string& enteredName() const { return m_enteredName; }

    void BitBtn1Click();
    void BitBtn2Click();
    bool FormCloseQuery() const { return CloseAllowed; }

    QLabel* Label1;
    QLineEdit* Edit1;
    ui::GraphicButton* bitbtn1;
    ui::GraphicButton* bitbtn2;

protected:
    void FormShow() override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();

    std::string m_enteredName;
    std::string m_createdFolder;
};

}  // namespace project
