#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "ui/GraphicButton.h"

class QDialog;
class QHBoxLayout;

namespace ui {

// The bottom bar of a dialog, built from the roles of its buttons:
// - accept: the window's default button; Enter and the keypad Enter press it
//   (while a grid cell, list line or tree item is being edited, the item
//   view takes Enter to end the edit), and it is drawn as the default;
//   in a window with grids, Ctrl+Enter presses it from anywhere, an edit in a
//   grid included;
// - reject: closes the window with the cancel result, as Escape and the close
//   box do;
// - action: any other command.
// Handlers run guarded. Buttons stand at the left or the right end, in the
// order they are added, and keep that order for Tab.
class ButtonBar : public QWidget {
    Q_OBJECT
public:
    enum class Side { Left, Right };
    using Glyph = GraphicButton::Glyph;

    // A bar for window, placed by the caller in the window's layout (or in
    // one page of it: a bar on a page that is shown makes its accept button
    // the window's default).
    explicit ButtonBar(QDialog* window, QWidget* parent = nullptr);

    GraphicButton* accept(const QString& caption, std::function<void()> handler, Side side = Side::Left,
                          Glyph glyph = Glyph::None);
    GraphicButton* reject(const QString& caption, Side side = Side::Left);
    GraphicButton* action(const QString& caption, std::function<void()> handler, Side side = Side::Right,
                          Glyph glyph = Glyph::None);

protected:
    void showEvent(QShowEvent* event) override;

private:
    GraphicButton* add(const QString& caption, Side side, Glyph glyph);

    QDialog* m_window;
    QHBoxLayout* m_row;
    int m_leftCount = 0;
    GraphicButton* m_accept = nullptr;
};

}  // namespace ui
