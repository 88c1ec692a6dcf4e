#include "canopen/USdo.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <array>

#include "canopen/SdoAccess.h"
#include "ui/Grid.h"
#include "ui/GridPages.h"
#include "ui/Style.h"
#include "ui/WindowContext.h"

namespace canopen {
namespace {

// The headings above each page's grid: the virtual index (columns 0 to 3),
// then the address on the other network (the rest, shaded as its columns).
constexpr std::array<std::array<const char*, 2>, 2> kHeadings = {{
    {"Define virtual index SDO in CAN A", "Input index address SDO in CAN B"},
    {"Define virtual index SDO in CAN B", "Input index address SDO in CAN A"},
}};
const QColor& kIndexColour = ui::kGridCyan;
const QColor& kAddressColour = ui::kGridRose;
constexpr int kHeadingHeight = 20;
constexpr std::size_t kLastIndexColumn = 3;

const ui::GridSpec& sdoGrid() {
    static const ui::GridSpec gridSpec =
        ui::evenGrid(static_cast<int>(kSdoTableEntries), kSdoColumnTitles, 60, kLastIndexColumn + 1);
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
                     QString::fromUtf8(kSdoSecondPage)),
      m_pages(new ui::GridPages(this, PageControl1, sdoGrid(), kHeadingHeight)) {
    m_pages->onResize([this](const ui::Grid* grid) { FormResize(grid); });
    resize(615, 547);
}

void TFsdo::FormResize(const ui::Grid* grid) {
    // A grid on the page not shown has no size of its own yet: the one shown sets the widths.
    const int w = m_pages->shown()->width() / 10;
    for (ui::Grid* each : {m_pages->grid(0), m_pages->grid(1)}) {
        for (int c = 0; c < static_cast<int>(kSdoColumnCount); ++c) each->setColumnWidth(c, w);
        fitTitles(each->horizontalHeader(), w);
    }
    const auto [left, right] = grid == m_pages->grid(0) ? std::pair{Label1, Label2} : std::pair{Label3, Label4};
    const int top = grid->y() - kHeadingHeight;
    left->setGeometry(grid->x(), top, 4 * w, kHeadingHeight);
    right->setGeometry(grid->x() + 4 * w + 1, top, grid->width() - (4 * w + 1), kHeadingHeight);
}

void TFsdo::clear() {
    if (!m_pages->made()) {
        Label1 = heading(kHeadings[0][0], kIndexColour, TabSheet1);
        Label2 = heading(kHeadings[0][1], kAddressColour, TabSheet1);
        Label3 = heading(kHeadings[1][0], kIndexColour, TabSheet2);
        Label4 = heading(kHeadings[1][1], kAddressColour, TabSheet2);
        m_pages->make();
        sga = m_pages->grid(0);
        sgb = m_pages->grid(1);
    }
    m_pages->clear();
}

std::optional<std::string> TFsdo::load() {
    const base::Reading<SdoAccessTables> reading = loadSdoAccess(documentPath);
    m_pages->placeTables(reading.value, leftOutMessage);
    return reading.failure;
}

// A workbook that cannot be imported ends the import silently with what was placed.
std::optional<std::string> TFsdo::importWorkbook(const std::string& path) {
    const base::Reading<SdoAccessTables> reading = importSdoAccess(path);
    m_pages->placeTables(reading.value, leftOutMessage);
    return reading.failure;
}

void TFsdo::exportCsv() {
    writeCsv(context().workspace.ProjectDir, kSdoDocumentName, exportSdoAccess(m_pages->tables<SdoAccessTables>()));
}

}  // namespace canopen
