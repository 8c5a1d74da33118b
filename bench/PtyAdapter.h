#pragma once

// The adapter's end of a pseudo-terminal, for the benchmarks that run the receive path as the
// program does: answers the probe, then writes what it is given.

#include "InterfaceLink.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <functional>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

// Runs the event loop as the program does, sleeping until something happens, until
// `finished` holds or `timeoutMs` have passed; false on the time-out. (processEvents with a
// time limit never sleeps: it would turn the loop into a busy one.)
inline bool runUntil(const std::function<bool()> &finished, int timeoutMs)
{
    QElapsedTimer limit;
    limit.start();
    // Wakes the loop now and then, so that the time-out is noticed on a quiet line.
    QTimer wake;
    wake.start(500);
    while (!finished()) {
        if (limit.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Adapter
{
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QString device;
    std::thread answering;

    Adapter()
    {
        ::grantpt(master);
        ::unlockpt(master);
        device = QString::fromLocal8Bit(::ptsname(master));
        termios tio{};
        ::tcgetattr(master, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master, TCSANOW, &tio);
        answering = std::thread([this] {
            QByteArray in;
            char buffer[64];
            while (!in.endsWith("*#13**15##")) {
                pollfd fd{master, POLLIN, 0};
                if (::poll(&fd, 1, 5000) <= 0)
                    return;
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n > 0)
                    in.append(buffer, n);
            }
            write("*#*1##");
        });
    }
    ~Adapter()
    {
        if (answering.joinable())
            answering.join();
        ::close(master);
    }
    // Connects the link to this adapter, running the event loop until it has; false, said
    // on standard error, when it does not within 5 s.
    bool connect(InterfaceLink &link) const
    {
        bool connected = false;
        QObject::connect(&link, &InterfaceLink::connected, [&] { connected = true; });
        link.ConnectInterface(device);
        if (!runUntil([&] { return connected; }, 5000))
            std::fprintf(stderr, "the link did not connect\n");
        return connected;
    }
    void write(const QByteArray &bytes) const
    {
        if (::write(master, bytes.constData(), size_t(bytes.size())) != bytes.size())
            std::fprintf(stderr, "short write\n");
    }
};
