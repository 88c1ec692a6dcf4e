#include "ui/UFolderChooser.h"

#include <QDir>
#include <QFileIconProvider>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/FileSystem.h"
#include "ui/ButtonBar.h"
#include "ui/Style.h"

namespace ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

const QChar kSeparator = QChar::fromLatin1(platform::kPathSeparator);

QStringList subfolders(const QString& path) {
    QDir folder(path);
    QStringList names =
        folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    return names;
}

QTreeWidgetItem* makeItem(const QString& name, const QString& path) {
    auto* item = new QTreeWidgetItem(QStringList{name});
    item->setData(0, kPathRole, path);
    item->setData(0, kFilledRole, false);
    item->setIcon(0, QFileIconProvider().icon(QFileIconProvider::Folder));
    // Shows the expander before the folder is read; reading waits for the user.
    item->setChildIndicatorPolicy(subfolders(path).isEmpty() ? QTreeWidgetItem::DontShowIndicator
                                                             : QTreeWidgetItem::ShowIndicator);
    return item;
}

}  // namespace

TFFolderChooser::TFFolderChooser(QWidget* parent, const QString& title, const QString& root, const QString& preselected)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_root(root),
      m_tree(new QTreeWidget(this)) {
    setWindowTitle(title);
    setModal(true);
    setAutoFillBackground(true);
    resize(360, 380);

    auto* prompt = new QLabel(title, this);
    prompt->setBuddy(m_tree);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setAccessibleName(title);

    QTreeWidgetItem* top = makeItem(QDir(root).dirName(), root);
    m_tree->addTopLevelItem(top);
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { fillChildren(item); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->childCount() == 0) accept();
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { m_ok->setEnabled(current != nullptr); });
    top->setExpanded(true);

    auto* bar = new ButtonBar(this);
    m_ok = bar->accept(
        QStringLiteral("OK"), [this] { accept(); }, ButtonBar::Side::Right);
    bar->reject(QStringLiteral("Cancel"), ButtonBar::Side::Right);
    m_ok->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(prompt);
    layout->addWidget(m_tree, 1);
    layout->addWidget(bar);

    if (!preselected.isEmpty()) selectFolder(preselected);
    m_tree->setFocus();
}

void TFFolderChooser::fillChildren(QTreeWidgetItem* item) {
    if (item->data(0, kFilledRole).toBool()) return;
    item->setData(0, kFilledRole, true);
    const QString path = item->data(0, kPathRole).toString();
    for (const QString& name : subfolders(path)) item->addChild(makeItem(name, path + kSeparator + name));
    if (item->childCount() == 0) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

QTreeWidgetItem* TFFolderChooser::childNamed(QTreeWidgetItem* parent, const QString& name) {
    fillChildren(parent);
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == name) return parent->child(i);
    }
    return nullptr;
}

bool TFFolderChooser::selectFolder(const QString& path) {
    QTreeWidgetItem* item = m_tree->topLevelItem(0);
    if (path != m_root) {
        if (!path.startsWith(m_root + kSeparator)) return false;
        const QStringList parts = path.mid(m_root.size() + 1).split(kSeparator, Qt::SkipEmptyParts);
        for (const QString& part : parts) {
            item->setExpanded(true);
            item = childNamed(item, part);
            if (!item) return false;
        }
    }
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
    return true;
}

QString TFFolderChooser::selectedFolder() const {
    const QTreeWidgetItem* item = m_tree->currentItem();
    return item ? item->data(0, kPathRole).toString() : QString();
}

}  // namespace ui
