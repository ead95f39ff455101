#include "benchmarks/endtoend/ChildRuns.h"

#include "benchmarks/endtoend/ResourceUse.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr int kLongestRunMs = 60 * 60 * 1000;

QJsonObject failure(const QString& why) {
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), why}};
}

} // namespace

QJsonObject ChildRuns::run(const QString& scenario, const QStringList& extra) {
    return child(m_self, arguments(scenario, extra));
}

QJsonObject ChildRuns::runOnDisplay(const QString& display, const QString& scenario,
                                    const QStringList& extra) {
    return child(m_self, arguments(scenario, extra), display);
}

QJsonObject ChildRuns::runStartup() {
    QStringList args = arguments(QStringLiteral("startup"), {});
    args << QStringLiteral("--launched") << QString::number(monotonicNs());
    return child(m_self, args);
}

qint64 ChildRuns::countInstructions(int records, QString* error) {
    const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
    if (valgrind.isEmpty()) {
        *error = QStringLiteral("valgrind is not installed");
        return -1;
    }
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("callgrind.out"));
    // Only what runs inside countedSpan() is counted: the download, from the click on.
    QStringList args = {QStringLiteral("--tool=callgrind"), QStringLiteral("--collect-atstart=no"),
                        QStringLiteral("--toggle-collect=*countedSpan*"),
                        QStringLiteral("--callgrind-out-file=") + out, m_self};
    args << arguments(
        QStringLiteral("download"),
        {QStringLiteral("--records"), QString::number(records), QStringLiteral("--callgrind")});
    const QJsonObject result = child(valgrind, args);
    if (!result.value(QLatin1String("ok")).toBool()) {
        *error = result.value(QLatin1String("error")).toString();
        return -1;
    }
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("callgrind wrote no profile");
        return -1;
    }
    qint64 instructions = -1;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith("totals:"))
            instructions = line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    if (instructions < 0)
        *error = QStringLiteral("the profile holds no total");
    return instructions;
}

QString ChildRuns::prime(const QString& display) {
    const QJsonObject result = runOnDisplay(display, QStringLiteral("prime-x"), {});
    return result.value(QLatin1String("ok")).toBool()
               ? QString()
               : QStringLiteral("priming the X server: ") +
                     result.value(QLatin1String("error")).toString();
}

QStringList ChildRuns::arguments(const QString& scenario, const QStringList& extra) const {
    return QStringList{QStringLiteral("--scenario"), scenario, QStringLiteral("--sim"), m_sim} +
           extra;
}

QJsonObject ChildRuns::child(const QString& program, const QStringList& args,
                             const QString& display) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(kLongestRunMs))
        return failure(QStringLiteral("%1 did not finish").arg(program));
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(resultTag()))
            return QJsonDocument::fromJson(line.mid(resultTag().size())).object();
    }
    return failure(QStringLiteral("no result; it said: %1")
                       .arg(QString::fromLocal8Bit(process.readAllStandardError().right(400))));
}
