#pragma once

#include <string>

#include "ui/EditorForm.h"

class QLabel;

namespace ui {
class Grid;
class GridPages;
}  // namespace ui

namespace canopen {

// The Set SDO Access editor: per direction up to 1500 virtual SDO addresses
// and what they stand for on the other network. Its grids (two of 1501 rows)
// are made at the first showing, so creating the window at start-up costs
// nothing; the cells take memory only once something is written.
class TFsdo : public ui::EditorForm {
    Q_OBJECT
public:
    TFsdo(QWidget* parent, const ui::WindowContext& context);

    ui::Grid* sga = nullptr;  // made at the first showing
    ui::Grid* sgb = nullptr;
    QLabel* Label1 = nullptr;  // headings of the first page: virtual index, address on the other network
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;  // the same on the second page
    QLabel* Label4 = nullptr;

    // The document the editor reads. Nothing in the program sets it, so the
    // editor starts empty; it is kept for the day a command does.
    std::string documentPath;

protected:
    void clear() override;
    std::optional<std::string> load() override;
    void save() override {}  // the editor keeps no document; OK only closes
    std::string savedDocumentPath() const override { return {}; }
    std::optional<std::string> importWorkbook(const std::string& path) override;
    void exportCsv() override;

private:
    // Columns of both grids a tenth of the grid's width; the headings above
    // the index columns and above the address columns.
    void FormResize(const ui::Grid* grid);

    ui::GridPages* m_pages;
};

}  // namespace canopen
