#include "tools/UModifyFileSx.h"

namespace tools {

TFModifyFileSx::TFModifyFileSx(QWidget* parent)
    : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Generate Firmware")) {
    setFixedSize(420, 260);
}

}  // namespace tools
