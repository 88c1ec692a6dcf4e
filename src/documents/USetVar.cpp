#include "documents/USetVar.h"

#include "documents/CommunicationSettings.h"
#include "platform/FileSystem.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"
#include "ui/GridPages.h"
#include "ui/Style.h"
#include "workspace/Workspace.h"

template <>
struct ui::RecordCells<documents::AccessRow>
    : ui::MemberCells<documents::AccessRow, &documents::AccessRow::address, &documents::AccessRow::high,
                      &documents::AccessRow::low, &documents::AccessRow::mnemonic> {};

namespace documents {
namespace {

const ui::GridSpec& accessGrid() {
    static const ui::GridSpec gridSpec{static_cast<int>(kMaxAccessRows),
                                       {QStringLiteral("N\u00B0"), 64, ui::kGridFixed, false},
                                       {{QStringLiteral("Address Register"), 101, ui::kGridCyan},
                                        {QStringLiteral("Address ProfiBus High"), 115, ui::kGridRose},
                                        {QStringLiteral("Address ProfiBus Low"), 115, ui::kGridRose},
                                        {QStringLiteral("Mnemonic"), 157, ui::kGridYellow}}};
    return gridSpec;
}

}  // namespace

TFSetVar::TFSetVar(QWidget* parent, const workspace::Workspace& workspace)
    : ui::TwoPageForm(parent, QStringLiteral("Set Access"), QString::fromUtf8(kInputPageCaption),
                      QString::fromUtf8(kOutputPageCaption), [this] { bitbtn1Click(); }),
      bitbtn1(okButton()),
      bitbtn2(cancelButton()),
      m_workspace(workspace),
      m_pages(new ui::GridPages(this, PageControl1, accessGrid())) {
    m_pages->make();
    sga = m_pages->grid(0);
    Sgb = m_pages->grid(1);
    // The grids are made after the bar; Tab still reaches them first, as the window reads.
    setTabOrder(sga, Sgb);
    setTabOrder(Sgb, bitbtn1);
    setTabOrder(bitbtn1, bitbtn2);
    resize(664, 538);
}

// A failure here, also one of pargen.xml before the tables are read, leaves
// sdo.xml unread: OK then asks before it replaces the document.
void TFSetVar::FormShow() {
    m_pages->show(m_unread, m_workspace.SdoPath, [this]() -> std::optional<std::string> {
        m_sizes = readAreaSizes(m_workspace.PargenPath, kMaxAreaSize);
        m_pages->clear();
        if (!platform::fileExists(m_workspace.SdoPath)) return std::nullopt;
        // The rows read before a damaged part of the document are shown all the same.
        const base::Reading<AccessTables> reading = readAccessTables(m_workspace.SdoPath);
        m_pages->place(reading.value.in, reading.value.out);
        return reading.failure;
    });
}

void TFSetVar::FormFocus() {
    m_pages->focusFirstCell();
}

AccessTables TFSetVar::tables() const {
    return {m_pages->records<AccessRow>(0), m_pages->records<AccessRow>(1)};
}

bool TFSetVar::ValidateTables() {
    return m_pages->passes(validateAccessTables(tables(), m_sizes));
}

void TFSetVar::bitbtn1Click() {
    if (!ValidateTables() || !m_pages->mayAccept(m_unread)) return;
    writeAccessTables(m_workspace.SdoPath, tables());
    done(QDialog::Accepted);
}

}  // namespace documents
