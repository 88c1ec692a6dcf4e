#include "firmware/UModifyFileSx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <array>
#include <functional>

#include "firmware/FirmwareGenerator.h"
#include "platform/FileSystem.h"
#include "ui/Dialogs.h"
#include "ui/GraphicButton.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "workspace/Workspace.h"

namespace firmware {
namespace {

const QColor kSkyBlue{0xA6, 0xCA, 0xF0};
const QColor kRed{0xFF, 0x00, 0x00};

// What a run tells the window: messages in plain boxes, the progress on the
// bar, a bank that was not inserted in red.
class WindowReport final : public GenerationReport {
public:
    WindowReport(QWidget* window, QProgressBar* bar, std::function<void(int)> notInserted)
        : m_window(window), m_bar(bar), m_notInserted(std::move(notInserted)) {}

    void message(const std::string& text) override { ui::Dialogs::information(m_window, ui::qs(text)); }
    void progressRange(int maximum) override { m_bar->setMaximum(maximum); }
    void progress(int position) override { m_bar->setValue(position); }
    void bankFinished(int bank, BankResult result) override {
        if (result == BankResult::NotInserted) m_notInserted(bank);
    }

private:
    QWidget* m_window;
    QProgressBar* m_bar;
    std::function<void(int)> m_notInserted;
};

}  // namespace

TFModifyFileSx::TFModifyFileSx(QWidget* parent, const workspace::Workspace& workspace)
    : ui::Form(parent, ui::FormFrame::FixedNoButtons, QStringLiteral("Generate Firmware")), m_workspace(workspace) {
    setFont(ui::programFont(9));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ui::kBackground);
    colours.setColor(QPalette::WindowText, ui::kText);
    setPalette(colours);

    createUpdateControls();
    createServiceControls();
    layOutControls();
    connectHandlers();
}

// What the product shows: the close button, the port, the update button and the progress.
void TFModifyFileSx::createUpdateControls() {
    using ui::GraphicButton;
    LbButton1 = new GraphicButton(QStringLiteral("X"), this, GraphicButton::Glyph::Close, GraphicButton::Shape::Small);
    LbButton1->setToolTip(QStringLiteral("Close"));
    LbButton2 = new GraphicButton(QStringLiteral("Execute update firmware"), this);
    cbport = new QComboBox(this);
    for (int port = 1; port <= 8; ++port) cbport->addItem(QStringLiteral("COM%1").arg(port));
    cbport->setEditable(false);
    cbport->setAccessibleName(QStringLiteral("COM port"));
    cbport->setMinimumWidth(110);
    Avanzamento = new QProgressBar(this);
    Avanzamento->setTextVisible(false);
    Avanzamento->setRange(0, 100);
    Avanzamento->setValue(0);
    Avanzamento->setFixedHeight(18);
    Avanzamento->setMinimumWidth(400);
    Shape1 = new QFrame(this);
    Shape1->setFixedHeight(6);
    Shape1->setAutoFillBackground(true);
    QPalette sky = Shape1->palette();
    sky.setColor(QPalette::Window, kSkyBlue);
    Shape1->setPalette(sky);
}

// The generator's own controls: the result's name, the firmware, the bank
// files and the banks that take part.
void TFModifyFileSx::createServiceControls() {
    using ui::GraphicButton;
    Label3 = new QLabel(QStringLiteral("Name new Firmware:"), this);
    NewFileSx = new QLineEdit(this);
    Label3->setBuddy(NewFileSx);
    OpenFile = new GraphicButton(QStringLiteral("Open Firmware"), this);
    Options = new GraphicButton(QStringLiteral("Options>>"), this);
    GbBank = new QGroupBox(this);
    Cbbank1 = new QCheckBox(QStringLiteral("Bank 1"), GbBank);
    Cbbank2 = new QCheckBox(QStringLiteral("Bank 2"), GbBank);
    Cbbank3 = new QCheckBox(QStringLiteral("Bank 3"), GbBank);
    Cbbank4 = new QCheckBox(QStringLiteral("Bank 4"), GbBank);
    Cbbank5 = new QCheckBox(QStringLiteral("Bank 5"), GbBank);
    auto* banks = new QHBoxLayout(GbBank);
    for (QCheckBox* box : bankBoxes()) {
        box->setChecked(true);
        box->setAutoFillBackground(true);
        banks->addWidget(box);
    }
    DirFileBin = new GraphicButton(QStringLiteral("Directory File Bin"), this);
    ExeModFileSx = new GraphicButton(QStringLiteral("Execute Modify File Sx"), this);
    ExeUpdateFir = new GraphicButton(QStringLiteral("Execute update firmware"), this);
    // Parts of the generator kept for service use; the product never shows them.
    for (QWidget* hidden :
         QList<QWidget*>{Label3, NewFileSx, OpenFile, Options, GbBank, DirFileBin, ExeModFileSx, ExeUpdateFir})
        hidden->hide();
}

