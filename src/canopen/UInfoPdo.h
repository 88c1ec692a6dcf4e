#pragma once

#include <array>

#include "canopen/StorePdo.h"
#include "ui/EditorForm.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace canopen {

// "Define Store PDO": per page the PDOs of Translate PDO, the stored-SDO
// entries of the selected PDO ("Sdo" + position), the two boxes and the two
// radio groups of an entry. The PDOs and entries are core's records; the
// clipboards of Copy SDO and Paste SDO live as long as the window, which is
// the whole run.
class TFInfopdo : public ui::EditorForm {
    Q_OBJECT
public:
    TFInfopdo(QWidget* parent, const ui::WindowContext& context);

    struct Page {
        QListWidget* sdoList;  // the selected PDO's entries
        QListWidget* pdoList;
        QLineEdit* index;
        QLineEdit* subindex;
        QGroupBox* highGroup;
        QButtonGroup* high;  // item 0 "none", 1 to 8 "B1" to "B8"
        QGroupBox* lowGroup;
        QButtonGroup* low;
        QPushButton* deleteButton;
        QPushButton* newButton;
        QPushButton* modifyButton;
        QPushButton* copyButton;
        QPushButton* pasteButton;
    };
    std::array<Page, 2> pages;

    void PdoClick(std::size_t page);
    void SdoClick(std::size_t page);
    void NewClick(std::size_t page);
    void ModifyClick(std::size_t page);
    void DeleteClick(std::size_t page);
    void CopyClick(std::size_t page);
    void PasteClick(std::size_t page);

protected:
    void clear() override;
    std::vector<std::string> loadMessages() override;
    void save() override;
    std::string savedDocumentPath() const override;
    void clearForImport() override;
    std::optional<std::string> importWorkbook(const std::string& path) override;
    void exportCsv() override;

private:
    void buildPage(std::size_t page, QWidget* sheet);
    void clearEntryFields(std::size_t page);
    void showNibbles(std::size_t page, PoscompNibbles nibbles);
    std::string typedPoscomp(std::size_t page) const;

    StorePdoPages m_pages;
    std::array<StoredSdoClipboard, 2> m_clipboards;
};

}  // namespace canopen
