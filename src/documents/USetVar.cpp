#include "documents/USetVar.h"

#include <stdexcept>

#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

#include "documents/CommunicationSettings.h"
#include "platform/FileSystem.h"
#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"
#include "ui/GridText.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "workspace/Workspace.h"

namespace documents {
namespace {

constexpr int kRows = static_cast<int>(kMaxAccessRows);

const ui::GridSpec& accessGrid() {
    static const ui::GridSpec gridSpec{kRows,
                                       {QStringLiteral("N\u00B0"), 64, QColor(0xF8, 0xF7, 0xED), false},
                                       {{QStringLiteral("Address Register"), 101, QColor(0xE0, 0xFA, 0xFE)},
                                        {QStringLiteral("Address ProfiBus High"), 115, QColor(0xFC, 0xD6, 0xF4)},
                                        {QStringLiteral("Address ProfiBus Low"), 115, QColor(0xFC, 0xD6, 0xF4)},
                                        {QStringLiteral("Mnemonic"), 157, QColor(0xFF, 0xFF, 0xA8)}}};
    return gridSpec;
}

}  // namespace

TFSetVar::TFSetVar(QWidget* parent, const workspace::Workspace& workspace)
    : ui::Form(parent, ui::FormFrame::Sizeable, QStringLiteral("Set Access")), m_workspace(workspace) {
    setSizeGripEnabled(true);

    PageControl1 = new QTabWidget(this);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    sga = ui::makeGrid(accessGrid(), TabSheet1);
    Sgb = ui::makeGrid(accessGrid(), TabSheet2);
    sga->setAccessibleName(QString::fromUtf8(kInputPageCaption));
    Sgb->setAccessibleName(QString::fromUtf8(kOutputPageCaption));
    for (auto [page, grid] : {std::pair{TabSheet1, sga}, std::pair{TabSheet2, Sgb}}) {
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(4, 4, 4, 4);
        pageLayout->addWidget(grid);
    }
    PageControl1->addTab(TabSheet1, QString::fromUtf8(kInputPageCaption));
    PageControl1->addTab(TabSheet2, QString::fromUtf8(kOutputPageCaption));

    auto* bar = new ui::ButtonBar(this);
    bitbtn1 = bar->accept(QStringLiteral("OK"), [this] { bitbtn1Click(); });
    bitbtn2 = bar->reject(QStringLiteral("Cancel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(bar);
    resize(664, 538);
}

QString TFSetVar::cell(const ui::Grid* grid, int column, int row) {
    return grid->cell(row - 1, column);
}

void TFSetVar::setCell(ui::Grid* grid, int column, int row, const QString& text) {
    grid->setCell(row - 1, column, text);
}

void TFSetVar::fill(ui::Grid* grid, const std::vector<AccessRow>& rows) {
    std::vector<std::vector<std::string>> texts;
    for (const AccessRow& row : rows) texts.push_back({row.address, row.high, row.low, row.mnemonic});
    grid->setRowTexts(texts);
}

// A failure here, also one of pargen.xml before the tables are read, leaves
// sdo.xml unread: OK then asks before it replaces the document.
void TFSetVar::FormShow() {
    m_unread.clear();
    try {
        m_sizes = readAreaSizes(m_workspace.PargenPath, kMaxAreaSize);
        sga->clear();
        Sgb->clear();

        if (!platform::fileExists(m_workspace.SdoPath)) return;
        // The rows read before a damaged part of the document are shown all the same.
        const base::Reading<AccessTables> reading = readAccessTables(m_workspace.SdoPath);
        fill(sga, reading.value.in);
        fill(Sgb, reading.value.out);
        if (reading.failure) throw std::runtime_error(*reading.failure);
    } catch (const std::exception& failure) {
        m_unread.set(m_workspace.SdoPath, failure.what());
        throw;
    }
}

// The user types first into the first cell of the page shown.
void TFSetVar::FormFocus() {
    ui::Grid* shown = PageControl1->currentIndex() == 0 ? sga : Sgb;
    shown->setCurrentIndex(shown->cells()->index(0, 1));
    shown->setFocus();
}

std::vector<AccessRow> TFSetVar::tableOf(const ui::Grid* grid) {
    std::vector<AccessRow> rows;
    for (int r = 1; r <= kRows && !cell(grid, 1, r).isEmpty(); ++r) {
        rows.push_back(
            {ui::ss(cell(grid, 1, r)), ui::ss(cell(grid, 2, r)), ui::ss(cell(grid, 3, r)), ui::ss(cell(grid, 4, r))});
    }
    return rows;
}

bool TFSetVar::ValidateTables() {
    const std::optional<std::string> failure = validateAccessTables({tableOf(sga), tableOf(Sgb)}, m_sizes);
    if (!failure) return true;
    ui::Dialogs::error(this, ui::qs(*failure));
    return false;
}

void TFSetVar::bitbtn1Click() {
    if (!ValidateTables()) return;
    for (const auto& [grid, page] : {std::pair{sga, kInputPageCaption}, std::pair{Sgb, kOutputPageCaption}}) {
        if (const std::optional<QString> refusal = ui::characterRefusalIn(grid, kRows, QString::fromUtf8(page))) {
            ui::Dialogs::error(this, *refusal);
            return;
        }
    }
    if (!m_unread.mayReplace(this)) return;
    writeAccessTables(m_workspace.SdoPath, {tableOf(sga), tableOf(Sgb)});
    done(QDialog::Accepted);
}

}  // namespace documents
