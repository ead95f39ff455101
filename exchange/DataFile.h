#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <optional>

// The tool's one data file: the record file while a download writes it, or the selection file
// while an upload reads it. At most one is open at a time; closing when none is open is no error.
// Bytes pass through unchanged: no character-set conversion, no line-end translation.
class DataFile {
public:
    enum class Kind { None, Records, Selections };

    // A reason this file gave, as the platform words it, as a sentence of a message.
    static QString sentence(const QString& reason);

    // Creates the file, or empties it, for writing records. The text is the reason on failure.
    bool openForRecords(const QString& path, QString* error);
    bool openForSelections(const QString& path, QString* error);

    // Adds the line and CR LF to the lines that wait for flush().
    void addLine(const QByteArray& line);
    qsizetype waitingLines() const { return m_waitingEnds.size(); }
    // Hands the waiting lines to the operating system with one write before it returns, so a
    // pulled cable or a killed tool keeps every one of them. A disk that takes them only in part
    // keeps the complete lines among them: the piece of the next is taken back out, and the file
    // ends with the last whole line. *kept tells how many of the waiting lines the file holds,
    // all of them unless it returns false; none wait afterwards.
    bool flush(qsizetype* kept, QString* error);

    // The next selection line: it ends at CR LF or at a CR alone, and in a file that holds no CR
    // (one written on Linux) at an LF alone; countLines() finds out which. The end is not part of
    // it, so no line holds a CR; an LF in a file with CRs stays in its line (a field of two
    // lines), except an LF that is the file's last byte: it ends the last line. The last line
    // may lack its end, and a file that ends with a line end yields no empty line after it. Nothing
    // at the end of the file or when reading failed (readError() then tells why). Lines of any
    // length are read in time proportional to their length.
    std::optional<QByteArray> readLine();
    bool atEnd();
    // The number of lines readLine() yields from the start of the selection file, counted
    // without keeping them; the next readLine() starts again at the first line. Nothing when
    // reading failed.
    std::optional<qint64> countLines(QString* error);
    // Why the last read failed; empty when no read failed since the file was opened.
    QString readError() const { return m_readError; }

    // Lines still waiting are written first.
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    Kind kind() const { return m_file.isOpen() ? m_kind : Kind::None; }
    QString path() const { return m_file.fileName(); }

private:
    bool open(const QString& path, QIODevice::OpenMode mode, Kind kind, QString* error);
    // Appends the next piece of the file to the read buffer; false at the end or on failure.
    bool fill();
    void resetReading();

    QFile m_file;
    Kind m_kind = Kind::None;
    QByteArray m_buffer;        // bytes read from the file and not yet taken
    qsizetype m_position = 0;   // bytes before this position in m_buffer have been taken
    qsizetype m_searchFrom = 0; // no line end stands between m_position and this position
    bool m_exhausted = false;   // the file has no bytes beyond m_buffer
    bool m_lfEndsLines = true;  // an LF alone ends a line: the file holds no CR (countLines())
    QString m_readError;
    QByteArray m_waiting;           // lines added and not yet written, each with its CR LF
    QList<qsizetype> m_waitingEnds; // where each of them ends in m_waiting
};
