#pragma once

#include <array>

#include "canopen/TranslateEmcy.h"
#include "ui/EditorForm.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace canopen {

// "Set Traslate EMCY": per page a list of ids, the eleven boxes of the
// selected entry, its translation switch and its "Allias use" choice. The
// entries are core's records; the list lines are their line texts.
class TFemcy : public ui::EditorForm {
    Q_OBJECT
public:
    TFemcy(QWidget* parent, const ui::WindowContext& context);

    // The controls of one page; their object names are the design's
    // (LBCanA, Eid_devA, ... on the first page, ...B on the second).
    struct Page {
        QListWidget* list;
        QCheckBox* translate;
        std::array<QLineEdit*, kEmcyFieldCount> boxes;  // in field order
        QGroupBox* aliasGroup;
        QButtonGroup* alias;
        std::array<QRadioButton*, 9> aliasButtons;
        QPushButton* deleteButton;
        QPushButton* newButton;
        QPushButton* modifyButton;
    };
    std::array<Page, 2> pages;
    QListWidget* LBCanA;
    QListWidget* LBCanB;

    void ListClick(std::size_t page);
    void NewClick(std::size_t page);
    void ModifyClick(std::size_t page);
    void DeleteClick(std::size_t page);

protected:
    void clear() override;
    std::optional<std::string> load() override;
    void save() override;
    std::string savedDocumentPath() const override;
    std::optional<std::string> importWorkbook(const std::string& path) override;
    void exportCsv() override;

private:
    void buildPage(std::size_t page, QWidget* sheet);
    void buildAliasGroup(std::size_t page, QWidget* sheet);
    void fillLists();
    void showFirstLines();
    std::array<std::string, kEmcyFieldCount> boxTexts(std::size_t page) const;
    void showRefusals(const std::vector<std::string>& messages);

    EmcyPages m_entries;
};

}  // namespace canopen
