#pragma once

#include "CommError.h"
#include "ConnectionClock.h"
#include "RxFramer.h"
#include "SerialComm.h"

#include <QObject>
#include <QTimer>

// The link to the L4686SDK interface: connecting and probing, receiving frames, sending
// typed characters, disconnecting and the connection clock. It owns the serial component
// `Comm` and the clock timer `Tcon`, and only reports: bare frames, failures and changes
// of the connection; how they look is for the window and the transcript to decide.
//
// A connection attempt is Probing for exactly kProbeWaitMs after the probe has been sent,
// while events keep flowing: any frame that completes meanwhile is the answer.
class InterfaceLink : public QObject
{
    Q_OBJECT

public:
    static constexpr qint32 kBaudRate = 115200; // "115200,n,8,1"
    static inline const QByteArray kProbeFrame = QByteArrayLiteral("*#13**15##");
    static constexpr int kProbeWaitMs = 100;
    static constexpr int kClockIntervalMs = 1000;

    enum class State { Closed, Probing, Connected };
    Q_ENUM(State)
    // Why a connection attempt failed.
    enum class FailReason { ErrorOpenCom, InterfaceNotFound };
    Q_ENUM(FailReason)

    explicit InterfaceLink(qsizetype transcriptLimit, QObject *parent = nullptr);

    State state() const { return m_state; }
    bool isPortOpen() const { return Comm.isOpen(); }
    bool interfaceAnswered() const { return m_interfaceAnswered; }
    const ConnectionClock &clock() const { return m_clock; }
    const QString &rxBuffer() const { return m_rx.rxBuffer(); }

    // Opens `device` (the device of port `portNumber`, "" for none), sends the probe frame
    // and returns; a tenth of a second later connected() or connectFailed() follows, or at
    // once connectFailed() when the port cannot be opened. Ignored unless Closed.
    void ConnectInterface(const QString &device);
    // Closes an open port; does nothing when it is closed. During a probe the attempt then
    // ends, when its wait does, as not found.
    void Disconnect();
    // Sends one typed character; on failure the line is closed and sendFailed() follows.
    bool sendTyped(QChar character);
    // Closes the port without reporting anything, as the window goes away; also ends a
    // probe at once.
    void shutdown();

Q_SIGNALS:
    void probeSent(const QByteArray &frame);
    void connected();
    void connectFailed(InterfaceLink::FailReason reason, const CommError &failure);
    void disconnected();
    // A frame completed: all that was received since the last one, "##" included.
    void frameReceived(const QString &frame);
    // The line failed while open; the port is closed.
    void lineFailed(const CommError &failure);
    void sendFailed();
    void clockTicked();

private:
    void onReceived(const QByteArray &bytes);
    void onLineFailed(const CommError &failure);
    void onProbeWaitOver();
    void failAttempt(FailReason reason, const CommError &failure);
    void onTconTick();
    // Closes the port, forgets the answer and stops the clock: the link is down.
    void dropLine();

    SerialComm Comm;
    QTimer Tcon;
    QTimer m_probeWait;
    State m_state = State::Closed;
    bool m_interfaceAnswered = false;
    RxFramer m_rx;
    ConnectionClock m_clock;
};
