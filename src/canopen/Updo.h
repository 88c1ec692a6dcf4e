#pragma once

#include "ui/EditorForm.h"

namespace ui {
class Grid;
class GridPages;
}  // namespace ui

namespace canopen {

// The Translate PDO editor: per direction up to ten PDOs passed to the other
// network, kept in rpdodef.xml. Its grids are made at the first showing.
class TFpdo : public ui::EditorForm {
    Q_OBJECT
public:
    TFpdo(QWidget* parent, const ui::WindowContext& context);

    ui::Grid* sga = nullptr;  // made at the first showing
    ui::Grid* sgb = nullptr;

protected:
    void clear() override;
    std::optional<std::string> load() override;
    void save() override;
    std::optional<std::string> characterRefusal() const override;
    std::string savedDocumentPath() const override;
    std::optional<std::string> importWorkbook(const std::string& path) override;
    void exportCsv() override;

private:
    ui::GridPages* m_pages;
};

}  // namespace canopen
