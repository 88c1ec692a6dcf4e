#pragma once

#include "ui/Form.h"

namespace tools {

// Window of the help window, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFHelp : public ui::Form {
    Q_OBJECT
public:
    explicit TFHelp(QWidget* parent);
};

}  // namespace tools
