#pragma once

#include "Waits.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <utility>

#ifndef EMULATOR_PATH
#define EMULATOR_PATH ""
#endif

// The project's adapter emulator while this lives, started with `args`, and the device it
// serves. With `openLine` this opens the terminal's end of the line itself, and timings start
// once the emulator has noted the port open.
struct Emulator : QProcess
{
    static bool built() { return *EMULATOR_PATH; }

    explicit Emulator(const QStringList &args, bool openLine = false)
    {
        start(QStringLiteral(EMULATOR_PATH), args + QStringList{QStringLiteral("--log")});
        waitFor("\n"); // it prints its device first
        device = QString::fromLocal8Bit(output.left(output.indexOf('\n')));
        if (openLine) {
            fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY);
            waitFor("port opened");
        }
    }
    ~Emulator() override
    {
        if (fd >= 0)
            ::close(fd);
        kill();
        waitForFinished(kTimeout);
    }
    // Waits for `text` to be printed after what earlier calls waited for.
    bool waitFor(const QByteArray &text)
    {
        qsizetype at;
        while ((at = output.indexOf(text, seen)) < 0 && waitForReadyRead(kTimeout))
            output += readAllStandardOutput();
        seen = at + text.size();
        return at >= 0;
    }
    // Closes the terminal's end and, once the emulator has noted it, opens it again.
    bool reopen()
    {
        ::close(std::exchange(fd, -1));
        return waitFor("port closed") &&
               (fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY)) >= 0;
    }
    bool send(const QByteArray &d) { return ::write(fd, d.data(), d.size()) == d.size(); }
    // What arrives until `count` bytes are in or `ms` pass.
    QByteArray receive(int count, int ms = kTimeout)
    {
        QByteArray data;
        QDeadlineTimer deadline(ms);
        pollfd p{fd, POLLIN, 0};
        char c;
        while (data.size() < count && poll(&p, 1, int(deadline.remainingTime())) > 0 &&
               ::read(fd, &c, 1) == 1)
            data += c;
        return data;
    }
    // What arrives within a tenth of a second, which is when the emulator answers.
    QByteArray quiet() { return receive(1 << 20, 100); }

    QByteArray output;
    qsizetype seen = 0;
    QString device;
    int fd = -1;
};
