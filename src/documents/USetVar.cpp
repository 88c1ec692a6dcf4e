#include "documents/USetVar.h"

#include <stdexcept>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "documents/CommunicationSettings.h"
#include "platform/FileSystem.h"
#include "ui/Dialogs.h"
#include "ui/GraphicButton.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "ui/WrappingHeader.h"
#include "workspace/Workspace.h"

namespace documents {
namespace {

constexpr int kRows = static_cast<int>(kMaxAccessRows);

struct Column {
    const char* title;
    int width;
    QColor colour;
};

const Column kColumns[] = {{"N\u00B0", 64, QColor(0xF8, 0xF7, 0xED)},
                           {"Address Register", 101, QColor(0xE0, 0xFA, 0xFE)},
                           {"Address ProfiBus High", 115, QColor(0xFC, 0xD6, 0xF4)},
                           {"Address ProfiBus Low", 115, QColor(0xFC, 0xD6, 0xF4)},
                           {"Mnemonic", 157, QColor(0xFF, 0xFF, 0xA8)}};

QTableWidget* makeGrid(QWidget* page) {
    auto* grid = new QTableWidget(kRows, 5, page);
    grid->setHorizontalHeader(new ui::WrappingHeader(grid));
    // The area right of the last column shows the grid's own colour.
    QPalette colours = grid->palette();
    colours.setColor(QPalette::Base, kColumns[0].colour);
    grid->setPalette(colours);
    for (int column = 0; column < 5; ++column) {
        grid->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(kColumns[column].title)));
        grid->setColumnWidth(column, kColumns[column].width);
    }
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem;
            item->setBackground(kColumns[column].colour);
            if (column == 0) item->setFlags(Qt::ItemIsEnabled);
            grid->setItem(row, column, item);
        }
    }
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grid->setTabKeyNavigation(true);
    grid->setWordWrap(false);
    return grid;
}

}  // namespace

TFSetVar::TFSetVar(QWidget* parent, const workspace::Workspace& workspace)
    : ui::Form(parent, ui::FormFrame::Sizeable, QStringLiteral("Set Access")), m_workspace(workspace) {
    setObjectName(QStringLiteral("TFSetVar"));
    setSizeGripEnabled(true);

    PageControl1 = new QTabWidget(this);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    sga = makeGrid(TabSheet1);
    Sgb = makeGrid(TabSheet2);
    sga->setAccessibleName(QString::fromUtf8(kInputPageCaption));
    Sgb->setAccessibleName(QString::fromUtf8(kOutputPageCaption));
    for (auto [page, grid] : {std::pair{TabSheet1, sga}, std::pair{TabSheet2, Sgb}}) {
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(4, 4, 4, 4);
        pageLayout->addWidget(grid);
    }
    PageControl1->addTab(TabSheet1, QString::fromUtf8(kInputPageCaption));
    PageControl1->addTab(TabSheet2, QString::fromUtf8(kOutputPageCaption));

    bitbtn1 = new ui::GraphicButton(QStringLiteral("OK"), this);
    bitbtn2 = new ui::GraphicButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bitbtn1);
    buttons->addWidget(bitbtn2);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    resize(664, 538);

    ui::onClicked(bitbtn1, this, [this] { bitbtn1Click(); });
    connect(bitbtn2, &QAbstractButton::clicked, this, &QDialog::reject);
}

QString TFSetVar::cell(const QTableWidget* grid, int column, int row) {
    return grid->item(row - 1, column)->text();
}

void TFSetVar::setCell(QTableWidget* grid, int column, int row, const QString& text) {
    grid->item(row - 1, column)->setText(text);
}

void TFSetVar::fill(QTableWidget* grid, const std::vector<AccessRow>& rows) {
    const int count = std::min(static_cast<int>(rows.size()), kRows);
    for (int r = 1; r <= count; ++r) {
        const AccessRow& row = rows[static_cast<std::size_t>(r - 1)];
        setCell(grid, 1, r, ui::qs(row.address));
        setCell(grid, 2, r, ui::qs(row.high));
        setCell(grid, 3, r, ui::qs(row.low));
        setCell(grid, 4, r, ui::qs(row.mnemonic));
    }
}

void TFSetVar::FormShow() {
    m_sizes = readAreaSizes(m_workspace.PargenPath, kMaxAreaSize);

    for (QTableWidget* grid : {sga, Sgb}) {
        grid->setUpdatesEnabled(false);
        for (int r = 1; r <= kRows; ++r) {
            setCell(grid, 0, r, QString::number(r));
            for (int column = 1; column <= 4; ++column) setCell(grid, column, r, QString());
        }
        grid->setUpdatesEnabled(true);
    }

    if (!platform::fileExists(m_workspace.SdoPath)) return;
    // The rows read before a damaged part of the document are shown all the same.
    const Reading<AccessTables> reading = readAccessTables(m_workspace.SdoPath);
    fill(sga, reading.value.in);
    fill(Sgb, reading.value.out);
    if (reading.failure) throw std::runtime_error(*reading.failure);
}

std::vector<AccessRow> TFSetVar::tableOf(const QTableWidget* grid) {
    std::vector<AccessRow> rows;
    for (int r = 1; r <= kRows && !cell(grid, 1, r).isEmpty(); ++r) {
        rows.push_back(
            {ui::ss(cell(grid, 1, r)), ui::ss(cell(grid, 2, r)), ui::ss(cell(grid, 3, r)), ui::ss(cell(grid, 4, r))});
    }
    return rows;
}

bool TFSetVar::ValidateTables() {
    const std::optional<std::string> failure = validateAccessTables({tableOf(sga), tableOf(Sgb)}, m_sizes);
    if (!failure) return true;
    ui::Dialogs::error(this, ui::qs(*failure));
    return false;
}

void TFSetVar::bitbtn1Click() {
    if (!ValidateTables()) return;
    writeAccessTables(m_workspace.SdoPath, {tableOf(sga), tableOf(Sgb)});
    done(QDialog::Accepted);
}

}  // namespace documents
