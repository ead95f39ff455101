#pragma once

#include <QString>
#include <QTemporaryFile>
#include <utility>

// The selection file an upload on the command line reads. The upload's handler reads its file
// twice (it counts the lines first), so standard input ("-") and anything else that can be read
// only once (a pipe, /dev/stdin) is first copied whole into a temporary file, before the port is
// opened; a regular file is read where it is.
class UploadSource {
public:
    // `source` as given on the command line: a path, or "-" for standard input.
    explicit UploadSource(QString source) : m_source(std::move(source)) {}

    // Checks the source and takes the copy when one is needed; false with the reason (a phrase)
    // when the selections could not be loaded.
    bool prepare(QString* why);
    // The file the upload's handler is to read; the copy lasts as long as this object.
    QString path() const { return m_copied ? m_copy.fileName() : m_source; }

private:
    bool copy(int from, const QString& name, QString* why);

    QString m_source;
    QTemporaryFile m_copy;
    bool m_copied = false;
};
