#include "tools/UXML.h"

namespace tools {

TFXML::TFXML(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("XML Reader & Writer")) {
    setFixedSize(420, 260);
}

}  // namespace tools
