#include "SerialComm.h"

#include "LineHangup.h"

#include <QFileInfo>
#include <QStringList>

namespace {
// How often an open line is checked for a device that has gone away without the port
// layer noticing (some Qt versions read nothing and report nothing on a hang-up).
constexpr int kHangupCheckMs = 250;

const QString kDisconnected = QStringLiteral("The device was disconnected");

bool isFatalLineError(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
}
} // namespace

SerialComm::SerialComm(QObject *parent)
    : QObject(parent)
{
    m_hangupCheck.setInterval(kHangupCheckMs);
    connect(&m_hangupCheck, &QTimer::timeout, this, &SerialComm::onHangupCheck);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialComm::commEvent);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialComm::onErrorOccurred);
}

SerialComm::~SerialComm()
{
    close();
}

CommError SerialComm::setSettings(const QString &settings)
{
    const QStringList parts = settings.split(QLatin1Char(','));
    const CommError invalid{int(QSerialPort::UnsupportedOperationError),
                            QStringLiteral("Invalid line settings \"%1\"").arg(settings)};
    if (parts.size() != 4)
        return invalid;
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return invalid;
    const QString parity = parts[1].trimmed().toLower();
    QSerialPort::Parity parityValue;
    if (parity == QLatin1String("n"))
        parityValue = QSerialPort::NoParity;
    else if (parity == QLatin1String("e"))
        parityValue = QSerialPort::EvenParity;
    else if (parity == QLatin1String("o"))
        parityValue = QSerialPort::OddParity;
    else if (parity == QLatin1String("m"))
        parityValue = QSerialPort::MarkParity;
    else if (parity == QLatin1String("s"))
        parityValue = QSerialPort::SpaceParity;
    else
        return invalid;
    const int data = parts[2].trimmed().toInt(&ok);
    if (!ok || data < 5 || data > 8)
        return invalid;
    const QString stop = parts[3].trimmed();
    QSerialPort::StopBits stopValue;
    if (stop == QLatin1String("1"))
        stopValue = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        stopValue = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        stopValue = QSerialPort::TwoStop;
    else
        return invalid;
    m_baudRate = baud;
    m_parity = parityValue;
    m_dataBits = QSerialPort::DataBits(data);
    m_stopBits = stopValue;
    return {};
}

CommError SerialComm::setLinkOptions()
{
    // The port layer notifies as soon as one character waits and sends each write at once
    // (see output()); only the flow control needs setting.
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    return {};
}

CommError SerialComm::open()
{
    if (m_port.isOpen())
        return {int(QSerialPort::OpenError), QStringLiteral("The port is already open")};
    if (m_deviceName.isEmpty())
        return {int(QSerialPort::DeviceNotFoundError), QStringLiteral("No serial port selected")};
    m_lineFailure = {};
    m_port.setPortName(m_deviceName);
    m_port.setBaudRate(m_baudRate);
    m_port.setParity(m_parity);
    m_port.setDataBits(m_dataBits);
    m_port.setStopBits(m_stopBits);
    m_opening = true;
    const bool opened = m_port.open(QIODevice::ReadWrite);
    // Bytes that reached the device while it was closed (a late answer to an earlier probe
    // stays queued in a pseudo-terminal) are not news from the line: only what arrives once
    // the port is open may count as an answer.
    if (opened)
        m_port.clear(QSerialPort::Input);
    m_opening = false;
    if (!opened) {
        CommError failure{int(m_port.error()), m_port.errorString()};
        if (failure.number == 0)
            failure.number = int(QSerialPort::OpenError);
#ifndef Q_OS_WIN
        const QFileInfo device(m_deviceName);
        if (m_port.error() == QSerialPort::PermissionError && device.exists() &&
            !device.isWritable()) {
            failure.description += QStringLiteral(" (to use %1 the user must belong to the group "
                                                  "\"%2\" that owns it, usually dialout)")
                                       .arg(m_deviceName, device.group());
        }
#endif
        return failure;
    }
    m_port.clearError();
    m_hangupCheck.start();
    return {};
}

void SerialComm::close()
{
    m_hangupCheck.stop();
    if (m_port.isOpen())
        m_port.close();
}

bool SerialComm::isOpen() const
{
    return m_port.isOpen();
}

CommError SerialComm::output(const QString &text)
{
    if (!m_port.isOpen())
        return {int(QSerialPort::NotOpenError), QStringLiteral("The port is not open")};
    const QByteArray bytes = text.toLatin1();
    m_port.clearError();
    // A failing write is reported to the caller, which decides what becomes of the line.
    m_writing = true;
    const qint64 written = m_port.write(bytes);
    if (written == bytes.size())
        m_port.flush();
    m_writing = false;
    if (written != bytes.size() || m_port.error() == QSerialPort::WriteError ||
        m_port.error() == QSerialPort::ResourceError) {
        CommError failure{int(m_port.error()), m_port.errorString()};
        if (failure.number == 0)
            failure.number = int(QSerialPort::WriteError);
        return failure;
    }
    return {};
}

CommError SerialComm::input(QString *received)
{
    received->clear();
    if (m_lineFailure.failed()) {
        const CommError failure = m_lineFailure;
        m_lineFailure = {};
        return failure;
    }
    if (!m_port.isOpen())
        return {};
    *received = QString::fromLatin1(m_port.readAll());
    return {};
}

void SerialComm::onErrorOccurred(QSerialPort::SerialPortError error)
{
    if (m_opening || m_writing || !m_port.isOpen() || !isFatalLineError(error))
        return;
    const QString description = lineHungUp(m_port.handle()) ? kDisconnected : m_port.errorString();
    failLine({int(error), description});
}

void SerialComm::onHangupCheck()
{
    if (m_port.isOpen() && lineHungUp(m_port.handle()))
        failLine({int(QSerialPort::ResourceError), kDisconnected});
}

void SerialComm::failLine(CommError failure)
{
    // Close first: the port layer would go on reporting the same failure for every turn of
    // the event loop, and whatever the link does next may run one.
    close();
    m_lineFailure = std::move(failure);
    QMetaObject::invokeMethod(this, &SerialComm::commEvent, Qt::QueuedConnection);
}
