#pragma once

#include "ui/Form.h"

namespace canopen {

// Window of the PROFIBUS-to-PDO access table editor, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFSetPdo : public ui::Form {
    Q_OBJECT
public:
    explicit TFSetPdo(QWidget* parent);
};

}  // namespace canopen
