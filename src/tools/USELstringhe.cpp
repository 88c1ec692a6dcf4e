#include "tools/USELstringhe.h"

namespace tools {

TFSELstringhe::TFSELstringhe(QWidget* parent)
    : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("Select String")) {
    setFixedSize(420, 260);
}

}  // namespace tools
