#pragma once

// What the window tests of the CANopen editors share: a program on the project
// Plant1, the project's files, showing an editor with exec() and acting on it,
// and the user's clicks on list lines.

#include <QListWidget>
#include <QTest>
#include <string>
#include <vector>

#include "support/GuiTest.h"

namespace testing_support {

class CanopenWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }
    static std::string caseFile(const std::string& relative) { return testData("canopen/cases/" + relative); }
    static std::string golden(const std::string& relative) { return readFile(testData("canopen/windows/" + relative)); }

    // Shows the editor T as the main window does (modal, with exec()), runs
    // action on it and answers the dialog result.
    template <class T, class Action>
    int show(Action action) {
        T* window = m_forms->window<T>();
        whenModal<T>([&](T& shown) { action(shown); });
        return window->exec();
    }

    // A click on line row of list, as the user makes it.
    static void clickLine(QListWidget* list, int row) {
        const QRect line = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
    }
    static std::vector<std::string> lines(const QListWidget* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
        return texts;
    }
};

}  // namespace testing_support
