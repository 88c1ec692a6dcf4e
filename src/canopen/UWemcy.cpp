#include "canopen/UWemcy.h"

#include <functional>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "canopen/TranslateEmcy.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "ui/WindowContext.h"

namespace canopen {

using ui::qs;
using ui::ss;

namespace {

constexpr int kPicture = 16;

QPixmap picture(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(kPicture, kPicture);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

// A word: a register of four bit rows in a frame; selected, on a yellow ground.
QPixmap wordPicture(bool selected) {
    return picture([selected](QPainter& p) {
        p.setPen(QPen(QColor(0, 0, 128), 1));
        p.setBrush(selected ? QColor(255, 224, 64) : QColor(224, 232, 248));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 128));
        for (int row = 0; row < 4; ++row) p.drawRect(4, 4 + 2 * row, 8, 1);
    });
}

// A bit: a small lamp, off (grey-green) or, selected, lit (red).
QPixmap bitPicture(bool selected) {
    return picture([selected](QPainter& p) {
        p.setPen(QPen(QColor(48, 48, 48), 1));
        p.setBrush(selected ? QColor(220, 32, 32) : QColor(128, 160, 128));
        p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
    });
}

QIcon nodeIcon(const QPixmap& normal, const QPixmap& selected) {
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(selected, QIcon::Selected);
    return icon;
}

constexpr int kStateRole = Qt::UserRole;

QLineEdit* box(QWidget* parent, const char* name, char side, QGridLayout* grid, int row, const char* label) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("%1%2").arg(QString::fromLatin1(name)).arg(side));
    edit->setFixedWidth(100);
    auto* text = new QLabel(qs(label), parent);
    text->setBuddy(edit);
    grid->addWidget(text, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

}  // namespace

const QIcon& wordNodeIcon() {
    static const QIcon icon = nodeIcon(wordPicture(false), wordPicture(true));
    return icon;
}

const QIcon& bitNodeIcon() {
    static const QIcon icon = nodeIcon(bitPicture(false), bitPicture(true));
    return icon;
}

TFWemcy::TFWemcy(QWidget* parent, const ui::WindowContext& context)
    : ui::EditorForm(parent, context, qs(kEmcyWordCaption), qs(kEmcyWordPages[0]), qs(kEmcyWordPages[1])) {
    buildPage(0, TabSheet1);
    buildPage(1, TabSheet2);
    TWCanA = pages[0].tree;
    TWCanB = pages[1].tree;
    setSizeGripEnabled(false);
    setFixedSize(455, 464);
}

void TFWemcy::buildPage(std::size_t page, QWidget* sheet) {
    const char side = page == 0 ? 'A' : 'B';
    const EmcyWordPageTexts& texts = kEmcyWordPageTexts[page];
    Page& p = pages[page];
    p.tree = new QTreeWidget(sheet);
    p.tree->setObjectName(QStringLiteral("TWCan%1").arg(side));
    p.tree->setHeaderHidden(true);
    p.tree->setFixedWidth(130);
    p.tree->setEditTriggers(QAbstractItemView::NoEditTriggers);

    p.wordGroup = new QGroupBox(qs(kWordGroupCaption), sheet);
    auto* word = new QGridLayout(p.wordGroup);
    p.index = box(p.wordGroup, "Eindex_addrm", side, word, 0, texts.indexLabel);
    p.subindex = box(p.wordGroup, "Esubindex", side, word, 1, texts.subindexLabel);
    p.devid = box(p.wordGroup, "Edevid", side, word, 2, texts.devidLabel);

    p.bitGroup = new QGroupBox(qs(kBitGroupCaption), p.wordGroup);
    auto* bit = new QGridLayout(p.bitGroup);
    p.mask1 = box(p.bitGroup, "Eb0", side, bit, 0, kEmcyWordMask1Label);
    p.mask2 = box(p.bitGroup, "Eb1", side, bit, 1, texts.mask2Label);
    p.position1 = box(p.bitGroup, "Eposcomp", side, bit, 2, kEmcyWordPosition1Label);
    p.position2 = box(p.bitGroup, "Eposcomp", side, bit, 3, kEmcyWordPosition2Label);
    p.position2->setObjectName(p.position2->objectName() + QLatin1Char('2'));
    word->addWidget(p.bitGroup, 3, 0, 1, 2);
    word->setRowStretch(4, 1);

    p.deleteButton = new QPushButton(QStringLiteral("Delete"), sheet);
    p.newButton = new QPushButton(QStringLiteral("New"), sheet);
    p.modifyButton = new QPushButton(QStringLiteral("Modify"), sheet);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {p.deleteButton, p.newButton, p.modifyButton}) buttons->addWidget(button);

    auto* middle = new QHBoxLayout;
    middle->addWidget(p.tree);
    middle->addWidget(p.wordGroup, 1);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    connect(p.tree, &QTreeWidget::currentItemChanged, this,
            [this, page](QTreeWidgetItem* node) { ui::guarded(this, [&] { TreeChange(page, node); }); });
    ui::onClicked(p.newButton, this, [this, page] { NewClick(page); });
    ui::onClicked(p.modifyButton, this, [this, page] { ModifyClick(page); });
    ui::onClicked(p.deleteButton, this, [this, page] { DeleteClick(page); });
}

int TFWemcy::stateIndex(const QTreeWidgetItem* node) {
    return node->data(0, kStateRole).toInt();
}

std::size_t TFWemcy::absolutePosition(const QTreeWidgetItem* node) {
    auto* item = const_cast<QTreeWidgetItem*>(node);
    QTreeWidgetItem* top = item->parent() ? item->parent() : item;
    const auto word = static_cast<std::size_t>(top->treeWidget()->indexOfTopLevelItem(top));
    const std::size_t place = node->parent() ? static_cast<std::size_t>(top->indexOfChild(item)) + 1 : 0;
    return word * kNodesPerWord + place;
}

