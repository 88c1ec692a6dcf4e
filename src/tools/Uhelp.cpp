#include "tools/Uhelp.h"

#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <string>

#include "platform/FileSystem.h"
#include "ui/Dialogs.h"
#include "ui/Style.h"
#include "workspace/Workspace.h"

namespace tools {

TFHelp::TFHelp(QWidget* parent, const workspace::Workspace& workspace)
    : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Help")),
      RichEdit1(new QTextEdit(this)),
      m_workspace(workspace) {
    setFixedSize(620, 460);
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setAccessibleName(QStringLiteral("Help"));
    // The text sits on the window's own colour rather than on white.
    QPalette colours = RichEdit1->palette();
    colours.setColor(QPalette::Base, ui::kBackground);
    colours.setColor(QPalette::Text, ui::kText);
    RichEdit1->setPalette(colours);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1);
}

// The help file is plain UTF-8 text, read again at every showing.
void TFHelp::FormShow() {
    const std::string path =
        platform::joinPath(m_workspace.ProgramDir, "help" + std::to_string(workspace::BoardVariant) + ".dat");
    try {
        RichEdit1->setPlainText(QString::fromStdString(platform::readFile(path)));
        scrollToTopic();
    } catch (const std::exception&) {
        RichEdit1->clear();
        ui::Dialogs::information(this, QStringLiteral("Impossible to read file Help"));
    }
}

// A section of the help file is headed by a window's caption alone on its
// line, underlined with dashes on the next one, so a caption quoted in the
// running text is never taken for a heading.
void TFHelp::scrollToTopic() {
    QTextCursor cursor(RichEdit1->document());
    if (!m_topic.isEmpty()) {
        for (QTextBlock block = RichEdit1->document()->begin(); block.isValid(); block = block.next()) {
            const QTextBlock next = block.next();
            if (block.text().trimmed() == m_topic && next.isValid() &&
                next.text().trimmed().startsWith(QLatin1String("---"))) {
                cursor = QTextCursor(block);
                break;
            }
        }
    }
    RichEdit1->setTextCursor(cursor);
    // Opened at its section: the heading at the top of the box, not merely somewhere in view.
    RichEdit1->verticalScrollBar()->setValue(RichEdit1->verticalScrollBar()->maximum());
    RichEdit1->ensureCursorVisible();
}

}  // namespace tools
