#include "documents/Upargen.h"

#include <array>
#include <stdexcept>
#include <utility>

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/IntegerText.h"
#include "documents/CommunicationSettings.h"
#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "workspace/Workspace.h"

namespace documents {
namespace {

// Selects the entry at index, or nothing when the list has no such entry.
void selectEntry(QComboBox* list, std::int32_t index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

QLineEdit* makeEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setFixedWidth(90);
    return edit;
}

QComboBox* makeList(QWidget* parent, const QStringList& items) {
    auto* list = new QComboBox(parent);
    list->addItems(items);
    list->setFixedWidth(140);
    return list;
}

// A form row whose label is the buddy of its field.
void addRow(QFormLayout* form, const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    form->addRow(label, field);
}

}  // namespace

TFpargen::TFpargen(QWidget* parent, const workspace::Workspace& workspace)
    : ui::Form(parent, ui::FormFrame::FixedNoButtons, QStringLiteral("SET COMMUNICATION")), m_workspace(workspace) {
    buildControls();
    setDefaults();
}

void TFpargen::buildControls() {
    buildSerialBox();
    buildProfibusBox();

    auto* bar = new ui::ButtonBar(this);
    bitbtn1 = bar->accept(
        QStringLiteral("OK"), [this] { BitBtn1Click(); }, ui::ButtonBar::Side::Right);
    bitbtn2 = bar->reject(QStringLiteral("Cancel"), ui::ButtonBar::Side::Right);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(12);
    layout->addWidget(GroupBox2);
    layout->addWidget(GroupBox1);
    layout->addWidget(bar);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Reading order: the serial side from top to bottom, then PROFIBUS, then the buttons.
    setTabOrder(RB_Ser_232, RB_Ser_485);
    setTabOrder(RB_Ser_485, CB_Ser_Baud);
    setTabOrder(CB_Ser_Baud, CB_Ser_Par);
    setTabOrder(CB_Ser_Par, E_Ser_ID);
    setTabOrder(E_Ser_ID, RB_Ser_MRTU);
    setTabOrder(RB_Ser_MRTU, E_Pro_ID);
    setTabOrder(E_Pro_ID, E_PRo_IN);
    setTabOrder(E_PRo_IN, E_PRo_Out);
    setTabOrder(E_PRo_Out, bitbtn1);
    setTabOrder(bitbtn1, bitbtn2);
}

// " Serial ": the line type, baud rate, parity and device id, beside the protocol.
void TFpargen::buildSerialBox() {
    GroupBox2 = new QGroupBox(QStringLiteral(" Serial "), this);
    QFrame* lineFrame = ui::makeFrame(GroupBox2);
    RB_Ser_232 = new QRadioButton(QStringLiteral("RS232"), lineFrame);
    RB_Ser_485 = new QRadioButton(QStringLiteral("RS485"), lineFrame);
    auto* lineLayout = new QHBoxLayout(lineFrame);
    lineLayout->setContentsMargins(10, 4, 10, 4);
    lineLayout->addWidget(RB_Ser_232);
    lineLayout->addSpacing(16);
    lineLayout->addWidget(RB_Ser_485);
    lineLayout->addStretch();
    m_lineType = new QButtonGroup(this);
    // The ids of both groups are the codes stored in pargen.xml.
    m_lineType->addButton(RB_Ser_232, static_cast<int>(SerialLine::Rs232));
    m_lineType->addButton(RB_Ser_485, static_cast<int>(SerialLine::Rs485));

    CB_Ser_Baud = makeList(GroupBox2, {QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                                       QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                                       QStringLiteral("57600"), QStringLiteral("115200")});
    CB_Ser_Par = makeList(GroupBox2, {QStringLiteral("NONE"), QStringLiteral("EVEN"), QStringLiteral("ODD")});
    E_Ser_ID = makeEdit(GroupBox2);

    buildProtocolBox();

    auto* serialForm = new QFormLayout;
    serialForm->setHorizontalSpacing(14);
    serialForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    addRow(serialForm, QStringLiteral("Baudrate"), CB_Ser_Baud);
    addRow(serialForm, QStringLiteral("Parity"), CB_Ser_Par);
    addRow(serialForm, QStringLiteral("ID Dev."), E_Ser_ID);
    auto* serialFields = new QVBoxLayout;
    serialFields->addWidget(lineFrame);
    serialFields->addSpacing(4);
    serialFields->addLayout(serialForm);
    serialFields->addStretch();
    auto* serialLayout = new QHBoxLayout(GroupBox2);
    serialLayout->setContentsMargins(12, 14, 12, 12);
    serialLayout->setSpacing(16);
    serialLayout->addLayout(serialFields);
    serialLayout->addWidget(GroupBox4, 0, Qt::AlignTop);
}

// " Protocol ", inside " Serial ": one radio button per protocol code.
void TFpargen::buildProtocolBox() {
    GroupBox4 = new QGroupBox(QStringLiteral(" Protocol "), GroupBox2);
    RB_Ser_MRTU = new QRadioButton(QStringLiteral("Modbus RTU"), GroupBox4);
    RB_Ser_MASC = new QRadioButton(QStringLiteral("Modbus ASCII"), GroupBox4);
    RB_Ser_JBUS = new QRadioButton(QStringLiteral("JBUS"), GroupBox4);
    RB_Ser_BIN = new QRadioButton(QStringLiteral("Binary"), GroupBox4);
    RB_Ser_ASC = new QRadioButton(QStringLiteral("ASCII"), GroupBox4);
    m_protocol = new QButtonGroup(this);
    auto* protocolLayout = new QVBoxLayout(GroupBox4);
    protocolLayout->setSpacing(3);
    const std::array<std::pair<QRadioButton*, SerialProtocol>, 5> protocols = {{
        {RB_Ser_MRTU, SerialProtocol::ModbusRtu},
        {RB_Ser_MASC, SerialProtocol::ModbusAscii},
        {RB_Ser_JBUS, SerialProtocol::Jbus},
        {RB_Ser_BIN, SerialProtocol::Binary},
        {RB_Ser_ASC, SerialProtocol::Ascii},
    }};
    for (const auto& [button, protocol] : protocols) {
        m_protocol->addButton(button, static_cast<int>(protocol));
        protocolLayout->addWidget(button);
    }
}

// " ProfiBUS": the station's id, baud rate and the sizes of its two areas.
void TFpargen::buildProfibusBox() {
    GroupBox1 = new QGroupBox(QStringLiteral(" ProfiBUS"), this);
    E_Pro_ID = makeEdit(GroupBox1);
    CB_Pro_Baud = makeList(
        GroupBox1, {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("45.45K"), QStringLiteral("93.75K"),
                    QStringLiteral("187.5K"), QStringLiteral("500K"), QStringLiteral("1.5M"), QStringLiteral("3.0M"),
                    QStringLiteral("6.0M"), QStringLiteral("12M"), QStringLiteral("Auto Baudrate")});
    CB_Pro_Baud->setEnabled(false);
    E_PRo_IN = makeEdit(GroupBox1);
    E_PRo_Out = makeEdit(GroupBox1);
    auto* profibusForm = new QFormLayout(GroupBox1);
    profibusForm->setContentsMargins(12, 14, 12, 12);
    profibusForm->setHorizontalSpacing(14);
    profibusForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    addRow(profibusForm, QStringLiteral("ID Dev."), E_Pro_ID);
    addRow(profibusForm, QStringLiteral("Baud rate"), CB_Pro_Baud);
    addRow(profibusForm, QStringLiteral("N Byte IN"), E_PRo_IN);
    addRow(profibusForm, QStringLiteral("N Byte OUT"), E_PRo_Out);
}

void TFpargen::setDefaults() {
    const CommunicationTexts defaults = defaultCommunicationTexts();
    const std::array<const std::string*, 9> texts = defaults.inOrder();
    for (std::size_t i = 0; i < kPargenElements.size(); ++i) showStored(kPargenElements[i], *texts[i]);
}

void TFpargen::showStored(std::string_view element, const std::string& text) {
    if (element == kSerBaud) {
        selectEntry(CB_Ser_Baud, base::integerText(text));
    } else if (element == kSerPar) {
        selectEntry(CB_Ser_Par, base::integerText(text));
    } else if (element == kSerId) {
        E_Ser_ID->setText(ui::qs(text));
    } else if (element == kSerType) {
        m_lineType->button(static_cast<int>(serialLineOf(base::integerText(text))))->setChecked(true);
    } else if (element == kSerProt) {
        m_protocol->button(static_cast<int>(serialProtocolOf(base::integerText(text))))->setChecked(true);
    } else if (element == kProfiId) {
        E_Pro_ID->setText(ui::qs(text));
    } else if (element == kProfiBaud) {
        // The gateway finds the PROFIBUS baud rate itself; a stored value is never taken over.
        CB_Pro_Baud->setCurrentIndex(10);
    } else if (element == kProfiNbIn) {
        E_PRo_IN->setText(ui::qs(text));
    } else if (element == kProfiNbOut) {
        E_PRo_Out->setText(ui::qs(text));
    }
}

// The controls of the elements read before a damaged part of the file show
// the file's values; the others keep what they showed.
void TFpargen::FormShow() {
    m_unread.clear();
    try {
        const base::Reading<StoredCommunicationTexts> reading = readStoredCommunicationTexts(m_workspace.PargenPath);
        const std::array<const std::string*, 9> texts = reading.value.texts.inOrder();
        for (std::size_t i = 0; i < reading.value.count; ++i) showStored(kPargenElements[i], *texts[i]);
        if (reading.failure) throw std::runtime_error(*reading.failure);
    } catch (const std::exception& failure) {
        m_unread.set(m_workspace.PargenPath, failure.what());
        throw;
    }
}

// The first control: the line type, on the button that is selected.
void TFpargen::FormFocus() {
    (RB_Ser_485->isChecked() ? RB_Ser_485 : RB_Ser_232)->setFocus();
}

bool TFpargen::CheckValues() {
    const std::optional<std::string> failure = checkCommunicationValues(
        ui::ss(E_Ser_ID->text()), ui::ss(E_Pro_ID->text()), ui::ss(E_PRo_IN->text()), ui::ss(E_PRo_Out->text()));
    if (!failure) return true;
    ui::Dialogs::error(this, ui::qs(*failure));
    return false;
}

void TFpargen::BitBtn1Click() {
    if (!CheckValues()) return;
    if (!m_unread.mayReplace(this)) return;
    // With no protocol chosen the stored code is ASCII's.
    const int protocol = m_protocol->checkedId();
    CommunicationTexts texts;
    texts.Ser_Baud = std::to_string(CB_Ser_Baud->currentIndex());
    texts.Ser_Par = std::to_string(CB_Ser_Par->currentIndex());
    texts.Ser_ID = ui::ss(E_Ser_ID->text());
    texts.Ser_Type = std::to_string(static_cast<int>(
        m_lineType->checkedId() == static_cast<int>(SerialLine::Rs485) ? SerialLine::Rs485 : SerialLine::Rs232));
    texts.Ser_Prot = std::to_string(protocol < 0 ? static_cast<int>(SerialProtocol::Ascii) : protocol);
    texts.Profi_ID = ui::ss(E_Pro_ID->text());
    texts.Profi_Baud = std::to_string(CB_Pro_Baud->currentIndex());
    texts.Profi_NB_IN = ui::ss(E_PRo_IN->text());
    texts.Profi_NB_OUT = ui::ss(E_PRo_Out->text());
    writeCommunicationSettings(m_workspace.PargenPath, texts);
    done(QDialog::Accepted);
}

}  // namespace documents
