#include "InterfaceLink.h"

InterfaceLink::InterfaceLink(qsizetype transcriptLimit, QObject *parent)
    : QObject(parent)
    , m_rx(transcriptLimit)
{
    Comm.setObjectName(QStringLiteral("Comm"));
    Tcon.setObjectName(QStringLiteral("Tcon"));
    Tcon.setInterval(kClockIntervalMs);
    m_probeWait.setSingleShot(true);
    m_probeWait.setTimerType(Qt::PreciseTimer);
    m_probeWait.setInterval(kProbeWaitMs);
    connect(&Comm, &SerialComm::received, this, &InterfaceLink::onReceived);
    connect(&Comm, &SerialComm::lineFailed, this, &InterfaceLink::onLineFailed);
    connect(&Tcon, &QTimer::timeout, this, &InterfaceLink::onTconTick);
    connect(&m_probeWait, &QTimer::timeout, this, &InterfaceLink::onProbeWaitOver);
}

void InterfaceLink::ConnectInterface(const QString &device)
{
    // A click on Connect after a Disconnect during the probe wait would start a second
    // attempt beside the first; the running attempt decides.
    if (m_state != State::Closed)
        return;
    m_interfaceAnswered = false;
    if (CommError failure = Comm.open(device, kBaudRate); failure.failed()) {
        failAttempt(FailReason::ErrorOpenCom, failure);
        return;
    }
    m_state = State::Probing;
    if (CommError failure = Comm.output(kProbeFrame); failure.failed()) {
        failAttempt(FailReason::ErrorOpenCom, failure);
        return;
    }
    Q_EMIT probeSent(kProbeFrame);
    // The wait always lasts its full tenth of a second, also when the answer comes at once.
    m_probeWait.start();
}

void InterfaceLink::onProbeWaitOver()
{
    // An answer that has reached the line by now counts, even if the port has not passed it
    // on yet.
    Comm.readWaiting();
    if (!m_interfaceAnswered) {
        failAttempt(FailReason::InterfaceNotFound, {});
        return;
    }
    m_state = State::Connected;
    m_clock.reset();
    Tcon.start();
    Q_EMIT connected();
}

void InterfaceLink::failAttempt(FailReason reason, const CommError &failure)
{
    m_probeWait.stop();
    Comm.close();
    Tcon.stop();
    m_state = State::Closed;
    Q_EMIT connectFailed(reason, failure);
}

void InterfaceLink::Disconnect()
{
    if (!Comm.isOpen())
        return;
    dropLine();
    Q_EMIT disconnected();
}

bool InterfaceLink::sendTyped(QChar character)
{
    const CommError failure = Comm.output(QByteArray(1, char(character.toLatin1())));
    if (!failure.failed())
        return true;
    dropLine();
    Q_EMIT sendFailed();
    return false;
}

void InterfaceLink::shutdown()
{
    m_probeWait.stop();
    // An answer that came in before the window closed must not leave the link looking
    // connected (keys accepted) on a closed port.
    dropLine();
    m_state = State::Closed;
}

void InterfaceLink::dropLine()
{
    Comm.close();
    m_interfaceAnswered = false;
    Tcon.stop();
    // A probe still waiting keeps its state until its wait is over, and then fails.
    if (m_state == State::Connected)
        m_state = State::Closed;
}

void InterfaceLink::onReceived(const QByteArray &bytes)
{
    if (std::optional<QString> frame = m_rx.append(QLatin1StringView(bytes))) {
        m_interfaceAnswered = true;
        Q_EMIT frameReceived(*frame);
    }
}

void InterfaceLink::onLineFailed(const CommError &failure)
{
    dropLine();
    Q_EMIT lineFailed(failure);
}

void InterfaceLink::onTconTick()
{
    m_clock.tick();
    Q_EMIT clockTicked();
}
