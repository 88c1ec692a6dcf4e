#pragma once

#include "ui/Form.h"

namespace canopen {

// Window of the Translate PDO editor, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFpdo : public ui::Form {
    Q_OBJECT
public:
    explicit TFpdo(QWidget* parent);
};

}  // namespace canopen
