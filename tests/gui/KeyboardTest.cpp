// Every dialog with the keyboard alone, with real key events: Enter (and the
// keypad Enter) presses the default button with the effect of a click,
// Escape cancels, the focus starts where the user types first and Tab moves on.

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "documents/USetVar.h"
#include "documents/Upargen.h"
#include "project/UAbout.h"
#include "project/Unewp.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"
#include "ui/LinkLabel.h"
#include "ui/UFolderChooser.h"
#include "update/UBootSer.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

class Keyboard;

// One dialog: how it is opened, where the focus starts and where one Tab
// takes it, what to type before Enter, and what Enter leaves behind.
struct DialogCase {
    std::string name;
    std::function<void(Keyboard&)> open;
    std::function<QWidget*(QDialog&)> first;
    std::function<QWidget*(QDialog&)> afterTab;
    std::function<void(QDialog&)> typeBeforeEnter;
    bool enterCloses;
    std::function<void(Keyboard&)> checkEnter;
    std::function<void(Keyboard&)> checkEscape;
};

void PrintTo(const DialogCase& c, std::ostream* out) {
    *out << c.name;
}

class Keyboard : public GuiTest, public ::testing::WithParamInterface<DialogCase> {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        fs::create_directories(m_program / "PROJECTS/Plant1/bin");
        writeFile(m_program / "Tessaro_Ru2Doror.ini", "[lastproj]\r\nprojectname=Plant1\r\n");
        startProgram();
    }

public:
    std::string path(const std::string& name) { return m_program / name; }
    app::TFTessaroneFirmWare& main() { return mainWindow(); }
    app::TForms& forms() { return *m_forms; }
    std::vector<std::string> messages() { return shown(); }

    // Opens the dialog and runs action on it once it is shown and active;
    // answers its result, or -1 when it stayed open after the action.
    int withDialog(const std::function<void(QDialog&)>& action) {
        int result = -1;
        whenModal<QDialog>([&](QDialog& dialog) {
            dialog.activateWindow();
            QApplication::processEvents();
            action(dialog);
            if (dialog.isVisible()) {
                dialog.done(QDialog::Rejected);
            } else {
                result = dialog.result();
            }
        });
        GetParam().open(*this);
        return result;
    }
};

QWidget* focused(QDialog& dialog) {
    QWidget* widget = QApplication::focusWidget();
    return widget ? widget : dialog.focusWidget();
}

void press(QDialog& dialog, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(dialog), key, modifiers);
}

TEST_P(Keyboard, EnterPressesTheDefaultButton) {
    const DialogCase& c = GetParam();
    const int result = withDialog([&](QDialog& dialog) {
        if (c.typeBeforeEnter) c.typeBeforeEnter(dialog);
        press(dialog, Qt::Key_Return);
    });
    EXPECT_EQ(result, c.enterCloses ? QDialog::Accepted : -1);
    c.checkEnter(*this);
}

TEST_P(Keyboard, KeypadEnterPressesTheDefaultButton) {
    const DialogCase& c = GetParam();
    const int result = withDialog([&](QDialog& dialog) {
        if (c.typeBeforeEnter) c.typeBeforeEnter(dialog);
        press(dialog, Qt::Key_Enter, Qt::KeypadModifier);
    });
    EXPECT_EQ(result, c.enterCloses ? QDialog::Accepted : -1);
    c.checkEnter(*this);
}

