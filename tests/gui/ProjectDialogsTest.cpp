#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "project/Unewp.h"
#include "support/CaseNames.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/UFolderChooser.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const std::string kPrefix = "www.orvenna.example Tessaro TK48213 PROFIBUS s / Modbus s :";

class ProjectDialogs : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        fs::create_directories(m_program / "PROJECTS/Area/Line2/Cell3");
        startProgramOn("Plant1");
    }
    std::string title() { return mainWindow().windowTitle().toStdString(); }

    // New project with the names typed one after the other, each confirmed
    // with OK; Cancel afterwards when the dialog is still open.
    int newProject(const std::vector<std::string>& names, std::vector<bool>* stayedOpen = nullptr) {
        whenModal<project::TFsaveproj>([&](project::TFsaveproj& dialog) {
            EXPECT_EQ(dialog.windowTitle().toStdString(), "New project");
            EXPECT_TRUE(dialog.Label1->isVisible());
            EXPECT_EQ(dialog.Edit1->text().toStdString(), "") << "the field is emptied at every show";
            EXPECT_EQ(dialog.focusWidget(), dialog.Edit1);
            for (const std::string& name : names) {
                dialog.Edit1->setText(QString::fromStdString(name));
                QTest::mouseClick(dialog.bitbtn1, Qt::LeftButton);
                if (stayedOpen) stayedOpen->push_back(dialog.isVisible());
                if (!dialog.isVisible()) return;
                EXPECT_EQ(dialog.Edit1->text().toStdString(), name) << "the typed text stays for correction";
            }
            QTest::mouseClick(dialog.bitbtn2, Qt::LeftButton);
        });
        mainWindow().New->click();
        return 0;
    }
};

TEST_F(ProjectDialogs, NewProjectMakesTheFolderAndTheTitle) {
    newProject({"Plant2"});
    EXPECT_TRUE(fs::is_directory(m_program / "PROJECTS/Plant2/bin"));
    EXPECT_EQ(workspace().ProjectName, "Plant2");
    EXPECT_EQ(workspace().ProjectDir, m_program / "PROJECTS/Plant2");
    EXPECT_EQ(workspace().SdoPath, m_program / "PROJECTS/Plant2/sdo.xml");
    EXPECT_EQ(title(), kPrefix + "Plant2");
    EXPECT_EQ(mainWindow().OpenExcel.initialFolder.toStdString(), m_program / "PROJECTS/Plant2");
    EXPECT_EQ(shown(), std::vector<std::string>{});

    mainWindow().close();
    EXPECT_EQ(readFile(m_program / "Tessaro_Ru2Doror.ini"), "[lastproj]\r\nprojectname=Plant2\r\n");
    // The next start adds the separator and opens the folder.
    m_forms.reset();
    startProgram();
    EXPECT_EQ(workspace().ProjectName, nativePath("/Plant2"));
    EXPECT_EQ(title(), kPrefix + nativePath("/Plant2"));
}

TEST_F(ProjectDialogs, NewProjectRefusalsKeepTheDialogOpen) {
    std::vector<bool> stayedOpen;
    newProject({"", "Plant1", "../Escape", "a/b", "..", "Fixed"}, &stayedOpen);
    EXPECT_EQ(stayedOpen, (std::vector<bool>{true, true, true, true, true, false}));
    EXPECT_EQ(shown(),
              (std::vector<std::string>{"information: Name project not valid",
                                        "information: Name project not valid because directory already exists",
                                        "information: Name project not valid", "information: Name project not valid",
                                        "information: Name project not valid"}));
    EXPECT_FALSE(fs::exists(m_program / "Escape"));
    EXPECT_FALSE(fs::exists(m_program / "PROJECTS/a"));
    EXPECT_TRUE(fs::is_directory(m_program / "PROJECTS/Fixed/bin"));
    EXPECT_EQ(title(), kPrefix + "Fixed");
}

