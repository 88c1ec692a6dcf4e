#pragma once

#include <QString>

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

    // The caption of the window whose section the next showing opens at; a
    // caption without a section of its own, or none, opens at the top.
    void setTopic(const QString& caption) { m_topic = caption; }

protected:
    void FormShow() override;

private:
    void scrollToTopic();

    const workspace::Workspace& m_workspace;
    QString m_topic;
};

}  // namespace tools
