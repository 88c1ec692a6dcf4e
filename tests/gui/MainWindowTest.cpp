#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "documents/Upargen.h"
#include "project/UAbout.h"
#include "project/Unewp.h"
#include "support/CaseNames.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/LinkLabel.h"
#include "workspace/Vendor.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const std::string kInitial = "www.orvenna.example Tessaro TK48212 PROFIBUS s / Modbus s :";
const std::string kPrefix = "www.orvenna.example Tessaro TK48213 PROFIBUS s / Modbus s :";

class MainWindow : public GuiTest {
protected:
    std::string title() { return mainWindow().windowTitle().toStdString(); }
    std::string settings() { return readFile(m_program / "Tessaro_Ru2Doror.ini"); }
    void remember(const std::string& name) {
        writeFile(m_program / "Tessaro_Ru2Doror.ini", "[lastproj]\r\nprojectname=" + name + "\r\n");
    }
    // Presses a button and answers the class name of the modal window it showed.
    std::string windowOpenedBy(QAbstractButton* button) {
        std::string opened = "none";
        QTimer::singleShot(0, [&] {
            if (auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = window->metaObject()->className();
                window->done(QDialog::Rejected);
            }
        });
        mainWindow().btn_str_lng1aClick(button);
        QApplication::processEvents();  // runs the timer out when nothing was shown
        return opened;
    }
};

TEST_F(MainWindow, CreatesEveryWindowOnceInOrder) {
    app::TForms& forms = startProgram();
    std::vector<std::pair<std::string, std::string>> windows;
    for (QWidget* window : forms.all()) {
        windows.emplace_back(window->metaObject()->className(), window->windowTitle().toStdString());
        EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
    }
    const std::vector<std::pair<std::string, std::string>> expected{
        {"app::TFTessaroneFirmWare", kInitial},
        {"project::TFsaveproj", "New project"},
        {"tools::TFHelp", "Help"},
        {"project::TFAbout", "About..."},
        {"tools::TFSELstringhe", "Select String"},
        {"firmware::TFModifyFileSx", "Generate Firmware"},
        {"documents::TFpargen", "SET COMMUNICATION"},
        {"canopen::TFsdo", "Set SDO Access"},
        {"canopen::TFpdo", "Define Traslate PDO"},
        {"canopen::TFemcy", "Set Traslate EMCY"},
        {"canopen::TFWemcy", "Define EMCY Word"},
        {"xmltools::TFXML", "XML Reader & Writer"},
        {"canopen::TFInfopdo", "Define Store PDO"},
        {"documents::TFSetVar", "Set Access"},
        {"canopen::TFSetPdo", "Set PDO Access"},
        {"update::TFBootSer", "Update Firmware from Serial (RS232)"}};
    EXPECT_EQ(windows, expected);
}

TEST_F(MainWindow, ControlsHaveTheirCaptionsAndVisibility) {
    startProgram();
    app::TFTessaroneFirmWare& w = mainWindow();
    w.show();
    const std::vector<std::tuple<QAbstractButton*, std::string, bool>> buttons{
        {w.New, "New project", true},
        {w.open, "Open project", true},
        {w.btn_Prm_Gen, "Set Communication", true},
        {w.btn_Sdo, "Set Access ", true},
        {w.btn_Gds, "GDS File", true},
        {w.CreateBin, "Update Device", true},
        {w.about, "About", true},
        {w.LbButton1, "X", true},
        {w.CreateSx, "Generate Firmware", false},
        {w.btn_Pdo, "Set Traslate PDO", false},
        {w.btn_Info_Pdo, "Define store PDO", false},
        {w.btn_Emcy, "Set Traslate EMCY", false},
        {w.btn_Emcy_Wd, "Define EMCY Word", false},
        {w.Btn_SetPDO, "Set PDO Access ", false}};
    for (const auto& [button, caption, visible] : buttons) {
        EXPECT_EQ(button->text().toStdString(), caption);
        EXPECT_EQ(button->isVisible(), visible) << caption;
    }
    const std::vector<QLabel*> steps{w.Label2, w.Label3, w.Label4, w.Label5, w.Label6};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(steps[i]->text().toStdString(), "Step " + std::to_string(i + 1));
        // each step label stands on the row of its step's button
        EXPECT_LT(steps[i]->x(), w.New->x());
    }
    EXPECT_NEAR(w.Label3->geometry().center().y(), w.btn_Prm_Gen->geometry().center().y(), 2);
    EXPECT_NEAR(w.Label6->geometry().center().y(), w.CreateBin->geometry().center().y(), 2);
    EXPECT_EQ(w.Label1->text().toStdString(), "www.orvenna.example");
    EXPECT_EQ(w.Label1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "the main window has a fixed size";
    EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
}