TEST_P(Keyboard, EscapeCancels) {
    const DialogCase& c = GetParam();
    const int result = withDialog([&](QDialog& dialog) {
        if (c.typeBeforeEnter) c.typeBeforeEnter(dialog);
        press(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    c.checkEscape(*this);
}

TEST_P(Keyboard, FocusStartsWhereTheUserTypesAndTabMovesOn) {
    const DialogCase& c = GetParam();
    QWidget *start = nullptr, *expectedStart = nullptr, *next = nullptr, *expectedNext = nullptr;
    withDialog([&](QDialog& dialog) {
        start = focused(dialog);
        expectedStart = c.first(dialog);
        press(dialog, Qt::Key_Tab);
        next = focused(dialog);
        expectedNext = c.afterTab(dialog);
    });
    EXPECT_EQ(start, expectedStart) << (start ? start->metaObject()->className() : "none");
    EXPECT_EQ(next, expectedNext) << (next ? next->metaObject()->className() : "none");
    messages();
}

template <class T>
T& as(QDialog& dialog) {
    return *qobject_cast<T*>(&dialog);
}

void click(QAbstractButton* button, Keyboard&) {
    button->click();
}

const std::vector<std::string> kNothing;

INSTANTIATE_TEST_SUITE_P(
    Dialogs, Keyboard,
    ::testing::Values(
        DialogCase{"NewProject", [](Keyboard& k) { click(k.main().New, k); },
                   [](QDialog& d) -> QWidget* { return as<project::TFsaveproj>(d).Edit1; },
                   [](QDialog& d) -> QWidget* { return as<project::TFsaveproj>(d).bitbtn1; },
                   [](QDialog& d) { QTest::keyClicks(as<project::TFsaveproj>(d).Edit1, "Plant2"); }, true,
                   [](Keyboard& k) {
                       EXPECT_TRUE(fs::is_directory(k.path("PROJECTS/Plant2/bin")));
                       EXPECT_EQ(k.main().workspace().ProjectName, "Plant2");
                       EXPECT_EQ(k.messages(), kNothing);
                   },
                   [](Keyboard& k) {
                       EXPECT_FALSE(fs::exists(k.path("PROJECTS/Plant2")));
                       EXPECT_EQ(k.main().workspace().ProjectName, testing_support::nativePath("/Plant1"));
                   }},
        DialogCase{"SetCommunication", [](Keyboard& k) { click(k.main().btn_Prm_Gen, k); },
                   [](QDialog& d) -> QWidget* { return as<documents::TFpargen>(d).RB_Ser_485; },
                   [](QDialog& d) -> QWidget* { return as<documents::TFpargen>(d).CB_Ser_Baud; }, nullptr, true,
                   [](Keyboard& k) {
                       EXPECT_TRUE(fs::exists(k.path("PROJECTS/Plant1/pargen.xml")));
                       EXPECT_EQ(k.messages(), kNothing);
                   },
                   [](Keyboard& k) { EXPECT_FALSE(fs::exists(k.path("PROJECTS/Plant1/pargen.xml"))); }},
        DialogCase{"SetAccess", [](Keyboard& k) { click(k.main().btn_Sdo, k); },
                   [](QDialog& d) -> QWidget* {
                       auto& w = as<documents::TFSetVar>(d);
                       EXPECT_EQ(w.sga->currentIndex(), w.sga->model()->index(0, 1)) << "the first cell";
                       return w.sga;
                   },
                   [](QDialog& d) -> QWidget* {
                       auto& w = as<documents::TFSetVar>(d);
                       EXPECT_EQ(w.sga->currentIndex(), w.sga->model()->index(0, 2)) << "Tab moves to the next cell";
                       return w.sga;
                   },
                   // The focus is in the grid, which keeps Enter: the window stays open.
                   nullptr, false,
                   [](Keyboard& k) {
                       EXPECT_FALSE(fs::exists(k.path("PROJECTS/Plant1/sdo.xml")));
                       EXPECT_EQ(k.messages(), kNothing);
                   },
                   [](Keyboard& k) { EXPECT_FALSE(fs::exists(k.path("PROJECTS/Plant1/sdo.xml"))); }},
        DialogCase{"About", [](Keyboard& k) { click(k.main().about, k); },
                   [](QDialog& d) -> QWidget* { return as<project::TFAbout>(d).LbButton1; },
                   [](QDialog& d) -> QWidget* { return as<project::TFAbout>(d).Label4; }, nullptr, true,
                   [](Keyboard& k) { EXPECT_EQ(k.messages(), kNothing); },
                   [](Keyboard& k) { EXPECT_EQ(k.messages(), kNothing); }},
        // Next is the default of the steps page; without a tested port it refuses.
        DialogCase{"UpdateWizard", [](Keyboard& k) { k.forms().window<update::TFBootSer>()->exec(); },
                   [](QDialog& d) -> QWidget* { return as<update::TFBootSer>(d).CB_Com; },
                   [](QDialog& d) -> QWidget* { return as<update::TFBootSer>(d).LbButton5; }, nullptr, false,
                   [](Keyboard& k) { EXPECT_EQ(k.messages(), std::vector<std::string>{"error: Select one port."}); },
                   [](Keyboard& k) { EXPECT_EQ(k.messages(), kNothing); }},
        DialogCase{"FolderChooser",
                   [](Keyboard& k) {
                       ui::TFFolderChooser chooser(&k.main(), QStringLiteral("Select directory of project"),
                                                   QString::fromStdString(k.path("PROJECTS")),
                                                   QString::fromStdString(k.path("PROJECTS/Plant1")));
                       chooser.exec();
                       if (chooser.result() == QDialog::Accepted) {
                           EXPECT_EQ(chooser.selectedFolder().toStdString(), k.path("PROJECTS/Plant1"));
                       }
                   },
                   [](QDialog& d) -> QWidget* { return qobject_cast<ui::TFFolderChooser*>(&d)->tree(); },
                   [](QDialog& d) -> QWidget* { return qobject_cast<ui::TFFolderChooser*>(&d)->okButton(); }, nullptr,
                   true, [](Keyboard& k) { EXPECT_EQ(k.messages(), kNothing); },
                   [](Keyboard& k) { EXPECT_EQ(k.messages(), kNothing); }}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return info.param.name; });

}  // namespace
