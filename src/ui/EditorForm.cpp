#include "ui/EditorForm.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "base/XmlText.h"
#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/QtText.h"
#include "ui/WindowContext.h"

namespace ui {

EditorForm::EditorForm(QWidget* parent, const WindowContext& context, const QString& caption, const QString& firstPage,
                       const QString& secondPage)
    : Form(parent, FormFrame::Sizeable, caption), m_context(context) {
    setSizeGripEnabled(true);
    PageControl1 = new QTabWidget(this);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet1, firstPage);
    PageControl1->addTab(TabSheet2, secondPage);

    auto* bar = new ButtonBar(this);
    bitbtn1 = bar->accept(QStringLiteral("OK"), [this] { BitBtn1Click(); });
    bitbtn2 = bar->reject(QStringLiteral("Cancel"));
    BtnExport = bar->action(QStringLiteral("Export"), [this] { ExportClick(); });
    BtnImport = bar->action(QStringLiteral("Import"), [this] { ImportClick(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(bar);
}

void EditorForm::FormShow() {
    m_unread.clear();
    std::vector<std::string> messages;
    try {
        clear();
        messages = loadMessages();
    } catch (const std::exception& failure) {
        m_unread.set(savedDocumentPath(), failure.what());
        throw;
    }
    for (const std::string& message : messages) Dialogs::information(this, qs(message));
}

std::vector<std::string> EditorForm::loadMessages() {
    if (std::optional<std::string> message = load()) return {std::move(*message)};
    return {};
}

// A failed save throws; the guard of the button shows it and the window stays.
void EditorForm::BitBtn1Click() {
    if (const std::optional<std::string> refusal = characterRefusal()) {
        Dialogs::error(this, qs(*refusal));
        return;
    }
    if (!m_unread.mayReplace(this)) return;
    try {
        save();
    } catch (const base::CharacterRefused& refusal) {
        Dialogs::error(this, QString::fromUtf8(refusal.what()));
        return;
    }
    done(QDialog::Accepted);
}

void EditorForm::ImportClick() {
    const std::optional<QString> workbook = Dialogs::openFile(this, m_context.OpenExcel);
    if (!workbook) return;
    clearForImport();
    const std::optional<std::string> failure = importWorkbook(ss(*workbook));
    if (failure && base::isCharacterRefusal(*failure)) Dialogs::error(this, qs(*failure));
}

void EditorForm::ExportClick() {
    exportCsv();
}

}  // namespace ui
