#include "shell/controls/ControlAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "shell/controls/ConeShape.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/GaugeRec.h"

namespace norak {

namespace {

// A flat button for assistive tools. Its "Press" queues the click and returns at once, as a push
// button's does: a click that opens a modal dialog (the save dialog of the export) must not keep
// the tool waiting until the dialog is closed.
class FlatButtonAccessible : public QAccessibleWidget {
  public:
    explicit FlatButtonAccessible(FlatButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return FlatButton::stripAccelerator(button()->text());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->isDown();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        if (button()->isEnabled())
            QMetaObject::invokeMethod(button(), &QAbstractButton::click, Qt::QueuedConnection);
    }

  private:
    FlatButton* button() const { return static_cast<FlatButton*>(widget()); }
};

QAccessibleInterface* controlAccessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String(ConeShape::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String(FlatButton::staticMetaObject.className()))
        return new FlatButtonAccessible(static_cast<FlatButton*>(widget));
    if (className == QLatin1String(GaugeRec::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::ProgressBar);
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

}  // namespace norak
