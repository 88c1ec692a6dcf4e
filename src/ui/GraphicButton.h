#pragma once

#include <QPushButton>

class QVariantAnimation;

namespace ui {

// The program's push button: a rounded face that lights up when the pointer
// is over it and fades back slowly when it leaves, with an optional glyph.
// Keyboard focus, the default-button role of a dialog (Enter presses it) and
// accessibility come from QPushButton; the accessible name is the caption.
class GraphicButton : public QPushButton {
    Q_OBJECT
public:
    enum class Glyph { None, ArrowRight, Info, Close, Refresh };
    enum class Shape { Push, Small };

    explicit GraphicButton(const QString& caption, QWidget* parent = nullptr, Glyph glyph = Glyph::None,
                           Shape shape = Shape::Push);

    Glyph glyph() const { return m_glyph; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fadeTo(qreal target, int milliseconds);
    void paintGlyph(QPainter& painter, const QRectF& box, const QColor& colour) const;

    Glyph m_glyph;
    Shape m_shape;
    qreal m_hover = 0;  // 0: resting, 1: fully lit
    QVariantAnimation* m_fade;
};

}  // namespace ui
