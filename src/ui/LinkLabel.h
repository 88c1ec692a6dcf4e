#pragma once

#include <QLabel>

namespace ui {

// A label that acts on a click: a hand cursor and the clicked signal. As a
// web link it is drawn blue and underlined.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    enum class Look { Plain, WebLink };
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr, Look look = Look::WebLink);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ui
