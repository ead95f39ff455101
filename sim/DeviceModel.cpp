#include "sim/DeviceModel.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <array>
#include <optional>
#include <utility>

namespace {

const QByteArray kOk = QByteArrayLiteral("Ok\r\n");
const QByteArray kError = QByteArrayLiteral("Error\r\n");
const QByteArray kMemoryFull = QByteArrayLiteral("Memory full\r\n");

// Longest number the handheld reads; more digits are refused rather than overflowed.
constexpr int kMaxDigits = 9;
constexpr int kMaxSetting = 65535;
constexpr int kDisplayLines = 8;

// What a transponder read and a barcode scan return, in turn.
constexpr std::array kIdentifications = {"982 000123456789", "276 098106543210", "982 009100254317",
                                         "250 269604112233"};
constexpr std::array kBarcodes = {"4006381333931", "5901234123457", "9783161484100", "96385074"};

QByteArray replyLine(const QByteArray& text) {
    return text + "\r\n";
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHex(const QByteArray& text) {
    for (const char c : text) {
        const bool hex = isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hex)
            return false;
    }
    return !text.isEmpty();
}

// A token made of digits only, as block and display-line numbers must be.
std::optional<int> wholeNumber(const QByteArray& token) {
    if (token.isEmpty() || token.size() > kMaxDigits)
        return std::nullopt;
    int value = 0;
    for (const char c : token) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The number at the start of a setter's argument: blanks skipped, digits read up to the first
// other character, which ends the number (the tool sends list items as "1 ", digit and blank).
std::optional<int> leadingNumber(const QByteArray& text) {
    qsizetype at = 0;
    while (at < text.size() && text.at(at) == ' ')
        ++at;
    qsizetype end = at;
    while (end < text.size() && isDigit(text.at(end)))
        ++end;
    return wholeNumber(text.mid(at, end - at));
}

std::optional<int> numberIn(const QByteArray& text, int low, int high) {
    const std::optional<int> value = leadingNumber(text);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

// `number "text"`: a number token, one blank, and a text in double quotes that runs to the
// last quote of the line (a quote inside the text is taken as it stands).
struct NumberAndQuote {
    int number = 0;
    QByteArray text;
};

std::optional<NumberAndQuote> numberAndQuote(const QByteArray& argument) {
    const qsizetype blank = argument.indexOf(' ');
    if (blank < 0)
        return std::nullopt;
    const std::optional<int> number = wholeNumber(argument.left(blank));
    const QByteArray quoted = argument.mid(blank + 1);
    if (!number || quoted.size() < 2 || !quoted.startsWith('"') || !quoted.endsWith('"'))
        return std::nullopt;
    return NumberAndQuote{*number, quoted.mid(1, quoted.size() - 2)};
}

std::optional<int> blockNumber(const QByteArray& token) {
    const std::optional<int> block = wholeNumber(token);
    if (!block || *block >= DeviceModel::kBlockCount)
        return std::nullopt;
    return block;
}

QByteArray twoDigits(int value) {
    return QByteArray::number(value).rightJustified(2, '0');
}

// "from" or "from to", both block numbers, to not before from, at most kMaxReadSpan blocks.
std::optional<std::pair<int, int>> blockSpan(const QByteArray& argument) {
    const QList<QByteArray> parts = argument.split(' ');
    if (parts.size() > 2)
        return std::nullopt;
    const std::optional<int> first = blockNumber(parts.at(0));
    const std::optional<int> last = parts.size() == 2 ? blockNumber(parts.at(1)) : first;
    if (!first || !last || *last < *first || *last - *first >= DeviceModel::kMaxReadSpan)
        return std::nullopt;
    return std::pair{*first, *last};
}

// The settings that take one number, and the numbers each takes.
struct NumberSetting {
    const char* word;
    int DeviceModel::Settings::*value;
    int low;
    int high;
};

constexpr std::array kNumberSettings = {
    NumberSetting{"TAGTYP", &DeviceModel::Settings::tagType, 0, 6},
    NumberSetting{"OFF", &DeviceModel::Settings::offSeconds, 0, kMaxSetting},
    NumberSetting{"TIMEOUT", &DeviceModel::Settings::readTimeout, 0, kMaxSetting},
    NumberSetting{"GPSTIMEOUT", &DeviceModel::Settings::gpsTimeout, 0, kMaxSetting},
    NumberSetting{"FDXCODE", &DeviceModel::Settings::fdxCode, 1, 8},
    NumberSetting{"ENBEEP", &DeviceModel::Settings::beeper, 0, 1},
    NumberSetting{"GPS", &DeviceModel::Settings::gps, 0, 1},
    NumberSetting{"LANGUAGE", &DeviceModel::Settings::language, 0, 3},
};

// "mode,order".
bool setFunction(DeviceModel::Settings& s, const QByteArray& argument) {
    const qsizetype comma = argument.indexOf(',');
    if (comma < 0)
        return false;
    const std::optional<int> mode = numberIn(argument.left(comma), 1, 4);
    const std::optional<int> order = numberIn(argument.mid(comma + 1), 0, 4);
    if (!mode || !order)
        return false;
    s.mode = *mode;
    s.order = *order;
    return true;
}

// "dd.mm.yyyy hh:mm", a real calendar date and a 24-hour time.
bool setClock(DeviceModel::Settings& s, const QByteArray& argument) {
    const bool valid =
        argument.size() == 16 && argument.at(10) == ' ' &&
        QDate::fromString(QString::fromLatin1(argument.left(10)), QStringLiteral("dd.MM.yyyy"))
            .isValid() &&
        QTime::fromString(QString::fromLatin1(argument.mid(11)), QStringLiteral("hh:mm")).isValid();
    if (valid)
        s.clock = argument;
    return valid;
}

// Six printable characters, which follow "AE".
bool setSerialNumber(DeviceModel::Settings& s, const QByteArray& argument) {
    if (argument.size() != 6)
        return false;
    for (const char c : argument) {
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f)
            return false;
    }
    s.serialNumber = "AE" + argument;
    return true;
}

} // namespace

DeviceModel::DeviceModel() : DeviceModel(Options()) {}

DeviceModel::DeviceModel(const Options& options)
    : m_records(demoRecords(options.records)), m_capacity(options.capacity),
      m_customCodes(options.customCodes) {}

QList<DeviceModel::Exchange> DeviceModel::exchange(const QByteArray& bytes) {
    QList<Exchange> done;
    for (const char c : bytes) {
        if (c == '\n')
            continue;
        if (c == '\r') {
            if (m_overlong) {
                m_commands.append(m_pending);
                done.append({m_pending, kError});
            } else {
                done.append({m_pending, handle(m_pending)});
            }
            m_pending.clear();
            m_overlong = false;
            continue;
        }
        if (m_pending.size() >= kMaxCommandLength) {
            m_overlong = true;
            continue;
        }
        m_pending.append(c);
    }
    return done;
}

QByteArray DeviceModel::receive(const QByteArray& bytes) {
    QByteArray replies;
    for (const Exchange& done : exchange(bytes))
        replies += done.reply;
    return replies;
}

QByteArray DeviceModel::handle(const QByteArray& line) {
    m_commands.append(line);

    if (const std::optional<QByteArray> reply = bareCommand(line))
        return *reply;
    if (line.startsWith("PUT "))
        return put(line.mid(4));
    if (line.startsWith("SNR+"))
        return setSetting("SNR+", line.mid(4)) ? kOk : kError;

    const qsizetype blank = line.indexOf(' ');
    if (blank < 0)
        return kError;
    return commandWithArgument(line.left(blank), line.mid(blank + 1));
}

std::optional<QByteArray> DeviceModel::bareCommand(const QByteArray& line) {
    if (line == "ONLINE" || line == "DISCONNECT" || line == "KEYBOARD")
        return kOk;
    if (const QByteArray status = statusQuery(line); !status.isEmpty())
        return replyLine(status);
    if (line == "READID")
        return replyLine(nextIdentification());
    if (line == "SCAN")
        return replyLine(nextBarcode());
    if (line == "BEEP") {
        ++m_beeps;
        return kOk;
    }
    if (line == "CLS") {
        m_display.clear();
        return kOk;
    }
    if (line == "STA")
        return replyLine(QByteArray::number(m_customCodes) + '|' +
                         QByteArray::number(m_records.size()));
    if (line == "GET")
        return allRecords();
    if (line == "REC")
        return allSelections();
    if (line == "DEL E") {
        m_records.clear();
        return kOk;
    }
    if (line == "DEL T") {
        m_selections.clear();
        return kOk;
    }
    if (line == "READ")
        return readBlocks(0, 0);
    return std::nullopt;
}

QByteArray DeviceModel::commandWithArgument(const QByteArray& word, const QByteArray& argument) {
    if (word == "READ") {
        const std::optional<std::pair<int, int>> span = blockSpan(argument);
        return span ? readBlocks(span->first, span->second) : kError;
    }
    if (word == "BINREAD") {
        const QByteArray out = binaryRead(argument);
        return out.isEmpty() ? kError : out;
    }
    if (word == "WRITE")
        return writeBlock(argument) ? kOk : kError;
    if (word == "BINWRITE")
        return binaryWrite(argument) ? kOk : kError;
    if (word == "DISPLAY")
        return showText(argument) ? kOk : kError;
    return setSetting(word, argument) ? kOk : kError;
}

QByteArray DeviceModel::statusQuery(const QByteArray& word) const {
    const Settings& s = m_settings;
    auto value = [&word](const int number) { return word + ':' + QByteArray::number(number); };
    if (word == "TAGTYP")
        return value(s.tagType);
    if (word == "OFF")
        return value(s.offSeconds);
    if (word == "TIMEOUT")
        return value(s.readTimeout);
    if (word == "GPSTIMEOUT")
        return value(s.gpsTimeout);
    if (word == "FDXCODE")
        return value(s.fdxCode);
    if (word == "ENBEEP")
        return value(s.beeper);
    if (word == "GPS")
        return value(s.gps);
    if (word == "FUNCTION")
        return value(s.mode) + ',' + QByteArray::number(s.order);
    if (word == "LANGUAGE")
        return value(s.language);
    if (word == "AKKU")
        return value(s.battery);
    if (word == "VERSION")
        return word + ':' + s.version;
    if (word == "SNR")
        return word + ':' + s.serialNumber;
    return QByteArray();
}

bool DeviceModel::setSetting(const QByteArray& word, const QByteArray& argument) {
    Settings& s = m_settings;
    // Each setter changes its value only when the whole argument was understood.
    if (word == "OFF" && argument == "aus") {
        s.offSeconds = 0;
        return true;
    }
    for (const NumberSetting& setting : kNumberSettings) {
        if (word == setting.word) {
            const std::optional<int> value = numberIn(argument, setting.low, setting.high);
            if (value)
                s.*setting.value = *value;
            return value.has_value();
        }
    }
    if (word == "FUNCTION")
        return setFunction(s, argument);
    if (word == "CLOCK")
        return setClock(s, argument);
    if (word == "SNR+")
        return setSerialNumber(s, argument);
    return false;
}

QByteArray DeviceModel::readBlocks(int from, int to) const {
    QByteArray out;
    for (int block = from; block <= to; ++block)
        out += replyLine(QByteArray::number(block) + ':' +
                         m_blocks.value(block, QByteArray(kBlockSize, '\0')));
    return out;
}

QByteArray DeviceModel::binaryRead(const QByteArray& argument) const {
    const QList<QByteArray> parts = argument.split(' ');
    if (parts.size() > 2 || (parts.size() == 2 && !isHex(parts.at(1))))
        return QByteArray();
    const std::optional<int> block = blockNumber(parts.at(0));
    if (!block)
        return QByteArray();
    return replyLine(m_blocks.value(*block, QByteArray(kBlockSize, '\0')).toHex().toUpper());
}

bool DeviceModel::writeBlock(const QByteArray& argument) {
    const std::optional<NumberAndQuote> parsed = numberAndQuote(argument);
    if (!parsed || parsed->number >= kBlockCount)
        return false;
    m_blocks.insert(parsed->number, parsed->text);
    return true;
}

bool DeviceModel::binaryWrite(const QByteArray& argument) {
    const QList<QByteArray> parts = argument.split(' ');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    const std::optional<int> block = blockNumber(parts.at(0));
    const QByteArray& data = parts.at(1);
    if (!block || !isHex(data) || data.size() % 2 != 0)
        return false;
    if (parts.size() == 3 && !isHex(parts.at(2)))
        return false;
    m_blocks.insert(*block, QByteArray::fromHex(data));
    return true;
}

bool DeviceModel::showText(const QByteArray& argument) {
    const std::optional<NumberAndQuote> parsed = numberAndQuote(argument);
    if (!parsed || parsed->number < 1 || parsed->number > kDisplayLines)
        return false;
    m_display.insert(parsed->number, parsed->text);
    return true;
}

QByteArray DeviceModel::put(const QByteArray& selection) {
    if (m_selections.size() >= m_capacity)
        return kMemoryFull;
    m_selections.append(selection);
    return kOk;
}

QByteArray DeviceModel::allRecords() const {
    qsizetype size = 0;
    for (const QByteArray& record : m_records)
        size += record.size() + 2;
    QByteArray out;
    out.reserve(size);
    for (const QByteArray& record : m_records) {
        out += record;
        out += "\r\n";
    }
    return out;
}

QByteArray DeviceModel::allSelections() const {
    QByteArray out;
    for (const QByteArray& selection : m_selections)
        out += replyLine(selection);
    return out;
}

QByteArray DeviceModel::nextIdentification() {
    return kIdentifications.at(static_cast<std::size_t>(m_reads++) % kIdentifications.size());
}

QByteArray DeviceModel::nextBarcode() {
    return kBarcodes.at(static_cast<std::size_t>(m_scans++) % kBarcodes.size());
}

QList<QByteArray> DeviceModel::demoRecords(int count) {
    QList<QByteArray> records;
    records.reserve(qMax(count, 0));
    for (int n = 1; n <= count; ++n) {
        // A 32-bit transponder number in hex: spread over the range, distinct for every n.
        const quint32 tag = static_cast<quint32>(n) * 2654435761U + 0x1A2B3C4DU;
        const int day = 1 + n % 28;
        const int month = 1 + (n / 28) % 12;
        const int year = 2015 + (n / 336) % 10;
        const int hour = (7 + n * 5) % 24;
        const int minute = (n * 17) % 60;
        QByteArray record;
        record.reserve(32);
        record += QByteArray::number(n);
        record += '|';
        record += QByteArray::number(tag, 16).toUpper().rightJustified(8, '0');
        record += '|';
        record += twoDigits(day) + '.' + twoDigits(month) + '.' + QByteArray::number(year);
        record += ',';
        record += twoDigits(hour) + ':' + twoDigits(minute);
        records.append(record);
    }
    return records;
}
