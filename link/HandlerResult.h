#pragma once

#include <QString>

// The outcome of a reply handler: either it went on to its end, or it failed with a
// description that the receive handler shows before it stops.
class HandlerResult {
public:
    static HandlerResult ok() { return HandlerResult(); }
    static HandlerResult failure(const QString& description) {
        HandlerResult result;
        result.m_failed = true;
        result.m_description = description;
        return result;
    }

    bool failed() const { return m_failed; }
    const QString& description() const { return m_description; }

private:
    bool m_failed = false;
    QString m_description;
};
