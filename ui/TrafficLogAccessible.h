#pragma once

#include <QAccessibleWidget>

class TrafficLog;

// What assistive technology learns of the traffic log: a read-only, multi-line text whose value is
// the text shown.
class TrafficLogAccessible final : public QAccessibleWidget {
public:
    explicit TrafficLogAccessible(TrafficLog* log);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

    // The factory to install with QAccessible::installFactory: an interface for a TrafficLog,
    // none for anything else.
    static QAccessibleInterface* create(const QString& className, QObject* object);
};
