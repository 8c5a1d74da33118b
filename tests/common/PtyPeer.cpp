#include "PtyPeer.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

PtyPeer::PtyPeer()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::pipe(m_wake) != 0) {
        hangUp();
        return;
    }
    m_device = QString::fromLocal8Bit(::ptsname(m_master));
    termios tio{};
    ::tcgetattr(m_master, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_master, TCSANOW, &tio);
    m_reader = std::thread([this] { readLoop(); });
}

PtyPeer::~PtyPeer()
{
    hangUp();
}

void PtyPeer::setAnswer(const QByteArray &trigger, const QByteArray &reply)
{
    QMutexLocker lock(&m_mutex);
    m_trigger = trigger;
    m_reply = reply;
    m_answeredUpTo = m_received.size();
}

void PtyPeer::readLoop()
{
    for (;;) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN)) {
            // No program holds the line open (it hangs up between connections): wait for
            // the next one without spinning.
            if (fds[0].revents)
                ::poll(&fds[1], 1, 5);
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        QByteArray reply;
        {
            QMutexLocker lock(&m_mutex);
            m_received.append(buffer, n);
            if (!m_reply.isEmpty() && m_received.size() - m_answeredUpTo >= m_trigger.size() &&
                m_received.endsWith(m_trigger)) {
                reply = m_reply;
                m_answeredUpTo = m_received.size();
            }
        }
        if (!reply.isEmpty())
            write(reply);
    }
}

void PtyPeer::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size() && m_master >= 0) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EAGAIN) {
            // The program reads the line in the test's own thread: let it.
            if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            } else {
                pollfd out{m_master, POLLOUT, 0};
                ::poll(&out, 1, 5);
            }
        } else if (n < 0 && errno != EINTR) {
            break;
        }
    }
}

void PtyPeer::writeFlood(const QByteArray &block, qint64 times)
{
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (qint64 i = 0; i < times; ++i)
            write(block);
        done = true;
        // Wakes the loop below, which sleeps until an event comes.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    writer.join();
}

QByteArray PtyPeer::received() const
{
    QMutexLocker lock(&m_mutex);
    return m_received;
}

bool PtyPeer::waitForReceived(qsizetype count, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return received().size() >= count; }, timeoutMs);
}

qsizetype PtyPeer::unread() const
{
    int count = 0;
    return m_master >= 0 && ::ioctl(m_master, TIOCOUTQ, &count) == 0 ? count : 0;
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
    if (m_reader.joinable()) {
        const char stop = 1;
        if (::write(m_wake[1], &stop, 1) == 1)
            m_reader.join();
        else
            m_reader.detach();
    }
    for (int *fd : {&m_master, &m_wake[0], &m_wake[1]}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}
