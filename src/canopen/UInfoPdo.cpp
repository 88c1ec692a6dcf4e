#include "canopen/UInfoPdo.h"

namespace canopen {

TFInfopdo::TFInfopdo(QWidget* parent)
    : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Define Store PDO")) {
    setFixedSize(420, 260);
}

}  // namespace canopen
