#pragma once

#include "ui/Form.h"

namespace update {

// Window of the update wizard, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFBootSer : public ui::Form {
    Q_OBJECT
public:
    explicit TFBootSer(QWidget* parent);
};

}  // namespace update
