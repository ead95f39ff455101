#include "benchmarks/endtoend/Report.h"

namespace {

QString field(const QJsonObject& result, const char* key) {
    return QString::number(result.value(QLatin1String(key)).toInteger());
}

} // namespace

QString Report::duration(qint64 us) {
    if (us < 1000)
        return QStringLiteral("%1 us").arg(us);
    if (us < 1'000'000)
        return QStringLiteral("%1 ms").arg(double(us) / 1000, 0, 'f', us < 100'000 ? 1 : 0);
    return QStringLiteral("%1 s").arg(double(us) / 1'000'000, 0, 'f', 3);
}

QString Report::megabytes(qint64 bytes) {
    return QStringLiteral("%1 MB").arg(double(bytes) / 1'000'000, 0, 'f', 2);
}

void Report::addRow(const QString& scenario, const QJsonObject& result, qint64 stallUs) {
    const QString none = QStringLiteral("–");
    if (!result.value(QLatin1String("ok")).toBool()) {
        m_rows.append({scenario,
                       QStringLiteral("failed: ") + result.value(QLatin1String("error")).toString(),
                       none, none, none, none, none});
        return;
    }
    const qint64 wallUs = result.value(QLatin1String("wallUs")).toInteger();
    const qint64 wireBytes = result.value(QLatin1String("wireBytes")).toInteger();
    const qint64 wire = wireUs(wireBytes);
    m_rows.append({
        scenario,
        duration(wallUs),
        duration(result.value(QLatin1String("cpuUs")).toInteger()),
        megabytes(result.value(QLatin1String("peakKb")).toInteger() * 1024),
        wireBytes > 0
            ? QStringLiteral("%1 (%2 bytes)").arg(duration(wire), field(result, "wireBytes"))
            : none,
        wireBytes > 0 ? QString::number(double(wallUs) / double(wire), 'g', 3) : none,
        stallUs >= 0 ? duration(stallUs) : none,
    });
}

void Report::addTarget(bool met, const QString& text) {
    m_targets.append({met, text});
}

void Report::addNote(const QString& text) {
    m_notes.append(text);
}

QString Report::text() const {
    QString out;
    out += QStringLiteral("| Scenario | Wall time | CPU time (user+sys) | Peak memory | Wire time "
                          "of the bytes | Wall / wire | Longest stall beyond pauses |\n");
    out += QStringLiteral("|---|--:|--:|--:|--:|--:|--:|\n");
    for (const QStringList& row : m_rows)
        out += QStringLiteral("| ") + row.join(QStringLiteral(" | ")) + QStringLiteral(" |\n");
    out += QLatin1Char('\n');
    for (const QString& section : m_sections)
        out += section + QLatin1Char('\n');
    for (const Target& target : m_targets)
        out += QStringLiteral("- %1: %2\n")
                   .arg(target.met ? QStringLiteral("met") : QStringLiteral("MISSED"), target.text);
    if (!m_notes.isEmpty())
        out += QLatin1Char('\n');
    for (const QString& note : m_notes)
        out += note + QLatin1Char('\n');
    return out;
}

bool Report::allMet() const {
    for (const Target& target : m_targets) {
        if (!target.met)
            return false;
    }
    return true;
}
