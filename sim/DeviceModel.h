#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <optional>
#include <utility>

// The handheld reader as a pure state machine: command bytes in, reply bytes out.
//
// No I/O and no timing: whoever carries the bytes (a pseudo-terminal, a test) decides when they
// arrive and when the replies leave. Bytes are 8-bit and passed through untouched; NUL bytes are
// ordinary characters.
//
// Framing as the handheld does it: a command ends at CR (13); an LF (10) anywhere is dropped; a
// command without its CR yet is kept until the CR arrives. Every reply line ends with CR LF.
// Commands are case-sensitive; what the handheld does not understand it answers with "Error".
class DeviceModel {
public:
    struct Options {
        int records = 10;    // demo records held at start, see demoRecords()
        int capacity = 100;  // selections the memory holds before it answers "Memory full"
        int customCodes = 0; // the first number of the "STA" reply
    };

    // What the status queries report and the setters change.
    struct Settings {
        int tagType = 1;      // TAGTYP, 0..6
        int offSeconds = 300; // OFF, automatic switch-off after seconds; 0 = never
        int readTimeout = 20; // TIMEOUT, in 50 ms steps
        int gpsTimeout = 30;  // GPSTIMEOUT, in seconds
        int fdxCode = 2;      // FDXCODE, 1..8
        int beeper = 1;       // ENBEEP, 0 or 1
        int gps = 0;          // GPS, 0 or 1
        int mode = 1;         // FUNCTION, operating mode 1..4
        int order = 0;        // FUNCTION, capture order 0..4
        int language = 1;     // LANGUAGE, 0..3
        int battery = 87;     // AKKU, percent
        QByteArray version = QByteArrayLiteral("V2.31 Sim");
        QByteArray serialNumber = QByteArrayLiteral("AE012345"); // SNR, "AE" and six characters
        QByteArray clock; // the last "CLOCK" argument accepted, "dd.mm.yyyy hh:mm"; empty before
    };

    // A command line longer than this (without its CR) is not stored; it is answered "Error".
    static constexpr int kMaxCommandLength = 65536;

    DeviceModel();
    explicit DeviceModel(const Options& options);

    // A command line the bytes completed (without its CR) and the reply to it, empty when the
    // handheld answers nothing.
    struct Exchange {
        QByteArray command;
        QByteArray reply;
    };
    // Takes the bytes the tool wrote and carries out every command they complete: the commands
    // and their replies, in order. Every CR ends a command; an LF is dropped.
    QList<Exchange> exchange(const QByteArray& bytes);
    // The same, with the replies concatenated; empty when no command was completed.
    QByteArray receive(const QByteArray& bytes);
    // The start of a command whose CR has not arrived yet.
    QByteArray pendingInput() const { return m_pending; }

    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }

    // Captured records as they go on the wire, without CR LF.
    const QList<QByteArray>& records() const { return m_records; }
    void setRecords(QList<QByteArray> records) { m_records = std::move(records); }

    // Stored selections: each "PUT " line's text after "PUT ", without CR.
    const QList<QByteArray>& selections() const { return m_selections; }
    void setSelections(QList<QByteArray> selections) { m_selections = std::move(selections); }
    int capacity() const { return m_capacity; }
    void setCapacity(int capacity) { m_capacity = capacity; }
    int customCodes() const { return m_customCodes; }
    void setCustomCodes(int count) { m_customCodes = count; }

    // Display text per display line (1..8); a line that was never written or was cleared is
    // absent.
    const QMap<int, QByteArray>& display() const { return m_display; }
    QByteArray displayLine(int line) const { return m_display.value(line); }

    // Transponder blocks by block number, as bytes. "WRITE" stores text, "BINWRITE" the bytes of
    // its hex digits; "READ" shows the text, "BINREAD" the hex digits. Unwritten blocks read as
    // kBlockSize zero bytes.
    const QMap<int, QByteArray>& blocks() const { return m_blocks; }
    static constexpr int kBlockSize = 4;
    static constexpr int kBlockCount = 256;
    // At most this many blocks are listed by one "READ".
    static constexpr int kMaxReadSpan = 64;

    int beeps() const { return m_beeps; }

    // Every command line received, without its CR, in order of arrival.
    const QList<QByteArray>& commands() const { return m_commands; }

    // Deterministic record lines "n|transponder|dd.mm.yyyy,hh:mm", numbered from 1, the
    // transponder number as eight hex digits: 31 to 33 bytes with CR LF, so the largest download,
    // 32767 records, is about 1 MB.
    static QList<QByteArray> demoRecords(int count);

private:
    QByteArray handle(const QByteArray& line);
    // The reply to a command that takes no argument, or none when the line is not one.
    std::optional<QByteArray> bareCommand(const QByteArray& line);
    QByteArray commandWithArgument(const QByteArray& word, const QByteArray& argument);
    QByteArray statusQuery(const QByteArray& word) const;
    bool setSetting(const QByteArray& word, const QByteArray& argument);
    // Lines "n:text" for the blocks from..to; "READ" alone lists block 0.
    QByteArray readBlocks(int from, int to) const;
    QByteArray binaryRead(const QByteArray& argument) const;
    bool writeBlock(const QByteArray& argument);
    bool binaryWrite(const QByteArray& argument);
    bool showText(const QByteArray& argument);
    QByteArray put(const QByteArray& selection);
    QByteArray allRecords() const;
    QByteArray allSelections() const;
    QByteArray nextIdentification();
    QByteArray nextBarcode();

    Settings m_settings;
    QList<QByteArray> m_records;
    QList<QByteArray> m_selections;
    int m_capacity = 100;
    int m_customCodes = 0;
    QMap<int, QByteArray> m_display;
    QMap<int, QByteArray> m_blocks;
    QList<QByteArray> m_commands;
    QByteArray m_pending;
    bool m_overlong = false; // the pending command passed kMaxCommandLength; it is being dropped
    int m_beeps = 0;
    int m_reads = 0;
    int m_scans = 0;
};
