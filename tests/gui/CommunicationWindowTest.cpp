#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "documents/Upargen.h"
#include "support/CaseNames.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/Style.h"

namespace {

using namespace testing_support;
using documents::TFpargen;
namespace fs = std::filesystem;

const std::string kDefaultFile =
    "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>1</Ser_Type>"
    "<Ser_Prot>0</Ser_Prot><Profi_ID>1</Profi_ID><Profi_Baud>10</Profi_Baud><Profi_NB_IN>244</Profi_NB_IN>"
    "<Profi_NB_OUT>244</Profi_NB_OUT></Par_Gen>";

std::string pargen(const std::string& elements) {
    return "<Par_Gen>" + elements + "</Par_Gen>";
}

// What the window shows, in a form that compares in one line.
struct Shown {
    int baud, parity;
    std::string serialId, line, protocol, profibusId;
    int profibusBaud;
    std::string in, out;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Shown& s) {
    return os << "{" << s.baud << ", " << s.parity << ", " << s.serialId << ", " << s.line << ", " << s.protocol << ", "
              << s.profibusId << ", " << s.profibusBaud << ", " << s.in << ", " << s.out << "}";
}

Shown shownIn(const TFpargen& w) {
    std::string protocol = "none";
    for (QRadioButton* button : {w.RB_Ser_MRTU, w.RB_Ser_MASC, w.RB_Ser_JBUS, w.RB_Ser_BIN, w.RB_Ser_ASC}) {
        if (button->isChecked()) protocol = button->text().toStdString();
    }
    return {w.CB_Ser_Baud->currentIndex(),
            w.CB_Ser_Par->currentIndex(),
            w.E_Ser_ID->text().toStdString(),
            w.RB_Ser_485->isChecked() ? "RS485" : (w.RB_Ser_232->isChecked() ? "RS232" : "none"),
            protocol,
            w.E_Pro_ID->text().toStdString(),
            w.CB_Pro_Baud->currentIndex(),
            w.E_PRo_IN->text().toStdString(),
            w.E_PRo_Out->text().toStdString()};
}

const Shown kDefaults{7, 0, "1", "RS485", "Modbus RTU", "1", 10, "244", "244"};

class CommunicationWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
    }
    std::string pargenPath() { return m_program / "PROJECTS/Plant1/pargen.xml"; }
    TFpargen& window() { return *m_forms->window<documents::TFpargen>(); }

    // Opens the window with "Set Communication" and runs action on it; answers the dialog result.
    template <class Action>
    int open(Action action) {
        return pressAndAct<TFpargen>(mainWindow().btn_Prm_Gen, action);
    }
};

