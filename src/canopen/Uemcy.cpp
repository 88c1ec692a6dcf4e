#include "canopen/Uemcy.h"

#include <QButtonGroup>
#include <QCheckBox>
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

TFemcy::TFemcy(QWidget* parent, const ui::WindowContext& context)
    : ui::EditorForm(parent, context, qs(kTranslateEmcyCaption), qs(kTranslateEmcyPages[0]),
                     qs(kTranslateEmcyPages[1])) {
    buildPage(0, TabSheet1);
    buildPage(1, TabSheet2);
    LBCanA = pages[0].list;
    LBCanB = pages[1].list;
    setSizeGripEnabled(false);
    setFixedSize(553, 556);
}

void TFemcy::buildPage(std::size_t page, QWidget* sheet) {
    const char side = page == 0 ? 'A' : 'B';
    Page& p = pages[page];
    p.list = new QListWidget(sheet);
    p.list->setObjectName(QStringLiteral("LBCan%1").arg(side));
    p.list->setFixedWidth(120);
    p.list->setMinimumHeight(60);
    p.translate = new QCheckBox(qs(kEmcySwitchCaptions[page]), sheet);

    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(8);
    boxes->setVerticalSpacing(2);
    for (std::size_t row = 0; row < kEmcyFieldCount; ++row) {
        const std::size_t field = kEmcyBoxOrder[row];
        const EmcyField& f = kEmcyFields[field];
        auto* box = new QLineEdit(sheet);
        box->setObjectName(QString::fromLatin1(page == 0 ? f.editA : f.editB));
        box->setFixedSize(110, 20);
        auto* label = new QLabel(qs(f.label), sheet);
        label->setBuddy(box);
        auto* range = new QLabel(qs(f.range), sheet);
        p.boxes[field] = box;
        const int r = static_cast<int>(row);
        boxes->addWidget(box, r, 0);
        boxes->addWidget(label, r, 1);
        boxes->addWidget(range, r, 2);
    }
    boxes->setColumnStretch(1, 1);

    buildAliasGroup(page, sheet);

    p.deleteButton = new QPushButton(qs(kEmcyDeleteCaption), sheet);
    p.newButton = new QPushButton(qs(kEmcyNewCaption), sheet);
    p.modifyButton = new QPushButton(qs(kEmcyModifyCaptions[page]), sheet);
    // The buttons stand at the bottom under the list, which leaves the right
    // side the whole height for the boxes and the alias group.
    auto* left = new QVBoxLayout;
    left->addWidget(p.list, 1);
    for (QPushButton* button : {p.deleteButton, p.newButton, p.modifyButton}) {
        button->setFixedWidth(120);
        left->addWidget(button);
    }

    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    right->addLayout(boxes);
    right->addWidget(p.aliasGroup);
    right->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addLayout(right, 1);

    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(p.translate);
    layout->addLayout(middle, 1);

    ui::onLineClick(p.list, this, [this, page] { ui::guarded(this, [&] { ListClick(page); }); });
    ui::onClicked(p.newButton, this, [this, page] { NewClick(page); });
    ui::onClicked(p.modifyButton, this, [this, page] { ModifyClick(page); });
    ui::onClicked(p.deleteButton, this, [this, page] { DeleteClick(page); });
}

// The alias group of a page: the texts of the aliases beside their radio buttons.
void TFemcy::buildAliasGroup(std::size_t page, QWidget* sheet) {
    Page& p = pages[page];
    p.aliasGroup = new QGroupBox(qs(kEmcyAliasGroupCaption), sheet);
    p.alias = new QButtonGroup(p.aliasGroup);
    auto* texts = new QVBoxLayout;
    texts->addStretch(1);
    for (const char* text : kEmcyAliasTexts[page]) texts->addWidget(new QLabel(qs(text), p.aliasGroup));
    texts->addStretch(1);
    auto* radios = new QVBoxLayout;
    radios->setSpacing(0);
    for (std::size_t i = 0; i < p.aliasButtons.size(); ++i) {
        p.aliasButtons[i] = new QRadioButton(qs(kEmcyAliasCaptions[page][i]), p.aliasGroup);
        p.aliasButtons[i]->setFixedHeight(18);
        p.alias->addButton(p.aliasButtons[i], static_cast<int>(i));
        radios->addWidget(p.aliasButtons[i]);
    }
    auto* group = new QHBoxLayout(p.aliasGroup);
    group->setContentsMargins(8, 2, 8, 2);
    group->addLayout(texts);
    group->addSpacing(12);
    group->addLayout(radios, 1);
}

void TFemcy::clear() {
    m_entries = {};
    for (Page& p : pages) {
        const QSignalBlocker quiet(p.list);
        p.list->clear();
        for (QLineEdit* box : p.boxes) box->clear();
        p.translate->setChecked(false);
        p.aliasButtons[0]->setChecked(true);
    }
}

