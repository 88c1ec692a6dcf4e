#pragma once

#include "ui/Form.h"

namespace canopen {

// Window of the SDO translation table editor, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFsdo : public ui::Form {
    Q_OBJECT
public:
    explicit TFsdo(QWidget* parent);
};

}  // namespace canopen
