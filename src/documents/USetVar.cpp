#include "documents/USetVar.h"

namespace documents {

TFSetVar::TFSetVar(QWidget* parent) : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Set Access")) {
    setObjectName(QStringLiteral("TFSetVar"));
    setFixedSize(420, 260);
}

}  // namespace documents