void TFModifyFileSx::layOutControls() {
    auto* top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(LbButton1);
    auto* port = new QHBoxLayout;
    port->setSpacing(10);
    port->addWidget(cbport);
    port->addWidget(LbButton2);
    port->addStretch();
    auto* name = new QHBoxLayout;
    name->addWidget(Label3);
    name->addWidget(NewFileSx, 1);
    auto* service = new QHBoxLayout;
    for (QWidget* button : QList<QWidget*>{OpenFile, Options, DirFileBin, ExeModFileSx, ExeUpdateFir})
        service->addWidget(button);
    service->addStretch();
    auto* bar = new QVBoxLayout;
    bar->setSpacing(0);
    bar->addWidget(Avanzamento);
    bar->addWidget(Shape1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 8, 8, 16);
    layout->setSpacing(12);
    layout->addLayout(top);
    layout->addLayout(port);
    layout->addLayout(bar);
    layout->addLayout(name);
    layout->addLayout(service);
    layout->addWidget(GbBank);
    // The window grows when the bank panel is shown.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFModifyFileSx::connectHandlers() {
    ui::onClicked(LbButton1, this, [this] { LbButton1Click(); });
    ui::onClicked(LbButton2, this, [this] { LbButton2Click(); });
    ui::onClicked(OpenFile, this, [this] { OpenFileClick(); });
    ui::onClicked(Options, this, [this] { OptionsClick(); });
    ui::onClicked(DirFileBin, this, [this] { DirFileBinClick(); });
    ui::onClicked(ExeModFileSx, this, [this] { ExeModFileSxClick(); });
    ui::onClicked(ExeUpdateFir, this, [this] { ExeUpdateFirClick(); });
    connect(NewFileSx, &QLineEdit::textChanged, this, [this](const QString& text) { NewFirmwareName = ui::ss(text); });
}

void TFModifyFileSx::setBankColour(QCheckBox* box, const QColor& colour) {
    QPalette boxColours = box->palette();
    boxColours.setColor(QPalette::Window, colour);
    box->setPalette(boxColours);
}

void TFModifyFileSx::FormShow() {
    Options->setText(QStringLiteral("Options >>"));
    GbBank->hide();
    DirFileBin->hide();

    // Its own place: the bottom edge at the middle of the screen.
    if (const QScreen* shown = screen()) {
        const QRect area = shown->geometry();
        const QRect frame = frameGeometry();
        move(area.x() + area.width() / 2 - frame.width() / 2, area.y() + area.height() / 2 - frame.height());
    }

    for (int bank = 1; bank <= kBankCount; ++bank) {
        QCheckBox* box = bankBoxes()[bank - 1];
        if (workspace::BoardVariant == 2 || workspace::BoardVariant == 3) {
            box->setVisible(bankOffered(workspace::BoardVariant, bank));
            if (bankOffered(workspace::BoardVariant, bank)) box->setChecked(true);
            setBankColour(box, ui::kBackground);
        }
    }

    cbport->setCurrentIndex(0);
    Avanzamento->setValue(0);
    LbButton2->setEnabled(false);

    // Without a project, "/bin/" would name a folder of the system.
    const std::string projectBin = m_workspace.ProjectDir + platform::kPathSeparator + "bin" + platform::kPathSeparator;
    if (!m_workspace.ProjectDir.empty() && platform::folderExists(projectBin)) BinDir = projectBin;

    const std::string& master = m_workspace.MasterDir;
    if (master.empty() || !platform::folderExists(master)) {
        ui::Dialogs::error(this, QStringLiteral("Error! Firmware Directory not Found! Please reinstall the software."));
        return;
    }
    if (!platform::fileExists(platform::joinPath(master, kFirmwareFileName))) {
        ui::Dialogs::error(this, QStringLiteral("Error! Firmware File not Found! Please reinstall the software."));
        return;
    }
    FirmwareDir = master;
    FirmwareName = kFirmwareFileName;
    OutputDir = withTrailingSeparator(m_workspace.ProjectDir);
    NewFirmwareName = std::string(kNewFirmwarePrefix) + kFirmwareFileName;
    NewFileSx->setText(ui::qs(NewFirmwareName));
    LbButton2->setEnabled(true);
}

