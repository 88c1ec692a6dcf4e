#pragma once

#include <string>
#include <string_view>

#include "ui/Dialogs.h"
#include "ui/Form.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace workspace {
struct Workspace;
}
namespace ui {
class GraphicButton;
}

namespace documents {

// The SET COMMUNICATION window: the serial and PROFIBUS parameters of the
// project, kept in pargen.xml. Every showing reloads the controls from the
// file (or the defaults); OK checks the four numeric fields and writes the file.
class TFpargen : public ui::Form {
    Q_OBJECT
public:
    TFpargen(QWidget* parent, const workspace::Workspace& workspace);

    void BitBtn1Click();
    bool CheckValues();

    QGroupBox* GroupBox2;
    QRadioButton* RB_Ser_232;
    QRadioButton* RB_Ser_485;
    QComboBox* CB_Ser_Baud;
    QComboBox* CB_Ser_Par;
    QLineEdit* E_Ser_ID;
    QGroupBox* GroupBox4;
    QRadioButton* RB_Ser_MRTU;
    QRadioButton* RB_Ser_MASC;
    QRadioButton* RB_Ser_JBUS;
    QRadioButton* RB_Ser_BIN;
    QRadioButton* RB_Ser_ASC;
    QGroupBox* GroupBox1;
    QLineEdit* E_Pro_ID;
    QComboBox* CB_Pro_Baud;
    QLineEdit* E_PRo_IN;
    QLineEdit* E_PRo_Out;
    ui::GraphicButton* bitbtn1;
    ui::GraphicButton* bitbtn2;

protected:
    void FormShow() override;
    void FormFocus() override;

private:
    void setDefaults();
    // Shows the stored text of one element of pargen.xml in its control.
    void showStored(std::string_view element, const std::string& text);
    void buildControls();
    void buildSerialBox();
    void buildProtocolBox();
    void buildProfibusBox();

    const workspace::Workspace& m_workspace;
    QButtonGroup* m_lineType;
    QButtonGroup* m_protocol;
    ui::UnreadDocument m_unread;
};

}  // namespace documents
