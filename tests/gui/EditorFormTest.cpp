// The shared flow of the CANopen editors, through a small editor of the test's
// own: each page holds a list, the document is a text file with one record per
// line ("A value" or "B value"), the workbook a text file of values for page A.

#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/GuiTest.h"
#include "ui/EditorForm.h"
#include "ui/GraphicButton.h"
#include "ui/WindowContext.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

// Reads and writes its document in binary, so that its lines end in "\n" on
// every system.
class TestEditor : public ui::EditorForm {
public:
    TestEditor(QWidget* parent, const ui::WindowContext& context)
        : ui::EditorForm(parent, context, QStringLiteral("Test Editor"), QStringLiteral("CanA"),
                         QStringLiteral("CanB")),
          sideA(new QListWidget(TabSheet1)),
          sideB(new QListWidget(TabSheet2)) {
        (new QVBoxLayout(TabSheet1))->addWidget(sideA);
        (new QVBoxLayout(TabSheet2))->addWidget(sideB);
    }

    std::string document() const { return context().workspace.ProjectDir + nativePath("/test.txt"); }

    QListWidget* sideA;
    QListWidget* sideB;
    std::vector<std::string> calls;

protected:
    void clear() override {
        calls.push_back("clear");
        sideA->clear();
        sideB->clear();
    }
    std::optional<std::string> load() override {
        calls.push_back("load");
        std::ifstream in(pathOf(document()), std::ios::binary);
        if (!in) return "File not found";
        for (std::string line; std::getline(in, line);) {
            (line.rfind("A ", 0) == 0 ? sideA : sideB)->addItem(QString::fromStdString(line.substr(2)));
        }
        return std::nullopt;
    }
    void save() override {
        calls.push_back("save");
        std::ofstream out(pathOf(document()), std::ios::binary);
        if (!out) throw std::runtime_error("Cannot write " + document());
        for (int i = 0; i < sideA->count(); ++i) out << "A " << sideA->item(i)->text().toStdString() << "\n";
        for (int i = 0; i < sideB->count(); ++i) out << "B " << sideB->item(i)->text().toStdString() << "\n";
    }
    // An import replaces page A only.
    void clearForImport() override {
        calls.push_back("clear A");
        sideA->clear();
    }
    std::string savedDocumentPath() const override { return document(); }
    std::optional<std::string> importWorkbook(const std::string& path) override {
        calls.push_back("import " + fs::path(path).filename().string());
        std::ifstream in(pathOf(path), std::ios::binary);
        for (std::string line; std::getline(in, line);) sideA->addItem(QString::fromStdString(line));
        return std::nullopt;
    }
    void exportCsv() override {
        calls.push_back("export");
        std::ofstream(pathOf(context().workspace.ProjectDir + nativePath("/test.csv")), std::ios::binary)
            << sideA->count() << "," << sideB->count() << ",\r\n";
    }
};

class EditorFlow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startProgramOn("Plant1");
        m_editor = new TestEditor(&mainWindow(), mainWindow().context());
    }
    std::string project(const std::string& name) { return m_program / ("PROJECTS/Plant1/" + name); }
    // Shows the editor, runs action on it; answers the dialog result.
    template <class Action>
    int show(Action action) {
        whenModal<ui::EditorForm>([&](ui::EditorForm& editor) { action(static_cast<TestEditor&>(editor)); });
        return m_editor->exec();
    }
    static std::vector<std::string> items(const QListWidget* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
        return texts;
    }
    TestEditor* m_editor;
};

TEST_F(EditorFlow, LaidOutWithTwoPagesAndTheBar) {
    show([](TestEditor& e) {
        EXPECT_EQ(e.windowTitle().toStdString(), "Test Editor");
        EXPECT_EQ(e.PageControl1->count(), 2);
        EXPECT_EQ(e.PageControl1->widget(0), e.TabSheet1);
        EXPECT_EQ(e.PageControl1->tabText(0).toStdString(), "CanA");
        EXPECT_EQ(e.PageControl1->tabText(1).toStdString(), "CanB");
        // Left to right: OK, Cancel, then at the right Export, Import.
        const std::vector<ui::GraphicButton*> bar{e.bitbtn1, e.bitbtn2, e.BtnExport, e.BtnImport};
        const std::vector<std::string> captions{"OK", "Cancel", "Export", "Import"};
        for (std::size_t i = 0; i < bar.size(); ++i) {
            EXPECT_EQ(bar[i]->text().toStdString(), captions[i]);
            if (i > 0) {
                EXPECT_LT(bar[i - 1]->mapTo(&e, QPoint()).x(), bar[i]->mapTo(&e, QPoint()).x());
            }
        }
        EXPECT_LE(e.bitbtn1->mapTo(&e, QPoint()).x(), 12) << "OK stands at the left end";
        EXPECT_GE(e.BtnImport->mapTo(&e, QPoint(e.BtnImport->width(), 0)).x(), e.width() - 12)
            << "Import stands at the right end";
        EXPECT_TRUE(e.bitbtn1->isDefault());
        e.bitbtn2->click();
    });
}

