#include "cli/DownloadTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

bool DownloadTarget::prepare(QString* why) {
    const QString temporary = QDir(QDir::tempPath())
                                  .filePath(QStringLiteral("quorvelino-records-%1.csv")
                                                .arg(QCoreApplication::applicationPid()));
    if (m_target == QLatin1String("-"))
        return create(temporary, why);
    const QFileInfo file(m_target);
    const QFileInfo folder(file.absolutePath());
    if (file.exists() && !file.isDir() && !file.isFile()) {
        // A pipe or a device is written once the records are complete, never replaced.
        if (file.isWritable())
            return create(temporary, why);
        *why = QStringLiteral("%1 may not be written").arg(m_target);
    } else if (!folder.isDir()) {
        *why = QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
    } else if (file.isDir()) {
        *why = QStringLiteral("%1 is a folder").arg(m_target);
    } else if (file.exists() && !file.isWritable()) {
        *why = QStringLiteral("%1 may not be written").arg(m_target);
    } else if (!folder.isWritable()) {
        *why = QStringLiteral("%1 may not be written").arg(folder.filePath());
    } else {
        m_destination = file.exists()      ? file.canonicalFilePath()
                        : file.isSymLink() ? file.symLinkTarget()
                                           : file.absoluteFilePath();
        return create(m_destination, why);
    }
    return false;
}

bool DownloadTarget::create(const QString& base, QString* why) {
    for (int n = 1; n <= kNames; ++n) {
        const QString name =
            base + QStringLiteral(".partial") + (n > 1 ? QStringLiteral("-%1").arg(n) : QString());
        QString systemSaid;
        switch (createNew(name, &systemSaid)) {
        case Creation::Created:
            m_working = name;
            return true;
        case Creation::Taken:
            continue;
        case Creation::Failed:
            *why = QStringLiteral("%1 cannot be created (%2)").arg(name, systemSaid);
            return false;
        }
    }
    *why = QStringLiteral("%1.partial and %1.partial-2 to -%2 exist already").arg(base).arg(kNames);
    return false;
}

QString DownloadTarget::targetName() const {
    return m_target == QLatin1String("-") ? QStringLiteral("standard output") : m_target;
}

DownloadTarget::Result DownloadTarget::settle(bool complete) {
    if (m_working.isEmpty())
        return {};
    if (!complete) {
        keep();
        return {};
    }
    return toStream() ? pour() : replace();
}

QString DownloadTarget::noneKept() const {
    if (toStream())
        return QStringLiteral("No record arrived, so none is kept, and nothing was written to %1.")
            .arg(targetName());
    return QStringLiteral("No record arrived, so none is kept, and %1 is as it was.").arg(m_target);
}

DownloadTarget::Result DownloadTarget::failure(const QString& what, const QString& why) {
    return {true, QStringLiteral("Every record arrived, but %1 (%2). They are all kept in the "
                                 "file %3.")
                      .arg(what, why, m_working)};
}
