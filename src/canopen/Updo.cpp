#include "canopen/Updo.h"

#include <cmath>

#include "canopen/TranslatePdo.h"
#include "ui/Grid.h"
#include "ui/GridPages.h"
#include "ui/WindowContext.h"

namespace canopen {
namespace {

constexpr std::size_t kFirstShadedColumn = 4;  // posind and n_tpdo

const ui::GridSpec& translatePdoGrid() {
    static const ui::GridSpec gridSpec =
        ui::evenGrid(static_cast<int>(kTranslatePdoEntries), kTranslatePdoColumnTitles, 72, kFirstShadedColumn);
    return gridSpec;
}

// On every resize a grid's columns share its width, less a little room each.
void shareWidth(ui::Grid* grid) {
    const int width = static_cast<int>(std::lround(double(grid->width()) / kTranslatePdoColumnCount)) - 5;
    for (int c = 0; c < static_cast<int>(kTranslatePdoColumnCount); ++c) grid->setColumnWidth(c, width);
}

}  // namespace

TFpdo::TFpdo(QWidget* parent, const ui::WindowContext& context)
    : ui::EditorForm(parent, context, QString::fromUtf8(kTranslatePdoCaption),
                     QString::fromUtf8(kTranslatePdoFirstPage), QString::fromUtf8(kTranslatePdoSecondPage)),
      m_pages(new ui::GridPages(this, PageControl1, translatePdoGrid())) {
    m_pages->onResize(shareWidth);
    resize(463, 564);
}

void TFpdo::clear() {
    m_pages->make();
    sga = m_pages->grid(0);
    sgb = m_pages->grid(1);
    m_pages->clear();
}

std::optional<std::string> TFpdo::load() {
    const base::Reading<PdoTranslationTables> reading = loadTranslatePdo(context().workspace.RpdodefPath);
    m_pages->placeTables(reading.value, leftOutMessage);
    if (reading.failure && *reading.failure != kXmlFileNotFound) markUnread(*reading.failure);
    return reading.failure;
}

std::string TFpdo::savedDocumentPath() const {
    return context().workspace.RpdodefPath;
}

std::optional<std::string> TFpdo::characterRefusal() const {
    return m_pages->characterRefusal();
}

void TFpdo::save() {
    saveTranslatePdo(context().workspace.RpdodefPath, m_pages->tables<PdoTranslationTables>());
}

// A workbook that cannot be imported ends the import silently with what was placed.
std::optional<std::string> TFpdo::importWorkbook(const std::string& path) {
    const base::Reading<PdoTranslationTables> reading = importTranslatePdo(path);
    m_pages->placeTables(reading.value, leftOutMessage);
    return reading.failure;
}

void TFpdo::exportCsv() {
    writeCsv(context().workspace.ProjectDir, kRpdodefDocumentName,
             exportTranslatePdo(m_pages->tables<PdoTranslationTables>()));
}

}  // namespace canopen
