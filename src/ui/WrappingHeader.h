#pragma once

#include <QHeaderView>

namespace ui {

// A horizontal grid header whose titles wrap onto two lines, so long titles
// stay whole in narrow columns.
class WrappingHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit WrappingHeader(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

}  // namespace ui
