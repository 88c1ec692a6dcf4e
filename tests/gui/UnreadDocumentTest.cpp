// A window whose showing could not read its document (damaged, missing a
// part, or stopped by a damaged pargen.xml before its tables were loaded)
// asks before OK replaces that document with what it shows: No keeps the file
// and the window, Yes saves.

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <filesystem>

#include "documents/Upargen.h"
#include "platform/FileSystem.h"
#include "support/CaseNames.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const std::string kPargen =
    "<Par_Gen><Ser_Baud>4</Ser_Baud><Ser_Par>1</Ser_Par><Ser_ID>7</Ser_ID><Ser_Type>0</Ser_Type>"
    "<Ser_Prot>2</Ser_Prot><Profi_ID>5</Profi_ID><Profi_Baud>10</Profi_Baud><Profi_NB_IN>10</Profi_NB_IN>"
    "<Profi_NB_OUT>10</Profi_NB_OUT></Par_Gen>";
// The same settings after a one-tag mistake made by hand: Ser_Type is misspelt.
const std::string kPargenOneTagMistake =
    "<Par_Gen><Ser_Baud>4</Ser_Baud><Ser_Par>1</Ser_Par><Ser_ID>7</Ser_ID><Ser_Typ>0</Ser_Typ>"
    "<Ser_Prot>2</Ser_Prot><Profi_ID>5</Profi_ID><Profi_Baud>10</Profi_Baud><Profi_NB_IN>10</Profi_NB_IN>"
    "<Profi_NB_OUT>10</Profi_NB_OUT></Par_Gen>";

enum class Step { Communication, Access, PdoAccess, TranslatePdo, StorePdo, TranslateEmcy, EmcyWord };

struct UnreadCase {
    const char* name;
    Step step;
    std::string pargen;    // pargen.xml, or empty for none
    const char* document;  // the document OK replaces
    std::string text;      // its content
};

const std::vector<UnreadCase>& unreadCases() {
    static const std::vector<UnreadCase> cases = {
        {"CommunicationOneTagMistake", Step::Communication, kPargenOneTagMistake, "pargen.xml", kPargenOneTagMistake},
        {"CommunicationNotWellFormed", Step::Communication, "", "pargen.xml", "<Par_Gen><Ser_Baud>4</Par_Gen>"},
        {"AccessControlCharacter", Step::Access, kPargen, "sdo.xml",
         "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"1\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" "
         "Mnemonic=\"Tank&#1;\"/></ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>"},
        {"AccessMissingGroup", Step::Access, kPargen, "sdo.xml",
         "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"1\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" "
         "Mnemonic=\"Tank\"/></ProfiBUS_IN></Serial_to_ProfiBus>"},
        // pargen.xml stops the showing before the tables of a sound sdo.xml are read.
        {"AccessDamagedPargen", Step::Access, "<Par_Gen><Profi_NB_IN>10</Par_Gen>", "sdo.xml",
         "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"1\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" "
         "Mnemonic=\"Tank\"/></ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>"},
        {"PdoAccessDamagedPargen", Step::PdoAccess, "<Par_Gen><Profi_NB_IN>10</Par_Gen>", "pdo.xml",
         "<Profibus_to_PDO><Profibus_IN><row cobid=\"385\" dim=\"2\" add_profi=\"0\"/></Profibus_IN>"
         "<Profibus_OUT/></Profibus_to_PDO>"},
        {"PdoAccessNotWellFormed", Step::PdoAccess, kPargen, "pdo.xml", "<Profibus_to_PDO><Profibus_IN>"},
        {"TranslatePdoNotWellFormed", Step::TranslatePdo, kPargen, "rpdodef.xml", "<rpdodef><row"},
        {"StorePdoNotWellFormed", Step::StorePdo, kPargen, "sdopdo.xml", "<sdopdo><row"},
        {"TranslateEmcyNotWellFormed", Step::TranslateEmcy, kPargen, "emcydef.xml", "<emcydef><row"},
        {"EmcyWordNotWellFormed", Step::EmcyWord, kPargen, "emcyword.xml", "<emcyword><row"},
    };
    return cases;
}

QAbstractButton* okButton(QDialog& window) {
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->text() == QStringLiteral("OK") && button->isVisible()) return button;
    }
    return nullptr;
}