// A first start sets no project: the step windows refuse until one is made
// or opened, so that no document is written into PROJECTS itself.
TEST_F(MainWindow, FirstStartSetsNoProject) {
    startProgram();
    EXPECT_TRUE(fs::is_directory(m_program / "MASTER"));
    EXPECT_TRUE(fs::is_directory(m_program / "PROJECTS"));
    EXPECT_EQ(workspace().ProjectDir, "");
    EXPECT_EQ(workspace().ProjectName, "");
    EXPECT_EQ(title(), kInitial);
    EXPECT_EQ(mainWindow().OpenExcel.filter.toStdString(), "File EXCEL (*.xls *.xlsx *.ods)");
    EXPECT_EQ(windowOpenedBy(mainWindow().btn_Prm_Gen), "none");
    EXPECT_EQ(shown(), std::vector<std::string>{"information: Project not valid"});

    mainWindow().close();
    EXPECT_EQ(settings(), "[lastproj]\r\nprojectname=\r\n");
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

// Every file below the program's parent folder, for checking what a run wrote.
std::vector<std::string> filesBelow(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), folder).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A settings file edited by hand names no folder below PROJECTS:
// SET COMMUNICATION and Update Device refuse, and no file is written
// anywhere, neither above PROJECTS, nor in the program folder, nor in
// PROJECTS itself.
class MainWindowHostileSettings : public MainWindow, public ::testing::WithParamInterface<std::string> {};

