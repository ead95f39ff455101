#pragma once

#include "sim/DeviceModel.h"
#include "sim/PtyDevice.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

// The handheld on a pseudo-terminal, on a thread of its own so that it answers while the tool's
// window thread sits in a blocking pause, as real hardware does. Its model records every command
// that reaches it; the test reaches the model only through call().
class HandheldThread {
public:
    HandheldThread() {
        m_context.moveToThread(&m_thread);
        m_thread.start();
        call([this] {
            m_device = std::make_unique<PtyDevice>(m_model, PtyDevice::Options{});
            if (!m_device->open())
                m_error = m_device->errorString();
        });
    }
    ~HandheldThread() {
        call([this] { m_device.reset(); });
        m_thread.quit();
        m_thread.wait();
    }
    HandheldThread(const HandheldThread&) = delete;
    HandheldThread& operator=(const HandheldThread&) = delete;

    // Runs on the handheld's thread and returns when done.
    void call(const std::function<void()>& work) {
        QMetaObject::invokeMethod(&m_context, work, Qt::BlockingQueuedConnection);
    }
    QString error() const { return m_error; }
    QString device() {
        QString path;
        call([&] { path = m_device->slavePath(); });
        return path;
    }
    QList<QByteArray> commands() {
        QList<QByteArray> commands;
        call([&] { commands = m_model.commands(); });
        return commands;
    }
    qint64 bytesWritten() {
        qint64 written = 0;
        call([&] { written = m_device->bytesWritten(); });
        return written;
    }
    DeviceModel model() {
        DeviceModel copy;
        call([&] { copy = m_model; });
        return copy;
    }
    void setModel(const DeviceModel& model) {
        call([&] { m_model = model; });
    }

private:
    QObject m_context;
    QThread m_thread;
    DeviceModel m_model;
    std::unique_ptr<PtyDevice> m_device;
    QString m_error;
};

// Points COM1 of the tool's settings in `configHome` at the device; the tool reads them when it
// is made.
inline bool mapCom1(const QString& configHome, const QString& device) {
    QDir(configHome).mkpath(QStringLiteral("Quorvelino"));
    QFile ini(configHome + QStringLiteral("/Quorvelino/Quorvelino.ini"));
    return ini.open(QIODevice::WriteOnly) &&
           ini.write("[Ports]\nCOM1=" + device.toLocal8Bit() + "\n") > 0;
}