TEST_F(ProjectDialogs, NewProjectCancelKeepsTheProjectButChangesTheTitle) {
    std::vector<bool> stayedOpen;
    newProject({""}, &stayedOpen);
    EXPECT_EQ(stayedOpen, std::vector<bool>{true});
    EXPECT_EQ(shown(), std::vector<std::string>{"information: Name project not valid"});
    EXPECT_EQ(title(), kPrefix);
    EXPECT_EQ(workspace().ProjectName, nativePath("/Plant1"));
    EXPECT_EQ(workspace().ProjectDir, m_program / "PROJECTS/Plant1");
}

TEST_F(ProjectDialogs, NewProjectWithoutDestinationShowsBothMessages) {
    project::TFsaveproj& dialog = *m_forms->window<project::TFsaveproj>();
    whenModal<project::TFsaveproj>([&](project::TFsaveproj& shownDialog) {
        shownDialog.BitBtn1Click();
        EXPECT_TRUE(shownDialog.isVisible());
        shownDialog.BitBtn2Click();
    });
    EXPECT_EQ(dialog.askNewProject(""), std::nullopt);
    EXPECT_EQ(shown(), (std::vector<std::string>{"information: directory destination not valid",
                                                 "information: Name project not valid"}));
}

TEST_F(ProjectDialogs, NewProjectFolderTheSystemRefusesGivesNoMessage) {
    std::vector<bool> stayedOpen;
    newProject({std::string(300, 'x')}, &stayedOpen);
    EXPECT_EQ(stayedOpen, std::vector<bool>{true});
    EXPECT_EQ(shown(), std::vector<std::string>{});
    EXPECT_EQ(workspace().ProjectName, nativePath("/Plant1"));
}

TEST_F(ProjectDialogs, TextEditModeReturnsWhatWasTyped) {
    project::TFsaveproj& dialog = *m_forms->window<project::TFsaveproj>();
    for (const std::string& typed : {std::string("Pump 1 & 2"), std::string()}) {
        whenModal<project::TFsaveproj>([&](project::TFsaveproj& shownDialog) {
            EXPECT_EQ(shownDialog.windowTitle().toStdString(), "Edit XML");
            EXPECT_FALSE(shownDialog.Label1->isVisible());
            EXPECT_EQ(shownDialog.Edit1->text().toStdString(), "old text") << "the caller's text is kept";
            shownDialog.Edit1->setText(QString::fromStdString(typed));
            QTest::mouseClick(shownDialog.bitbtn1, Qt::LeftButton);
        });
        EXPECT_EQ(dialog.editText(QStringLiteral("old text")), QString::fromStdString(typed));
    }
    // Cancel answers nothing; the next New project is a project dialog again.
    whenModal<project::TFsaveproj>([](project::TFsaveproj& shownDialog) {
        shownDialog.Edit1->setText(QStringLiteral("changed"));
        QTest::keyClick(shownDialog.Edit1, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.editText(QStringLiteral("kept")), std::nullopt);
    EXPECT_EQ(shown(), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(m_program / "PROJECTS/Pump 1 & 2"));
}

struct OpenCase {
    std::string chosen;  // below PROJECTS; "." for PROJECTS itself; empty for Cancel
    std::string projectName;
};

class OpenProject : public ProjectDialogs, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenProject, TakesTheChosenFolder) {
    const OpenCase& c = GetParam();
    const std::string projects = m_program / "PROJECTS";
    if (c.chosen.empty()) {
        ui::Dialogs::queueAnswer(std::nullopt);
    } else {
        ui::Dialogs::queueAnswer(
            QString::fromStdString(c.chosen == "." ? projects : projects + nativePath("/" + c.chosen)));
    }
    mainWindow().open->click();

    const QList<Record> records = ui::Dialogs::takeRecords();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].kind, Kind::Folder);
    EXPECT_EQ(records[0].text.toStdString(), "Select directory of project");
    EXPECT_EQ(records[0].chooser.initialFolder.toStdString(), projects);
    EXPECT_EQ(records[0].preselected.toStdString(), projects + nativePath("/Plant1"));

    EXPECT_EQ(workspace().ProjectName, c.projectName);
    EXPECT_EQ(workspace().ProjectDir, projects + c.projectName);
    EXPECT_EQ(workspace().PargenPath, projects + c.projectName + nativePath("/pargen.xml"));
    EXPECT_EQ(title(), kPrefix + c.projectName);
    EXPECT_EQ(mainWindow().OpenExcel.initialFolder.toStdString(), projects + c.projectName);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenProject,
                         ::testing::Values(OpenCase{".", ""}, OpenCase{"Plant1", nativePath("/Plant1")},
                                           OpenCase{"Area/Line2/Cell3", nativePath("/Area/Line2/Cell3")},
                                           OpenCase{"", nativePath("/Plant1")}),
                         [](const auto& info) {
                             return info.param.chosen.empty()
                                        ? std::string("Cancel")
                                        : testing_support::caseName({{"Chosen", info.param.chosen}});
                         });