TEST_F(CommunicationWindow, ControlsAsLaidOut) {
    TFpargen& w = window();
    EXPECT_EQ(w.windowTitle().toStdString(), "SET COMMUNICATION");
    EXPECT_EQ(w.GroupBox2->title().toStdString(), " Serial ");
    EXPECT_EQ(w.GroupBox4->title().toStdString(), " Protocol ");
    EXPECT_EQ(w.GroupBox1->title().toStdString(), " ProfiBUS");
    auto items = [](const QComboBox* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i) texts.push_back(list->itemText(i).toStdString());
        return texts;
    };
    EXPECT_EQ(items(w.CB_Ser_Baud),
              (std::vector<std::string>{"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
    EXPECT_EQ(items(w.CB_Ser_Par), (std::vector<std::string>{"NONE", "EVEN", "ODD"}));
    EXPECT_EQ(items(w.CB_Pro_Baud), (std::vector<std::string>{"9600", "19200", "45.45K", "93.75K", "187.5K", "500K",
                                                              "1.5M", "3.0M", "6.0M", "12M", "Auto Baudrate"}));
    EXPECT_FALSE(w.CB_Pro_Baud->isEnabled());
    EXPECT_TRUE(w.GroupBox4->isAncestorOf(w.RB_Ser_ASC));
    EXPECT_TRUE(w.GroupBox2->isAncestorOf(w.E_Ser_ID));
    EXPECT_TRUE(w.GroupBox1->isAncestorOf(w.E_PRo_Out));
    EXPECT_EQ(w.bitbtn1->text().toStdString(), "OK");
    EXPECT_EQ(w.bitbtn2->text().toStdString(), "Cancel");

    // Radio buttons of one group clear each other.
    w.RB_Ser_232->setChecked(true);
    EXPECT_FALSE(w.RB_Ser_485->isChecked());
    w.RB_Ser_JBUS->setChecked(true);
    EXPECT_FALSE(w.RB_Ser_MRTU->isChecked());
    EXPECT_TRUE(w.RB_Ser_232->isChecked()) << "the two groups are independent";
}

TEST_F(CommunicationWindow, NewProjectShowsTheDefaultsAndOkWritesThem) {
    Shown seen{};
    EXPECT_EQ(open([&](TFpargen& w) {
                  seen = shownIn(w);
                  w.bitbtn2->click();
              }),
              QDialog::Rejected);
    EXPECT_EQ(seen, kDefaults);
    EXPECT_FALSE(fs::exists(pargenPath())) << "Cancel writes nothing";

    EXPECT_EQ(open([](TFpargen& w) { QTest::mouseClick(w.bitbtn1, Qt::LeftButton); }), QDialog::Accepted);
    EXPECT_EQ(readFile(pargenPath()), kDefaultFile);
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

TEST_F(CommunicationWindow, EditedValuesAreSavedVerbatim) {
    open([](TFpargen& w) {
        w.CB_Ser_Baud->setCurrentIndex(3);
        w.CB_Ser_Par->setCurrentIndex(2);
        w.E_Ser_ID->setText(QStringLiteral(" 20"));
        w.RB_Ser_232->setChecked(true);
        w.RB_Ser_BIN->setChecked(true);
        w.E_Pro_ID->setText(QStringLiteral("$7D"));
        w.E_PRo_IN->setText(QStringLiteral("0"));
        w.E_PRo_Out->setText(QStringLiteral("x10"));
        w.bitbtn1->click();
    });
    EXPECT_EQ(readFile(pargenPath()),
              pargen("<Ser_Baud>3</Ser_Baud><Ser_Par>2</Ser_Par><Ser_ID> 20</Ser_ID><Ser_Type>0</Ser_Type>"
                     "<Ser_Prot>3</Ser_Prot><Profi_ID>$7D</Profi_ID><Profi_Baud>10</Profi_Baud>"
                     "<Profi_NB_IN>0</Profi_NB_IN><Profi_NB_OUT>x10</Profi_NB_OUT>"));
    // Cancelled edits never reach the next showing.
    Shown seen{};
    open([&](TFpargen& w) {
        w.E_Ser_ID->setText(QStringLiteral("99"));
        w.bitbtn2->click();
    });
    open([&](TFpargen& w) {
        seen = shownIn(w);
        w.bitbtn2->click();
    });
    EXPECT_EQ(seen, (Shown{3, 2, " 20", "RS232", "Binary", "$7D", 10, "0", "x10"}));
}

struct CheckCase {
    std::vector<std::array<const char*, 4>> attempts;  // serial ID, PROFIBUS ID, IN, OUT; OK pressed after each
    std::vector<std::string> messages;
    bool saved;
};

class CommunicationChecks : public CommunicationWindow, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CommunicationChecks, ShowTheFirstErrorAndStayOpen) {
    const CheckCase& c = GetParam();
    const int result = open([&](TFpargen& w) {
        for (const auto& [serial, profibus, in, out] : c.attempts) {
            w.E_Ser_ID->setText(QString::fromUtf8(serial));
            w.E_Pro_ID->setText(QString::fromUtf8(profibus));
            w.E_PRo_IN->setText(QString::fromUtf8(in));
            w.E_PRo_Out->setText(QString::fromUtf8(out));
            QTest::mouseClick(w.bitbtn1, Qt::LeftButton);
            if (!w.isVisible()) return;
            EXPECT_EQ(w.E_Ser_ID->text().toStdString(), serial) << "the user's values stay for correction";
        }
        w.bitbtn2->click();
    });
    EXPECT_EQ(shown(), c.messages);
    EXPECT_EQ(result, c.saved ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(fs::exists(pargenPath()), c.saved);
}

const std::string kSerial = "error: Error!! CANOpen address must be between 1 and 255. ";
const std::string kProfibus = "error: Error!! ProfiBus address must be between 1 and 125. ";
const std::string kIn = "error: Error!! ProfiBus N Byte IN must be between 0 and 244. ";
const std::string kOut = "error: Error!! ProfiBus N Byte OUT must be between 0 and 244. ";

INSTANTIATE_TEST_SUITE_P(
    Cases, CommunicationChecks,
    ::testing::Values(
        CheckCase{{{"0", "200", "300", "-1"}}, {kSerial}, false},
        CheckCase{{{"1", "126", "0", "0"}, {"1", "125", "0", "0"}}, {kProfibus}, true},
        CheckCase{{{"", "1", "0", "0"}, {"256", "1", "0", "0"}, {"255", "1", "0", "0"}}, {kSerial, kSerial}, true},
        CheckCase{{{"1", "1", "245", "-1"}, {"1", "1", "0", "-1"}, {"1", "1", "0", "244"}}, {kIn, kOut}, true},
        CheckCase{{{"1", "1", "244", "abc"}}, {kOut}, false}),
    [](const auto& info) {
        return testing_support::caseName(
            {{"Case", std::to_string(info.index)}, {info.param.saved ? "_Saved" : "_Refused", ""}});
    });

struct LoadCase {
    std::string file;
    Shown shown;
    std::string messageStart;  // start of the standard error shown when the window opens, or empty
    std::string savedBack;     // the file after OK, or empty when not saved
};

class CommunicationLoading : public CommunicationWindow, public ::testing::WithParamInterface<LoadCase> {};

// Loading happens over a window that showed other values before, so that
// what a failure leaves untouched can be seen.
TEST_P(CommunicationLoading, FillsTheControlsFromTheFile) {
    const LoadCase& c = GetParam();
    open([](TFpargen& w) {
        w.CB_Ser_Baud->setCurrentIndex(1);
        w.E_Ser_ID->setText(QStringLiteral("55"));
        w.RB_Ser_232->setChecked(true);
        w.RB_Ser_JBUS->setChecked(true);
        w.E_Pro_ID->setText(QStringLiteral("66"));
        w.E_PRo_IN->setText(QStringLiteral("77"));
        w.bitbtn1->click();
    });
    writeFile(pargenPath(), c.file);

    Shown seen{};
    open([&](TFpargen& w) {
        seen = shownIn(w);
        if (c.savedBack.empty()) {
            w.bitbtn2->click();
        } else {
            w.bitbtn1->click();
        }
    });
    EXPECT_EQ(seen, c.shown);
    const std::vector<std::string> messages = shown();
    if (c.messageStart.empty()) {
        EXPECT_EQ(messages, std::vector<std::string>{});
    } else {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].substr(0, c.messageStart.size()), c.messageStart);
    }
    if (!c.savedBack.empty()) {
        EXPECT_EQ(readFile(pargenPath()), c.savedBack);
    }
}

const std::string kStored =
    "<Ser_Baud>2</Ser_Baud><Ser_Par>1</Ser_Par><Ser_ID>9</Ser_ID><Ser_Type>1</Ser_Type><Ser_Prot>1</Ser_Prot>"
    "<Profi_ID>20</Profi_ID><Profi_Baud>10</Profi_Baud><Profi_NB_IN>20</Profi_NB_IN><Profi_NB_OUT>30</Profi_NB_OUT>";

INSTANTIATE_TEST_SUITE_P(
    Cases, CommunicationLoading,
    ::testing::Values(
        LoadCase{pargen(kStored), {2, 1, "9", "RS485", "Modbus ASCII", "20", 10, "20", "30"}, "", pargen(kStored)},
        // Ser_Prot 7 shows ASCII and is saved back as 4.
        LoadCase{pargen("<Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>5</Ser_Type>"
                        "<Ser_Prot>7</Ser_Prot><Profi_ID>1</Profi_ID><Profi_Baud>3</Profi_Baud>"
                        "<Profi_NB_IN>1</Profi_NB_IN><Profi_NB_OUT>2</Profi_NB_OUT>"),
                 {7, 0, "1", "RS232", "ASCII", "1", 10, "1", "2"},
                 "",
                 pargen("<Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>0</Ser_Type>"
                        "<Ser_Prot>4</Ser_Prot><Profi_ID>1</Profi_ID><Profi_Baud>10</Profi_Baud>"
                        "<Profi_NB_IN>1</Profi_NB_IN><Profi_NB_OUT>2</Profi_NB_OUT>")},
        // An index outside its list leaves the list empty; saved back as -1.
        LoadCase{pargen("<Ser_Baud>9</Ser_Baud><Ser_Par>-1</Ser_Par><Ser_ID>300</Ser_ID><Ser_Type>1</Ser_Type>"
                        "<Ser_Prot>$2</Ser_Prot>"),
                 {-1, -1, "300", "RS485", "JBUS", "1", 10, "244", "244"},
                 "",
                 ""},
        // Missing Ser_Type: the first three controls show the file, the rest what they showed.
        LoadCase{pargen("<Ser_Baud>4</Ser_Baud><Ser_Par>2</Ser_Par><Ser_ID>12</Ser_ID><Ser_Prot>3</Ser_Prot>"),
                 {4, 2, "12", "RS232", "JBUS", "66", 10, "77", "244"},
                 "standard error: Element \"Ser_Type\" not found in ",
                 ""},
        LoadCase{pargen("<Ser_Baud>4</Ser_Baud><Ser_Par>two</Ser_Par><Ser_ID>12</Ser_ID>"),
                 {4, 0, "55", "RS232", "JBUS", "66", 10, "77", "244"},
                 "standard error: 'two' is not a valid integer value",
                 ""},
        // Not well-formed: the window opens with its previous contents.
        LoadCase{"<Par_Gen><Ser_Baud>4</Ser_Baud>",
                 {1, 0, "55", "RS232", "JBUS", "66", 10, "77", "244"},
                 "standard error: ",
                 ""}),
    [](const auto& info) {
        return testing_support::caseName(
            {{"Case", std::to_string(info.index)}, {info.param.messageStart.empty() ? "_Loaded" : "_Reported", ""}});
    });

TEST_F(CommunicationWindow, DamagedFilesAreReportedWhenTheWindowOpens) {
    writeFile(pargenPath(), pargen("<Ser_Baud>4</Ser_Baud><Ser_Par>2</Ser_Par><Ser_ID>12</Ser_ID>"));
    open([](TFpargen& w) { w.bitbtn2->click(); });
    EXPECT_EQ(shown(),
              std::vector<std::string>{"standard error: Element \"Ser_Type\" not found in \"" + pargenPath() + "\""});

    writeFile(pargenPath(), "<Par_Gen><Ser_Baud>4</Ser_Baud>");
    open([](TFpargen& w) { w.bitbtn2->click(); });
    const std::vector<std::string> messages = shown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("standard error: ", 0), 0u);
    EXPECT_NE(messages[0].find("(line 1, column"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find(pargenPath()), std::string::npos) << messages[0];
}

}  // namespace

namespace {

using namespace testing_support;

class CommunicationLists : public GuiTest {};

// The item under the pointer of an open drop-down list is drawn in the
// highlight colour, so its white text stays readable (it was a white box).
TEST_F(CommunicationLists, HoveredItemOfAnOpenListIsReadable) {
    startProgramOn("Plant1");
    pressAndAct<documents::TFpargen>(mainWindow().btn_Prm_Gen, [](documents::TFpargen& w) {
        for (QComboBox* list : {w.CB_Ser_Baud, w.CB_Ser_Par}) {
            list->showPopup();
            QApplication::processEvents();
            QAbstractItemView* items = list->view();
            const QRect hovered = items->visualRect(items->model()->index(1, 0));
            QTest::mouseMove(items->viewport(), hovered.center());
            QApplication::processEvents();
            const QImage picture = items->viewport()->grab().toImage();
            int highlighted = 0;
            for (int x = hovered.left(); x <= hovered.right(); ++x) {
                if (picture.pixelColor(x, hovered.top() + 2) == ui::kAccent) ++highlighted;
            }
            EXPECT_GT(highlighted, hovered.width() / 2) << list->objectName().toStdString();
            list->hidePopup();
        }
        w.bitbtn2->click();
    });
}

}  // namespace
