#include "tools/USELstringhe.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/XmlDocument.h"
#include "platform/FileSystem.h"
#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/GraphicButton.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

namespace tools {

TFSELstringhe::TFSELstringhe(QWidget* parent, const workspace::Workspace&)
    : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Select String")),
      sg(new QTableWidget(kStrings, 2, this)),
      PanelBColor1(new QWidget(this)),
      Label1(new QLabel(QStringLiteral("Sel str:"), PanelBColor1)) {
    setFixedSize(460, 420);

    sg->setHorizontalHeaderLabels({QStringLiteral("Index"), QStringLiteral("String")});
    sg->verticalHeader()->hide();
    sg->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sg->verticalHeader()->setDefaultSectionSize(20);
    sg->horizontalHeader()->setHighlightSections(false);
    sg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sg->setSelectionBehavior(QAbstractItemView::SelectRows);
    sg->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* bar = new ui::ButtonBar(this, PanelBColor1);
    bitbtn1 = bar->accept(
        QStringLiteral("OK"), [this] { done(QDialog::Accepted); }, ui::ButtonBar::Side::Right);
    bitbtn2 = bar->reject(QStringLiteral("Cancel"), ui::ButtonBar::Side::Right);
    auto* bottom = new QHBoxLayout(PanelBColor1);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(Label1);
    bottom->addStretch();
    bottom->addWidget(bar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(sg, 1);
    layout->addWidget(PanelBColor1);

    connect(sg, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) ui::guarded(this, [&] { sgSelectCell(row); });
    });
}

void TFSELstringhe::FormShow() {
    sg->clearContents();
    sg->setRowCount(kStrings);
    const QBrush fixedCells = palette().button();
    for (int row = 0; row < kStrings; ++row) {
        auto* index = new QTableWidgetItem(QString::number(row));
        index->setBackground(fixedCells);
        sg->setItem(row, 0, index);
    }
    fitColumns();
    fillStrings();
    sg->setCurrentCell(SelectedStringIndex, 1);
    sgSelectCell(SelectedStringIndex);
}

// String i is the text of child i of the document element; rows read before a
// failure stay.
void TFSELstringhe::fillStrings() {
    if (StringsFile.empty() || !platform::fileExists(StringsFile)) {
        ui::Dialogs::information(this, QStringLiteral("File strings XML not found"));
        return;
    }
    try {
        base::XmlDocument document;
        document.load(StringsFile);
        const base::XmlNode root = document.documentElement();
        if (!root) throw std::runtime_error("no document element");
        int row = 0;
        for (base::XmlNode child = root.child(0); child && row < kStrings; child = child.nextSibling(), ++row) {
            sg->setItem(row, 1, new QTableWidgetItem(ui::qs(child.text())));
        }
    } catch (const std::exception&) {
        ui::Dialogs::information(this, QStringLiteral("Error in reading file XML"));
    }
}

void TFSELstringhe::sgSelectCell(int row) {
    SelectedStringIndex = row;
    Label1->setText(QStringLiteral("Sel str: ") + QString::number(row));
}

void TFSELstringhe::resizeEvent(QResizeEvent* event) {
    ui::Form::resizeEvent(event);
    fitColumns();
}

void TFSELstringhe::fitColumns() {
    sg->setColumnWidth(0, 40);
    sg->setColumnWidth(1, sg->width() - 70);
}

}  // namespace tools
