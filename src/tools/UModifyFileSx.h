#pragma once

#include "ui/Form.h"

namespace tools {

// Window of the firmware generator, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFModifyFileSx : public ui::Form {
    Q_OBJECT
public:
    explicit TFModifyFileSx(QWidget* parent);
};

}  // namespace tools
