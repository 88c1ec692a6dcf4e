#include "canopen/USetPdo.h"

#include "canopen/PdoAccess.h"
#include "ui/Grid.h"
#include "ui/GridPages.h"
#include "ui/Style.h"
#include "workspace/Workspace.h"

namespace canopen {
namespace {

const ui::GridSpec& pdoAccessGrid() {
    static const ui::GridSpec gridSpec{static_cast<int>(kPdoAccessRows),
                                       {QStringLiteral("N\u00B0"), 64, ui::kGridFixed, false},
                                       {{QStringLiteral("Cob-ID"), 121, ui::kGridCyan},
                                        {QStringLiteral("Dimension"), 84, ui::kGridCyan},
                                        {QStringLiteral("Address ProfiBus"), 91, ui::kGridRose},
                                        {QStringLiteral("Mnemonic"), 305, ui::kGridYellow}}};
    return gridSpec;
}

}  // namespace

TFSetPdo::TFSetPdo(QWidget* parent, const workspace::Workspace& workspace)
    : ui::TwoPageForm(parent, QString::fromUtf8(kSetPdoCaption), QString::fromUtf8(kPdoInputPage),
                      QString::fromUtf8(kPdoOutputPage), [this] { LbButton4Click(); }),
      LbButton4(okButton()),
      LbButton3(cancelButton()),
      m_workspace(workspace),
      m_pages(new ui::GridPages(this, PageControl1, pdoAccessGrid())) {
    resize(721, 402);
}

// A damaged pargen.xml stops the showing before the grids are loaded: what
// they hold then was not read from pdo.xml either, and OK asks before it
// replaces the document.
void TFSetPdo::FormShow() {
    m_pages->show(m_unread, m_workspace.PdoPath, [this] {
        sga = m_pages->grid(0);
        sgb = m_pages->grid(1);
        m_sizes = readPdoAreaSizes(m_workspace.PargenPath);
        m_pages->clear();
        // The rows read before a damaged part of the document are shown with its message.
        const base::Reading<PdoAccessTables> reading = loadPdoAccess(m_workspace.PdoPath);
        m_pages->placeTables(reading.value, leftOutMessage);
        return reading.failure;
    });
}

void TFSetPdo::FormFocus() {
    m_pages->focusFirstCell();
}

bool TFSetPdo::ValidatePdoTables() {
    return m_pages->passes(canopen::ValidatePdoTables(m_pages->tables<PdoAccessTables>(), m_sizes));
}

// A failed save throws; the guard of the button shows it and the window stays.
void TFSetPdo::LbButton4Click() {
    if (!ValidatePdoTables() || !m_pages->mayAccept(m_unread)) return;
    savePdoAccess(m_workspace.PdoPath, m_pages->tables<PdoAccessTables>());
    done(QDialog::Accepted);
}

}  // namespace canopen
