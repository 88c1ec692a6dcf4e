#pragma once

#include <functional>

#include "ui/Form.h"

class QTabWidget;

namespace ui {

class ButtonBar;
class GraphicButton;

// A sizeable window whose content is two pages (TabSheet1, TabSheet2 on
// PageControl1) filling it above a bar that starts with OK, the default
// button, and Cancel.
class TwoPageForm : public Form {
    Q_OBJECT
public:
    TwoPageForm(QWidget* parent, const QString& caption, const QString& firstPage, const QString& secondPage,
                std::function<void()> ok);

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;

protected:
    ButtonBar* bar() const { return m_bar; }
    GraphicButton* okButton() const { return m_ok; }
    GraphicButton* cancelButton() const { return m_cancel; }

private:
    ButtonBar* m_bar;
    GraphicButton* m_ok;
    GraphicButton* m_cancel;
};

}  // namespace ui
