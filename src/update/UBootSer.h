#pragma once

#include <QList>
#include <memory>
#include <string>

#include "ui/Form.h"
#include "update/ComPortList.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QStackedWidget;
class QWidget;

namespace ui {
class GraphicButton;
struct WindowContext;
}  // namespace ui

namespace platform {
class SerialPortServices;
}

namespace update {

class TComm;

// The update wizard: guides the user through putting the gateway into its
// boot mode, tests that the chosen serial port opens, takes the four update
// options and runs the external updater on the project's bin folder.
class TFBootSer : public ui::Form {
    Q_OBJECT
public:
    TFBootSer(QWidget* parent, const ui::WindowContext& context);
    ~TFBootSer() override;

    // Folder whose serial devices the port list offers.
    std::string DeviceFolder = kSerialDeviceFolder;
    // True once a Connect test has succeeded since the wizard was last shown.
    bool PortTested = false;

    void RefreshPortList();
    void LbButton1Click();  // Connect
    void LbButton2Click();  // Next
    void LbButton4Click();  // Execute update firmware

    TComm& comm() { return *Comm1; }
    // Opens ports through these services from now on (tests stand in for what
    // a pseudo-terminal lacks). The port is closed first.
    void useSerialServices(std::shared_ptr<platform::SerialPortServices> services);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QComboBox* CB_Com;
    ui::GraphicButton* LbButton5;
    ui::GraphicButton* LbButton1;
    QLabel* Label5;
    QLabel* Label6;
    ui::GraphicButton* LbButton3;
    ui::GraphicButton* LbButton2;

    // The two pages: the steps page, then the options page Panel1. Only the
    // page shown can be reached with the keyboard.
    QStackedWidget* Pages;
    QWidget* StepsPage;
    QWidget* Panel1;
    QLabel* Label7;
    QCheckBox* CB_Firm;
    QCheckBox* CB_RFirm;
    QCheckBox* CB_Proj;
    QCheckBox* CB_RProj;
    QWidget* Panel2;
    QCheckBox* CB_Par;
    QCheckBox* CB_Var;
    ui::GraphicButton* LbButton4;

public slots:
    void done(int result) override;

protected:
    void FormShow() override;
    void FormFocus() override;

private:
    void buildSteps();
    void createPort(std::shared_ptr<platform::SerialPortServices> services);
    void buildOptions();

    const ui::WindowContext& m_context;
    std::unique_ptr<TComm> Comm1;
};

}  // namespace update
