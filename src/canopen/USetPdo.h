#pragma once

#include "documents/CommunicationSettings.h"
#include "ui/Dialogs.h"
#include "ui/TwoPageForm.h"

namespace workspace {
struct Workspace;
}
namespace ui {
class GraphicButton;
class Grid;
class GridPages;
}  // namespace ui

namespace canopen {

// The Set PDO Access window: the transmit PDOs fed from the PROFIBUS input
// area and the receive PDOs feeding the output area, kept in pdo.xml and
// bounded by the area sizes of pargen.xml. Its grids are made at the first
// showing, so creating the window at start-up costs nothing.
class TFSetPdo : public ui::TwoPageForm {
    Q_OBJECT
public:
    TFSetPdo(QWidget* parent, const workspace::Workspace& workspace);

    void LbButton4Click();  // OK
    bool ValidatePdoTables();

    ui::Grid* sga = nullptr;  // made at the first showing
    ui::Grid* sgb = nullptr;
    ui::GraphicButton* LbButton4;  // "OK"
    ui::GraphicButton* LbButton3;  // "Cancel"

protected:
    void FormShow() override;
    void FormFocus() override;

private:
    const workspace::Workspace& m_workspace;
    ui::GridPages* m_pages;
    documents::AreaSizes m_sizes{};
    ui::UnreadDocument m_unread;
};

}  // namespace canopen
