#pragma once

#include <QColor>
#include <QFont>

class QApplication;
class QFrame;
class QWidget;

// The looks shared by every window: a warm light background, dark grey text,
// Verdana where it is installed (DejaVu Sans otherwise).
namespace ui {

inline const QColor kBackground{0xF8, 0xF7, 0xED};
inline const QColor kText{0x33, 0x33, 0x33};
inline const QColor kAccent{0x3D, 0x6E, 0x95};
inline const QColor kFrame{0xC9, 0xC3, 0xA6};
inline const QColor kStepGrey{0x8A, 0x86, 0x78};
inline const QColor kLink{0x1A, 0x4F, 0xB5};

// The cell colours of the grids: the numbered column in the window's own
// colour, and three that group a table's columns (what a row is keyed by,
// where it goes, the user's label).
inline const QColor kGridFixed{kBackground};
inline const QColor kGridCyan{0xE0, 0xFA, 0xFE};
inline const QColor kGridRose{0xFC, 0xD6, 0xF4};
inline const QColor kGridYellow{0xFF, 0xFF, 0xA8};

// The family used for all text.
QString fontFamily();
// The program's font at a point size, optionally bold.
QFont programFont(qreal pointSize = 9, bool bold = false);

// Palette, font and the styling of the standard controls, once for the program;
// also names every group box by its own title for screen readers.
void applyLooks(QApplication& application);

// A horizontal rule in the frame colour, between parts of a window.
QFrame* makeRule(QWidget* parent);
// A plain frame in the frame colour around a group of controls that has no title.
QFrame* makeFrame(QWidget* parent);

// Moves a top-level window to the middle of the screen it is on.
void centreOnScreen(QWidget* window);

}  // namespace ui
