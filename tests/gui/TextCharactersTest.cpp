// A character that XML 1.0 cannot hold, typed or pasted into a text that a
// window saves, is refused at OK with a message naming the field and the row;
// the window stays open and the document is not written, so the project can
// still be opened.

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "canopen/Uemcy.h"
#include "documents/USetVar.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

struct CharacterCase {
    const char* name;
    QString text;
    const char* code;
};

QString withLoneSurrogate() {
    QString text = QStringLiteral("Tank");
    text.append(QChar(0xD800));
    return text;
}

const std::vector<CharacterCase>& characterCases() {
    static const std::vector<CharacterCase> cases = {
        {"StartOfHeading", QStringLiteral("Tank") + QChar(0x01) + QStringLiteral("level"), "U+0001"},
        {"Bell", QString(QChar(0x07)), "U+0007"},
        {"Fffe", QStringLiteral("a") + QChar(0xFFFE), "U+FFFE"},
        {"Ffff", QString(QChar(0xFFFF)), "U+FFFF"},
        {"LoneSurrogate", withLoneSurrogate(), "U+D800"},
    };
    return cases;
}

class TextCharacters : public GuiTest, public ::testing::WithParamInterface<CharacterCase> {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }
};

TEST_P(TextCharacters, MnemonicIsRefusedAtOkWithItsRowAndPage) {
    const std::string before =
        "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"1\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" "
        "Mnemonic=\"Pump\"/></ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>";
    writeFile(project("sdo.xml"), before);
    bool stayedOpen = false;
    std::string afterRefusal;
    const int result = pressAndAct<documents::TFSetVar>(mainWindow().btn_Sdo, [&](documents::TFSetVar& w) {
        for (int column = 1; column <= 3; ++column) w.Sgb->setCell(0, column, QString::number(column));
        w.Sgb->setCell(1, 1, QStringLiteral("4"));
        w.Sgb->setCell(1, 2, QStringLiteral("5"));
        w.Sgb->setCell(1, 3, QStringLiteral("6"));
        w.Sgb->setCell(1, 4, GetParam().text);
        w.bitbtn1->click();
        stayedOpen = w.isVisible();
        afterRefusal = readFile(project("sdo.xml"));
        // Corrected, the same OK saves.
        w.Sgb->setCell(1, 4, QStringLiteral("Tank level"));
        w.bitbtn1->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(afterRefusal, before);
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(shown(), std::vector<std::string>{"error: Error row 2!! [Serial Write --> ProfiBus OUT] Mnemonic holds "
                                                "the character " +
                                                std::string(GetParam().code) + ", which cannot be saved. "});
    EXPECT_NE(readFile(project("sdo.xml")).find("Mnemonic=\"Tank level\""), std::string::npos);
}

// Rows below the run are never saved, so what they hold is not checked.
TEST_F(TextCharacters, RowsBelowTheRunAreNotChecked) {
    const int result = pressAndAct<documents::TFSetVar>(mainWindow().btn_Sdo, [&](documents::TFSetVar& w) {
        w.sga->setCell(2, 4, QString(QChar(0x01)));
        w.bitbtn1->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

// The editors built on the shared form refuse through their write-out, naming
// the document's row and attribute. (Their records hold UTF-8, which has no
// lone surrogate: Qt's conversion already made it U+FFFD.)
class EmcyTextCharacters : public TextCharacters {};

TEST_P(EmcyTextCharacters, EmcyTextIsRefusedAtOk) {
    writeFile(project("emcydef.xml"), "<emcydef/>");
    bool stayedOpen = false;
    pressAndAct<canopen::TFemcy>(mainWindow().btn_Emcy, [&](canopen::TFemcy& w) {
        auto& page = w.pages[0];
        page.boxes[0]->setText(QStringLiteral("1"));
        for (std::size_t field = 1; field < page.boxes.size(); ++field) page.boxes[field]->setText(QStringLiteral("0"));
        page.boxes[1]->setText(GetParam().text);
        page.newButton->click();
        w.bitbtn1->click();
        stayedOpen = w.isVisible();
        w.bitbtn2->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(readFile(project("emcydef.xml")), "<emcydef/>");
    const std::vector<std::string> messages = shown();
    ASSERT_EQ(messages.size(), 1u);
    const std::string start = "error: Error row 1!! [emcydef] ";
    const std::string end = " holds the character " + std::string(GetParam().code) + ", which cannot be saved. ";
    EXPECT_EQ(messages[0].substr(0, start.size()), start) << messages[0];
    ASSERT_GT(messages[0].size(), end.size());
    EXPECT_EQ(messages[0].substr(messages[0].size() - end.size()), end) << messages[0];
}

INSTANTIATE_TEST_SUITE_P(Cases, TextCharacters, ::testing::ValuesIn(characterCases()),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Cases, EmcyTextCharacters,
                         ::testing::ValuesIn(characterCases().begin(), characterCases().end() - 1),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
