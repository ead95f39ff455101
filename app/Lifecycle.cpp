#include "app/Lifecycle.h"

#include "config/ConfigValues.h"
#include "exchange/DataFile.h"
#include "link/Link.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr int kPortCount = 16;
constexpr int kDisplayLines = 8;

QString section() {
    return QStringLiteral("Config");
}
QString portKey() {
    return QStringLiteral("Port");
}
QString connectedPortKey() {
    return QStringLiteral("ConnectedPort");
}
QString savePathKey() {
    return QStringLiteral("SavePath");
}
QString loadPathKey() {
    return QStringLiteral("LoadPath");
}

} // namespace

QString Lifecycle::storedPort(int index) {
    return index < 0 ? QString::number(index) : QLatin1Char(' ') + QString::number(index);
}

int Lifecycle::portIndex(const QString& stored) {
    bool whole = false;
    const qlonglong number = stored.trimmed().toLongLong(&whole);
    if (!whole || number < -1 || number >= kPortCount)
        return 0;
    return int(number);
}

void Lifecycle::noteConnected() {
    // A store that cannot be written is told at unload, with the other values.
    m_settings.save(section(), connectedPortKey(), m_controls.text(Control::Port));
}

int Lifecycle::connectedPort(const SettingsStore& settings) {
    static const QRegularExpression kCom(QStringLiteral("^COM([1-9][0-9]?)$"));
    const QRegularExpressionMatch com =
        kCom.match(settings.read(section(), connectedPortKey(), QString()));
    const int number = com.hasMatch() ? com.captured(1).toInt() : 0;
    return number <= kPortCount ? number : 0;
}

void Lifecycle::load() {
    QStringList ports;
    for (int number = 1; number <= kPortCount; ++number)
        ports << QStringLiteral("COM%1").arg(number);
    m_controls.addItems(Control::Port, ports);

    m_config.fillLists();

    QStringList lines;
    for (int line = 1; line <= kDisplayLines; ++line)
        lines << QString::number(line);
    m_controls.addItems(Control::DisplayZeile, lines);

    // The four tabs carry their captions from the window's construction on.

    m_link.setReplyMode(ReplyMode::Idle);

    const int port = portIndex(m_settings.read(section(), portKey(), QStringLiteral("0")));
    m_controls.setCurrentIndex(Control::Port, port);

    m_controls.setText(Control::PfadSpeichern,
                       m_settings.read(section(), savePathKey(), QString()));
    m_controls.setText(Control::PfadLaden, m_settings.read(section(), loadPathKey(), QString()));
}

void Lifecycle::unload() {
    if (m_link.port().isOpen()) {
        // The window closes either way: a goodbye that cannot be written has nobody to tell.
        static_cast<void>(m_link.sendLine("DISCONNECT"));
        m_link.port().close();
    }
    m_dataFile.close();
    bool saved =
        m_settings.save(section(), portKey(), storedPort(m_controls.currentIndex(Control::Port)));
    saved =
        m_settings.save(section(), savePathKey(), m_controls.text(Control::PfadSpeichern)) && saved;
    saved = m_settings.save(section(), loadPathKey(), m_controls.text(Control::PfadLaden)) && saved;
    if (saved)
        return;
    const QString where = m_settings.location();
    m_link.boxes().show(
        QStringLiteral("The settings could not be saved%1, so the port choice and the two file "
                       "paths will not be restored at the next start. Check that the folder can "
                       "be written.")
            .arg(where.isEmpty() ? QString() : QStringLiteral(" in ") + where),
        QString(), MessageBoxes::Icon::Warning, MessageBoxes::Buttons::Ok);
}
