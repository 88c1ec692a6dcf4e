#pragma once

#include <string>

#include "ui/Form.h"

class QLabel;
class QTableWidget;

namespace workspace {
struct Workspace;
}
namespace ui {
class GraphicButton;
}

namespace tools {

// The Select String window: up to 1000 strings of an XML strings document,
// one picked by its index.
class TFSELstringhe : public ui::Form {
    Q_OBJECT
public:
    TFSELstringhe(QWidget* parent, const workspace::Workspace& workspace);

    static constexpr int kStrings = 1000;

    // Full path of the strings document; nothing in the program sets it yet.
    std::string StringsFile;
    // Zero-based index of the picked string, kept across showings.
    int SelectedStringIndex = 0;

    // A row of strings was selected (0 for the first string).
    void sgSelectCell(int row);

    QTableWidget* sg;
    QWidget* PanelBColor1;
    ui::GraphicButton* bitbtn1;
    ui::GraphicButton* bitbtn2;
    QLabel* Label1;

protected:
    void FormShow() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitColumns();
    void fillStrings();
};

}  // namespace tools
