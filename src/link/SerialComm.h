#pragma once

#include "CommError.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

// The serial component the link talks through: the few port operations it needs, each
// reporting a failure with the port layer's number and a true description, and one
// notification (commEvent) whenever received characters wait or the line has failed.
//
// A line that fails while open (an unplugged adapter) is closed at once, inside the port's
// own error report, so that no storm of further errors follows; the failure is handed out
// by the next input().
class SerialComm : public QObject
{
    Q_OBJECT

public:
    explicit SerialComm(QObject *parent = nullptr);
    ~SerialComm() override;

    void setPortNumber(quint16 port) { m_portNumber = port; }
    quint16 portNumber() const { return m_portNumber; }
    // The device that the port number opens (see PortNames).
    void setDeviceName(const QString &device) { m_deviceName = device; }
    QString deviceName() const { return m_deviceName; }

    // "115200,n,8,1": baud rate, parity, data bits, stop bits.
    CommError setSettings(const QString &settings);
    // No flow control, a notification as soon as one character waits, writes sent at once.
    CommError setLinkOptions();

    CommError open();
    void close();
    bool isOpen() const;

    // Sends every character as one byte, at once.
    CommError output(const QString &text);
    // Takes the characters that wait (possibly none), or the failure of the line.
    CommError input(QString *received);

    QSerialPort &port() { return m_port; }

Q_SIGNALS:
    void commEvent();

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void onHangupCheck();
    void failLine(CommError failure);

    QSerialPort m_port;
    QTimer m_hangupCheck;
    quint16 m_portNumber = 0;
    QString m_deviceName;
    qint32 m_baudRate = 9600;
    QSerialPort::Parity m_parity = QSerialPort::NoParity;
    QSerialPort::DataBits m_dataBits = QSerialPort::Data8;
    QSerialPort::StopBits m_stopBits = QSerialPort::OneStop;
    CommError m_lineFailure;
    bool m_opening = false;
    bool m_writing = false;
};
