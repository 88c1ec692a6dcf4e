#pragma once

#include "ui/Form.h"

namespace documents {

// Window of the access tables window, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFSetVar : public ui::Form {
    Q_OBJECT
public:
    explicit TFSetVar(QWidget* parent);
};

}  // namespace documents
