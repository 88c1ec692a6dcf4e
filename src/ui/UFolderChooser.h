#pragma once

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;

namespace ui {

class GraphicButton;

// A modal folder chooser confined to one root folder: a tree whose top item is
// the root itself (which can be picked), showing only folders, at any depth.
class TFFolderChooser : public QDialog {
    Q_OBJECT
public:
    TFFolderChooser(QWidget* parent, const QString& title, const QString& root, const QString& preselected);

    // Full path of the selected folder, built from the root with the
    // platform's separator; empty when nothing is selected.
    QString selectedFolder() const;
    // Selects the folder at that path when it lies at or below the root;
    // answers whether it could.
    bool selectFolder(const QString& path);

    QTreeWidget* tree() const { return m_tree; }
    GraphicButton* okButton() const { return m_ok; }

private:
    void fillChildren(QTreeWidgetItem* item);
    QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& name);

    QString m_root;
    QTreeWidget* m_tree;
    GraphicButton* m_ok;
};

}  // namespace ui
