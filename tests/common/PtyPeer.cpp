#include "PtyPeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

PtyPeer::PtyPeer()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0)
        return;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        ::close(m_master);
        m_master = -1;
        return;
    }
    m_device = QString::fromLocal8Bit(::ptsname(m_master));
    termios tio{};
    ::tcgetattr(m_master, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_master, TCSANOW, &tio);
}

PtyPeer::~PtyPeer()
{
    hangUp();
}

void PtyPeer::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size() && m_master >= 0) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EAGAIN) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        } else if (n < 0 && errno != EINTR) {
            break;
        }
    }
}

QList<QByteArray> PtyPeer::readChunks(int count, int timeoutMs)
{
    QList<QByteArray> chunks;
    qsizetype total = 0;
    QElapsedTimer timer;
    timer.start();
    while (total < count && timer.elapsed() < timeoutMs && m_master >= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd fd{m_master, POLLIN, 0};
        if (::poll(&fd, 1, 5) <= 0 || !(fd.revents & POLLIN))
            continue;
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            chunks.append(QByteArray(buffer, int(n)));
            total += n;
        }
    }
    return chunks;
}

QByteArray PtyPeer::read(int count, int timeoutMs)
{
    QByteArray all;
    for (const QByteArray &chunk : readChunks(count, timeoutMs))
        all += chunk;
    return all;
}

QByteArray PtyPeer::readFor(int ms)
{
    return read(1 << 30, ms);
}

termios PtyPeer::lineSettings() const
{
    termios tio{};
    if (m_master >= 0)
        ::tcgetattr(m_master, &tio);
    return tio;
}

void PtyPeer::hangUp()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
