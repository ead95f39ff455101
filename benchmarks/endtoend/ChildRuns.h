#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// Runs each scenario in a process of its own, this program started again with --scenario NAME on
// Qt's offscreen platform or on an X server's display, and reads back what it measured: the one
// line of its standard output that starts with resultTag(), followed by the result as JSON.
class ChildRuns {
public:
    ChildRuns(QString self, QString sim) : m_self(std::move(self)), m_sim(std::move(sim)) {}

    static QByteArray resultTag() { return QByteArrayLiteral("QV-RESULT "); }

    QJsonObject run(const QString& scenario, const QStringList& extra = {});
    // The same on the X11 platform, on the display given (":93").
    QJsonObject runOnDisplay(const QString& display, const QString& scenario,
                             const QStringList& extra);
    // Primes the X server on the display given (Scenarios::primeDisplay()): empty, or why not.
    QString prime(const QString& display);
    // The start-up scenario, told the moment it was launched.
    QJsonObject runStartup();
    // The download of that many records under callgrind, counting the download alone: its
    // instructions, or -1 with the reason in `error`.
    qint64 countInstructions(int records, QString* error);

private:
    QStringList arguments(const QString& scenario, const QStringList& extra) const;
    QJsonObject child(const QString& program, const QStringList& args,
                      const QString& display = QString());

    QString m_self;
    QString m_sim;
};
