#pragma once

#include "CommError.h"
#include "HangupCheck.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>

// The serial component the link talks through: opening a device with the link's line
// settings, sending bytes at once, and two notifications: the bytes that arrived, and the
// failure of an open line. Every failure carries the port layer's number and a description
// that says what happened.
//
// A line that fails while open (an unplugged adapter) is closed at once, inside the port's
// own error report, so that no storm of further errors follows, and is reported once.
class SerialComm : public QObject
{
    Q_OBJECT

public:
    explicit SerialComm(QObject *parent = nullptr);
    ~SerialComm() override;

    // Opens `device` at `baudRate`, 8 data bits, no parity, 1 stop bit, no flow control.
    CommError open(const QString &device, qint32 baudRate);
    void close();
    bool isOpen() const { return m_port.isOpen(); }

    // Sends every byte at once.
    CommError output(const QByteArray &bytes);

Q_SIGNALS:
    void received(const QByteArray &bytes);
    // The open line failed and has been closed.
    void lineFailed(const CommError &failure);

private:
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void failLine(const CommError &failure);

    QSerialPort m_port;
    HangupCheck m_hangupCheck;
    // Errors the port reports while opening or writing are the caller's to handle.
    bool m_busy = false;
};
