// Group boxes as a screen reader names them: by their own titles, also inside
// another group box, and in step with every change of the title.

#include <QAccessible>
#include <QGroupBox>
#include <QTreeWidget>

#include "CanopenWindowTest.h"
#include "canopen/UWemcy.h"
#include "ui/GraphicButton.h"

namespace {

using namespace testing_support;
using canopen::TFWemcy;

std::string accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name).toStdString() : "(no interface)";
}

class GroupBoxNames : public CanopenWindow {};

TEST_F(GroupBoxNames, AnInnerGroupIsNamedByItsOwnTitleAsItChanges) {
    writeFile(project("emcyword.xml"), readFile(caseFile("emcyword-load-pages/input/emcyword.xml")));
    show<TFWemcy>([](TFWemcy& w) {
        const TFWemcy::Page& p = w.pages[0];
        w.TWCanA->setCurrentItem(w.TWCanA->topLevelItem(1));
        ASSERT_EQ(p.bitGroup->title().toStdString(), "Mask BIT n°17 Define");
        EXPECT_EQ(accessibleName(p.wordGroup), "Word n°1 Emcy Define ");
        EXPECT_EQ(accessibleName(p.bitGroup), "Mask BIT n°17 Define");
        EXPECT_EQ(QAccessible::queryAccessibleInterface(p.bitGroup)->role(), QAccessible::Grouping);

        // Bit3 of the second word: the title changes, and the name with it.
        w.TWCanA->setCurrentItem(w.TWCanA->topLevelItem(1)->child(3));
        ASSERT_EQ(p.bitGroup->title().toStdString(), "Mask BIT n°21 Define");
        EXPECT_EQ(accessibleName(p.bitGroup), "Mask BIT n°21 Define");
        EXPECT_EQ(accessibleName(p.wordGroup), "Word n°1 Emcy Define ");
        w.bitbtn2->click();
    });
}

// Any group box, also one made later: a mnemonic mark is not read, a name
// given to the box wins, and a checkable box keeps its check state.
TEST_F(GroupBoxNames, TitlesMnemonicsGivenNamesAndCheckState) {
    QGroupBox outer(QStringLiteral("&Outer"));
    auto* inner = new QGroupBox(QStringLiteral("Save && go"), &outer);
    EXPECT_EQ(accessibleName(&outer), "Outer");
    EXPECT_EQ(accessibleName(inner), "Save & go");
    inner->setTitle(QStringLiteral("Later"));
    EXPECT_EQ(accessibleName(inner), "Later");
    inner->setAccessibleName(QStringLiteral("Given"));
    EXPECT_EQ(accessibleName(inner), "Given");

    inner->setCheckable(true);
    inner->setChecked(false);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(inner);
    EXPECT_EQ(face->role(), QAccessible::CheckBox);
    EXPECT_TRUE(face->state().checkable);
    EXPECT_FALSE(face->state().checked);
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(inner->isChecked());
    EXPECT_TRUE(face->state().checked);
}

}  // namespace
