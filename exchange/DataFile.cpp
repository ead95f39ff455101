#include "exchange/DataFile.h"

#include <algorithm>
#include <utility>

namespace {

// The first CR (or LF, when LFs end lines) at or after `from`; -1 when there is none.
qsizetype lineEnd(const QByteArray& bytes, qsizetype from, bool lfEndsLines) {
    const char* begin = bytes.constData();
    for (const char* at = begin + from; at < begin + bytes.size(); ++at) {
        if (*at == '\r' || (*at == '\n' && lfEndsLines))
            return at - begin;
    }
    return -1;
}

constexpr qint64 kReadPiece = 64 * 1024;

} // namespace

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
            *error =
                QStringLiteral("The file %1 cannot be opened: %2").arg(path, m_file.errorString());
        return false;
    }
    m_kind = kind;
    return true;
}

QString DataFile::sentence(const QString& reason) {
    return reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.');
}

bool DataFile::openForRecords(const QString& path, QString* error) {
    return open(path, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered,
                Kind::Records, error);
}

bool DataFile::openForSelections(const QString& path, QString* error) {
    return open(path, QIODevice::ReadOnly, Kind::Selections, error);
}

void DataFile::addLine(const QByteArray& line) {
    m_waiting += line;
    m_waiting += "\r\n";
    m_waitingEnds.append(m_waiting.size());
}

bool DataFile::flush(qsizetype* kept, QString* error) {
    const QByteArray bytes = std::exchange(m_waiting, {});
    const QList<qsizetype> ends = std::exchange(m_waitingEnds, {});
    *kept = ends.size();
    if (bytes.isEmpty())
        return true;
    if (!m_file.isOpen()) {
        *kept = 0;
        if (error)
            *error = QStringLiteral("Writing the file %1 failed: the file is not open")
                         .arg(m_file.fileName());
        return false;
    }
    const qint64 before = m_file.pos();
    qint64 written = qMax<qint64>(m_file.write(bytes), 0);
    // A disk that fills up takes part of the lines and refuses the rest: the second write tells
    // why.
    if (written > 0 && written < bytes.size())
        written +=
            qMax<qint64>(m_file.write(bytes.constData() + written, bytes.size() - written), 0);
    if (written == bytes.size())
        return true;
    if (error)
        *error = QStringLiteral("Writing the file %1 failed: %2")
                     .arg(m_file.fileName(), m_file.errorString());
    // The file ends with the last complete line, never with a piece of one.
    *kept = std::upper_bound(ends.begin(), ends.end(), written) - ends.begin();
    const qint64 end = before + (*kept > 0 ? ends.at(*kept - 1) : 0);
    if (m_file.size() > end && m_file.resize(end))
        m_file.seek(end);
    return false;
}

bool DataFile::fill() {
    if (m_exhausted || !m_file.isOpen())
        return false;
    // Taken bytes are dropped before the buffer grows, so it never holds more than the line
    // being read and one piece.
    if (m_position > 0) {
        m_buffer.remove(0, m_position);
        m_searchFrom -= m_position;
        m_position = 0;
    }
    const qsizetype before = m_buffer.size();
    m_buffer.resize(before + kReadPiece);
    const qint64 got = m_file.read(m_buffer.data() + before, kReadPiece);
    m_buffer.resize(before + qMax<qint64>(got, 0));
    if (got < 0) {
        m_readError = QStringLiteral("Reading the file %1 failed: %2")
                          .arg(m_file.fileName(), m_file.errorString());
        m_exhausted = true;
        return false;
    }
    if (got == 0) {
        m_exhausted = true;
        return false;
    }
    return true;
}

std::optional<QByteArray> DataFile::readLine() {
    if (!m_file.isOpen() || !m_readError.isEmpty())
        return std::nullopt;
    while (true) {
        const qsizetype end = lineEnd(m_buffer, m_searchFrom, m_lfEndsLines);
        if (end >= 0) {
            // After a CR, the byte that follows decides whether an LF belongs to the line end.
            // Filling may move the buffer's contents, so the end is looked for again afterwards.
            if (m_buffer.at(end) == '\r' && end + 1 == m_buffer.size() && !m_exhausted) {
                fill();
                continue;
            }
            if (!m_readError.isEmpty())
                return std::nullopt;
            QByteArray line = m_buffer.mid(m_position, end - m_position);
            m_position = end + 1;
            if (m_buffer.at(end) == '\r' && m_position < m_buffer.size() &&
                m_buffer.at(m_position) == '\n')
                ++m_position;
            m_searchFrom = m_position;
            return line;
        }
        m_searchFrom = m_buffer.size();
        if (fill())
            continue;
        if (!m_readError.isEmpty() || m_position == m_buffer.size())
            return std::nullopt;
        // The last line, without a line end, or ended by an LF alone that is the file's last
        // byte (a line added on Linux to a file of CR LF lines).
        QByteArray line = m_buffer.mid(m_position);
        if (line.endsWith('\n'))
            line.chop(1);
        m_position = m_searchFrom = m_buffer.size();
        return line;
    }
}

bool DataFile::atEnd() {
    if (!m_file.isOpen() || !m_readError.isEmpty())
        return true;
    return m_position == m_buffer.size() && (m_exhausted || m_file.atEnd());
}

std::optional<qint64> DataFile::countLines(QString* error) {
    resetReading();
    if (!m_file.seek(0)) {
        if (error)
            *error = QStringLiteral("Reading the file %1 failed: %2")
                         .arg(m_file.fileName(), m_file.errorString());
        return std::nullopt;
    }
    // Every CR ends a line (an LF right after it belongs to that end); an LF alone ends one only
    // in a file without any CR. Bytes after the last line end form one more line. An LF opening a
    // piece was already looked at with the piece before.
    qint64 crLines = 0;
    qint64 lfLines = 0;
    bool afterCr = false;
    bool crTail = false; // bytes since the last CR, the LF that belongs to it not counted
    bool lfTail = false; // bytes since the last LF
    QByteArray piece(kReadPiece, Qt::Uninitialized);
    while (true) {
        const qint64 got = m_file.read(piece.data(), kReadPiece);
        if (got < 0) {
            if (error)
                *error = QStringLiteral("Reading the file %1 failed: %2")
                             .arg(m_file.fileName(), m_file.errorString());
            return std::nullopt;
        }
        if (got == 0)
            break;
        for (qint64 i = 0; i < got; ++i) {
            const char c = piece.at(i);
            if (c == '\r')
                ++crLines;
            if (c == '\n')
                ++lfLines;
            crTail = c != '\r' && (crTail || c != '\n' || !afterCr);
            lfTail = c != '\n';
            afterCr = c == '\r';
        }
    }
    if (!m_file.seek(0)) {
        if (error)
            *error = QStringLiteral("Reading the file %1 failed: %2")
                         .arg(m_file.fileName(), m_file.errorString());
        return std::nullopt;
    }
    m_lfEndsLines = crLines == 0;
    return m_lfEndsLines ? lfLines + (lfTail ? 1 : 0) : crLines + (crTail ? 1 : 0);
}

void DataFile::resetReading() {
    m_buffer.clear();
    m_position = 0;
    m_searchFrom = 0;
    m_exhausted = false;
    m_readError.clear();
}

void DataFile::close() {
    qsizetype kept = 0;
    flush(&kept, nullptr);
    if (m_file.isOpen())
        m_file.close();
    m_kind = Kind::None;
    resetReading();
}
