#include "ui/WrappingHeader.h"

#include <QPainter>

namespace ui {

WrappingHeader::WrappingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
}

QSize WrappingHeader::sizeHint() const {
    QSize hint = QHeaderView::sizeHint();
    hint.setHeight(fontMetrics().lineSpacing() * 2 + 8);
    return hint;
}

void WrappingHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) return;
    // The frame and background as the style draws them, the title by hand.
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);

    const QString title = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    painter->save();
    painter->setClipRect(rect);
    painter->setFont(font());
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(rect.adjusted(3, 2, -3, -2), Qt::AlignCenter | Qt::TextWordWrap, title);
    painter->restore();
}

}  // namespace ui
