#include "project/Unewp.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "project/NewProject.h"
#include "ui/Dialogs.h"
#include "ui/GraphicButton.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "workspace/Workspace.h"

namespace project {

TFsaveproj::TFsaveproj(QWidget* parent, workspace::Workspace& workspace)
    : ui::Form(parent, ui::FormFrame::FixedNoButtons, QStringLiteral("New project")),
      Label1(new QLabel(QStringLiteral("Project name"), this)),
      Edit1(new QLineEdit(this)),
      bitbtn1(new ui::GraphicButton(QStringLiteral("OK"), this)),
      bitbtn2(new ui::GraphicButton(QStringLiteral("Cancel"), this)),
      m_workspace(workspace) {
    setObjectName(QStringLiteral("TFsaveproj"));
    Label1->setBuddy(Edit1);
    Edit1->setMinimumWidth(280);
    bitbtn1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(6);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addSpacing(10);
    layout->addLayout(ui::rightAlignedButtons({bitbtn1, bitbtn2}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ui::onClicked(bitbtn1, this, [this] { BitBtn1Click(); });
    ui::onClicked(bitbtn2, this, [this] { BitBtn2Click(); });
    FormCreate();
}

void TFsaveproj::FormCreate() {
    DestinationDir.clear();
    m_enteredName.clear();
}

void TFsaveproj::FormShow() {
    if (DialogMode == 0) {
        setWindowTitle(QStringLiteral("New project"));
        Edit1->clear();
        m_enteredName.clear();
        Label1->show();
    } else {
        setWindowTitle(QStringLiteral("Edit XML"));
        Label1->hide();
    }
    Edit1->setFocus();
}

std::optional<QString> TFsaveproj::editText(const QString& text) {
    DialogMode = 1;
    Edit1->setText(text);
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Edit1->text();
}

void TFsaveproj::BitBtn1Click() {
    CloseAllowed = true;
    if (DialogMode == 0) {
        m_enteredName = ui::ss(Edit1->text());
        const NewProjectOutcome outcome = createProject(DestinationDir, m_enteredName);
        for (const std::string& message : outcome.messages) ui::Dialogs::information(this, ui::qs(message));
        CloseAllowed = outcome.created;
        if (outcome.created) {
            m_workspace.ProjectName = m_enteredName;
            m_workspace.ProjectDir = outcome.projectDir;
            m_workspace.SetDocumentPaths();
        }
    }
    if (FormCloseQuery()) done(QDialog::Accepted);
}

void TFsaveproj::BitBtn2Click() {
    CloseAllowed = true;
    if (FormCloseQuery()) done(QDialog::Rejected);
}

// Escape works as the Cancel button.
void TFsaveproj::reject() {
    BitBtn2Click();
}

void TFsaveproj::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        ui::Form::closeEvent(event);
    } else {
        event->ignore();
    }
}

}  // namespace project
