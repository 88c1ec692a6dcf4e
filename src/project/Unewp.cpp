#include "project/Unewp.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "project/NewProject.h"
#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "workspace/Workspace.h"

namespace project {

TFsaveproj::TFsaveproj(QWidget* parent)
    : ui::Form(parent, ui::FormFrame::FixedNoButtons, QStringLiteral("New project")),
      Label1(new QLabel(QStringLiteral("Project name"), this)),
      Edit1(new QLineEdit(this)) {
    Label1->setBuddy(Edit1);
    Edit1->setMinimumWidth(280);
    auto* bar = new ui::ButtonBar(this);
    bitbtn1 = bar->accept(
        QStringLiteral("OK"), [this] { BitBtn1Click(); }, ui::ButtonBar::Side::Right);
    // Cancel, Escape and the close box all end in BitBtn2Click through reject().
    bitbtn2 = bar->reject(QStringLiteral("Cancel"), ui::ButtonBar::Side::Right);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(6);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addSpacing(10);
    layout->addWidget(bar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FormCreate();
}

void TFsaveproj::FormCreate() {
    DestinationDir.clear();
    m_enteredName.clear();
}

std::optional<std::string> TFsaveproj::askNewProject(const std::string& destination) {
    DialogMode = 0;
    DestinationDir = destination;
    m_createdFolder.clear();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return m_createdFolder;
}

std::optional<QString> TFsaveproj::editText(const QString& text) {
    DialogMode = 1;
    Edit1->setText(text);
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Edit1->text();
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

void TFsaveproj::BitBtn1Click() {
    CloseAllowed = true;
    if (DialogMode == 0) {
        m_enteredName = ui::ss(Edit1->text());
        const NewProjectOutcome outcome = createProject(DestinationDir, m_enteredName);
        for (const std::string& message : outcome.messages) ui::Dialogs::information(this, ui::qs(message));
        CloseAllowed = outcome.created;
        if (outcome.created) m_createdFolder = outcome.projectDir;
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
