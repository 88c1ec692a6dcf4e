#include "app/UForms.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <type_traits>

#include "app/UTessaroneFirmWare.h"
#include "canopen/UInfoPdo.h"
#include "canopen/USdo.h"
#include "canopen/USetPdo.h"
#include "canopen/UWemcy.h"
#include "canopen/Uemcy.h"
#include "canopen/Updo.h"
#include "documents/USetVar.h"
#include "documents/Upargen.h"
#include "firmware/UModifyFileSx.h"
#include "project/UAbout.h"
#include "project/Unewp.h"
#include "tools/USELstringhe.h"
#include "tools/Uhelp.h"
#include "ui/WindowContext.h"
#include "update/UBootSer.h"
#include "xmltools/UXML.h"

namespace app {
namespace {

// A window takes what its constructor asks for: the context, the workspace
// alone, or nothing but its parent.
template <class T>
QWidget* create(QWidget* mainWindow, const ui::WindowContext& context) {
    if constexpr (std::is_constructible_v<T, QWidget*, const ui::WindowContext&>) {
        return new T(mainWindow, context);
    } else if constexpr (std::is_constructible_v<T, QWidget*, workspace::Workspace&>) {
        return new T(mainWindow, context.workspace);
    } else {
        return new T(mainWindow);
    }
}

// F1 in any window of the program opens the Help window at that window's
// section. Watching the whole application, not each window, gives every
// window, message box and chooser the key without a line of its own.
class HelpOnF1 final : public QObject {
public:
    HelpOnF1(const TForms& forms, QObject* owner) : QObject(owner), m_forms(forms) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
        QWidget* window = static_cast<QWidget*>(watched)->window();
        auto* help = m_forms.window<tools::TFHelp>();
        if (!help || window == help || help->isVisible()) return false;
        help->setTopic(window == m_forms.FTessaroneFirmWare ? QString() : window->windowTitle());
        help->exec();
        return true;
    }

private:
    const TForms& m_forms;
};

QString bareClassName(const QMetaObject& meta) {
    const QString name = QString::fromLatin1(meta.className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

template <class T>
WindowEntry entry(const char* objectName) {
    return {bareClassName(T::staticMetaObject), QString::fromLatin1(objectName), &create<T>};
}

}  // namespace

const std::vector<WindowEntry>& windowList() {
    static const std::vector<WindowEntry> list{
        {bareClassName(TFTessaroneFirmWare::staticMetaObject), QStringLiteral("FTessaroneFirmWare"), nullptr},
        entry<project::TFsaveproj>("Fsaveproj"),
        entry<tools::TFHelp>("FHelp"),
        entry<project::TFAbout>("FAbout"),
        entry<tools::TFSELstringhe>("FSELstringhe"),
        entry<firmware::TFModifyFileSx>("FModifyFileSx"),
        entry<documents::TFpargen>("Fpargen"),
        entry<canopen::TFsdo>("Fsdo"),
        entry<canopen::TFpdo>("Fpdo"),
        entry<canopen::TFemcy>("Femcy"),
        entry<canopen::TFWemcy>("FWemcy"),
        entry<xmltools::TFXML>("FXML"),
        entry<canopen::TFInfopdo>("FInfopdo"),
        entry<documents::TFSetVar>("FSetVar"),
        entry<canopen::TFSetPdo>("FSetPdo"),
        entry<update::TFBootSer>("FBootSer"),
    };
    return list;
}

const WindowEntry* findWindow(const QString& className) {
    for (const WindowEntry& each : windowList()) {
        if (each.className == className) return &each;
    }
    return nullptr;
}

TForms::TForms(const std::string& programDir) {
    FTessaroneFirmWare = new TFTessaroneFirmWare(programDir);
    FTessaroneFirmWare->setObjectName(windowList().front().objectName);
    m_windows.append(FTessaroneFirmWare);
    FTessaroneFirmWare->setForms(this);
    new HelpOnF1(*this, FTessaroneFirmWare);
}

void TForms::createAll() const {
    if (allCreated()) return;
    for (const WindowEntry& each : windowList()) {
        if (!each.create) continue;
        QWidget* window = each.create(FTessaroneFirmWare, FTessaroneFirmWare->context());
        window->setObjectName(each.objectName);
        m_windows.append(window);
    }
}

// The other windows are children of the main window and go with it.
TForms::~TForms() {
    delete FTessaroneFirmWare;
}

QWidget* TForms::byClass(const QString& className) const {
    const std::vector<WindowEntry>& list = windowList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].className == className) return all().value(static_cast<int>(i));
    }
    return nullptr;
}

}  // namespace app
