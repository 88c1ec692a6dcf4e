#include "ui/Logo.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/Style.h"

namespace ui {

QPixmap vendorLogo(int side) {
    QPixmap logo(side, side);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;

    // A rounded tile in the accent colour ...
    QLinearGradient tile(0, 0, 0, s);
    tile.setColorAt(0, QColor(0x4F, 0x86, 0xB0));
    tile.setColorAt(1, QColor(0x2A, 0x55, 0x78));
    QPainterPath face;
    face.addRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);
    painter.fillPath(face, tile);

    // ... with two interlocking links: the serial side and the fieldbus side.
    QPen link(QColor(0xF8, 0xF7, 0xED), s * 0.075, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(link);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(s * 0.16, s * 0.36, s * 0.42, s * 0.28), s * 0.14, s * 0.14);
    painter.setPen(QPen(QColor(0xF2, 0xC1, 0x4E), s * 0.075, Qt::SolidLine, Qt::RoundCap));
    painter.drawRoundedRect(QRectF(s * 0.42, s * 0.36, s * 0.42, s * 0.28), s * 0.14, s * 0.14);

    // A small bar of data bits under them.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF8, 0xF7, 0xED, 200));
    for (int i = 0; i < 5; ++i) {
        const qreal w = s * 0.07;
        painter.drawRoundedRect(QRectF(s * 0.27 + i * s * 0.1, s * 0.76, w, w), w / 3, w / 3);
    }
    return logo;
}

}  // namespace ui
