// Latency of the receive path: from the moment a frame's last byte is written on the far end
// of a pseudo-terminal to the moment the frame is in the transcript, through the link as the
// program uses it. A writer thread plays the adapter; the event loop runs as usual.

#include "BenchStats.h"
#include "InterfaceLink.h"
#include "TranscriptModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 1000;
constexpr int kRuns = 3;

// The adapter's end of a pseudo-terminal: answers the probe, then writes what it is given.
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
    void write(const QByteArray &bytes) const
    {
        if (::write(master, bytes.constData(), size_t(bytes.size())) != bytes.size())
            std::fprintf(stderr, "short write\n");
    }
};

double milliseconds(Clock::duration d)
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    printHeader("Frame latency: last byte written on the line to frame in the transcript "
                "(1000 frames, 0.5 to 3 ms apart)",
                "ms");
    BenchStats medians, p99s, worsts;
    for (int run = 0; run < kRuns; ++run) {
        Adapter adapter;
        InterfaceLink link(TranscriptModel::kDefaultLimit);
        TranscriptModel transcript;
        bool connected = false;
        QObject::connect(&link, &InterfaceLink::connected, [&] { connected = true; });
        link.ConnectInterface(adapter.device);
        QElapsedTimer wait;
        wait.start();
        while (!connected && wait.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!connected) {
            std::fprintf(stderr, "the link did not connect\n");
            return 1;
        }

        // Each frame carries its number, so that frames that arrive in one read (and so
        // are shown on one line) are still timed one by one.
        std::vector<Clock::time_point> written(kFrames), shown(kFrames);
        std::atomic<int> shownCount{0};
        QObject::connect(&link, &InterfaceLink::frameReceived, [&](const QString &frame) {
            transcript.appendFrame(frame);
            const Clock::time_point now = Clock::now();
            for (const QString &one : frame.split(QStringLiteral("##"), Qt::SkipEmptyParts)) {
                bool ok = false;
                const int i = one.section(QLatin1Char('*'), 2, 2).toInt(&ok);
                if (ok && i >= 0 && i < kFrames) {
                    shown[size_t(i)] = now;
                    ++shownCount;
                }
            }
        });

        std::atomic<bool> done{false};
        std::thread writer([&] {
            std::mt19937 random(unsigned(run) + 1);
            std::uniform_int_distribution<int> gapUs(500, 3000);
            for (int i = 0; i < kFrames; ++i) {
                std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
                const QByteArray frame = "*1*" + QByteArray::number(i) + "*11##";
                written[size_t(i)] = Clock::now();
                adapter.write(frame);
            }
            done = true;
        });
        QElapsedTimer limit;
        limit.start();
        while ((!done || shownCount < kFrames) && limit.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        writer.join();

        BenchStats latency;
        for (size_t i = 0; i < size_t(kFrames); ++i)
            latency.add(milliseconds(shown[i] - written[i]));
        if (shownCount != kFrames)
            std::fprintf(stderr, "only %d of %d frames arrived\n", int(shownCount), kFrames);
        medians.add(latency.median());
        p99s.add(latency.percentile(0.99));
        worsts.add(latency.max());
        link.shutdown();
    }
    printRow(QStringLiteral("median"), medians);
    printRow(QStringLiteral("99th percentile"), p99s);
    printRow(QStringLiteral("worst"), worsts);
    return 0;
}
