// A document the windows cannot write keeps its file and its window. The write
// failure is a real one: the system's limit on the size of the files this
// process writes (POSIX only; Windows has no such limit).
#include <QLineEdit>
#include <array>

#include "documents/USetVar.h"
#include "documents/Upargen.h"
#include "support/FileSizeLimit.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"

namespace {

using namespace testing_support;
using documents::TFpargen;
using documents::TFSetVar;

class WriteFailure : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }
};

TEST_F(WriteFailure, AccessWindowKeepsTheFileAndTheWindow) {
    const std::string stored =
        "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"1\" Add_Profi_Hi=\"2\" Add_Profi_Lo=\"3\" "
        "Mnemonic=\"A\"/></ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>";
    writeFile(project("sdo.xml"), stored);
    bool stayedOpen = false;
    pressAndAct<TFSetVar>(mainWindow().btn_Sdo, [&](TFSetVar& w) {
        const std::array<const char*, 4> cells = {"4", "5", "6", "B"};
        for (int column = 1; column <= 4; ++column)
            w.sga->setCell(1, column, QString::fromUtf8(cells[static_cast<std::size_t>(column - 1)]));
        {
            FileSizeLimit tooSmall;
            w.bitbtn1->click();
        }
        stayedOpen = w.isVisible();
        w.bitbtn2->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(readFile(project("sdo.xml")), stored);
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: Cannot create file \"" + project("sdo.xml") +
                                                "\". File too large"});
}

TEST_F(WriteFailure, CommunicationWindowKeepsTheFileAndTheWindow) {
    const std::string stored =
        "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>1</Ser_Type>"
        "<Ser_Prot>0</Ser_Prot><Profi_ID>1</Profi_ID><Profi_Baud>10</Profi_Baud><Profi_NB_IN>244</Profi_NB_IN>"
        "<Profi_NB_OUT>244</Profi_NB_OUT></Par_Gen>";
    writeFile(project("pargen.xml"), stored);
    bool stayedOpen = false;
    pressAndAct<TFpargen>(mainWindow().btn_Prm_Gen, [&](TFpargen& w) {
        w.E_Ser_ID->setText(QStringLiteral("2"));
        {
            FileSizeLimit tooSmall;
            w.bitbtn1->click();
        }
        stayedOpen = w.isVisible();
        w.bitbtn2->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(readFile(project("pargen.xml")), stored);
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: Cannot create file \"" + project("pargen.xml") +
                                                "\". File too large"});
}

}  // namespace
