#pragma once

#include "ui/Form.h"

namespace documents {

// Window of the communication settings window, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFpargen : public ui::Form {
    Q_OBJECT
public:
    explicit TFpargen(QWidget* parent);
};

}  // namespace documents