void TFemcy::fillLists() {
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const QSignalBlocker quiet(pages[page].list);
        pages[page].list->clear();
        for (const TClEmcy& entry : m_entries.pages[page]) pages[page].list->addItem(qs(entry.line));
    }
}

void TFemcy::showFirstLines() {
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (pages[page].list->count() == 0) continue;
        {
            const QSignalBlocker quiet(pages[page].list);
            pages[page].list->setCurrentRow(0);
        }
        ListClick(page);
    }
}

std::optional<std::string> TFemcy::load() {
    base::Reading<EmcyPages> reading = loadTranslateEmcy(context().workspace.EmcydefPath);
    m_entries = std::move(reading.value);
    fillLists();
    if (!reading.failure) showFirstLines();
    if (reading.failure && *reading.failure != kXmlFileNotFound) markUnread(*reading.failure);
    return reading.failure;
}

std::string TFemcy::savedDocumentPath() const {
    return context().workspace.EmcydefPath;
}

void TFemcy::save() {
    saveTranslateEmcy(context().workspace.EmcydefPath, m_entries);
}

// A failed import is silent; what it placed stays, and then no line is selected.
std::optional<std::string> TFemcy::importWorkbook(const std::string& path) {
    base::Reading<EmcyPages> reading = importTranslateEmcy(path);
    m_entries = std::move(reading.value);
    fillLists();
    if (!reading.failure) showFirstLines();
    return reading.failure;
}

void TFemcy::exportCsv() {
    writeCsv(context().workspace.ProjectDir, kEmcydefDocumentName, exportTranslateEmcy(m_entries));
}

void TFemcy::ListClick(std::size_t page) {
    Page& p = pages[page];
    const int row = p.list->currentRow();
    if (row < 0) return;
    const TClEmcy& entry = m_entries.pages[page][static_cast<std::size_t>(row)];
    for (std::size_t field = 0; field < kEmcyFieldCount; ++field) p.boxes[field]->setText(qs(entry.fields[field]));
    p.translate->setChecked(entry.translate);
    const int button = emcyAliasButton(entry.alias);
    if (button >= 0) p.aliasButtons[static_cast<std::size_t>(button)]->setChecked(true);
}

std::array<std::string, kEmcyFieldCount> TFemcy::boxTexts(std::size_t page) const {
    std::array<std::string, kEmcyFieldCount> texts;
    for (std::size_t field = 0; field < kEmcyFieldCount; ++field) texts[field] = ss(pages[page].boxes[field]->text());
    return texts;
}

void TFemcy::showRefusals(const std::vector<std::string>& messages) {
    for (const std::string& message : messages) ui::Dialogs::information(this, qs(message));
}

void TFemcy::NewClick(std::size_t page) {
    Page& p = pages[page];
    const std::array<std::string, kEmcyFieldCount> boxes = boxTexts(page);
    if (p.list->currentRow() >= 0) {
        const std::vector<std::string> refusals = checkEmcyId(m_entries.pages[page], boxes[0], std::nullopt);
        if (!refusals.empty()) return showRefusals(refusals);
    }
    m_entries.pages[page].push_back(makeEmcyEntry(boxes, p.translate->isChecked(), std::max(0, p.alias->checkedId())));
    const QSignalBlocker quiet(p.list);
    p.list->addItem(p.boxes[0]->text());
    p.list->setCurrentRow(p.list->count() - 1);
}

void TFemcy::ModifyClick(std::size_t page) {
    Page& p = pages[page];
    const int row = p.list->currentRow();
    if (row < 0) return;
    const std::array<std::string, kEmcyFieldCount> boxes = boxTexts(page);
    const std::vector<std::string> refusals =
        checkEmcyId(m_entries.pages[page], boxes[0], ss(p.list->item(row)->text()));
    if (!refusals.empty()) return showRefusals(refusals);
    const int checked = p.alias->checkedId();
    modifyEmcyEntry(m_entries.pages[page][static_cast<std::size_t>(row)], boxes, p.translate->isChecked(),
                    checked >= 0 ? std::optional<int>(checked) : std::nullopt);
    p.list->item(row)->setText(p.boxes[0]->text());
}

void TFemcy::DeleteClick(std::size_t page) {
    Page& p = pages[page];
    const int row = p.list->currentRow();
    if (row < 0) return;
    std::vector<TClEmcy>& entries = m_entries.pages[page];
    entries.erase(entries.begin() + row);
    const QSignalBlocker quiet(p.list);
    delete p.list->takeItem(row);
    p.list->setCurrentRow(-1);
}

}  // namespace canopen
