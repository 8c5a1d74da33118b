#include "InterfaceLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

InterfaceLink::InterfaceLink(qsizetype transcriptLimit, QObject *parent)
    : QObject(parent)
    , m_rx(transcriptLimit)
{
    Comm.setObjectName(QStringLiteral("Comm"));
    Tcon.setObjectName(QStringLiteral("Tcon"));
    Tcon.setInterval(kClockIntervalMs);
    connect(&Comm, &SerialComm::commEvent, this, &InterfaceLink::OnComm);
    connect(&Tcon, &QTimer::timeout, this, &InterfaceLink::onTconTick);
}

InterfaceLink::~InterfaceLink() = default;

void InterfaceLink::setPort(quint8 portNumber, const QString &device)
{
    m_portNumber = portNumber;
    m_device = device;
}

CommError InterfaceLink::openAndProbe()
{
    Comm.setPortNumber(m_portNumber);
    Comm.setDeviceName(m_device);
    if (CommError e = Comm.setSettings(kLineSettings); e.failed())
        return e;
    if (CommError e = Comm.setLinkOptions(); e.failed())
        return e;
    if (CommError e = Comm.open(); e.failed())
        return e;
    // A frame that completes right after opening counts as an answer too.
    QCoreApplication::processEvents();
    if (CommError e = Comm.output(kProbeFrame); e.failed())
        return e;
    waitForAnswer();
    return {};
}

void InterfaceLink::waitForAnswer()
{
    // The answer is noticed by OnComm, which runs in the event loop below. The wait always
    // lasts the full tenth of a second, measured on a monotonic clock.
    QElapsedTimer elapsed;
    elapsed.start();
    m_probing = true;
    while (!m_shutdown) {
        const qint64 remaining = kProbeWaitMs - elapsed.elapsed();
        if (remaining <= 0)
            break;
        QEventLoop loop;
        QTimer::singleShot(int(remaining), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        m_waitLoop = &loop;
        loop.exec();
        m_waitLoop = nullptr;
    }
    m_probing = false;
}

void InterfaceLink::ConnectInterface()
{
    // A click on Connect after a Disconnect during the probe wait would start a second
    // attempt inside the first; the running attempt decides.
    if (m_probing)
        return;
    m_interfaceAnswered = false;
    const CommError failure = openAndProbe();
    if (m_shutdown) {
        Comm.close();
        return;
    }
    // Every failure comes from opening the port or writing the probe; the wait has none.
    const FailReason reason =
        failure.failed() ? FailReason::ErrorOpenCom : FailReason::InterfaceNotFound;
    if (!failure.failed() && m_interfaceAnswered) {
        m_clock.reset();
        Tcon.start(kClockIntervalMs);
        Q_EMIT connected();
        return;
    }
    Comm.close();
    Tcon.stop();
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
    const CommError failure = Comm.output(QString(character));
    if (!failure.failed())
        return true;
    dropLine();
    Q_EMIT sendFailed();
    return false;
}

void InterfaceLink::shutdown()
{
    m_shutdown = true;
    if (m_waitLoop)
        m_waitLoop->quit();
    // An answer that came in before the window closed must not leave the link looking
    // connected (Connect pressed, keys accepted) on a closed port.
    dropLine();
}

void InterfaceLink::dropLine()
{
    Comm.close();
    m_interfaceAnswered = false;
    Tcon.stop();
}

void InterfaceLink::OnComm()
{
    QString received;
    const CommError failure = Comm.input(&received);
    if (failure.failed()) {
        dropLine();
        Q_EMIT lineFailed(kCrLf + QString::number(failure.number) + QLatin1Char('-') +
                          failure.description + kCrLf);
        return;
    }
    if (std::optional<QString> frame = m_rx.append(received)) {
        m_interfaceAnswered = true;
        Q_EMIT frameReceived(*frame + kCrLf);
    }
}

void InterfaceLink::onTconTick()
{
    m_clock.tick();
    Q_EMIT clockTicked();
}
