#include "canopen/USetPdo.h"

#include <QTabWidget>
#include <QVBoxLayout>
#include <stdexcept>

#include "canopen/PdoAccess.h"
#include "canopen/UGridTables.h"
#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"
#include "ui/GridText.h"
#include "ui/QtText.h"
#include "workspace/Workspace.h"

namespace canopen {
namespace {

ui::GridColumn gridColumn(const PdoAccessColumn& column) {
    return {QString::fromUtf8(column.title), column.width, QColor::fromRgb(column.rgb), column.editable};
}

const ui::GridSpec& pdoAccessGrid() {
    static const ui::GridSpec gridSpec = [] {
        ui::GridSpec made{static_cast<int>(kPdoAccessRows), gridColumn(kPdoAccessColumns[0]), {}};
        for (std::size_t c = 1; c < kPdoAccessColumns.size(); ++c)
            made.columns.push_back(gridColumn(kPdoAccessColumns[c]));
        return made;
    }();
    return gridSpec;
}

}  // namespace

TFSetPdo::TFSetPdo(QWidget* parent, const workspace::Workspace& workspace)
    : ui::Form(parent, ui::FormFrame::Sizeable, QString::fromUtf8(kSetPdoCaption)), m_workspace(workspace) {
    setSizeGripEnabled(true);
    PageControl1 = new QTabWidget(this);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet1, QString::fromUtf8(kPdoInputPage));
    PageControl1->addTab(TabSheet2, QString::fromUtf8(kPdoOutputPage));

    auto* bar = new ui::ButtonBar(this);
    LbButton4 = bar->accept(QStringLiteral("OK"), [this] { LbButton4Click(); });
    LbButton3 = bar->reject(QStringLiteral("Cancel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(bar);
    resize(721, 402);
}

void TFSetPdo::makeGrids() {
    if (sga) return;
    sga = ui::makeGrid(pdoAccessGrid(), TabSheet1);
    sgb = ui::makeGrid(pdoAccessGrid(), TabSheet2);
    sga->setAccessibleName(QString::fromUtf8(kPdoInputPage));
    sgb->setAccessibleName(QString::fromUtf8(kPdoOutputPage));
    for (QWidget* page : {TabSheet1, TabSheet2}) {
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(4, 4, 4, 4);
        pageLayout->addWidget(page->findChild<ui::Grid*>());
    }
}

// A damaged pargen.xml stops the showing before the grids are loaded: what
// they hold then was not read from pdo.xml either, and OK asks before it
// replaces the document.
void TFSetPdo::FormShow() {
    m_unread.clear();
    makeGrids();
    try {
        m_sizes = readPdoAreaSizes(m_workspace.PargenPath);
        sga->clear();
        sgb->clear();
        // The rows read before a damaged part of the document are shown with its message.
        const base::Reading<PdoAccessTables> reading = loadPdoAccess(m_workspace.PdoPath);
        placeTables(this, sga, sgb, reading.value);
        if (reading.failure) throw std::runtime_error(*reading.failure);
    } catch (const std::exception& failure) {
        m_unread.set(m_workspace.PdoPath, failure.what());
        throw;
    }
}

// The user types first into the first Cob-ID of the page shown.
void TFSetPdo::FormFocus() {
    if (!sga) return;
    ui::Grid* shown = PageControl1->currentIndex() == 0 ? sga : sgb;
    shown->setCurrentIndex(shown->cells()->index(0, 1));
    shown->setFocus();
}

bool TFSetPdo::ValidatePdoTables() {
    const std::optional<std::string> failure =
        canopen::ValidatePdoTables(gridTables<kPdoValueColumns>(sga, sgb), m_sizes);
    if (!failure) return true;
    ui::Dialogs::error(this, ui::qs(*failure));
    return false;
}

// A failed save throws; the guard of the button shows it and the window stays.
void TFSetPdo::LbButton4Click() {
    if (!ValidatePdoTables()) return;
    for (const auto& [grid, page] : {std::pair{sga, kPdoInputPage}, std::pair{sgb, kPdoOutputPage}}) {
        if (const std::optional<QString> refusal =
                ui::characterRefusalIn(grid, static_cast<int>(kPdoAccessRows), QString::fromUtf8(page))) {
            ui::Dialogs::error(this, *refusal);
            return;
        }
    }
    if (!m_unread.mayReplace(this)) return;
    savePdoAccess(m_workspace.PdoPath, gridTables<kPdoValueColumns>(sga, sgb));
    done(QDialog::Accepted);
}

}  // namespace canopen
