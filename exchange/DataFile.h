#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// The tool's one data file: the record file while a download writes it, or the selection file
// while an upload reads it. At most one is open at a time; closing when none is open is no error.
class DataFile {
public:
    enum class Kind { None, Records, Selections };

    // Creates the file, or empties it, for writing records. The text is the reason on failure.
    bool openForRecords(const QString& path, QString* error);
    bool openForSelections(const QString& path, QString* error);

    // Writes the line and CR LF and hands them to the operating system before it returns, so a
    // pulled cable or a killed tool keeps every record written.
    bool writeLine(const QByteArray& line, QString* error);

    // The next selection line: it ends at CR LF or at a CR alone; the end is not part of it.
    // Nothing at the end of the file.
    std::optional<QByteArray> readLine();
    bool atEnd();

    void close();
    bool isOpen() const { return m_file.isOpen(); }
    Kind kind() const { return m_file.isOpen() ? m_kind : Kind::None; }
    QString path() const { return m_file.fileName(); }

private:
    bool open(const QString& path, QIODevice::OpenMode mode, Kind kind, QString* error);

    QFile m_file;
    Kind m_kind = Kind::None;
};
