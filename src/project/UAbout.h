#pragma once

#include "ui/Form.h"

class QLabel;

namespace ui {
class GraphicButton;
class LinkLabel;
}  // namespace ui

namespace project {

// The About window: fixed texts, the vendor's logo and web address, both of
// which open the product page.
class TFAbout : public ui::Form {
    Q_OBJECT
public:
    explicit TFAbout(QWidget* parent);

    void Image2Click();
    void Label4Click();
    void Label5Click();

    ui::LinkLabel* Image2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label6;
    QLabel* Label9;
    QLabel* Label3;
    QLabel* Label10;
    QLabel* Label8;
    QLabel* Label12;
    ui::LinkLabel* Label4;
    ui::LinkLabel* Label5;
    ui::GraphicButton* LbButton1;

protected:
    void FormFocus() override;
};

}  // namespace project
