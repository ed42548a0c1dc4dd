#include "shell/controls/ControlAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRadioButton>

#include "shell/controls/ConeShape.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/GaugeRec.h"

namespace norak {

namespace {

// Marks the other buttons whose "Press" is queued (a flat button's always is).
constexpr char kQueuedPressProperty[] = "norakQueuedAccessiblePress";

// A button for assistive tools whose "Press" (or a radio button's "Toggle") queues the click and
// returns at once, as a push button's does: a click that opens a modal dialog (the save dialog
// of the export, the save question of a new test) must not keep the tool waiting until the
// dialog is closed.
class QueuedPressButtonAccessible : public QAccessibleWidget {
  public:
    explicit QueuedPressButtonAccessible(QAbstractButton* button)
        : QAccessibleWidget(
              button, qobject_cast<QRadioButton*>(button) ? QAccessible::RadioButton : QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return FlatButton::stripAccelerator(button()->text());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->isDown();
        s.checkable = button()->isCheckable();
        s.checked = button()->isChecked();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{clickAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override {
        if (actionName != clickAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        if (button()->isEnabled())
            QMetaObject::invokeMethod(button(), &QAbstractButton::click, Qt::QueuedConnection);
    }

  private:
    // What a click is called: a radio button is toggled (on), any other button pressed.
    QString clickAction() const {
        return role() == QAccessible::RadioButton ? toggleAction() : pressAction();
    }
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* controlAccessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String(ConeShape::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String(FlatButton::staticMetaObject.className()))
        return new QueuedPressButtonAccessible(static_cast<FlatButton*>(widget));
    if (className == QLatin1String(GaugeRec::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::ProgressBar);
    // Asked for the most derived class first, so the mark wins over the button's own kind.
    if (auto* button = qobject_cast<QAbstractButton*>(widget);
        button && button->property(kQueuedPressProperty).toBool())
        return new QueuedPressButtonAccessible(button);
    return nullptr;
}

}  // namespace

void installControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(controlAccessibleFactory);
        return true;
    }();
    (void)installed;
}

void queueAccessiblePress(QAbstractButton* button) {
    installControlAccessibility();
    button->setProperty(kQueuedPressProperty, true);
    // A button given its text on construction has already been asked for its interface (the
    // name change is announced): that one goes, so that the next question meets the mark.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(button);
    if (made && !dynamic_cast<QueuedPressButtonAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

}  // namespace norak