TEST_P(MainWindowHostileSettings, SetsNoProjectAndWritesNothing) {
    fs::create_directories(m_program / "PROJECTS/Plant1/bin");
    fs::create_directories(m_program / "PROJECTS/Area/Plant2/bin");
    remember(GetParam());
    startProgram();
    EXPECT_EQ(workspace().ProjectDir, "");
    const std::vector<std::string> before = filesBelow(m_program.path());

    // Whatever window opens is confirmed with OK, as a user would.
    std::string opened = "none";
    const auto confirmWhatOpens = [&opened] {
        QTimer::singleShot(0, [&opened] {
            if (auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = window->metaObject()->className();
                if (auto* pargen = qobject_cast<documents::TFpargen*>(window)) pargen->bitbtn1->click();
                if (window->isVisible()) window->done(QDialog::Rejected);
            }
        });
    };
    confirmWhatOpens();
    mainWindow().btn_Prm_Gen->click();
    QApplication::processEvents();
    EXPECT_EQ(opened, "none");
    EXPECT_EQ(shown(), std::vector<std::string>{"information: Project not valid"});

    confirmWhatOpens();
    mainWindow().CreateBin->click();
    QApplication::processEvents();
    EXPECT_EQ(opened, "none");
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: Project not valid"});
    EXPECT_EQ(filesBelow(m_program.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Names, MainWindowHostileSettings,
    ::testing::Values("", ".", "..", "/", "\\", "../MASTER", "..\\MASTER", "/../MASTER", "Plant1/..", "Area/../Plant1",
                      "Area//Plant2", "Unknown"),
    [](const auto& info) {
        return testing_support::caseName({{"Case", std::to_string(info.index)}, {"_Stored", info.param}});
    });

struct RememberedCase {
    std::string stored;
    std::string folder;  // made below PROJECTS, or empty
    std::string title;
    std::string writtenBack;
};

class MainWindowRemembered : public MainWindow, public ::testing::WithParamInterface<RememberedCase> {};

TEST_P(MainWindowRemembered, TitleAndSettingsFollowTheRememberedProject) {
    const RememberedCase& c = GetParam();
    if (!c.folder.empty()) fs::create_directories(m_program / ("PROJECTS/" + c.folder));
    remember(c.stored);
    startProgram();
    EXPECT_EQ(title(), c.title);
    mainWindow().close();
    EXPECT_EQ(settings(), "[lastproj]\r\nprojectname=" + c.writtenBack + "\r\n");
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MainWindowRemembered,
    // The program keeps the project name with the platform's separator.
    ::testing::Values(RememberedCase{"Plant1", "Plant1", kPrefix + nativePath("/Plant1"), nativePath("/Plant1")},
                      RememberedCase{"/Plant1", "Plant1", kPrefix + nativePath("/Plant1"), nativePath("/Plant1")},
                      RememberedCase{"\\Area\\Plant1", "Area/Plant1", kPrefix + nativePath("/Area/Plant1"),
                                     nativePath("/Area/Plant1")},
                      // the folder was deleted: no message, the name survives
                      RememberedCase{"/Plant1", "", kInitial, nativePath("/Plant1")}),
    [](const auto& info) {
        return testing_support::caseName({{"Case", std::to_string(info.index)}, {"_Stored", info.param.stored}});
    });

TEST_F(MainWindow, ProgramFolderThatCannotBeWritten) {
    // Files stand where the folders and the settings file would go, so that
    // nothing can be created even for a user who may write anywhere.
    writeFile(m_program / "MASTER", "");
    writeFile(m_program / "PROJECTS", "");
    fs::create_directory(m_program / "Tessaro_Ru2Doror.ini");
    fs::permissions(m_program.path(), fs::perms::owner_read | fs::perms::owner_exec);
    startProgram();
    EXPECT_EQ(title(), kInitial);
    EXPECT_EQ(shown(), std::vector<std::string>{}) << "start-up goes on silently";

    mainWindow().show();
    mainWindow().LbButton1->click();
    EXPECT_FALSE(mainWindow().isVisible()) << "the program still ends";
    EXPECT_EQ(shown(),
              std::vector<std::string>{"standard error: Unable to write to " + (m_program / "Tessaro_Ru2Doror.ini")});
}

TEST_F(MainWindow, DispatcherOpensEachStepWindow) {
    startProgramOn("Plant1");
    // The editors' documents, so that no showing reports a missing one.
    for (const char* document : {"emcydef", "emcyword", "rpdodef", "sdopdo"}) {
        writeFile(m_program / ("PROJECTS/Plant1/" + std::string(document) + ".xml"),
                  "<" + std::string(document) + "/>");
    }
    app::TFTessaroneFirmWare& w = mainWindow();
    const std::vector<std::pair<QAbstractButton*, std::string>> steps{
        {w.btn_Prm_Gen, "documents::TFpargen"}, {w.btn_Sdo, "documents::TFSetVar"}, {w.btn_Pdo, "canopen::TFpdo"},
        {w.btn_Info_Pdo, "canopen::TFInfopdo"}, {w.btn_Emcy, "canopen::TFemcy"},    {w.btn_Emcy_Wd, "canopen::TFWemcy"},
        {w.Btn_SetPDO, "canopen::TFSetPdo"}};
    for (const auto& [button, window] : steps) EXPECT_EQ(windowOpenedBy(button), window) << window;
    // Store PDO also reads sdo.xml for its check lists; no step here wrote one.
    EXPECT_EQ(shown(), std::vector<std::string>{"information: File SDO XML not found"});
}

TEST_F(MainWindow, StepButtonsRefuseWithoutAProject) {
    startProgramOn("Plant1");
    fs::remove_all(m_program / "PROJECTS/Plant1");
    ui::Dialogs::queueAnswer(std::nullopt);  // Open project, cancelled
    mainWindow().open->click();
    ASSERT_EQ(workspace().ProjectDir, "");
    EXPECT_EQ(title(), kPrefix);
    ui::Dialogs::takeRecords();

    app::TFTessaroneFirmWare& w = mainWindow();
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(w.btn_Prm_Gen), static_cast<QAbstractButton*>(w.btn_Sdo),
          static_cast<QAbstractButton*>(w.btn_Gds), static_cast<QAbstractButton*>(w.btn_Pdo),
          static_cast<QAbstractButton*>(w.btn_Info_Pdo), static_cast<QAbstractButton*>(w.btn_Emcy),
          static_cast<QAbstractButton*>(w.btn_Emcy_Wd), static_cast<QAbstractButton*>(w.Btn_SetPDO)}) {
        EXPECT_EQ(windowOpenedBy(button), "none");
        EXPECT_EQ(shown(), std::vector<std::string>{"information: Project not valid"}) << button->text().toStdString();
    }
}

