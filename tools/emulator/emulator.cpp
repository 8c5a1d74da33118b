#include "emulator.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// How the pseudo-terminal is served
// ---------------------------------
// The program opens and closes the slave end as often as it likes. On Linux, while nobody has
// the slave open, the master polls as POLLHUP and read() fails with EIO. The common trick of
// keeping a slave fd open in the emulator hides that, but then the emulator can no longer
// tell whether anyone is listening: events and late answers pile up in the slave's input
// queue and greet the next program that opens the port as stale bytes (the kernel keeps
// bytes written to the master while the slave is closed, too).
//
// So the emulator holds no slave fd. A hang-up on the master means "nobody there": it forgets
// the unfinished frame, pending answers and queued output, sends nothing, takes the master
// out of the poll set (POLLHUP cannot be masked and would make poll() spin) and looks again
// every 50 ms until the hang-up clears, i.e. somebody opened the slave. Bytes that slipped
// out just before the peer closed are flushed from the slave's input queue right away.
// Settings made on the slave stay with the pseudo-terminal while the master is open, so the
// raw mode set at start and whatever the program sets later survive its close and reopen.
// A slave left in exclusive mode (TIOCEXCL) by a program that died without undoing it
// cannot be reopened by an unprivileged user; restarting the emulator helps then.

using namespace std::chrono;

namespace {

constexpr milliseconds kAttachCheck{50};

// 115200 8N1, no flow control, no processing of any kind.
bool configureRaw(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
#ifdef CRTSCTS
    tio.c_cflag &= ~CRTSCTS;
#endif
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool setFlags(int fd)
{
    const int fl = fcntl(fd, F_GETFL);
    const int fdfl = fcntl(fd, F_GETFD);
    return fl >= 0 && fdfl >= 0 && fcntl(fd, F_SETFL, fl | O_NONBLOCK) == 0 &&
           fcntl(fd, F_SETFD, fdfl | FD_CLOEXEC) == 0;
}

} // namespace

Emulator::Emulator(const Options &options)
    : opts_(options)
    , pty_(options.device.empty())
{
}

Emulator::~Emulator()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool Emulator::open()
{
    if (!pty_) {
        fd_ = ::open(opts_.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) {
            std::fprintf(stderr, "cannot open %s: %s\n", opts_.device.c_str(), strerror(errno));
            return false;
        }
        if (!configureRaw(fd_)) {
            std::fprintf(stderr, "cannot configure %s as a serial line: %s\n", opts_.device.c_str(),
                         strerror(errno));
            return false;
        }
        tcflush(fd_, TCIOFLUSH);
        char *real = realpath(opts_.device.c_str(), nullptr);
        path_ = real ? real : opts_.device;
        std::free(real);
        attached_ = true;
        return true;
    }

    fd_ = posix_openpt(O_RDWR | O_NOCTTY);
    const char *name = nullptr;
    if (fd_ < 0 || !setFlags(fd_) || grantpt(fd_) != 0 || unlockpt(fd_) != 0 ||
        !(name = ptsname(fd_))) {
        std::fprintf(stderr, "cannot create a pseudo-terminal: %s\n", strerror(errno));
        return false;
    }
    path_ = name;
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const bool ok = slave >= 0 && configureRaw(slave);
    const int err = errno;
    if (slave >= 0)
        ::close(slave);
    if (!ok) {
        std::fprintf(stderr, "cannot configure %s: %s\n", name, strerror(err));
        return false;
    }
    // Closing the slave left the master hung up: wait for the program to open it.
    attached_ = false;
    timers_.scheduleIn(kAttachCheck, [this] { checkAttached(); });
    return true;
}

int Emulator::run(int stopFd)
{
    if (opts_.eventsMs > 0)
        scheduleEvent(TimerQueue::Clock::now() + milliseconds(opts_.eventsMs));
    if (opts_.hangupMs >= 0)
        timers_.scheduleIn(milliseconds(opts_.hangupMs), [this] { hangUp(); });

    while (running_) {
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {fd_, 0, 0}};
        nfds_t count = 1;
        if (fd_ >= 0 && attached_) {
            fds[1].events = POLLIN;
            if (outPos_ < out_.size())
                fds[1].events |= POLLOUT;
            count = 2;
        }
        if (poll(fds, count, timers_.pollTimeout()) < 0) {
            if (errno == EINTR)
                continue;
            std::perror("poll");
            return 1;
        }
        if (fds[0].revents != 0)
            break; // SIGINT or SIGTERM
        if (count == 2 && fds[1].revents != 0)
            onPortEvents(fds[1].revents);
        if (running_)
            timers_.runDue();
    }
    return exitCode_;
}

