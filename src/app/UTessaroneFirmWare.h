#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "outputs/ConfigurationImage.h"
#include "ui/Dialogs.h"
#include "ui/WindowContext.h"
#include "workspace/Workspace.h"

class QAbstractButton;
class QLabel;
class QLayout;

namespace ui {
class GraphicButton;
class LinkLabel;
}  // namespace ui

namespace app {

struct TForms;

// Title of the main window before the first project is set (note the older
// software code), and the prefix every later title starts with.
QString initialCaption();
QString TitlePrefix();

// The main window: the hub of the program. It owns the workspace, leads the
// user through the five steps and shows every other window modally.
class TFTessaroneFirmWare : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up procedure for the program folder programDir.
    explicit TFTessaroneFirmWare(const std::string& programDir);

    // The other windows, created after this one.
    void setForms(TForms* forms) { m_forms = forms; }

    workspace::Workspace& workspace() { return m_workspace; }
    const workspace::Workspace& workspace() const { return m_workspace; }
    // What the other windows get of the hub.
    const ui::WindowContext& context() const { return m_context; }
    // Leaves the settings file untouched at close (a review run of a window).
    void keepSettingsFile() { m_writeSettingsAtClose = false; }

    void NewaClick();
    void OpenaClick();
    void btn_str_lng1aClick(QAbstractButton* sender);
    void CreateBinaClick();
    void AboutClick();
    void LbButton1Click();
    void Label1Click();
    void SaveGsdFile();
    // Starts program with arguments and waits for its end, at most 150 000 ms,
    // without servicing the windows; answers how the run went, which the
    // caller reports. hideWindow asks for the program's window to be hidden
    // where programs get one.
    platform::RunOutcome RunAndWait(const std::string& program, const std::vector<std::string>& arguments,
                                    bool hideWindow);

    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    ui::GraphicButton* New;
    ui::GraphicButton* open;
    ui::GraphicButton* btn_Prm_Gen;
    ui::GraphicButton* btn_Sdo;
    ui::GraphicButton* btn_Gds;
    ui::GraphicButton* CreateBin;
    ui::GraphicButton* about;
    ui::GraphicButton* LbButton1;
    ui::LinkLabel* Label1;
    ui::GraphicButton* CreateSx;
    ui::GraphicButton* btn_Pdo;
    ui::GraphicButton* btn_Info_Pdo;
    ui::GraphicButton* btn_Emcy;
    ui::GraphicButton* btn_Emcy_Wd;
    ui::GraphicButton* Btn_SetPDO;

    // The spreadsheet chooser of the CANopen import and the GSD save chooser.
    ui::FileChooserSettings OpenExcel;
    ui::FileChooserSettings SaveGDS;
    // The configuration image, whose buffer lives for the whole run.
    outputs::ConfigurationImage Image;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate(const std::string& programDir);
    void FormClose();
    void buildControls();
    void createControls();
    QLayout* buildHeading();
    QLayout* buildSteps();
    void connectHandlers();
    void setTitle(const QString& title);

    workspace::Workspace m_workspace;
    ui::WindowContext m_context;
    TForms* m_forms = nullptr;
    bool m_writeSettingsAtClose = true;
};

}  // namespace app
