#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// The benchmark's result: a Markdown table with one row per scenario, the sections added, then
// each target as met or missed.
class Report {
public:
    // One row. stallUs is the longest stall over all runs of the scenario, -1 when not measured.
    void addRow(const QString& scenario, const QJsonObject& result, qint64 stallUs);
    // Text shown after the table, before the targets.
    void addSection(const QString& text) { m_sections.append(text); }
    void addTarget(bool met, const QString& text);
    void addNote(const QString& text);

    QString text() const;
    bool allMet() const;

    // The time the bytes take on the line at 38400 baud, 8N1: ten bits each.
    static qint64 wireUs(qint64 bytes) { return bytes * 10 * 1'000'000 / 38400; }
    // "850 us", "12.3 ms", "2.551 s".
    static QString duration(qint64 us);
    static QString megabytes(qint64 bytes);

private:
    struct Target {
        bool met;
        QString text;
    };
    QList<QStringList> m_rows;
    QStringList m_sections;
    QList<Target> m_targets;
    QStringList m_notes;
};
