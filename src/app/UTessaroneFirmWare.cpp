#include "app/UTessaroneFirmWare.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>
#include <stdexcept>

#include "app/UForms.h"
#include "outputs/GsdFile.h"
#include "platform/Process.h"
#include "project/UAbout.h"
#include "project/Unewp.h"
#include "ui/GraphicButton.h"
#include "ui/Guard.h"
#include "ui/LinkLabel.h"
#include "ui/Logo.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "update/UBootSer.h"
#include "workspace/Vendor.h"

namespace app {

QString initialCaption() {
    return QString::fromLatin1(workspace::kVendorWebAddress) +
           QStringLiteral(" Tessaro TK48212 PROFIBUS s / Modbus s :");
}

QString TitlePrefix() {
    return QString::fromLatin1(workspace::kVendorWebAddress) +
           QStringLiteral(" Tessaro TK48213 PROFIBUS s / Modbus s :");
}

TFTessaroneFirmWare::TFTessaroneFirmWare(const std::string& programDir)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_context{m_workspace, OpenExcel,
                [this](const std::string& program, const std::vector<std::string>& arguments, bool hideWindow) {
                    return RunAndWait(program, arguments, hideWindow);
                },
                [this](const QString& text) -> std::optional<QString> {
                    if (!m_forms) return std::nullopt;
                    return m_forms->window<project::TFsaveproj>()->editText(text);
                }} {
    setWindowTitle(initialCaption());
    setAutoFillBackground(true);
    buildControls();
    FormCreate(programDir);
}

namespace {

// A label in the grey of the step captions and the hints.
QLabel* greyLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QPalette grey = label->palette();
    grey.setColor(QPalette::WindowText, ui::kStepGrey);
    label->setPalette(grey);
    return label;
}

QLabel* stepLabel(int step, QWidget* parent) {
    QLabel* label = greyLabel(QStringLiteral("Step %1").arg(step), parent);
    label->setFont(ui::programFont(10, true));
    return label;
}

}  // namespace

void TFTessaroneFirmWare::buildControls() {
    createControls();
    QLayout* heading = buildHeading();
    QFrame* rule = ui::makeRule(this);
    QLayout* steps = buildSteps();

    auto* footer = new QHBoxLayout;
    footer->addStretch();
    footer->addWidget(Label1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 12);
    layout->setSpacing(12);
    layout->addLayout(heading);
    layout->addWidget(rule);
    layout->addLayout(steps);
    layout->addStretch();
    layout->addLayout(footer);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Reading order: the buttons of the heading, then the steps from the top.
    setTabOrder(about, LbButton1);
    setTabOrder(LbButton1, New);
    setTabOrder(New, open);
    setTabOrder(open, btn_Prm_Gen);
    setTabOrder(btn_Prm_Gen, btn_Sdo);
    setTabOrder(btn_Sdo, btn_Gds);
    setTabOrder(btn_Gds, CreateBin);

    connectHandlers();
    OpenExcel.filter = QStringLiteral("File EXCEL (*.xls *.xlsx *.ods)");
    SaveGDS.filter = QStringLiteral("Generic Station Description (*.gsd)");
    SaveGDS.defaultSuffix = QStringLiteral("gsd");
}

void TFTessaroneFirmWare::createControls() {
    using ui::GraphicButton;
    Label2 = stepLabel(1, this);
    Label3 = stepLabel(2, this);
    Label4 = stepLabel(3, this);
    Label5 = stepLabel(4, this);
    Label6 = stepLabel(5, this);
    New = new GraphicButton(QStringLiteral("New project"), this);
    open = new GraphicButton(QStringLiteral("Open project"), this);
    btn_Prm_Gen = new GraphicButton(QStringLiteral("Set Communication"), this);
    btn_Sdo = new GraphicButton(QStringLiteral("Set Access "), this);
    btn_Gds = new GraphicButton(QStringLiteral("GDS File"), this);
    CreateBin = new GraphicButton(QStringLiteral("Update Device"), this);
    about = new GraphicButton(QStringLiteral("About"), this, GraphicButton::Glyph::Info, GraphicButton::Shape::Small);
    LbButton1 = new GraphicButton(QStringLiteral("X"), this, GraphicButton::Glyph::Close, GraphicButton::Shape::Small);
    Label1 = new ui::LinkLabel(QString::fromLatin1(workspace::kVendorWebAddress), this);

    // Entries of the related CANopen gateways: present, never shown in this product.
    CreateSx = new GraphicButton(QStringLiteral("Generate Firmware"), this);
    btn_Pdo = new GraphicButton(QStringLiteral("Set Traslate PDO"), this);
    btn_Info_Pdo = new GraphicButton(QStringLiteral("Define store PDO"), this);
    btn_Emcy = new GraphicButton(QStringLiteral("Set Traslate EMCY"), this);
    btn_Emcy_Wd = new GraphicButton(QStringLiteral("Define EMCY Word"), this);
    Btn_SetPDO = new GraphicButton(QStringLiteral("Set PDO Access "), this);
    for (GraphicButton* hidden : {CreateSx, btn_Pdo, btn_Info_Pdo, btn_Emcy, btn_Emcy_Wd, Btn_SetPDO}) hidden->hide();

    about->setToolTip(QStringLiteral("About"));
    LbButton1->setToolTip(QStringLiteral("Close"));
    for (GraphicButton* button : {New, open, btn_Prm_Gen, btn_Sdo, btn_Gds, CreateBin}) button->setFixedWidth(168);
}

