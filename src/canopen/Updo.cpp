#include "canopen/Updo.h"

namespace canopen {

TFpdo::TFpdo(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Define Traslate PDO")) {
    setFixedSize(420, 260);
}

}  // namespace canopen
