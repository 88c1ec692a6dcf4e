#pragma once

#include "ui/Form.h"

namespace canopen {

// Window of the EMCY word editor, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFWemcy : public ui::Form {
    Q_OBJECT
public:
    explicit TFWemcy(QWidget* parent);
};

}  // namespace canopen
