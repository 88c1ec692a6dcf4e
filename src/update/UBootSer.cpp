#include "update/UBootSer.h"

namespace update {

TFBootSer::TFBootSer(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Update Firmware from Serial (RS232)")) {
    setObjectName(QStringLiteral("TFBootSer"));
    setFixedSize(420, 260);
}

}  // namespace update