TEST_F(MainWindow, GsdChooserStartsInTheProjectAndCancelDoesNothing) {
    fs::create_directories(m_program / "PROJECTS/Plant1");
    remember("Plant1");
    startProgram();
    ui::Dialogs::queueAnswer(std::nullopt);
    mainWindow().btn_Gds->click();
    const QList<Record> records = ui::Dialogs::takeRecords();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].kind, Kind::SaveFile);
    EXPECT_EQ(records[0].chooser.filter.toStdString(), "Generic Station Description (*.gsd)");
    EXPECT_EQ(records[0].chooser.defaultSuffix.toStdString(), "gsd");
    EXPECT_EQ(records[0].chooser.initialFolder.toStdString(), m_program / "PROJECTS/Plant1");
    EXPECT_EQ(records[0].chooser.title.toStdString(), "");
    EXPECT_EQ(fs::directory_iterator(m_program / "PROJECTS/Plant1"), fs::directory_iterator());
}

TEST_F(MainWindow, LinksOpenTheProductPage) {
    startProgram();
    mainWindow().show();
    QTest::mouseClick(mainWindow().Label1, Qt::LeftButton);
    EXPECT_EQ(shown(), std::vector<std::string>{"url: https://www.orvenna.example/HOME/default.asp?frompg=TK48213"});
}

TEST_F(MainWindow, AboutWindowShowsItsTextsAndLinks) {
    app::TForms& forms = startProgram();
    project::TFAbout& about = *forms.window<project::TFAbout>();
    const std::vector<std::pair<QLabel*, std::string>> texts{
        {about.Label1, "Software Tessaro "},   {about.Label2, "PROFIBUS Slave / Modbus Slave - Converter"},
        {about.Label6, "Software Code : "},    {about.Label9, "TK48213"},
        {about.Label3, "Version :"},           {about.Label10, "1.102"},
        {about.Label8, "Document Code :"},     {about.Label12, "DC48213"},
        {about.Label4, "www.orvenna.example"}, {about.Label5, "info@orvenna.example"}};
    for (const auto& [label, text] : texts) EXPECT_EQ(label->text().toStdString(), text);
    EXPECT_TRUE(about.Label1->font().bold());
    EXPECT_GT(about.Label1->font().pointSizeF(), about.Label2->font().pointSizeF());
    EXPECT_EQ(about.Image2->size(), QSize(81, 81));

    bool emailVisible = true;
    whenModal<project::TFAbout>([&](project::TFAbout& shownAbout) {
        emailVisible = shownAbout.Label5->isVisible();
        QTest::mouseClick(shownAbout.Image2, Qt::LeftButton);
        QTest::mouseClick(shownAbout.Label4, Qt::LeftButton);
        shownAbout.LbButton1->click();
    });
    mainWindow().about->click();
    EXPECT_FALSE(emailVisible);
    EXPECT_FALSE(about.isVisible());
    const std::string page = "url: https://www.orvenna.example/HOME/default.asp?frompg=TK48213";
    EXPECT_EQ(shown(), (std::vector<std::string>{page, page}));
}

}  // namespace

namespace {

using namespace testing_support;

class MainWindowKeys : public GuiTest {};

// The main window takes the focus when it appears; Tab walks its buttons in
// reading order, the heading's first.
TEST_F(MainWindowKeys, FocusAndTabOrder) {
    startProgram();
    app::TFTessaroneFirmWare& w = mainWindow();
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w.New);
    std::vector<QWidget*> walked;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(QApplication::focusWidget());
    }
    const std::vector<QWidget*> expected{w.open,   w.btn_Prm_Gen, w.btn_Sdo,   w.btn_Gds, w.CreateBin,
                                         w.Label1, w.about,       w.LbButton1, w.New};
    EXPECT_EQ(walked, expected);
    w.hide();
}

// A review run of one window leaves the settings file as it was.
TEST_F(MainWindowKeys, KeptSettingsFileIsNotWritten) {
    startProgram();
    mainWindow().keepSettingsFile();
    mainWindow().close();
    EXPECT_FALSE(std::filesystem::exists(m_program / "Tessaro_Ru2Doror.ini"));
}

}  // namespace