// Heading: the logo, the program's name and what it configures.
QLayout* TFTessaroneFirmWare::buildHeading() {
    auto* logo = new QLabel(this);
    logo->setPixmap(ui::vendorLogo(46));
    auto* name = new QLabel(QStringLiteral("Firmware Tessaro"), this);
    name->setFont(ui::programFont(15, true));
    auto* subtitle = greyLabel(QStringLiteral("GW48213 gateway: serial line to PROFIBUS DP slave"), this);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(name);
    titles->addWidget(subtitle);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(12);
    heading->addWidget(logo);
    heading->addLayout(titles, 1);
    heading->addWidget(about, 0, Qt::AlignTop);
    heading->addWidget(LbButton1, 0, Qt::AlignTop);
    return heading;
}

// The five steps, each with its caption, its button and a hint.
QLayout* TFTessaroneFirmWare::buildSteps() {
    auto* steps = new QGridLayout;
    steps->setHorizontalSpacing(14);
    steps->setVerticalSpacing(12);
    auto* firstStep = new QHBoxLayout;
    firstStep->setSpacing(10);
    firstStep->addWidget(New);
    firstStep->addWidget(open);
    firstStep->addStretch();
    steps->addWidget(Label2, 0, 0);
    steps->addLayout(firstStep, 0, 1, 1, 2);
    const QList<std::tuple<QLabel*, ui::GraphicButton*, QString>> rows{
        {Label3, btn_Prm_Gen, QStringLiteral("Serial line and PROFIBUS parameters")},
        {Label4, btn_Sdo, QStringLiteral("Serial registers to PROFIBUS bytes")},
        {Label5, btn_Gds, QStringLiteral("Device description for the PROFIBUS master")},
        {Label6, CreateBin, QStringLiteral("Hand the project to the gateway")}};
    for (int row = 0; row < rows.size(); ++row) {
        const auto& [label, button, text] = rows[row];
        steps->addWidget(label, row + 1, 0);
        steps->addWidget(button, row + 1, 1);
        steps->addWidget(greyLabel(text, this), row + 1, 2);
    }
    steps->setColumnStretch(2, 1);
    return steps;
}

void TFTessaroneFirmWare::connectHandlers() {
    using ui::GraphicButton;
    ui::onClicked(New, this, [this] { NewaClick(); });
    ui::onClicked(open, this, [this] { OpenaClick(); });
    for (GraphicButton* step :
         {btn_Prm_Gen, btn_Sdo, btn_Gds, btn_Pdo, btn_Info_Pdo, btn_Emcy, btn_Emcy_Wd, Btn_SetPDO}) {
        ui::onClicked(step, this, [this, step] { btn_str_lng1aClick(step); });
    }
    ui::onClicked(CreateBin, this, [this] { CreateBinaClick(); });
    ui::onClicked(CreateSx, this, [this] { CreateBinaClick(); });
    ui::onClicked(about, this, [this] { AboutClick(); });
    ui::onClicked(LbButton1, this, [this] { LbButton1Click(); });
    connect(Label1, &ui::LinkLabel::clicked, this, [this] { ui::guarded(this, [this] { Label1Click(); }); });
}

void TFTessaroneFirmWare::setTitle(const QString& title) {
    setWindowTitle(title);
}

void TFTessaroneFirmWare::FormCreate(const std::string& programDir) {
    if (m_workspace.startUp(programDir)) setTitle(TitlePrefix() + ui::qs(m_workspace.ProjectName));
    OpenExcel.initialFolder = ui::qs(m_workspace.ProjectDir);
}