TEST_F(EditorFlow, EveryShowingClearsAndLoadsAndShowsTheMessage) {
    std::vector<std::string> a, b;
    show([&](TestEditor& e) {
        e.sideA->addItem(QStringLiteral("typed before Cancel"));
        e.bitbtn2->click();
    });
    EXPECT_EQ(shown(), std::vector<std::string>{"information: File not found"});
    writeFile(project("test.txt"), "A 1\nB 2\nA 3\n");
    m_editor->calls.clear();
    show([&](TestEditor& e) {
        a = items(e.sideA);
        b = items(e.sideB);
        e.bitbtn2->click();
    });
    EXPECT_EQ(m_editor->calls, (std::vector<std::string>{"clear", "load"}));
    EXPECT_EQ(a, (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(b, std::vector<std::string>{"2"});
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

TEST_F(EditorFlow, OkSavesAndCloses) {
    writeFile(project("test.txt"), "A 1\n");
    const int result = show([](TestEditor& e) {
        e.sideB->addItem(QStringLiteral("new"));
        QTest::keyClick(&e, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(readFile(project("test.txt")), "A 1\nB new\n");
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

TEST_F(EditorFlow, FailedSaveShowsTheErrorAndStaysOpen) {
    writeFile(project("test.txt"), "A 1\n");
    bool stayed = false;
    std::vector<std::string> kept;
    show([&](TestEditor& e) {
        fs::remove(project("test.txt"));
        fs::create_directory(project("test.txt"));  // nothing can be written there now
        e.sideA->addItem(QStringLiteral("2"));
        e.bitbtn1->click();
        stayed = e.isVisible();
        kept = items(e.sideA);
        e.bitbtn2->click();
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(kept, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(shown(), std::vector<std::string>{"standard error: Cannot write " + project("test.txt")});
}

TEST_F(EditorFlow, ImportAsksForTheWorkbookThenClearsAndImports) {
    writeFile(project("test.txt"), "A old\nB kept\n");
    writeFile(project("book.xls"), "x\ny\n");
    std::vector<std::string> a, b, afterCancel;
    show([&](TestEditor& e) {
        e.calls.clear();
        ui::Dialogs::queueAnswer(std::nullopt);
        e.BtnImport->click();
        afterCancel = items(e.sideA);
        ui::Dialogs::queueAnswer(QString::fromStdString(project("book.xls")));
        e.BtnImport->click();
        a = items(e.sideA);
        b = items(e.sideB);
        e.bitbtn2->click();
    });
    EXPECT_EQ(afterCancel, std::vector<std::string>{"old"}) << "a cancelled chooser changes nothing";
    EXPECT_EQ(m_editor->calls, (std::vector<std::string>{"clear A", "import book.xls"}));
    EXPECT_EQ(a, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(b, std::vector<std::string>{"kept"});
    const QList<Record> records = ui::Dialogs::takeRecords();
    ASSERT_EQ(records.size(), 2);
    for (const Record& record : records) {
        EXPECT_EQ(record.kind, Kind::OpenFile);
        EXPECT_EQ(record.chooser.filter.toStdString(), "File EXCEL (*.xls *.xlsx *.ods)");
        EXPECT_EQ(record.chooser.initialFolder.toStdString(), m_program / "PROJECTS/Plant1");
    }
    EXPECT_EQ(readFile(project("test.txt")), "A old\nB kept\n") << "nothing is written before OK";
}

TEST_F(EditorFlow, ExportWritesWithoutAnyDialog) {
    writeFile(project("test.txt"), "A 1\nA 2\nB 3\n");
    show([](TestEditor& e) {
        e.BtnExport->click();
        e.bitbtn2->click();
    });
    EXPECT_EQ(readFile(project("test.csv")), "2,1,\r\n");
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

}  // namespace
