#pragma once

#include <QPixmap>

namespace ui {

// The vendor's logo, drawn at the given side length in pixels.
QPixmap vendorLogo(int side);

}  // namespace ui
