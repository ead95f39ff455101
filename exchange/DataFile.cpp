#include "exchange/DataFile.h"

bool DataFile::open(const QString& path, QIODevice::OpenMode mode, Kind kind, QString* error) {
    close();
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("No file name is given.");
        return false;
    }
    m_file.setFileName(path);
    if (!m_file.open(mode)) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be opened: %2").arg(path, m_file.errorString());
        return false;
    }
    m_kind = kind;
    return true;
}

bool DataFile::openForRecords(const QString& path, QString* error) {
    return open(path, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered,
                Kind::Records, error);
}

bool DataFile::openForSelections(const QString& path, QString* error) {
    return open(path, QIODevice::ReadOnly, Kind::Selections, error);
}

bool DataFile::writeLine(const QByteArray& line, QString* error) {
    const QByteArray bytes = line + "\r\n";
    if (!m_file.isOpen() || m_file.write(bytes) != bytes.size()) {
        if (error)
            *error = QStringLiteral("Writing the file %1 failed: %2")
                         .arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> DataFile::readLine() {
    if (!m_file.isOpen() || m_file.atEnd())
        return std::nullopt;
    QByteArray line;
    char c = 0;
    while (m_file.getChar(&c)) {
        if (c == '\r') {
            char next = 0;
            if (m_file.peek(&next, 1) == 1 && next == '\n')
                m_file.getChar(&next);
            return line;
        }
        line.append(c);
    }
    return line;
}

bool DataFile::atEnd() { return !m_file.isOpen() || m_file.atEnd(); }

void DataFile::close() {
    if (m_file.isOpen())
        m_file.close();
    m_kind = Kind::None;
}
