#include "InterfaceFinder.h"

#include "InterfaceLink.h"

namespace {
// An answer is a frame, and the frame is dropped: a short tail is all the framer needs.
constexpr qsizetype kKeep = 64;
} // namespace

InterfaceFinder::InterfaceFinder(QObject *parent)
    : QObject(parent)
    , m_rx(kKeep)
{
    m_wait.setSingleShot(true);
    m_wait.setTimerType(Qt::PreciseTimer);
    m_wait.setInterval(InterfaceLink::kProbeWaitMs);
    m_step.setSingleShot(true);
    m_step.setInterval(0);
    connect(&m_wait, &QTimer::timeout, this, [this] { endProbe(false); });
    connect(&m_step, &QTimer::timeout, this, &InterfaceFinder::probeNext);
    connect(&m_comm, &SerialComm::received, this, &InterfaceFinder::onReceived);
    connect(&m_comm, &SerialComm::lineFailed, this, [this] { endProbe(false); });
}

void InterfaceFinder::start(const QList<Port> &ports)
{
    if (m_running)
        return;
    m_running = true;
    m_ports = ports;
    m_next = 0;
    m_refused.clear();
    m_step.start();
}

void InterfaceFinder::cancel()
{
    m_wait.stop();
    m_step.stop();
    m_comm.close();
    m_running = false;
}

void InterfaceFinder::probeNext()
{
    while (m_next < m_ports.size()) {
        const Port &port = m_ports.at(m_next++);
        m_rx = RxFramer(kKeep);
        const CommError failure = m_comm.open(port.device, InterfaceLink::kBaudRate);
        if (failure.number == int(QSerialPort::PermissionError))
            m_refused.append({port.number, port.device, failure});
        if (failure.failed())
            continue;
        if (m_comm.output(InterfaceLink::kProbeFrame).failed()) {
            m_comm.close();
            continue;
        }
        m_wait.start();
        return;
    }
    m_running = false;
    Q_EMIT finished(0, m_refused);
}

void InterfaceFinder::onReceived(const QByteArray &bytes)
{
    if (m_wait.isActive() && m_rx.append(QLatin1StringView(bytes)))
        endProbe(true);
}

void InterfaceFinder::endProbe(bool answered)
{
    if (!m_running)
        return;
    m_wait.stop();
    m_comm.close();
    if (!answered) {
        // The next port in a turn of its own, so that the window's events run between.
        m_step.start();
        return;
    }
    m_running = false;
    Q_EMIT finished(m_ports.at(m_next - 1).number, m_refused);
}
