#include "support/GuiTest.h"

#include <filesystem>

#include "ui/GraphicButton.h"
#include "update/UBootSer.h"

namespace testing_support {

std::string describe(Kind kind) {
    switch (kind) {
        case Kind::Information: return "information";
        case Kind::Error: return "error";
        case Kind::StandardError: return "standard error";
        case Kind::Question: return "question";
        case Kind::OpenFile: return "open file";
        case Kind::SaveFile: return "save file";
        case Kind::Folder: return "folder";
        case Kind::Url: return "url";
    }
    return "?";
}

std::vector<std::string> describe(const QList<Record>& records) {
    std::vector<std::string> lines;
    for (const Record& record : records) lines.push_back(describe(record.kind) + ": " + record.text.toStdString());
    return lines;
}

void GuiTest::SetUp() {
    ui::Dialogs::startRecording();
    ui::Dialogs::setUnansweredHandler(
        [](const QString& what) { ADD_FAILURE() << "a chooser asked with no answer queued: " << what.toStdString(); });
}

void GuiTest::TearDown() {
    m_forms.reset();
    EXPECT_EQ(ui::Dialogs::queuedAnswers(), 0) << "answers were queued but never asked for";
    ui::Dialogs::stopRecording();
}

app::TForms& GuiTest::startProgram() {
    m_forms = std::make_unique<app::TForms>(m_program.path());
    // The wizard lists the serial devices of a folder of the test's own,
    // never those of the machine.
    std::filesystem::create_directories(m_program / "devices");
    m_forms->window<update::TFBootSer>()->DeviceFolder = m_program / "devices";
    return *m_forms;
}

app::TForms& GuiTest::startProgramOn(const std::string& project) {
    std::filesystem::create_directories(m_program / ("PROJECTS/" + project + "/bin"));
    writeFile(m_program / "Tessaro_Ru2Doror.ini", "[lastproj]\r\nprojectname=" + project + "\r\n");
    return startProgram();
}

bool GuiTest::updateDevice() {
    bool wizardShown = false;
    QTimer::singleShot(0, [&] {
        if (auto* wizard = qobject_cast<update::TFBootSer*>(QApplication::activeModalWidget())) {
            wizardShown = true;
            wizard->done(QDialog::Rejected);
        }
    });
    mainWindow().CreateBin->click();
    QApplication::processEvents();
    return wizardShown;
}

}  // namespace testing_support
