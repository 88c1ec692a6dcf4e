#pragma once

#include <QString>

#include "documents/AccessTables.h"
#include "ui/Dialogs.h"
#include "ui/TwoPageForm.h"

class QWidget;

namespace workspace {
struct Workspace;
}
namespace ui {
class GraphicButton;
class Grid;
class GridPages;
}  // namespace ui

namespace documents {

// The Set Access window: the input and output access tables of the project,
// kept in sdo.xml and bounded by the area sizes of pargen.xml.
class TFSetVar : public ui::TwoPageForm {
    Q_OBJECT
public:
    TFSetVar(QWidget* parent, const workspace::Workspace& workspace);

    void bitbtn1Click();
    bool ValidateTables();

    ui::Grid* sga;
    ui::Grid* Sgb;
    ui::GraphicButton* bitbtn1;
    ui::GraphicButton* bitbtn2;

protected:
    void FormShow() override;
    void FormFocus() override;

private:
    AccessTables tables() const;

    const workspace::Workspace& m_workspace;
    ui::GridPages* m_pages;
    AreaSizes m_sizes{kMaxAreaSize, kMaxAreaSize};
    ui::UnreadDocument m_unread;
};

}  // namespace documents
