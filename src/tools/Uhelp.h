#pragma once

#include "ui/Form.h"

class QTextEdit;

namespace workspace {
struct Workspace;
}

namespace tools {

// The Help window: the help file of the program folder, read-only.
class TFHelp : public ui::Form {
    Q_OBJECT
public:
    TFHelp(QWidget* parent, const workspace::Workspace& workspace);

    QTextEdit* RichEdit1;

protected:
    void FormShow() override;

private:
    const workspace::Workspace& m_workspace;
};

}  // namespace tools
