// The one list of windows, and tessaro-window, which shows any of them.

#include <QProcess>
#include <QTest>
#include <filesystem>
#include <set>

#include "app/UProgram.h"
#include "platform/Process.h"
#include "support/GuiTest.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

class WindowList : public GuiTest {};

// Start-up creates the windows of the list, in its order, each named after
// its instance; the class names are unique, so tessaro-window and the
// dispatcher find each window by it.
TEST_F(WindowList, StartUpCreatesTheListedWindows) {
    app::TForms& forms = startProgram();
    const std::vector<app::WindowEntry>& list = app::windowList();
    ASSERT_EQ(list.size(), 16u);
    ASSERT_EQ(forms.all().size(), 16);
    std::set<QString> classes;
    for (std::size_t i = 0; i < list.size(); ++i) {
        QWidget* window = forms.all()[static_cast<int>(i)];
        const QString className = QString::fromLatin1(window->metaObject()->className());
        EXPECT_TRUE(className.endsWith(QStringLiteral("::") + list[i].className)) << className.toStdString();
        EXPECT_EQ(window->objectName(), list[i].objectName);
        EXPECT_EQ(forms.byClass(list[i].className), window);
        EXPECT_EQ(app::findWindow(list[i].className), &list[i]);
        classes.insert(list[i].className);
    }
    EXPECT_EQ(classes.size(), list.size());
    EXPECT_EQ(list.front().objectName.toStdString(), "FTessaroneFirmWare");
    EXPECT_EQ(list.back().objectName.toStdString(), "FBootSer");
    EXPECT_EQ(forms.byClass(QStringLiteral("TFNoSuchWindow")), nullptr);
    EXPECT_EQ(app::findWindow(QStringLiteral("TFNoSuchWindow")), nullptr);
}

// The program shows its main window before it creates the others, which the
// event loop's next turn after the first paint creates, all of them in order.
TEST_F(WindowList, TheOtherWindowsFollowTheMainWindowsFirstPaint) {
    const std::unique_ptr<app::TForms> forms = app::startProgram(*qApp, m_program.path());
    EXPECT_TRUE(forms->FTessaroneFirmWare->isVisible());
    EXPECT_FALSE(forms->allCreated());
    for (int turn = 0; turn < 500 && !forms->allCreated(); ++turn) QTest::qWait(10);
    ASSERT_TRUE(forms->allCreated());
    ASSERT_EQ(forms->all().size(), 16);
    for (std::size_t i = 0; i < app::windowList().size(); ++i)
        EXPECT_EQ(forms->all()[static_cast<int>(i)]->objectName(), app::windowList()[i].objectName);
    forms->FTessaroneFirmWare->close();
}

// tessaro-window runs from a program folder of its own: a copy of the
// executable in the test's folder.
class WindowTool : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(pathOf(TESSARO_WINDOW_PROGRAM), pathOf(program()));
        fs::permissions(pathOf(program()), fs::perms::owner_all);
    }
    std::unique_ptr<QProcess> start(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process->setProcessEnvironment(environment);
        process->start(QString::fromStdString(program()), arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }
    // The copy in the test's folder, named as the system runs programs.
    std::string program() const { return m_folder / (std::string("tessaro-window") + platform::kExecutableSuffix); }
    TempDir m_folder;
};

TEST_F(WindowTool, UnknownClassGivesTheUsage) {
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("TFNoSuchWindow")}, QStringList{}, QStringList{"TFAbout", "TFXML"}}) {
        const auto process = start(arguments);
        ASSERT_TRUE(process->waitForFinished(10000));
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 2);
        const std::string error = process->readAllStandardError().toStdString();
        EXPECT_NE(error.find("usage: tessaro-window CLASS"), std::string::npos) << error;
        EXPECT_NE(error.find("TFSetVar"), std::string::npos) << "the usage lists the classes";
        EXPECT_FALSE(fs::exists(m_folder / "PROJECTS")) << "nothing starts for a wrong call";
    }
}

// Every window opens and stays open until it is closed; the start-up ran in
// the tool's folder and the settings file is not written.
TEST_F(WindowTool, OpensEachWindow) {
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const app::WindowEntry& each : app::windowList()) runs.push_back(start({each.className}));
    QTest::qWait(2500);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i]->state(), QProcess::Running)
            << app::windowList()[i].className.toStdString() << ": " << runs[i]->readAllStandardError().toStdString();
        runs[i]->kill();
        runs[i]->waitForFinished(5000);
    }
    EXPECT_TRUE(fs::is_directory(m_folder / "MASTER"));
    EXPECT_TRUE(fs::is_directory(m_folder / "PROJECTS"));
    EXPECT_FALSE(fs::exists(m_folder / "Tessaro_Ru2Doror.ini"));
}

}  // namespace
