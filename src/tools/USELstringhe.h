#pragma once

#include "ui/Form.h"

namespace tools {

// Window of the select-string window, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFSELstringhe : public ui::Form {
    Q_OBJECT
public:
    explicit TFSELstringhe(QWidget* parent);
};

}  // namespace tools
