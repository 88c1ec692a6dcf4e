#include "ui/Form.h"

#include <QLayout>
#include <QShowEvent>

#include "ui/Guard.h"
#include "ui/Style.h"

namespace ui {

Form::Form(QWidget* parent, FormFrame frame, const QString& caption) : QDialog(parent) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame == FormFrame::FixedCloseBox) flags |= Qt::WindowCloseButtonHint;
    if (frame == FormFrame::Sizeable)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
    setWindowTitle(caption);
    setModal(true);
    setAutoFillBackground(true);
}

void Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (layout()) layout()->activate();
    centreOnScreen(this);
    guarded(this, [this] { FormShow(); });
    FormFocus();
}

}  // namespace ui
