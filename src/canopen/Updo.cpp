#include "canopen/Updo.h"

#include <QEvent>
#include <QVBoxLayout>
#include <cmath>

#include "canopen/TranslatePdo.h"
#include "canopen/UGridTables.h"
#include "ui/Grid.h"
#include "ui/GridText.h"
#include "ui/WindowContext.h"

namespace canopen {
namespace {

constexpr std::size_t kFirstShadedColumn = 4;  // posind and n_tpdo

const ui::GridSpec& translatePdoGrid() {
    static const ui::GridSpec gridSpec = [] {
        ui::GridSpec made{static_cast<int>(kTranslatePdoEntries),
                          {QString::fromUtf8(kTranslatePdoColumnTitles[0]), 72, QColor(0xF8, 0xF7, 0xED), false},
                          {},
                          0};
        for (std::size_t c = 1; c < kTranslatePdoColumnCount; ++c) {
            made.columns.push_back({QString::fromUtf8(kTranslatePdoColumnTitles[c]), 72,
                                    c < kFirstShadedColumn ? QColor(0xE0, 0xFA, 0xFE) : QColor(0xFC, 0xD6, 0xF4)});
        }
        return made;
    }();
    return gridSpec;
}

}  // namespace

TFpdo::TFpdo(QWidget* parent, const ui::WindowContext& context)
    : ui::EditorForm(parent, context, QString::fromUtf8(kTranslatePdoCaption),
                     QString::fromUtf8(kTranslatePdoFirstPage), QString::fromUtf8(kTranslatePdoSecondPage)) {
    resize(463, 564);
}

void TFpdo::makeGrids() {
    if (sga) return;
    sga = ui::makeGrid(translatePdoGrid(), TabSheet1);
    sgb = ui::makeGrid(translatePdoGrid(), TabSheet2);
    sga->setAccessibleName(QString::fromUtf8(kTranslatePdoFirstPage));
    sgb->setAccessibleName(QString::fromUtf8(kTranslatePdoSecondPage));
    for (auto [page, grid] : {std::pair{TabSheet1, sga}, std::pair{TabSheet2, sgb}}) {
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(4, 4, 4, 4);
        pageLayout->addWidget(grid);
        grid->installEventFilter(this);
    }
}

// On every resize a grid's columns share its width, less a little room each.
bool TFpdo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == sga || watched == sgb)) {
        auto* grid = static_cast<ui::Grid*>(watched);
        const int width = static_cast<int>(std::lround(double(grid->width()) / kTranslatePdoColumnCount)) - 5;
        for (int c = 0; c < static_cast<int>(kTranslatePdoColumnCount); ++c) grid->setColumnWidth(c, width);
    }
    return ui::EditorForm::eventFilter(watched, event);
}

void TFpdo::clear() {
    makeGrids();
    sga->clear();
    sgb->clear();
}

std::optional<std::string> TFpdo::load() {
    const base::Reading<PdoTranslationTables> reading = loadTranslatePdo(context().workspace.RpdodefPath);
    placeTables(this, sga, sgb, reading.value);
    if (reading.failure && *reading.failure != kXmlFileNotFound) markUnread(*reading.failure);
    return reading.failure;
}

std::string TFpdo::savedDocumentPath() const {
    return context().workspace.RpdodefPath;
}

std::optional<std::string> TFpdo::characterRefusal() const {
    for (const auto& [grid, page] : {std::pair{sga, kTranslatePdoFirstPage}, std::pair{sgb, kTranslatePdoSecondPage}}) {
        if (const std::optional<QString> refusal =
                ui::characterRefusalIn(grid, static_cast<int>(kTranslatePdoEntries), QString::fromUtf8(page)))
            return ui::ss(*refusal);
    }
    return std::nullopt;
}

void TFpdo::save() {
    saveTranslatePdo(context().workspace.RpdodefPath, gridTables<kTranslatePdoValueColumns>(sga, sgb));
}

// A workbook that cannot be imported ends the import silently with what was placed.
std::optional<std::string> TFpdo::importWorkbook(const std::string& path) {
    const base::Reading<PdoTranslationTables> reading = importTranslatePdo(path);
    placeTables(this, sga, sgb, reading.value);
    return reading.failure;
}

void TFpdo::exportCsv() {
    writeCsv(context().workspace.ProjectDir, kRpdodefDocumentName,
             exportTranslatePdo(gridTables<kTranslatePdoValueColumns>(sga, sgb)));
}

}  // namespace canopen