void Emulator::onPortEvents(short revents)
{
    if (revents & (POLLIN | POLLHUP | POLLERR))
        readInput(revents);
    if (attached_ && (revents & POLLOUT))
        writeOutput();
}

void Emulator::readInput(short revents)
{
    char buf[4096];
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0) {
        FrameCollector::Frame frame;
        if (collector_.add(buf, static_cast<std::size_t>(n), frame))
            onFrame(frame);
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) &&
        !(revents & (POLLHUP | POLLERR)))
        return;
    portGone(n < 0 ? errno : 0);
}

void Emulator::onFrame(const FrameCollector::Frame &frame)
{
    logFrame("<-", frame.text, frame.dropped);
    if (opts_.silent)
        return;
    const std::string &answer = frame.wellFormed ? frames::ack : frames::nack;
    if (opts_.delayMs <= 0) {
        transmit(answer);
        return;
    }
    // The delay is the same for every answer, so the timers fire in the order of the frames.
    timers_.scheduleIn(milliseconds(opts_.delayMs), [this, s = session_, answer] {
        if (s == session_)
            transmit(answer);
    });
}

void Emulator::portGone(int error)
{
    if (pty_) {
        detach();
        return;
    }
    std::fprintf(stderr, "lost %s: %s\n", path_.c_str(), error ? strerror(error) : "end of file");
    ::close(fd_);
    fd_ = -1;
    attached_ = false;
    running_ = false;
    exitCode_ = 1;
}

void Emulator::detach()
{
    attached_ = false;
    ++session_;
    collector_.clear();
    out_.clear();
    outPos_ = 0;
    splitQueue_.clear();
    splitPos_ = 0;
    splitBytes_ = 0;
    splitting_ = false;
    discardStaleOutput();
    logNote("port closed");
    timers_.scheduleIn(kAttachCheck, [this] { checkAttached(); });
}

void Emulator::checkAttached()
{
    if (fd_ < 0 || attached_)
        return;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 0) >= 0 && (p.revents & (POLLHUP | POLLERR))) {
        // Still nobody there. Whatever a short-lived peer wrote cannot be answered.
        char buf[4096];
        while (::read(fd_, buf, sizeof buf) > 0) {
        }
        timers_.scheduleIn(kAttachCheck, [this] { checkAttached(); });
        return;
    }
    attached_ = true;
    logNote("port opened");
}

void Emulator::discardStaleOutput()
{
    const int slave = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return; // e.g. reopened in exclusive mode already: nothing stale can matter then
    tcflush(slave, TCIFLUSH);
    ::close(slave);
}

void Emulator::scheduleEvent(TimerQueue::Clock::time_point when)
{
    timers_.schedule(when, [this, when] {
        if (attached_) {
            transmit(nextEventOn_ ? frames::eventOn : frames::eventOff);
            nextEventOn_ = !nextEventOn_;
        }
        // Keep to the grid, but skip ticks that are long past instead of bursting them out.
        const auto period = milliseconds(opts_.eventsMs);
        auto next = when + period;
        const auto now = TimerQueue::Clock::now();
        if (next < now)
            next += (now - next) / period * period + period;
        scheduleEvent(next);
    });
}

void Emulator::hangUp()
{
    logNote("hanging up");
    ::close(fd_);
    fd_ = -1;
    attached_ = false;
    running_ = false;
    exitCode_ = 0;
}
