#include "canopen/UInfoPdo.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/LineClick.h"
#include "ui/QtText.h"
#include "ui/WindowContext.h"

namespace canopen {

using ui::qs;
using ui::ss;

namespace {

// A group of the nine items in three columns, "none" checked.
QButtonGroup* poscompGroup(QGroupBox* box) {
    auto* group = new QButtonGroup(box);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    for (std::size_t i = 0; i < kPoscompItems.size(); ++i) {
        auto* item = new QRadioButton(qs(kPoscompItems[i]), box);
        group->addButton(item, static_cast<int>(i));
        grid->addWidget(item, static_cast<int>(i % 3), static_cast<int>(i / 3));
    }
    group->button(0)->setChecked(true);
    return group;
}

// Checks the item of a nibble; a nibble above 8 leaves no item checked.
void checkItem(QButtonGroup* group, int nibble) {
    const int item = poscompRadioItem(nibble);
    if (item >= 0) {
        group->button(item)->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

QVBoxLayout* texts(QWidget* parent, std::initializer_list<const char*> lines) {
    auto* column = new QVBoxLayout;
    column->addStretch(1);
    for (const char* line : lines) column->addWidget(new QLabel(qs(line), parent));
    column->addStretch(1);
    return column;
}

}  // namespace

TFInfopdo::TFInfopdo(QWidget* parent, const ui::WindowContext& context)
    : ui::EditorForm(parent, context, qs(kStorePdoCaption), qs(kStorePdoPageTexts[kCanA].caption),
                     qs(kStorePdoPageTexts[kCanB].caption)) {
    buildPage(kCanA, TabSheet1);
    buildPage(kCanB, TabSheet2);
    resize(463, 573);
}

void TFInfopdo::buildPage(std::size_t page, QWidget* sheet) {
    const StorePdoPageTexts& t = kStorePdoPageTexts[page];
    Page& p = pages[page];

    p.sdoList = new QListWidget(sheet);
    p.sdoList->setFixedWidth(72);
    // Shaded: it only shows the entries of the selected PDO.
    p.sdoList->setStyleSheet(QStringLiteral("QListWidget { background: #e4e4e4; }"));
    p.pdoList = new QListWidget(sheet);
    p.pdoList->setFixedWidth(88);
    auto* pdoLabel = new QLabel(qs(t.pdoListLabel), sheet);
    pdoLabel->setWordWrap(true);
    pdoLabel->setFixedWidth(88);
    auto* sdoLabel = new QLabel(qs(t.sdoListLabel), sheet);
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(5);
    lists->addWidget(new QLabel(qs(kStorePdoCorrelated), sheet), 0, 1);
    lists->addWidget(sdoLabel, 1, 0, Qt::AlignBottom);
    lists->addWidget(pdoLabel, 1, 1);
    lists->addWidget(p.sdoList, 2, 0);
    lists->addWidget(p.pdoList, 2, 1);
    lists->setRowStretch(2, 1);

    p.index = new QLineEdit(sheet);
    p.subindex = new QLineEdit(sheet);
    auto* right = new QVBoxLayout;
    right->setSpacing(3);
    for (auto [label, edit] : {std::pair{t.indexLabel, p.index}, std::pair{t.subindexLabel, p.subindex}}) {
        auto* text = new QLabel(qs(label), sheet);
        text->setBuddy(edit);
        right->addWidget(text);
        right->addWidget(edit);
    }
    p.highGroup = new QGroupBox(qs(kStorePdoGroupCaption), sheet);
    p.high = poscompGroup(p.highGroup);
    p.lowGroup = new QGroupBox(qs(kStorePdoGroupCaption), sheet);
    p.low = poscompGroup(p.lowGroup);
    auto* high = new QHBoxLayout;
    high->addWidget(p.highGroup, 1);
    high->addLayout(texts(sheet, {kStorePdoUpperTranslateText, kStorePdoHighText}));
    auto* low = new QHBoxLayout;
    low->addWidget(p.lowGroup, 1);
    low->addLayout(texts(sheet, {t.lowerTranslateText, kStorePdoLowText}));
    right->addSpacing(6);
    right->addLayout(high);
    right->addLayout(low);

    p.deleteButton = new QPushButton(QStringLiteral("Delete SDO"), sheet);
    p.newButton = new QPushButton(QStringLiteral("New SDO"), sheet);
    p.modifyButton = new QPushButton(QStringLiteral("Modify SDO"), sheet);
    p.copyButton = new QPushButton(QStringLiteral("Copy SDO"), sheet);
    p.pasteButton = new QPushButton(QStringLiteral("Paste SDO"), sheet);
    auto* buttons = new QGridLayout;
    buttons->addWidget(p.deleteButton, 0, 0);
    buttons->addWidget(p.newButton, 0, 1);
    buttons->addWidget(p.modifyButton, 1, 0, 1, 2);
    buttons->addWidget(p.copyButton, 2, 0);
    buttons->addWidget(p.pasteButton, 2, 1);
    right->addSpacing(6);
    right->addLayout(buttons);
    right->addStretch(1);

    auto* layout = new QHBoxLayout(sheet);
    layout->setContentsMargins(4, 6, 4, 6);
    layout->setSpacing(5);
    layout->addLayout(lists);
    layout->addLayout(right, 1);

    ui::onLineClick(p.pdoList, this, [this, page] { ui::guarded(this, [&] { PdoClick(page); }); });
    ui::onLineClick(p.sdoList, this, [this, page] { ui::guarded(this, [&] { SdoClick(page); }); });
    ui::onClicked(p.newButton, this, [this, page] { NewClick(page); });
    ui::onClicked(p.modifyButton, this, [this, page] { ModifyClick(page); });
    ui::onClicked(p.deleteButton, this, [this, page] { DeleteClick(page); });
    ui::onClicked(p.copyButton, this, [this, page] { CopyClick(page); });
    ui::onClicked(p.pasteButton, this, [this, page] { PasteClick(page); });
}

void TFInfopdo::clearEntryFields(std::size_t page) {
    Page& p = pages[page];
    const QSignalBlocker quiet(p.sdoList);
    p.sdoList->clear();
    p.index->clear();
    p.subindex->clear();
    p.high->button(0)->setChecked(true);
    p.low->button(0)->setChecked(true);
}

void TFInfopdo::clear() {
    m_pages = {};
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const QSignalBlocker quiet(pages[page].pdoList);
        pages[page].pdoList->clear();
        clearEntryFields(page);
    }
}

// A document that was missing leaves its lists empty; the pages work on them all the same.
std::vector<std::string> TFInfopdo::loadMessages() {
    StorePdoReading reading = loadStorePdo(context().workspace.ProjectDir, context().workspace.SdopdoPath);
    m_pages = std::move(reading.value);
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const QSignalBlocker quiet(pages[page].pdoList);
        for (const TClPdo& pdo : m_pages.pages[page].pdos) pages[page].pdoList->addItem(qs(pdo.cobid));
    }
    // The entries saved are those of the PDOs read: a damaged rpdodef.xml
    // loses entries as surely as a damaged sdopdo.xml.
    if (reading.pdoFailure && *reading.pdoFailure != kPdoXmlNotFound) markUnread(*reading.pdoFailure);
    if (reading.entriesFailure && *reading.entriesFailure != kSdopdoXmlNotFound) markUnread(*reading.entriesFailure);
    return reading.messages();
}

std::string TFInfopdo::savedDocumentPath() const {
    return context().workspace.SdopdoPath;
}

void TFInfopdo::save() {
    saveStorePdo(context().workspace.SdopdoPath, m_pages);
}

// The PDO lists stay; the entries shown go.
void TFInfopdo::clearForImport() {
    for (std::size_t page = 0; page < pages.size(); ++page) clearEntryFields(page);
}

// A failed import is silent; the entries placed before it stay.
std::optional<std::string> TFInfopdo::importWorkbook(const std::string& path) {
    base::Reading<StorePdoPages> reading = importStorePdo(path, m_pages);
    m_pages = std::move(reading.value);
    return reading.failure;
}

void TFInfopdo::exportCsv() {
    writeCsv(context().workspace.ProjectDir, kSdopdoDocumentName, exportStorePdo(m_pages));
}

void TFInfopdo::PdoClick(std::size_t page) {
    Page& p = pages[page];
    const int row = p.pdoList->currentRow();
    if (row < 0) return;
    clearEntryFields(page);
    const QSignalBlocker quiet(p.sdoList);
    const TClPdo& pdo = m_pages.pages[page].pdos[static_cast<std::size_t>(row)];
    for (std::size_t i = 0; i < pdo.entries.size(); ++i) p.sdoList->addItem(qs(storedSdoLine(i)));
}

void TFInfopdo::showNibbles(std::size_t page, PoscompNibbles nibbles) {
    checkItem(pages[page].high, nibbles.high);
    checkItem(pages[page].low, nibbles.low);
}

void TFInfopdo::SdoClick(std::size_t page) {
    Page& p = pages[page];
    const int pdo = p.pdoList->currentRow();
    const int row = p.sdoList->currentRow();
    if (pdo < 0 || row < 0) return;
    const TClSdo& entry =
        m_pages.pages[page].pdos[static_cast<std::size_t>(pdo)].entries[static_cast<std::size_t>(row)];
    p.index->setText(qs(entry.index));
    p.subindex->setText(qs(entry.subindex));
    showNibbles(page, poscompNibbles(entry.poscomp));
}

std::string TFInfopdo::typedPoscomp(std::size_t page) const {
    return poscompText(
        {poscompNibbleOfItem(pages[page].high->checkedId()), poscompNibbleOfItem(pages[page].low->checkedId())});
}

void TFInfopdo::NewClick(std::size_t page) {
    Page& p = pages[page];
    const int pdo = p.pdoList->currentRow();
    if (pdo < 0) return;
    const std::string index = ss(p.index->text()), subindex = ss(p.subindex->text());
    if (const std::optional<std::string> refusal = checkStoredSdo(m_pages.pages[page], index, subindex, std::nullopt)) {
        return ui::Dialogs::information(this, qs(*refusal));
    }
    std::vector<TClSdo>& entries = m_pages.pages[page].pdos[static_cast<std::size_t>(pdo)].entries;
    entries.push_back({index, subindex, typedPoscomp(page)});
    const QSignalBlocker quiet(p.sdoList);
    p.sdoList->addItem(qs(storedSdoLine(static_cast<std::size_t>(p.sdoList->count()))));
    p.sdoList->setCurrentRow(p.sdoList->count() - 1);
}

void TFInfopdo::ModifyClick(std::size_t page) {
    Page& p = pages[page];
    const int pdo = p.pdoList->currentRow();
    const int row = p.sdoList->currentRow();
    if (pdo < 0 || row < 0) return;
    const std::string index = ss(p.index->text()), subindex = ss(p.subindex->text());
    const EntryPosition position{static_cast<std::size_t>(pdo), static_cast<std::size_t>(row)};
    if (const std::optional<std::string> refusal = checkStoredSdo(m_pages.pages[page], index, subindex, position)) {
        return ui::Dialogs::information(this, qs(*refusal));
    }
    m_pages.pages[page].pdos[position.pdo].entries[position.entry] = {index, subindex, typedPoscomp(page)};
}

// The other lines keep their texts until the PDO is selected again.
void TFInfopdo::DeleteClick(std::size_t page) {
    Page& p = pages[page];
    const int pdo = p.pdoList->currentRow();
    const int row = p.sdoList->currentRow();
    if (pdo < 0 || row < 0) return;
    std::vector<TClSdo>& entries = m_pages.pages[page].pdos[static_cast<std::size_t>(pdo)].entries;
    entries.erase(entries.begin() + row);
    const QSignalBlocker quiet(p.sdoList);
    delete p.sdoList->takeItem(row);
    p.sdoList->setCurrentRow(-1);
}

void TFInfopdo::CopyClick(std::size_t page) {
    m_clipboards[page] = {ss(pages[page].index->text()), ss(pages[page].subindex->text()), typedPoscomp(page)};
}

// The boxes take the clipboard first; an empty clipboard's poscomp then fails
// and leaves the radio groups as they were.
void TFInfopdo::PasteClick(std::size_t page) {
    const StoredSdoClipboard& clipboard = m_clipboards[page];
    pages[page].index->setText(qs(clipboard.index));
    pages[page].subindex->setText(qs(clipboard.subindex));
    showNibbles(page, poscompNibbles(clipboard.poscomp));
}

}  // namespace canopen
