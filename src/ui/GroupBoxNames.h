#pragma once

// How a screen reader names a group box.
namespace ui {

// From now on every QGroupBox of the program is announced by its own title
// (or by an accessible name given to it), read at the moment it is asked, so
// the name follows every change of the title. Qt itself names a widget without
// an accessible name after the title of the group box around it, so a group box
// inside another was read with the outer one's title. Call once, after the
// QApplication exists; calling again changes nothing.
void announceGroupBoxesByTitle();

}  // namespace ui
