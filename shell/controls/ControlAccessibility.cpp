#include "shell/controls/ControlAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "shell/controls/ConeShape.h"
#include "shell/controls/GaugeRec.h"

namespace norak {

namespace {

QAccessibleInterface* controlAccessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String(ConeShape::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
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
