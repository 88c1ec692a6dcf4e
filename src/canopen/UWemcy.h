#pragma once

#include <array>

#include "canopen/EmcyWord.h"
#include "ui/EditorForm.h"

class QGroupBox;
class QIcon;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace canopen {

// "Define EMCY Word": per page a tree of words, each a word node with its
// sixteen bit nodes, the three boxes of a word and the four of a bit. The
// words are core's records in tree order; a node stands for word p div 17 and
// place p mod 17 by its absolute position p in its tree.
class TFWemcy : public ui::EditorForm {
    Q_OBJECT
public:
    TFWemcy(QWidget* parent, const ui::WindowContext& context);

    // The controls of one page; their object names are the design's
    // (TWCanA, Eindex_addrmA, EsubindexA, EdevidA, Eb0A, Eb1A, EposcompA,
    // EposcompA2 on the first page, ...B on the second).
    struct Page {
        QTreeWidget* tree;
        QGroupBox* wordGroup;
        QLineEdit* index;
        QLineEdit* subindex;
        QLineEdit* devid;
        QGroupBox* bitGroup;
        QLineEdit* mask1;
        QLineEdit* mask2;
        QLineEdit* position1;
        QLineEdit* position2;
        QPushButton* deleteButton;
        QPushButton* newButton;
        QPushButton* modifyButton;
    };
    std::array<Page, 2> pages;
    QTreeWidget* TWCanA;
    QTreeWidget* TWCanB;

    // The state index of a node: 0 for a word node, 1 for a bit node.
    static int stateIndex(const QTreeWidgetItem* node);
    // The node's absolute position in its tree, over all nodes in tree order.
    static std::size_t absolutePosition(const QTreeWidgetItem* node);

    void TreeChange(std::size_t page, QTreeWidgetItem* node);
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
    void fillTrees();
    void addNodes(std::size_t page, const TClWEmcy& word);

    EmcyWordPages m_words;
};

// The tree's pictures, drawn here: a word, a word selected, a bit, a bit
// selected; the icons of a word node and of a bit node carry the selected
// picture for the selected state.
const QIcon& wordNodeIcon();
const QIcon& bitNodeIcon();

}  // namespace canopen
