#include "tools/USELstringhe.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "canopen/EditorDocuments.h"
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

// Rows read before a failure stay, shown above its message.
void TFSELstringhe::fillStrings() {
    const base::Reading<std::vector<std::string>> strings = canopen::readStringsDocument(StringsFile, kStrings);
    for (std::size_t row = 0; row < strings.value.size(); ++row) {
        sg->setItem(static_cast<int>(row), 1, new QTableWidgetItem(ui::qs(strings.value[row])));
    }
    if (strings.failure) ui::Dialogs::information(this, ui::qs(*strings.failure));
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
