// The end of the Windows session closes the program's windows as the "X"
// button does, so the settings file remembers the last project. The messages
// reach the program through Qt's native event filters, as the windows
// platform hands them on.
#include <windows.h>

#include <QAbstractEventDispatcher>

#include "documents/Upargen.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/TerminationSignals.h"

namespace {

using namespace testing_support;

class SessionEnd : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ui::closeWindowsOnTerminationSignals();
        startProgramOn("Plant1");
        mainWindow().show();
        QApplication::processEvents();
    }
    // Hands a message to the native event filters as the windows platform
    // does; answers whether a filter took it, and its result.
    std::pair<bool, qintptr> send(UINT message, WPARAM wParam) {
        MSG msg{};
        msg.hwnd = reinterpret_cast<HWND>(mainWindow().winId());
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = 0;
        qintptr result = -1;
        const bool taken =
            QAbstractEventDispatcher::instance()->filterNativeEvent("windows_generic_MSG", &msg, &result);
        return {taken, result};
    }
    std::string settings() { return readFile(m_program / "Tessaro_Ru2Doror.ini"); }
    const std::string kStored = "[lastproj]\r\nprojectname=Plant1\r\n";
    const std::string kWritten = "[lastproj]\r\nprojectname=\\Plant1\r\n";
};

TEST_F(SessionEnd, TheQuestionIsAnsweredYesAndClosesNothing) {
    const auto [taken, result] = send(WM_QUERYENDSESSION, 0);
    EXPECT_TRUE(taken);
    EXPECT_EQ(result, TRUE) << "the program does not hold the session up";
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(settings(), kStored);
}

TEST_F(SessionEnd, ACancelledEndClosesNothing) {
    send(WM_ENDSESSION, FALSE);
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(settings(), kStored);
}

TEST_F(SessionEnd, TheEndClosesTheWindowsAndWritesTheSettings) {
    send(WM_ENDSESSION, TRUE);
    EXPECT_FALSE(mainWindow().isVisible());
    EXPECT_EQ(settings(), kWritten);
    EXPECT_EQ(shown(), std::vector<std::string>{});
    // Every top-level window is told; the second time there is nothing left to close.
    send(WM_ENDSESSION, TRUE);
    EXPECT_EQ(settings(), kWritten);
}

TEST_F(SessionEnd, AnOpenModalWindowClosesFirst) {
    bool modalClosed = false;
    pressAndAct<documents::TFpargen>(mainWindow().btn_Prm_Gen, [&](documents::TFpargen& w) {
        send(WM_ENDSESSION, TRUE);
        modalClosed = !w.isVisible();
    });
    EXPECT_TRUE(modalClosed);
    EXPECT_FALSE(mainWindow().isVisible());
    EXPECT_EQ(settings(), kWritten);
}

}  // namespace
