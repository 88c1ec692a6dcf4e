#pragma once

#include <QString>

#include "documents/AccessTables.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

class QTabWidget;
class QWidget;

namespace workspace {
struct Workspace;
}
namespace ui {
class GraphicButton;
class Grid;
}  // namespace ui

namespace documents {

// The Set Access window: the input and output access tables of the project,
// kept in sdo.xml and bounded by the area sizes of pargen.xml.
class TFSetVar : public ui::Form {
    Q_OBJECT
public:
    TFSetVar(QWidget* parent, const workspace::Workspace& workspace);

    void bitbtn1Click();
    bool ValidateTables();

    // Text of a grid cell, counted as the grid shows it: column 0 holds the
    // row numbers, rows 1 to 244 the access rows.
    static QString cell(const ui::Grid* grid, int column, int row);
    static void setCell(ui::Grid* grid, int column, int row, const QString& text);

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    ui::Grid* sga;
    ui::Grid* Sgb;
    ui::GraphicButton* bitbtn1;
    ui::GraphicButton* bitbtn2;

protected:
    void FormShow() override;
    void FormFocus() override;

private:
    // The run of rows of a grid: from row 1 down to the first empty Address Register cell.
    static std::vector<AccessRow> tableOf(const ui::Grid* grid);
    static void fill(ui::Grid* grid, const std::vector<AccessRow>& rows);

    const workspace::Workspace& m_workspace;
    AreaSizes m_sizes{kMaxAreaSize, kMaxAreaSize};
    ui::UnreadDocument m_unread;
};

}  // namespace documents
