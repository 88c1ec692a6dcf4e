#include "ui/EditorForm.h"

#include "base/XmlText.h"
#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/QtText.h"
#include "ui/WindowContext.h"

namespace ui {

EditorForm::EditorForm(QWidget* parent, const WindowContext& context, const QString& caption, const QString& firstPage,
                       const QString& secondPage)
    : TwoPageForm(parent, caption, firstPage, secondPage, [this] { BitBtn1Click(); }),
      bitbtn1(okButton()),
      bitbtn2(cancelButton()),
      BtnExport(bar()->action(QStringLiteral("Export"), [this] { ExportClick(); })),
      BtnImport(bar()->action(QStringLiteral("Import"), [this] { ImportClick(); })),
      m_context(context) {}

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
