#include "ui/GraphicButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>
#include <QVariantAnimation>

#include "ui/Style.h"

namespace ui {
namespace {

QColor blend(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

const QColor kFaceTop{0xFF, 0xFF, 0xFC};
const QColor kFaceBottom{0xEC, 0xE9, 0xD8};
const QColor kLitTop{0xE6, 0xF0, 0xF7};
const QColor kLitBottom{0xC9, 0xDD, 0xEC};

}  // namespace

GraphicButton::GraphicButton(const QString& caption, QWidget* parent, Glyph glyph, Shape shape)
    : QPushButton(parent), m_glyph(glyph), m_shape(shape), m_fade(new QVariantAnimation(this)) {
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_hover = value.toReal();
        update();
    });
}

QSize GraphicButton::sizeHint() const {
    const QFontMetrics metrics(font());
    if (m_shape == Shape::Small) {
        const int side = std::max(24, metrics.height() + 10);
        const int width = text().isEmpty() || m_glyph != Glyph::None ? side : metrics.horizontalAdvance(text()) + 16;
        return {std::max(side, width), side};
    }
    int width = metrics.horizontalAdvance(text()) + 32;
    if (m_glyph != Glyph::None) width += metrics.height() + 6;
    return {std::max(width, 96), std::max(30, metrics.height() + 14)};
}

void GraphicButton::fadeTo(qreal target, int milliseconds) {
    m_fade->stop();
    m_fade->setStartValue(m_hover);
    m_fade->setEndValue(target);
    m_fade->setDuration(milliseconds);
    m_fade->start();
}

void GraphicButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    if (isEnabled()) fadeTo(1.0, 120);
}

void GraphicButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    fadeTo(0.0, 450);  // the light fades out slowly
}

// Enter presses the focused button, also outside a dialog (the main window).
void GraphicButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void GraphicButton::paintGlyph(QPainter& painter, const QRectF& box, const QColor& colour) const {
    QPen pen(colour, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPointF c = box.center();
    const qreal r = box.width() / 2;
    switch (m_glyph) {
        case Glyph::None: break;
        case Glyph::ArrowRight: {
            painter.drawLine(QPointF(c.x() - r * 0.6, c.y()), QPointF(c.x() + r * 0.6, c.y()));
            painter.drawPolyline(QPolygonF(
                {QPointF(c.x(), c.y() - r * 0.55), QPointF(c.x() + r * 0.6, c.y()), QPointF(c.x(), c.y() + r * 0.55)}));
            break;
        }
        case Glyph::Info: {
            painter.drawEllipse(c, r * 0.85, r * 0.85);
            QFont letter = painter.font();
            letter.setBold(true);
            letter.setPixelSize(qRound(r * 1.25));
            painter.setFont(letter);
            painter.drawText(box, Qt::AlignCenter, QStringLiteral("i"));
            break;
        }
        case Glyph::Close: {
            const qreal d = r * 0.45;
            painter.drawLine(QPointF(c.x() - d, c.y() - d), QPointF(c.x() + d, c.y() + d));
            painter.drawLine(QPointF(c.x() + d, c.y() - d), QPointF(c.x() - d, c.y() + d));
            break;
        }
        case Glyph::Refresh: {
            const QRectF arc(c.x() - r * 0.6, c.y() - r * 0.6, r * 1.2, r * 1.2);
            painter.drawArc(arc, 40 * 16, 280 * 16);
            const QPointF tip(c.x() + r * 0.46, c.y() - r * 0.39);
            painter.drawPolyline(QPolygonF({QPointF(tip.x() - r * 0.35, tip.y() - r * 0.05), tip,
                                            QPointF(tip.x() + r * 0.02, tip.y() + r * 0.36)}));
            break;
        }
    }
}

void GraphicButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = m_shape == Shape::Small ? 4 : 5;

    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    const qreal lit = isEnabled() ? m_hover : 0;
    QColor top = blend(kFaceTop, kLitTop, lit);
    QColor bottom = blend(kFaceBottom, kLitBottom, lit);
    if (isDown()) std::swap(top, bottom);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    QColor border = blend(kFrame, kAccent, std::max(lit, hasFocus() || isDefault() ? 0.7 : 0.0));
    if (!isEnabled()) border = kFrame;

    QPainterPath path;
    path.addRoundedRect(face, radius, radius);
    painter.fillPath(path, fill);
    painter.setPen(QPen(border, isDefault() && isEnabled() ? 1.6 : 1.0));
    painter.drawPath(path);

    const QColor ink = isEnabled() ? kText : QColor(0xA8, 0xA4, 0x94);
    QRectF content = face.adjusted(8, 0, -8, 0);
    if (isDown()) content.translate(0, 1);
    painter.setFont(font());

    if (m_glyph != Glyph::None) {
        const qreal side = std::min<qreal>(16, face.height() - 10);
        QRectF glyphBox;
        if (text().isEmpty() || m_shape == Shape::Small) {
            glyphBox = QRectF(0, 0, side, side);
            glyphBox.moveCenter(content.center());
            paintGlyph(painter, glyphBox, m_glyph == Glyph::Close ? blend(ink, QColor(0xB0, 0x30, 0x30), lit) : ink);
            content = QRectF();
        } else {
            glyphBox = QRectF(content.right() - side, content.center().y() - side / 2, side, side);
            paintGlyph(painter, glyphBox, ink);
            content.setRight(glyphBox.left() - 4);
        }
    }
    if (!content.isNull()) {
        painter.setPen(ink);
        painter.drawText(content, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }

    if (hasFocus()) {
        QPen focus(kAccent, 1, Qt::DotLine);
        painter.setPen(focus);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(face.adjusted(3, 3, -3, -3), radius - 2, radius - 2);
    }
}

}  // namespace ui