class UnreadDocument : public GuiTest, public ::testing::WithParamInterface<UnreadCase> {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }
    QAbstractButton* stepButton(Step step) {
        app::TFTessaroneFirmWare& w = mainWindow();
        switch (step) {
            case Step::Communication: return w.btn_Prm_Gen;
            case Step::Access: return w.btn_Sdo;
            case Step::PdoAccess: return w.Btn_SetPDO;
            case Step::TranslatePdo: return w.btn_Pdo;
            case Step::StorePdo: return w.btn_Info_Pdo;
            case Step::TranslateEmcy: return w.btn_Emcy;
            case Step::EmcyWord: return w.btn_Emcy_Wd;
        }
        return nullptr;
    }
    // The questions OK asked, in order.
    std::vector<std::string> questions() {
        std::vector<std::string> asked;
        for (const Record& record : ui::Dialogs::takeRecords()) {
            if (record.kind == Kind::Question) asked.push_back(record.text.toStdString());
        }
        return asked;
    }
};

TEST_P(UnreadDocument, OkAsksBeforeReplacingIt) {
    const UnreadCase& c = GetParam();
    if (!c.pargen.empty()) writeFile(project("pargen.xml"), c.pargen);
    writeFile(project(c.document), c.text);

    bool openAfterNo = false;
    bool openAfterYes = true;
    std::string fileAfterNo;
    const int result = pressAndAct<QDialog>(stepButton(c.step), [&](QDialog& window) {
        // Values the checks accept, so that OK comes to the question.
        if (auto* pargen = qobject_cast<documents::TFpargen*>(&window)) {
            pargen->E_Ser_ID->setText(QStringLiteral("7"));
            pargen->E_Pro_ID->setText(QStringLiteral("5"));
            pargen->E_PRo_IN->setText(QStringLiteral("10"));
            pargen->E_PRo_Out->setText(QStringLiteral("10"));
        }
        QAbstractButton* ok = okButton(window);
        ASSERT_NE(ok, nullptr);
        ui::Dialogs::queueQuestionAnswer(false);
        ok->click();
        openAfterNo = window.isVisible();
        fileAfterNo = readFile(project(c.document));
        ui::Dialogs::queueQuestionAnswer(true);
        ok->click();
        openAfterYes = window.isVisible();
        if (openAfterYes) window.done(QDialog::Rejected);
    });
    EXPECT_TRUE(openAfterNo) << "No keeps the window open";
    EXPECT_EQ(fileAfterNo, c.text) << "No keeps the file";
    EXPECT_FALSE(openAfterYes) << "Yes saves and closes";
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_NE(readFile(project(c.document)), c.text) << "Yes saves what the window shows";

    const std::vector<std::string> asked = questions();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], asked[1]);
    const std::string start = platform::joinPath(workspace().ProjectDir, c.document) + " could not be read: ";
    const std::string end = ". Saving replaces it with what the window shows. Save anyway?";
    EXPECT_EQ(asked[0].substr(0, start.size()), start) << asked[0];
    ASSERT_GT(asked[0].size(), start.size() + end.size()) << "the question says why";
    EXPECT_EQ(asked[0].substr(asked[0].size() - end.size()), end) << asked[0];
}

INSTANTIATE_TEST_SUITE_P(Cases, UnreadDocument, ::testing::ValuesIn(unreadCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The showing's own report stays, and the question quotes it.
TEST_F(UnreadDocument, CommunicationKeepsItsReportAndQuotesIt) {
    writeFile(project("pargen.xml"), kPargenOneTagMistake);
    pressAndAct<documents::TFpargen>(mainWindow().btn_Prm_Gen, [&](documents::TFpargen& window) {
        ui::Dialogs::queueQuestionAnswer(false);
        window.bitbtn1->click();
        window.bitbtn2->click();
    });
    const std::vector<std::string> records = shown();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].substr(0, 16), "standard error: ");
    const std::string report = records[0].substr(16);
    EXPECT_EQ(records[1], "question: " + workspace().PargenPath + " could not be read: " + report +
                              ". Saving replaces it with what the window shows. Save anyway?");
    EXPECT_EQ(readFile(project("pargen.xml")), kPargenOneTagMistake);
}

// A document that is missing, or that was read whole, is saved without a question.
TEST_F(UnreadDocument, NoQuestionWhenTheShowingReadEverything) {
    writeFile(project("pargen.xml"), kPargen);
    for (const bool present : {true, false}) {
        if (!present) fs::remove(project("pargen.xml"));
        const int result = pressAndAct<documents::TFpargen>(
            mainWindow().btn_Prm_Gen, [](documents::TFpargen& window) { window.bitbtn1->click(); });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(shown(), std::vector<std::string>{});
    }
    EXPECT_TRUE(fs::exists(project("pargen.xml")));
}

}  // namespace
