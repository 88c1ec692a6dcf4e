#include "update/UBootSer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QStackedWidget>
#include <QThread>
#include <QVBoxLayout>

#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/WindowContext.h"
#include "update/ComPortList.h"
#include "update/CommPort.h"
#include "update/ExternalUpdater.h"

namespace update {
namespace {

constexpr QSize kWizardSize{470, 330};

QLabel* stepLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(false);
    return label;
}

}  // namespace

TFBootSer::TFBootSer(QWidget* parent, const ui::WindowContext& context)
    : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Update Firmware from Serial (RS232)")),
      m_context(context) {
    setFont(ui::programFont(8));
    setFixedSize(kWizardSize);

    createPort(platform::systemSerialPortServices());
    Pages = new QStackedWidget(this);
    StepsPage = new QWidget;
    Panel1 = new QWidget;
    Panel1->setAutoFillBackground(true);
    Pages->addWidget(StepsPage);
    Pages->addWidget(Panel1);
    buildSteps();
    buildOptions();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Pages);
}

TFBootSer::~TFBootSer() = default;

void TFBootSer::createPort(std::shared_ptr<platform::SerialPortServices> services) {
    // Line events reach the user-interface thread through a blocking queued
    // call. Its target lives as long as any event thread may still call, and
    // is deleted on the user-interface thread. The wizard assigns no handler,
    // so the events only clear the port's error state.
    const std::shared_ptr<QObject> target(new QObject, [](QObject* object) { object->deleteLater(); });
    Comm1 = std::make_unique<TComm>(
        [target](const std::function<void()>& work) {
            QMetaObject::invokeMethod(
                target.get(), [&work] { ui::guarded(nullptr, work); }, Qt::BlockingQueuedConnection);
        },
        std::move(services));
    Comm1->SetDeviceName("Com2");
    Comm1->SetMonitorEvents(TCommEventTypes::all());
    Comm1->SetOptions({});
}

void TFBootSer::useSerialServices(std::shared_ptr<platform::SerialPortServices> services) {
    Comm1->Close();
    createPort(std::move(services));
}

void TFBootSer::buildSteps() {
    QWidget* page = StepsPage;
    Label1 = new QLabel(QStringLiteral("Follow these steps to update the GW48213 from RS232:"), page);
    Label1->setFont(ui::programFont(8, true));
    Label2 = stepLabel(QStringLiteral("1 - Turn OFF the Device"), page);
    Label3 = stepLabel(QStringLiteral("2 - Insert the Boot Jumper (see the manual)"), page);
    Label4 = stepLabel(QStringLiteral("3 - Select the  COM port and press the connect button"), page);
    CB_Com = new QComboBox(page);
    CB_Com->setMinimumWidth(190);
    CB_Com->setFixedHeight(28);
    CB_Com->setAccessibleName(QStringLiteral("COM port"));
    Label4->setBuddy(CB_Com);
    LbButton5 =
        new ui::GraphicButton(QString(), page, ui::GraphicButton::Glyph::Refresh, ui::GraphicButton::Shape::Small);
    LbButton5->setFixedSize(28, 28);
    LbButton5->setToolTip(QStringLiteral("Update COM Port List"));
    LbButton5->setAccessibleName(QStringLiteral("Update COM Port List"));
    LbButton1 = new ui::GraphicButton(QStringLiteral("Connect"), page);
    // Connect is a command of the step, not a default: Enter goes to Next.
    LbButton1->setAutoDefault(false);
    Label5 = stepLabel(QStringLiteral("4 - Turn ON the Device"), page);
    Label6 = stepLabel(QStringLiteral("5 - Check the BOOT led. It must blink quickly"), page);
    auto* bar = new ui::ButtonBar(this, page);
    LbButton3 = bar->reject(QStringLiteral("Cancel"));
    LbButton2 = bar->accept(
        QStringLiteral("Next"), [this] { LbButton2Click(); }, ui::ButtonBar::Side::Right,
        ui::GraphicButton::Glyph::ArrowRight);

    auto* port = new QHBoxLayout;
    port->setSpacing(6);
    port->addSpacing(16);
    port->addWidget(CB_Com);
    port->addWidget(LbButton5);
    port->addSpacing(8);
    port->addWidget(LbButton1);
    port->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(9);
    layout->addWidget(Label1);
    layout->addSpacing(4);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addWidget(Label4);
    layout->addLayout(port);
    layout->addWidget(Label5);
    layout->addWidget(Label6);
    layout->addStretch();
    layout->addWidget(bar);

    ui::onClicked(LbButton5, this, [this] { RefreshPortList(); });
    ui::onClicked(LbButton1, this, [this] { LbButton1Click(); });
}

