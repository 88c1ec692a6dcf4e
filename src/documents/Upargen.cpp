#include "documents/Upargen.h"

namespace documents {

TFpargen::TFpargen(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("SET COMMUNICATION")) {
    setObjectName(QStringLiteral("TFpargen"));
    setFixedSize(420, 260);
}

}  // namespace documents
