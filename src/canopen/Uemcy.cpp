#include "canopen/Uemcy.h"

namespace canopen {

TFemcy::TFemcy(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Set Traslate EMCY")) {
    setFixedSize(420, 260);
}

}  // namespace canopen
