#include "canopen/USdo.h"

namespace canopen {

TFsdo::TFsdo(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Set SDO Access")) {
    setFixedSize(420, 260);
}

}  // namespace canopen
