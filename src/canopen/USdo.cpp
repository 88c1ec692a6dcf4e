#include "canopen/USdo.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "canopen/SdoAccess.h"
#include "canopen/UGridTables.h"
#include "ui/Grid.h"
#include "ui/WindowContext.h"

namespace canopen {
namespace {

const QColor kIndexColour(0xE0, 0xFA, 0xFE);
// Marks the address on the other network: the right-hand heading and grid columns 4 to 8.
const QColor kAddressColour(0xFC, 0xD6, 0xF4);
constexpr int kHeadingHeight = 20;
constexpr std::size_t kLastIndexColumn = 3;

const ui::GridSpec& sdoGrid() {
    static const ui::GridSpec gridSpec = [] {
        ui::GridSpec made{static_cast<int>(kSdoTableEntries),
                          {QString::fromUtf8(kSdoColumnTitles[0]), 60, QColor(0xF8, 0xF7, 0xED), false},
                          {},
                          0};
        for (std::size_t c = 1; c < kSdoColumnCount; ++c) {
            made.columns.push_back(
                {QString::fromUtf8(kSdoColumnTitles[c]), 60, c <= kLastIndexColumn ? kIndexColour : kAddressColour});
        }
        return made;
    }();
    return gridSpec;
}

QLabel* heading(const char* text, const QColor& colour, QWidget* page) {
    auto* label = new QLabel(QString::fromUtf8(text), page);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, colour);
    label->setPalette(colours);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->show();
    return label;
}

// At the narrow widths of the resize rule the titles take a smaller font
// rather than being cut off.
void fitTitles(QHeaderView* header, int columnWidth) {
    QFont font = header->parentWidget()->font();
    const qreal smallest = 6.0;
    auto widest = [&] {
        const QFontMetrics metrics(font);
        int width = 0;
        for (const char* title : kSdoColumnTitles)
            width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(title)));
        return width + 6;  // the margins the header draws the title in
    };
    while (widest() > columnWidth && font.pointSizeF() > smallest) font.setPointSizeF(font.pointSizeF() - 0.5);
    header->setFont(font);
}

}  // namespace

TFsdo::TFsdo(QWidget* parent, const ui::WindowContext& context)
    : ui::EditorForm(parent, context, QString::fromUtf8(kSdoCaption), QString::fromUtf8(kSdoFirstPage),
                     QString::fromUtf8(kSdoSecondPage)) {
    resize(615, 547);
}

void TFsdo::makeGrids() {
    if (sga) return;
    Label1 = heading(kSdoFirstPageHeadings[0], kIndexColour, TabSheet1);
    Label2 = heading(kSdoFirstPageHeadings[1], kAddressColour, TabSheet1);
    Label3 = heading(kSdoSecondPageHeadings[0], kIndexColour, TabSheet2);
    Label4 = heading(kSdoSecondPageHeadings[1], kAddressColour, TabSheet2);
    sga = ui::makeGrid(sdoGrid(), TabSheet1);
    sgb = ui::makeGrid(sdoGrid(), TabSheet2);
    sga->setAccessibleName(QString::fromUtf8(kSdoFirstPage));
    sgb->setAccessibleName(QString::fromUtf8(kSdoSecondPage));
    for (auto [page, grid] : {std::pair{TabSheet1, sga}, std::pair{TabSheet2, sgb}}) {
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(4, 4 + kHeadingHeight, 4, 4);
        pageLayout->setSpacing(0);
        pageLayout->addWidget(grid);
        grid->installEventFilter(this);
    }
}

bool TFsdo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == sga || watched == sgb)) {
        FormResize(static_cast<const ui::Grid*>(watched));
    }
    return ui::EditorForm::eventFilter(watched, event);
}

void TFsdo::FormResize(const ui::Grid* grid) {
    // A grid on the page not shown has no size of its own yet: the one shown sets the widths.
    const ui::Grid* shown = PageControl1->currentIndex() == 0 ? sga : sgb;
    const int w = shown->width() / 10;
    for (ui::Grid* each : {sga, sgb}) {
        for (int c = 0; c < static_cast<int>(kSdoColumnCount); ++c) each->setColumnWidth(c, w);
    }
    fitTitles(sga->horizontalHeader(), w);
    fitTitles(sgb->horizontalHeader(), w);
    const auto [left, right] = grid == sga ? std::pair{Label1, Label2} : std::pair{Label3, Label4};
    const int top = grid->y() - kHeadingHeight;
    left->setGeometry(grid->x(), top, 4 * w, kHeadingHeight);
    right->setGeometry(grid->x() + 4 * w + 1, top, grid->width() - (4 * w + 1), kHeadingHeight);
}

void TFsdo::clear() {
    makeGrids();
    sga->clear();
    sgb->clear();
}

std::optional<std::string> TFsdo::load() {
    const base::Reading<SdoAccessTables> reading = loadSdoAccess(documentPath);
    placeTables(this, sga, sgb, reading.value);
    return reading.failure;
}

// A workbook that cannot be imported ends the import silently with what was placed.
std::optional<std::string> TFsdo::importWorkbook(const std::string& path) {
    const base::Reading<SdoAccessTables> reading = importSdoAccess(path);
    placeTables(this, sga, sgb, reading.value);
    return reading.failure;
}

void TFsdo::exportCsv() {
    writeCsv(context().workspace.ProjectDir, kSdoDocumentName, exportSdoAccess(gridTables<kSdoValueColumns>(sga, sgb)));
}

}  // namespace canopen
