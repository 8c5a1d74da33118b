#include "SerialComm.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>

namespace {
const QString kDisconnected = QStringLiteral("The device was disconnected");
// What one drain of a flooding line may take before the next turn of the event loop.
constexpr qsizetype kMaxDrain = 64 * 1024;
// The most one read passes on, as a system read of a terminal returns at most a few
// kilobytes, and where it ends: after the last frame end it holds. A flood read in pieces
// cut anywhere would run frames together into lines longer than the whole transcript,
// which the transcript's rule then drops entirely.
constexpr qint64 kMaxRead = 4096;
// How long one drain of a flood may wait, in all, for the system to pass on more bytes.
constexpr int kFloodWaitMs = 4;
const QByteArray kFrameEnd = QByteArrayLiteral("##");

// The port layer's failure, never with the number 0 that means "no failure".
CommError portFailure(const QSerialPort &port, QSerialPort::SerialPortError fallback)
{
    CommError failure{int(port.error()), port.errorString()};
    if (failure.number == 0)
        failure.number = int(fallback);
    return failure;
}

// Names the device the failure is about, and for a refused device what would let the user
// in: joining its group only helps where the group may read and write it.
void explainOpenFailure(CommError &failure, const QString &device)
{
    if (failure.number == QSerialPort::DeviceNotFoundError) {
        failure.description += QStringLiteral(" : ") + device;
        return;
    }
#ifndef Q_OS_WIN
    const QFileInfo file(device);
    if (failure.number != QSerialPort::PermissionError || !file.exists() || file.isWritable())
        return;
    const QFileDevice::Permissions groupUse = QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    if ((file.permissions() & groupUse) == groupUse) {
        failure.description += QStringLiteral(" (to use %1 the user must belong to the group "
                                              "\"%2\" that owns it, usually dialout)")
                                   .arg(device, file.group());
    } else {
        failure.description += QStringLiteral(" (the permissions of %1 let neither its group "
                                              "\"%2\" nor other users read and write it: an "
                                              "administrator must give the group read and write "
                                              "access, for example with a udev rule)")
                                   .arg(device, file.group());
    }
#endif
}
} // namespace

SerialComm::SerialComm(QObject *parent)
    : QObject(parent)
{
    m_gather.setSingleShot(true);
    connect(&m_gather, &QTimer::timeout, this, [this] { drain(); });
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
        explainOpenFailure(failure, device);
        return failure;
    }
    m_port.clearError();
    m_hangupCheck.start(m_port.handle());
    return {};
}

void SerialComm::close()
{
    stopGather();
    m_hangupCheck.stop();
    if (m_port.isOpen())
        m_port.close();
}

CommError SerialComm::output(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return {int(QSerialPort::NotOpenError), QStringLiteral("The port is not open")};
    // A device that has gone away fails the write here and now; a line that is only busy
    // keeps the bytes in the port's buffer until it takes them.
    if (HangupCheck::hungUp(m_port.handle()))
        return {int(QSerialPort::ResourceError), kDisconnected};
    if (m_port.write(bytes) != bytes.size())
        return portFailure(m_port, QSerialPort::WriteError);
    return {};
}

void SerialComm::readWaiting()
{
    drain();
}

