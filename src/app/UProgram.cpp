#include "app/UProgram.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include "app/UForms.h"
#include "app/UTessaroneFirmWare.h"
#include "platform/FileSystem.h"
#include "ui/Style.h"
#include "ui/TerminationSignals.h"

namespace app {
namespace {

// Creates the other windows once the main window has been painted for the
// first time, in the event loop's next turn, so that the first sight of the
// program does not wait for them. A command that asks for one of them sooner
// makes TForms create them all at that moment, in the same order.
class CreateAfterFirstPaint final : public QObject {
public:
    explicit CreateAfterFirstPaint(TForms& forms) : QObject(forms.FTessaroneFirmWare), m_forms(forms) {
        forms.FTessaroneFirmWare->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_forms.createAll();
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TForms& m_forms;
};

}  // namespace

std::unique_ptr<TForms> startProgram(QApplication& application) {
    return startProgram(application, platform::executableDirectory());
}

std::unique_ptr<TForms> startProgram(QApplication& application, const std::string& programDir) {
    // The application's name is its title for the desktop (task bar, message
    // boxes); it is not set as the display name, which would be appended to
    // every window caption.
    QApplication::setApplicationName(QStringLiteral("Firmware Tessaro"));
    ui::applyLooks(application);
    ui::closeWindowsOnTerminationSignals();

    auto forms = std::make_unique<TForms>(programDir);
    new CreateAfterFirstPaint(*forms);
    forms->FTessaroneFirmWare->show();
    return forms;
}

}  // namespace app
