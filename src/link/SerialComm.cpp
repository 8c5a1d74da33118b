#include "SerialComm.h"

#include <QFileInfo>

namespace {
const QString kDisconnected = QStringLiteral("The device was disconnected");

bool isFatalLineError(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
}

// The port layer's failure, never with the number 0 that means "no failure".
CommError portFailure(const QSerialPort &port, QSerialPort::SerialPortError fallback)
{
    CommError failure{int(port.error()), port.errorString()};
    if (failure.number == 0)
        failure.number = int(fallback);
    return failure;
}
} // namespace

SerialComm::SerialComm(QObject *parent)
    : QObject(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialComm::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialComm::onErrorOccurred);
    connect(&m_hangupCheck, &HangupCheck::lineHungUp, this, [this] {
        failLine({int(QSerialPort::ResourceError), kDisconnected});
    });
}

SerialComm::~SerialComm()
{
    close();
}

CommError SerialComm::open(const QString &device, qint32 baudRate)
{
    if (m_port.isOpen())
        return {int(QSerialPort::OpenError), QStringLiteral("The port is already open")};
    if (device.isEmpty())
        return {int(QSerialPort::DeviceNotFoundError), QStringLiteral("No serial port selected")};
    m_port.setPortName(device);
    m_port.setBaudRate(baudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_busy = true;
    const bool opened = m_port.open(QIODevice::ReadWrite);
    // Bytes that reached the device while it was closed (a late answer to an earlier probe
    // stays queued in a pseudo-terminal) are not news from the line: only what arrives once
    // the port is open may count as an answer.
    if (opened)
        m_port.clear(QSerialPort::Input);
    m_busy = false;
    if (!opened) {
        CommError failure = portFailure(m_port, QSerialPort::OpenError);
#ifndef Q_OS_WIN
        const QFileInfo file(device);
        if (m_port.error() == QSerialPort::PermissionError && file.exists() && !file.isWritable()) {
            failure.description += QStringLiteral(" (to use %1 the user must belong to the group "
                                                  "\"%2\" that owns it, usually dialout)")
                                       .arg(device, file.group());
        }
#endif
        return failure;
    }
    m_port.clearError();
    m_hangupCheck.start(m_port.handle());
    return {};
}

void SerialComm::close()
{
    m_hangupCheck.stop();
    if (m_port.isOpen())
        m_port.close();
}

CommError SerialComm::output(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return {int(QSerialPort::NotOpenError), QStringLiteral("The port is not open")};
    m_port.clearError();
    m_busy = true;
    const qint64 written = m_port.write(bytes);
    if (written == bytes.size())
        m_port.flush();
    m_busy = false;
    if (written != bytes.size() || m_port.error() == QSerialPort::WriteError ||
        m_port.error() == QSerialPort::ResourceError)
        return portFailure(m_port, QSerialPort::WriteError);
    return {};
}

void SerialComm::onReadyRead()
{
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty())
        Q_EMIT received(bytes);
}

void SerialComm::onErrorOccurred(QSerialPort::SerialPortError error)
{
    if (m_busy || !m_port.isOpen() || !isFatalLineError(error))
        return;
    const bool gone = HangupCheck::hungUp(m_port.handle());
    failLine({int(error), gone ? kDisconnected : m_port.errorString()});
}

void SerialComm::failLine(const CommError &failure)
{
    // Close first: the port layer would go on reporting the same failure for every turn of
    // the event loop, and whatever the link does next may run one.
    close();
    Q_EMIT lineFailed(failure);
}
