#include "ui/GroupBoxNames.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>

namespace ui {
namespace {

// A title without its mnemonic marks: "&Serial" reads "Serial", "&&" reads "&".
QString withoutMnemonic(const QString& title) {
    QString text;
    text.reserve(title.size());
    for (qsizetype i = 0; i < title.size(); ++i) {
        if (title[i] == u'&' && ++i == title.size()) break;
        text += title[i];
    }
    return text;
}

// What Qt's own interface of a group box gives (role, check state, the toggle
// of a checkable box, the children it labels), but named by the box itself.
class AccessibleGroupBox : public QAccessibleWidget {
public:
    explicit AccessibleGroupBox(QGroupBox* box) : QAccessibleWidget(box) {}

    QGroupBox* box() const { return static_cast<QGroupBox*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString given = box()->accessibleName();
            return given.isEmpty() ? withoutMnemonic(box()->title()) : given;
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::Role role() const override {
        return box()->isCheckable() ? QAccessible::CheckBox : QAccessible::Grouping;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = box()->isCheckable();
        state.checked = box()->isChecked();
        return state;
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation match) const override {
        QList<QPair<QAccessibleInterface*, QAccessible::Relation>> related = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Labelled) && !box()->title().isEmpty()) {
            for (QWidget* child : box()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->isWindow()) continue;
                if (QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child)) {
                    related.append({face, QAccessible::Labelled});
                }
            }
        }
        return related;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (box()->isCheckable()) names.prepend(QAccessibleActionInterface::toggleAction());
        return names;
    }

    void doAction(const QString& name) override {
        if (name == QAccessibleActionInterface::toggleAction() && box()->isCheckable()) {
            box()->setChecked(!box()->isChecked());
            return;
        }
        QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* groupBoxInterface(const QString& className, QObject* object) {
    if (className != QLatin1String("QGroupBox") || !object || !object->isWidgetType()) return nullptr;
    auto* box = qobject_cast<QGroupBox*>(object);
    return box ? new AccessibleGroupBox(box) : nullptr;
}

}  // namespace

void announceGroupBoxesByTitle() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(groupBoxInterface);
}

}  // namespace ui
