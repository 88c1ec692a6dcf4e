#include "canopen/USetPdo.h"

namespace canopen {

TFSetPdo::TFSetPdo(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Set PDO Access")) {
    setFixedSize(420, 260);
}

}  // namespace canopen
