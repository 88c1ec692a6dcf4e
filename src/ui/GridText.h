#pragma once

#include <QString>
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "base/XmlText.h"
#include "ui/Grid.h"
#include "ui/QtText.h"

namespace ui {

// The check of a grid's texts before they are saved: the first cell of rows 0
// up to the first row whose column 1 is empty (the run that is saved), at most
// maxRows, that holds a character XML cannot hold. Answers "Error row N!!
// [page] <column title> holds the character U+0001, which cannot be saved. "
// (N counted from 1, as the N° column shows it), or nothing.
inline std::optional<QString> characterRefusalIn(const Grid* grid, int maxRows, const QString& page) {
    const int rows = std::min(maxRows, grid->cells()->rowCount());
    const int columns = grid->cells()->columnCount();
    for (int r = 0; r < rows && !grid->cell(r, 1).isEmpty(); ++r) {
        for (int c = 1; c < columns; ++c) {
            const QString text = grid->cell(r, c);
            const auto found = base::firstNonXmlCharacter(std::u16string_view(
                reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
            if (!found) continue;
            const QString title = grid->cells()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().simplified();
            return QStringLiteral("Error row %1!! [%2] ").arg(r + 1).arg(page) +
                   qs(base::characterRefusal(ss(title), *found)) + QStringLiteral(". ");
        }
    }
    return std::nullopt;
}

}  // namespace ui
