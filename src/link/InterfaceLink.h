#pragma once

#include "CommError.h"
#include "ConnectionClock.h"
#include "RxFramer.h"
#include "SerialComm.h"

#include <QObject>

class QEventLoop;
#include <QTimer>

// The link to the L4686SDK interface: connecting and probing, receiving frames, sending
// typed characters, disconnecting and the connection clock. It owns the serial component
// `Comm` and the clock timer `Tcon`; the window shows what it reports.
class InterfaceLink : public QObject
{
    Q_OBJECT

public:
    static inline const QString kLineSettings = QStringLiteral("115200,n,8,1");
    static inline const QString kProbeFrame = QStringLiteral("*#13**15##");
    static constexpr int kProbeWaitMs = 100;
    static constexpr int kClockIntervalMs = 1000;

    // Why a connection attempt failed.
    enum class FailReason { ErrorOpenCom, InterfaceNotFound };
    Q_ENUM(FailReason)

    explicit InterfaceLink(qsizetype transcriptLimit, QObject *parent = nullptr);
    ~InterfaceLink() override;

    // The port the next connection attempt opens, 0 for none, and its device.
    void setPort(quint8 portNumber, const QString &device);
    quint8 portNumber() const { return m_portNumber; }

    bool isPortOpen() const { return Comm.isOpen(); }
    bool interfaceAnswered() const { return m_interfaceAnswered; }
    const ConnectionClock &clock() const { return m_clock; }
    const QString &rxBuffer() const { return m_rx.rxBuffer(); }

    // Opens the port, sends the probe frame and waits a tenth of a second for any frame.
    // Ends with connected() or connectFailed().
    void ConnectInterface();
    // Closes an open port; does nothing when it is closed.
    void Disconnect();
    // Sends one typed character; on failure the line is closed and sendFailed() follows.
    bool sendTyped(QChar character);
    // Closes the port without reporting anything, as the window goes away; also ends a
    // probe wait early.
    void shutdown();

    // The receive handler, run for every notification of the serial component.
    void OnComm();
    // The clock's one-second tick.
    void onTconTick();

    SerialComm Comm;
    QTimer Tcon;

Q_SIGNALS:
    void connected();
    void connectFailed(InterfaceLink::FailReason reason, const CommError &failure);
    void disconnected();
    // A frame completed: the text to add to the transcript (the frame and CR LF).
    void frameReceived(const QString &line);
    // Reading failed: the port is closed; `line` is the text to add to the transcript.
    void lineFailed(const QString &line);
    void sendFailed();
    void clockTicked();

private:
    CommError openAndProbe();
    void waitForAnswer();
    // Closes the port, forgets the answer and stops the clock: the link is down.
    void dropLine();

    quint8 m_portNumber = 0;
    QString m_device;
    bool m_interfaceAnswered = false;
    bool m_probing = false;
    bool m_shutdown = false;
    QEventLoop *m_waitLoop = nullptr;
    RxFramer m_rx;
    ConnectionClock m_clock;
};
