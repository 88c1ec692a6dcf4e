#pragma once

#include "ui/Form.h"

namespace canopen {

// Window of the Translate EMCY editor, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFemcy : public ui::Form {
    Q_OBJECT
public:
    explicit TFemcy(QWidget* parent);
};

}  // namespace canopen