void TFModifyFileSx::LbButton1Click() {
    close();
}

void TFModifyFileSx::LbButton2Click() {
    GenerateFirmware();
    StartFlasher();
}

void TFModifyFileSx::OpenFileClick() {
    const std::string& folder =
        platform::folderExists(m_workspace.MasterDir) ? m_workspace.MasterDir : m_workspace.ProgramDir;
    const std::optional<QString> chosen =
        ui::Dialogs::openFile(this, {QStringLiteral("File Sx (*.Sx)"), QString(), ui::qs(folder), QString()});
    if (!chosen) return;
    const QFileInfo file(*chosen);
    FirmwareName = ui::ss(file.fileName());
    FirmwareDir = ui::ss(QDir::toNativeSeparators(file.absolutePath()));
    OutputDir = withTrailingSeparator(m_workspace.ProjectDir);
    NewFirmwareName = kNewFirmwarePrefix + FirmwareName;
    NewFileSx->setText(ui::qs(NewFirmwareName));
    LbButton2->setEnabled(true);
}

void TFModifyFileSx::OptionsClick() {
    const bool show = GbBank->isHidden();
    GbBank->setVisible(show);
    DirFileBin->setVisible(show);
    Options->setText(show ? QStringLiteral("<< Options") : QStringLiteral("Options >>"));
}

void TFModifyFileSx::DirFileBinClick() {
    const std::optional<QString> chosen = ui::Dialogs::chooseFolder(this, QStringLiteral("Select Directory Bin"),
                                                                    ui::qs(m_workspace.ProjectDir), QString());
    if (chosen) BinDir = withTrailingSeparator(ui::ss(*chosen));
}

void TFModifyFileSx::ExeModFileSxClick() {
    GenerateFirmware();
}

void TFModifyFileSx::ExeUpdateFirClick() {
    StartFlasher();
}

void TFModifyFileSx::GenerateFirmware() {
    for (QCheckBox* box : bankBoxes()) setBankColour(box, ui::kBackground);
    ExeModFileSx->setEnabled(false);
    // The button comes back whatever ends the run.
    struct Enable {
        QWidget* button;
        ~Enable() { button->setEnabled(true); }
    } enableAgain{ExeModFileSx};

    std::array<bool, kBankCount> takesPart{};
    for (int bank = 1; bank <= kBankCount; ++bank) {
        const QCheckBox* box = bankBoxes()[bank - 1];
        takesPart[static_cast<std::size_t>(bank - 1)] = !box->isHidden() && box->isChecked();
    }
    WindowReport report(this, Avanzamento, [this](int bank) { setBankColour(bankBoxes()[bank - 1], kRed); });
    firmware::GenerateFirmware({FirmwareDir, FirmwareName, BinDir, NewFirmwareName, OutputDir}, takesPart, report);
}

void TFModifyFileSx::StartFlasher() {
    WindowReport report(this, Avanzamento, [](int) {});
    firmware::StartFlasher(m_workspace.ProgramDir, OutputDir, NewFirmwareName, cbport->currentIndex(), report);
}

}  // namespace firmware