void TFBootSer::buildOptions() {
    Label7 = new QLabel(QStringLiteral("Update Device Options"), Panel1);
    Label7->setFont(ui::programFont(10, true));
    CB_Firm = new QCheckBox(QStringLiteral("Firmware"), Panel1);
    CB_RFirm = new QCheckBox(QStringLiteral("Read Firmware when finish"), Panel1);
    CB_Proj = new QCheckBox(QStringLiteral("Project"), Panel1);
    CB_RProj = new QCheckBox(QStringLiteral("Read Project when finish"), Panel1);
    for (QCheckBox* option : {CB_Firm, CB_RFirm, CB_Proj, CB_RProj}) option->setChecked(true);

    Panel2 = new QWidget(Panel1);
    Panel2->setEnabled(false);
    Panel2->hide();
    CB_Par = new QCheckBox(QStringLiteral("Parameter"), Panel2);
    CB_Var = new QCheckBox(QStringLiteral("List PGN"), Panel2);
    for (QCheckBox* unused : {CB_Par, CB_Var}) {
        unused->setChecked(true);
        unused->hide();
    }

    auto* bar = new ui::ButtonBar(this, Panel1);
    LbButton4 = bar->accept(QStringLiteral("Execute update firmware"), [this] { LbButton4Click(); });

    auto* options = new QGridLayout;
    options->setHorizontalSpacing(0);
    options->setVerticalSpacing(7);
    options->setColumnMinimumWidth(0, 22);
    options->addWidget(CB_Firm, 0, 0, 1, 2);
    options->addWidget(CB_RFirm, 1, 1);
    options->addWidget(CB_Proj, 2, 0, 1, 2);
    options->addWidget(CB_RProj, 3, 1);

    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(Label7);
    layout->addLayout(options);
    layout->addWidget(Panel2);
    layout->addStretch();
    layout->addWidget(bar);
}

void TFBootSer::FormShow() {
    Pages->setCurrentWidget(StepsPage);
    PortTested = false;
    RefreshPortList();
}

void TFBootSer::FormFocus() {
    CB_Com->setFocus();
}

void TFBootSer::RefreshPortList() {
    CB_Com->clear();
    for (const std::string& port : EnumerateComPorts(DeviceFolder)) CB_Com->addItem(ui::qs(port));
    if (CB_Com->count() > 0) CB_Com->setCurrentIndex(0);
}

void TFBootSer::LbButton1Click() {
    PortTested = false;
    Comm1->Close();
    try {
        Comm1->SetDeviceName(ui::ss(CB_Com->currentText()));
        Comm1->Open();
        Comm1->SetDTRState(true);
        PortTested = true;
    } catch (const std::exception&) {
        // The port's own reason is not for the user here; the step is.
        ui::Dialogs::error(this, QStringLiteral("Error!! Com Port cannot be open."));
    }
}

void TFBootSer::LbButton2Click() {
    if (!PortTested) {
        ui::Dialogs::error(this, QStringLiteral("Select one port."));
        return;
    }
    Pages->setCurrentWidget(Panel1);
    CB_Firm->setFocus();
    // The updater needs the port for itself.
    Comm1->Close();
}

// The updater and the device file are delivered apart from the program; a
// user who lacks one is told which and where it belongs, and after the run
// how it ended, since the device side gives no other sign.
void TFBootSer::LbButton4Click() {
    const workspace::Workspace& workspace = m_context.workspace;
    if (const std::optional<std::string> refusal = updaterRefusal(workspace.ProgramDir, workspace.MasterDir)) {
        ui::Dialogs::error(this, ui::qs(*refusal));
        return;
    }
    const UpdateOptions options{CB_Firm->isChecked(), CB_RFirm->isChecked(), CB_Proj->isChecked(),
                                CB_RProj->isChecked()};
    const std::string program = updaterProgramPath(workspace.ProgramDir);
    const platform::RunOutcome outcome = m_context.RunAndWait(
        program, updaterCommand(ui::ss(CB_Com->currentText()), options, workspace.MasterDir, workspace.ProjectDir),
        false);
    const QString report = ui::qs(updaterRunReport(program, outcome));
    if (updaterRunFailed(outcome)) {
        ui::Dialogs::error(this, report);
    } else {
        ui::Dialogs::information(this, report);
    }
}

void TFBootSer::done(int result) {
    Comm1->Close();
    ui::Form::done(result);
}

}  // namespace update
