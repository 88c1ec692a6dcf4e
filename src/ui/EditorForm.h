#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/Dialogs.h"
#include "ui/TwoPageForm.h"

namespace ui {

class ButtonBar;
class GraphicButton;
struct WindowContext;

// The shared shape of the CANopen editors: two pages (the CAN A side first,
// then the CAN B side) and the bar OK, Cancel | Export, Import, with the flow
// they all follow:
// - every showing clears both pages, loads the document and shows the
//   load's message, if any;
// - OK saves, then closes; when the showing could not read the document,
//   OK first asks whether to replace it with what the window shows (No
//   keeps the window open and the file as it is); a failed save is reported
//   in the error box and the window stays open with its content;
// - Import shows the workbook chooser OpenExcel; on a chosen file it clears
//   what the editor says and imports the file;
// - Export writes the CSV file, without any dialog.
// An editor builds its controls on TabSheet1 and TabSheet2 and overrides the
// hooks, which convert between its widgets and core's records; files,
// formats and messages are core's.
class EditorForm : public TwoPageForm {
    Q_OBJECT
public:
    EditorForm(QWidget* parent, const WindowContext& context, const QString& caption, const QString& firstPage,
               const QString& secondPage);

    void BitBtn1Click();  // OK
    void ImportClick();
    void ExportClick();

    GraphicButton* bitbtn1;  // "OK"
    GraphicButton* bitbtn2;  // "Cancel"
    GraphicButton* BtnExport;
    GraphicButton* BtnImport;

protected:
    const WindowContext& context() const { return m_context; }

    // Empties both pages.
    virtual void clear() = 0;
    // Reads the document into the pages; answers the message to show (for
    // example that the file was not found), or nothing.
    virtual std::optional<std::string> load() { return std::nullopt; }
    // For an editor that reads several documents: the messages to show, in
    // order. By default the one of load().
    virtual std::vector<std::string> loadMessages();
    // Writes the document; throws with the message of a failure.
    virtual void save() = 0;
    // Checked by OK before anything else: the message of a text that the
    // document cannot hold (a character XML 1.0 has not), or nothing. A
    // refusal that save() throws as base::CharacterRefused is shown the
    // same way, in the error box, and the window stays open.
    virtual std::optional<std::string> characterRefusal() const { return std::nullopt; }
    // The document that save() replaces; empty for an editor that saves nothing.
    virtual std::string savedDocumentPath() const = 0;
    // Called by load() when the saved document exists but could not be read
    // whole (damaged, not well-formed): the rows shown are not all it holds.
    void markUnread(const std::string& message) { m_unread.set(savedDocumentPath(), message); }
    // Empties what an import replaces (both pages unless the editor says otherwise).
    virtual void clearForImport() { clear(); }
    // Places the records of the workbook at path in the pages; answers the
    // cause that ended the import, or nothing. Import shows only a refusal of
    // characters that no document can hold (base::isCharacterRefusal);
    // other causes end the import silently with what was placed.
    virtual std::optional<std::string> importWorkbook(const std::string& path) = 0;
    // Writes the pages' content to the editor's CSV file.
    virtual void exportCsv() = 0;

    void FormShow() final;

private:
    const WindowContext& m_context;
    UnreadDocument m_unread;
};

}  // namespace ui
