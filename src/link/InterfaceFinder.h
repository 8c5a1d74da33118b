#pragma once

#include "CommError.h"
#include "RxFramer.h"
#include "SerialComm.h"

#include <QList>
#include <QObject>
#include <QTimer>

// Looks for the L4686SDK interface on a list of ports, one after another. Each port is
// opened exactly as a connection opens it (115200 baud, 8N1), sent the probe frame and given
// the probe wait: the first whose line completes a frame in that time is the interface. Every
// port is closed again at once. What it receives goes nowhere else: the link, its receive
// buffer and its clock know nothing of a search. The search runs on the event loop and
// never waits inside it.
class InterfaceFinder : public QObject
{
    Q_OBJECT

public:
    struct Port
    {
        int number;
        QString device;
    };
    // A port that could not be opened for want of permission (or because another program
    // holds it), with the port layer's failure.
    struct Refusal
    {
        int number;
        QString device;
        CommError failure;
    };

    explicit InterfaceFinder(QObject *parent = nullptr);

    // Starts a search of `ports`, in their order; ignored while one runs.
    void start(const QList<Port> &ports);
    // Ends a running search at once, closing its port and reporting nothing.
    void cancel();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    // The number of the first port that answered, 0 when none did.
    void finished(int number, const QList<InterfaceFinder::Refusal> &refused);

private:
    void probeNext();
    void onReceived(const QByteArray &bytes);
    void endProbe(bool answered);

    SerialComm m_comm;
    RxFramer m_rx;
    QTimer m_wait;
    QTimer m_step;
    QList<Port> m_ports;
    qsizetype m_next = 0;
    QList<Refusal> m_refused;
    bool m_running = false;
};
