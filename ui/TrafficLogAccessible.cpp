#include "ui/TrafficLogAccessible.h"

#include "ui/TrafficLog.h"

TrafficLogAccessible::TrafficLogAccessible(TrafficLog* log)
    : QAccessibleWidget(log, QAccessible::EditableText) {}

QString TrafficLogAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value)
        return static_cast<const TrafficLog*>(widget())->toPlainText();
    return QAccessibleWidget::text(kind);
}

QAccessible::State TrafficLogAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QAccessibleInterface* TrafficLogAccessible::create(const QString& className, QObject* object) {
    if (className == QLatin1String("TrafficLog") && object && object->isWidgetType())
        return new TrafficLogAccessible(static_cast<TrafficLog*>(object));
    return nullptr;
}