void TFWemcy::addNodes(std::size_t page, const TClWEmcy& word) {
    auto* node = new QTreeWidgetItem(pages[page].tree, QStringList(qs(wordNodeText(word))));
    node->setIcon(0, wordNodeIcon());
    node->setData(0, kStateRole, 0);
    for (std::size_t k = 0; k < kWordBits; ++k) {
        auto* bitNode = new QTreeWidgetItem(node, QStringList(qs(bitNodeText(k))));
        bitNode->setIcon(0, bitNodeIcon());
        bitNode->setData(0, kStateRole, 1);
    }
}

void TFWemcy::fillTrees() {
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const QSignalBlocker quiet(pages[page].tree);
        pages[page].tree->clear();
        for (const TClWEmcy& word : m_words.pages[page]) addNodes(page, word);
    }
}

void TFWemcy::clear() {
    m_words = {};
    fillTrees();
    for (Page& p : pages) {
        for (QLineEdit* edit : {p.index, p.subindex, p.devid, p.mask1, p.mask2, p.position1, p.position2}) {
            edit->clear();
        }
    }
}

std::optional<std::string> TFWemcy::load() {
    base::Reading<EmcyWordPages> reading = loadEmcyWord(context().workspace.EmcywordPath);
    m_words = std::move(reading.value);
    fillTrees();
    if (reading.failure && *reading.failure != kXmlFileNotFound) markUnread(*reading.failure);
    return reading.failure;
}

std::string TFWemcy::savedDocumentPath() const {
    return context().workspace.EmcywordPath;
}

void TFWemcy::save() {
    saveEmcyWord(context().workspace.EmcywordPath, m_words);
}

// A failed import is silent; the words placed before it stay.
std::optional<std::string> TFWemcy::importWorkbook(const std::string& path) {
    base::Reading<EmcyWordPages> reading = importEmcyWord(path);
    m_words = std::move(reading.value);
    fillTrees();
    return reading.failure;
}

void TFWemcy::exportCsv() {
    writeCsv(context().workspace.ProjectDir, kEmcywordDocumentName, exportEmcyWord(m_words));
}

void TFWemcy::TreeChange(std::size_t page, QTreeWidgetItem* node) {
    if (!node) return;
    const std::size_t position = absolutePosition(node);
    const TreePlace place = treePlace(position);
    for (Page& each : pages) {
        each.wordGroup->setTitle(qs(wordGroupCaption(place.word)));
        each.bitGroup->setTitle(qs(bitGroupCaption(position)));
    }
    Page& p = pages[page];
    const TClWEmcy& word = m_words.pages[page][place.word];
    p.index->setText(qs(word.index_addrm));
    p.subindex->setText(qs(word.subindex));
    p.devid->setText(qs(word.devid));
    if (place.place == 0) {
        for (QLineEdit* edit : {p.mask1, p.mask2, p.position1, p.position2}) edit->clear();
        return;
    }
    const ClEbm& bit = word.bits[place.place - 1];
    p.mask1->setText(qs(bit.b0));
    p.mask2->setText(qs(bit.b1));
    const PositionBoxes positions = positionBoxes(bit.poscomp);
    p.position1->setText(QString::number(positions.position1));
    p.position2->setText(QString::number(positions.position2));
}

void TFWemcy::NewClick(std::size_t page) {
    Page& p = pages[page];
    std::vector<TClWEmcy>& words = m_words.pages[page];
    const std::string index = ss(p.index->text()), subindex = ss(p.subindex->text()), devid = ss(p.devid->text());
    if (!checkEmcyWord(words, index, subindex, devid, std::nullopt)) {
        return ui::Dialogs::information(this, qs(kIndexNotValid));
    }
    words.push_back(newEmcyWord(words, index, subindex, devid));
    const QSignalBlocker quiet(p.tree);
    addNodes(page, words.back());
}

void TFWemcy::ModifyClick(std::size_t page) {
    Page& p = pages[page];
    QTreeWidgetItem* node = p.tree->currentItem();
    if (!node) return;
    const TreePlace place = treePlace(absolutePosition(node));
    std::vector<TClWEmcy>& words = m_words.pages[page];
    TClWEmcy& word = words[place.word];
    if (place.place == 0) {
        const std::string index = ss(p.index->text()), subindex = ss(p.subindex->text()), devid = ss(p.devid->text());
        if (!checkEmcyWord(words, index, subindex, devid, place.word)) {
            return ui::Dialogs::information(this, qs(kIndexNotValid));
        }
        word.index_addrm = index;
        word.subindex = subindex;
        word.devid = devid;
        return;
    }
    // The masks are taken before the positions are read, so a box that is not
    // a number leaves them replaced.
    ClEbm& bit = word.bits[place.place - 1];
    bit.b0 = ss(p.mask1->text());
    bit.b1 = ss(p.mask2->text());
    bit.poscomp = positionsField(ss(p.position1->text()), ss(p.position2->text()));
}

void TFWemcy::DeleteClick(std::size_t page) {
    Page& p = pages[page];
    QTreeWidgetItem* node = p.tree->currentItem();
    if (!node || stateIndex(node) != 0) return;
    const TreePlace place = treePlace(absolutePosition(node));
    std::vector<TClWEmcy>& words = m_words.pages[page];
    words.erase(words.begin() + static_cast<std::ptrdiff_t>(place.word));
    // No other node takes the selection: the next click shows what it names.
    const QSignalBlocker quiet(p.tree);
    delete p.tree->takeTopLevelItem(p.tree->indexOfTopLevelItem(node));
    p.tree->setCurrentItem(nullptr);
    p.tree->clearSelection();
}

}  // namespace canopen
