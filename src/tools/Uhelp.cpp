#include "tools/Uhelp.h"

namespace tools {

TFHelp::TFHelp(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Help")) {
    setFixedSize(420, 260);
}

}  // namespace tools
