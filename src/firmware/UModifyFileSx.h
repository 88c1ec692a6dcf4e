#pragma once

#include <QList>
#include <string>

#include "ui/Form.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace workspace {
struct Workspace;
}
namespace ui {
class GraphicButton;
}

namespace firmware {

// "Generate Firmware": merges the project's bank files into the device
// firmware and hands the result to the flasher on the chosen COM port.
class TFModifyFileSx : public ui::Form {
    Q_OBJECT
public:
    TFModifyFileSx(QWidget* parent, const workspace::Workspace& workspace);

    // Window state, kept between showings.
    std::string FirmwareDir;  // where FirmwareName is read from
    std::string FirmwareName;
    std::string BinDir;  // with a trailing separator
    std::string NewFirmwareName;
    std::string OutputDir;  // with a trailing separator

    void LbButton1Click();
    void LbButton2Click();
    void OpenFileClick();
    void OptionsClick();
    void DirFileBinClick();
    void ExeModFileSxClick();
    void ExeUpdateFirClick();

    // A generation run with the banks whose boxes are shown and checked.
    void GenerateFirmware();
    void StartFlasher();

    QList<QCheckBox*> bankBoxes() const { return {Cbbank1, Cbbank2, Cbbank3, Cbbank4, Cbbank5}; }

    ui::GraphicButton* LbButton1;
    ui::GraphicButton* LbButton2;
    QComboBox* cbport;
    QProgressBar* Avanzamento;
    QFrame* Shape1;
    QLabel* Label3;
    QLineEdit* NewFileSx;
    ui::GraphicButton* OpenFile;
    ui::GraphicButton* Options;
    QGroupBox* GbBank;
    QCheckBox* Cbbank1;
    QCheckBox* Cbbank2;
    QCheckBox* Cbbank3;
    QCheckBox* Cbbank4;
    QCheckBox* Cbbank5;
    ui::GraphicButton* DirFileBin;
    ui::GraphicButton* ExeModFileSx;
    ui::GraphicButton* ExeUpdateFir;

protected:
    void FormShow() override;

private:
    void createUpdateControls();
    void createServiceControls();
    void layOutControls();
    void connectHandlers();
    void setBankColour(QCheckBox* box, const QColor& colour);

    const workspace::Workspace& m_workspace;
};

}  // namespace firmware
