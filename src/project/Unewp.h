#pragma once

#include <optional>
#include <string>

#include "ui/Form.h"

class QLabel;
class QLineEdit;

namespace workspace {
struct Workspace;
}
namespace ui {
class GraphicButton;
}

namespace project {

// The New project dialog. In mode 0 it makes a project folder below
// DestinationDir and makes it the current project; in mode 1 it is a one-line
// text editor for the XML reader and writer window.
class TFsaveproj : public ui::Form {
    Q_OBJECT
public:
    TFsaveproj(QWidget* parent, workspace::Workspace& workspace);

    // 0: new project; 1: edit a text.
    int DialogMode = 0;
    // Folder in which the new project folder is made.
    std::string DestinationDir;
    // What the close query answers: a button whose handler left it false
    // does not close the dialog.
    bool CloseAllowed = false;

    const std::string& enteredName() const { return m_enteredName; }

    // Mode 1: shows the dialog modally with text in the edit field; answers the
    // edited text on OK (possibly empty), nothing on Cancel.
    std::optional<QString> editText(const QString& text);

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

    workspace::Workspace& m_workspace;
    std::string m_enteredName;
};

}  // namespace project