void SerialComm::drain()
{
    if (!m_port.isOpen())
        return;
    m_gather.stop();
    // Lets the port read again (and watch the line again).
    m_port.setReadBufferSize(0);
    m_draining = true;
    // The first look takes what has gathered. A line that brought half a system read or more
    // is flooding (a line at full speed brings about a hundred bytes per gather): it is read
    // on while its bytes keep coming, up to kMaxDrain bytes or kFloodWaitMs of waiting, as the
    // system passes on what it has queued a few kilobytes at a time and not at once.
    bool flooding = m_port.waitForReadyRead(0) && m_port.bytesAvailable() >= kMaxRead / 2;
    const QDeadlineTimer waits(kFloodWaitMs);
    while (flooding && m_port.isOpen() && m_port.bytesAvailable() < kMaxDrain &&
           !waits.hasExpired())
        flooding = m_port.waitForReadyRead(int(waits.remainingTime()));
    m_draining = false;
    // A flood that is still coming when the drain ends is read again at the next turn of
    // the event loop, not after a gather's pause.
    if (!m_port.isOpen())
        return; // the line failed meanwhile, and what it had was passed on then
    // Finding nothing waiting is a time-out to the port layer, not a failure.
    if (m_port.error() != QSerialPort::NoError)
        m_port.clearError();
    if (passOnBuffered())
        startGather(flooding ? 0 : kGatherMs);
}

bool SerialComm::passOnBuffered()
{
    bool any = false;
    while (m_port.isOpen() && takeBuffered()) {
        any = true;
        Q_EMIT received(m_readBuffer);
    }
    return any;
}

bool SerialComm::takeBuffered()
{
    const qint64 waiting = qMin(m_port.bytesAvailable(), kMaxRead);
    m_readBuffer.resize(0);
    if (waiting <= 0)
        return false;
    m_readBuffer.resize(qsizetype(waiting));
    qint64 got = m_port.peek(m_readBuffer.data(), waiting);
    if (got == kMaxRead) {
        const qsizetype end = m_readBuffer.lastIndexOf(kFrameEnd);
        if (end > 0)
            got = end + kFrameEnd.size();
    }
    got = m_port.read(m_readBuffer.data(), qMax<qint64>(got, 0));
    m_readBuffer.resize(qsizetype(qMax<qint64>(got, 0)));
    return !m_readBuffer.isEmpty();
}

void SerialComm::startGather(int ms)
{
    if (!m_port.isOpen())
        return;
    // The port takes at most one more byte and then stops reading the line, until the gather
    // is over and readWaiting() takes the rest in one go. Where the port watches the line
    // with a notifier of its own, that one is paused too: then not even the first byte of
    // the gather wakes the program, only the gather's end does.
    m_port.setReadBufferSize(1);
    const auto notifiers = m_port.findChildren<QSocketNotifier *>(Qt::FindDirectChildrenOnly);
    for (QSocketNotifier *notifier : notifiers) {
        if (notifier->type() == QSocketNotifier::Read)
            notifier->setEnabled(false);
    }
    m_gather.start(ms);
}

void SerialComm::stopGather()
{
    m_gather.stop();
    m_port.setReadBufferSize(0);
}

void SerialComm::onReadyRead()
{
    // During a gather the port holds its one byte for readWaiting(), which also reads here.
    if (m_draining || m_gather.isActive())
        return;
    if (passOnBuffered())
        startGather(kGatherMs);
}

void SerialComm::onErrorOccurred(QSerialPort::SerialPortError error)
{
    if (m_busy || !m_port.isOpen())
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError &&
        error != QSerialPort::WriteError)
        return;
    const bool gone = HangupCheck::hungUp(m_port.handle());
    // A full output buffer is reported as a resource error, but the bytes stay queued and go
    // out when the line takes them again.
    if (!gone && m_port.errorString() == qt_error_string(EAGAIN)) {
        m_port.clearError();
        return;
    }
    // However the loss is noticed, an unplugged device is one cause with one number.
    failLine(gone ? CommError{int(QSerialPort::ResourceError), kDisconnected}
                  : CommError{int(error), m_port.errorString()});
}

void SerialComm::failLine(const CommError &failure)
{
    // What was read before the failure still goes first.
    QByteArray rest;
    if (m_port.isOpen())
        rest = m_port.readAll();
    // Close first: the port layer would go on reporting the same failure for every turn of
    // the event loop, and whatever the link does next may run one.
    close();
    if (!rest.isEmpty())
        Q_EMIT received(rest);
    Q_EMIT lineFailed(failure);
}
