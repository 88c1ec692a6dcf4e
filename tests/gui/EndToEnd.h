#pragma once

// The program driven step by step as a user goes: new project, communication,
// access, GSD file, update device.

#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <initializer_list>

#include "documents/USetVar.h"
#include "documents/Upargen.h"
#include "project/Unewp.h"
#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/Grid.h"
#include "update/UBootSer.h"

namespace testing_support {

inline std::string bytes(std::initializer_list<unsigned> values) {
    std::string text;
    for (unsigned value : values) text.push_back(static_cast<char>(value));
    return text;
}

class EndToEnd : public GuiTest {
protected:
    std::string projectFile(const std::string& name) { return workspace().ProjectDir + nativePath("/" + name); }

    void makeProject() {
        whenModal<project::TFsaveproj>([](project::TFsaveproj& dialog) {
            dialog.Edit1->setText(QStringLiteral("Plant2"));
            QTest::mouseClick(dialog.bitbtn1, Qt::LeftButton);
        });
        mainWindow().New->click();
        whenModal<documents::TFpargen>([](documents::TFpargen& w) {
            w.E_Pro_ID->setText(QStringLiteral("20"));
            w.E_PRo_IN->setText(QStringLiteral("20"));
            w.E_PRo_Out->setText(QStringLiteral("100"));
            QTest::mouseClick(w.bitbtn1, Qt::LeftButton);
        });
        mainWindow().btn_Prm_Gen->click();
        whenModal<documents::TFSetVar>([](documents::TFSetVar& w) {
            w.sga->setCell(0, 1, QStringLiteral("100"));
            w.sga->setCell(0, 2, QStringLiteral("0"));
            w.sga->setCell(0, 3, QStringLiteral("1"));
            w.sga->setCell(0, 4, QStringLiteral("Level"));
            w.Sgb->setCell(0, 1, QStringLiteral("$C8"));
            w.Sgb->setCell(0, 2, QStringLiteral("2"));
            w.Sgb->setCell(0, 3, QStringLiteral("3"));
            QTest::mouseClick(w.bitbtn1, Qt::LeftButton);
        });
        mainWindow().btn_Sdo->click();
    }
};

}  // namespace testing_support
