#pragma once

#include "CommError.h"
#include "HangupCheck.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

// The serial component the link talks through: opening a device with the link's line
// settings, sending bytes, and two notifications: the bytes that arrived, and the failure
// of an open line. Every failure carries the port layer's number and a description that
// says what happened.
//
// Reading: the first bytes after a quiet spell are passed on at once; while more keep
// coming, the port is read once per kGatherMs, so that a busy line costs one wake-up per
// gather and not one per byte; a flood is read while its bytes keep coming, and again at
// every turn of the event loop. readWaiting() takes what has arrived at any moment.
//
// Writing: bytes the line cannot take yet (flow control, a slow adapter) wait in the port's
// buffer and go out in order when it can; only a real failure ends the line.
//
// A line that fails while open (an unplugged adapter) is closed at once, inside the port's
// own error report, so that no storm of further errors follows, and is reported once.
class SerialComm : public QObject
{
    Q_OBJECT

public:
    static constexpr int kGatherMs = 10;

    explicit SerialComm(QObject *parent = nullptr);
    ~SerialComm() override;

    // Opens `device` at `baudRate`, 8 data bits, no parity, 1 stop bit, no flow control.
    CommError open(const QString &device, qint32 baudRate);
    void close();
    bool isOpen() const { return m_port.isOpen(); }

    // Queues every byte for the line, in order; fails only when the port is not open.
    CommError output(const QByteArray &bytes);

    // Passes on, now, everything that has arrived and not been passed on yet.
    void readWaiting();

Q_SIGNALS:
    void received(const QByteArray &bytes);
    // The open line failed and has been closed.
    void lineFailed(const CommError &failure);

private:
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void failLine(const CommError &failure);
    // Ends a gather: asks the system for what has arrived and passes it on.
    void drain();
    // Takes what the port holds, a read's worth at a time, into m_readBuffer; false when
    // it held nothing.
    bool takeBuffered();
    // Passes on all the port holds; false when it held nothing.
    bool passOnBuffered();
    // Reads again in `ms`: the port rests until then.
    void startGather(int ms);
    void stopGather();

    QSerialPort m_port;
    HangupCheck m_hangupCheck;
    QTimer m_gather;
    // Reused for every read: a busy line allocates nothing per read.
    QByteArray m_readBuffer;
    // Errors the port reports while opening are the caller's to handle.
    bool m_busy = false;
    // readWaiting() is taking what the system holds.
    bool m_draining = false;
};