void TFTessaroneFirmWare::NewaClick() {
    project::TFsaveproj* dialog = m_forms->window<project::TFsaveproj>();
    if (const std::optional<std::string> folder = dialog->askNewProject(m_workspace.ProjectsDir)) {
        m_workspace.setCurrentProject(dialog->enteredName(), *folder);
        setTitle(TitlePrefix() + ui::qs(m_workspace.ProjectName));
        OpenExcel.initialFolder = ui::qs(m_workspace.ProjectDir);
    } else {
        setTitle(TitlePrefix());
    }
}

void TFTessaroneFirmWare::OpenaClick() {
    const std::string preselected = m_workspace.prepareOpenProject();
    const std::optional<QString> chosen = ui::Dialogs::chooseFolder(
        this, QStringLiteral("Select directory of project"), ui::qs(m_workspace.ProjectsDir), ui::qs(preselected));
    const std::string chosenFolder = chosen ? ui::ss(*chosen) : std::string();
    m_workspace.finishOpenProject(chosen ? &chosenFolder : nullptr);
    setTitle(TitlePrefix() + ui::qs(m_workspace.ProjectName));
    OpenExcel.initialFolder = ui::qs(m_workspace.ProjectDir);
}

void TFTessaroneFirmWare::btn_str_lng1aClick(QAbstractButton* sender) {
    if (m_workspace.ProjectDir.empty()) {
        ui::Dialogs::information(this, QStringLiteral("Project not valid"));
        return;
    }
    // The step buttons in the order they are compared; an empty class runs
    // SaveGsdFile instead of showing a window.
    const std::pair<QAbstractButton*, QString> steps[] = {
        {btn_Sdo, QStringLiteral("TFSetVar")},       {btn_Pdo, QStringLiteral("TFpdo")},
        {btn_Info_Pdo, QStringLiteral("TFInfopdo")}, {btn_Emcy, QStringLiteral("TFemcy")},
        {btn_Emcy_Wd, QStringLiteral("TFWemcy")},    {btn_Gds, QString()},
        {Btn_SetPDO, QStringLiteral("TFSetPdo")},    {btn_Prm_Gen, QStringLiteral("TFpargen")}};
    for (const auto& [button, windowClass] : steps) {
        if (sender != button) continue;
        if (windowClass.isEmpty()) {
            SaveGsdFile();
        } else if (auto* window = qobject_cast<QDialog*>(m_forms->byClass(windowClass))) {
            window->exec();
        }
        return;
    }
}

void TFTessaroneFirmWare::SaveGsdFile() {
    SaveGDS.initialFolder = ui::qs(m_workspace.ProjectDir);
    const std::optional<QString> fileName = ui::Dialogs::saveFile(this, SaveGDS);
    if (!fileName) return;
    outputs::WriteGsdFile(m_workspace.ProjectDir, ui::ss(*fileName));
}

void TFTessaroneFirmWare::CreateBinaClick() {
    // Without a project the documents would be read from, and the image
    // written to, the top of the file system, which is the system's own.
    if (m_workspace.ProjectDir.empty()) throw std::runtime_error("Project not valid");
    Image.BuildConfigurationImage(m_workspace.ProjectDir);
    Image.WriteConfigurationImage(m_workspace.ProjectDir);
    m_forms->window<update::TFBootSer>()->exec();
}

platform::RunOutcome TFTessaroneFirmWare::RunAndWait(const std::string& program,
                                                     const std::vector<std::string>& arguments, bool hideWindow) {
    return platform::runAndWait(program, arguments, hideWindow);
}

void TFTessaroneFirmWare::AboutClick() {
    m_forms->window<project::TFAbout>()->exec();
}

void TFTessaroneFirmWare::LbButton1Click() {
    close();
}

void TFTessaroneFirmWare::Label1Click() {
    ui::Dialogs::openUrl(QString::fromLatin1(workspace::kProductPage));
}

void TFTessaroneFirmWare::FormClose() {
    if (m_writeSettingsAtClose) m_workspace.writeSettings();
}

void TFTessaroneFirmWare::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    ui::centreOnScreen(this);
    activateWindow();
    New->setFocus();
}

void TFTessaroneFirmWare::closeEvent(QCloseEvent* event) {
    // A settings file that cannot be written is reported; the program still ends.
    ui::guarded(this, [this] { FormClose(); });
    event->accept();
}

}  // namespace app
