// The frame of the windows with two grid pages, on a window of the test's own:
// records with named texts in and out, the left-out notice, the check of
// characters over both pages, and a showing that could not read its document.

#include <QTabWidget>
#include <stdexcept>

#include "support/GuiTest.h"
#include "ui/GraphicButton.h"
#include "ui/GridPages.h"
#include "ui/Style.h"
#include "ui/TwoPageForm.h"

namespace {

using namespace testing_support;

struct Entry {
    std::string key, label;
    bool operator==(const Entry&) const = default;
};

struct Tables {
    std::vector<Entry> first, second;
    std::size_t leftOut = 0;
};

std::string leftOutText(std::size_t count) {
    return std::to_string(count) + " left out";
}

}  // namespace

template <>
struct ui::RecordCells<Entry> : ui::MemberCells<Entry, &Entry::key, &Entry::label> {};

namespace {

const ui::GridSpec kSpec{3,
                         {QStringLiteral("N"), 40, ui::kGridFixed, false},
                         {{QStringLiteral("Key"), 80, ui::kGridCyan}, {QStringLiteral("Label"), 80, ui::kGridYellow}}};

class TwoGridWindow : public ui::TwoPageForm {
public:
    TwoGridWindow()
        : ui::TwoPageForm(nullptr, QStringLiteral("Two grids"), QStringLiteral("First page"),
                          QStringLiteral("Second page"), [] {}),
          ok(okButton()),
          cancel(cancelButton()),
          pages(new ui::GridPages(this, PageControl1, kSpec)) {}

    ui::GraphicButton* ok;
    ui::GraphicButton* cancel;
    ui::GridPages* pages;
};

class GridPagesTest : public GuiTest {};

TEST_F(GridPagesTest, EachPageHoldsOneGridNamedAfterIt) {
    TwoGridWindow window;
    EXPECT_FALSE(window.pages->made());
    EXPECT_EQ(window.ok->text().toStdString(), "OK");
    EXPECT_EQ(window.cancel->text().toStdString(), "Cancel");
    window.pages->make();
    window.pages->make();  // a second call makes nothing more
    for (int page = 0; page < 2; ++page) {
        QWidget* sheet = window.PageControl1->widget(page);
        EXPECT_EQ(sheet->findChildren<ui::Grid*>().size(), 1);
        EXPECT_EQ(sheet->findChild<ui::Grid*>(), window.pages->grid(page));
        EXPECT_EQ(window.pages->grid(page)->accessibleName(), window.PageControl1->tabText(page));
    }
    window.PageControl1->setCurrentIndex(1);
    EXPECT_EQ(window.pages->shown(), window.pages->grid(1));
    window.pages->focusFirstCell();
    EXPECT_EQ(window.pages->grid(1)->currentIndex(), window.pages->grid(1)->cells()->index(0, 1));
}

// Named texts go to their columns and come back from them; a table longer
// than the grid is cut at its last row and the user is told once.
TEST_F(GridPagesTest, RecordsWithNamedTextsGoInAndComeOut) {
    TwoGridWindow window;
    window.pages->make();
    Tables tables;
    tables.first = {{"0x181", "Level"}, {"0x182", "Flow"}};
    tables.second = {{"1", "a"}, {"2", "b"}, {"3", "c"}};
    tables.leftOut = 2;
    window.pages->placeTables(tables, leftOutText);
    EXPECT_EQ(shown(), std::vector<std::string>{"information: 2 left out"});
    EXPECT_EQ(window.pages->grid(0)->cell(1, 2).toStdString(), "Flow");

    const auto read = window.pages->tables<Tables>();
    EXPECT_EQ(read.first, (std::vector<Entry>{{"0x181", "Level"}, {"0x182", "Flow"}, {"", ""}}));
    EXPECT_EQ(read.second, tables.second);

    window.pages->clear();
    EXPECT_EQ(window.pages->records<Entry>(1), (std::vector<Entry>(3)));
    tables.leftOut = 0;
    window.pages->placeTables(tables, leftOutText);
    EXPECT_TRUE(shown().empty());
}

// The check looks at the run of each table only, first page first, and names
// the page by its caption and the row as the numbered column shows it.
TEST_F(GridPagesTest, CharacterCheckNamesThePageAndRow) {
    TwoGridWindow window;
    EXPECT_FALSE(window.pages->characterRefusal().has_value());  // no grids yet, nothing to refuse
    window.pages->make();
    window.pages->place(std::vector<Entry>{{"1", "ok"}}, std::vector<Entry>{{"1", "ok"}, {"2", "bad\x01"}});
    window.pages->grid(0)->setCell(2, 2, QStringLiteral("below the run \x01"));
    const std::optional<std::string> refusal = window.pages->characterRefusal();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->rfind("Error row 2!! [Second page] ", 0), 0u) << *refusal;
    EXPECT_NE(refusal->find("Label"), std::string::npos) << *refusal;
    EXPECT_FALSE(window.pages->mayAccept(ui::UnreadDocument{}));
    EXPECT_EQ(shown(), std::vector<std::string>{"error: " + *refusal});
}

// A showing whose reading fails throws its message on and marks the document
// unread: OK then asks before replacing it, and No keeps it.
TEST_F(GridPagesTest, AFailedShowingMakesOkAsk) {
    TwoGridWindow window;
    ui::UnreadDocument unread;
    const std::string path = m_program.path() + "/table.xml";
    EXPECT_THROW(window.pages->show(unread, path, [] { return std::optional<std::string>("damaged"); }),
                 std::runtime_error);
    EXPECT_TRUE(window.pages->made());
    EXPECT_TRUE(unread.isSet());
    ui::Dialogs::queueQuestionAnswer(false);
    EXPECT_FALSE(window.pages->mayAccept(unread));
    ASSERT_EQ(shown().size(), 1u);

    window.pages->show(unread, path, [] { return std::optional<std::string>(); });
    EXPECT_FALSE(unread.isSet());
    EXPECT_TRUE(window.pages->mayAccept(unread));
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(window.pages->passes(std::string("Error row 1!! ")));
    EXPECT_EQ(shown(), std::vector<std::string>{"error: Error row 1!! "});
    EXPECT_TRUE(window.pages->passes(std::nullopt));
}

}  // namespace