TEST_F(ProjectDialogs, OpenProjectCancelAfterNewProjectAddsTheSeparator) {
    newProject({"Plant2"});
    ui::Dialogs::queueAnswer(std::nullopt);
    mainWindow().open->click();
    EXPECT_EQ(ui::Dialogs::takeRecords().at(0).preselected.toStdString(), m_program / "PROJECTS/Plant2");
    EXPECT_EQ(workspace().ProjectName, nativePath("/Plant2"));
    EXPECT_EQ(title(), kPrefix + nativePath("/Plant2"));
}

class FolderChooser : public GuiTest {};

TEST_F(FolderChooser, ShowsOnlyFoldersBelowTheRoot) {
    const std::string root = m_program / "PROJECTS";
    fs::create_directories(root + nativePath("/Plant1/bin"));
    fs::create_directories(root + nativePath("/Area/Plant2"));
    writeFile(root + nativePath("/pargen.xml"), "<Par_Gen/>");
    writeFile(root + nativePath("/Plant1/sdo.xml"), "<x/>");

    ui::TFFolderChooser chooser(nullptr, "Select directory of project", QString::fromStdString(root), QString());
    EXPECT_EQ(chooser.windowTitle().toStdString(), "Select directory of project");
    QTreeWidget* tree = chooser.tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* top = tree->topLevelItem(0);
    EXPECT_EQ(top->text(0).toStdString(), "PROJECTS");
    ASSERT_EQ(top->childCount(), 2);
    EXPECT_EQ(top->child(0)->text(0).toStdString(), "Area");
    EXPECT_EQ(top->child(1)->text(0).toStdString(), "Plant1");
    EXPECT_EQ(chooser.selectedFolder().toStdString(), "");
    EXPECT_FALSE(chooser.okButton()->isEnabled()) << "nothing to confirm yet";

    tree->setCurrentItem(top);
    EXPECT_EQ(chooser.selectedFolder().toStdString(), root) << "the root itself can be picked";
    top->child(0)->setExpanded(true);
    ASSERT_EQ(top->child(0)->childCount(), 1);
    tree->setCurrentItem(top->child(0)->child(0));
    EXPECT_EQ(chooser.selectedFolder().toStdString(), root + nativePath("/Area/Plant2"));
    EXPECT_FALSE(chooser.selectFolder(QString::fromStdString(m_program / "MASTER")));
}

TEST_F(FolderChooser, PreselectsAndConfirmsAFolderAtAnyDepth) {
    const std::string root = m_program / "PROJECTS";
    fs::create_directories(root + nativePath("/A/B/C/D"));
    ui::TFFolderChooser chooser(nullptr, "Select directory of project", QString::fromStdString(root),
                                QString::fromStdString(root + nativePath("/A/B/C")));
    EXPECT_EQ(chooser.selectedFolder().toStdString(), root + nativePath("/A/B/C"));
    whenModal<ui::TFFolderChooser>([](ui::TFFolderChooser& shownChooser) {
        EXPECT_TRUE(shownChooser.okButton()->isEnabled());
        QTest::mouseClick(shownChooser.okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(chooser.exec(), QDialog::Accepted);
    EXPECT_EQ(chooser.selectedFolder().toStdString(), root + nativePath("/A/B/C"));
}

}  // namespace
