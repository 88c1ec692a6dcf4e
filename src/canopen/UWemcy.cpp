#include "canopen/UWemcy.h"

namespace canopen {

TFWemcy::TFWemcy(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Define EMCY Word")) {
    setFixedSize(420, 260);
}

}  // namespace canopen
