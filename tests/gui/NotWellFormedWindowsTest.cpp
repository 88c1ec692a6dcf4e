// Every window that loads a project document refuses one that is not
// well-formed: it reports the parser's description in the standard error box
// and writes nothing.

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <filesystem>

#include "documents/USetVar.h"
#include "documents/Upargen.h"
#include "support/GuiTest.h"
#include "support/NotWellFormed.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"
#include "update/UBootSer.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

class NotWellFormedInWindows : public GuiTest, public ::testing::WithParamInterface<NotWellFormed> {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
        writeFile(project("bin/bank.bin"), "earlier");
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }
    std::string expected(const std::string& name) {
        return "standard error: " + std::string(GetParam().message) + " in \"" + project(name) + "\"";
    }
};

TEST_P(NotWellFormedInWindows, PargenIsRefusedEverywhere) {
    writeFile(project("pargen.xml"), GetParam().text);

    // SET COMMUNICATION opens with what it showed before; Cancel writes nothing.
    std::string serialId;
    pressAndAct<documents::TFpargen>(mainWindow().btn_Prm_Gen, [&](documents::TFpargen& w) {
        serialId = w.E_Ser_ID->text().toStdString();
        w.bitbtn2->click();
    });
    EXPECT_EQ(serialId, "1");
    EXPECT_EQ(shown(), std::vector<std::string>{expected("pargen.xml")});

    // Set Access cannot read the area sizes.
    pressAndAct<documents::TFSetVar>(mainWindow().btn_Sdo, [](documents::TFSetVar& w) { w.bitbtn2->click(); });
    EXPECT_EQ(shown(), std::vector<std::string>{expected("pargen.xml")});

    // Update Device builds no image and shows no wizard.
    EXPECT_FALSE(updateDevice());
    EXPECT_EQ(shown(), std::vector<std::string>{expected("pargen.xml")});

    // The GSD file is not written.
    ui::Dialogs::queueAnswer(QString::fromStdString(project("device.gsd")));
    mainWindow().btn_Gds->click();
    EXPECT_EQ(shown(), (std::vector<std::string>{"save file: ", expected("pargen.xml")}));

    EXPECT_EQ(readFile(project("pargen.xml")), GetParam().text);
    EXPECT_EQ(readFile(project("bin/bank.bin")), "earlier");
    EXPECT_FALSE(fs::exists(project("device.gsd")));
    EXPECT_FALSE(fs::exists(project("sdo.xml")));
}

TEST_P(NotWellFormedInWindows, SdoIsRefusedEverywhere) {
    writeFile(project("sdo.xml"), GetParam().text);

    // Set Access opens with empty grids; Cancel writes nothing.
    std::string firstAddress = "not shown";
    pressAndAct<documents::TFSetVar>(mainWindow().btn_Sdo, [&](documents::TFSetVar& w) {
        firstAddress = w.sga->cell(0, 1).toStdString();
        w.bitbtn2->click();
    });
    EXPECT_EQ(firstAddress, "");
    EXPECT_EQ(shown(), std::vector<std::string>{expected("sdo.xml")});

    EXPECT_FALSE(updateDevice());
    EXPECT_EQ(shown(), std::vector<std::string>{expected("sdo.xml")});

    EXPECT_EQ(readFile(project("sdo.xml")), GetParam().text);
    EXPECT_EQ(readFile(project("bin/bank.bin")), "earlier");
    EXPECT_FALSE(fs::exists(project("pargen.xml")));
}

INSTANTIATE_TEST_SUITE_P(Table, NotWellFormedInWindows, ::testing::ValuesIn(notWellFormedDocuments()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
