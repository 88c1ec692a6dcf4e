#pragma once

#include "ui/Form.h"

namespace tools {

// Window of the XML reader and writer, created at start-up with the others. Its controls are
// not built yet: it opens as an empty dialog with its caption.
class TFXML : public ui::Form {
    Q_OBJECT
public:
    explicit TFXML(QWidget* parent);
};

}  // namespace tools
